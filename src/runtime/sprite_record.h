// The sprite as the runtime keeps it, shared by the sprite table (sprites.cpp) and the drawing
// of sprites onto the screen (sprite_screen.cpp). Inside the runtime only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/images.h"
#include "runtime/internal.h"
#include "runtime/sprites.h"

struct VisibleRect {
    SDL_Rect area; // own pixels
    bool opaque;   // alpha 255 throughout
};

struct Sprite {
    Bitmap bitmap;              // width and height always; pixels only while needed
    std::vector<uint8_t> alpha; // a loaded sprite's alpha while its pixels are released
    std::string sourcePath;     // the file of a loaded sprite, "" for one made in code
    bool keepPixels = false;    // drawn from the CPU's copy (enlarged, or with a tint over it)
    // The own pixels' rectangle of alpha above 0 (width -1: not known since the last upload).
    int64_t boxX = 0, boxY = 0, boxWidth = -1, boxHeight = 0;
    // Rectangles (own pixels) that hold every pixel of alpha above 0, found once per upload.
    std::vector<VisibleRect> visibleRects;
    bool visibleRectsKnown = false;
    int64_t flags = 0;
    int64_t keyColour = 0;
    int64_t displayWidth = 0, displayHeight = 0;
    int64_t clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;
    double angle = 0;
    bool transformed = false;
    double corners[8] = {};
    SDL_Texture* texture = nullptr;
    // The sprite's alpha in one colour, made when needed: the last few asked for, the latest
    // first (a gauge is drawn in two or three tints every frame).
    struct Tint {
        SDL_Texture* texture = nullptr;
        int64_t colour = -1;     // -1: white, tinted by colour modulation
        int64_t intensity = 255; // baked into its alpha (software only)
    };
    std::array<Tint, 3> tints;
    // Its own colours with a tint's silhouette blended over them, kept where it is opaque (there
    // the two draws do not depend on the screen): the last few asked for, the latest first.
    struct TintedOver {
        std::vector<uint32_t> pixels;
        uint32_t rgb = 0;
        int64_t intensity = -1; // -1: not made
    };
    std::array<TintedOver, 3> tintedOver;

    ~Sprite() { dropTextures(); }
    void dropTextures() {
        if (texture) SDL_DestroyTexture(texture);
        texture = nullptr;
        for (Tint& tint : tints) {
            if (tint.texture) SDL_DestroyTexture(tint.texture);
            tint = Tint{};
        }
    }
};

// Brings back a loaded sprite's colours from its file (keyed as when it was loaded).
bool ensurePixels(Sprite& sprite);
uint8_t alphaAt(const Sprite& sprite, size_t index); // of an own pixel, by its index

// Draws the sprite's texture (or the given silhouette) at x, y with its clip, zoom and turn:
// through our own stretch and blend on a software screen where those give SDL's bytes, else
// through SDL.
void renderSprite(Sprite& sprite, SDL_Texture* texture, int64_t x, int64_t y);
// The sprite with a tint's silhouette at intensity over it, drawn in one pass on a software
// screen; false when that path does not apply (SDL draws both then).
bool blendWithTintOnScreen(Sprite& sprite, int64_t x, int64_t y, int64_t intensity, uint32_t rgb);
bool spriteOffScreen(const Sprite& sprite, int64_t x, int64_t y); // nothing of it would show
bool spriteOpaqueAt(const Sprite& sprite, int64_t dx, int64_t dy); // own pixel, alpha above 0

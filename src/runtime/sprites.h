// Sprites: numbered textures with a displayed size, clip, rotation, an optional free
// quadrilateral, opaque and blended display with tint silhouettes, and pixel-exact touching.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int64_t kSpriteMask = 4;  // keep a per-pixel mask for spritesTouch
constexpr int64_t kSpriteAlpha = 8; // transparency from the image's alpha channel
// A loaded sprite that keeps its colours on the CPU: the software screen stretches it there,
// and its first enlarged draw reads no file.
constexpr int64_t kSpriteKeepColours = 16;
constexpr int64_t kNoTint = -1;

int64_t loadSprite(int64_t spriteId, const std::string& path, int64_t flags = 0);
// Many sprites at once, as loadSprite would load each, their files decoded on every core (a
// class's frames, a stage's tiles). Returns how many loaded.
struct SpriteFile {
    int64_t spriteId = 0;
    std::string path;
    int64_t flags = 0;
};
int64_t loadSprites(const std::vector<SpriteFile>& files);
int64_t createSprite(int64_t spriteId, int64_t width, int64_t height, int64_t flags = 0);
void setSpriteTransparentColour(int64_t spriteId, int64_t colour); // -1: for later sprites
void freeSprite(int64_t spriteId); // -1 frees every sprite
int64_t spriteExists(int64_t spriteId);
int64_t spriteWidth(int64_t spriteId);  // displayed size
int64_t spriteHeight(int64_t spriteId);
int64_t spriteOwnWidth(int64_t spriteId);
int64_t spriteOwnHeight(int64_t spriteId);
int64_t spriteFlags(int64_t spriteId);
void zoomSprite(int64_t spriteId, int64_t width, int64_t height); // -1 restores
void clipSprite(int64_t spriteId, int64_t x, int64_t y, int64_t width, int64_t height);
void rotateSprite(int64_t spriteId, double degrees, int64_t mode); // mode 0 sets, else adds
// Corners (x, y pairs, relative to the display position) at which the sprite's top-left,
// top-right, bottom-right and bottom-left pixels are drawn from its next display on.
void transformSprite(int64_t spriteId, double x1, double y1, double x2, double y2, double x3,
                     double y3, double x4, double y4);
void drawSprite(int64_t spriteId, int64_t x, int64_t y);
void drawSpriteBlended(int64_t spriteId, int64_t x, int64_t y, int64_t intensity = 255,
                       int64_t tint = kNoTint);
// drawSpriteBlended at full intensity, then with the tint at the intensity: the same pixels,
// on a software screen in one pass (a gauge's parts).
void drawSpriteWithTintOver(int64_t spriteId, int64_t x, int64_t y, int64_t intensity, int64_t tint);
int64_t spritesTouch(int64_t spriteA, int64_t xA, int64_t yA, int64_t spriteB, int64_t xB,
                     int64_t yB);
// The alpha of one of the sprite's own pixels (0 outside or when absent), for tests and tools.
int64_t spritePixelAlpha(int64_t spriteId, int64_t x, int64_t y);
// The displayed rectangle of a sprite's visible pixels (alpha above 0) within its clip, relative
// to its display position; the whole displayed size when its pixels are not at hand.
struct SpriteBounds {
    int64_t x = 0, y = 0, width = 0, height = 0;
};
SpriteBounds spriteVisibleBounds(int64_t spriteId);
// For tests: every draw goes through SDL's renderer, the reference that the software screen's
// own stretching and blending is held against (false: back to the game's way).
void drawThroughSdlOnly(bool only);
int64_t spriteCount();
// Pixels that enlarged or shrunk draws have computed since the start: the displayed rectangle,
// or with the software renderer only its part on the screen (the cost of a zoomed picture).
int64_t scaledPixelCount();
// Pixels blended by unscaled draws on the software screen since the start (their visible parts).
int64_t blendedPixelCount();
int64_t spriteCpuBytes(); // pixel memory the sprites keep on the CPU

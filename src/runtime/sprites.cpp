// Sprites over SDL textures. On the CPU a sprite keeps what its contracts need: the alpha of
// every pixel (the pixel test, tint silhouettes). A sprite made in code also keeps its colours
// (drawing into it, a new screen); a loaded sprite reads its file again when it needs them.
#include "runtime/sprites.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "runtime/blend.h"
#include "runtime/colour.h"
#include "runtime/images.h"
#include "runtime/internal.h"
#include "runtime/object_table.h"
#include "runtime/parallel.h"
#include "runtime/screen.h"
#include "runtime/sprite_record.h"

namespace {
ObjectTable<Sprite> sprites;
int64_t defaultKeyColour = 0;

// Without the alpha flag a sprite is keyed: its key colour is transparent, all else opaque.
// Transparent pixels are stored as transparent black, so that an opaque display shows black.
void applyKey(Sprite& sprite) {
    uint32_t key = pixelOf(sprite.keyColour, 0) & 0x00FFFFFFu;
    bool keepAlpha = sprite.flags & kSpriteAlpha;
    for (uint32_t& p : sprite.bitmap.pixels) {
        if ((p & 0x00FFFFFFu) == key) p = 0;
        else if (!keepAlpha) p |= 0xFF000000u;
        else if ((p >> 24) == 0) p = 0;
    }
}

// A loaded sprite with the alpha flag keeps its file's pixels as they are (black included);
// any other is keyed.
void keyLoadedPixels(Sprite& sprite) {
    if (!(sprite.flags & kSpriteAlpha)) applyKey(sprite);
}

// A loaded sprite keeps only its alpha between uses of its colours.
void releasePixels(Sprite& sprite) {
    if (sprite.keepPixels || sprite.sourcePath.empty() || sprite.bitmap.pixels.empty()) return;
    sprite.alpha.resize(sprite.bitmap.pixels.size());
    for (size_t i = 0; i < sprite.alpha.size(); ++i)
        sprite.alpha[i] = uint8_t(sprite.bitmap.pixels[i] >> 24);
    sprite.bitmap.pixels.clear();
    sprite.bitmap.pixels.shrink_to_fit();
}

SDL_Texture* makeTexture(const std::vector<uint32_t>& pixels, int64_t width, int64_t height) {
    SDL_Renderer* renderer = runtimeRenderer();
    if (!renderer) return nullptr;
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STATIC, int(width), int(height));
    if (!texture) return nullptr;
    SDL_UpdateTexture(texture, nullptr, pixels.data(), int(width * 4));
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    return texture;
}

bool upload(Sprite& sprite) {
    sprite.dropTextures();
    sprite.boxWidth = -1;
    sprite.visibleRectsKnown = false;
    for (Sprite::TintedOver& over : sprite.tintedOver) over = {};
    if (!runtimeRenderer()) return true; // uploaded when a screen opens
    if (!ensurePixels(sprite)) return false;
    sprite.texture = makeTexture(sprite.bitmap.pixels, sprite.bitmap.width, sprite.bitmap.height);
    releasePixels(sprite);
    return sprite.texture != nullptr;
}

// The silhouette texture. An accelerated renderer tints a white one by colour and alpha
// modulation for free; a software renderer would take its slowest blitter for either, so there
// the texture is made in the tint colour with the intensity in its alpha (and made again when
// neither is among the last few, which for a fighter or a gauge is seldom).
SDL_Texture* tintTextureOf(Sprite& sprite, int64_t tint, int64_t intensity) {
    bool baked = softwareRendering();
    int64_t colour = baked ? tint : -1;
    intensity = baked ? intensity : 255;
    auto& tints = sprite.tints;
    auto found = std::find_if(tints.begin(), tints.end(), [&](const Sprite::Tint& t) {
        return t.texture && t.colour == colour && t.intensity == intensity;
    });
    if (found == tints.end()) { // the least recently used makes way
        found = tints.end() - 1;
        if (found->texture) SDL_DestroyTexture(found->texture);
        uint32_t rgb = colour < 0 ? 0x00FFFFFFu : pixelOf(colour, 0);
        static std::vector<uint32_t> flat; // kept: the letters' is a quarter of a megabyte
        flat.resize(size_t(sprite.bitmap.width * sprite.bitmap.height));
        for (size_t i = 0; i < flat.size(); ++i)
            flat[i] = (uint32_t(alphaAt(sprite, i) * intensity / 255) << 24) | rgb;
        *found = {makeTexture(flat, sprite.bitmap.width, sprite.bitmap.height), colour, intensity};
    }
    std::rotate(tints.begin(), found, found + 1);
    return tints.front().texture;
}

void resetView(Sprite& sprite) {
    sprite.clipX = sprite.clipY = 0;
    sprite.clipWidth = sprite.displayWidth = sprite.bitmap.width;
    sprite.clipHeight = sprite.displayHeight = sprite.bitmap.height;
    sprite.angle = 0;
    sprite.transformed = false;
}

int64_t storeSprite(int64_t spriteId, std::unique_ptr<Sprite> sprite) {
    resetView(*sprite);
    if (!upload(*sprite)) return 0;
    return creationResult(spriteId, sprites.store(spriteId, std::move(sprite)));
}

// How the quadrilateral lies: an axis-aligned rectangle (possibly flipped) is drawn as a
// plain copy; anything else as two textured triangles.
} // namespace

// Brings back a loaded sprite's colours from its file (keyed as when it was loaded).
bool ensurePixels(Sprite& sprite) {
    if (!sprite.bitmap.pixels.empty()) return true;
    if (sprite.sourcePath.empty()) return false;
    Bitmap reread;
    bool hasAlpha = false;
    if (!loadPng(sprite.sourcePath, reread, hasAlpha) || reread.width != sprite.bitmap.width ||
        reread.height != sprite.bitmap.height)
        return false;
    sprite.bitmap.pixels = std::move(reread.pixels);
    keyLoadedPixels(sprite);
    sprite.alpha.clear();
    return true;
}

uint8_t alphaAt(const Sprite& sprite, size_t index) {
    return sprite.bitmap.pixels.empty() ? sprite.alpha[index]
                                        : uint8_t(sprite.bitmap.pixels[index] >> 24);
}

namespace {
// A loaded sprite before it is stored: its file decoded and keyed, which touches nothing shared.
std::unique_ptr<Sprite> readSpriteFile(const std::string& path, int64_t flags, int64_t keyColour) {
    auto sprite = std::make_unique<Sprite>();
    bool hasAlpha = false;
    if (!loadPng(path, sprite->bitmap, hasAlpha)) return nullptr;
    sprite->sourcePath = path;
    sprite->flags = flags;
    sprite->keyColour = keyColour;
    sprite->keepPixels = flags & kSpriteKeepColours;
    keyLoadedPixels(*sprite);
    return sprite;
}
} // namespace

int64_t loadSprite(int64_t spriteId, const std::string& path, int64_t flags) {
    auto sprite = readSpriteFile(path, flags, defaultKeyColour);
    return sprite ? storeSprite(spriteId, std::move(sprite)) : 0;
}

int64_t loadSprites(const std::vector<SpriteFile>& files) {
    std::vector<std::unique_ptr<Sprite>> read(files.size());
    int64_t key = defaultKeyColour;
    // The files are decoded on every core; the textures are made here, on the screen's thread.
    forEachOnEveryCore(files.size(), [&](size_t i) {
        read[i] = readSpriteFile(files[i].path, files[i].flags, key);
    });
    int64_t loaded = 0;
    for (size_t i = 0; i < files.size(); ++i)
        if (read[i] && storeSprite(files[i].spriteId, std::move(read[i]))) ++loaded;
    return loaded;
}

int64_t createSprite(int64_t spriteId, int64_t width, int64_t height, int64_t flags) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return 0;
    auto sprite = std::make_unique<Sprite>();
    sprite->bitmap.width = width;
    sprite->bitmap.height = height;
    sprite->bitmap.pixels.assign(size_t(width * height), 0xFF000000u);
    sprite->flags = flags;
    sprite->keyColour = defaultKeyColour;
    applyKey(*sprite);
    return storeSprite(spriteId, std::move(sprite));
}

void setSpriteTransparentColour(int64_t spriteId, int64_t colour) {
    colour &= 0xFFFFFF;
    if (spriteId == -1) {
        defaultKeyColour = colour;
        return;
    }
    Sprite* sprite = sprites.find(spriteId);
    if (!sprite || !ensurePixels(*sprite)) return;
    sprite->keyColour = colour;
    uint32_t key = pixelOf(colour, 0) & 0x00FFFFFFu;
    for (uint32_t& p : sprite->bitmap.pixels)
        if ((p & 0x00FFFFFFu) == key) p = 0;
    sprite->sourcePath.clear(); // the file no longer gives these pixels
    upload(*sprite);
}

void freeSprite(int64_t spriteId) { sprites.release(spriteId); }
int64_t spriteExists(int64_t spriteId) { return sprites.find(spriteId) ? 1 : 0; }

int64_t spriteWidth(int64_t spriteId) {
    const Sprite* s = sprites.find(spriteId);
    return s ? s->displayWidth : 0;
}
int64_t spriteHeight(int64_t spriteId) {
    const Sprite* s = sprites.find(spriteId);
    return s ? s->displayHeight : 0;
}
int64_t spriteOwnWidth(int64_t spriteId) {
    const Sprite* s = sprites.find(spriteId);
    return s ? s->bitmap.width : 0;
}
int64_t spriteOwnHeight(int64_t spriteId) {
    const Sprite* s = sprites.find(spriteId);
    return s ? s->bitmap.height : 0;
}
int64_t spriteFlags(int64_t spriteId) {
    const Sprite* s = sprites.find(spriteId);
    return s ? s->flags : 0;
}

void zoomSprite(int64_t spriteId, int64_t width, int64_t height) {
    Sprite* s = sprites.find(spriteId);
    if (!s) return;
    s->displayWidth = width == -1 ? s->clipWidth : std::max<int64_t>(width, 0);
    s->displayHeight = height == -1 ? s->clipHeight : std::max<int64_t>(height, 0);
}

void clipSprite(int64_t spriteId, int64_t x, int64_t y, int64_t width, int64_t height) {
    Sprite* s = sprites.find(spriteId);
    if (!s) return;
    int64_t w = s->bitmap.width, h = s->bitmap.height;
    s->clipX = std::clamp<int64_t>(x == -1 ? 0 : x, 0, w);
    s->clipY = std::clamp<int64_t>(y == -1 ? 0 : y, 0, h);
    s->clipWidth = std::clamp<int64_t>(width == -1 ? w : width, 0, w - s->clipX);
    s->clipHeight = std::clamp<int64_t>(height == -1 ? h : height, 0, h - s->clipY);
    s->displayWidth = s->clipWidth;
    s->displayHeight = s->clipHeight;
}

void rotateSprite(int64_t spriteId, double degrees, int64_t mode) {
    Sprite* s = sprites.find(spriteId);
    if (!s) return;
    s->angle = std::fmod(mode == 0 ? degrees : s->angle + degrees, 360.0);
}

void transformSprite(int64_t spriteId, double x1, double y1, double x2, double y2, double x3,
                     double y3, double x4, double y4) {
    Sprite* s = sprites.find(spriteId);
    if (!s) return;
    double corners[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
    std::copy(corners, corners + 8, s->corners);
    s->transformed = true;
}

void drawSprite(int64_t spriteId, int64_t x, int64_t y) {
    if (renderingSkipped()) return; // before the look-up: the null renderer draws a lot of nothing
    Sprite* s = sprites.find(spriteId);
    if (!s || !s->texture || spriteOffScreen(*s, x, y)) return;
    SDL_SetTextureBlendMode(s->texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureAlphaMod(s->texture, 255);
    renderSprite(*s, s->texture, x, y);
    SDL_SetTextureBlendMode(s->texture, SDL_BLENDMODE_BLEND);
}

void drawSpriteBlended(int64_t spriteId, int64_t x, int64_t y, int64_t intensity, int64_t tint) {
    if (renderingSkipped()) return; // before the look-up: the null renderer draws a lot of nothing
    Sprite* s = sprites.find(spriteId);
    if (!s || !s->texture || spriteOffScreen(*s, x, y)) return;
    // Blended at no intensity a sprite leaves every pixel as it is: nothing to draw (the
    // countdown's first frame of each digit is a screen-wide, fully faded picture).
    if (intensity <= 0) return;
    Uint8 alpha = Uint8(std::clamp<int64_t>(intensity, 0, 255));
    SDL_Texture* texture = tint >= 0 ? tintTextureOf(*s, tint & 0xFFFFFF, alpha) : s->texture;
    if (!texture) return;
    bool baked = softwareRendering();
    if (tint >= 0 && baked) alpha = 255; // colour and intensity baked in
    if (tint >= 0 && !baked)
        SDL_SetTextureColorMod(texture, Uint8(redOf(tint)), Uint8(greenOf(tint)),
                               Uint8(blueOf(tint)));
    SDL_SetTextureAlphaMod(texture, alpha);
    renderSprite(*s, texture, x, y);
}

void drawSpriteWithTintOver(int64_t spriteId, int64_t x, int64_t y, int64_t intensity, int64_t tint) {
    if (renderingSkipped()) return;
    Sprite* s = sprites.find(spriteId);
    if (!s || !s->texture || spriteOffScreen(*s, x, y)) return;
    intensity = std::min<int64_t>(intensity, 255);
    if (tint >= 0 && intensity > 0 &&
        blendWithTintOnScreen(*s, x, y, intensity, pixelOf(tint & 0xFFFFFF, 0)))
        return;
    drawSpriteBlended(spriteId, x, y);
    drawSpriteBlended(spriteId, x, y, intensity, tint);
}

int64_t spritesTouch(int64_t spriteA, int64_t xA, int64_t yA, int64_t spriteB, int64_t xB,
                     int64_t yB) {
    const Sprite* a = sprites.find(spriteA);
    const Sprite* b = sprites.find(spriteB);
    if (!a || !b || !(a->flags & kSpriteMask) || !(b->flags & kSpriteMask)) return 0;
    int64_t left = std::max(xA, xB), top = std::max(yA, yB);
    int64_t right = std::min(xA + a->displayWidth, xB + b->displayWidth);
    int64_t bottom = std::min(yA + a->displayHeight, yB + b->displayHeight);
    if (left >= right || top >= bottom) return 0;
    for (int64_t y = top; y < bottom; ++y)
        for (int64_t x = left; x < right; ++x)
            if (spriteOpaqueAt(*a, x - xA, y - yA) && spriteOpaqueAt(*b, x - xB, y - yB)) return 1;
    return 0;
}

int64_t spritePixelAlpha(int64_t spriteId, int64_t x, int64_t y) {
    const Sprite* s = sprites.find(spriteId);
    if (!s || x < 0 || y < 0 || x >= s->bitmap.width || y >= s->bitmap.height) return 0;
    return alphaAt(*s, size_t(y * s->bitmap.width + x));
}

SpriteBounds spriteVisibleBounds(int64_t spriteId) {
    const Sprite* s = sprites.find(spriteId);
    if (!s) return {};
    SpriteBounds whole{0, 0, s->displayWidth, s->displayHeight};
    int64_t w = s->bitmap.width;
    if (s->bitmap.pixels.empty() && s->alpha.size() != size_t(w * s->bitmap.height)) return whole;
    int64_t left = s->clipX + s->clipWidth, right = s->clipX - 1;
    int64_t top = s->clipY + s->clipHeight, bottom = s->clipY - 1;
    for (int64_t y = s->clipY; y < s->clipY + s->clipHeight; ++y)
        for (int64_t x = s->clipX; x < s->clipX + s->clipWidth; ++x)
            if (alphaAt(*s, size_t(y * w + x)) != 0) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < left || s->clipWidth == 0 || s->clipHeight == 0) return {};
    // From the image's pixels to the displayed size (a zoomed sprite).
    auto scaleX = [&](int64_t x) { return (x - s->clipX) * s->displayWidth / s->clipWidth; };
    auto scaleY = [&](int64_t y) { return (y - s->clipY) * s->displayHeight / s->clipHeight; };
    return {scaleX(left), scaleY(top), scaleX(right + 1) - scaleX(left),
            scaleY(bottom + 1) - scaleY(top)};
}

int64_t spriteCount() { return int64_t(sprites.objects.size()); }

Bitmap* spriteBitmapForDrawing(int64_t spriteId) {
    Sprite* s = sprites.find(spriteId);
    if (!s || !ensurePixels(*s)) return nullptr;
    s->sourcePath.clear(); // drawn into: made in code from now on
    return &s->bitmap;
}

int64_t spriteCpuBytes() {
    int64_t bytes = 0;
    for (const auto& [id, s] : sprites.objects)
        bytes += int64_t(s->bitmap.pixels.size() * 4 + s->alpha.size());
    return bytes;
}

void finishSpriteDrawing(int64_t spriteId) {
    Sprite* s = sprites.find(spriteId);
    if (!s) return;
    if (!(s->flags & kSpriteAlpha)) applyKey(*s);
    upload(*s);
}

void recreateSpriteTextures() {
    for (auto& [id, sprite] : sprites.objects) upload(*sprite);
}

void destroySpriteTextures() {
    for (auto& [id, sprite] : sprites.objects) sprite->dropTextures();
}

void endSprites() {
    sprites.release(-1);
    defaultKeyColour = 0;
}

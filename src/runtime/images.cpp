// Images and drawing on CPU bitmaps; PNG through libpng's simplified interface.
#include "runtime/images.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <png.h>

#include "runtime/colour.h"
#include "runtime/files.h"
#include "runtime/internal.h"
#include "runtime/object_table.h"

namespace {
ObjectTable<Bitmap> images;

constexpr int64_t kTargetKindShift = 40;
constexpr int64_t kImageTarget = 1;
constexpr int64_t kSpriteTarget = 2;

Bitmap* target = nullptr;
int64_t targetSprite = -1; // the sprite being drawn into, -1 for an image
int64_t drawingMode = kDrawPlain;

uint8_t channel(uint32_t p, int shift) { return uint8_t((p >> shift) & 255); }

// Source-over for non-premultiplied pixels.
uint32_t blendOver(uint32_t dst, uint32_t src) {
    uint32_t sa = src >> 24;
    if (sa == 255) return src;
    if (sa == 0) return dst;
    uint32_t da = dst >> 24;
    uint32_t outA255 = sa * 255 + da * (255 - sa); // alpha scaled by 255
    if (outA255 == 0) return 0;
    auto mix = [&](int shift) {
        uint32_t s = channel(src, shift), d = channel(dst, shift);
        return (s * sa * 255 + d * da * (255 - sa) + outA255 / 2) / outA255;
    };
    uint32_t outA = (outA255 + 127) / 255;
    return (outA << 24) | (mix(16) << 16) | (mix(8) << 8) | mix(0);
}

void plot(int64_t x, int64_t y, int64_t colour) {
    if (!target || x < 0 || y < 0 || x >= target->width || y >= target->height) return;
    uint32_t& dst = target->pixels[size_t(y * target->width + x)];
    uint32_t alpha = uint32_t(alphaOf(colour));
    switch (drawingMode) {
    case kDrawAlphaOnly: dst = (dst & 0x00FFFFFFu) | (alpha << 24); break;
    case kDrawExact: dst = pixelOf(colour, alpha); break;
    case kDrawBlend: dst = blendOver(dst, pixelOf(colour, alpha)); break;
    default: dst = pixelOf(colour, 255); break;
    }
}

void drawBitmap(int64_t handle, int64_t x, int64_t y, bool withAlpha) {
    const Bitmap* source = images.find(handle);
    if (!target || !source || source == target) return;
    for (int64_t row = std::max<int64_t>(0, -y); row < source->height; ++row) {
        int64_t ty = y + row;
        if (ty >= target->height) break;
        for (int64_t column = std::max<int64_t>(0, -x); column < source->width; ++column) {
            int64_t tx = x + column;
            if (tx >= target->width) break;
            uint32_t src = source->pixels[size_t(row * source->width + column)];
            uint32_t& dst = target->pixels[size_t(ty * target->width + tx)];
            dst = withAlpha ? blendOver(dst, src) : (src | 0xFF000000u);
        }
    }
}
} // namespace

// The game's largest picture is a few thousand pixels wide; a file declaring more than this is
// refused before its pixels are allocated (8192 x 2048 pixels: 64 MB).
constexpr int64_t kMaxPngSide = 8192;
constexpr int64_t kMaxPngPixels = 16 << 20;
constexpr int64_t kMaxPngFileBytes = 128 << 20;
// Deflate expands at most about 1032 to 1: a file smaller than its declared rows (at one bit
// per pixel, plus a filter byte per row) allow cannot hold them. A little slack on the ratio.
constexpr int64_t kMaxInflateRatio = 1040;

bool pngSizeBelievable(int64_t width, int64_t height, int64_t fileBytes) {
    if (width <= 0 || height <= 0 || width > kMaxPngSide || height > kMaxPngSide ||
        width * height > kMaxPngPixels)
        return false;
    int64_t leastRowBytes = height * (1 + (width + 7) / 8);
    return fileBytes * kMaxInflateRatio >= leastRowBytes;
}

namespace {
// A file's decoded pixels kept for its next read (see reuseDecodedPngs).
struct DecodedPng {
    bool read = false, hasAlpha = false;
    Bitmap bitmap;
};
std::mutex decodedLock;
int64_t reuseDepth = 0; // reuse is on while above 0
std::unordered_map<std::string, DecodedPng> decodedOnce;

bool decodePng(const std::string& path, Bitmap& bitmap, bool& hasAlpha);
} // namespace

void reuseDecodedPngs(bool on) {
    std::lock_guard<std::mutex> held(decodedLock);
    reuseDepth += on ? 1 : -1;
    if (reuseDepth <= 0) {
        reuseDepth = 0;
        decodedOnce.clear();
    }
}

bool loadPng(const std::string& path, Bitmap& bitmap, bool& hasAlpha) {
    bool reusing = false;
    {
        std::lock_guard<std::mutex> held(decodedLock);
        reusing = reuseDepth > 0;
        auto found = decodedOnce.find(path);
        if (reusing && found != decodedOnce.end()) {
            bool read = found->second.read;
            hasAlpha = found->second.hasAlpha;
            bitmap = std::move(found->second.bitmap);
            decodedOnce.erase(found);
            return read;
        }
    }
    // Decoded outside the lock: the cores decode files side by side.
    bool read = decodePng(path, bitmap, hasAlpha);
    if (!reusing) return read;
    std::lock_guard<std::mutex> held(decodedLock);
    if (reuseDepth > 0) decodedOnce[path] = {read, hasAlpha, bitmap};
    return read;
}

namespace {
bool decodePng(const std::string& path, Bitmap& bitmap, bool& hasAlpha) {
    int64_t size = fileSize(path);
    std::string bytes;
    if (size <= 0 || size > kMaxPngFileBytes || !readWholeFile(path, bytes)) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA; // 0xAARRGGBB words on a little-endian machine
    if (!pngSizeBelievable(image.width, image.height, int64_t(bytes.size()))) {
        png_image_free(&image);
        return false;
    }
    std::vector<uint32_t> pixels(size_t(image.width) * image.height);
    // On failure libpng has freed its state already; png_image_free is harmless again.
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    bitmap.width = image.width;
    bitmap.height = image.height;
    bitmap.depth = hasAlpha ? 32 : 24;
    bitmap.pixels = std::move(pixels);
    return true;
}
} // namespace

bool savePng(const std::string& path, int64_t width, int64_t height, const uint32_t* pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&image, gamePath(path).c_str(), 0, pixels, 0, nullptr) != 0;
}

int64_t loadImage(int64_t imageId, const std::string& path) {
    auto bitmap = std::make_unique<Bitmap>();
    bool hasAlpha = false;
    if (!loadPng(path, *bitmap, hasAlpha)) return 0;
    return creationResult(imageId, images.store(imageId, std::move(bitmap)));
}

int64_t createImage(int64_t imageId, int64_t width, int64_t height, int64_t depth,
                    int64_t background) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return 0;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->depth = depth;
    uint32_t fill = depth == 32 ? pixelOf(background, uint32_t(alphaOf(background)))
                                : pixelOf(background, 255);
    bitmap->pixels.assign(size_t(width * height), fill);
    return creationResult(imageId, images.store(imageId, std::move(bitmap)));
}

int64_t grabImage(int64_t sourceId, int64_t destinationId, int64_t x, int64_t y, int64_t width,
                  int64_t height) {
    const Bitmap* source = images.find(sourceId);
    if (!source || width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > source->width ||
        y + height > source->height)
        return 0;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->depth = source->depth;
    bitmap->pixels.resize(size_t(width * height));
    for (int64_t row = 0; row < height; ++row)
        std::copy_n(&source->pixels[size_t((y + row) * source->width + x)], width,
                    &bitmap->pixels[size_t(row * width)]);
    return creationResult(destinationId, images.store(destinationId, std::move(bitmap)));
}

void freeImage(int64_t imageId) {
    if (target && targetSprite < 0 && (imageId == -1 || images.find(imageId) == target))
        target = nullptr;
    images.release(imageId);
}

int64_t imageExists(int64_t imageId) { return images.find(imageId) ? 1 : 0; }
int64_t imageWidth(int64_t imageId) {
    const Bitmap* b = images.find(imageId);
    return b ? b->width : 0;
}
int64_t imageHeight(int64_t imageId) {
    const Bitmap* b = images.find(imageId);
    return b ? b->height : 0;
}
int64_t imageDepth(int64_t imageId) {
    const Bitmap* b = images.find(imageId);
    return b ? b->depth : 0;
}
int64_t imageHandle(int64_t imageId) { return images.find(imageId) ? imageId : 0; }
Bitmap* imageBitmap(int64_t imageId) { return images.find(imageId); }

int64_t imageOutput(int64_t imageId) {
    return images.find(imageId) ? (kImageTarget << kTargetKindShift) | imageId : 0;
}
int64_t spriteOutput(int64_t spriteId) {
    return spriteId >= 0 ? (kSpriteTarget << kTargetKindShift) | spriteId : 0;
}

int64_t beginDrawing(int64_t drawTarget) {
    endDrawing();
    int64_t kind = drawTarget >> kTargetKindShift;
    int64_t id = drawTarget & ((int64_t(1) << kTargetKindShift) - 1);
    if (kind == kImageTarget) {
        target = images.find(id);
    } else if (kind == kSpriteTarget) {
        target = spriteBitmapForDrawing(id);
        if (target) targetSprite = id;
    }
    drawingMode = kDrawPlain;
    return target ? 1 : 0;
}

void endDrawing() {
    if (target && targetSprite >= 0) finishSpriteDrawing(targetSprite);
    target = nullptr;
    targetSprite = -1;
}

void setDrawingMode(int64_t mode) { drawingMode = mode; }

void fillBox(int64_t x, int64_t y, int64_t width, int64_t height, int64_t colour) {
    if (!target) return;
    int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    int64_t x1 = std::min(x + width, target->width), y1 = std::min(y + height, target->height);
    if (x1 <= x0 || y1 <= y0) return;
    if (drawingMode == kDrawPlain || drawingMode == kDrawExact) { // one pixel value throughout
        uint32_t pixel = pixelOf(colour, drawingMode == kDrawExact ? uint32_t(alphaOf(colour)) : 255);
        for (int64_t py = y0; py < y1; ++py) {
            uint32_t* row = &target->pixels[size_t(py * target->width)];
            std::fill(row + x0, row + x1, pixel);
        }
        return;
    }
    for (int64_t py = y0; py < y1; ++py)
        for (int64_t px = x0; px < x1; ++px) plot(px, py, colour);
}

void fillEllipse(int64_t x, int64_t y, int64_t radiusX, int64_t radiusY, int64_t colour) {
    if (!target || radiusX < 0 || radiusY < 0) return;
    double rx = double(radiusX) + 0.5, ry = double(radiusY) + 0.5;
    for (int64_t py = std::max<int64_t>(y - radiusY, 0); py <= std::min(y + radiusY, target->height - 1);
         ++py) {
        double dy = double(py - y) / ry;
        for (int64_t px = std::max<int64_t>(x - radiusX, 0);
             px <= std::min(x + radiusX, target->width - 1); ++px) {
            double dx = double(px - x) / rx;
            if (dx * dx + dy * dy <= 1.0) plot(px, py, colour);
        }
    }
}

void fillCircle(int64_t x, int64_t y, int64_t radius, int64_t colour) {
    fillEllipse(x, y, radius, radius, colour);
}

void drawImage(int64_t handle, int64_t x, int64_t y) { drawBitmap(handle, x, y, false); }
void drawImageAlpha(int64_t handle, int64_t x, int64_t y) { drawBitmap(handle, x, y, true); }

DrawingBuffer drawingBuffer() {
    if (!target) return {};
    return {target->pixels.data(), target->width, target->height};
}

void endImages() {
    target = nullptr;
    targetSprite = -1;
    images.release(-1);
}

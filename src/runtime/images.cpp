// Images and drawing on CPU bitmaps; PNG through libpng's simplified interface.
#include "runtime/images.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
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
// The largest ancillary chunk (text, profile, ...) the reader takes, in bytes: a chunk that
// declares more is refused before anything is allocated for it.
constexpr png_alloc_size_t kMaxPngChunkBytes = 1 << 20;

// A PNG read from memory through libpng's full interface. libpng reports errors by longjmp,
// so the two steps that may fail hold no C++ objects of their own: what they fill is made
// by their caller.
struct PngReading {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::string* bytes = nullptr;
    size_t at = 0;
    // The gamma the file states (gAMA) when it is not sRGB's: rows then come as 16-bit RGBA,
    // brought to sRGB by sRGBLevels. 0: the file is taken as sRGB.
    double gamma = 0;
    char error[160] = "";
};

// The 8-bit sRGB level of each 16-bit sample of a file of `gamma`: its linear light, encoded
// by sRGB's own curve.
std::vector<uint8_t> sRGBLevels(double gamma) {
    std::vector<uint8_t> levels(65536);
    for (size_t i = 0; i < levels.size(); ++i) {
        double light = std::pow(double(i) / 65535.0, 1 / gamma);
        double level = light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
        levels[i] = uint8_t(std::lround(std::clamp(level, 0.0, 1.0) * 255));
    }
    return levels;
}

void pngError(png_structp png, png_const_charp message) {
    auto* reading = static_cast<PngReading*>(png_get_error_ptr(png));
    std::snprintf(reading->error, sizeof reading->error, "%s", message);
    png_longjmp(png, 1);
}
void pngWarning(png_structp, png_const_charp) {} // what libpng can read past is no news

void pngRead(png_structp png, png_bytep out, size_t length) {
    auto* reading = static_cast<PngReading*>(png_get_io_ptr(png));
    if (reading->bytes->size() - reading->at < length) png_error(png, "the file ends early");
    std::memcpy(out, reading->bytes->data() + reading->at, length);
    reading->at += length;
}

// The header, and the transformations that give 8-bit BGRA rows: palettes, low bit depths,
// grey and tRNS expanded; 16 bits scaled to 8. A file that says how its values relate to
// light (gAMA) is brought to sRGB; one that says nothing is taken as sRGB already.
bool readPngHeader(PngReading& reading, png_uint_32& width, png_uint_32& height, bool& hasAlpha,
                   int& passes) {
    if (setjmp(png_jmpbuf(reading.png))) return false;
    png_set_chunk_malloc_max(reading.png, kMaxPngChunkBytes);
    png_set_read_fn(reading.png, &reading, pngRead);
    png_read_info(reading.png, reading.info);
    width = png_get_image_width(reading.png, reading.info);
    height = png_get_image_height(reading.png, reading.info);
    const int type = png_get_color_type(reading.png, reading.info);
    const int depth = png_get_bit_depth(reading.png, reading.info);
    const bool transparency = png_get_valid(reading.png, reading.info, PNG_INFO_tRNS) != 0;
    hasAlpha = (type & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(reading.png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(reading.png);
    if (transparency) png_set_tRNS_to_alpha(reading.png);
    if ((type & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(reading.png);
    // A gamma within libpng's own threshold of sRGB's (1 / 2.2) counts as sRGB's.
    double gamma = 0;
    if (png_get_gAMA(reading.png, reading.info, &gamma) && gamma > 0 && std::abs(gamma * 2.2 - 1) >= 0.05)
        reading.gamma = gamma;
    if (reading.gamma > 0) {
        png_set_expand_16(reading.png);
        if (!hasAlpha) png_set_filler(reading.png, 0xFFFF, PNG_FILLER_AFTER);
    } else {
        if (depth == 16) png_set_scale_16(reading.png);
        if (!hasAlpha) png_set_filler(reading.png, 0xFF, PNG_FILLER_AFTER);
        png_set_bgr(reading.png); // 0xAARRGGBB words on a little-endian machine
    }
    passes = png_set_interlace_handling(reading.png);
    png_read_update_info(reading.png, reading.info);
    return png_get_rowbytes(reading.png, reading.info) == size_t(width) * (reading.gamma > 0 ? 8 : 4);
}

bool readPngRows(PngReading& reading, png_bytep* rows) {
    if (setjmp(png_jmpbuf(reading.png))) return false;
    png_read_image(reading.png, rows);
    png_read_end(reading.png, nullptr);
    return true;
}

bool decodePng(const std::string& path, Bitmap& bitmap, bool& hasAlpha) {
    int64_t size = fileSize(path);
    std::string bytes;
    if (size <= 0 || size > kMaxPngFileBytes || !readWholeFile(path, bytes)) return false;
    PngReading reading;
    reading.bytes = &bytes;
    reading.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, pngError, pngWarning);
    if (reading.png) reading.info = png_create_info_struct(reading.png);
    png_uint_32 width = 0, height = 0;
    int passes = 0;
    bool read = reading.info && readPngHeader(reading, width, height, hasAlpha, passes);
    if (read && !pngSizeBelievable(width, height, int64_t(bytes.size()))) {
        std::snprintf(reading.error, sizeof reading.error, "its size %ux%u is not believable",
                      unsigned(width), unsigned(height));
        read = false;
    }
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> wide; // 16-bit RGBA samples, big-endian as libpng gives them
    std::vector<png_bytep> rows;
    if (read) {
        pixels.resize(size_t(width) * height);
        if (reading.gamma > 0) wide.resize(pixels.size() * 8);
        for (png_uint_32 y = 0; y < height; ++y)
            rows.push_back(reading.gamma > 0 ? wide.data() + size_t(y) * width * 8
                                             : reinterpret_cast<png_bytep>(pixels.data() + size_t(y) * width));
        read = readPngRows(reading, rows.data());
    }
    if (read && reading.gamma > 0) {
        const std::vector<uint8_t> levels = sRGBLevels(reading.gamma);
        auto sample = [&](size_t i) { return size_t(wide[2 * i]) << 8 | wide[2 * i + 1]; };
        for (size_t p = 0; p < pixels.size(); ++p) {
            uint32_t alpha = uint32_t(sample(4 * p + 3) * 255 + 32767) / 65535;
            pixels[p] = alpha << 24 | uint32_t(levels[sample(4 * p)]) << 16 |
                        uint32_t(levels[sample(4 * p + 1)]) << 8 | levels[sample(4 * p + 2)];
        }
    }
    if (reading.png) png_destroy_read_struct(&reading.png, reading.info ? &reading.info : nullptr, nullptr);
    if (!read) {
        if (reading.error[0] != 0)
            std::fprintf(stderr, "quarrelix: the picture %s cannot be read: %s\n", path.c_str(),
                         reading.error);
        return false;
    }
    bitmap.width = width;
    bitmap.height = height;
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

// Images (CPU bitmaps), PNG files, and drawing into images and sprites.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A bitmap in 0xAARRGGBB words; depth records what it was made as (8, 24 or 32 bits).
struct Bitmap {
    int64_t width = 0;
    int64_t height = 0;
    int64_t depth = 32;
    std::vector<uint32_t> pixels;
};

// PNG files. Any PNG is expanded to 0xAARRGGBB; hasAlpha tells whether it had transparency.
bool loadPng(const std::string& path, Bitmap& bitmap, bool& hasAlpha);
// Between reuseDecodedPngs(true) and (false) (nested, from any thread), a file read once is
// kept decoded for one more read of it: a fight frame's picture is read for its sprite and
// again for its hit mask. What is left is dropped when the outermost reuse ends.
void reuseDecodedPngs(bool on);
struct ReusingDecodedPngs { // reuse on for the scope
    ReusingDecodedPngs() { reuseDecodedPngs(true); }
    ~ReusingDecodedPngs() { reuseDecodedPngs(false); }
    ReusingDecodedPngs(const ReusingDecodedPngs&) = delete;
    ReusingDecodedPngs& operator=(const ReusingDecodedPngs&) = delete;
};
bool savePng(const std::string& path, int64_t width, int64_t height, const uint32_t* pixels);

int64_t loadImage(int64_t imageId, const std::string& path);
int64_t createImage(int64_t imageId, int64_t width, int64_t height, int64_t depth,
                    int64_t background);
// Copies a rectangle of the source image into a new image; 0 if it reaches outside.
int64_t grabImage(int64_t sourceId, int64_t destinationId, int64_t x, int64_t y, int64_t width,
                  int64_t height);
void freeImage(int64_t imageId); // -1 frees every image
int64_t imageExists(int64_t imageId);
int64_t imageWidth(int64_t imageId);
int64_t imageHeight(int64_t imageId);
int64_t imageDepth(int64_t imageId);
int64_t imageHandle(int64_t imageId); // the handle drawImage takes; 0 when absent
Bitmap* imageBitmap(int64_t imageId);

// Drawing targets for beginDrawing.
int64_t imageOutput(int64_t imageId);
int64_t spriteOutput(int64_t spriteId);

constexpr int64_t kDrawPlain = 0;      // colour written, opaque
constexpr int64_t kDrawAlphaOnly = 8;  // only the alpha channel, from the colour's alpha
constexpr int64_t kDrawExact = 16;     // colour and alpha written as given
constexpr int64_t kDrawBlend = 256;    // colour blended over the target by its alpha

int64_t beginDrawing(int64_t target); // 0 if it cannot be drawn on; one target at a time
void endDrawing();
void setDrawingMode(int64_t mode);
void fillBox(int64_t x, int64_t y, int64_t width, int64_t height, int64_t colour);
void fillCircle(int64_t x, int64_t y, int64_t radius, int64_t colour);
void fillEllipse(int64_t x, int64_t y, int64_t radiusX, int64_t radiusY, int64_t colour);
void drawImage(int64_t handle, int64_t x, int64_t y);      // copied opaque
void drawImageAlpha(int64_t handle, int64_t x, int64_t y); // blended by its own alpha
// The target's pixels for direct work (width, height, 0xAARRGGBB rows without padding).
struct DrawingBuffer {
    uint32_t* pixels = nullptr;
    int64_t width = 0;
    int64_t height = 0;
};
DrawingBuffer drawingBuffer();

// Packed colours as the game stores them: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31.
#pragma once

#include <cstdint>

constexpr int64_t RGB(int64_t r, int64_t g, int64_t b) {
    return (r & 255) | ((g & 255) << 8) | ((b & 255) << 16);
}
constexpr int64_t RGBA(int64_t r, int64_t g, int64_t b, int64_t a) {
    return RGB(r, g, b) | ((a & 255) << 24);
}
constexpr int64_t redOf(int64_t c) { return c & 255; }
constexpr int64_t greenOf(int64_t c) { return (c >> 8) & 255; }
constexpr int64_t blueOf(int64_t c) { return (c >> 16) & 255; }
constexpr int64_t alphaOf(int64_t c) { return (c >> 24) & 255; }

// Pixels in memory are 0xAARRGGBB words, the renderer's native 32-bit layout.
constexpr uint32_t pixelOf(int64_t colour, uint32_t alpha) {
    return (alpha << 24) | (uint32_t(redOf(colour)) << 16) | (uint32_t(greenOf(colour)) << 8) |
           uint32_t(blueOf(colour));
}
constexpr int64_t colourOfPixel(uint32_t p) {
    return RGBA((p >> 16) & 255, (p >> 8) & 255, p & 255, p >> 24);
}

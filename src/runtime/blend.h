// The software renderer's blend of one 32-bit pixel (0xAARRGGBB) onto another, bit for bit.
// SDL blends a picture that has neither colour nor alpha modulation on its per-pixel path and
// one with either on its general path; the two round differently.
#pragma once

#include <cstdint>
#include <vector>

// Colour and alpha modulation, each channel 0-255 (255: unchanged).
struct BlendModulation {
    uint32_t r = 255, g = 255, b = 255, a = 255;
    bool none() const { return (r & g & b & a) == 255; }
};

// Unmodulated: each channel, alpha too (its source value taken as 255), is source * a / 256
// plus screen * (255 - a) / 256, both truncated; a of 0 keeps the screen, 255 copies the source.
// Red and blue are computed together, as are alpha and green (no product reaches 16 bits).
inline uint32_t blendUnmodulated(uint32_t source, uint32_t screen) {
    uint32_t a = source >> 24;
    if (a == 0) return screen;
    if (a == 255) return source;
    uint32_t keep = 255 - a;
    uint32_t redBlue = (((source & 0xFF00FFu) * a >> 8) & 0xFF00FFu) +
                       (((screen & 0xFF00FFu) * keep >> 8) & 0xFF00FFu);
    uint32_t alphaGreen = ((((source >> 8) & 0xFFu) | 0xFF0000u) * a >> 8 & 0xFF00FFu) +
                          (((screen >> 8) & 0xFF00FFu) * keep >> 8 & 0xFF00FFu);
    return redBlue | alphaGreen << 8;
}

// Modulated: the source channels scaled by the modulation and then by the modulated alpha,
// each / 255 truncated, over the screen scaled by 255 - alpha. A screen without alpha (RGB888)
// takes its alpha as 255 and gets 0 in that byte.
// Two products of 8-bit values in 16-bit lanes (bits 0-15 and 16-31), each / 255 truncated:
// (x + 1 + x / 256) / 256 is x / 255 for every such product.
inline uint32_t divideLanesBy255(uint32_t lanes) {
    return ((lanes + 0x00010001u + ((lanes >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Alpha modulation only (a fading picture): two channels at a time.
inline uint32_t blendFaded(uint32_t source, uint32_t screen, uint32_t alphaModulation,
                           bool screenKeepsAlpha) {
    uint32_t a = divideLanesBy255((source >> 24) * alphaModulation);
    uint32_t keep = 255 - a;
    uint32_t redBlue = divideLanesBy255((source & 0xFF00FFu) * a) +
                       divideLanesBy255((screen & 0xFF00FFu) * keep);
    uint32_t alphaGreen = divideLanesBy255(((source >> 8) & 0xFFu) * a) +
                          divideLanesBy255(((screen >> 8) & 0xFF00FFu) * keep);
    alphaGreen = screenKeepsAlpha ? alphaGreen + (a << 16) : alphaGreen & 0xFFu;
    return redBlue | alphaGreen << 8;
}

inline uint32_t blendModulated(uint32_t source, uint32_t screen, const BlendModulation& m,
                               bool screenKeepsAlpha) {
    if ((m.r & m.g & m.b) == 255) return blendFaded(source, screen, m.a, screenKeepsAlpha);
    uint32_t a = (source >> 24) * m.a / 255;
    uint32_t r = ((source >> 16) & 255) * m.r / 255 * a / 255;
    uint32_t g = ((source >> 8) & 255) * m.g / 255 * a / 255;
    uint32_t b = (source & 255) * m.b / 255 * a / 255;
    uint32_t keep = 255 - a;
    r += keep * ((screen >> 16) & 255) / 255;
    g += keep * ((screen >> 8) & 255) / 255;
    b += keep * (screen & 255) / 255;
    uint32_t alpha = screenKeepsAlpha ? a + keep * (screen >> 24) / 255 : 0;
    return alpha << 24 | r << 16 | g << 8 | b;
}

inline uint32_t blendPixel(uint32_t source, uint32_t screen, const BlendModulation& m,
                           bool screenKeepsAlpha) {
    return m.none() ? blendUnmodulated(source, screen)
                    : blendModulated(source, screen, m, screenKeepsAlpha);
}

// How many of the screen pixels SDL's own blit (source over screen, blended with the
// modulation) leaves different from blendPixel: 0 when the two agree. Both rows of pixels are
// width x height; the screen is ARGB8888 if screenKeepsAlpha, else RGB888.
int64_t blendDisagreements(const std::vector<uint32_t>& source, const std::vector<uint32_t>& screen,
                           int64_t width, int64_t height, const BlendModulation& m,
                           bool screenKeepsAlpha);

// Whether blendPixel gives SDL's bytes on this machine for a screen of this kind, checked once
// on random pixels of every alpha under a few modulations (SDL may pick its blitter by CPU).
bool blendMatchesRenderer(bool screenKeepsAlpha);

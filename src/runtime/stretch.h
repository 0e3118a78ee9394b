// The software renderer's bilinear stretch of 32-bit pixels, computed for a window of its
// output only: a picture enlarged far past the screen costs what lands on the screen.
#pragma once

#include <cstdint>

#include "runtime/blend.h"

// Source pixels: a rectangle of 32-bit pixels, pitch in pixels. Both sides at least 2 pixels
// (the renderer's stretch treats thinner sources otherwise).
struct StretchSource {
    const uint32_t* pixels = nullptr;
    int64_t width = 0, height = 0, pitch = 0;
    // Every pixel of this colour (its low 24 bits) but for its alpha: only alpha is stretched.
    bool oneColour = false;
    uint32_t colour = 0;
};

// The part [windowX, windowX + windowWidth) x [windowY, windowY + windowHeight) of the source
// stretched to outWidth x outHeight, written to window (pitch in pixels): the same values,
// bit for bit, that SDL's linear stretch writes there when it fills the whole output.
void stretchWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                   int64_t windowX, int64_t windowY, int64_t windowWidth, int64_t windowHeight,
                   uint32_t* window, int64_t windowPitch);

// The stretched picture mirrored left to right (across) or top to bottom (down) after it is
// stretched: output x reads stretched column outWidth - 1 - x.
struct StretchMirror {
    bool across = false, down = false;
};

// The same window stretched and blended onto the screen in one pass, as SDL blends the
// window stretchWindow writes (with the modulation, onto an ARGB8888 screen if
// screenKeepsAlpha, else RGB888): screen points at the window's top left pixel (pitch in
// pixels). Outputs of a row beyond its first and last visible one are not computed. The
// number of outputs computed.
int64_t stretchBlendWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                           int64_t windowX, int64_t windowY, int64_t windowWidth,
                           int64_t windowHeight, uint32_t* screen, int64_t screenPitch,
                           const BlendModulation& modulation, bool screenKeepsAlpha,
                           StretchMirror mirror = {});

// The outputs along one axis, [first, end), whose samples read any of the source pixels
// from lo to hi: the rest of a stretched picture that is transparent outside them is too.
struct StretchSpan {
    int64_t first = 0, end = 0;
};
StretchSpan stretchedColumns(int64_t sourceWidth, int64_t outWidth, int64_t lo, int64_t hi);
StretchSpan stretchedRows(int64_t sourceHeight, int64_t outHeight, int64_t lo, int64_t hi);

// The software renderer's bilinear stretch of 32-bit pixels, computed for a window of its
// output only: a picture enlarged far past the screen costs what lands on the screen.
#pragma once

#include <cstdint>

// Source pixels: a rectangle of 32-bit pixels, pitch in pixels. Both sides at least 2 pixels
// (the renderer's stretch treats thinner sources otherwise).
struct StretchSource {
    const uint32_t* pixels = nullptr;
    int64_t width = 0, height = 0, pitch = 0;
};

// The part [windowX, windowX + windowWidth) x [windowY, windowY + windowHeight) of the source
// stretched to outWidth x outHeight, written to window (pitch in pixels): the same values,
// bit for bit, that SDL's linear stretch writes there when it fills the whole output.
void stretchWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                   int64_t windowX, int64_t windowY, int64_t windowWidth, int64_t windowHeight,
                   uint32_t* window, int64_t windowPitch);

// The outputs along one axis, [first, end), whose samples read any of the source pixels
// from lo to hi: the rest of a stretched picture that is transparent outside them is too.
struct StretchSpan {
    int64_t first = 0, end = 0;
};
StretchSpan stretchedColumns(int64_t sourceWidth, int64_t outWidth, int64_t lo, int64_t hi);
StretchSpan stretchedRows(int64_t sourceHeight, int64_t outHeight, int64_t lo, int64_t hi);

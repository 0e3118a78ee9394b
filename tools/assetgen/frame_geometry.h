// Placement of frame pictures relative to the fighter's feet, and writing them cropped.
#pragma once

#include <string>

#include "raster.h"

// The frame's "shift" (or "hurtShift") for a picture of width `width` whose feet reference
// point (in file orientation) is at column u, row v. The thousands carry the offset used when
// the fighter faces right, the last three digits the offset when it faces left.
struct FramePlacement {
    int shiftX = 0;
    int shiftY = 0;
};

FramePlacement placementFor(int width, int feetU, int feetV);
// True when both parts of shift.x stay within 0..999 (the picture fits the fighter's box).
bool placementFits(int width, int feetU);

// Crops the canvas to its visible pixels (1 px margin), writes outDir/relPath + ".png" (or the
// given suffix) with alpha, and sets the placement for the feet point given in canvas
// coordinates. An empty canvas is written as a single transparent pixel. False (with a message)
// when the file cannot be written: the data must not name a picture that is not there.
bool writeFramePicture(const std::string& outDir, const std::string& relPath, const std::string& suffix,
                       const Image& canvas, float feetX, float feetY, FramePlacement& placement);

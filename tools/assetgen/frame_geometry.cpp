// Placement of frame pictures relative to the fighter's feet, and writing them cropped.
#include "frame_geometry.h"

#include <cmath>

#include "png_writer.h"

FramePlacement placementFor(int width, int feetU, int feetV) {
    return FramePlacement{1000 * (481 - width + feetU) + (580 - feetU), 620 - feetV};
}

bool placementFits(int width, int feetU) {
    const int right = 481 - width + feetU;
    const int left = 580 - feetU;
    return right >= 0 && right <= 999 && left >= 0 && left <= 999;
}

bool writeFramePicture(const std::string& outDir, const std::string& relPath, const std::string& suffix,
                       const Image& canvas, float feetX, float feetY, FramePlacement& placement) {
    PixelBox box;
    const Image cropped = cropToVisible(canvas, 1, &box);
    const int u = int(std::lround(feetX)) - box.x;
    const int v = int(std::lround(feetY)) - box.y;
    placement = placementFor(cropped.width, u, v);
    return writePng(outDir + "/" + relPath + suffix, cropped, PngMode::Alpha);
}

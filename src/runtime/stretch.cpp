// The software renderer's bilinear stretch, one window of its output at a time. SDL walks
// every output pixel in 16.16 fixed point with 7-bit weights; the same arithmetic per pixel
// gives the same bytes for any part of the output.
#include "runtime/stretch.h"

#include <cstddef>
#include <vector>

namespace {
constexpr int kWeightBits = 7;                // weights from 0 to 128
constexpr int kWeightOne = 1 << kWeightBits;

// Where output pixel i samples along one axis: the first of the two source pixels and the
// second one's weight. Outputs before the first source pixel's centre, or past the last
// one's, take that edge pixel alone.
struct AxisSample {
    int64_t index = 0;
    int weight = 0;
};

struct Axis {
    int64_t sourceSize = 0, outSize = 0;
    int64_t start = 0, step = 0;       // 16.16 fixed point
    int64_t leftPad = 0, rightPad = 0; // outputs clamped to the first / last source pixel
};

Axis axisOf(int64_t sourceSize, int64_t outSize) {
    Axis a;
    a.sourceSize = sourceSize;
    a.outSize = outSize;
    a.step = int64_t(int32_t((uint32_t(sourceSize) << 16) / uint32_t(outSize)));
    // The first output pixel's centre in source coordinates, rounded as SDL rounds it.
    int64_t half = 1 << 15;
    int64_t centre = a.step * (half >> 16) + ((a.step * (half & 0xFFFF) + 0x8000) >> 16);
    a.start = centre - half;
    // Outputs sample left to right: the padded ones lie at both ends.
    for (int64_t i = 0; i < outSize; ++i) {
        int64_t at = a.start + i * a.step;
        if (at < 0) ++a.leftPad;
        else if ((at >> 16) > sourceSize - 2) ++a.rightPad;
    }
    return a;
}

// Horizontally the right pad still samples two pixels (the last two, all weight on the last).
AxisSample columnSample(const Axis& a, int64_t i) {
    if (i < a.leftPad) return {0, 0};
    if (i >= a.outSize - a.rightPad) return {a.sourceSize - 2, kWeightOne};
    int64_t at = a.start + i * a.step;
    return {at >> 16, int((at >> (16 - kWeightBits)) & (kWeightOne - 1))};
}

// Vertically a padded row takes one source row twice (weight 0 on the second).
struct RowSample {
    int64_t top = 0, bottom = 0;
    int weight = 0;
};

RowSample rowSample(const Axis& a, int64_t i) {
    if (i < a.leftPad) return {0, 0, 0};
    if (i > a.outSize - 1 - a.rightPad) return {a.sourceSize - 1, a.sourceSize - 1, 0};
    int64_t at = a.start + i * a.step;
    int64_t top = at >> 16;
    return {top, top + 1, int((at >> (16 - kWeightBits)) & (kWeightOne - 1))};
}

// Each 8-bit channel: vertical mix kept at 7 extra bits, then horizontal, then 14 bits off.
uint32_t mixFour(uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight,
                 int columnWeight, int rowWeight) {
    int rowOther = kWeightOne - rowWeight, columnOther = kWeightOne - columnWeight;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int left = int((topLeft >> shift) & 255) * rowOther + int((bottomLeft >> shift) & 255) * rowWeight;
        int right = int((topRight >> shift) & 255) * rowOther + int((bottomRight >> shift) & 255) * rowWeight;
        out |= uint32_t((left * columnOther + right * columnWeight) >> (2 * kWeightBits)) << shift;
    }
    return out;
}
} // namespace

void stretchWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                   int64_t windowX, int64_t windowY, int64_t windowWidth, int64_t windowHeight,
                   uint32_t* window, int64_t windowPitch) {
    Axis across = axisOf(source.width, outWidth), down = axisOf(source.height, outHeight);
    std::vector<AxisSample> columns(static_cast<size_t>(windowWidth));
    for (int64_t x = 0; x < windowWidth; ++x) columns[size_t(x)] = columnSample(across, windowX + x);
    for (int64_t y = 0; y < windowHeight; ++y) {
        RowSample row = rowSample(down, windowY + y);
        const uint32_t* top = source.pixels + row.top * source.pitch;
        const uint32_t* bottom = source.pixels + row.bottom * source.pitch;
        uint32_t* out = window + y * windowPitch;
        for (int64_t x = 0; x < windowWidth; ++x) {
            const AxisSample& c = columns[size_t(x)];
            out[x] = mixFour(top[c.index], top[c.index + 1], bottom[c.index], bottom[c.index + 1],
                             c.weight, row.weight);
        }
    }
}

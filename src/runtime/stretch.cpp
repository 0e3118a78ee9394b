// The software renderer's bilinear stretch, one window of its output at a time. SDL walks
// every output pixel in 16.16 fixed point with 7-bit weights; the same arithmetic per pixel
// gives the same bytes for any part of the output.
#include "runtime/stretch.h"

#include "runtime/blend.h"

#include <algorithm>
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

} // namespace

void stretchWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                   int64_t windowX, int64_t windowY, int64_t windowWidth, int64_t windowHeight,
                   uint32_t* window, int64_t windowPitch) {
    Axis across = axisOf(source.width, outWidth), down = axisOf(source.height, outHeight);
    std::vector<AxisSample> columns(static_cast<size_t>(windowWidth));
    for (int64_t x = 0; x < windowWidth; ++x) columns[size_t(x)] = columnSample(across, windowX + x);
    // The source columns the window reads, and each one's vertical mix for the current row:
    // every channel of both rows weighted, 7 bits above its 8 (SDL rounds only at the end).
    int64_t firstColumn = columns.empty() ? 0 : columns.front().index;
    int64_t lastColumn = columns.empty() ? -1 : columns.back().index + 1;
    std::vector<int32_t> mixed(size_t(std::max<int64_t>(lastColumn - firstColumn + 1, 0)) * 4);
    for (int64_t y = 0; y < windowHeight; ++y) {
        RowSample row = rowSample(down, windowY + y);
        const uint32_t* top = source.pixels + row.top * source.pitch;
        const uint32_t* bottom = source.pixels + row.bottom * source.pitch;
        int rowOther = kWeightOne - row.weight;
        for (int64_t u = firstColumn; u <= lastColumn; ++u) {
            int32_t* m = &mixed[size_t(u - firstColumn) * 4];
            for (int c = 0; c < 4; ++c)
                m[c] = int32_t((top[u] >> (8 * c)) & 255) * rowOther +
                       int32_t((bottom[u] >> (8 * c)) & 255) * row.weight;
        }
        uint32_t* out = window + y * windowPitch;
        for (int64_t x = 0; x < windowWidth; ++x) {
            const AxisSample& sample = columns[size_t(x)];
            const int32_t* left = &mixed[size_t(sample.index - firstColumn) * 4];
            const int32_t* right = left + 4;
            int other = kWeightOne - sample.weight;
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= uint32_t((left[c] * other + right[c] * sample.weight) >> (2 * kWeightBits)) << (8 * c);
            out[x] = pixel;
        }
    }
}

namespace {
// A run of outputs at least this long (pixels) that shows one colour is blended through tables:
// building them costs 256 blends, a long run saves its per-pixel arithmetic many times over.
constexpr int64_t kLongRun = 48;

// What blending one colour makes of each value of each screen channel (each result already in
// its place in the pixel). The blend treats the channels apart, so a pixel's result is the
// four channels' results together.
struct ChannelTables {
    uint32_t pixel = 0;
    BlendModulation modulation;
    bool keepsAlpha = false, built = false;
    uint32_t lanes[4][256];
};

const ChannelTables& tablesFor(uint32_t pixel, const BlendModulation& m, bool keepsAlpha) {
    static ChannelTables tables; // the last colour's: a filled shape repeats one colour
    if (tables.built && tables.pixel == pixel && tables.keepsAlpha == keepsAlpha &&
        tables.modulation.r == m.r && tables.modulation.g == m.g && tables.modulation.b == m.b &&
        tables.modulation.a == m.a)
        return tables;
    tables = {pixel, m, keepsAlpha, true, {}};
    for (uint32_t v = 0; v < 256; ++v) {
        uint32_t blended = blendPixel(pixel, v * 0x01010101u, m, keepsAlpha);
        for (int c = 0; c < 4; ++c) tables.lanes[c][v] = blended & (0xFFu << (8 * c));
    }
    return tables;
}
} // namespace

int64_t stretchBlendWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                           int64_t windowX, int64_t windowY, int64_t windowWidth,
                           int64_t windowHeight, uint32_t* screen, int64_t screenPitch,
                           const BlendModulation& modulation, bool screenKeepsAlpha) {
    if (windowWidth <= 0 || windowHeight <= 0) return 0;
    Axis across = axisOf(source.width, outWidth), down = axisOf(source.height, outHeight);
    // The window's outputs in runs that read the same pair of source columns, and each
    // output's weight on the second.
    struct Run {
        int64_t index = 0, first = 0, end = 0;
    };
    static std::vector<Run> runs; // kept from draw to draw: no allocation per frame
    static std::vector<int32_t> weights;
    runs.clear();
    weights.resize(size_t(windowWidth));
    for (int64_t x = 0; x < windowWidth; ++x) {
        AxisSample sample = columnSample(across, windowX + x);
        weights[size_t(x)] = sample.weight;
        if (runs.empty() || runs.back().index != sample.index) runs.push_back({sample.index, x, x});
        runs.back().end = x + 1;
    }
    int64_t firstColumn = runs.front().index, lastColumn = runs.back().index + 1;
    // Each source column's vertical mix for the current row, channels in 0xAARRGGBB order
    // from blue up, 7 bits above their 8.
    static std::vector<int32_t> mixed;
    mixed.resize(size_t(lastColumn - firstColumn + 1) * 4);
    bool plain = modulation.none();
    // An RGB888 screen's alpha byte becomes 0 wherever the general path blends, even under
    // a transparent output: those outputs are still visited there.
    bool visitTransparent = !plain && !screenKeepsAlpha;
    int64_t computed = 0;
    for (int64_t y = 0; y < windowHeight; ++y) {
        RowSample row = rowSample(down, windowY + y);
        const uint32_t* top = source.pixels + row.top * source.pitch;
        const uint32_t* bottom = source.pixels + row.bottom * source.pitch;
        int32_t rowOther = kWeightOne - row.weight, rowWeight = row.weight;
        for (int64_t u = firstColumn; u <= lastColumn; ++u) {
            int32_t* m = &mixed[size_t(u - firstColumn) * 4];
            uint32_t t = top[u], b = bottom[u];
            for (int c = 0; c < 4; ++c)
                m[c] = int32_t((t >> (8 * c)) & 255) * rowOther + int32_t((b >> (8 * c)) & 255) * rowWeight;
        }
        uint32_t* out = screen + y * screenPitch;
        for (const Run& run : runs) {
            const int32_t* left = &mixed[size_t(run.index - firstColumn) * 4];
            const int32_t* right = left + 4;
            if (left[3] == 0 && right[3] == 0) { // every output of the run is transparent
                if (visitTransparent)
                    for (int64_t x = run.first; x < run.end; ++x) out[x] &= 0x00FFFFFFu;
                continue;
            }
            computed += run.end - run.first;
            if (std::equal(left, left + 4, right) && run.end - run.first >= kLongRun) {
                // Both columns alike (inside a filled shape): one colour over the whole run,
                // blended through per-channel tables of what it makes of each screen value.
                uint32_t pixel = 0;
                for (int c = 0; c < 4; ++c) pixel |= uint32_t(left[c] >> kWeightBits) << (8 * c);
                const ChannelTables& tables = tablesFor(pixel, modulation, screenKeepsAlpha);
                for (int64_t x = run.first; x < run.end; ++x) {
                    uint32_t dst = out[x];
                    out[x] = tables.lanes[3][dst >> 24] | tables.lanes[2][(dst >> 16) & 255] |
                             tables.lanes[1][(dst >> 8) & 255] | tables.lanes[0][dst & 255];
                }
                continue;
            }
            // left * (128 - w) + right * w, as left * 128 + (right - left) * w.
            int32_t base[4], slope[4];
            for (int c = 0; c < 4; ++c) base[c] = left[c] * kWeightOne, slope[c] = right[c] - left[c];
            for (int64_t x = run.first; x < run.end; ++x) {
                int32_t weight = weights[size_t(x)];
                uint32_t pixel = 0;
                for (int c = 0; c < 4; ++c)
                    pixel |= uint32_t((base[c] + slope[c] * weight) >> (2 * kWeightBits)) << (8 * c);
                out[x] = plain ? blendUnmodulated(pixel, out[x])
                               : blendModulated(pixel, out[x], modulation, screenKeepsAlpha);
            }
        }
    }
    return computed;
}

StretchSpan stretchedColumns(int64_t sourceWidth, int64_t outWidth, int64_t lo, int64_t hi) {
    Axis a = axisOf(sourceWidth, outWidth);
    StretchSpan span{outWidth, 0};
    for (int64_t x = 0; x < outWidth; ++x) {
        AxisSample s = columnSample(a, x);
        if (s.index + 1 >= lo && s.index <= hi) span = {std::min(span.first, x), x + 1};
    }
    return span.first < span.end ? span : StretchSpan{};
}

StretchSpan stretchedRows(int64_t sourceHeight, int64_t outHeight, int64_t lo, int64_t hi) {
    Axis a = axisOf(sourceHeight, outHeight);
    StretchSpan span{outHeight, 0};
    for (int64_t y = 0; y < outHeight; ++y) {
        RowSample s = rowSample(a, y);
        if (s.bottom >= lo && s.top <= hi) span = {std::min(span.first, y), y + 1};
    }
    return span.first < span.end ? span : StretchSpan{};
}

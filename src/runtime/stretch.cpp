// The software renderer's bilinear stretch, one window of its output at a time. SDL walks
// every output pixel in 16.16 fixed point with 7-bit weights; the same arithmetic per pixel
// gives the same bytes for any part of the output.
#include "runtime/stretch.h"

#include "runtime/blend.h"
#include "runtime/parallel.h"
#include "runtime/vectorised.h"

#include <algorithm>
#include <atomic>
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

// One source row stretched across the window: each channel (blue, green, red, alpha) in a row
// of its own, left * (128 - w) + right * w (at most 255 * 128, 7 bits above its 8).
struct StretchedRow {
    int64_t sourceRow = -1;
    std::vector<int16_t> channels[4];
    std::vector<uint32_t> left, right; // the two source pixels each output reads
    int64_t first = 0, end = 0;        // the outputs whose alpha is above 0
};

// Where each output column of a window samples: its first source column and its weight on the
// second.
struct ColumnSamples {
    std::vector<int32_t> columns, weights;
};

// The source pixels are gathered first, so that the arithmetic runs over rows in order (which
// the compiler vectorises) and the visible outputs are found from both ends.
QRX_VECTORISED
void stretchRow(const StretchSource& source, int64_t sourceRow, const ColumnSamples& samples,
                StretchedRow& out) {
    size_t width = samples.columns.size();
    const uint32_t* pixels = source.pixels + sourceRow * source.pitch;
    const int32_t* columns = samples.columns.data();
    const int32_t* weights = samples.weights.data();
    out.left.resize(width);
    out.right.resize(width);
    uint32_t *left = out.left.data(), *right = out.right.data();
    for (size_t x = 0; x < width; ++x) {
        left[x] = pixels[columns[x]];
        right[x] = pixels[columns[x] + 1];
    }
    for (int c = source.oneColour ? 3 : 0; c < 4; ++c) {
        out.channels[c].resize(width);
        int16_t* channel = out.channels[c].data();
        int shift = 8 * c;
        for (size_t x = 0; x < width; ++x)
            channel[x] = int16_t(int32_t((left[x] >> shift) & 255) * (kWeightOne - weights[x]) +
                                 int32_t((right[x] >> shift) & 255) * weights[x]);
    }
    out.sourceRow = sourceRow;
    const int16_t* alpha = out.channels[3].data();
    int64_t first = 0, end = int64_t(width);
    while (first < end && alpha[first] == 0) ++first;
    while (end > first && alpha[end - 1] == 0) --end;
    out.first = first < end ? first : int64_t(width);
    out.end = first < end ? end : 0;
}

ColumnSamples columnSamplesOf(const Axis& across, int64_t windowX, int64_t windowWidth, bool mirrored) {
    ColumnSamples samples;
    samples.columns.resize(size_t(windowWidth));
    samples.weights.resize(size_t(windowWidth));
    for (int64_t x = 0; x < windowWidth; ++x) {
        int64_t output = mirrored ? across.outSize - 1 - (windowX + x) : windowX + x;
        AxisSample sample = columnSample(across, output);
        samples.columns[size_t(x)] = int32_t(sample.index);
        samples.weights[size_t(x)] = sample.weight;
    }
    return samples;
}

// The two source rows the current output row mixes, stretched across: an enlarged picture
// mixes the same two for many output rows. The mix is one sum of products rounded once, so
// stretching across before mixing down gives SDL's bytes.
struct HeldRows {
    StretchedRow held[2];
    const StretchedRow& stretched(const StretchSource& source, const ColumnSamples& samples,
                                  int64_t sourceRow, int64_t keep) {
        for (const StretchedRow& row : held)
            if (row.sourceRow == sourceRow) return row;
        StretchedRow& spare = held[0].sourceRow == keep ? held[1] : held[0];
        stretchRow(source, sourceRow, samples, spare);
        return spare;
    }
};

// An output row's pixels from first to end, its two stretched source rows mixed down. A
// source of one colour mixes its alpha alone: its weights add up to one, so the colour
// comes out as it went in.
inline void mixDown(const StretchSource& source, const StretchedRow& top, const StretchedRow& bottom,
                    int32_t bottomWeight, int64_t first, int64_t end, uint32_t* pixel) {
    int32_t topWeight = kWeightOne - bottomWeight;
    const int16_t *t3 = top.channels[3].data(), *b3 = bottom.channels[3].data();
    auto mix = [&](int32_t t, int32_t b) {
        return uint32_t((t * topWeight + b * bottomWeight) >> (2 * kWeightBits));
    };
    if (source.oneColour) {
        uint32_t colour = source.colour & 0x00FFFFFFu;
        for (int64_t x = first; x < end; ++x) pixel[x] = colour | mix(t3[x], b3[x]) << 24;
        return;
    }
    const int16_t *t0 = top.channels[0].data(), *t1 = top.channels[1].data();
    const int16_t *t2 = top.channels[2].data();
    const int16_t *b0 = bottom.channels[0].data(), *b1 = bottom.channels[1].data();
    const int16_t *b2 = bottom.channels[2].data();
    for (int64_t x = first; x < end; ++x)
        pixel[x] = mix(t0[x], b0[x]) | mix(t1[x], b1[x]) << 8 | mix(t2[x], b2[x]) << 16 |
                   mix(t3[x], b3[x]) << 24;
}

// The window's rows from firstRow to endRow (see stretchBlendWindow).
QRX_VECTORISED
int64_t stretchBlendRows(const StretchSource& source, const Axis& down, const ColumnSamples& samples,
                         int64_t windowY, int64_t firstRow, int64_t endRow, uint32_t* screen,
                         int64_t screenPitch, const BlendModulation& modulation, bool screenKeepsAlpha,
                         bool mirroredDown) {
    int64_t windowWidth = int64_t(samples.columns.size());
    HeldRows rows;
    std::vector<uint32_t> mixed(static_cast<size_t>(windowWidth));
    uint32_t* pixel = mixed.data();
    bool plain = modulation.none(), faded = (modulation.r & modulation.g & modulation.b) == 255;
    int64_t computed = 0;
    for (int64_t y = firstRow; y < endRow; ++y) {
        RowSample row = rowSample(down, mirroredDown ? down.outSize - 1 - (windowY + y) : windowY + y);
        const StretchedRow& top = rows.stretched(source, samples, row.top, row.bottom);
        const StretchedRow& bottom = rows.stretched(source, samples, row.bottom, row.top);
        // Blended, an output of no alpha leaves the screen as it is, but for an RGB888
        // screen's alpha byte, which the modulated path sets to 0 even there.
        int64_t first = std::min(top.first, bottom.first), end = std::max(top.end, bottom.end);
        uint32_t* out = screen + y * screenPitch;
        if (!plain && !screenKeepsAlpha)
            for (int64_t x = 0; x < windowWidth; ++x)
                if (x < first || x >= end) out[x] &= 0x00FFFFFFu;
        if (first >= end) continue;
        computed += end - first;
        mixDown(source, top, bottom, int32_t(row.weight), first, end, pixel);
        // One loop per kind of blend, each without a branch on the kind.
        if (plain) {
            for (int64_t x = first; x < end; ++x) out[x] = blendUnmodulated(pixel[x], out[x]);
        } else if (faded && screenKeepsAlpha) {
            for (int64_t x = first; x < end; ++x) out[x] = blendFaded(pixel[x], out[x], modulation.a, true);
        } else if (faded) {
            for (int64_t x = first; x < end; ++x) out[x] = blendFaded(pixel[x], out[x], modulation.a, false);
        } else {
            for (int64_t x = first; x < end; ++x)
                out[x] = blendModulated(pixel[x], out[x], modulation, screenKeepsAlpha);
        }
    }
    return computed;
}

// A window of at least this many outputs is shared among the machine's cores, in bands of rows
// (starting a thread costs what some ten thousand outputs do).
constexpr int64_t kSharedOutputs = 256 * 1024;
constexpr int64_t kBands = 8;
} // namespace

int64_t stretchBlendWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                           int64_t windowX, int64_t windowY, int64_t windowWidth,
                           int64_t windowHeight, uint32_t* screen, int64_t screenPitch,
                           const BlendModulation& modulation, bool screenKeepsAlpha,
                           StretchMirror mirror) {
    if (windowWidth <= 0 || windowHeight <= 0) return 0;
    Axis across = axisOf(source.width, outWidth), down = axisOf(source.height, outHeight);
    ColumnSamples samples = columnSamplesOf(across, windowX, windowWidth, mirror.across);
    auto rows = [&](int64_t first, int64_t end) {
        return stretchBlendRows(source, down, samples, windowY, first, end, screen, screenPitch,
                                modulation, screenKeepsAlpha, mirror.down);
    };
    if (windowWidth * windowHeight < kSharedOutputs) return rows(0, windowHeight);
    std::atomic<int64_t> computed{0};
    forEachOnEveryCore(size_t(kBands), [&](size_t band) {
        computed += rows(windowHeight * int64_t(band) / kBands, windowHeight * int64_t(band + 1) / kBands);
    });
    return computed;
}

QRX_VECTORISED
void stretchWindow(const StretchSource& source, int64_t outWidth, int64_t outHeight,
                   int64_t windowX, int64_t windowY, int64_t windowWidth, int64_t windowHeight,
                   uint32_t* window, int64_t windowPitch) {
    if (windowWidth <= 0 || windowHeight <= 0) return;
    Axis across = axisOf(source.width, outWidth), down = axisOf(source.height, outHeight);
    ColumnSamples samples = columnSamplesOf(across, windowX, windowWidth, false);
    HeldRows rows;
    for (int64_t y = 0; y < windowHeight; ++y) {
        RowSample row = rowSample(down, windowY + y);
        const StretchedRow& top = rows.stretched(source, samples, row.top, row.bottom);
        const StretchedRow& bottom = rows.stretched(source, samples, row.bottom, row.top);
        mixDown(source, top, bottom, int32_t(row.weight), 0, windowWidth, window + y * windowPitch);
    }
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

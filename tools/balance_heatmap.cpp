// Drawing the pair matrix's heat map.
#include "balance_heatmap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "font_sheet.h"
#include "png_writer.h"

namespace {

// Regular text beside the bold display face, both from fonts-dejavu-core.
constexpr const char* kRegularFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The colour scale saturates this far from 50 % (20 points: at 30 % and 70 %).
constexpr double kScaleReach = 0.20;

const Color kBackground = rgb(238, 238, 236);
const Color kInk = rgb(34, 34, 38);
const Color kSoftInk = rgb(90, 90, 96);
const Color kMirrorCell = rgb(178, 178, 178);
const Color kEmptyCell = rgb(250, 250, 250);
const Color kHigh = rgb(200, 40, 38); // the row class wins more often
const Color kLow = rgb(36, 96, 176);  // the row class loses more often

// Layout in pixels: the grid's place, room for the row names on its left and the legend below.
constexpr float kGridLeft = 170;
constexpr float kGridTop = 118;
constexpr float kGridRight = kMatrixWidth - 28;
constexpr float kGridBottom = kMatrixHeight - 112;
constexpr float kCellGap = 4;
constexpr float kLegendTop = kMatrixHeight - 72;
constexpr float kLegendHeight = 16;
constexpr float kLegendLeft = 290;
constexpr float kLegendRight = 610;

enum class Align { Left, Centre, Right };

// Writes a line of text whose baseline is at y; x is its left edge, centre or right edge.
// Alignment follows the ink, so that a centred number sits in the middle of its cell.
void drawText(Image& canvas, const std::string& text, const char* font, int size, Color colour,
              float x, float y, Align align) {
    int baseline = 0;
    Image mask = textMask(font, text, size, &baseline);
    for (Color& pixel : mask.pixels)
        pixel = Color{colour.r * pixel.a, colour.g * pixel.a, colour.b * pixel.a, pixel.a};
    const PixelBox ink = visibleBox(mask);
    float left = x - float(ink.x);
    if (align == Align::Centre) left = x - float(ink.x) - float(ink.width) / 2;
    if (align == Align::Right) left = x - float(ink.x + ink.width);
    drawImage(canvas, mask, int(std::lround(left)), int(std::lround(y)) - baseline);
}

// Dark ink on pale cells, white on deep ones.
Color inkOn(double fraction) {
    return std::fabs(fraction - 0.5) > 0.55 * kScaleReach ? rgb(255, 255, 255) : kInk;
}

std::string wholePercent(double fraction) {
    char text[16];
    std::snprintf(text, sizeof text, "%.0f %%", 100 * fraction);
    return text;
}

void drawCell(Image& canvas, float x, float y, float w, float h, const Rate& rate, bool mirror) {
    const float centreX = x + w / 2, centreY = y + h / 2;
    const int big = int(std::clamp(h * 0.30f, 12.0f, 30.0f));
    const int small = int(std::clamp(h * 0.15f, 10.0f, 15.0f));
    if (mirror) {
        fillRect(canvas, x, y, w, h, solid(kMirrorCell));
        // The dash drawn as a bar: the font is read byte by byte, which cannot give an em dash.
        const float dash = std::min(w * 0.25f, 36.0f);
        fillRect(canvas, centreX - dash / 2, centreY - 1.5f, dash, 3, solid(kInk));
        return;
    }
    if (rate.played == 0) {
        fillRect(canvas, x, y, w, h, solid(kEmptyCell));
        drawText(canvas, "no match", kRegularFont, small, kSoftInk, centreX,
                 centreY + float(small) / 3, Align::Centre);
        return;
    }
    const double fraction = fractionOf(rate);
    fillRect(canvas, x, y, w, h, solid(winRateColour(fraction)));
    const Color ink = inkOn(fraction);
    drawText(canvas, wholePercent(fraction), kDisplayFontFile, big, ink, centreX,
             centreY + float(big) * 0.25f, Align::Centre);
    drawText(canvas, std::to_string(rate.played) + " matches", kRegularFont, small, ink, centreX,
             centreY + float(big) * 0.25f + float(small) * 1.6f, Align::Centre);
}

void drawLegend(Image& canvas) {
    const float width = kLegendRight - kLegendLeft;
    for (int px = 0; px < int(width); ++px) {
        const double fraction = 0.5 - kScaleReach + 2 * kScaleReach * (px + 0.5) / width;
        fillRect(canvas, kLegendLeft + float(px), kLegendTop, 1, kLegendHeight,
                 solid(winRateColour(fraction)));
    }
    // A hairline frame so that the white middle does not melt into the background.
    const Color frame = rgb(150, 150, 150);
    fillRect(canvas, kLegendLeft - 1, kLegendTop - 1, width + 2, 1, solid(frame));
    fillRect(canvas, kLegendLeft - 1, kLegendTop + kLegendHeight, width + 2, 1, solid(frame));
    fillRect(canvas, kLegendLeft - 1, kLegendTop - 1, 1, kLegendHeight + 2, solid(frame));
    fillRect(canvas, kLegendLeft + width, kLegendTop - 1, 1, kLegendHeight + 2, solid(frame));
    for (int tick = 0; tick <= 4; ++tick) {
        const double fraction = 0.5 - kScaleReach + tick * kScaleReach / 2;
        const float x = kLegendLeft + width * float(tick) / 4;
        fillRect(canvas, x - 0.5f, kLegendTop + kLegendHeight, 1, 5, solid(frame));
        std::string label = wholePercent(fraction);
        if (tick == 0) label = "30 % or less";
        if (tick == 4) label = "70 % or more";
        drawText(canvas, label, kRegularFont, 13, kSoftInk, x, kLegendTop + kLegendHeight + 20,
                 Align::Centre);
    }
    drawText(canvas, "row class loses", kRegularFont, 14, kInk, kLegendLeft - 56,
             kLegendTop + kLegendHeight - 3, Align::Right);
    drawText(canvas, "row class wins", kRegularFont, 14, kInk, kLegendRight + 56,
             kLegendTop + kLegendHeight - 3, Align::Left);
}

} // namespace

Color winRateColour(double fraction) {
    const double t = std::clamp((fraction - 0.5) / kScaleReach, -1.0, 1.0);
    return mix(rgb(255, 255, 255), t >= 0 ? kHigh : kLow, float(std::fabs(t)));
}

Image drawPairMatrix(const Roster& roster, const HardFigures& hard) {
    Image canvas = makeImage(kMatrixWidth, kMatrixHeight, kBackground);
    drawText(canvas, "Hard vs Hard: row class's win rate against column class", kDisplayFontFile,
             22, kInk, kMatrixWidth / 2.0f, 40, Align::Centre);
    drawText(canvas,
             "Both orders pooled, " + std::to_string(hard.matches) +
                 " matches; undecided matches count as not won",
             kRegularFont, 15, kSoftInk, kMatrixWidth / 2.0f, 68, Align::Centre);

    const std::vector<int64_t> shown = shownClasses(roster, hard);
    if (shown.empty()) return canvas;
    const float count = float(shown.size());
    const float cellW = (kGridRight - kGridLeft) / count;
    const float cellH = (kGridBottom - kGridTop) / count;
    const int nameSize = int(std::clamp(cellH * 0.2f, 11.0f, 17.0f));
    for (size_t i = 0; i < shown.size(); ++i) {
        const std::string& name = roster[size_t(shown[i])].name;
        drawText(canvas, name, kDisplayFontFile, nameSize, kInk,
                 kGridLeft + cellW * (float(i) + 0.5f), kGridTop - 12, Align::Centre);
        drawText(canvas, name, kDisplayFontFile, nameSize, kInk, kGridLeft - 14,
                 kGridTop + cellH * (float(i) + 0.5f) + float(nameSize) / 3, Align::Right);
    }
    for (size_t row = 0; row < shown.size(); ++row) {
        for (size_t column = 0; column < shown.size(); ++column) {
            const float x = kGridLeft + cellW * float(column) + kCellGap / 2;
            const float y = kGridTop + cellH * float(row) + kCellGap / 2;
            const Rate& rate = hard.pairs[size_t(shown[row])][size_t(shown[column])];
            drawCell(canvas, x, y, cellW - kCellGap, cellH - kCellGap, rate, row == column);
        }
    }
    drawLegend(canvas);
    return canvas;
}

bool writePairMatrix(const std::string& path, const Roster& roster, const HardFigures& hard) {
    return writePng(path, drawPairMatrix(roster, hard), PngMode::Alpha);
}

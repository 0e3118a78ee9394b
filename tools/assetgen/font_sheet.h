// The bitmap font sheet: one row of 16x16 glyph cells rendered from DejaVu Sans Mono Bold.
#pragma once

#include <iterator>
#include <string>

#include "raster.h"

constexpr int kFontCell = 16;        // cell width and height in pixels
constexpr int kFontFirstCode = 32;   // the first cell is the space
constexpr int kFontLastCode = 255;   // Latin-1 upper half included
// Characters past Latin-1, in cells after the last one, in this order (the game's text drawing
// knows the same order): the ellipsis of "Finding a path…".
constexpr int kFontExtraCodes[] = {0x2026};
constexpr int kFontCellCount = kFontLastCode - kFontFirstCode + 1 + int(std::size(kFontExtraCodes));

// Renders the sheet (white glyphs, pure black elsewhere); false when the font cannot be read.
bool renderFontSheet(const std::string& fontFile, Image& sheet);
// Writes image/letter_white.png.
bool writeFontSheet(const std::string& outDir);

// Renders a line of text with a TrueType font into a white image whose alpha is the glyph
// coverage, tightly sized (baseline at `baseline` from the top, returned through it).
Image textMask(const std::string& fontFile, const std::string& text, int pixelSize, int* baseline = nullptr);

// The bold sans-serif face used for big numbers and labels.
constexpr const char* kDisplayFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

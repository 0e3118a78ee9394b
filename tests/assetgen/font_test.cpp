// The bitmap font sheet: the cell row, glyphs inside their advance, the colour key, look-alikes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "font_sheet.h"
#include "png_writer.h"

namespace {

constexpr int kAdvance = 13;  // the game moves the pen 13 px per glyph

// Rendered once for the file: FreeType set-up per test would dominate the run.
const Image& fontSheet() {
    static Image sheet;
    static const bool rendered = renderFontSheet(QRX_FONT_FILE, sheet);
    EXPECT_TRUE(rendered);
    return sheet;
}

// Ink of one cell: true where the glyph is drawn (anything the colour key keeps).
std::vector<bool> inkOf(const Image& sheet, int code) {
    std::vector<bool> ink(size_t(kFontCell * kFontCell), false);
    const int cellX = (code - kFontFirstCode) * kFontCell;
    for (int y = 0; y < kFontCell; ++y) {
        for (int x = 0; x < kFontCell; ++x) {
            const Color c = straightColor(sheet, cellX + x, y);
            ink[size_t(y * kFontCell + x)] = c.a >= 0.5f && (c.r > 0 || c.g > 0 || c.b > 0);
        }
    }
    return ink;
}

struct InkBox {
    int count = 0;
    int left = kFontCell, right = -1, top = kFontCell, bottom = -1;
};

InkBox boxOf(const std::vector<bool>& ink) {
    InkBox b;
    for (int y = 0; y < kFontCell; ++y) {
        for (int x = 0; x < kFontCell; ++x) {
            if (!ink[size_t(y * kFontCell + x)]) continue;
            ++b.count;
            b.left = std::min(b.left, x);
            b.right = std::max(b.right, x);
            b.top = std::min(b.top, y);
            b.bottom = std::max(b.bottom, y);
        }
    }
    return b;
}

int differingPixels(const std::vector<bool>& a, const std::vector<bool>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

TEST(FontSheet, OneRowOfCellsFromTheSpaceUpwards) {
    const Image& sheet = fontSheet();
    EXPECT_EQ(sheet.height, kFontCell);
    EXPECT_EQ(sheet.width, kFontCellCount * kFontCell);
    EXPECT_EQ(boxOf(inkOf(sheet, ' ')).count, 0);
    // The ellipsis follows Latin-1: dots on the baseline, like the full stop's, within the advance.
    const InkBox ellipsis = boxOf(inkOf(sheet, kFontLastCode + 1));
    const InkBox stop = boxOf(inkOf(sheet, '.'));
    EXPECT_GT(ellipsis.count, 2 * stop.count);
    EXPECT_NEAR(ellipsis.bottom, stop.bottom, 1);
    EXPECT_LT(ellipsis.right, kAdvance);
}

TEST(FontSheet, EveryPrintableGlyphIsDrawnWithinItsAdvance) {
    const Image& sheet = fontSheet();
    for (int code = 33; code <= 126; ++code) {
        const InkBox b = boxOf(inkOf(sheet, code));
        ASSERT_GT(b.count, 0) << "glyph " << char(code) << " is empty";
        // Columns past the advance are drawn over by the next glyph: nothing may be there.
        EXPECT_LT(b.right, kAdvance) << char(code);
        EXPECT_GE(b.left, 0) << char(code);
    }
}

TEST(FontSheet, GlyphsShareOneBaseline) {
    const Image& sheet = fontSheet();
    const InkBox capital = boxOf(inkOf(sheet, 'H'));
    for (char c : std::string("ABEHMXZbdhkx0123456789")) {
        EXPECT_EQ(boxOf(inkOf(sheet, c)).bottom, capital.bottom) << c;
    }
    // Descenders go below it, small letters stay under the capitals' top, the dash sits between.
    for (char c : std::string("gjpqy")) EXPECT_GT(boxOf(inkOf(sheet, c)).bottom, capital.bottom) << c;
    EXPECT_GT(boxOf(inkOf(sheet, 'x')).top, capital.top);
    const InkBox dash = boxOf(inkOf(sheet, '-'));
    EXPECT_GT(dash.top, capital.top);
    EXPECT_LT(dash.bottom, capital.bottom);
    EXPECT_GT(boxOf(inkOf(sheet, '_')).bottom, dash.bottom);
}

TEST(FontSheet, LookAlikeCharactersCanBeToldApart) {
    const Image& sheet = fontSheet();
    const std::vector<std::pair<char, char>> pairs = {{'O', '0'}, {'l', '1'}, {'I', 'l'}, {'I', '1'}, {'5', 'S'},
                                                      {'8', 'B'}, {'.', ','}, {':', ';'}, {'o', '0'}, {'2', 'Z'},
                                                      {'u', 'v'}, {'n', 'h'}, {'(', '['}, {'\'', '`'}};
    for (const auto& [a, b] : pairs) {
        EXPECT_GE(differingPixels(inkOf(sheet, a), inkOf(sheet, b)), 4) << a << " and " << b;
    }
    // No two printable codes share a picture.
    for (int a = 33; a <= 126; ++a) {
        for (int b = a + 1; b <= 126; ++b) {
            EXPECT_GT(differingPixels(inkOf(sheet, a), inkOf(sheet, b)), 0) << char(a) << " and " << char(b);
        }
    }
}

TEST(FontSheet, AccentedCapitalsFitTheirCellsAndKeepTheirAccents) {
    const Image& sheet = fontSheet();
    // É, Ö, Ñ: shrunk to fit the 16 px cell, still different from the plain letter.
    for (const auto& [accented, plain] : std::vector<std::pair<int, int>>{{201, 'E'}, {214, 'O'}, {209, 'N'}}) {
        const InkBox b = boxOf(inkOf(sheet, accented));
        ASSERT_GT(b.count, 0) << accented;
        EXPECT_LT(b.right, kAdvance) << accented;
        EXPECT_GE(differingPixels(inkOf(sheet, accented), inkOf(sheet, plain)), 4) << accented;
    }
}

TEST(FontSheet, WrittenSheetIsLightInkOnTheBlackKey) {
    const auto dir = std::filesystem::temp_directory_path() / "assetgen_font_test";
    std::filesystem::create_directories(dir / "image");
    ASSERT_TRUE(writeFontSheet(dir.string()));
    Image back;
    ASSERT_TRUE(readPng((dir / "image/letter_white.png").string(), back));
    EXPECT_EQ(back.width, fontSheet().width);
    int key = 0, ink = 0;
    for (int y = 0; y < back.height; ++y) {
        for (int x = 0; x < back.width; ++x) {
            const Color c = straightColor(back, x, y);
            ASSERT_EQ(c.a, 1.0f);  // colour-keyed pictures carry no alpha
            if (c.r == 0 && c.g == 0 && c.b == 0) {
                ++key;
                continue;
            }
            // Grey to white: the game's tint multiplies it, so a dark or coloured pixel would
            // make letters muddy.
            EXPECT_EQ(c.r, c.g);
            EXPECT_EQ(c.g, c.b);
            EXPECT_GE(c.r, 0.4f) << x << "," << y;
            ++ink;
        }
    }
    EXPECT_GT(key, ink);  // mostly background
    EXPECT_GT(ink, 95 * 12);
    std::filesystem::remove_all(dir);
}

TEST(FontSheet, MissingFontFileFails) {
    Image sheet;
    EXPECT_FALSE(renderFontSheet("/nonexistent/font.ttf", sheet));
}

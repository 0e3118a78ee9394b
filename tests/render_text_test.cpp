// Bitmap text: layout, kerning, line breaks, culling, wrapping, menu entries and the pulse.
#include "headless_fixture.h"

#include "data/sprite_numbers.h"
#include "render/text.h"
#include "settings/game_screen.h"

namespace {
// A font of 95 cells (codes 32-126); each glyph a white square with a one-pixel black border.
void makeFont() {
    const int64_t width = 95 * 16;
    std::vector<uint32_t> pixels(size_t(width * 16), 0xFF000000u);
    for (int64_t y = 1; y < 15; ++y)
        for (int64_t x = 16; x < width; ++x)
            if (x % 16 >= 1 && x % 16 < 15) pixels[size_t(y * width + x)] = 0xFFFFFFFFu;
    ASSERT_TRUE(savePng("font_test.png", width, 16, pixels.data()));
    letterSprite = takeSpriteNumber();
    ASSERT_EQ(loadSprite(letterSprite, "font_test.png", 0), 1);
    std::remove("font_test.png");
}

struct TextTest : HeadlessScreen {
    std::vector<PlacedGlyph> glyphs;
    void SetUp() override {
        HeadlessScreen::SetUp();
        screenWidth = kWidth;
        screenHeight = kHeight;
        makeFont();
        recordGlyphs(&glyphs);
    }
    void TearDown() override {
        recordGlyphs(nullptr);
        letterSprite = 0;
        HeadlessScreen::TearDown();
    }
    std::vector<int64_t> xs() const {
        std::vector<int64_t> out;
        for (const PlacedGlyph& g : glyphs) out.push_back(g.x);
        return out;
    }
};
} // namespace

TEST_F(TextTest, AdvanceAndPunctuationKerning) {
    screenWidth = 1000;
    EXPECT_EQ(drawText("a.b", 0, 10, 0, 128), 28);
    EXPECT_EQ(xs(), (std::vector<int64_t>{0, 8, 21})); // "." 8 px on, then 13 to the next
    glyphs.clear();
    drawText("'''", 100, 0, 0, 128);
    EXPECT_EQ(xs(), (std::vector<int64_t>{97, 104, 111})); // 7 px per apostrophe
    glyphs.clear();
    drawText("a,b;c", 0, 0, 0, 128);
    ASSERT_EQ(glyphs.size(), 5u);
    EXPECT_EQ(glyphs[1].x, 8);
    EXPECT_EQ(glyphs[1].y, 3); // commas and semicolons sit 3 px lower
    EXPECT_EQ(glyphs[2].x, 21);
    EXPECT_EQ(glyphs[3].y, 3);
    EXPECT_EQ(glyphs[4].y, 0);
}

TEST_F(TextTest, LineBreaksNoTextAndVerticalCulling) {
    EXPECT_EQ(drawText("A\\B", 5, 0, 0, 128), 36);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[1].x, 5); // B directly under A
    EXPECT_EQ(glyphs[1].y, 18);
    glyphs.clear();
    EXPECT_EQ(drawText(noText, 0, 10, 0, 128), 0);
    EXPECT_EQ(drawText("", 0, 10, 0, 128), 28);
    EXPECT_EQ(drawText("x", 0, -16, 0, 128), 2);
    EXPECT_EQ(drawText("x", 0, kHeight, 0, 128), kHeight + 18);
    EXPECT_TRUE(glyphs.empty());
    drawText("x", 0, -15, 0, 128);
    EXPECT_EQ(glyphs.size(), 1u);
    // A line break past the bottom ends the text there.
    glyphs.clear();
    EXPECT_EQ(drawText("a\\b\\c\\d", 0, 20, 0, 128), 56);
    EXPECT_EQ(glyphs.size(), 2u);
}

TEST_F(TextTest, GlyphsOffTheSidesAreSkippedButKeepTheirPlaces) {
    drawText("abcdefgh", -20, 0, 0, 128);
    ASSERT_FALSE(glyphs.empty());
    EXPECT_EQ(glyphs.front().x, -7); // -20 is wholly off the left; -7 shows in part
    EXPECT_LT(glyphs.back().x, kWidth);
    EXPECT_EQ(glyphs.size(), 6u);
}

TEST_F(TextTest, CharactersOutsideTheSheetShowAQuestionMark) {
    drawText("\xC3\xA9\x01~\xFF", 0, 0, 0, 128); // e acute, a control code, "~", a bad byte
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0].cell, '?' - 32);
    EXPECT_EQ(glyphs[1].cell, '?' - 32);
    EXPECT_EQ(glyphs[2].cell, '~' - 32);
    EXPECT_EQ(glyphs[3].cell, '?' - 32);
}

TEST_F(TextTest, WrappingByWidthAndDoubleSpaces) {
    screenHeight = 1000;
    EXPECT_EQ(drawWrappedText("ab cd", 0, 0, 0, 0), 54);
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[0].y, 18); // the first word opens the second line
    EXPECT_EQ(glyphs[2].y, 36);
    EXPECT_EQ(glyphs[2].x, 0);
    glyphs.clear();
    drawWrappedText("ab cd  ef", 0, 0, 1000, 0);
    EXPECT_EQ(glyphs.size(), 4u); // the words after two spaces are not drawn
    EXPECT_EQ(glyphs[2].x, 13 * 2 + 16);
    glyphs.clear();
    drawWrappedText("ab\\cd ef", 0, 0, 64, 0); // "\" is a space; 4 x 16 fits, 6 x 16 not
    ASSERT_EQ(glyphs.size(), 6u);
    EXPECT_EQ(glyphs[3].y, 0);
    EXPECT_EQ(glyphs[4].y, 18);
    EXPECT_EQ(glyphs[4].intensity, 128);
    EXPECT_EQ(drawWrappedText(noText, 0, 0, 10, 0), 0);
}

// Short words: the wrap's measure (16 px a letter, no spaces) lets a line of "a b c ..." pass
// its maximum; the width found for a room keeps every glyph inside it.
TEST_F(TextTest, AWidthWithinARoomKeepsWrappedLinesInsideIt) {
    screenWidth = 2000;
    screenHeight = 1000;
    const std::string text = "a b c d e f g h i j k l m n o p q r s t";
    drawWrappedText(text, 0, 0, 200, 0);
    int64_t right = 0;
    for (const PlacedGlyph& g : glyphs) right = std::max(right, g.x + kGlyphAdvance);
    EXPECT_GT(right, 200); // twelve letters a line: 12 x 13 + 11 x 16
    glyphs.clear();
    int64_t width = wrapWidthWithin(text, 200);
    EXPECT_LT(width, 200);
    drawWrappedText(text, 0, 0, width, 0);
    for (const PlacedGlyph& g : glyphs) EXPECT_LE(g.x + kGlyphAdvance, 200) << char(g.cell + 32);
    EXPECT_EQ(wrapWidthWithin("Plain words that fit", 1000), 1000);
}

TEST_F(TextTest, MenuEntriesAndThePulse) {
    screenWidth = 2000;
    menuPulse = 150.4;
    drawMenuEntry(0, 0, "Go", 1, 2, 0);
    EXPECT_EQ(glyphs.size(), 8u); // three spaces each side
    EXPECT_EQ(glyphs[3].tint, 0);
    glyphs.clear();
    drawMenuEntry(0, 0, "Go", 1, 2, 1);
    EXPECT_EQ(glyphs[3].tint, kBlueTint);
    glyphs.clear();
    drawMenuEntry(0, 0, "Go", 2, 2, 1);
    EXPECT_EQ(glyphs.size(), std::string("-=[Go]=- Soon...").size());
    EXPECT_EQ(glyphs[0].intensity, 128);
    glyphs.clear();
    drawMenuEntry(0, 0, "Go", 2, 2, 0);
    EXPECT_EQ(glyphs.size(), std::string("-=[Go]=-").size());
    EXPECT_EQ(glyphs[0].tint, kOrangeTint);
    EXPECT_EQ(glyphs[0].intensity, 150);

    menuPulse = 190;
    menuPulseSpeed = 4;
    updateMenuPulse(1.0);
    EXPECT_DOUBLE_EQ(menuPulse, 190); // 194 reflected at 192
    EXPECT_DOUBLE_EQ(menuPulseSpeed, -4);
    menuPulse = 66;
    updateMenuPulse(1.0);
    EXPECT_DOUBLE_EQ(menuPulse, 66); // 62 reflected at 64
    EXPECT_DOUBLE_EQ(menuPulseSpeed, 4);
    menuPulse = 128;
}

TEST_F(TextTest, DrawnPixelsOfALineAndATintedGlyph) {
    recordGlyphs(nullptr);
    clearScreen(0);
    drawPlainText("AB", 2, 4);
    EXPECT_EQ(screenPixel(3, 5), 0xFFFFFFu);  // inside A's square
    EXPECT_EQ(screenPixel(2, 4), 0u);         // its black border is transparent
    EXPECT_EQ(screenPixel(16, 5), 0xFFFFFFu); // B starts 13 px on, over A's last column
    EXPECT_EQ(screenPixel(3, 19), 0u);        // nothing below the line
    clearScreen(0);
    drawGlyph('A' - 32, 10, 20, RGB(255, 0, 0), 255);
    EXPECT_EQ(screenPixel(12, 22), 0xFF0000u); // the full-intensity tint covers the white
    clearScreen(0);
    drawGlyph('A' - 32, 10, 20, RGB(0, 0, 255), 128);
    uint32_t light = screenPixel(12, 22);
    EXPECT_NEAR(double(light & 255), 255, 3);        // blue stays full
    EXPECT_NEAR(double((light >> 16) & 255), 127, 2); // the white shows half through
}

// Small text: 11 px glyphs 9 px apart, and ordinary text afterwards at its own size again.
TEST_F(TextTest, SmallTextIsElevenPixelsAndLeavesTheFontAsItWas) {
    clearScreen(0);
    EXPECT_EQ(drawSmallText("AB", 2, 4, 0, 128), 2 + 2 * kSmallGlyphAdvance);
    EXPECT_EQ(xs(), (std::vector<int64_t>{2, 11}));
    EXPECT_EQ(screenPixel(5, 7), 0xFFFFFFu);  // inside A's square
    EXPECT_EQ(screenPixel(5, 16), 0u);        // below its 11 px
    EXPECT_EQ(screenPixel(13, 7), 0xFFFFFFu); // B, 9 px on
    clearScreen(0);
    drawPlainText("A", 2, 20);
    EXPECT_EQ(screenPixel(5, 33), 0xFFFFFFu); // 16 px glyphs again: row 13 of the square
}

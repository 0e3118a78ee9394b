// Bitmap text: one row of 16 x 16 glyph cells, a 13 px advance, 18 px lines, "\" for a line
// break, punctuation kerning, tinted passes and the menus' pulsing entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int64_t kGlyphAdvance = 13;
constexpr int64_t kLineHeight = 18;
constexpr int64_t kOrangeTint = 0x0088FF; // red 255, green 136, blue 0
constexpr int64_t kBlueTint = 0xFF0000;

extern int64_t letterSprite;
extern int64_t questionMarkSprite;
extern int64_t mirrorMarkSprite;
extern const std::string noText; // a single line feed: drawing it draws nothing and gives 0
extern double menuPulse;         // intensity of the selected menu entry, 64-192
extern double menuPulseSpeed;    // per unit of frame factor

void loadFont();          // takes letterSprite's number on first use
void makeSymbolSprites(); // the large "?" and "M" of the selection screens

void drawGlyph(int64_t cell, int64_t x, int64_t y, int64_t tint, int64_t intensity);
int64_t drawText(const std::string& text, int64_t x, int64_t y, int64_t tint, int64_t intensity);
int64_t drawPlainText(const std::string& text, int64_t x, int64_t y);
int64_t drawWrappedText(const std::string& text, int64_t x, int64_t y, int64_t maxWidth,
                        int64_t tint);
// Text at 11/16 of the size (11 px glyphs, 9 px apart), without kerning, for dense figures;
// returns the x after the last glyph.
constexpr int64_t kSmallGlyphSize = 11;
constexpr int64_t kSmallGlyphAdvance = 9;
int64_t drawSmallText(const std::string& text, int64_t x, int64_t y, int64_t tint, int64_t intensity);
// Text with `size` px glyphs, `advance` px apart, without kerning (the small text's, and large
// text such as a room's code); returns the x after the last glyph.
int64_t drawZoomedText(const std::string& text, int64_t x, int64_t y, int64_t size, int64_t advance,
                       int64_t tint, int64_t intensity);
// The maximum width to give drawWrappedText for its lines to stay within `room` px: its
// measure counts no spaces, so a line can pass the maximum it was given.
int64_t wrapWidthWithin(const std::string& text, int64_t room);
void drawMenuEntry(int64_t x, int64_t y, const std::string& label, int64_t entry,
                   int64_t selected, int64_t unavailable);
void updateMenuPulse(double frameFactor);

// Where each glyph went, for tests: set a list and every drawn glyph is recorded in it.
struct PlacedGlyph {
    int64_t cell;
    int64_t x;
    int64_t y;
    int64_t tint;
    int64_t intensity;
};
void recordGlyphs(std::vector<PlacedGlyph>* list); // null stops recording

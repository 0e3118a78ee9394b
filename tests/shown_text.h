// The texts of a frame as the screen shows them, put together from the glyphs it drew.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/text.h"

constexpr int64_t kGlyphHeight = 16;

// One text as the screen shows it, from x to right (13 px a character) on a 16 px line.
struct ShownText {
    std::string text;
    int64_t x = 0, y = 0, right = 0;
};

// The texts of one frame: glyphs drawn one after another on a line, a glyph's advance apart
// (punctuation kerned up to 5 px closer; a comma sits 3 px lower).
inline std::vector<ShownText> textsOf(const std::vector<PlacedGlyph>& frame) {
    std::vector<ShownText> texts;
    for (const PlacedGlyph& g : frame) {
        bool same = !texts.empty() && std::abs(g.y - texts.back().y) <= 3 &&
                    g.x >= texts.back().right - 5 && g.x <= texts.back().right;
        if (!same) texts.push_back({"", g.x, g.y, g.x});
        texts.back().text += char(g.cell + 32);
        texts.back().right = g.x + kGlyphAdvance;
    }
    return texts;
}

inline const ShownText* findText(const std::vector<ShownText>& texts, const std::string& text) {
    for (const ShownText& t : texts)
        if (t.text == text) return &t;
    return nullptr;
}

// The glyphs of a frame on the line at y, from x = fromX on.
inline std::string textAt(const std::vector<PlacedGlyph>& frame, int64_t y, int64_t fromX) {
    std::string text;
    for (const PlacedGlyph& g : frame)
        if (g.y == y && g.x >= fromX) text += char(g.cell + 32);
    return text;
}

// Bitmap text drawing.
#include "render/text.h"

#include <algorithm>

#include "data/sprite_numbers.h"
#include "render/layout_record.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

int64_t letterSprite = 0;
int64_t questionMarkSprite = 0;
int64_t mirrorMarkSprite = 0;
const std::string noText = "\n";
double menuPulse = 128;
double menuPulseSpeed = 4.0;

namespace {
std::vector<PlacedGlyph>* glyphRecord = nullptr;
constexpr int64_t kCommaCell = ',' - 32;
constexpr int64_t kSemicolonCell = ';' - 32;


// The next character of a UTF-8 text; a broken sequence gives one "?" per bad byte.
int64_t nextCodePoint(const std::string& text, size_t& at) {
    auto byte = [&](size_t i) { return i < text.size() ? uint8_t(text[i]) : uint8_t(0); };
    uint8_t first = byte(at);
    int length = first < 0x80 ? 1 : (first & 0xE0) == 0xC0 ? 2 : (first & 0xF0) == 0xE0 ? 3
                                  : (first & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || at + size_t(length) > text.size()) {
        ++at;
        return '?';
    }
    int64_t code = length == 1 ? first : first & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        uint8_t next = byte(at + size_t(i));
        if ((next & 0xC0) != 0x80) {
            ++at;
            return '?';
        }
        code = (code << 6) | (next & 0x3F);
    }
    at += size_t(length);
    return code;
}

// The glyph cell of a character; one outside the font sheet shows "?".
int64_t cellOf(int64_t code) {
    int64_t cells = spriteOwnWidth(letterSprite) / 16;
    // The sheet's cells past Latin-1 hold, in order: the ellipsis.
    constexpr int64_t kEllipsis = 0x2026, kFirstCellPastLatin = 256 - 32;
    int64_t cell = code == kEllipsis ? kFirstCellPastLatin : code - 32;
    if (cell < 0 || (cells > 0 && cell >= cells)) return '?' - 32;
    return cell;
}

// The line of text being placed, for the layout record: the inked pixels of its glyphs, where
// they were meant to go even where the screen's edge cuts them.
struct LineBox {
    int64_t left = 0, right = 0, top = 0, bottom = 0;
    std::string text;
};
LineBox lineBox;

// The inked part of a character's 16 x 16 cell, measured once.
SpriteBounds glyphInk(int64_t code) {
    static std::vector<std::pair<bool, SpriteBounds>> known;
    int64_t cell = cellOf(code);
    if (cell < 0 || !spriteExists(letterSprite)) return {};
    if (size_t(cell) >= known.size()) known.resize(size_t(cell) + 1);
    auto& [measured, ink] = known[size_t(cell)];
    if (!measured) {
        clipSprite(letterSprite, cell * 16, 0, 16, 16);
        ink = spriteVisibleBounds(letterSprite);
        measured = true;
    }
    return ink;
}

// `size` is the glyph's drawn size: 16, or smaller for the dense figures.
void extendLine(int64_t code, int64_t x, int64_t y, int64_t size) {
    if (!layoutRecording()) return;
    SpriteBounds ink = code == ' ' ? SpriteBounds{} : glyphInk(code);
    if (ink.width > 0) {
        int64_t left = x + ink.x * size / 16, right = x + (ink.x + ink.width) * size / 16;
        int64_t top = y + ink.y * size / 16, bottom = y + (ink.y + ink.height) * size / 16;
        if (lineBox.right <= lineBox.left) lineBox = {left, right, top, bottom, lineBox.text};
        lineBox.left = std::min(lineBox.left, left);
        lineBox.right = std::max(lineBox.right, right);
        lineBox.top = std::min(lineBox.top, top);
        lineBox.bottom = std::max(lineBox.bottom, bottom);
    }
    if (code != ' ' || !lineBox.text.empty()) lineBox.text += code < 128 ? char(code) : '?';
}

void endLine() {
    if (!layoutRecording() || lineBox.text.empty()) return;
    while (lineBox.text.back() == ' ') lineBox.text.pop_back();
    noteLayout(LayoutRole::Text, lineBox.left, lineBox.top, lineBox.right - lineBox.left,
               lineBox.bottom - lineBox.top, lineBox.text);
    lineBox = {};
}

// Draws one ordinary character at x with the punctuation kerning; returns the next x.
int64_t placeCharacter(int64_t code, int64_t x, int64_t y, int64_t tint, int64_t intensity) {
    if (code == '.' || code == ',' || code == ';') x -= 5;
    if (code == '\'') x -= 3;
    extendLine(code, x, y + (code == ',' || code == ';' ? 3 : 0), 16);
    // Glyphs wholly off the screen's sides are skipped; the others keep their places.
    if (x > -16 && x < screenWidth) drawGlyph(cellOf(code), x, y, tint, intensity);
    x += kGlyphAdvance;
    if (code == '\'') x -= 3;
    return x;
}

// Splits a text at single spaces; two spaces in a row end it there (the empty word is kept).
std::vector<std::string> wrapWords(const std::string& text) {
    constexpr size_t kMaxWords = 501;
    std::vector<std::string> words;
    size_t start = 0;
    while (words.size() < kMaxWords) {
        size_t space = text.find(' ', start);
        words.push_back(text.substr(start, space == std::string::npos ? std::string::npos
                                                                      : space - start));
        if (words.back().empty() || space == std::string::npos) break;
        start = space + 1;
    }
    return words;
}

int64_t codePointCount(const std::string& text) {
    int64_t count = 0;
    for (size_t at = 0; at < text.size(); ++count) nextCodePoint(text, at);
    return count;
}

// A 16 x 16 sprite cut from the font's cell of a character, shown at 96 x 96.
void makeSymbol(int64_t& sprite, char character) {
    if (sprite != 0 && spriteExists(sprite)) return;
    if (sprite == 0) sprite = takeSpriteNumber();
    int64_t sheet = loadImage(-1, "image/letter_white.png");
    if (!sheet) return;
    int64_t cell = grabImage(sheet, -1, int64_t(character - 32) * 16, 0, 16, 16);
    freeImage(sheet);
    if (!cell) return;
    createSprite(sprite, 16, 16);
    setSpriteTransparentColour(sprite, 0);
    if (beginDrawing(spriteOutput(sprite))) {
        drawImage(imageHandle(cell), 0, 0);
        endDrawing();
    }
    freeImage(cell);
    zoomSprite(sprite, 96, 96);
}
} // namespace

void loadFont() {
    if (letterSprite == 0) letterSprite = takeSpriteNumber();
    if (!spriteExists(letterSprite)) loadSprite(letterSprite, "image/letter_white.png", 0);
}

void makeSymbolSprites() {
    makeSymbol(questionMarkSprite, '?');
    makeSymbol(mirrorMarkSprite, 'M');
}

void recordGlyphs(std::vector<PlacedGlyph>* list) { glyphRecord = list; }

void drawGlyph(int64_t cell, int64_t x, int64_t y, int64_t tint, int64_t intensity) {
    if (cell == kCommaCell || cell == kSemicolonCell) y += 3;
    if (glyphRecord) glyphRecord->push_back({cell, x, y, tint, intensity});
    // Drawn by nobody (headless, no renderer): every use of the letter sheet clips it afresh,
    // so leaving its clip alone changes nothing. The fight frame's text costs the match
    // runner more than the rest of its drawing otherwise.
    if (drawingDiscarded()) return;
    clipSprite(letterSprite, cell * 16, 0, 16, 16);
    drawSpriteBlended(letterSprite, x, y, 255);
    if (tint != 0) drawSpriteBlended(letterSprite, x, y, intensity, tint);
}

int64_t drawText(const std::string& text, int64_t x, int64_t y, int64_t tint, int64_t intensity) {
    if (text == noText) return 0;
    if (y < -15 || y >= screenHeight) return y + kLineHeight;
    // Drawn by nobody and noted nowhere: only where the text ends counts. A line break's byte
    // never occurs inside a UTF-8 sequence, so the bytes can be counted as they are.
    if (drawingDiscarded() && !glyphRecord && !layoutRecording()) {
        for (char c : text)
            if (c == '\\') {
                y += kLineHeight;
                if (y > screenHeight) return y;
            }
        return y + kLineHeight;
    }
    int64_t lineStart = x;
    for (size_t at = 0; at < text.size();) {
        int64_t code = nextCodePoint(text, at);
        if (code == '\\') {
            endLine();
            x = lineStart;
            y += kLineHeight;
            if (y > screenHeight) return y;
            continue;
        }
        x = placeCharacter(code, x, y, tint, intensity);
    }
    endLine();
    return y + kLineHeight;
}

int64_t drawPlainText(const std::string& text, int64_t x, int64_t y) {
    return drawText(text, x, y, 0, 128);
}

int64_t drawWrappedText(const std::string& text, int64_t x, int64_t y, int64_t maxWidth,
                        int64_t tint) {
    if (text == noText) return 0;
    std::string spaced = text;
    for (char& c : spaced)
        if (c == '\\') c = ' ';
    int64_t lineStart = x, width = 0;
    for (const std::string& word : wrapWords(spaced)) {
        int64_t wordWidth = codePointCount(word) * 16;
        width += wordWidth;
        if (width > maxWidth) {
            endLine();
            x = lineStart;
            y += kLineHeight;
            width = wordWidth;
        }
        for (size_t at = 0; at < word.size();) x = placeCharacter(nextCodePoint(word, at), x, y, tint, 128);
        extendLine(' ', x, y, 16);
        x += 16;
    }
    endLine();
    return y + kLineHeight;
}

namespace {
// The widest line drawWrappedText draws of the text at that maximum width.
int64_t wrappedTextWidth(const std::string& text, int64_t maxWidth) {
    std::string spaced = text;
    for (char& c : spaced)
        if (c == '\\') c = ' ';
    // The wrap measures 16 px a character and no spaces; the line is drawn 13 px a character
    // (less for kerned punctuation: this errs wide) and 16 px a space.
    int64_t measured = 0, drawn = -16, widest = 0;
    for (const std::string& word : wrapWords(spaced)) {
        int64_t count = codePointCount(word);
        measured += count * 16;
        if (measured > maxWidth) {
            measured = count * 16;
            drawn = -16;
        }
        drawn += 16 + count * kGlyphAdvance;
        widest = std::max(widest, drawn);
    }
    return widest;
}
} // namespace

int64_t wrapWidthWithin(const std::string& text, int64_t room) {
    int64_t maxWidth = room;
    while (maxWidth > 16 && wrappedTextWidth(text, maxWidth) > room) maxWidth -= 16;
    return maxWidth;
}

void drawMenuEntry(int64_t x, int64_t y, const std::string& label, int64_t entry,
                   int64_t selected, int64_t unavailable) {
    if (entry != selected) {
        drawText("   " + label + "   ", x, y, unavailable ? kBlueTint : 0, 128);
    } else if (unavailable) {
        drawText("-=[" + label + "]=- Soon...", x, y, kBlueTint, 128);
    } else {
        drawText("-=[" + label + "]=-", x, y, kOrangeTint, roundToInt(menuPulse));
    }
}

void updateMenuPulse(double frameFactor) {
    menuPulse += menuPulseSpeed * frameFactor;
    if (menuPulse > 192) {
        menuPulse = 384 - menuPulse;
        menuPulseSpeed = -menuPulseSpeed;
    }
    if (menuPulse < 64) {
        menuPulse = 128 - menuPulse;
        menuPulseSpeed = -menuPulseSpeed;
    }
}

int64_t drawZoomedText(const std::string& text, int64_t x, int64_t y, int64_t size, int64_t advance,
                       int64_t tint, int64_t intensity) {
    for (size_t at = 0; at < text.size();) {
        int64_t code = nextCodePoint(text, at);
        int64_t cell = cellOf(code);
        extendLine(code, x, y, size);
        if (x > -size && x < screenWidth && y > -size && y < screenHeight) {
            if (glyphRecord) glyphRecord->push_back({cell, x, y, tint, intensity});
            clipSprite(letterSprite, cell * 16, 0, 16, 16);
            zoomSprite(letterSprite, size, size);
            drawSpriteBlended(letterSprite, x, y, 255);
            if (tint != 0) drawSpriteBlended(letterSprite, x, y, intensity, tint);
        }
        x += advance;
    }
    zoomSprite(letterSprite, -1, -1);
    endLine();
    return x;
}

int64_t drawSmallText(const std::string& text, int64_t x, int64_t y, int64_t tint, int64_t intensity) {
    return drawZoomedText(text, x, y, kSmallGlyphSize, kSmallGlyphAdvance, tint, intensity);
}

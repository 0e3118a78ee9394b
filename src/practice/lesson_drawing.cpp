// Lesson card drawing.
#include "practice/lesson_drawing.h"

#include <algorithm>

#include "data/sprite_numbers.h"
#include "render/combo_display.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

namespace {
int64_t panelSprite = 0;
constexpr int64_t kMargin = 20;       // pixels around the text inside the panel
constexpr int64_t kIconSize = 38;     // the small combo icons (pixels)
constexpr int64_t kPanelOpacity = 170; // 0-255: the fight shows through a little
constexpr int64_t kFooterTint = RGB(110, 110, 110); // grey over the white letters
constexpr int64_t kFooterIntensity = 220;

int64_t iconRowHeight(const LessonCard& card) { return card.combo.empty() ? 0 : kIconSize + 8; }

// The combo's icons in a row from x; returns the y below them.
int64_t drawIconRow(const LessonCard& card, int64_t x, int64_t y) {
    for (int64_t stance : card.combo) {
        drawComboIconFacing(stance, card.comboFacing, x, y + 2, 0, 0);
        x += kIconSize + 4;
    }
    return y + iconRowHeight(card);
}
} // namespace

int64_t lessonPanelTop() {
    // The gauges and portraits reach 170 pixels down from the top at 1201 pixels wide and
    // more, 120 below that (where they sit higher).
    return screenWidth < 1201 ? 130 : 175;
}

int64_t lessonPanelWidth() { return std::min<int64_t>(screenWidth - 80, 900); }

int64_t lessonLineLength() { return (lessonPanelWidth() - 2 * kMargin) / kGlyphAdvance; }

std::vector<std::string> wrapLessonLine(const std::string& text, int64_t length) {
    std::vector<std::string> lines;
    std::string line;
    size_t at = 0;
    length = std::max<int64_t>(length, 1);
    while (at <= text.size()) {
        size_t space = text.find(' ', at);
        std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
        at = space == std::string::npos ? text.size() + 1 : space + 1;
        std::string joined = line.empty() ? word : line + " " + word;
        if (int64_t(joined.size()) <= length) {
            line = joined;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        for (line = word; int64_t(line.size()) > length; line.erase(0, size_t(length)))
            lines.push_back(line.substr(0, size_t(length)));
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

void beginLessonDrawing() {
    panelSprite = takeSpriteNumber();
    if (!createSprite(panelSprite, 8, 8, kSpriteAlpha)) return;
    if (beginDrawing(spriteOutput(panelSprite))) {
        setDrawingMode(kDrawExact);
        fillBox(0, 0, 8, 8, RGBA(0, 0, 0, 255));
        endDrawing();
    }
}

void endLessonDrawing() {
    if (panelSprite != 0 && spriteExists(panelSprite)) freeSprite(panelSprite);
    panelSprite = 0;
}

void drawLessonCard(const LessonCard& card) {
    int64_t length = lessonLineLength();
    std::vector<std::vector<std::string>> wrapped;
    int64_t lineCount = 1; // the title
    for (const std::string& text : card.lines) {
        wrapped.push_back(wrapLessonLine(text, length));
        lineCount += int64_t(wrapped.back().size());
    }
    if (!card.footer.empty()) lineCount += 1;
    int64_t width = lessonPanelWidth();
    int64_t height = 2 * kMargin + lineCount * kLineHeight + 6 + iconRowHeight(card);
    int64_t left = (screenWidth - width) / 2, top = lessonPanelTop();
    if (panelSprite != 0 && spriteExists(panelSprite)) {
        zoomSprite(panelSprite, width, height);
        drawSpriteBlended(panelSprite, left, top, kPanelOpacity);
    }
    int64_t x = left + kMargin, y = top + kMargin;
    y = drawText(card.title, x, y, kOrangeTint, 255) + 6;
    for (size_t i = 0; i < wrapped.size(); ++i) {
        if (!card.combo.empty() && int64_t(i) == card.comboAfterLine) y = drawIconRow(card, x, y);
        for (const std::string& line : wrapped[i]) y = drawPlainText(line, x, y);
    }
    if (!card.combo.empty() && card.comboAfterLine >= int64_t(wrapped.size()))
        y = drawIconRow(card, x, y);
    if (!card.footer.empty()) drawText(card.footer, x, y, kFooterTint, kFooterIntensity);
}

// The fighter viewer.
#include "menus/fighter_viewer.h"

#include <algorithm>
#include <string>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "fight/frame_data.h"
#include "input/keys.h"
#include "menus/class_carousel.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "menus/preview.h"
#include "menus/stats_panel.h"
#include "render/combo_display.h"
#include "render/layout_record.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

int64_t viewerClassIndex = 0;
int64_t viewerStance = 0;
bool viewerFrameData = false;

namespace {
bool latchNext = false, latchPrevious = false, latchUp = false, latchDown = false;
bool latchFrameData = false;

constexpr int64_t kFrameDataKey = kKeyF; // no player's key by default, nor the viewer's
constexpr int64_t kComboIconHeight = 34; // pixels a combo icon covers below its row's y
constexpr int64_t kComboRowPitch = 31;   // pixels from one row of icons to the next
constexpr int64_t kFrameLineHeight = kSmallGlyphSize + 1;
// The class grid's x on wide screens while the frame data shows: 300 px right of its usual
// place, its first portrait at 1400 (1375 highlighted), so that the lines have room.
constexpr int64_t kGridXWithFrameData = 1300;

constexpr int64_t kToBeAddedIcon = 11;
// Columns in px right of the stats panel's x: the names past the longest gauge, the numbers
// past the longest name, and the class picture (for a class without a fighter to show) past
// the numbers, with the to-be-added mark 150 px into it.
constexpr int64_t kStatNameColumn = 250;
constexpr int64_t kStatNumberColumn = 390;
constexpr int64_t kStillPictureColumn = 430;
constexpr int64_t kToBeAddedMarkInPicture = 150;

bool viewable(int64_t index) {
    return index >= 0 && index < int64_t(classes.size()) && classes[size_t(index)]->notSelectable == 0;
}

// The next class in a direction that the viewer shows, wrapping; the same one when none other.
int64_t stepClass(int64_t index, int64_t direction) {
    int64_t n = int64_t(classes.size());
    for (int64_t step = 1; step <= n; ++step) {
        int64_t candidate = ((index + direction * step) % n + n) % n;
        if (viewable(candidate)) return candidate;
    }
    return index;
}

int64_t lastStanceOf(const FighterClass& c) { return std::max<int64_t>(0, int64_t(c.stance.size()) - 1); }

// Each gauge's name, and its number while Left Shift is held, one row per gauge, and a line
// saying so under the stance's, from the class name's x (25 px right of the panel's). The
// names stand right of the longest gauge: left of a panel near the screen's edge they would
// fall off it.
void drawStatNames(const FighterClass& c, const Stance* stance, int64_t x, int64_t y) {
    Stat own = c.stat.value_or(Stat{});
    Stat change = stance && stance->modificator ? *stance->modificator : Stat{};
    bool numbers = keyDown(kKeyLeftShift) != 0;
    drawHintLines({"Hold " + keyNameOf(kKeyLeftShift) + ": numbers"}, x + 25, y - 25, kHintGrey);
    int64_t rowY = y + 12;
    for (int64_t row = 0; row < 11; ++row) {
        int64_t value = statValue(own, row);
        if (row >= 6 && row <= 8 && value < 0) continue;
        if (row <= 8) value += statValue(change, row);
        drawPlainText(statName(row), x + kStatNameColumn, rowY);
        if (numbers) drawPlainText(std::to_string(value), x + kStatNumberColumn, rowY);
        rowY += 40;
    }
}
} // namespace

// Each attack of a combo as "startup/active/recovery" and its advantage on hit with its sign
// ("3/3/9+13"), for a fighter with `attacker` statistics against a neutral defender.
std::vector<std::string> comboFrameFigures(const FighterClass& c, int64_t code, const Stat& attacker) {
    std::vector<std::string> figures;
    for (const Animation* attack : comboAttacks(c, code)) {
        AttackFrameData d = attackFrameData(*attack, attacker, Stat{});
        if (!d.hasActiveFrames) {
            figures.push_back("-/-/" + std::to_string(d.total));
            continue;
        }
        std::string text = std::to_string(d.startup) + "/" + std::to_string(d.active) + "/" +
                           std::to_string(d.recovery);
        text += d.advantageOnHit >= 0 ? "+" : "";
        figures.push_back(text.append(std::to_string(d.advantageOnHit)));
    }
    return figures;
}

// The figures in lines no wider than `width` pixels of small text, one space apart.
std::vector<std::string> wrapFigures(const std::vector<std::string>& figures, int64_t width) {
    std::vector<std::string> lines;
    for (const std::string& f : figures) {
        if (!lines.empty() &&
            int64_t(lines.back().size() + 1 + f.size()) * kSmallGlyphAdvance <= width)
            lines.back() += " " + f;
        else
            lines.push_back(f);
    }
    return lines;
}

std::vector<int64_t> comboStances(int64_t code) {
    std::vector<int64_t> stances;
    for (; code > 0; code /= 10) stances.push_back(code % 10);
    return stances;
}

void drawInformationPage(FighterClass& c, Preview& preview, int64_t x, int64_t y,
                         int64_t stanceIndex) {
    bool wide = screenWidth >= 1500;
    const Stance* stance = stanceIndex >= 0 && stanceIndex < int64_t(c.stance.size())
                               ? &c.stance[size_t(stanceIndex)]
                               : nullptr;
    int64_t colour = stance ? stance->specialColor : 0;
    int64_t transparency = stance ? stance->specialTransparency : 0;
    drawStatsPanel(c, x, y, stanceIndex, false);
    preview.tint = colour;
    preview.tintTransparency = transparency;
    preview.visible = c.idle != nullptr;
    if (!c.idle) {
        // Without an idle animation the class picture stands in for the preview.
        loadClassPicture(c);
        if (transparency != 0 && spriteExists(c.pictureSprite)) {
            drawSpriteBlended(c.pictureSprite, x + kStillPictureColumn, y - 100, transparency);
            noteSpriteLayout(LayoutRole::Panel, c.pictureSprite, x + kStillPictureColumn, y - 100,
                             "class picture");
            drawSpriteBlended(c.pictureSprite, x + kStillPictureColumn, y - 100,
                              transparency * 128 / 255, colour);
        }
    }
    drawStatNames(c, stance, x, y);
    int64_t column = x + (wide ? 800 : 650);
    // With the frame data the combo rows reach down past the description: it keeps left of them.
    int64_t descriptionWidth = wide ? 1000 : 750;
    if (viewerFrameData)
        descriptionWidth = std::min(descriptionWidth, wrapWidthWithin(c.description, column - x - 20));
    drawWrappedText(c.description, x, y + 450, descriptionWidth, 0);
    if (c.toBeAdded)
        drawStatIcon(kToBeAddedIcon, x + kStillPictureColumn + kToBeAddedMarkInPicture, y);
    if (!c.toBeAdded) drawPlainText("Combo list", column, y - 75);
    if (!c.comboList.empty()) drawSmallText("F: frame data", column, y - 92, 0, 128);
    // The frame data lines end before the screen's frame, or before the class grid on wide
    // screens (moved right while they show).
    int64_t lineWidth = (wide ? kGridXWithFrameData + 60 : screenWidth - 40) - column;
    Stat attacker = classStanceStat(c, stance);
    int64_t rowY = y - 44;
    for (int64_t code : c.comboList) {
        int64_t iconX = column;
        for (int64_t attack : comboStances(code)) {
            drawComboIcon(attack, iconX, rowY, colour, colour != 0 ? transparency : 0);
            iconX += 38;
        }
        if (!viewerFrameData) {
            rowY += kComboRowPitch;
            continue;
        }
        int64_t lineY = rowY + kComboIconHeight + 2;
        for (const std::string& line : wrapFigures(comboFrameFigures(c, code, attacker), lineWidth)) {
            drawSmallText(line, column, lineY, 0, 128);
            lineY += kFrameLineHeight;
        }
        rowY = lineY + 2;
    }
}

void drawClassGrid(int64_t x, int64_t y, const FighterClass* highlighted) {
    int64_t runningX = x, rowY = y;
    const FighterClass* last = nullptr;
    int64_t lastX = 0, lastY = 0;
    for (const auto& c : classes) {
        if (c->notSelectable) continue;
        if (runningX >= screenWidth - 300 || runningX >= x + 500) {
            runningX = x;
            rowY += y;
        }
        runningX += 100;
        if (c.get() == highlighted) {
            last = c.get();
            lastX = runningX;
            lastY = rowY;
            continue;
        }
        drawClassSlot(c->id, runningX, rowY, false);
    }
    // The highlighted class is drawn last, over its neighbours.
    if (last) drawClassSlot(last->id, lastX, lastY, true);
}

void viewerFrame(Preview& preview, double frameFactor) {
    if (classes.empty()) return;
    if (!viewable(viewerClassIndex)) viewerClassIndex = stepClass(std::clamp<int64_t>(viewerClassIndex, 0, int64_t(classes.size()) - 1), 1);
    FighterClass* before = classes[size_t(std::clamp<int64_t>(viewerClassIndex, 0, int64_t(classes.size()) - 1))].get();
    int64_t stanceBefore = viewerStance;
    bool next = pressedOnce(keyDown(kKeyRight) || eitherPlayerKeyDown(&Controls::right), latchNext);
    bool previous = pressedOnce(keyDown(kKeyLeft) || eitherPlayerKeyDown(&Controls::left), latchPrevious);
    bool up = pressedOnce(keyDown(kKeyUp) || eitherPlayerKeyDown(&Controls::up), latchUp);
    bool down = pressedOnce(keyDown(kKeyDown) || eitherPlayerKeyDown(&Controls::down), latchDown);
    if (next || previous) {
        viewerClassIndex = stepClass(viewerClassIndex, next ? 1 : -1);
        viewerStance = 0;
    }
    if (pressedOnce(keyDown(kFrameDataKey), latchFrameData)) viewerFrameData = !viewerFrameData;
    if (up) viewerStance -= 1;
    if (down) viewerStance += 1;
    FighterClass& c = *classes[size_t(viewerClassIndex)];
    viewerStance = std::clamp<int64_t>(viewerStance, 0, lastStanceOf(c));
    if (&c != before || viewerStance != stanceBefore) playMenuSound(kPoolMenuMove);
    if (&c != before) {
        freeClassPicture(*before);
        loadClassPicture(c);
    }
    setPreviewClass(preview, &c, viewerStance);
    if (&c != before) restartPreview(preview);
    drawPlainText(c.name, 100, 80);
    std::string stanceName = viewerStance < int64_t(c.stance.size()) ? c.stance[size_t(viewerStance)].name : "";
    drawPlainText("Stance : " + stanceName, 100, 100);
    // The animated fighter at every width: the selection screens' narrow-screen pictures stand
    // in for two fighters side by side, and the viewer shows only one.
    drawPreviewFighter(preview, frameFactor);
    drawInformationPage(c, preview, 75, 150, viewerStance);
    if (screenWidth >= 1500) drawClassGrid(viewerFrameData ? kGridXWithFrameData : 1000, 100, &c);
}

// The fighter viewer.
#include "menus/fighter_viewer.h"

#include <algorithm>
#include <string>

#include "app/game_screen.h"
#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/class_carousel.h"
#include "menus/menu_framework.h"
#include "menus/preview.h"
#include "menus/stats_panel.h"
#include "render/combo_display.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"

int64_t viewerClassIndex = 0;
int64_t viewerStance = 0;

namespace {
bool latchNext = false, latchPrevious = false, latchUp = false, latchDown = false;

constexpr int64_t kToBeAddedIcon = 11;
const char* const kStatLabels[] = {"Strength", "Agility", "Speed",  "Weight", "Endurence", "Life",
                                   "Cut",      "Pierce",  "Blunt",  "Reach",  "Difficulty"};

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

// The numbers beside the gauges while Left Shift is held, one row per gauge. The labels
// stand right of the longest gauge: left of a panel near the screen's edge they would fall
// off it.
void drawStatNumbers(const FighterClass& c, const Stance* stance, int64_t x, int64_t y) {
    Stat own = c.stat.value_or(Stat{});
    Stat change = stance && stance->modificator ? *stance->modificator : Stat{};
    int64_t rowY = y + 12;
    for (int64_t row = 0; row < 11; ++row) {
        int64_t value = statValue(own, row);
        if (row >= 6 && row <= 8 && value < 0) continue;
        if (row <= 8) value += statValue(change, row);
        drawPlainText(kStatLabels[row], x + 250, rowY);
        drawPlainText(std::to_string(value), x + 390, rowY);
        rowY += 40;
    }
}
} // namespace

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
            drawSpriteBlended(c.pictureSprite, x + 250, y - 100, transparency);
            drawSpriteBlended(c.pictureSprite, x + 250, y - 100, transparency * 128 / 255, colour);
        }
    }
    if (keyDown(kKeyLeftShift)) drawStatNumbers(c, stance, x, y);
    drawWrappedText(c.description, x, y + 450, wide ? 1000 : 750, 0);
    if (c.toBeAdded) drawStatIcon(kToBeAddedIcon, x + 400, y);
    int64_t column = x + (wide ? 800 : 650);
    if (!c.toBeAdded) drawPlainText("Combo list", column, y - 75);
    int64_t rowY = y - 44;
    for (int64_t code : c.comboList) {
        int64_t iconX = column;
        for (int64_t attack : comboStances(code)) {
            drawComboIcon(attack, iconX, rowY, colour, colour != 0 ? transparency : 0);
            iconX += 38;
        }
        rowY += 31;
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
    if (up) viewerStance -= 1;
    if (down) viewerStance += 1;
    FighterClass& c = *classes[size_t(viewerClassIndex)];
    viewerStance = std::clamp<int64_t>(viewerStance, 0, lastStanceOf(c));
    if (&c != before || viewerStance != stanceBefore) playMenuSound(kMenuMovePool);
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
    if (screenWidth >= 1500) drawClassGrid(1000, 100, &c);
}

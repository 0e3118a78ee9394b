// The menu framework.
#include "menus/menu_framework.h"

#include <algorithm>

#include "data/sound_library.h"
#include "data/sprite_numbers.h"
#include "fight/fighter.h"
#include "input/controls.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "render/fade.h"
#include "render/pool_sounds.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"

namespace {
bool frameClockRestart = false; // set by restartMenuFrameClock, read once the frame returns
} // namespace

bool playerKeyDown(const PlayerSetup& player, int64_t Controls::*key) {
    for (const Controls* c : {&player.keyBindings.primary, &player.keyBindings.secondary})
        if (c->*key != 0 && keyDown(c->*key)) return true;
    return padActionDown(player.padIndex, key);
}

bool playerKeyReleased(const PlayerSetup& player, int64_t Controls::*key) {
    bool released = false;
    for (const Controls* c : {&player.keyBindings.primary, &player.keyBindings.secondary})
        if (c->*key != 0 && keyReleased(c->*key)) released = true;
    return padActionReleased(player.padIndex, key) || released;
}

bool eitherPlayerKeyDown(int64_t Controls::*key) {
    return playerKeyDown(playerSetups[0], key) || playerKeyDown(playerSetups[1], key);
}

bool eitherPlayerKeyReleased(int64_t Controls::*key) {
    bool one = playerKeyReleased(playerSetups[0], key);
    return playerKeyReleased(playerSetups[1], key) || one;
}

bool takeMenuBack(bool& backTaken) {
    bool back = keyReleased(kKeyEscape);
    back = eitherPlayerKeyReleased(&Controls::heavy) || back;
    if (!back || backTaken) return false;
    backTaken = true;
    playMenuSound(kPoolMenuBack);
    startFade();
    return true;
}

bool pressedOnce(bool down, bool& latch) {
    bool fresh = down && !latch;
    latch = down;
    return fresh;
}

void drawMenuBackground() { drawSprite(menuBackgroundSprite(), 0, 0); }

void drawMenuHeader(int64_t textX, int64_t textY, const std::string& title,
                    const std::string& banner) {
    drawPlainText("Escape to quit\\Arrows to move\\Enter to select", textX + 80, textY);
    drawText(banner, textX + 100, textY + 60, kOrangeTint, 128);
    drawText(title, textX + 140, textY + 80, kOrangeTint, 128);
}

int64_t fittedTextX(const std::string& line, int64_t x) {
    return std::min(x, screenWidth - kRightMargin - textLength(line) * kGlyphAdvance);
}

void drawEntryDescription(const std::string& text, int64_t x, int64_t y) {
    int64_t longest = 0;
    for (int64_t line = 1;; ++line) {
        std::string part = fieldOfText(text, line, '\\');
        if (part.empty()) break;
        longest = std::max(longest, textLength(part));
    }
    if (x + longest * kGlyphAdvance <= screenWidth - kRightMargin) drawText(text, x, y, kBlueTint, 128);
    else drawWrappedText(text, x, y, wrapWidthWithin(text, screenWidth - kRightMargin - x), kBlueTint);
}

bool menuInputFrozen() { return fadeActive && fadeSpeed >= 0; }

MenuInput readMenuInput(MenuKeys& keys) {
    MenuInput input;
    bool previous = keyDown(kKeyUp) || eitherPlayerKeyDown(&Controls::up) ||
                    eitherPlayerKeyDown(&Controls::left);
    bool next = keyDown(kKeyDown) || eitherPlayerKeyDown(&Controls::down) ||
                eitherPlayerKeyDown(&Controls::right);
    keys.holdPrevious = previous ? keys.holdPrevious + 1 : 0;
    keys.holdNext = next ? keys.holdNext + 1 : 0;
    if (keys.holdPrevious == 1) input.move = -1;
    if (keys.holdNext == 1) input.move = 1;
    input.select = keyReleased(kKeyReturn) || eitherPlayerKeyReleased(&Controls::neutral);
    bool back = keyReleased(kKeyEscape) || eitherPlayerKeyReleased(&Controls::heavy);
    if (back && !keys.backTaken) {
        keys.backTaken = true;
        input.back = true;
    }
    return input;
}

void followEntryList(const MenuInput& input, int64_t& highlighted, int64_t goBack, int64_t& result) {
    int64_t moved = std::clamp<int64_t>(highlighted + input.move, 0, goBack);
    if (moved != highlighted) {
        highlighted = moved;
        playMenuSound(kPoolMenuMove);
    }
    if (input.select) {
        playMenuSound(highlighted == goBack ? kPoolMenuBack : kPoolMenuSelect);
        result = highlighted == goBack ? -1 : highlighted;
        startFade();
    } else if (input.back) {
        playMenuSound(kPoolMenuBack);
        result = -1;
        startFade();
    }
}

std::vector<int64_t>* menuSoundLog = nullptr;

void playMenuSound(int64_t pool, int64_t x) {
    if (menuSoundLog) menuSoundLog->push_back(pool);
    playPoolSound(pool, x, 0, 1.0, 1.0);
}

int64_t returnHoldFrames = 0;
void updateReturnHold() { returnHoldFrames = keyDown(kKeyReturn) ? returnHoldFrames + 1 : 0; }

std::function<void(const std::string&)> screenOpenedHook;
void noteScreenOpened(const std::string& name) {
    if (screenOpenedHook) screenOpenedHook(name);
}

void restartMenuFrameClock() { frameClockRestart = true; }

std::function<bool()> menuFrameService;

bool runMenuFrames(const std::function<void(double frameFactor, bool inputFrozen)>& frame) {
    double factor = nominalFrameFactor;
    forgetKeyReleases();
    frameClockRestart = false;
    for (;;) {
        double start = systemTimeMs();
        drawMenuBackground();
        bool frozen = menuInputFrozen();
        if (!frozen) pollKeyboard();
        frame(factor, frozen);
        if (menuFrameService && !menuFrameService() && !fadeActive) startFade();
        if (frameClockRestart) {
            frameClockRestart = false;
            start = systemTimeMs();
        }
        processWindowEvent();
        if (windowCloseRequested()) return false;
        if (fadeActive) {
            if (updateFade(factor) == 1) return true;
            drawFade();
        }
        presentFrame();
        factor = framePacing(start, 0);
        updateMenuPulse(factor);
    }
}

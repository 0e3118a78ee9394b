// The menu framework.
#include "menus/menu_framework.h"

#include "app/game_screen.h"
#include "app/pacing.h"
#include "data/sound_library.h"
#include "data/sprite_numbers.h"
#include "fight/fighter.h"
#include "input/controls.h"
#include "input/keys.h"
#include "render/fade.h"
#include "render/pool_sounds.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
int64_t backgroundSprite = 0;
bool frameClockRestart = false; // set by restartMenuFrameClock, read once the frame returns

// The game controllers as the menus read them, by pad number: the actions held at this
// frame's snapshot, and those seen held and not let go since, so that each release is taken
// once, as a key's is.
struct MenuPad {
    Actions held;
    Actions seenHeld;
};
std::vector<MenuPad> menuPads;

struct PadAction {
    int64_t Controls::*key;
    bool Actions::*action;
};
constexpr PadAction kPadActions[] = {
    {&Controls::up, &Actions::up},           {&Controls::down, &Actions::down},
    {&Controls::right, &Actions::right},     {&Controls::left, &Actions::left},
    {&Controls::neutral, &Actions::neutral}, {&Controls::heavy, &Actions::heavy},
    {&Controls::jump, &Actions::jump}};

bool Actions::*padActionOf(int64_t Controls::*key) {
    for (const PadAction& pair : kPadActions)
        if (pair.key == key) return pair.action;
    return &Actions::jump; // not reached: the table has every action
}

MenuPad* menuPadOf(const Fighter& player) {
    if (player.padIndex < 0 || player.padIndex >= int64_t(menuPads.size())) return nullptr;
    return &menuPads[size_t(player.padIndex)];
}

// Each player's controller along with the keyboard's snapshot; with `forget`, releases not
// taken yet are dropped except of what is held now, as forgetKeyReleases does for keys.
void snapshotMenuPads(bool forget) {
    for (const Fighter* player : {&playerOne, &playerTwo}) {
        if (player->padIndex < 0) continue;
        if (player->padIndex >= int64_t(menuPads.size()))
            menuPads.resize(size_t(player->padIndex) + 1);
        MenuPad& pad = menuPads[size_t(player->padIndex)];
        // No keys bound: the controller's part of the actions alone.
        pad.held = pollActions(KeyBindings{}, player->padIndex, 0);
        if (forget) pad.seenHeld = Actions{};
        for (const PadAction& pair : kPadActions)
            if (pad.held.*pair.action) pad.seenHeld.*pair.action = true;
    }
}
} // namespace

bool playerKeyDown(const Fighter& player, int64_t Controls::*key) {
    for (const Controls* c : {&player.keyBindings.primary, &player.keyBindings.secondary})
        if (c->*key != 0 && keyDown(c->*key)) return true;
    const MenuPad* pad = menuPadOf(player);
    return pad && pad->held.*padActionOf(key);
}

bool playerKeyReleased(const Fighter& player, int64_t Controls::*key) {
    bool released = false;
    for (const Controls* c : {&player.keyBindings.primary, &player.keyBindings.secondary})
        if (c->*key != 0 && keyReleased(c->*key)) released = true;
    if (MenuPad* pad = menuPadOf(player)) {
        bool Actions::*action = padActionOf(key);
        if (!(pad->held.*action) && pad->seenHeld.*action) {
            pad->seenHeld.*action = false;
            released = true;
        }
    }
    return released;
}

bool eitherPlayerKeyDown(int64_t Controls::*key) {
    return playerKeyDown(playerOne, key) || playerKeyDown(playerTwo, key);
}

bool eitherPlayerKeyReleased(int64_t Controls::*key) {
    bool one = playerKeyReleased(playerOne, key);
    return playerKeyReleased(playerTwo, key) || one;
}

bool takeMenuBack(bool& backTaken) {
    bool back = keyReleased(kKeyEscape);
    back = eitherPlayerKeyReleased(&Controls::heavy) || back;
    if (!back || backTaken) return false;
    backTaken = true;
    playMenuSound(kMenuBackPool);
    startFade();
    return true;
}

bool pressedOnce(bool down, bool& latch) {
    bool fresh = down && !latch;
    latch = down;
    return fresh;
}

int64_t menuBackgroundSprite() {
    if (backgroundSprite == 0) backgroundSprite = takeSpriteNumber();
    if (!spriteExists(backgroundSprite) || spriteWidth(backgroundSprite) != screenWidth ||
        spriteHeight(backgroundSprite) != screenHeight) {
        createSprite(backgroundSprite, screenWidth, screenHeight, kSpriteAlpha);
        if (beginDrawing(spriteOutput(backgroundSprite))) {
            // Frames 8 px wide, each darker than the one around it; only the part of each box
            // that the next leaves showing is filled (whole boxes cost start-up 40 ms).
            int64_t r = 255, g = 127, b = 0;
            for (int64_t i = 0; i < 20; ++i) {
                int64_t x = 8 * i, w = screenWidth - 16 * i, h = screenHeight - 16 * i;
                int64_t colour = RGB(r, g, b);
                fillBox(x, x, w, 8, colour);
                fillBox(x, x + h - 8, w, 8, colour);
                fillBox(x, x + 8, 8, h - 16, colour);
                fillBox(x + w - 8, x + 8, 8, h - 16, colour);
                r = (r + 32) / 2;
                g = (g + 32) / 2;
                b = (b + 32) / 2;
            }
            fillBox(160, 160, screenWidth - 320, screenHeight - 320, RGB(32, 32, 32));
            endDrawing();
        }
    }
    return backgroundSprite;
}

void drawMenuBackground() { drawSprite(menuBackgroundSprite(), 0, 0); }

void drawMenuHeader(int64_t textX, int64_t textY, const std::string& title,
                    const std::string& banner) {
    drawPlainText("Escape to quit\\Arrows to move\\Enter to select", textX + 80, textY);
    drawText(banner, textX + 100, textY + 60, kOrangeTint, 128);
    drawText(title, textX + 140, textY + 80, kOrangeTint, 128);
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

void resetMenuBackground() { backgroundSprite = 0; }

void restartMenuFrameClock() { frameClockRestart = true; }

bool runMenuFrames(const std::function<void(double frameFactor, bool inputFrozen)>& frame) {
    double factor = nominalFrameFactor;
    forgetKeyReleases();
    snapshotMenuPads(true);
    frameClockRestart = false;
    for (;;) {
        double start = systemTimeMs();
        drawMenuBackground();
        bool frozen = menuInputFrozen();
        if (!frozen) {
            pollKeyboard();
            snapshotMenuPads(false);
        }
        frame(factor, frozen);
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

// The class selection panels.
#include "menus/selection_panels.h"

#include <algorithm>
#include <string>

#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "menus/class_carousel.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "menus/preview.h"
#include "menus/stats_panel.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

OnlinePanels onlinePanels;
SelectionPanel playerOnePanel;
SelectionPanel playerTwoPanel;
SingleCursorPanel botPanel;

namespace {
constexpr int64_t kRandomCode = 99;
constexpr int64_t kMirrorCode = 98;
// The key hints' first row in px, above the class names at y 80; and the row of the hint for
// both players, between the stance lines (y 100) and the stats panels (y 150).
constexpr int64_t kHintTop = 40;
constexpr int64_t kSharedHintY = 124;
const std::string kBackHint = "Escape: back to the menu";

// The highest stance index: the last of a class's stances; 0 for the random and mirror marks.
int64_t lastStance(int64_t entry) {
    FighterClass* c = classWithId(entry);
    return c ? int64_t(c->stance.size()) - 1 : 0;
}

// Stored values from an older list or a hand-edited game never point outside the lists.
void keepInRange(SelectionPanel& p) {
    int64_t n = std::max<int64_t>(1, int64_t(selectableClasses.size()));
    p.cursor = ((p.cursor % n) + n) % n;
    p.carouselStart = ((p.carouselStart % n) + n) % n;
    p.stance = std::clamp<int64_t>(p.stance, -2, std::max<int64_t>(-2, lastStance(selectableAt(p.cursor))));
}

struct PanelKeys {
    bool next = false, previous = false, stanceUp = false, stanceDown = false;
};

PanelKeys readPanelKeys(SelectionPanel& p, const PlayerSetup& player, bool upArrowToo) {
    PanelKeys keys;
    keys.next = pressedOnce(playerKeyDown(player, &Controls::right), p.latchNext);
    keys.previous = pressedOnce(playerKeyDown(player, &Controls::left), p.latchPrevious);
    bool up = playerKeyDown(player, &Controls::up) || (upArrowToo && keyDown(kKeyUp));
    keys.stanceUp = pressedOnce(up, p.latchStanceUp);
    keys.stanceDown = pressedOnce(playerKeyDown(player, &Controls::down), p.latchStanceDown);
    return keys;
}

// Moves cursor and stance; plays the move sound and restarts the preview on a change.
void movePanel(SelectionPanel& p, const PanelKeys& keys, Preview& preview, int64_t pan) {
    int64_t cursor = p.cursor, stance = p.stance;
    if (keys.next) {
        carouselNext(p.cursor, p.carouselStart);
        p.stance = 0;
    }
    if (keys.previous) {
        carouselPrevious(p.cursor, p.carouselStart);
        p.stance = 0;
    }
    if (keys.stanceUp) p.stance -= 1;
    if (keys.stanceDown) p.stance += 1;
    keepInRange(p);
    if (p.cursor != cursor || p.stance != stance) playMenuSound(kPoolMenuMove, pan);
    if (p.cursor != cursor) restartPreview(preview);
}

// The preview shows the panel's class in its stance's colour; player two's takes the
// stance's other colour when it would look like player one's.
void colourPreview(Preview& preview, const SelectionPanel& p, Fighter& player,
                   const Preview* otherPlayers) {
    int64_t entry = selectableAt(p.cursor);
    FighterClass* c = classWithId(entry);
    bool alternate = false;
    preview.visible = c != nullptr;
    setPreviewClass(preview, c, p.stance);
    if (p.stance == -2) {
        preview.tint = RGB(255, 255, 255);
        preview.tintTransparency = 254;
    } else if (p.stance == -1 || !preview.fighter.stance) {
        preview.tint = RGB(1, 1, 1);
        preview.tintTransparency = 254;
    } else {
        const Stance& s = *preview.fighter.stance;
        preview.tint = s.specialColor != 0 ? s.specialColor : player.color;
        preview.tintTransparency = s.specialTransparency;
        if (otherPlayers && otherPlayers->visible && preview.tint == otherPlayers->tint) {
            alternate = s.alternateColor != 0;
            preview.tint = alternate ? s.alternateColor : player.color;
            preview.tintTransparency = s.alternateTransparency;
        }
    }
    if (otherPlayers) player.useAlternateColor = alternate ? 1 : 0;
}

std::string stanceLine(int64_t entry, int64_t stance) {
    FighterClass* c = classWithId(entry);
    if (entry == kMirrorMarker) return stance == -2 ? "Stance : Mirror" : "Stance : Random";
    if (!c || stance == -1) return "Stance : Random";
    if (stance == -2) return "Stance : Mirror";
    return "Stance : " + c->stance[size_t(stance)].name;
}

// The class name and stance lines, the stats panel and, on narrow screens, the class picture.
void drawPanelLines(const SelectionPanel& p, int64_t x, int64_t statsX, bool mirrored,
                    bool greyRandom) {
    int64_t entry = selectableAt(p.cursor);
    FighterClass* c = classWithId(entry);
    if (entry == kRandomMarker && greyRandom) drawText("Random", x, 80, RGB(128, 128, 128), 128);
    else drawPlainText(entry == kRandomMarker ? "Random" : entry == kMirrorMarker ? "Mirror" : c ? c->name : "", x, 80);
    drawPlainText(stanceLine(entry, p.stance), x, 100);
    if (c) drawStatsPanel(*c, statsX, 150, p.stance, mirrored);
}

// The panel shows a choice made elsewhere (the peer's, online).
void showChoice(SelectionPanel& p, Preview& preview, int64_t code, bool ready) {
    int64_t cursor = cursorOfCode(code);
    int64_t stanceValue = code / 100;
    int64_t stance = stanceValue == kRandomCode ? -1 : stanceValue == kMirrorCode ? -2 : stanceValue;
    if (cursor != p.cursor) restartPreview(preview);
    p.cursor = cursor;
    p.stance = stance;
    keepInRange(p);
    p.ready = ready;
    preview.intensity = ready ? 255 : 128;
}

// One panel of the pair: keys while not ready (`keys`: whose keys move it), the hint, the
// display. A remote panel reads no key: it shows the peer's choice. Gives the span of its hint
// line (x from, x to) in px.
std::pair<int64_t, int64_t> pairPanel(SelectionPanel& p, Fighter& player, const PlayerSetup& keys, bool remote,
               Preview& preview, const Preview* other, bool isPlayerOne, double frameFactor) {
    int64_t w = screenWidth;
    int64_t x = isPlayerOne ? w - 600 : 100;
    int64_t pan = isPlayerOne ? w : 0;
    int64_t hintX = isPlayerOne ? 3 * w / 4 - 100 : 100;
    keepInRange(p);
    std::string hint;
    int64_t hintTint = kHintGrey;
    int64_t playerTint = isPlayerOne ? kOrangeTint : kBlueTint;
    if (remote) {
        showChoice(p, preview, onlinePanels.peerCode, onlinePanels.peerReady);
        hint = p.ready ? "The other player is ready" : "The other player is choosing";
        hintTint = p.ready ? kHintGrey : playerTint;
    } else if (!p.ready) {
        movePanel(p, readPanelKeys(p, keys, false), preview, pan);
        hint = "Press " + keyFor(keys, &Controls::neutral) +
               (isPlayerOne ? " To Select" : " to select");
        hintTint = playerTint;
        if (playerKeyReleased(keys, &Controls::neutral)) {
            playMenuSound(kPoolMenuMove, pan);
            p.ready = true;
            preview.intensity = 255;
        }
    } else {
        hint = "Press " + keyFor(keys, &Controls::heavy) + " to cancel";
        if (playerKeyReleased(keys, &Controls::heavy)) {
            p.ready = false;
            preview.intensity = 128;
        }
    }
    colourPreview(preview, p, player, other);
    // The preview first: on narrow screens the class pictures lie under the panel's lines.
    drawPreview(preview, frameFactor, isPlayerOne ? rightPictureX() : 75, 150);
    drawPanelLines(p, x, isPlayerOne ? w - 75 : 75, isPlayerOne, false);
    // Player one's hint keeps within the screen's right edge: online, the other player's hint
    // there would pass it on a 1024 px screen.
    if (isPlayerOne) hintX = fittedTextX(hint, hintX);
    drawText(hint, hintX, 600, hintTint, 128);
    // Each player's moves above their own panel; player one's block ends as far from the
    // right edge as player two's starts from the left one. A ready player's keys do not move.
    if (!p.ready && !remote) {
        std::vector<std::string> lines = classAndStanceHints(keys);
        drawHintLines(lines,
                      isPlayerOne ? w - kPanelTextInset - hintBlockWidth(lines) : kPanelTextInset,
                      kHintTop, playerTint);
    }
    if (screenHeight >= 800)
        drawClassCarousel(p.carouselStart, p.cursor, isPlayerOne ? w - 575 : 75, 650);
    return {hintX, hintX + textLength(hint) * kGlyphAdvance};
}

// The line between the two hints (y 600) where it fits between them, else on the row below
// them: online, the other player's hint is long enough to reach it on narrow screens.
void drawMiddleLine(const std::string& line, int64_t x, int64_t leftHintEnd,
                    int64_t rightHintStart) {
    bool fits = x >= leftHintEnd && x + textLength(line) * kGlyphAdvance <= rightHintStart;
    drawText(line, x, fits ? 600 : 600 + kLineHeight + 2, kOrangeTint, 128);
}

// Player one's keys for a step of the single-cursor panel, in a block above the right-hand
// class picture that ends as far from the right edge as the pair's player one block.
void drawSingleCursorHints(int64_t step) {
    std::vector<std::string> lines = classAndStanceHints(playerSetups[0]);
    lines.push_back("Return: confirm");
    if (step == 2) lines.push_back(keyFor(playerSetups[0], &Controls::heavy) + ": back to your class");
    lines.push_back(kBackHint);
    drawHintLines(lines, screenWidth - kPanelTextInset - hintBlockWidth(lines), kHintTop,
                  kHintGrey);
}

void startSingleAfresh(SingleCursorPanel& s) {
    s = SingleCursorPanel{};
    rightPreview.visible = leftPreview.visible = false;
    rightPreview.intensity = leftPreview.intensity = 128;
    clearPreviewClass(rightPreview);
    clearPreviewClass(leftPreview);
}

// Back to picking one's own class, the cursor on that first choice.
void backToFirstStep(SingleCursorPanel& s) {
    if (s.firstCode >= 0) {
        s.panel.cursor = cursorOfCode(s.firstCode);
        int64_t stance = s.firstCode / 100;
        s.panel.stance = stance == kRandomCode ? -1 : stance == kMirrorCode ? -2 : stance;
    }
    s.firstCode = -1;
    s.step = 1;
    leftPreview.visible = false;
    clearPreviewClass(leftPreview);
    rightPreview.intensity = 128;
    keepInRange(s.panel);
}
} // namespace

int64_t panelCode(const SelectionPanel& panel) {
    int64_t entry = selectableAt(panel.cursor);
    int64_t classValue = entry == kRandomMarker ? kRandomCode : entry == kMirrorMarker ? kMirrorCode : entry;
    int64_t stanceValue = panel.stance == -1 ? kRandomCode : panel.stance == -2 ? kMirrorCode : panel.stance;
    return classValue + 100 * stanceValue;
}

int64_t cursorOfCode(int64_t code) {
    int64_t classValue = code % 100;
    int64_t entry = classValue == kRandomCode ? kRandomMarker
                    : classValue == kMirrorCode ? kMirrorMarker : classValue;
    auto at = std::find(selectableClasses.begin(), selectableClasses.end(), entry);
    return at == selectableClasses.end() ? 0 : int64_t(at - selectableClasses.begin());
}

int64_t twoPlayerPanels(FightState& fight, double frameFactor) {
    const OnlinePanels& online = onlinePanels;
    bool remoteOne = online.active && online.localSide != 0;
    bool remoteTwo = online.active && online.localSide != 1;
    // Online, the one player at this computer uses player one's keys on either side.
    int64_t rightHintStart = pairPanel(playerOnePanel, fight.players[0], playerSetups[0], remoteOne,
                                       rightPreview, nullptr, true, frameFactor).first;
    int64_t leftHintEnd = pairPanel(playerTwoPanel, fight.players[1], playerSetups[online.active ? 0 : 1], remoteTwo,
              leftPreview, &rightPreview, false, frameFactor).second;
    const std::string backHint = online.active ? "Escape: leave online play" : kBackHint;
    drawHintLines({backHint}, (screenWidth - hintBlockWidth({backHint})) / 2, kSharedHintY,
                  kHintGrey);
    if (online.active && online.started) {
        playerOnePanel.ready = playerTwoPanel.ready = false;
        return panelCode(playerOnePanel) + 10000 * panelCode(playerTwoPanel);
    }
    if (online.active && online.localSide == 1) {
        if (playerOnePanel.ready && playerTwoPanel.ready)
            drawMiddleLine("The host starts the match", (screenWidth - 400) / 2, leftHintEnd,
                           rightHintStart);
        if (keyDown(kKeyEscape) && playerTwoPanel.ready && !fadeActive) {
            playerTwoPanel.ready = false;
            leftPreview.intensity = 128;
            playMenuSound(kPoolMenuBack);
        }
        return kNoSelection;
    }
    if (playerOnePanel.ready && playerTwoPanel.ready) {
        drawMiddleLine("Press enter to start !", (screenWidth - 300) / 2, leftHintEnd,
                       rightHintStart);
        // Only a fresh press starts: Return held since before both were ready does not.
        if (returnHoldFrames == 1) {
            playerOnePanel.ready = playerTwoPanel.ready = false;
            return panelCode(playerOnePanel) + 10000 * panelCode(playerTwoPanel);
        }
    }
    if (online.active && keyDown(kKeyEscape) && playerOnePanel.ready) {
        playerOnePanel.ready = false;
        rightPreview.intensity = 128;
        if (!fadeActive) playMenuSound(kPoolMenuBack);
    } else if (!online.active && keyDown(kKeyEscape) &&
               (playerOnePanel.ready || playerTwoPanel.ready)) {
        playerOnePanel.ready = playerTwoPanel.ready = false;
        rightPreview.intensity = leftPreview.intensity = 128;
        if (!fadeActive) playMenuSound(kPoolMenuBack);
    }
    return kNoSelection;
}

int64_t singleCursorPanel(FightState& fight, double frameFactor, bool ownClassOnly) {
    SingleCursorPanel& s = botPanel;
    bool fadingOut = fadeActive && fadeSpeed >= 0;
    if (s.done && !fadingOut) startSingleAfresh(s);
    SelectionPanel& p = s.panel;
    keepInRange(p);
    int64_t result = kNoSelection;
    if (s.step < 3) {
        Preview& choosing = s.step == 1 ? rightPreview : leftPreview;
        movePanel(p, readPanelKeys(p, playerSetups[0], true), choosing, kNoStereo);
        if (keyReleased(kKeyReturn)) {
            if (s.step == 1 && ownClassOnly) {
                s.firstCode = panelCode(p);
                s.result = s.firstCode;
                rightPreview.intensity = 255;
                s.step = 3;
            } else if (s.step == 1) {
                s.firstCode = panelCode(p);
                rightPreview.intensity = 255;
                s.step = 2;
                p.stance = 0;
                keepInRange(p);
            } else {
                s.result = s.firstCode + 10000 * panelCode(p);
                leftPreview.intensity = 255;
                s.step = 3;
            }
        } else if (s.step == 2 && playerKeyDown(playerSetups[0], &Controls::heavy)) {
            playMenuSound(kPoolMenuBack);
            backToFirstStep(s);
        }
        if (keyDown(kKeyEscape) && s.step != 1) backToFirstStep(s);
        if (s.step < 3) {
            Preview& now = s.step == 1 ? rightPreview : leftPreview;
            // The opponent is player two: its colours give way to player one's.
            if (s.step == 1) colourPreview(now, p, fight.players[0], nullptr);
            else colourPreview(now, p, fight.players[1], &rightPreview);
        }
    } else if (!s.done) {
        result = s.result;
        s.done = true;
    }
    static const char* const kSteps[] = {"Pick your class", "Pick your opponent", "Bring in on !"};
    static const int64_t kStepTints[] = {RGB(255, 128, 0), RGB(0, 0, 255), RGB(255, 0, 0)};
    int64_t step = std::clamp<int64_t>(s.step, 1, 3) - 1;
    drawText(kSteps[step], 75, 125, kStepTints[step], 128);
    if (s.step < 3) drawSingleCursorHints(s.step);
    drawPreview(rightPreview, frameFactor, rightPictureX(), 150);
    drawPreview(leftPreview, frameFactor, 75, 150);
    drawPanelLines(p, 100, 75, false, true);
    // The stats' lowest row reaches 598 px down: the carousel goes below them where the screen
    // is tall enough (as in the two-player panels), else beside them, its cursor's portrait
    // (125 px below the row) on the screen.
    bool tall = screenHeight >= 800;
    drawClassCarousel(p.carouselStart, p.cursor, tall ? 100 : 325, tall ? 650 : screenHeight - 150);
    return result;
}

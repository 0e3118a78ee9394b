// The where-to-play screen.
#include "menus/where_menu.h"

#include <algorithm>

#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"

int64_t whereSelection = kPlaySameComputer;

namespace {
constexpr int64_t kGoBackEntry = 3;
const char* const kLabels[] = {" Same computer  ", "  Host online   ", "  Join online   ",
                               "   (go back)    "};
const char* const kDescriptions[] = {
    "Both players at this computer.",
    "Wait here for the other player to join.\\Open port 7770 (UDP) to play over the internet.",
    "Type the address of the computer that hosts."};

// What player one presses here: the arrows or their own keys, as the screen reads them.
std::vector<std::string> whereHints() {
    return {eitherKey("Up/Down", keyPairFor(playerOne, &Controls::up, &Controls::down)) +
                ": change",
            eitherKey("Return", keyFor(playerOne, &Controls::neutral)) + ": confirm",
            eitherKey("Escape", keyFor(playerOne, &Controls::heavy)) + ": back to the menu"};
}
} // namespace

int64_t runWhereMenu(int64_t textX, int64_t textY) {
    noteScreenOpened("where to play");
    // -1 is shown as "(go back)"; any other value outside the entries as the first.
    int64_t highlighted = whereSelection == -1 ? kGoBackEntry : whereSelection;
    if (highlighted < 0 || highlighted > kGoBackEntry) highlighted = 0;
    int64_t result = -1;
    bool backTaken = false;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, "=======Where is the other player");
        for (int64_t i = 0; i <= kGoBackEntry; ++i)
            drawMenuEntry(textX + 100, textY + 120 + 20 * i, kLabels[i], i, highlighted, 0);
        drawText("==============", textX + 120, textY + 200, kOrangeTint, 128);
        drawHintLines(whereHints(), textX + 100, textY + 230, kHintGrey);
        if (highlighted < kGoBackEntry)
            drawEntryDescription(kDescriptions[highlighted], textX + 500, textY + 120);
        if (frozen) return;
        // Only player one moves here, once per press, when the key is let go like every other
        // key of this screen. Both keys are read so that each release is taken once.
        bool up = keyReleased(kKeyUp);
        up = playerKeyReleased(playerOne, &Controls::up) || up;
        bool down = keyReleased(kKeyDown);
        down = playerKeyReleased(playerOne, &Controls::down) || down;
        int64_t moved =
            std::clamp<int64_t>(highlighted - (up ? 1 : 0) + (down ? 1 : 0), 0, kGoBackEntry);
        if (moved != highlighted) {
            highlighted = moved;
            playMenuSound(kMenuMovePool);
        }
        bool select = keyReleased(kKeyReturn);
        select = playerKeyReleased(playerOne, &Controls::neutral) || select;
        bool back = keyReleased(kKeyEscape);
        back = playerKeyReleased(playerOne, &Controls::heavy) || back;
        // While the screen still clears from black the choice cannot be seen: a Return tapped
        // twice on the screen before would otherwise choose here unseen. Those releases are
        // read above all the same, so that none of them is taken once the fade is over.
        if (fadeActive && fadeSpeed < 0) select = back = false;
        if (select) {
            playMenuSound(highlighted == kGoBackEntry ? kMenuBackPool : kMenuSelectPool);
            result = highlighted == kGoBackEntry ? -1 : highlighted;
            startFade();
        } else if (back && !backTaken) {
            backTaken = true;
            playMenuSound(kMenuBackPool);
            result = -1;
            startFade();
        }
    });
    // Kept for the next visit: going back shows "(go back)" again.
    whereSelection = result;
    return black ? result : -1;
}

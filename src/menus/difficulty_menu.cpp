// The difficulty screen.
#include "menus/difficulty_menu.h"

#include <algorithm>

#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"

int64_t difficultySelection = 0;

namespace {
constexpr int64_t kGoBackEntry = 3;
const char* const kLabels[] = {"      Easy      ", "     Medium     ", "      Hard      ",
                               "   (go back)    "};
const char* const kDescriptions[] = {
    "Attacks randomly, heavy attacks are rare.",
    "Attacks frequently, punishes you in the air\\and may use random combos.",
    "Attacks very frequently with semi-intelligent combos.\\Some classes and stances may have "
    "specific behaviors."};

// What player one presses here: the arrows or their own keys, as the screen reads them.
std::vector<std::string> difficultyHints() {
    return {eitherKey("Up/Down", keyPairFor(playerOne, &Controls::up, &Controls::down)) +
                ": change difficulty",
            eitherKey("Return", keyFor(playerOne, &Controls::neutral)) + ": confirm",
            eitherKey("Escape", keyFor(playerOne, &Controls::heavy)) +
                ": back to the class selection"};
}
} // namespace

int64_t runDifficultyMenu(int64_t textX, int64_t textY) {
    noteScreenOpened("difficulty");
    loadStatIcons();
    seedRandom(uint64_t(systemTimeMs()));
    // -1 is shown as "(go back)"; any other value outside the entries as the first.
    int64_t highlighted = difficultySelection == -1 ? kGoBackEntry : difficultySelection;
    if (highlighted < 0 || highlighted > kGoBackEntry) highlighted = 0;
    int64_t result = -1;
    bool backTaken = false;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, "=======Difficulty selection");
        for (int64_t i = 0; i <= kGoBackEntry; ++i)
            drawMenuEntry(textX + 100, textY + 120 + 20 * i, kLabels[i], i, highlighted, 0);
        drawText("==============", textX + 120, textY + 200, kOrangeTint, 128);
        drawHintLines(difficultyHints(), textX + 100, textY + 230, kHintGrey);
        if (highlighted < kGoBackEntry)
            drawEntryDescription(kDescriptions[highlighted], textX + 500, textY + 120);
        if (frozen) return;
        // Only player one moves here, once per press, when the key is let go like every other
        // key of this screen. Both keys are read so that each release is taken once.
        bool up = keyReleased(kKeyUp);
        up = playerKeyReleased(playerOne, &Controls::up) || up;
        bool down = keyReleased(kKeyDown);
        down = playerKeyReleased(playerOne, &Controls::down) || down;
        int64_t moved = highlighted - (up ? 1 : 0) + (down ? 1 : 0);
        moved = std::clamp<int64_t>(moved, 0, kGoBackEntry);
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
            if (highlighted == kGoBackEntry) {
                playMenuSound(kMenuBackPool);
                result = -1;
            } else {
                playMenuSound(kMenuSelectPool);
                result = highlighted;
            }
            startFade();
        } else if (back && !backTaken) {
            backTaken = true;
            playMenuSound(kMenuBackPool);
            result = -1;
            startFade();
        }
    });
    freeStatIcons();
    // Kept for the next visit: going back shows "(go back)" again.
    difficultySelection = result;
    return black ? result : -1;
}

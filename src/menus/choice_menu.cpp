// A screen of a few entries.
#include "menus/choice_menu.h"

#include <algorithm>

#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "input/player_setup.h"

int64_t runChoiceMenu(int64_t textX, int64_t textY, const ChoiceMenu& menu, int64_t& kept) {
    noteScreenOpened(menu.screenName);
    const int64_t goBack = int64_t(menu.labels.size()) - 1;
    int64_t highlighted = kept == -1 ? goBack : kept;
    if (highlighted < 0 || highlighted > goBack) highlighted = 0;
    int64_t result = -1;
    bool backTaken = false;
    MenuKeys keys;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, menu.header);
        for (int64_t i = 0; i <= goBack; ++i)
            drawMenuEntry(textX + 100, textY + 120 + 20 * i, menu.labels[size_t(i)], i,
                          highlighted, 0);
        int64_t below = textY + 120 + 20 * (goBack + 1);
        drawText("==============", textX + 120, below, kOrangeTint, 128);
        drawHintLines(menu.hints, textX + 100, below + 30, kHintGrey);
        if (highlighted < goBack && highlighted < int64_t(menu.descriptions.size()))
            drawEntryDescription(menu.descriptions[size_t(highlighted)], textX + 500, textY + 120);
        if (frozen) return;
        // Only player one moves here, once per press: the Up and Down arrows when they go down
        // (their hold counters at 1), player one's up and down keys when they are let go. The
        // arrows' releases are taken first, so that an arrow bound as player one's key (the
        // default) moves on its press alone and not again when let go.
        keys.holdPrevious = keyDown(kKeyUp) ? keys.holdPrevious + 1 : 0;
        keys.holdNext = keyDown(kKeyDown) ? keys.holdNext + 1 : 0;
        keyReleased(kKeyUp);
        keyReleased(kKeyDown);
        bool up = playerKeyReleased(playerSetups[0], &Controls::up);
        up = keys.holdPrevious == 1 || up;
        bool down = playerKeyReleased(playerSetups[0], &Controls::down);
        down = keys.holdNext == 1 || down;
        int64_t moved = std::clamp<int64_t>(highlighted - (up ? 1 : 0) + (down ? 1 : 0), 0, goBack);
        if (moved != highlighted) {
            highlighted = moved;
            playMenuSound(kPoolMenuMove);
        }
        bool select = keyReleased(kKeyReturn);
        select = playerKeyReleased(playerSetups[0], &Controls::neutral) || select;
        bool back = keyReleased(kKeyEscape);
        back = playerKeyReleased(playerSetups[0], &Controls::heavy) || back;
        // No choice while a fade runs: while the screen still clears from black the choice
        // cannot be seen, and a Return tapped twice on the screen before would choose here
        // unseen (the release is read all the same, so it is not taken after the fade). Back
        // chooses nothing unseen and is taken at once.
        if (fadeActive) select = false;
        if (select) {
            playMenuSound(highlighted == goBack ? kPoolMenuBack : kPoolMenuSelect);
            result = highlighted == goBack ? -1 : highlighted;
            startFade();
        } else if (back && !backTaken) {
            backTaken = true;
            playMenuSound(kPoolMenuBack);
            result = -1;
            startFade();
        }
    });
    // Kept for the next visit: going back shows "(go back)" again.
    kept = result;
    return black ? result : -1;
}

// The main state loop and, until the menus exist, a placeholder main menu.
#include "app/state_loop.h"

#include "app/match_record.h"
#include "app/pacing.h"
#include "app/stages.h"
#include "fight/fight_state.h"
#include "fight/match.h"
#include "input/keys.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"

int64_t runMainMenuPlaceholder(int64_t, int64_t, int64_t) {
    for (;;) {
        double frameStart = systemTimeMs();
        pollKeyboard();
        processWindowEvent();
        if (windowCloseRequested()) return kStateExit;
        clearScreen(RGB(24, 20, 32));
        drawText("Quarrelix project pre-alpha 0.1.0.5a", 40, 40, kOrangeTint, 255);
        drawPlainText("Return: fight (two players)\\Escape: quit", 40, 76);
        if (fadeActive) {
            updateFade(nominalFrameFactor);
            if (fadeActive) drawFade();
        }
        presentFrame();
        if (keyReleased(kKeyEscape)) return kStateExit;
        if (keyReleased(kKeyReturn)) return kStatePlayerVsPlayer;
        framePacing(frameStart, 0);
    }
}

// A two-player fight with the players' current classes and stances, on the first stage.
// After a knock-out a new fight of the same mode follows; leaving a fight with Escape returns
// to the menu.
void runTwoPlayerFight() {
    if (stageList.empty()) return;
    Stage* stage = &stageList[0];
    MatchRecord* match = prepareMatch(currentMatch, stage, 0);
    match->stage = stage;
    globalFightContext.stage = stage;
    while (startMatch() != 0 && !windowCloseRequested()) {
    }
}

void mainStateLoop(int64_t textX, int64_t textY) {
    int64_t previousState = 0;
    int64_t retryState = -1;  // set when the difficulty screen is left without a choice
    int64_t repeatState = -1; // set after a class selection, so a match leads to the next
    for (;;) {
        int64_t state;
        if (retryState >= 0) {
            state = retryState;
            retryState = -1;
        } else if (repeatState >= 0) {
            state = repeatState;
            repeatState = -1;
        } else {
            state = runMainMenuPlaceholder(textX, textY, previousState);
        }
        previousState = state;
        if (state == kStateExit) return;
        // The other screens join here as they are built; until then the menu returns.
        if (state == kStatePlayerVsPlayer) runTwoPlayerFight();
    }
}

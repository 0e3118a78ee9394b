// The main state loop and, until the menus exist, a placeholder main menu.
#include "app/state_loop.h"

#include "app/pacing.h"
#include "input/keys.h"
#include "runtime/runtime.h"

int64_t runMainMenuPlaceholder(int64_t, int64_t, int64_t) {
    for (;;) {
        double frameStart = systemTimeMs();
        pollKeyboard();
        processWindowEvent();
        if (windowCloseRequested()) return kStateExit;
        clearScreen(RGB(24, 20, 32));
        presentFrame();
        // Return will start a fight once the fight exists.
        if (keyReleased(kKeyEscape)) return kStateExit;
        framePacing(frameStart, 0);
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
        // The screens of states 0-5 join here as they are built; until then the menu returns.
        if (state == kStateExit) return;
    }
}

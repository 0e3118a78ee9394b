// The main state loop: the main menu, then the activity chosen there.
#include "app/state_loop.h"

#include "app/match_record.h"
#include "app/pacing.h"
#include "app/stages.h"
#include "fight/fight_state.h"
#include "fight/bot.h"
#include "fight/fighter.h"
#include "fight/match.h"
#include "menus/main_menu.h"
#include "input/keys.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"

// After a knock-out a new fight of the same mode follows; leaving a fight with Escape returns
// to the menu.
void runFights(int64_t againstBot) {
    if (stageList.empty()) return;
    Stage* stage = &stageList[0];
    MatchRecord* match = prepareMatch(currentMatch, stage, againstBot);
    match->stage = stage;
    globalFightContext.stage = stage;
    // Player one is always a player here; player two is the bot in a match against it.
    switchBotOff(ensureBot(playerOne));
    BotController& two = ensureBot(playerTwo);
    if (againstBot) switchBotOn(two);
    else switchBotOff(two);
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
            state = runMainMenu(textX, textY, previousState);
        }
        previousState = state;
        if (state == kStateExit) return;
        // Until the class, difficulty and stage selections exist, both modes fight with the
        // players' current classes on the first stage, against a Medium bot in mode 1. The
        // viewer, options and credits screens join here as they are built.
        if (state == kStatePlayerVsPlayer) runFights(0);
        if (state == kStatePlayerVsBot) runFights(1);
    }
}

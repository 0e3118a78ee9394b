// The fight frame as shown.
#include "app/fight_display.h"

#include "app/settings.h"
#include "app/debug_keys.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "input/keys.h"
#include "render/fight_drawing.h"
#include "runtime/runtime.h"

bool fightDebugKeys(FightContext* context) {
    if (!debugMode || !keyDown(kKeyLeftShift)) return false;
    uint64_t before = fightHash(fight);
    handleDebugKeys(context);
    return fightHash(fight) != before;
}

int64_t fightFrame(FightContext* context, double timeFactor, double previousTimeFactor) {
    if (!context) context = &globalFightContext;
    int64_t result = advanceFight(fight, context->stage, timeFactor, previousTimeFactor);
    showFightStep(context->stage, timeFactor);
    fightDebugKeys(context);
    return result;
}

// The fight frame as shown.
#include "match/fight_display.h"

#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "input/keys.h"
#include "match/debug_keys.h"
#include "render/fight_drawing.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

bool fightDebugKeys(FightContext& context) {
    if (!settings.debugMode || !keyDown(kKeyLeftShift)) return false;
    uint64_t before = fightHash(context.fight);
    handleDebugKeys(context);
    return fightHash(context.fight) != before;
}

int64_t fightFrame(FightContext& context, double timeFactor, double previousTimeFactor) {
    int64_t result = advanceFight(context.fight, context.stage, timeFactor, previousTimeFactor);
    showFightStep(context.fight, context.stage, timeFactor);
    fightDebugKeys(context);
    return result;
}

// The fight frame as shown.
#include "match/fight_display.h"

#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "input/keys.h"
#include "match/debug_keys.h"
#include "render/fight_drawing.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

bool fightDebugKeys(FightState& state, FightContext* context) {
    if (!settings.debugMode || !keyDown(kKeyLeftShift)) return false;
    uint64_t before = fightHash(state);
    handleDebugKeys(state, context);
    return fightHash(state) != before;
}

int64_t fightFrame(FightState& state, FightContext* context, double timeFactor,
                   double previousTimeFactor) {
    if (!context) context = &globalFightContext;
    int64_t result = advanceFight(state, context->stage, timeFactor, previousTimeFactor);
    showFightStep(state, context->stage, timeFactor);
    fightDebugKeys(state, context);
    return result;
}

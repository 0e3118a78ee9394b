// The fight state and its copies.
#include "fight/fight_state.h"

void resetFightState(FightState& state) {
    state.freezeTimer = 0;
    state.screenShake = {};
    state.shakeOffset = {};
    state.shakeAccumulator = 0;
    state.cameraY = 0;
    state.viewWidth = state.setup.viewWidth;
    state.leftPlayer = 1;
    state.frame = 0;
}

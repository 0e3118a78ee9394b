// The fight state and its copies.
#include "fight/fight_state.h"

// One translation unit defines the state and every name bound into it, so that the names are
// bound after the state exists.
FightState fight;
Fighter& playerOne = fight.players[0];
Fighter& playerTwo = fight.players[1];
int64_t slowMotion = 0;
FightContext globalFightContext;

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

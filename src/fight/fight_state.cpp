// The fight state and its copies.
#include "fight/fight_state.h"

// One translation unit defines the state and every name bound into it, so that the names are
// bound after the state exists.
FightState fight;
Fighter& playerOne = fight.players[0];
Fighter& playerTwo = fight.players[1];
float& freezeTimer = fight.freezeTimer;
Vec2& screenShake = fight.screenShake;
Vec2& shakeOffset = fight.shakeOffset;
float& shakeAccumulator = fight.shakeAccumulator;
int64_t& focusX = fight.focusX;
int64_t& viewWidth = fight.viewWidth;
int64_t& cameraY = fight.cameraY;
int64_t slowMotion = 0;
FightContext globalFightContext;

void resetFightState() {
    freezeTimer = 0;
    screenShake = {};
    shakeOffset = {};
    shakeAccumulator = 0;
    cameraY = 0;
    viewWidth = fight.setup.viewWidth;
    fight.leftPlayer = 1;
    fight.frame = 0;
}

FightState saveFight() {
    FightState saved = fight;
    saved.random = randomState();
    return saved;
}

void restoreFight(const FightState& saved) {
    fight = saved;
    setRandomState(saved.random);
}

uint64_t fightHash() {
    fight.random = randomState();
    return fightHash(fight);
}

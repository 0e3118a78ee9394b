// The events of a fight step.
#include "fight/fight_events.h"

#include "fight/fight_state.h"

void clearFightEvents(FightEvents& events) {
    events.sounds.clear();
    events.blood.clear();
    events.effects.clear();
    events.effectsAdvance = false;
    events.playerOneAttackPressed = false;
}

void queuePoolSound(FightState& state, int64_t pool, int64_t x, int64_t variation,
                    double pitchFactor, double volumeFactor, bool withChain) {
    choosePoolSound(state.random, state.events.sounds, pool, x,
                    variation != 0 && state.setup.soundVariation != 0, pitchFactor, volumeFactor,
                    withChain);
}

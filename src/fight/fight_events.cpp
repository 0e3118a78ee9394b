// The events of a fight step.
#include "fight/fight_events.h"

#include "fight/fight_state.h"

FightEvents fightEvents;

void clearFightEvents() {
    fightEvents.sounds.clear();
    fightEvents.blood.clear();
    fightEvents.effects.clear();
    fightEvents.effectsAdvance = false;
    fightEvents.playerOneAttackPressed = false;
}

void queuePoolSound(int64_t pool, int64_t x, int64_t variation, double pitchFactor,
                    double volumeFactor, bool withChain) {
    choosePoolSound(fightEvents.sounds, pool, x, variation != 0 && fight.setup.soundVariation != 0,
                    pitchFactor, volumeFactor, withChain);
}

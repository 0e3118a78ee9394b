// A fight frame as the game shows it: the step, its sounds and blood, the drawing, and the
// debug keys that reach into the fight.
#pragma once

#include <cstdint>

struct FightContext;

// advanceFight with the input counters as they stand, then showFightStep and (in debug mode,
// with Left Shift) the debug keys. Returns as the step.
int64_t fightFrame(FightContext& context, double timeFactor, double previousTimeFactor);
// The debug keys of the fight; true when one of them changed the fight.
bool fightDebugKeys(FightContext& context);

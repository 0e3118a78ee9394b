// Playing the sound pools' variants, with the player's volume and stereo.
#pragma once

#include <cstdint>

#include "data/sound_library.h"

int64_t playPoolVariant(int64_t id, int64_t x, int64_t volume); // returns the slot
void playPoolSoundChoice(const PoolSoundChoice& choice);
// pool: a position in soundPools (0 or outside: nothing is played).
// withChain false plays the pool alone, without the pools chained to it.
void playPoolSound(int64_t pool, int64_t x, int64_t variation, double pitchFactor,
                   double volumeFactor, bool withChain = true);

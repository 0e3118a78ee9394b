// Numbers: the seedable random generator and the game's integer conversions.
#pragma once

#include <array>
#include <cstdint>

// The generator's whole state: saving and restoring it replays the same draws.
using RandomState = std::array<uint64_t, 4>;

void seedRandom(uint64_t seed);
RandomState randomState();
void setRandomState(const RandomState& saved);
int64_t randomInt(int64_t max);                 // uniform in 0..max inclusive (0 for max <= 0)
int64_t randomRange(int64_t max, int64_t min);  // min + randomInt(max - min)
// The same generator on a state of its own (a fight's): the same seed gives the same draws
// as the game's generator.
void seedRandom(RandomState& state, uint64_t seed);
int64_t randomInt(RandomState& state, int64_t max);
int64_t randomRange(RandomState& state, int64_t max, int64_t min);
int64_t truncateToInt(double x);                // toward zero; infinities and NaN give 0
int64_t roundToInt(double x);                   // nearest, a half to the even neighbour
int64_t sign(double x);                         // -1, 0 or 1

// The sound pools the game plays by number (positions in the data file's "soundPool"), named
// once for both the game and the content generator that makes them.
#pragma once

#include <cstdint>

constexpr int64_t kPoolMenuMove = 1;
constexpr int64_t kPoolMenuSelect = 2;
constexpr int64_t kPoolMenuBack = 3;
constexpr int64_t kPoolLandLight = 55;     // a fighter of weight below 4 lands
constexpr int64_t kPoolLandHeavy = 56;
constexpr int64_t kPoolJumpLight = 57;     // a fighter of weight below 4 jumps
constexpr int64_t kPoolJumpHeavy = 58;
constexpr int64_t kPoolKnockOutBlunt = 69; // the knock-out blow was blunt
constexpr int64_t kPoolKnockOutOther = 70; // it cut or pierced
constexpr int64_t kPoolComboStep = 71;     // each further step of a combo, higher and louder

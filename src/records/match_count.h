// A finished match counted into the player's records, and the records saved.
#pragma once

#include <cstdint>

#include "records/records.h"

struct FightState;

// The match as the records take it: the player is the fighter on `side` (0 player one, 1 two);
// against the computer its level is the other fighter's. `result` as the fight gives it (0 no
// knock-out: nothing is counted, 1 player one lost, 2 player two lost); `fightSeconds` the
// fight's game time.
void countMatch(const FightState& fight, int64_t result, Opponent opponent, double fightSeconds,
                int64_t side = 0);

// The rounds of a match: how many a player must win, when the match is decided, its result from
// the rounds won, the intro's banner before a round and the round marks under the life gauges.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FightContext;

int64_t roundsToWin(int64_t rounds);          // 1 of 1, 2 of 3, 3 of 5
int64_t roundWinner(int64_t fightResult);     // the fight's result (1 player one lost...) as 0/1/2
int64_t roundsWon(const std::vector<int64_t>& winners, int64_t player); // player: 1 or 2
// Whether the match is over after the rounds played so far: a player has won enough of them,
// or twice the rounds have been played (rounds without a knock-out count for nobody, so a match
// of draws still ends).
bool matchDecided(int64_t rounds, const std::vector<int64_t>& winners);
// The match's result as startMatch returns it (0 none, 1 player one lost, 2 player two lost):
// whoever won more rounds; equal counts are no result.
int64_t resultByRounds(const std::vector<int64_t>& winners);
// "Round 2" before the second round of a match of several, "" before the first and in a match
// of one round (the intro then looks as it always has).
std::string roundBanner(const FightContext& context);
// The round marks under both life gauges, one lit per round won, in a match of several rounds
// only; drawn over the fight screens' frames.
void drawRoundCounter(const FightContext& context);

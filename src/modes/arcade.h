// The arcade's ladder: every other playable class once, in an order drawn from a seed, on
// stages taken in turn, the computer's level rising from Easy to Hard (the last two at Hard);
// and survival's heal between fights.
#pragma once

#include <cstdint>
#include <vector>

struct LadderFight {
    int64_t classPosition = 0; // the opponent's class, by its place in the data
    int64_t level = 1;         // the computer's, 1 Easy to 3 Hard
    int64_t stage = 0;         // a position in the stage list
};

// Continues a ladder allows before it is given up (the tools' bots never tire of trying).
constexpr int64_t kMostArcadeContinues = 9;

// The ladder of the player of class `playerPosition` among the playable `playable` positions.
std::vector<LadderFight> arcadeLadder(int64_t playerPosition, const std::vector<int64_t>& playable,
                                      uint64_t seed, int64_t stageCount);
// The computer's level at fight `index` (from 0) of a ladder of `count` fights.
int64_t ladderLevel(int64_t index, int64_t count);
// The playable classes' positions in the data.
std::vector<int64_t> playableClassPositions();

// Survival: the life a fighter starts the next fight with after winning one with `life` left,
// a fifth of its maximum healed.
int64_t survivalLifeAfterWin(int64_t life, int64_t maxLife);

// Giving the players their classes and stances: directly, at random, or from the selection
// screen's code.
#pragma once

#include <cstdint>

struct FightState;
struct Fighter;
struct FighterClass;

constexpr int64_t kAvoidNoStance = -42;

// Gives the fighter a class (updating the classes' user counts and its idle animation when
// the class changes) and a stance; life becomes 15 x life stat + 200.
void chooseClass(const FightState& state, Fighter& fighter, FighterClass* fighterClass, int64_t stanceIndex);
void chooseStance(Fighter& fighter, int64_t stanceIndex);
void assignRandomClassAndStance(const FightState& state, Fighter& player, const Fighter* otherPlayer,
                                int64_t sameClassRetry, int64_t differentStance);
void assignRandomStance(Fighter& player, int64_t avoidStance);
// Below 10000 player one's choice, from 10000 up player two's; in a choice the value modulo
// 100 is the class position (98 mirror, 99 random), divided by 100 the stance (98 the other
// player's, 99 random).
void applySelectionCode(const FightState& state, Fighter& one, Fighter& two, int64_t code);

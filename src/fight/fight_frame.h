// The fight step: everything that happens in a fight within one displayed frame, in order,
// without drawing or sound (the step's sounds, blood and effects are left in the state's events).
#pragma once

#include <array>
#include <cstdint>

#include "input/controls.h"

struct FightState;
struct Fighter;
struct Stage;

// One frame of the fight from the two players' actions (used for players without a bot) and
// the frame's length in ticks; `previousTimeFactor` is the last frame's. Returns 0 while both
// fighters live, 1 when player one has no life left, 2 when player two has none (also when both
// are out).
int64_t stepFight(FightState& state, const Stage* stage, const std::array<Actions, 2>& actions, double timeFactor,
                  double previousTimeFactor);
// The same with the input counters as they stand (tests and the end of match set them).
int64_t advanceFight(FightState& state, const Stage* stage, double timeFactor, double previousTimeFactor);
// One frame of the intro countdown: the fighters play their entrance.
void stepIntro(FightState& state, const Stage* stage, double timeFactor, double previousTimeFactor);

void shakeStep(FightState& state, double timeFactor);
void updateCamera(FightState& state, const Stage& stage);
void computeScreenPositions(FightState& state);
void bodyPush(Fighter& one, Fighter& two, const Stage* stage, double timeFactor);

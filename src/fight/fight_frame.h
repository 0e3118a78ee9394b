// The fight step: everything that happens in a fight within one displayed frame, in order,
// without drawing or sound (the step's sounds, blood and effects are left in fightEvents).
#pragma once

#include <array>
#include <cstdint>

#include "input/controls.h"

struct Fighter;
struct Stage;

// One frame of the fight from the two players' actions (used for players without a bot) and
// the frame's length in ticks; `previousTimeFactor` is the last frame's. Returns 0 while both
// fighters live, 1 when player one has no life left, 2 when player two has none (also when both
// are out).
int64_t stepFight(const Stage* stage, const std::array<Actions, 2>& actions, double timeFactor,
                  double previousTimeFactor);
// The same with the input counters as they stand (tests and the end of match set them).
int64_t advanceFight(const Stage* stage, double timeFactor, double previousTimeFactor);
// One frame of the intro countdown: the fighters play their entrance.
void stepIntro(const Stage* stage, double timeFactor, double previousTimeFactor);

void shakeStep(double timeFactor);
void updateCamera(const Stage& stage);
void computeScreenPositions();
void bodyPush(Fighter& one, Fighter& two, const Stage* stage, double timeFactor);

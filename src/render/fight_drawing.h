// Drawing the fight from its state, and playing the sounds, blood and effects of its steps.
#pragma once

#include <cstdint>

struct FightState;
struct FightEvents;
struct Stage;

void drawBackdrop();
// The backdrop except a covered rectangle (left, top, right, bottom) of the screen.
void drawBackdropAround(int64_t left, int64_t top, int64_t right, int64_t bottom);
// The stage's visible tiles for the camera, with the backdrop wherever they leave a gap.
void drawStageWithBackdrop(const FightState& fight, Stage* stage);

// Plays a step's sounds and moves the blood and effects on by the frame's length (ticks).
void presentFightEvents(const FightEvents& events, double timeFactor);
// The stage, blood, effects, fighters with their gauges, combo display and debug read-outs.
void drawFight(const FightState& fight, Stage* stage);
void drawIntroFight(const FightState& fight, Stage* stage); // the stage, effects and fighters of the intro
// presentFightEvents of the last step, then drawFight.
void showFightStep(const FightState& fight, Stage* stage, double timeFactor);

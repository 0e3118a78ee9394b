// One fight frame: everything that happens in a fight within one displayed frame, in order.
#pragma once

#include <cstdint>

struct FightContext;
struct Fighter;
struct Stage;

// Returns 0 while both fighters live, 1 when player one has no life left, 2 when player two
// has none (also when both are out). A null context means the global one.
int64_t fightFrame(FightContext* context, double timeFactor, double previousTimeFactor);

void drawBackdrop();
// The backdrop except a covered rectangle (left, top, right, bottom) of the screen.
void drawBackdropAround(int64_t left, int64_t top, int64_t right, int64_t bottom);
void shakeStep(double timeFactor);
void updateCamera(const Stage& stage);
// The stage's visible tiles for the camera, with the backdrop wherever they leave a gap.
void drawStageWithBackdrop(Stage* stage);
void computeScreenPositions();
void bodyPush(Fighter& one, Fighter& two, const Stage* stage, double timeFactor);

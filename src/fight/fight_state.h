// What the fight keeps between frames: hit-stop, screen shake, the camera and the stage.
#pragma once

#include <cstdint>

#include "data/json_fields.h"

struct Stage;
struct Fighter;

extern float freezeTimer;      // hit-stop ticks left
extern Vec2 screenShake;       // shake amplitude (pixels)
extern Vec2 shakeOffset;       // this frame's random offset drawn from the amplitude
extern float shakeAccumulator; // ticks not yet spent on shake decay
extern int64_t focusX;         // world x of the camera's left edge
extern int64_t viewWidth;      // the fight view's width in world units
extern int64_t cameraY;        // smoothed vertical camera offset
extern Fighter* leftFighter;
extern Fighter* rightFighter;
extern int64_t slowMotion;     // the debug slow-motion switch

// The fight context: the stage of the fight.
struct FightContext {
    Stage* stage = nullptr;
};
extern FightContext globalFightContext;

int64_t groundLine(); // the y at which fighters stand: screen height - 720
void resetFightState();

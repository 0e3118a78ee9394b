// The fight's globals.
#include "fight/fight_state.h"

#include "app/game_screen.h"
#include "fight/fighter.h"

float freezeTimer = 0;
Vec2 screenShake;
Vec2 shakeOffset;
float shakeAccumulator = 0;
int64_t focusX = 0;
int64_t viewWidth = 0;
int64_t cameraY = 0;
Fighter* leftFighter = &playerTwo;
Fighter* rightFighter = &playerOne;
int64_t slowMotion = 0;
FightContext globalFightContext;

int64_t groundLine() { return screenHeightMinus720; }

void resetFightState() {
    freezeTimer = 0;
    screenShake = {};
    shakeOffset = {};
    shakeAccumulator = 0;
    cameraY = 0;
    viewWidth = screenWidthMinus200;
    leftFighter = &playerTwo;
    rightFighter = &playerOne;
}

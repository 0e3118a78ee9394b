// The screen fade: every screen ends by darkening to black, and the next one shows through
// the same fade running back.
#pragma once

#include <cstdint>

extern double fadeAlpha;  // 0 clear ... 255 black
extern double fadeSpeed;  // per unit of frame factor: + darkening, - clearing
extern int64_t fadeActive;

void startFade();
// 1 at the moment the screen is fully black, -1 when a fade has just ended, else 0.
int64_t updateFade(double frameFactor);
void drawFade();
// Black now, clearing over the next frames: how a screen is revealed.
void revealFromBlack();
void resetFade(); // clear, not running (start-up)

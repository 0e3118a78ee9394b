// The fade.
#include "render/fade.h"

#include "runtime/runtime.h"

double fadeAlpha = 0;
double fadeSpeed = 12.8;
int64_t fadeActive = 0;

void startFade() {
    // A fade started while another is still clearing darkens again from part way.
    if (fadeAlpha > 192) fadeAlpha = 192;
    else if (fadeAlpha > 64) fadeAlpha = 64;
    fadeSpeed = 12.8;
    fadeActive = 1;
}

int64_t updateFade(double frameFactor) {
    if (!fadeActive) return 0;
    fadeAlpha += fadeSpeed * frameFactor;
    if (fadeAlpha > 255) {
        fadeAlpha = 255;
        fadeSpeed = -12.8;
        return 1;
    }
    if (fadeAlpha <= 0) {
        fadeAlpha = 0;
        fadeActive = 0;
        return -1;
    }
    return 0;
}

void drawFade() { shadeScreen(roundToInt(fadeAlpha)); }

void revealFromBlack() {
    fadeActive = 1;
    fadeAlpha = 255;
    fadeSpeed = -12.8;
}

void resetFade() {
    fadeAlpha = 0;
    fadeSpeed = 12.8;
    fadeActive = 0;
}

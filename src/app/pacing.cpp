// Frame pacing by sleeping, with the fraction of each wait carried to later frames.
#include "app/pacing.h"

#include <algorithm>
#include <cmath>

#include "runtime/headless.h"
#include "runtime/numbers.h"
#include "runtime/timing.h"

const int64_t fpsTable[11] = {0, 50, 60, 70, 80, 90, 100, 120, 144, 200, 240};
int64_t fpsMode = 6;
int64_t targetFps = 100;
double frameMs = 10.0;
double nominalFrameFactor = 0.5;
double carryMs = 0.0;

void applyFpsMode(int64_t index) {
    if (index < 1) index = 6; // 0 and negative values: 100 frames per second
    if (index > 10) index = 10;
    fpsMode = index;
    targetFps = fpsTable[index];
    frameMs = 1000.0 / double(targetFps);
    nominalFrameFactor = frameMs / 20.0;
}

double pacingStep(double elapsed, bool slow, int64_t& sleepMs) {
    double factor = nominalFrameFactor;
    double wait = (frameMs - elapsed) + double(truncateToInt(carryMs));
    carryMs -= double(truncateToInt(carryMs));
    sleepMs = 0;
    if (wait > 0) {
        sleepMs = roundToInt(wait);
        carryMs += wait - double(truncateToInt(wait));
    } else {
        carryMs = 0;
        factor = elapsed / 20.0;
    }
    factor = std::clamp(factor, nominalFrameFactor / 2, nominalFrameFactor * 2);
    if (slow) factor /= 5;
    return factor;
}

double framePacing(double frameStartMs, int64_t slow) {
    if (isHeadless()) {
        // Headless frames take exactly their nominal time on the virtual clock.
        advanceHeadlessClock(frameMs);
        double fixed = headlessOptions().fixedFrameFactor;
        double factor = fixed > 0 ? fixed : nominalFrameFactor;
        return slow ? factor / 5 : factor;
    }
    int64_t sleepMs = 0;
    double factor = pacingStep(systemTimeMs() - frameStartMs, slow != 0, sleepMs);
    delayMs(sleepMs);
    return factor;
}

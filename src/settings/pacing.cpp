// Frame pacing: sleep the rest of the frame in whole milliseconds, then measure the frame, so
// that the game time of every frame (its factor in ticks of 20 ms) is the real time it took.
#include "settings/pacing.h"

#include <algorithm>
#include <utility>

#include "runtime/headless.h"
#include "runtime/timing.h"

const int64_t fpsTable[11] = {0, 50, 60, 70, 80, 90, 100, 120, 144, 200, 240};
int64_t fpsMode = 6;
int64_t targetFps = 100;
double frameMs = 10.0;
double nominalFrameFactor = 0.5;
double carryMs = 0.0;
int64_t slowMotion = 0;

namespace {
double unmixedMs = 0.0; // real-time headless runs: the last frame's length, not yet mixed
} // namespace

void applyFpsMode(int64_t index) {
    if (index < 1) index = 6; // 0 and negative values: 100 frames per second
    if (index > 10) index = 10;
    fpsMode = index;
    targetFps = fpsTable[index];
    frameMs = 1000.0 / double(targetFps);
    nominalFrameFactor = frameMs / 20.0;
}

int64_t pacingSleepMs(double workMs) {
    double wait = frameMs + carryMs - workMs;
    // Truncated: a sleep tends to overrun, never to come short, so rounding up would only add.
    return wait >= 1.0 ? int64_t(wait) : 0;
}

double pacingFactor(double workMs, double frameLengthMs, bool slow) {
    if (workMs >= frameMs) carryMs = 0;
    else carryMs = std::clamp(carryMs + frameMs - frameLengthMs, 1.0 - frameMs / 2, frameMs / 2);
    double factor = frameLengthMs / 20.0; // ticks of 20 ms
    factor = std::clamp(factor, nominalFrameFactor / 2, nominalFrameFactor * 2);
    return slow ? factor / 5 : factor;
}

double pacedFrame(double frameStartMs, bool slow, const TimeSource& clock) {
    double workMs = clock.nowMs() - frameStartMs;
    int64_t sleepMs = pacingSleepMs(workMs);
    if (sleepMs > 0) clock.sleepMs(sleepMs);
    return pacingFactor(workMs, clock.nowMs() - frameStartMs, slow);
}

double framePacing(double frameStartMs, int64_t slow) {
    if (isHeadless() && !headlessOptions().realTime) {
        // Headless frames take exactly their nominal time on the virtual clock.
        advanceHeadlessClock(frameMs);
        double fixed = headlessOptions().fixedFrameFactor;
        double factor = fixed > 0 ? fixed : nominalFrameFactor;
        return slow ? factor / 5 : factor;
    }
    // Real-time headless runs: the virtual clock, and with it the silent mixer, follows the
    // frames as they really pass, one frame late, so that the mixer's work falls within a frame
    // (paced and measured) rather than between two.
    if (isHeadless()) advanceHeadlessClock(std::exchange(unmixedMs, 0.0));
    double factor = pacedFrame(frameStartMs, slow != 0, TimeSource{systemTimeMs, delayMs});
    if (isHeadless()) unmixedMs = systemTimeMs() - frameStartMs;
    return factor;
}

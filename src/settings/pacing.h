// The frame rate setting and frame pacing: the simulation runs in ticks of 20 ms, scaled by
// the frame factor, the measured length of the last frame in ticks.
#pragma once

#include <cstdint>

#include "runtime/timing.h"

extern const int64_t fpsTable[11]; // index 1-10: 50 ... 240 frames per second; 0 unused
extern int64_t fpsMode;            // index into fpsTable
constexpr int64_t kDefaultFpsMode = 6; // 100 frames per second
extern int64_t targetFps;
extern double frameMs;             // milliseconds per frame
extern double nominalFrameFactor;  // frameMs / 20
// Time owed to later frames, in ms: what earlier frames came out shorter than frameMs (a sleep
// is whole milliseconds), less what they came out longer (a sleep overran). It is kept within
// [1 - frameMs / 2, frameMs / 2], so that paying it never makes a frame shorter than half or
// longer than one and a half frameMs.
extern double carryMs;

void applyFpsMode(int64_t index); // an index outside 1-10 is corrected (see the settings)

// Whole milliseconds to sleep after a frame whose work took workMs: the rest of frameMs plus
// the time owed, truncated (what is left over is owed to the next frame).
int64_t pacingSleepMs(double workMs);

// After the sleep: settles the time owed from the frame's whole length in ms (its start to the
// end of its sleep) and returns the frame factor for the next frame, that length in ticks of
// 20 ms within [nominal / 2, nominal * 2]; slow motion divides it by 5. A frame whose work
// alone took longer than frameMs owes nothing: later frames are not rushed to make up for it.
double pacingFactor(double workMs, double frameLengthMs, bool slow);

// One frame's pacing on the given clock: sleeps out the frame that began at frameStartMs and
// returns the frame factor for the next frame.
double pacedFrame(double frameStartMs, bool slow, const TimeSource& clock);

// Waits out the rest of the frame that began at frameStartMs (on the system clock) and
// returns the frame factor for the next frame; slow motion divides it by 5. Virtual headless
// time: the frame takes exactly frameMs and the factor is fixed.
double framePacing(double frameStartMs, int64_t slow);
extern int64_t slowMotion; // the debug keys' slow motion (1 on): what the fight frames pass to the pacing

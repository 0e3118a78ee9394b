// The frame rate setting and frame pacing: the simulation runs in ticks of 20 ms, scaled by
// the frame factor, the length of the last frame in ticks.
#pragma once

#include <cstdint>

extern const int64_t fpsTable[11]; // index 1-10: 50 ... 240 frames per second; 0 unused
extern int64_t fpsMode;            // index into fpsTable
extern int64_t targetFps;
extern double frameMs;             // milliseconds per frame
extern double nominalFrameFactor;  // frameMs / 20
extern double carryMs;             // fraction of a millisecond carried to later waits

void applyFpsMode(int64_t index); // an index outside 1-10 is corrected (see the settings)

// One pacing step without the clock: given how long the frame took, updates carryMs and
// returns the frame factor; sleepMs receives how long to sleep (0 for none).
double pacingStep(double elapsedMs, bool slow, int64_t& sleepMs);

// Waits out the rest of the frame that began at frameStartMs (on the system clock) and
// returns the frame factor for the next frame; slow motion divides it by 5.
double framePacing(double frameStartMs, int64_t slow);

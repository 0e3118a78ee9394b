// Time: one monotonic clock for everything, so that setting the system clock never freezes or
// rushes the game. In headless mode the clock is virtual unless the run asks for real time.
#pragma once

#include <cstdint>

double systemTimeMs();  // milliseconds with fraction, for frame pacing
// The real monotonic clock, even in a headless run on virtual time: for budgets of work that
// decides nothing the run shows (how many pictures load ahead in a frame).
double wallTimeMs();
int64_t elapsedMs();    // whole milliseconds since the first call
void delayMs(int64_t ms); // sleeps (virtual headless time: advances the virtual clock)
void resetElapsedClock();

// A clock and a sleep, as frame pacing needs them.
struct TimeSource {
    double (*nowMs)() = nullptr;           // monotonic, milliseconds with fraction
    void (*sleepMs)(int64_t ms) = nullptr; // sleeps about ms milliseconds (often a little more)
};
// Where systemTimeMs and delayMs take real time from: the monotonic clock and a thread sleep,
// unless a test installs a clock of its own. A source with a part missing restores the real one.
void setTimeSource(const TimeSource& source);

// Time: one monotonic clock for everything, so that setting the system clock never freezes or
// rushes the game. In headless mode the clock is virtual.
#pragma once

#include <cstdint>

double systemTimeMs();  // milliseconds with fraction, for frame pacing and load budgets
int64_t elapsedMs();    // whole milliseconds since the first call
void delayMs(int64_t ms); // sleeps (headless: advances the virtual clock)
void resetElapsedClock();

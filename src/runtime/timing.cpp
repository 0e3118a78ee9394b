// Monotonic time and sleeping.
#include "runtime/timing.h"

#include <chrono>
#include <thread>

#include "runtime/headless.h"

namespace {
bool elapsedStarted = false;
double elapsedStartMs = 0;
} // namespace

double systemTimeMs() {
    if (isHeadless()) return headlessClockMs();
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

int64_t elapsedMs() {
    double now = systemTimeMs();
    if (!elapsedStarted) {
        elapsedStarted = true;
        elapsedStartMs = now;
    }
    return int64_t(now - elapsedStartMs);
}

void resetElapsedClock() { elapsedStarted = false; }

void delayMs(int64_t ms) {
    if (ms <= 0) return;
    if (isHeadless()) {
        advanceHeadlessClock(double(ms));
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

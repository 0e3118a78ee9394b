// Monotonic time and sleeping.
#include "runtime/timing.h"

#include <chrono>
#include <thread>

#include "runtime/headless.h"

namespace {
bool elapsedStarted = false;
double elapsedStartMs = 0;

double monotonicMs() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

void threadSleepMs(int64_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TimeSource source{monotonicMs, threadSleepMs};

// Headless runs keep to their virtual clock unless they asked for real time.
bool virtualTime() { return isHeadless() && !headlessOptions().realTime; }
} // namespace

double systemTimeMs() {
    if (virtualTime()) return headlessClockMs();
    return source.nowMs();
}

double wallTimeMs() { return monotonicMs(); }

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
    if (virtualTime()) {
        advanceHeadlessClock(double(ms));
        return;
    }
    source.sleepMs(ms);
}

void setTimeSource(const TimeSource& replacement) {
    if (replacement.nowMs && replacement.sleepMs) source = replacement;
    else source = TimeSource{monotonicMs, threadSleepMs};
}

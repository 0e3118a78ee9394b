// Headless mode state: options, the presented-frame counter and the virtual clock.
#include "runtime/headless.h"

#include <algorithm>

#include "runtime/sound.h"

namespace {
HeadlessOptions currentOptions;
int64_t frameCount = 0;
// Starts away from zero so that "time 0" is never mistaken for "no time yet".
constexpr double kClockStartMs = 1000000.0;
double clockMs = kClockStartMs;
} // namespace

void setHeadless(const HeadlessOptions& options) {
    currentOptions = options;
    // Events are applied in frame order, those of one frame in the order given.
    std::stable_sort(currentOptions.script.begin(), currentOptions.script.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    currentOptions.enabled = true;
    frameCount = 0;
    clockMs = kClockStartMs;
}

void clearHeadless() {
    currentOptions = HeadlessOptions{};
    frameCount = 0;
    clockMs = kClockStartMs;
}

bool isHeadless() { return currentOptions.enabled; }
const HeadlessOptions& headlessOptions() { return currentOptions; }

int64_t presentedFrames() { return frameCount; }
void (*presentedFrameObserver)() = nullptr;

void countPresentedFrame() {
    ++frameCount;
    if (presentedFrameObserver) presentedFrameObserver();
}

double headlessClockMs() { return clockMs; }

void advanceHeadlessClock(double ms) {
    if (!(ms > 0)) return;
    clockMs += ms;
    // The silent mixer runs on the virtual clock so that sounds end when they would.
    advanceSilentMixer(ms);
}

void scriptKeyTap(std::vector<ScriptEvent>& script, int64_t frame, int64_t code, int64_t frames) {
    script.push_back({frame, kScriptKey, code, 1, {}});
    script.push_back({frame + frames, kScriptKey, code, 0, {}});
}

void scriptScreenshot(std::vector<ScriptEvent>& script, int64_t frame, const std::string& path) {
    script.push_back({frame, kScriptScreenshot, 0, 0, path});
}

void scriptAdd(ScriptEvent event) {
    // Events of past frames are already applied: the newcomer goes after them, in frame order.
    event.frame = std::max(event.frame, frameCount);
    auto& script = currentOptions.script;
    auto at = std::upper_bound(script.begin(), script.end(), event.frame,
                               [](int64_t frame, const ScriptEvent& e) { return frame < e.frame; });
    script.insert(at, event);
}

void scriptTapLater(int64_t delay, int64_t code, int64_t frames) {
    scriptAdd({frameCount + delay, kScriptKey, code, 1, {}});
    scriptAdd({frameCount + delay + frames, kScriptKey, code, 0, {}});
}

// Headless mode: the real game code runs without a display, sound device or player, for tests
// and tools. Input comes from a script of events by frame number; time is virtual unless a
// run asks for real time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum ScriptEventKind {
    kScriptKey,        // code = game key code, value = 1 held / 0 let go
    kScriptPadButton,  // code = pad * 100 + button (1-14), value = 1 / 0
    kScriptPadAxisX,   // code = pad, value = -1000..1000
    kScriptPadAxisY,   // code = pad, value = -1000..1000
    kScriptScreenshot, // path = PNG file written with the frame about to be presented
    kScriptCloseWindow // a close request of the window
};

struct ScriptEvent {
    int64_t frame = 0; // applied from this frame on (frames presented before it)
    ScriptEventKind kind = kScriptKey;
    int64_t code = 0;
    int64_t value = 0;
    std::string path;
};

struct HeadlessOptions {
    bool enabled = false;
    bool nullRenderer = false;   // draw nothing at all: pure simulation speed
    uint64_t seed = 12345;       // the random generator's fixed seed
    double fixedFrameFactor = 0; // 0: the nominal factor of the frame rate setting
    // Real time instead of the virtual clock: the system clock is read and delays really sleep,
    // and frames are paced and measured as in the game (the fixed frame factor is not used).
    bool realTime = false;
    int64_t desktopWidth = 1920;
    int64_t desktopHeight = 1080;
    int64_t controllerCount = 0; // scripted game controllers
    bool noSoundDevice = false;  // as on a machine without sound: the game is told sound is off
    std::vector<ScriptEvent> script;
};

void setHeadless(const HeadlessOptions& options); // before the runtime is initialised
void clearHeadless();
bool isHeadless();
const HeadlessOptions& headlessOptions();

// Frames presented since the runtime started (the frame number of the script).
int64_t presentedFrames();
void countPresentedFrame();
// Called at each presented frame of a headless run (benchmarks time the frames with it).
extern void (*presentedFrameObserver)();

// Virtual time: advanced by the frame pacing and by delays, never by the wall clock (in
// real-time runs the frame pacing advances it by each frame's measured length, a frame late, so
// that the silent mixer keeps pace).
double headlessClockMs();
void advanceHeadlessClock(double ms);

// Script helpers for tests and tools.
void scriptKeyTap(std::vector<ScriptEvent>& script, int64_t frame, int64_t code, int64_t frames = 1);
void scriptScreenshot(std::vector<ScriptEvent>& script, int64_t frame, const std::string& path);
// Adds an event to the running script (tests that react to what the game shows). An event
// for a frame already presented is applied at the next one.
void scriptAdd(ScriptEvent event);
// Presses a key `delay` frames after the current one and lets it go `frames` later.
void scriptTapLater(int64_t delay, int64_t code, int64_t frames = 1);

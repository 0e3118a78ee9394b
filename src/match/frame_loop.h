// The frame loop that every fight screen runs on: the intro, the fight, the end of match, the
// training room, the lessons and the online fight each plug their frame into it, and tools and
// tests watch every one of those frames through one observer, the match hooks.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

enum class FramePhase : int64_t { Intro, Fight, EndOfMatch, Training, Lessons, OnlineFight };

// One screen's frames, in the order the loop runs them. Only `frame` and `pace` are needed.
struct FrameLoop {
    FramePhase phase = FramePhase::Fight;
    double factor = 0;   // the first frame's length in ticks of 20 ms
    double previous = 0; // the length taken as the frame before the first
    // Input, step and drawing of a frame, given its length (which a replay may change) and the
    // last frame's; false ends the loop before the frame is shown.
    std::function<bool(double& factor, double previous)> frame;
    // After the observer has seen the frame, what is drawn over it (a fade); false ends the loop
    // before the frame is shown.
    std::function<bool(double factor)> beforeShown;
    // After the frame is shown (the pictures that load between frames, the frame's work noted);
    // false ends the loop before the frame is paced.
    std::function<bool(double factor)> afterShown;
    // Waits out the frame that began at startMs on the system clock and returns the next
    // frame's length.
    std::function<double(double startMs, double factor)> pace;
    // After the pacing, given the next frame's length: false ends the loop.
    std::function<bool(double nextFactor)> goOn;
    // When the frame being run began its work (benchmarks measure from here).
    std::chrono::steady_clock::time_point workStart;
};

// Runs the loop's frames until one of its steps ends it; returns the frames shown.
int64_t runFrameLoop(FrameLoop& loop);
// Milliseconds of work since the frame being run began (drawing and loading included).
double frameWorkMs(const FrameLoop& loop);

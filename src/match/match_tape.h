// A match on tape: recorded frame by frame as it runs (the players' actions, each frame's
// length, the fight's hash every 50 frames), or played back from a replay instead of the keys
// and the clock, with the viewer's controls in a window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "input/controls.h"

struct FightContext;
struct FightState;
struct Replay;

struct MatchTape {
    Replay* recording = nullptr;    // frames and hashes are added as the match runs
    const Replay* playing = nullptr; // frames are taken from here
    size_t next = 0;                // playing: the next frame to take
    int64_t firstMismatch = -1;     // playing: the first frame (counted from 1) whose hash differs
    bool spoiled = false;           // recording: debug keys changed the fight; not kept
    bool left = false;              // playing: the viewer left with Escape
    bool watchAgain = false;        // the end of match asked to watch this match again (R)
    bool controls = false;          // playing in a window: Space, Right, 1-4 and Escape
    bool paused = false;
    double speed = 1.0;             // playback speed, 0.25 to 2
};
extern MatchTape matchTape;

// The frame's actions and length (ticks) in a phase (0 intro, 1 fight, 2 end of match): added
// to the recording as they come, or replaced by the replay's. False when the replay played has
// no more frames of this phase (or the viewer left).
bool tapeFrame(uint8_t phase, std::array<Actions, 2>& actions, double& factor);
// Whether the match may go on with another round: always unless a replay plays, and then only
// when its next frame is another intro's (and the viewer has not left).
bool tapeGoesOnToAnotherRound();
// After each step: every 50th frame's hash is added to the recording, or compared with the
// replay's.
void tapeAfterStep(const FightState& fight);
// Playing in a window: pauses, steps and changes speed by the viewer's keys, redrawing the
// fight while paused; returns when the next frame may run (or the viewer left).
void playbackControls(const FightContext& context);
// The playback's read-out over the fight: "Replay", the speed, "Paused" and the keys.
void drawPlaybackMark();
// Paces a frame that began at frameStartMs and returns the factor for the next frame: in
// playback the frame lasts its recorded length over the speed.
double pacedTapeFrame(double frameStartMs, double factor, int64_t slow);

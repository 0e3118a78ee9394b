// What the training room watches in the fight, frame by frame, for its panels: player one's
// input history, the timing of its last attack as it really played, the damage of its hits
// and combos, and the dummy's recorded actions. Reads the fight state; changes nothing in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/controls.h"

struct Animation;
struct Fighter;

constexpr size_t kInputHistoryLength = 16;

struct InputHistoryEntry {
    Actions actions;
    int64_t frames = 0; // displayed frames the actions were held
};

// Newest first, at most kInputHistoryLength entries. Frames with nothing held end an entry
// but are not listed themselves.
struct InputHistory {
    std::vector<InputHistoryEntry> entries;
    bool lastWasEmpty = true;
};
bool anyAction(const Actions& actions);
void noteInput(InputHistory& history, const Actions& actions);

// The attack of player one being measured, counted in the fighter's ticks (the steps in which
// the fighters were updated, hit-stop left out; at 50 frames per second one tick a frame).
// Tick 0 is the update in which the attack started. A figure of -1 is not known (yet).
struct AttackMeasure {
    const Animation* attack = nullptr; // the animation record measured; null before any
    double ticks = 0;                  // ticks since its start
    int64_t firstActive = -1, lastActive = -1; // ticks in which a frame with a hit mask was current
    int64_t free = -1;             // the tick after which the attacker could start an attack
    int64_t hitTick = -1;          // its first damaging hit on the dummy
    int64_t damage = -1;           // of that hit
    int64_t stun = -1;             // the dummy's cooldown that hit gave (ticks)
    int64_t dummyFree = -1;        // the tick after which the dummy could act again
    bool complete = false;         // every figure that will be known is known
};

// The figures of a measured attack (ticks); -1 where not known.
struct MeasuredFigures {
    int64_t startup = -1, active = -1, recovery = -1, total = -1;
    int64_t advantage = 0; // the dummy's ticks until free minus the attacker's, after the hit
    bool advantageKnown = false;
};
MeasuredFigures measuredFigures(const AttackMeasure& measure);

// Damage dealt by player one to the dummy: a combo runs from a hit on a free dummy until the
// dummy is free again.
struct ComboTally {
    int64_t lastHit = 0;
    int64_t comboDamage = 0;
    int64_t comboHits = 0;
    bool running = false;
};

// Whether the fighter could start an attack in its next update (what the fighter update asks).
bool canStartAttack(const Fighter& fighter);
// Whether a fighter struck by an attack is free again (hit reaction and cooldown over).
bool isFree(const Fighter& fighter);

struct FighterSnapshot {
    int64_t animationStarts = 0;
    int64_t hits = 0;   // damaging touches landed so far
    int64_t damage = 0; // damage dealt so far
    bool free = false;  // isFree
};
FighterSnapshot snapshotOf(const Fighter& fighter);

// After each fight step: player one (`attacker`, with its snapshot from before the step) and
// the dummy as they stand now; `updated` when the step updated the fighters (no hit-stop),
// `ticks` the step's length in ticks. A new attack of player one (a follow-up too) starts a
// new measure.
void watchAttack(AttackMeasure& measure, const FighterSnapshot& attackerBefore,
                 const Fighter& attacker, const Fighter& dummy, bool updated, double ticks);
void tallyCombo(ComboTally& tally, const FighterSnapshot& attackerBefore, const Fighter& attacker,
                const FighterSnapshot& dummyBefore, const Fighter& dummy);

// The dummy's recorded actions: what player one pressed, frame by frame, with the frame's
// length and the side the dummy faced, so that a playback on the other side is mirrored.
struct DummyRecording {
    struct Step {
        Actions actions;
        double ticks = 0;
        int64_t facing = 0;
    };
    std::vector<Step> steps;
    double ticks = 0; // recorded length
    bool recording = false;
    double playedTicks = 0; // playback position within the recording
};
constexpr double kMaxRecordingTicks = 500; // 10 s

// Records one frame; returns false once the recording is full (it then stops).
bool recordDummyStep(DummyRecording& recording, const Actions& actions, double ticks,
                     int64_t facing);
// The actions to play for a frame of `ticks`, looping; none for an empty recording.
Actions playDummyStep(DummyRecording& recording, double ticks, int64_t facing);

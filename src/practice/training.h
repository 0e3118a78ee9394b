// The training room: a fight without intro, time limit or end, against a dummy whose
// behaviour the player chooses, with panels that show what happens frame by frame.
#pragma once

#include <cstdint>

#include "practice/training_watch.h"

struct FightContext;
struct Stage;

enum DummyBehaviour : int64_t {
    kDummyStand, kDummyWalk, kDummyJump, kDummyEasy, kDummyMedium, kDummyHard, kDummyPlayback,
    kDummyBehaviourCount
};
const char* dummyBehaviourName(int64_t behaviour);

// The room's keys (key codes): the function keys, which no default binding uses.
constexpr int64_t kTrainingBehaviourKey = 59; // F1
constexpr int64_t kTrainingRecordKey = 60;    // F2
constexpr int64_t kTrainingPlayKey = 61;      // F3
constexpr int64_t kTrainingRefillKey = 62;    // F4
constexpr int64_t kTrainingResetKey = 63;     // F5
constexpr int64_t kTrainingPauseKey = 64;     // F6
constexpr int64_t kTrainingStepKey = 65;      // F7
constexpr int64_t kTrainingInputsKey = 66;    // F8
constexpr int64_t kTrainingFrameDataKey = 67; // F9
constexpr int64_t kTrainingHitMasksKey = 68;  // F10
constexpr int64_t kTrainingDamageKey = 87;    // F11
constexpr int64_t kTrainingComboKey = 88;     // F12

struct TrainingPanels {
    bool inputs = true;
    bool frameData = true;
    bool hitMasks = false;
    bool damage = true;
    bool combo = true;
};

struct TrainingRoom {
    int64_t behaviour = kDummyStand;
    bool refill = true;  // both lives refill when a combo is over
    bool paused = false;
    TrainingPanels panels;
    InputHistory history;
    AttackMeasure measure;
    ComboTally tally;
    DummyRecording recording;
    double dummyTicks = 0;     // game time of the dummy's own walking and jumping
    double knockedOutTicks = 0; // how long a fighter has lain knocked out
    double framesPerSecond = 50; // the rate the room runs at (frames of the frame data panel)
};
// The room as it stands (kept between visits: panels, behaviour and recording).
extern TrainingRoom trainingRoom;

// Runs the training room with both players of the context's fight as they stand (classes and
// stances chosen) on a stage, until Escape. The match hooks' screenshots, frame callback and
// frame count serve tests as in a match.
void runTrainingRoom(FightContext& context, Stage* stage);
// Both fighters back at their start positions on the context's stage, standing, at full life.
void resetTrainingPositions(FightContext& context);

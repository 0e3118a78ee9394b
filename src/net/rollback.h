// A rollback session: one peer's view of an online fight. Both players' inputs are kept by
// frame; the remote player's input for a frame not yet received is predicted as its last one
// received, so the fight steps on at once; when a received input differs from what a stepped
// frame used, the fight goes back to the last confirmed frame and is stepped again to the
// present. Every step is one frame of a fixed rate at its nominal frame factor.
//
// A session keeps its own fight states and steps them in place, so that two sessions can live
// in one process; the newest is stateAfter(session, session.currentFrame) (what a game draws).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "fight/fight_events.h"
#include "fight/fight_state.h"
#include "input/controls.h"
#include "net/packets.h"

struct Stage;

inline constexpr int64_t kMaxPredictedFrames = 8; // frames stepped beyond the last confirmed
inline constexpr int64_t kHashInterval = 30;      // frames between the hashes peers compare
// Received inputs and hashes further than this beyond what is known here are dropped: a peer
// cannot be that far ahead, and a hostile one must not make us keep its frame numbers.
inline constexpr int64_t kRemoteFrameWindow = 64;
inline constexpr size_t kKeptHashes = 16;      // local hashes kept for late ones of the peer
inline constexpr uint8_t kUnknownInput = 0xFF; // never a packed input (its bit 7 is set)

// The fight after a number of frames, and what the last of those steps returned (0 both live,
// 1 player one out, 2 player two out).
struct SavedFrame {
    FightState state;
    int64_t result = 0;
};

struct FrameHash {
    int64_t frame = 0;
    uint64_t hash = 0;
};

struct RollbackSession {
    int64_t localPlayer = 0; // 0 player one, 1 player two
    int64_t inputDelay = kDefaultInputDelay;
    const Stage* stage = nullptr;
    double frameFactor = 1; // one frame in ticks of 20 ms: 50 / frame rate

    // Inputs by frame, packed as on the wire (packActions). Frame f's inputs drive the step
    // from the fight after f frames to the fight after f + 1.
    std::vector<uint8_t> localInputs;  // every frame to size() - 1; the first inputDelay empty
    std::vector<uint8_t> remoteInputs; // received ones; kUnknownInput where none came yet
    int64_t remoteContiguous = 0;      // frames 0 to this - 1 all received
    std::vector<uint8_t> remoteUsed;   // the remote input each stepped frame used
    int64_t peerAck = kNoFrame;        // the last local frame the peer says it has

    int64_t currentFrame = 0;   // frames stepped: the newest state is the fight after these
    int64_t confirmedFrame = 0; // frames stepped with both inputs known: never rolled back
    // The fight after each frame from confirmedFrame to currentFrame, at frame % size.
    std::array<SavedFrame, kMaxPredictedFrames + 1> saved;
    // What the newest frame stepped by stepSession set off: the presentation plays these, once
    // per stepped frame. Frames stepped again after a rollback leave nothing here: their
    // sounds and effects were played when they were first stepped.
    FightEvents newestEvents;

    std::vector<FrameHash> localHashes;  // of confirmed frames every kHashInterval, newest last
    std::vector<FrameHash> remoteHashes; // the peer's, for frames not confirmed here yet
    int64_t desyncFrame = -1;            // the first frame whose hashes differed; -1 none

    int64_t knockOutFrame = -1; // the first confirmed frame after which a fighter is out
    int64_t knockOutResult = 0; // its result (1 player one lost, 2 player two lost)

    int64_t rollbacks = 0;         // times the fight went back
    int64_t framesResimulated = 0; // frames stepped again, all rollbacks together
    int64_t longestRollback = 0;   // frames stepped again by one rollback
    int64_t waits = 0;             // stepSession calls refused
};

// A session from the fight as it stands at the start of play (the same on both peers), for the
// player `localPlayer` at `frameRate` frames per second; the delay is kept within 0 and
// kMaxInputDelay.
void startSession(RollbackSession& session, const FightState& start, const Stage* stage,
                  int64_t localPlayer, int64_t inputDelay, int64_t frameRate);

// The local player's actions sampled now: they drive frame currentFrame + inputDelay. Returns
// that frame, or -1 when it already has its input (the session waits; the input first given
// for a frame stays, as it may have been sent).
int64_t addLocalInput(RollbackSession& session, const Actions& actions);

// The remote player's inputs from firstFrame on. Duplicates and frames beyond the window are
// ignored. When one differs from what a stepped frame used, the fight rolls back to the last
// confirmed frame and is stepped again up to currentFrame within this call (counted in
// rollbacks). Returns the number of frames newly received.
int64_t addRemoteInputs(RollbackSession& session, int64_t firstFrame,
                        const std::vector<Actions>& actions);

struct StepOutcome {
    bool stepped =
        false; // false: waiting (too far beyond the last confirmed frame, or no local input)
    int64_t result = 0; // the step's result, predicted: only knockOutFrame is final
};
// Steps one frame, with the remote input predicted where it has not come; newestEvents then
// holds what the frame set off.
StepOutcome stepSession(RollbackSession& session);

// The peer's hash of a frame: compared with ours once we have it; a difference sets
// desyncFrame. Frames that are no multiple of kHashInterval, or too far ahead, are ignored.
void addRemoteHash(RollbackSession& session, int64_t frame, uint64_t hash);

// The fight after `frame` frames, for frame within confirmedFrame and currentFrame.
FightState& stateAfter(RollbackSession& session, int64_t frame);
const FightState& stateAfter(const RollbackSession& session, int64_t frame);

// A rollback session over the fight state.
#include "net/rollback.h"

#include <algorithm>

#include "fight/fight_frame.h"

namespace {
constexpr int64_t kSavedCount = kMaxPredictedFrames + 1;

SavedFrame& savedAfter(RollbackSession& s, int64_t frame) {
    return s.saved[size_t(frame % kSavedCount)];
}

// The remote input a step of `frame` uses: the one received, else the last of the unbroken
// run received (none at all: no action).
uint8_t remoteInputFor(const RollbackSession& s, int64_t frame) {
    if (frame < int64_t(s.remoteInputs.size()) && s.remoteInputs[size_t(frame)] != kUnknownInput)
        return s.remoteInputs[size_t(frame)];
    if (s.remoteContiguous == 0) return 0;
    return s.remoteInputs[size_t(s.remoteContiguous - 1)];
}

// Steps the kept fight after `frame` frames through `frame` into the state after it; the
// events it leaves there are the caller's to keep or drop.
void stepFrame(RollbackSession& s, int64_t frame) {
    uint8_t remote = remoteInputFor(s, frame);
    std::array<Actions, 2> actions;
    actions[size_t(s.localPlayer)] = unpackActions(s.localInputs[size_t(frame)]);
    actions[size_t(1 - s.localPlayer)] = unpackActions(remote);
    if (int64_t(s.remoteUsed.size()) <= frame)
        s.remoteUsed.resize(size_t(frame + 1), kUnknownInput);
    s.remoteUsed[size_t(frame)] = remote;
    SavedFrame& after = savedAfter(s, frame + 1);
    after.state = savedAfter(s, frame).state;
    after.result = stepFight(after.state, s.stage, actions, s.frameFactor, s.frameFactor);
}

void compareHashes(RollbackSession& s, int64_t frame, uint64_t local, uint64_t remote) {
    if (local != remote && s.desyncFrame < 0) s.desyncFrame = frame;
}

// The fight after `frame` frames is confirmed: its knock-out and, every kHashInterval frames,
// its hash.
void confirm(RollbackSession& s, int64_t frame) {
    const SavedFrame& after = savedAfter(s, frame);
    if (s.knockOutFrame < 0 && after.result != 0) {
        s.knockOutFrame = frame;
        s.knockOutResult = after.result;
    }
    if (frame % kHashInterval != 0) return;
    uint64_t hash = fightHash(after.state);
    s.localHashes.push_back({frame, hash});
    if (s.localHashes.size() > kKeptHashes) s.localHashes.erase(s.localHashes.begin());
    auto pending = std::find_if(s.remoteHashes.begin(), s.remoteHashes.end(),
                                [frame](const FrameHash& h) { return h.frame == frame; });
    if (pending != s.remoteHashes.end()) {
        compareHashes(s, frame, hash, pending->hash);
        s.remoteHashes.erase(pending);
    }
}

// Moves the confirmed frame up to `limit` (at most the frames stepped with every input known).
void confirmUpTo(RollbackSession& s, int64_t limit) {
    limit = std::min({limit, s.currentFrame, s.remoteContiguous});
    while (s.confirmedFrame < limit) {
        s.confirmedFrame += 1;
        confirm(s, s.confirmedFrame);
    }
}

// Back to the last confirmed frame and forward again to the present, with every input as now
// known or predicted.
void rollBack(RollbackSession& s) {
    int64_t frames = s.currentFrame - s.confirmedFrame;
    for (int64_t frame = s.confirmedFrame; frame < s.currentFrame; ++frame)
        stepFrame(s, frame);
    s.rollbacks += 1;
    s.framesResimulated += frames;
    s.longestRollback = std::max(s.longestRollback, frames);
}
} // namespace

void startSession(RollbackSession& s, const FightState& start, const Stage* stage,
                  int64_t localPlayer, int64_t inputDelay, int64_t frameRate) {
    s = RollbackSession{};
    s.localPlayer = localPlayer == 1 ? 1 : 0;
    s.inputDelay = std::clamp<int64_t>(inputDelay, 0, kMaxInputDelay);
    s.stage = stage;
    s.frameFactor = 50.0 / double(std::max<int64_t>(frameRate, 1));
    s.localInputs.assign(size_t(s.inputDelay), 0);
    savedAfter(s, 0) = SavedFrame{start, 0};
}

int64_t addLocalInput(RollbackSession& s, const Actions& actions) {
    int64_t frame = s.currentFrame + s.inputDelay;
    if (frame < int64_t(s.localInputs.size())) return -1;
    s.localInputs.push_back(packActions(actions));
    return frame;
}

int64_t addRemoteInputs(RollbackSession& s, int64_t firstFrame,
                        const std::vector<Actions>& actions) {
    int64_t received = 0;
    int64_t firstWrong = -1;
    int64_t window = std::max(s.currentFrame, int64_t(s.localInputs.size())) + kRemoteFrameWindow;
    for (size_t i = 0; i < actions.size(); ++i) {
        int64_t frame = firstFrame + int64_t(i);
        if (frame < 0 || frame >= window) continue;
        if (int64_t(s.remoteInputs.size()) <= frame)
            s.remoteInputs.resize(size_t(frame + 1), kUnknownInput);
        uint8_t& slot = s.remoteInputs[size_t(frame)];
        if (slot != kUnknownInput) continue; // a duplicate: the first copy stands
        slot = packActions(actions[i]);
        received += 1;
        if (frame < s.currentFrame && s.remoteUsed[size_t(frame)] != slot &&
            (firstWrong < 0 || frame < firstWrong))
            firstWrong = frame;
    }
    while (s.remoteContiguous < int64_t(s.remoteInputs.size()) &&
           s.remoteInputs[size_t(s.remoteContiguous)] != kUnknownInput)
        s.remoteContiguous += 1;
    if (firstWrong >= 0) {
        // Everything before the first wrong guess was stepped right: confirmed up to it, the
        // rollback starts there.
        confirmUpTo(s, firstWrong);
        rollBack(s);
    }
    confirmUpTo(s, s.currentFrame);
    return received;
}

StepOutcome stepSession(RollbackSession& s) {
    if (s.currentFrame - s.confirmedFrame >= kMaxPredictedFrames ||
        int64_t(s.localInputs.size()) <= s.currentFrame) {
        s.waits += 1;
        return {};
    }
    stepFrame(s, s.currentFrame);
    s.currentFrame += 1;
    s.newestEvents = savedAfter(s, s.currentFrame).state.events;
    confirmUpTo(s, s.currentFrame);
    return {true, savedAfter(s, s.currentFrame).result};
}

void addRemoteHash(RollbackSession& s, int64_t frame, uint64_t hash) {
    if (frame <= 0 || frame % kHashInterval != 0) return;
    for (const FrameHash& local : s.localHashes)
        if (local.frame == frame) {
            compareHashes(s, frame, local.hash, hash);
            return;
        }
    if (frame <= s.confirmedFrame || frame > s.confirmedFrame + kRemoteFrameWindow) return;
    for (const FrameHash& pending : s.remoteHashes)
        if (pending.frame == frame) return;
    s.remoteHashes.push_back({frame, hash});
}

FightState& stateAfter(RollbackSession& s, int64_t frame) {
    return savedAfter(s, frame).state;
}

const FightState& stateAfter(const RollbackSession& s, int64_t frame) {
    return s.saved[size_t(frame % kSavedCount)].state;
}

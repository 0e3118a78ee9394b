// An online match: both computers set up the same fight from the host's starting set-up, step
// the same intro, then fight through a rollback session, each drawing its own newest frame.
// The match is recorded as a replay like any other.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "input/controls.h"
#include "net/packets.h"
#include "replays/replay_file.h"

struct FightContext;
struct FightState;
struct OnlinePlay;
struct RollbackSession;
struct Spectating;
struct Stage;

// Tools and tests: a program at the local keys instead of the player (null: the player's own
// keys, as player one's bindings); it gets the newest fight and the side it plays.
extern std::function<Actions(const FightState& now, int64_t side)> onlineInputSource;
// Tools and tests: sees the rollback session once a pass, before the local input is read (the
// desync test spoils one side's fight through it).
extern std::function<void(RollbackSession& session)> onlineSessionHook;
// Tools and tests: fight frames after which a match ends with no winner on both sides (0: none).
extern int64_t onlineFrameLimit;

// The host's starting set-up: both players' choices, the stage, the seed, and the host's frame
// rate, fight settings and screen size, which both computers then play with.
SetupPacket hostStartingSetup(const SetupPacket& choice, const SetupPacket& guestChoice,
                              int64_t stage, uint64_t seed);
// "" when a starting set-up can be played here, otherwise why not.
std::string startingSetupRefusal(const SetupPacket& start);

struct OnlineOutcome {
    bool finished = false;  // a knock-out or the frame limit, the same on both computers
    int64_t result = 0;     // 0 no knock-out, 1 player one lost, 2 player two lost
    int64_t fightFrames = 0; // confirmed frames of fight played
    uint64_t fightHash = 0; // of the fight after its last frame (before the end of match)
    Replay replay;          // the match as recorded (kept in replays/ by the caller)
    std::string problem;    // why the match stopped early ("" when finished)
    double seconds = 0;     // of fight, on the wall clock
    int64_t rollbacks = 0, longestRollback = 0, framesResimulated = 0, waits = 0;
    double pingMs = 0;      // the last smoothed round trip through the inputs' acks
};

// The player's things an online match changes, and puts back.
struct KeptForOnline {
    int64_t width = 0, height = 0;
};
// Gives both fighters the host's starting set-up and returns its recording (not yet started);
// "" in `refusal` when it can be played here. The players and the spectators start alike.
Replay applyStartingSetup(FightContext& context, const SetupPacket& start, KeptForOnline& kept,
                          std::string& refusal);
void restoreAfterOnline(const KeptForOnline& kept);
// The end of an online match, the players' or a spectator's: the end of match when `showEnd`
// (and the hooks let it), else the fight screen left; the recording's result and final hash;
// then the player's things back (restoreAfterOnline).
void finishOnlineMatch(FightContext& context, Stage* stage, OnlineOutcome& outcome,
                       bool showEnd, const KeptForOnline& kept);
// One confirmed frame of fight stepped with both players' packed inputs and recorded, with a
// hash every kReplayHashInterval frames.
void stepRecordedFrame(FightState& fight, const Stage* stage, Replay& replay,
                       const std::array<uint8_t, 2>& packed, double factor);
// The last frame's effects as shown (its sounds were heard when it was played).
void presentLastFrame(const FightState& fight, double factor);

// Plays the match in the context from the host's starting set-up with the local player's input delay
// (frames); the end of match follows unless matchHooks say otherwise. The player's own settings
// and screen are back as they were afterwards.
OnlineOutcome playOnlineMatch(FightContext& context, OnlinePlay& online, const SetupPacket& start,
                              int64_t inputDelay);

// A spectator's copy of the room's match whose starting set-up came (watching.setup): it
// plays the streamed inputs `delaySeconds` behind the newest, fast-forwarding without drawing
// when further behind (a spectator who came in mid-match), and ends with the match's end.
// The outcome's hash is checked against the host's; the recording verifies like a replay.
OnlineOutcome watchOnlineMatch(FightContext& context, Spectating& watching, double delaySeconds);

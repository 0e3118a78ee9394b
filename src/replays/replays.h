// Replays of matches: what a recording holds of the match's set-up, the checks and set-up
// before one is played, the game's replays/ directory, and playing one through a real match.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "replays/replay_file.h"

inline const std::string kGameVersion = "0.1.0.5a";
// "replays" in the game's directory; elsewhere for an installed game (shell/player_files.h);
// "" when replays are not kept.
extern std::string replayDirectory;

// The hashes of what the fight reads besides data.json: each named class's pictures (bodies
// and hit masks), and the sounds (which variants exist decides the random draws). Read once
// per run and game directory.
std::vector<std::pair<std::string, uint64_t>> contentHashes(const std::string& classOne,
                                                            const std::string& classTwo);
uint64_t dataFileHash(); // of data.json

struct FightContext;

// A recording of the match about to start in the context, with the players, stage and fight
// settings as they stand (mode: 0 two players, 1 against the bot, 2 bots only).
Replay newMatchRecording(const FightContext& context, int64_t mode);
// "" when this game can play the replay here, otherwise why not: another version, data or
// content, a class, stance or stage that is not there, or another screen size.
std::string replayRefusal(const Replay& replay);
// Screen sizes a replay may open the game at (others are refused as another screen size).
bool replayScreenSizeUsable(int64_t width, int64_t height);
// Gives the context's players and stage and the fight settings the replay's;
// restoreFightSettings puts the player's settings back afterwards.
void applyReplaySetup(FightContext& context, const Replay& replay);
void restoreFightSettings();

struct ReplayCheck {
    int64_t firstMismatch = -1; // the first frame (from 1) whose stored hash differs, -1 none
    bool finished = false;      // every frame was played (the viewer did not leave)
    bool sameEnd = false;       // the result and the final hash are the recorded ones
};
// Plays the replay through a real match (intro, fight, end of match), in a window with the
// viewer's keys when controls is set. The caller has checked replayRefusal.
ReplayCheck playReplay(FightContext& context, const Replay& replay, bool controls);

// Writes the replay into replays/ (keeping the newest 50) and returns its path; "" after saying
// on standard error why it could not be kept, or when replays are not kept.
std::string keepReplay(const Replay& replay);
// The settings that change the fight, by their names in a replay, in a fixed order (online
// play's host sends their values in this order).
std::vector<std::string> fightSettingNames();
std::vector<int64_t> fightSettingValues(); // as they stand, in the same order

// Records the match that startMatch runs when record is set, keeps it in replays/ (the newest
// 50) unless debug keys changed the fight, and plays it again when the player asked for it at
// the end of match. Returns startMatch's result.
int64_t runRecordedMatch(FightContext& context, int64_t mode);

// The replay file: a recorded fight's set-up, every displayed frame's input and length, and the
// fight state's hashes that a playback is checked against. Writing is atomic; reading refuses a
// damaged, truncated, oversized or newer file with a message, and never allocates more than the
// bytes really present can fill. The layout is described in README.md ("Replays").
#pragma once

#include <cstddef>
#include <string>

#include "match/replay_record.h"

constexpr size_t kReplaysKept = 50;                  // the game's replays/ keeps the newest 50
extern const char* const kReplayExtension;           // ".qrxreplay"

// "" when the replay can be written and read back as it is, otherwise what is wrong with it
// (a phase or action bit out of range, a frame length that is not a finite number within
// (0, kReplayMaxFactor], more hashes than frames / 50, two settings of the same name...).
std::string replayProblem(const Replay& replay);

// The file's bytes. False (with the reason in error) when replayProblem finds something.
bool encodeReplay(const Replay& replay, std::string& bytes, std::string& error);
// Reads a file's bytes. False with a message such as "not a Quarrelix replay", "replay format 7
// is newer than this game reads (2)" or "damaged replay: ..."; replay is then left as it was.
bool parseReplay(const std::string& bytes, Replay& replay, std::string& error);

// Written beside path and renamed over it: a failure never leaves a half-written file.
bool writeReplay(const std::string& path, const Replay& replay, std::string& error);
bool readReplay(const std::string& path, Replay& replay, std::string& error);

// Equal field by field, frame lengths bit for bit.
bool sameReplay(const Replay& a, const Replay& b);

// "2026-12-09_14-03-12_Duelist-vs-Brawler.qrxreplay" for "2026-12-09 14:03:12": letters,
// digits, '-' and '_' only (any other character becomes '_'), names cut to 32 bytes.
std::string replayFileName(const std::string& recordedAt, const std::string& classOne,
                           const std::string& classTwo);
// A path in directory for a new replay that names no existing file: replayFileName, or with
// "-2", "-3"... before the extension when that is taken (two matches within one second).
// "" when even "-999" is taken.
std::string newReplayPath(const std::string& directory, const std::string& recordedAt,
                          const std::string& classOne, const std::string& classTwo);
// Keeps the newest keep replays of directory and removes the older ones. Only files named as
// replayFileName names them (a date and time first, the extension last) count; any other file,
// a replay renamed by the player among them, is left alone. Newest means latest in the name,
// then highest "-N" within the same second.
void pruneReplays(const std::string& directory, size_t keep);

// "" when the replay was recorded with this game's version, data and content; otherwise what
// differs, e.g. "recorded with version 0.1.0.4 (this is 0.1.0.5a)", "recorded with other data
// (data.json differs)" or "recorded with other pictures of Lancer" (the file group's name).
std::string describeReplayMismatch(const Replay& replay, const std::string& gameVersion,
                                   uint64_t dataHash,
                                   const std::vector<std::pair<std::string, uint64_t>>& contentHashes);

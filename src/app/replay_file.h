// The replay file: a recorded fight's set-up, every displayed frame's input and length, and the
// fight state's hashes that a playback is checked against. Writing is atomic; reading refuses a
// damaged, truncated, oversized or newer file with a message, and never allocates more than the
// bytes really present can fill. The layout is described in README.md ("Replays").
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One side of the match.
struct ReplaySide {
    std::string className;       // the class's name, for messages and file names
    int64_t classIndex = 0;      // position in the class list
    int64_t stance = 0;          // stance position within the class
    int64_t colour = 0;          // the player's colour, RGB
    int64_t alternateColour = 0; // player two's stance colour equals player one's (0/1)
    int64_t botLevel = 0;        // 0 a player, 1-3 the bot's level
};

// Per displayed frame: what the two players pressed and the frame's length.
struct ReplayFrame {
    uint8_t phase = 0;           // 0 the intro countdown, 1 the fight, 2 the end of match
    uint8_t actions[2] = {0, 0}; // bits 0..6: up, down, right, left, neutral, heavy, jump
    double factor = 1.0;         // the frame's length in ticks of 20 ms, kept bit for bit
};

struct Replay {
    int64_t formatVersion = 1;
    std::string gameVersion;                                     // e.g. "0.1.0.5a"
    uint64_t dataHash = 0;                                       // of data.json
    std::vector<std::pair<std::string, uint64_t>> contentHashes; // file group name -> hash
    std::string recordedAt;                                      // "2026-12-09 14:03:12", local time
    int64_t mode = 0; // 0 two players, 1 player against the bot, 2 bots (tools)
    ReplaySide sides[2];
    int64_t stage = 0;                                     // position in the stage list
    std::vector<std::pair<std::string, int64_t>> settings; // fight-changing settings by name
    std::array<uint64_t, 4> randomState{}; // the random generator's state when the match starts
    std::vector<ReplayFrame> frames;
    // The fight's state hash after frames 50, 100, 150... (index k: after frame 50 (k + 1)).
    std::vector<uint64_t> hashes;
    int64_t result = 0;     // 0 no knock-out, 1 player one lost, 2 player two lost
    uint64_t finalHash = 0; // after the last frame
};

constexpr int64_t kReplayFormat = 1;          // the newest format this game reads and writes
constexpr int64_t kReplayHashInterval = 50;   // frames between two state hashes
constexpr int64_t kReplayMaxFrames = 1000000; // about 2.7 hours at 100 frames per second
// The whole file, in bytes. A full-length replay of jittered frames takes about 7 MB.
constexpr int64_t kReplayMaxFileBytes = 16 << 20;
constexpr int64_t kReplayMaxHeaderBytes = 256 << 10; // the JSON header line, in bytes
constexpr double kReplayMaxFactor = 100.0;           // ticks of 20 ms: a frame of 2 s
constexpr size_t kReplaysKept = 50;                  // the game's replays/ keeps the newest 50
extern const char* const kReplayExtension;           // ".qrxreplay"

// "" when the replay can be written and read back as it is, otherwise what is wrong with it
// (a phase or action bit out of range, a frame length that is not a finite number within
// (0, kReplayMaxFactor], more hashes than frames / 50, two settings of the same name...).
std::string replayProblem(const Replay& replay);

// The file's bytes. False (with the reason in error) when replayProblem finds something.
bool encodeReplay(const Replay& replay, std::string& bytes, std::string& error);
// Reads a file's bytes. False with a message such as "not a Quarrelix replay", "replay format 7
// is newer than this game reads (1)" or "damaged replay: ..."; replay is then left as it was.
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

// What a recorded match holds: its set-up, every displayed frame's input and length, and the
// fight state's hashes that a playback is checked against. The match's tape fills and reads it;
// the replay file (replays/) keeps it on disk.
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
    int64_t formatVersion = 1; // 1 a single round; 2 a match of several rounds
    int64_t rounds = 1;        // the match's rounds at most: 1 (format 1), 3 or 5 (format 2)
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

// The newest format this game reads and writes. A match of one round is written in format 1,
// as before rounds were played, so that every build plays it; one of several rounds in format 2,
// which builds of before refuse as newer.
constexpr int64_t kReplayFormat = 2;
constexpr int64_t kReplayHashInterval = 50;   // frames between two state hashes
constexpr int64_t kReplayMaxFrames = 1000000; // about 2.7 hours at 100 frames per second
// The whole file, in bytes. A full-length replay of jittered frames takes about 7 MB.
constexpr int64_t kReplayMaxFileBytes = 16 << 20;
constexpr int64_t kReplayMaxHeaderBytes = 256 << 10; // the JSON header line, in bytes
constexpr double kReplayMaxFactor = 100.0;           // ticks of 20 ms: a frame of 2 s

// What the balance report reads: the match runner's JSON lines (quarrelix-match --details) and
// the classes of data.json with their stances and whether a player can pick them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One side of a match.
struct MatchSide {
    int64_t classId = -1;    // the class's "id" in data.json, as the runner prints it
    int64_t classIndex = -1; // its position in the roster (see placeClasses), -1 until placed
    int64_t stance = 0;      // position in the class's stance list
    int64_t level = 0;       // 0 passive (no input), 1 Easy, 2 Medium, 3 Hard
    int64_t life = 0;        // life points left at the end (below 0 after a knock-out blow)
    int64_t maxLife = 0;
    int64_t hits = 0;        // damaging touches dealt
    int64_t damage = 0;      // life points taken from the opponent in all
    int64_t maxCombo = 0;    // longest combo, in hits
    int64_t attacks = 0;     // attacks started (each follow-up of a combo counts)
    int64_t landed = 0;      // of those, the ones that touched the opponent
    int64_t closeFrames = 0; // fight frames spent within 50 px of the opponent
};

struct MatchRecord {
    uint64_t seed = 0;
    int64_t stage = 0;
    MatchSide side[2];      // player one, player two
    int winner = 0;         // 1 player one, 2 player two, 0 none (the time limit ran out)
    int64_t frames = 0;     // fight frames (100 a game second by default)
    double gameSeconds = 0; // the fight's length in game time
};

// A class of data.json, in file order: the runner's --p1/--p2 take that position.
struct RosterClass {
    int64_t id = 0;
    std::string name;
    std::vector<std::string> stances;
    bool playable = true; // neither "toBeAdded" nor "notSelectable"
};

using Roster = std::vector<RosterClass>;

// Reads one runner line; false with the reason in `error` when it is not a match of the runner.
// Lines without "play" (a runner run without --details) leave the play counts at 0.
bool parseMatchLine(const std::string& line, MatchRecord& match, std::string& error);
// Every non-empty line of a file; the error names the file and the line.
bool readMatchFile(const std::string& path, std::vector<MatchRecord>& matches, std::string& error);

// The "class" array of a data.json document.
bool parseRoster(const std::string& json, Roster& roster, std::string& error);
bool readRoster(const std::string& path, Roster& roster, std::string& error);

// The roster position of the class with this id; -1 when there is none.
int64_t classPositionOf(const Roster& roster, int64_t id);
// Sets every side's classIndex from its classId; false naming the first unknown class.
bool placeClasses(const Roster& roster, std::vector<MatchRecord>& matches, std::string& error);
// Positions of the classes a player can pick, in roster order.
std::vector<int64_t> playablePositions(const Roster& roster);
// "passive", "Easy", "Medium" or "Hard" for a runner level (0 to 3), else "level N".
std::string levelName(int64_t level);

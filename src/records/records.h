// The player's records: wins and losses of each class against the computer by level, against
// people at this computer and online; the arcade's clears with the best time and the fewest
// continues; survival's best; the longest win streak, the fastest knock-out and the highest
// combo. Kept in "records.txt" (JSON) beside the settings, written atomically; a damaged file
// is kept aside as "records.txt.bad" and reported, never written over.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

constexpr int64_t kBotLevels = 3; // Easy, Medium, Hard

struct ClassRecord {
    std::array<int64_t, kBotLevels> botWins{}, botLosses{};
    int64_t peopleWins = 0, peopleLosses = 0; // at this computer
    int64_t onlineWins = 0, onlineLosses = 0;
    int64_t arcadeClears = 0;
    double arcadeBestSeconds = 0;     // 0: never cleared
    int64_t arcadeFewestContinues = -1; // -1: never cleared
};

struct Records {
    std::map<std::string, ClassRecord> classes; // by class name
    int64_t survivalBest = 0;      // wins in one survival run
    int64_t winStreak = 0;         // wins in a row now (against anyone)
    int64_t longestWinStreak = 0;
    double fastestKnockOutSeconds = 0; // of fight, 0: none yet
    int64_t highestCombo = 0;      // hits
};
extern Records records;
// "records.txt" beside the settings; "" when the records are not kept (nothing read or written).
extern std::string recordsPath;

enum class Opponent : uint8_t { Bot, Person, Online };
// One match's ending as the records take it: `won` by the player of `playerClass`; a
// knock-out's fight time in seconds (0 for none) and the player's highest combo.
struct MatchResult {
    std::string playerClass;
    Opponent opponent = Opponent::Bot;
    int64_t botLevel = 1; // 1-3 against the computer
    bool won = false;
    double knockOutSeconds = 0;
    int64_t highestCombo = 0;
};
void noteMatch(Records& into, const MatchResult& match);
void noteArcadeClear(Records& into, const std::string& playerClass, double seconds, int64_t continues);
void noteSurvival(Records& into, int64_t wins);

// The records as text, and back; false (the records untouched) for a text that is not a
// records file.
std::string recordsText(const Records& from);
bool readRecordsText(const std::string& text, Records& into);

// 1 when the file was read; 0 when there is none (fresh records) or it could not be read: it is
// then kept as "<path>.bad" and said so on standard error, and the records start afresh.
int64_t loadRecords();
// 1 when written (atomically: a crash leaves the old file or the new one); 0 otherwise, after
// saying why on standard error.
int64_t saveRecords();

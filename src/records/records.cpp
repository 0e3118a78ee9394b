// The records file.
#include "records/records.h"

#include <algorithm>
#include <cstdio>

#include "runtime/files.h"
#include "runtime/json.h"

Records records;
std::string recordsPath = "records.txt";

namespace {
constexpr int64_t kRecordsJson = -1; // a free document slot
constexpr int64_t kFormat = 1;

// A class's counts by their names in the file, one table for writing and reading.
struct CountField {
    const char* key;
    int64_t ClassRecord::*field;
};
constexpr CountField kCounts[] = {
    {"peopleWins", &ClassRecord::peopleWins},   {"peopleLosses", &ClassRecord::peopleLosses},
    {"onlineWins", &ClassRecord::onlineWins},   {"onlineLosses", &ClassRecord::onlineLosses},
    {"arcadeClears", &ClassRecord::arcadeClears}, {"arcadeFewestContinues", &ClassRecord::arcadeFewestContinues}};

void writeLevels(JsonNode* array, const std::array<int64_t, kBotLevels>& counts) {
    jsonSetArray(array);
    for (int64_t count : counts) jsonSetInteger(jsonAddElement(array), count);
}
void readLevels(const JsonNode* array, std::array<int64_t, kBotLevels>& counts) {
    for (int64_t i = 0; i < kBotLevels && i < jsonArraySize(array); ++i)
        counts[size_t(i)] = std::max<int64_t>(0, jsonInteger(jsonElement(array, i)));
}
} // namespace

void noteMatch(Records& into, const MatchResult& match) {
    ClassRecord& mine = into.classes[match.playerClass];
    const size_t level = size_t(std::clamp<int64_t>(match.botLevel, 1, kBotLevels) - 1);
    switch (match.opponent) {
    case Opponent::Bot: (match.won ? mine.botWins : mine.botLosses)[level] += 1; break;
    case Opponent::Person: (match.won ? mine.peopleWins : mine.peopleLosses) += 1; break;
    case Opponent::Online: (match.won ? mine.onlineWins : mine.onlineLosses) += 1; break;
    }
    into.winStreak = match.won ? into.winStreak + 1 : 0;
    into.longestWinStreak = std::max(into.longestWinStreak, into.winStreak);
    if (match.won && match.knockOutSeconds > 0 &&
        (into.fastestKnockOutSeconds == 0 || match.knockOutSeconds < into.fastestKnockOutSeconds))
        into.fastestKnockOutSeconds = match.knockOutSeconds;
    into.highestCombo = std::max(into.highestCombo, match.highestCombo);
}

void noteArcadeClear(Records& into, const std::string& playerClass, double seconds, int64_t continues) {
    ClassRecord& mine = into.classes[playerClass];
    mine.arcadeClears += 1;
    if (mine.arcadeBestSeconds == 0 || seconds < mine.arcadeBestSeconds) mine.arcadeBestSeconds = seconds;
    if (mine.arcadeFewestContinues < 0 || continues < mine.arcadeFewestContinues)
        mine.arcadeFewestContinues = continues;
}

void noteSurvival(Records& into, int64_t wins) { into.survivalBest = std::max(into.survivalBest, wins); }

std::string recordsText(const Records& from) {
    int64_t document = createJson(kRecordsJson);
    JsonNode* root = jsonRoot(document);
    jsonSetObject(root);
    jsonSetInteger(jsonAddMember(root, "format"), kFormat);
    JsonNode* classes = jsonAddMember(root, "classes");
    jsonSetObject(classes);
    for (const auto& [name, record] : from.classes) {
        JsonNode* entry = jsonAddMember(classes, name);
        jsonSetObject(entry);
        writeLevels(jsonAddMember(entry, "botWins"), record.botWins);
        writeLevels(jsonAddMember(entry, "botLosses"), record.botLosses);
        for (const CountField& count : kCounts) jsonSetInteger(jsonAddMember(entry, count.key), record.*count.field);
        jsonSetDouble(jsonAddMember(entry, "arcadeBestSeconds"), record.arcadeBestSeconds);
    }
    jsonSetInteger(jsonAddMember(root, "survivalBest"), from.survivalBest);
    jsonSetInteger(jsonAddMember(root, "winStreak"), from.winStreak);
    jsonSetInteger(jsonAddMember(root, "longestWinStreak"), from.longestWinStreak);
    jsonSetDouble(jsonAddMember(root, "fastestKnockOutSeconds"), from.fastestKnockOutSeconds);
    jsonSetInteger(jsonAddMember(root, "highestCombo"), from.highestCombo);
    std::string text = composeJson(document) + "\n";
    freeJson(document);
    return text;
}

bool readRecordsText(const std::string& text, Records& into) {
    int64_t document = parseJson(kRecordsJson, text);
    const JsonNode* root = document ? jsonRoot(document) : nullptr;
    if (!root || jsonType(root) != kJsonObject || jsonInteger(jsonMember(root, "format")) != kFormat) {
        if (document) freeJson(document);
        return false;
    }
    Records read;
    const JsonNode* classes = jsonMember(root, "classes");
    for (int64_t i = 0; i < jsonMemberCount(classes); ++i) {
        const JsonNode* entry = jsonMemberAt(classes, i);
        ClassRecord& record = read.classes[jsonMemberKey(classes, i)];
        readLevels(jsonMember(entry, "botWins"), record.botWins);
        readLevels(jsonMember(entry, "botLosses"), record.botLosses);
        for (const CountField& count : kCounts)
            if (const JsonNode* value = jsonMember(entry, count.key)) record.*count.field = jsonInteger(value);
        record.arcadeBestSeconds = std::max(0.0, jsonDouble(jsonMember(entry, "arcadeBestSeconds")));
    }
    read.survivalBest = std::max<int64_t>(0, jsonInteger(jsonMember(root, "survivalBest")));
    read.winStreak = std::max<int64_t>(0, jsonInteger(jsonMember(root, "winStreak")));
    read.longestWinStreak = std::max<int64_t>(0, jsonInteger(jsonMember(root, "longestWinStreak")));
    read.fastestKnockOutSeconds = std::max(0.0, jsonDouble(jsonMember(root, "fastestKnockOutSeconds")));
    read.highestCombo = std::max<int64_t>(0, jsonInteger(jsonMember(root, "highestCombo")));
    freeJson(document);
    into = std::move(read);
    return true;
}

int64_t loadRecords() {
    records = Records{};
    if (recordsPath.empty() || fileSize(recordsPath) < 0) return 0;
    std::string text;
    bool read = readWholeFile(recordsPath, text);
    if (read && readRecordsText(text, records)) return 1;
    // Kept aside before anything can write over it; the records start afresh. A file that
    // cannot even be copied is left alone: nothing is written over it this time.
    const std::string kept = recordsPath + ".bad";
    if (read && replaceFileAtomically(kept, text)) {
        std::fprintf(stderr, "quarrelix: %s could not be read: kept as %s, the records start afresh\n",
                     recordsPath.c_str(), kept.c_str());
    } else {
        std::fprintf(stderr, "quarrelix: %s could not be read nor kept aside: the records are not saved\n",
                     recordsPath.c_str());
        recordsPath.clear();
    }
    return 0;
}

int64_t saveRecords() {
    if (recordsPath.empty()) return 0;
    if (replaceFileAtomically(recordsPath, recordsText(records))) return 1;
    std::fprintf(stderr, "quarrelix: the records could not be written to %s\n", recordsPath.c_str());
    return 0;
}

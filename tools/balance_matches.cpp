// Reading the match runner's lines and the class roster of data.json.
#include "balance_matches.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

// An integer member; false when it is missing or not a number.
bool readInteger(const json& object, const char* key, int64_t& value) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_number()) return false;
    value = it->get<int64_t>();
    return true;
}

bool readSide(const json& object, MatchSide& side, std::string& error) {
    if (!object.is_object()) {
        error = "a side is not an object";
        return false;
    }
    const std::pair<const char*, int64_t*> fields[] = {
        {"class", &side.classId}, {"stance", &side.stance},    {"level", &side.level},
        {"life", &side.life},     {"maxLife", &side.maxLife},  {"hits", &side.hits},
        {"damage", &side.damage}, {"maxCombo", &side.maxCombo}};
    for (const auto& [key, value] : fields) {
        if (!readInteger(object, key, *value)) {
            error = std::string("a side without \"") + key + "\"";
            return false;
        }
    }
    return true;
}

bool readPlay(const json& object, MatchSide& side, std::string& error) {
    const std::pair<const char*, int64_t*> fields[] = {
        {"attacks", &side.attacks}, {"landed", &side.landed}, {"closeFrames", &side.closeFrames}};
    for (const auto& [key, value] : fields) {
        if (!readInteger(object, key, *value)) {
            error = std::string("\"play\" without \"") + key + "\"";
            return false;
        }
    }
    return true;
}

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

// data.json flags are numbers (non-zero: set), though a boolean is read the same way.
bool flagSet(const json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end()) return false;
    if (it->is_boolean()) return it->get<bool>();
    if (it->is_number()) return it->get<double>() != 0;
    return false;
}

} // namespace

bool parseMatchLine(const std::string& line, MatchRecord& match, std::string& error) {
    json root = json::parse(line, nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        error = "not a JSON object";
        return false;
    }
    match = MatchRecord{};
    int64_t seed = 0, winner = 0;
    if (!readInteger(root, "seed", seed) || !readInteger(root, "stage", match.stage) ||
        !readInteger(root, "winner", winner) || !readInteger(root, "frames", match.frames)) {
        error = "a line without seed, stage, winner or frames";
        return false;
    }
    if (winner < 0 || winner > 2) {
        error = "winner " + std::to_string(winner) + " is not 0, 1 or 2";
        return false;
    }
    match.seed = uint64_t(seed);
    match.winner = int(winner);
    auto seconds = root.find("gameSeconds");
    if (seconds == root.end() || !seconds->is_number()) {
        error = "a line without gameSeconds";
        return false;
    }
    match.gameSeconds = seconds->get<double>();
    if (!root.contains("p1") || !root.contains("p2")) {
        error = "a line without p1 or p2";
        return false;
    }
    if (!readSide(root["p1"], match.side[0], error) || !readSide(root["p2"], match.side[1], error))
        return false;
    auto play = root.find("play");
    if (play != root.end()) {
        if (!play->is_array() || play->size() != 2) {
            error = "\"play\" is not a list of the two sides";
            return false;
        }
        for (int i = 0; i < 2; ++i)
            if (!readPlay((*play)[size_t(i)], match.side[i], error)) return false;
    }
    return true;
}

bool readMatchFile(const std::string& path, std::vector<MatchRecord>& matches, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::string line;
    for (int64_t number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        MatchRecord match;
        std::string problem;
        if (!parseMatchLine(line, match, problem)) {
            error = path + ":" + std::to_string(number) + ": " + problem;
            return false;
        }
        matches.push_back(match);
    }
    return true;
}

bool parseRoster(const std::string& text, Roster& roster, std::string& error) {
    json root = json::parse(text, nullptr, false);
    if (root.is_discarded() || !root.is_object() || !root.contains("class") ||
        !root["class"].is_array()) {
        error = "no \"class\" list";
        return false;
    }
    roster.clear();
    for (const json& entry : root["class"]) {
        RosterClass c;
        // Without an id a class is known by its position, as the game does.
        c.id = int64_t(roster.size());
        if (entry.is_object()) {
            readInteger(entry, "id", c.id);
            auto name = entry.find("name");
            if (name != entry.end() && name->is_string()) c.name = name->get<std::string>();
            auto stances = entry.find("stance");
            if (stances != entry.end() && stances->is_array()) {
                for (const json& stance : *stances) {
                    std::string stanceName = "stance " + std::to_string(c.stances.size());
                    if (stance.is_object() && stance.contains("name") && stance["name"].is_string())
                        stanceName = stance["name"].get<std::string>();
                    c.stances.push_back(stanceName);
                }
            }
            c.playable = !flagSet(entry, "toBeAdded") && !flagSet(entry, "notSelectable");
        }
        if (c.name.empty()) c.name = "class " + std::to_string(roster.size());
        roster.push_back(c);
    }
    return true;
}

bool readRoster(const std::string& path, Roster& roster, std::string& error) {
    std::string text;
    if (!readFile(path, text)) {
        error = path + ": cannot be read";
        return false;
    }
    if (!parseRoster(text, roster, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

int64_t classPositionOf(const Roster& roster, int64_t id) {
    for (size_t i = 0; i < roster.size(); ++i)
        if (roster[i].id == id) return int64_t(i);
    return -1;
}

bool placeClasses(const Roster& roster, std::vector<MatchRecord>& matches, std::string& error) {
    for (MatchRecord& match : matches) {
        for (MatchSide& side : match.side) {
            side.classIndex = classPositionOf(roster, side.classId);
            if (side.classIndex < 0) {
                error = "seed " + std::to_string(match.seed) + ": class " +
                        std::to_string(side.classId) + " is not in the data";
                return false;
            }
        }
    }
    return true;
}

std::vector<int64_t> playablePositions(const Roster& roster) {
    std::vector<int64_t> positions;
    for (size_t i = 0; i < roster.size(); ++i)
        if (roster[i].playable) positions.push_back(int64_t(i));
    return positions;
}

std::string levelName(int64_t level) {
    static const char* const names[] = {"passive", "Easy", "Medium", "Hard"};
    if (level >= 0 && level <= 3) return names[level];
    return "level " + std::to_string(level);
}

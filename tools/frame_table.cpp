// The data inspector's frame table.
#include "frame_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "fight/frame_data.h"
#include "runtime/json.h"

namespace {
// Combos hold at most five attacks; deeper follow-ups (or a loop of them) are not listed.
constexpr size_t kMaxPath = 5;

const char* const kStanceCodeNames[] = {"", "neutral", "side", "up", "back", "down", "heavy"};
const char* const kDamageTypeNames[] = {"none", "cut", "pierce", "blunt"};

std::string lowered(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

const FighterClass* findClass(const std::string& which) {
    for (const auto& c : classes)
        if (lowered(c->name) == lowered(which)) return c.get();
    if (isNumber(which))
        for (const auto& c : classes)
            if (std::to_string(c->id) == which) return c.get();
    return nullptr;
}

// The stance's index, -1 when the class has none of that name or index.
int64_t findStance(const FighterClass& c, const std::string& which) {
    for (size_t i = 0; i < c.stance.size(); ++i)
        if (lowered(c.stance[i].name) == lowered(which)) return int64_t(i);
    if (isNumber(which) && which.size() < 10 && std::stoll(which) < int64_t(c.stance.size()))
        return std::stoll(which);
    return -1;
}

struct Row {
    std::vector<int64_t> path; // stance codes from the first attack on
    const Animation* attack = nullptr;
    AttackFrameData data;
};

void collect(const Animation* attack, std::vector<int64_t>& path, const Stat& attacker,
             std::vector<Row>& rows) {
    rows.push_back({path, attack, attackFrameData(*attack, attacker, Stat{})});
    if (path.size() >= kMaxPath) return;
    for (int64_t code = 1; code <= 6; ++code) {
        const Animation* next = followUpFor(attack, code);
        if (!next) continue;
        path.push_back(code);
        collect(next, path, attacker, rows);
        path.pop_back();
    }
}

std::string pathText(const std::vector<int64_t>& path) {
    std::string text;
    for (int64_t code : path) {
        if (!text.empty()) text += '>';
        text += std::to_string(code);
    }
    return text;
}

std::string damageTypeName(int64_t type) {
    return type >= 0 && type <= 3 ? kDamageTypeNames[type] : "type " + std::to_string(type);
}

// "9 blunt", runs of equal hits counted: "5 cut x5, 8 cut".
std::string damageText(const AttackFrameData& data) {
    std::string text;
    for (size_t i = 0; i < data.frames.size();) {
        size_t j = i;
        while (j < data.frames.size() && data.frames[j].damage == data.frames[i].damage &&
               data.frames[j].damageType == data.frames[i].damageType)
            ++j;
        if (!text.empty()) text += ", ";
        text += std::to_string(data.frames[i].damage) + " " + damageTypeName(data.frames[i].damageType);
        if (j - i > 1) text += " x" + std::to_string(j - i);
        i = j;
    }
    return text.empty() ? "-" : text;
}

std::string signedText(int64_t value) {
    std::string text = value > 0 ? "+" : "";
    return text.append(std::to_string(value));
}

std::string framesText(double frames) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", frames);
    return buffer;
}

// A figure in ticks, and in frames at another rate beside it.
std::string figure(int64_t ticks, double fps, bool withSign = false) {
    std::string text = withSign ? signedText(ticks) : std::to_string(ticks);
    if (fps != 50) {
        double frames = ticksAsFrames(ticks, fps);
        text += " (" + std::string(withSign && frames > 0 ? "+" : "") + framesText(frames) + ")";
    }
    return text;
}

void setInt(JsonNode* object, const char* key, int64_t value) {
    jsonSetInteger(jsonAddMember(object, key), value);
}

std::string composeText(const FighterClass& c, const std::string& stanceName,
                        const std::vector<Row>& rows, double fps) {
    std::string out = c.name + ", stance " + stanceName +
                      ", against a defender with neutral statistics; ticks of 20 ms";
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g", fps);
    out += " (frames at " + std::string(rate) + " per second)\n";
    char line[512];
    // The damage comes last: one entry per active frame, of any length.
    std::snprintf(line, sizeof line, "%-11s %-20s %9s %9s %9s %9s %9s %9s %11s  %s\n", "path",
                  "attack", "startup", "active", "recovery", "total", "follow-up", "stun",
                  "advantage", "damage");
    out += line;
    for (const Row& r : rows) {
        const AttackFrameData& d = r.data;
        std::string followUp = d.followUpFrom < 0 ? "-" : figure(d.followUpFrom, fps);
        std::string active = d.hasActiveFrames ? figure(d.active, fps) : "-";
        std::string stun = d.hasActiveFrames ? figure(d.stunOnHit, fps) : "-";
        std::string advantage = d.hasActiveFrames ? figure(d.advantageOnHit, fps, true) : "-";
        std::snprintf(line, sizeof line, "%-11s %-20s %9s %9s %9s %9s %9s %9s %11s  %s\n",
                      pathText(r.path).c_str(), r.attack->name.c_str(),
                      figure(d.startup, fps).c_str(), active.c_str(), figure(d.recovery, fps).c_str(),
                      figure(d.total, fps).c_str(), followUp.c_str(), stun.c_str(),
                      advantage.c_str(), damageText(d).c_str());
        out += line;
    }
    return out;
}

std::string composeJsonReport(const FighterClass& c, const std::string& stanceName,
                              const std::vector<Row>& rows, double fps) {
    int64_t document = createJson(-1);
    JsonNode* root = jsonRoot(document);
    jsonSetObject(root);
    jsonSetString(jsonAddMember(root, "class"), c.name);
    jsonSetString(jsonAddMember(root, "stance"), stanceName);
    jsonSetString(jsonAddMember(root, "defender"), "neutral statistics");
    jsonSetString(jsonAddMember(root, "unit"), "ticks of 20 ms");
    jsonSetDouble(jsonAddMember(root, "framesPerSecond"), fps);
    JsonNode* list = jsonAddMember(root, "attacks");
    jsonSetArray(list);
    for (const Row& r : rows) {
        const AttackFrameData& d = r.data;
        JsonNode* entry = jsonAddElement(list);
        jsonSetObject(entry);
        jsonSetString(jsonAddMember(entry, "path"), pathText(r.path));
        JsonNode* stances = jsonAddMember(entry, "stances");
        jsonSetArray(stances);
        for (int64_t code : r.path) jsonSetString(jsonAddElement(stances), kStanceCodeNames[code]);
        jsonSetString(jsonAddMember(entry, "attack"), r.attack->name);
        jsonSetBool(jsonAddMember(entry, "hasActiveFrames"), d.hasActiveFrames);
        const std::pair<const char*, int64_t> figures[] = {
            {"startup", d.startup},     {"active", d.active},
            {"recovery", d.recovery},   {"recoveryWait", d.recoveryWait},
            {"total", d.total},         {"followUpFrom", d.followUpFrom},
            {"stunOnHit", d.stunOnHit}, {"advantageOnHit", d.advantageOnHit}};
        for (const auto& [key, value] : figures) setInt(entry, key, value);
        if (fps != 50) {
            JsonNode* frames = jsonAddMember(entry, "inFrames");
            jsonSetObject(frames);
            for (const auto& [key, value] : figures)
                if (value >= 0 || std::string(key) == "advantageOnHit")
                    jsonSetDouble(jsonAddMember(frames, key), ticksAsFrames(value, fps));
        }
        JsonNode* hits = jsonAddMember(entry, "activeFrames");
        jsonSetArray(hits);
        for (const ActiveFrame& f : d.frames) {
            JsonNode* hit = jsonAddElement(hits);
            jsonSetObject(hit);
            setInt(hit, "frame", f.frameIndex);
            setInt(hit, "firstTick", f.firstTick);
            setInt(hit, "ticks", f.ticks);
            setInt(hit, "damage", f.damage);
            jsonSetString(jsonAddMember(hit, "damageType"), damageTypeName(f.damageType));
            setInt(hit, "stun", f.stun);
        }
    }
    std::string text = composeJson(document) + "\n";
    freeJson(document);
    return text;
}
} // namespace

int printFrameTable(const std::string& which, double framesPerSecond, bool json) {
    size_t colon = which.find(':');
    std::string className = which.substr(0, colon);
    const FighterClass* c = findClass(className);
    if (!c) {
        std::fprintf(stderr, "quarrelix-data: no class \"%s\" (give a class name or id)\n",
                     className.c_str());
        return kUnknownClassStatus;
    }
    int64_t stanceIndex = c->stance.empty() ? -1 : 0;
    if (colon != std::string::npos) {
        std::string stanceName = which.substr(colon + 1);
        stanceIndex = findStance(*c, stanceName);
        if (stanceIndex < 0) {
            std::string known;
            for (const Stance& s : c->stance) known += (known.empty() ? "" : ", ") + s.name;
            std::fprintf(stderr, "quarrelix-data: class %s has no stance \"%s\" (it has: %s)\n",
                         c->name.c_str(), stanceName.c_str(), known.empty() ? "none" : known.c_str());
            return kUnknownClassStatus;
        }
    }
    const Stance* stance = stanceIndex >= 0 ? &c->stance[size_t(stanceIndex)] : nullptr;
    Stat attacker = classStanceStat(*c, stance);
    std::vector<Row> rows;
    std::vector<int64_t> path;
    for (int64_t code = 1; code <= 6; ++code) {
        const Animation* first = attackForStance(c, code);
        if (!first) continue;
        path = {code};
        collect(first, path, attacker, rows);
    }
    std::string stanceName = stance ? stance->name : "(none)";
    std::string report = json ? composeJsonReport(*c, stanceName, rows, framesPerSecond)
                              : composeText(*c, stanceName, rows, framesPerSecond);
    bool written = std::fwrite(report.data(), 1, report.size(), stdout) == report.size();
    written = std::fflush(stdout) == 0 && written && !std::ferror(stdout);
    if (!written) {
        std::fprintf(stderr, "quarrelix-data: cannot write the frame table\n");
        return 1;
    }
    return 0;
}

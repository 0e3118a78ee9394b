// quarrelix-data [--strict] FILE: loads a data file with the game's own loader and prints, as
// one JSON document, what the game makes of it, and on standard error what the game will
// refuse or misread. Run it from a game directory so that the sound pools find their files.
// quarrelix-data --frames CLASS[:STANCE] [--fps F] [--json] [FILE]: the frame data of every
// attack the class can reach instead (see frame_table.h).
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data_checks.h"
#include "frame_table.h"

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/sound_library.h"
#include "runtime/runtime.h"

namespace {
void setInt(JsonNode* object, const char* key, int64_t value) {
    jsonSetInteger(jsonAddMember(object, key), value);
}

JsonNode* addArray(JsonNode* object, const char* key) {
    JsonNode* array = jsonAddMember(object, key);
    jsonSetArray(array);
    return array;
}

void describeClasses(JsonNode* root) {
    JsonNode* list = addArray(root, "classes");
    for (size_t position = 0; position < classes.size(); ++position) {
        const FighterClass& c = *classes[position];
        JsonNode* entry = jsonAddElement(list);
        jsonSetObject(entry);
        setInt(entry, "position", int64_t(position));
        setInt(entry, "id", c.id);
        jsonSetString(jsonAddMember(entry, "name"), c.name);
        jsonSetBool(jsonAddMember(entry, "selectable"), isSelectable(c));
        setInt(entry, "toBeAdded", c.toBeAdded);
        setInt(entry, "notSelectable", c.notSelectable);
        setInt(entry, "stances", int64_t(c.stance.size()));
        JsonNode* stat = jsonAddMember(entry, "stat");
        if (c.stat) {
            jsonSetObject(stat);
            const Stat& s = *c.stat;
            const std::pair<const char*, int64_t> values[] = {
                {"strength", s.strength}, {"agility", s.agility}, {"speed", s.speed},
                {"weight", s.weight},     {"endurence", s.endurence}, {"life", s.life},
                {"cut", s.cut},           {"pierce", s.pierce},   {"blunt", s.blunt},
                {"reach", s.reach},       {"difficulty", s.difficulty}};
            for (const auto& [key, value] : values) setInt(stat, key, value);
        }
        JsonNode* combos = addArray(entry, "comboList");
        for (int64_t code : c.comboList) jsonSetInteger(jsonAddElement(combos), code);
    }
}

void describeSounds(JsonNode* root) {
    JsonNode* pools = addArray(root, "soundPools");
    for (size_t position = 0; position < soundPools.size(); ++position) {
        const SoundPool& pool = soundPools[position];
        JsonNode* entry = jsonAddElement(pools);
        jsonSetObject(entry);
        setInt(entry, "position", int64_t(position));
        setInt(entry, "id", pool.id);
        jsonSetString(jsonAddMember(entry, "name"), pool.name);
        setInt(entry, "variants", pool.extension.empty() ? 0 : variantCount(pool.id) + 1);
        jsonSetString(jsonAddMember(entry, "extension"), pool.extension);
    }
    setInt(root, "soundClasses", int64_t(soundClasses.size()));
    setInt(root, "soundMaterials", int64_t(soundMaterials.size()));
}
} // namespace

namespace {
struct Arguments {
    bool strict = false;
    bool json = false;
    std::string frames; // the class (and stance) of a frame table; empty: the data report
    double fps = 50;
    std::string path;
};

bool readArguments(int argc, char** argv, Arguments& a) {
    std::vector<std::string> words(argv + 1, argv + argc);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "--strict") {
            a.strict = true;
        } else if (w == "--json") {
            a.json = true;
        } else if (w == "--frames" && i + 1 < words.size()) {
            a.frames = words[++i];
            if (a.frames.empty()) return false;
        } else if (w == "--fps" && i + 1 < words.size()) {
            char* end = nullptr;
            a.fps = std::strtod(words[++i].c_str(), &end);
            if (*end != 0 || !(a.fps > 0 && a.fps <= 10000)) return false;
        } else if (w.rfind("--", 0) == 0 || !a.path.empty()) {
            return false;
        } else {
            a.path = w;
        }
    }
    // --json and --fps only shape a frame table, which reads the game's own data file when
    // none is named (run from the game's directory).
    if (a.frames.empty() && (a.json || a.fps != 50)) return false;
    if (a.path.empty() && !a.frames.empty()) a.path = "data.json";
    return !a.path.empty();
}
} // namespace

// Exit statuses: 0 read (warnings allowed), 1 the file cannot be read or parsed or the report
// cannot be written, 2 usage, 3 warnings with --strict, 4 a frame table of a class or stance
// that the data does not have.
int main(int argc, char** argv) {
    Arguments arguments;
    if (!readArguments(argc, argv, arguments)) {
        std::fprintf(stderr, "usage: quarrelix-data [--strict] FILE\n"
                             "       quarrelix-data --frames CLASS[:STANCE] [--fps F] [--json] [FILE]\n");
        return 2;
    }
    bool strict = arguments.strict;
    std::string path = arguments.path;
    // The game says the same thing of a missing file and a malformed one; the inspector tells
    // them apart, and where the text goes wrong.
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "quarrelix-data: cannot read %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    int64_t parsed = parseJson(-1, text.str());
    if (!parsed) {
        const JsonError& error = lastJsonError();
        std::fprintf(stderr, "quarrelix-data: %s is not valid JSON: line %lld, column %lld: %s\n",
                     path.c_str(), (long long)error.line, (long long)error.column,
                     error.message.c_str());
        return 1;
    }
    // Headless: sounds load and play silently; message boxes go to stderr.
    setHeadless(HeadlessOptions{});
    initSound();
    if (!loadGameData(path)) {
        endRuntime();
        return 1;
    }
    finishAnimations();
    buildSelectableList(1);
    if (!arguments.frames.empty()) {
        int status = printFrameTable(arguments.frames, arguments.fps, arguments.json);
        clearGameData();
        endRuntime();
        return status;
    }

    int64_t document = createJson(-1);
    JsonNode* root = jsonRoot(document);
    jsonSetObject(root);
    describeClasses(root);
    JsonNode* selectable = addArray(root, "selectableClasses");
    for (int64_t id : selectableClasses) jsonSetInteger(jsonAddElement(selectable), id);
    describeSounds(root);
    setInt(root, "animationsFromFile", animationsFromFileCount());
    JsonNode* landing = addArray(root, "landing");
    for (const auto* list : {&landLightFront, &landLightBack, &landHeavyFront, &landHeavyBack})
        jsonSetInteger(jsonAddElement(landing), int64_t(list->size()));
    setInt(root, "loading", int64_t(loadingAnimations.size()));
    size_t slash = path.rfind('/');
    std::string directory = slash == std::string::npos ? "" : path.substr(0, slash);
    std::vector<std::string> warnings = checkGameData(jsonRoot(parsed), directory);
    freeJson(parsed);
    // A report that cannot be written (a full disk, a closed pipe) is a failure, not a success.
    std::string report = composeJson(document) + "\n";
    bool written = std::fwrite(report.data(), 1, report.size(), stdout) == report.size();
    written = std::fflush(stdout) == 0 && written && !std::ferror(stdout);
    int writeError = errno;
    clearGameData();
    endRuntime();
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "quarrelix-data: warning: %s\n", warning.c_str());
    if (!written) {
        std::fprintf(stderr, "quarrelix-data: cannot write the report: %s\n",
                     std::strerror(writeError));
        return 1;
    }
    return strict && !warnings.empty() ? 3 : 0;
}

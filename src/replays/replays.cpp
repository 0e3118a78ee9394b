// Recording, keeping and playing replays.
#include "replays/replays.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "match/match.h"
#include "match/match_tape.h"
#include "menus/menu_framework.h"
#include "render/frame_images.h"
#include "runtime/files.h"
#include "runtime/hashing.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"

std::string replayDirectory = "replays";

namespace {
// The settings that change the fight or how it is shown, by the names a replay keeps them.
struct FightSetting {
    const char* name;
    int64_t* value;
    int64_t missing = -1; // what a replay without it was recorded with; -1: the player's own
};
const FightSetting kFightSettings[] = {
    {"attackDelay", &settings.attackDelay},   {"comboDisplay", &settings.comboDisplay},
    {"particles", &settings.particleEnabled}, {"soundVariation", &settings.soundVariation},
    {"wind", &settings.windEnabled},
    // Replays from before the rules were numbered played by the first ones.
    {"fightRules", &matchRules, 1},
};
std::vector<int64_t> keptSettings; // the player's, while a replay plays
int64_t keptFpsMode = 0;

// Hashes of the files of a game directory, read once per run: the content does not change
// while the game runs (tests run games in several directories).
std::map<std::string, uint64_t> knownHashes; // by game directory and group name

std::string cacheKey(const std::string& group) {
    std::error_code error;
    return std::filesystem::current_path(error).string() + "\n" + group;
}

uint64_t classPicturesHash(const FighterClass& c) {
    std::string key = cacheKey("pictures of " + c.name);
    auto found = knownHashes.find(key);
    if (found != knownHashes.end()) return found->second;
    uint64_t hash = hashBytes(c.name.data(), c.name.size());
    auto add = [&](const Frame& frame) {
        for (const char* suffix : {".png", "hurt.png"}) {
            uint64_t file = hashFile(frame.path + suffix);
            hash = hashBytes(&file, sizeof file, hash);
        }
    };
    for (const Animation* a : classAnimations(c, true, true))
        for (const Frame& frame : a->frames) add(frame);
    for (const Frame& frame : c.hit) add(frame);
    knownHashes[key] = hash;
    return hash;
}

uint64_t soundsHash() {
    std::string key = cacheKey("sounds");
    auto found = knownHashes.find(key);
    if (found != knownHashes.end()) return found->second;
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("sound", error))
        if (entry.is_regular_file(error)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    uint64_t hash = hashBytes("sounds", 6);
    for (const std::string& file : files) {
        uint64_t h = hashFile(file);
        hash = hashBytes(file.data(), file.size(), hash);
        hash = hashBytes(&h, sizeof h, hash);
    }
    knownHashes[key] = hash;
    return hash;
}

FighterClass* classNamed(const std::string& name) {
    for (auto& c : classes)
        if (c && c->name == name) return c.get();
    return nullptr;
}

std::string localTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

ReplaySide sideOf(const FightState& fight, const Fighter& f) {
    ReplaySide side;
    side.className = f.fighterClass ? f.fighterClass->name : "";
    for (size_t i = 0; i < classes.size(); ++i)
        if (classes[i].get() == f.fighterClass) side.classIndex = int64_t(i);
    side.stance = f.stanceIndex;
    side.colour = f.color;
    side.alternateColour = f.useAlternateColor;
    const BotController* bot = botOf(fight, f);
    side.botLevel = bot && bot->botState != 0 ? bot->botLevelSetting : 0;
    return side;
}
} // namespace

uint64_t dataFileHash() { return hashFile("data.json"); } // a third of a millisecond

std::vector<std::pair<std::string, uint64_t>> contentHashes(const std::string& classOne,
                                                            const std::string& classTwo) {
    std::vector<std::pair<std::string, uint64_t>> list;
    for (const std::string& name : {classOne, classTwo}) {
        const FighterClass* c = classNamed(name);
        std::string group = "pictures of " + name;
        if (c && (list.empty() || list[0].first != group)) list.emplace_back(group, classPicturesHash(*c));
    }
    list.emplace_back("sounds", soundsHash());
    return list;
}

Replay newMatchRecording(const FightContext& context, int64_t mode) {
    const FightState& fight = context.fight;
    Replay r;
    r.gameVersion = kGameVersion;
    r.dataHash = dataFileHash();
    r.recordedAt = localTimeNow();
    r.mode = mode;
    r.rounds = context.rounds;
    r.formatVersion = context.rounds > 1 ? 2 : 1;
    r.sides[0] = sideOf(fight, fight.players[0]);
    r.sides[1] = sideOf(fight, fight.players[1]);
    r.contentHashes = contentHashes(r.sides[0].className, r.sides[1].className);
    for (size_t i = 0; i < stageList.size(); ++i)
        if (&stageList[i] == context.stage) r.stage = int64_t(i);
    for (const FightSetting& s : kFightSettings) r.settings.emplace_back(s.name, *s.value);
    // The frame rate setting: a phase's first frame takes the nominal factor as its last one.
    r.settings.emplace_back("frameRate", fpsMode);
    r.settings.emplace_back("screenWidth", screenWidth);
    r.settings.emplace_back("screenHeight", screenHeight);
    r.settings.emplace_back("jumpWithUp1", matchJumpWithUp(0));
    r.settings.emplace_back("jumpWithUp2", matchJumpWithUp(1));
    // The animation ticks left unspent by the last match (float bits): they time this one's
    // first frames.
    r.settings.emplace_back("tickCarry1", std::bit_cast<uint32_t>(fight.players[0].tickAccumulator));
    r.settings.emplace_back("tickCarry2", std::bit_cast<uint32_t>(fight.players[1].tickAccumulator));
    return r;
}

namespace {
int64_t settingOf(const Replay& r, const std::string& name, int64_t otherwise) {
    for (const auto& [key, value] : r.settings)
        if (key == name) return value;
    return otherwise;
}
} // namespace

bool replayScreenSizeUsable(int64_t width, int64_t height) {
    return width >= 640 && width <= 7680 && height >= 480 && height <= 4320;
}

std::string replayRefusal(const Replay& r) {
    // The settings within what the game itself could have recorded.
    struct Range {
        const char* name;
        int64_t low, high;
    };
    const Range ranges[] = {{"attackDelay", 1, 3}, {"comboDisplay", 1, 3}, {"particles", 0, 1},
                            {"soundVariation", 0, 1}, {"wind", 0, 1}, {"frameRate", 1, 10},
                            {"jumpWithUp1", 0, 1}, {"jumpWithUp2", 0, 1}};
    for (const Range& range : ranges) {
        int64_t value = settingOf(r, range.name, range.low);
        if (value < range.low || value > range.high)
            return std::string("damaged replay: setting ") + range.name;
    }
    int64_t rules = settingOf(r, "fightRules", 1);
    if (rules < 1) return "damaged replay: setting fightRules";
    if (rules > kFightRules)
        return "recorded under fight rules " + std::to_string(rules) + ", newer than this game's (" +
               std::to_string(kFightRules) + ")";
    for (const char* carry : {"tickCarry1", "tickCarry2"}) {
        float ticks = std::bit_cast<float>(uint32_t(settingOf(r, carry, 0)));
        // A fraction of a tick, either way (the accumulator runs below 0 between ticks).
        if (!std::isfinite(ticks) || std::fabs(ticks) > 10)
            return std::string("damaged replay: setting ") + carry;
    }
    std::string mismatch = describeReplayMismatch(
        r, kGameVersion, dataFileHash(), contentHashes(r.sides[0].className, r.sides[1].className));
    if (!mismatch.empty()) return mismatch;
    for (const ReplaySide& side : r.sides) {
        FighterClass* c = classAt(side.classIndex);
        if (!c || c->name != side.className)
            return "recorded with a class this game does not have: " + side.className;
        if (side.stance < 0 || side.stance >= int64_t(c->stance.size()))
            return "recorded with a stance " + side.className + " does not have";
        if (side.botLevel < 0 || side.botLevel > 3) return "damaged replay: bot level";
    }
    if (r.stage < 0 || r.stage >= int64_t(stageList.size()))
        return "recorded on a stage this game does not have";
    int64_t width = settingOf(r, "screenWidth", screenWidth);
    int64_t height = settingOf(r, "screenHeight", screenHeight);
    if (width != screenWidth || height != screenHeight)
        return "recorded at " + std::to_string(width) + "x" + std::to_string(height) +
               " (the screen is " + std::to_string(screenWidth) + "x" +
               std::to_string(screenHeight) + ")";
    return "";
}

void applyReplaySetup(FightContext& context, const Replay& r) {
    FightState& fight = context.fight;
    keptSettings.clear();
    for (const FightSetting& s : kFightSettings) {
        keptSettings.push_back(*s.value);
        *s.value = settingOf(r, s.name, s.missing >= 0 ? s.missing : *s.value);
    }
    keptFpsMode = fpsMode;
    applyFpsMode(settingOf(r, "frameRate", fpsMode));
    for (int i = 0; i < 2; ++i) {
        Fighter& f = fight.players[size_t(i)];
        const ReplaySide& side = r.sides[i];
        f.color = side.colour;
        if (side.botLevel > 0) {
            BotController& bot = ensureBot(fight, f, side.botLevel);
            bot.botLevelSetting = side.botLevel;
            switchBotOn(bot);
        } else {
            removeBot(fight, f);
            f.botLevel = 0;
        }
        chooseClass(fight, f, classAt(side.classIndex), side.stance);
        f.useAlternateColor = side.alternateColour;
        jumpWithUpOverride[size_t(i)] =
            settingOf(r, i == 0 ? "jumpWithUp1" : "jumpWithUp2", matchJumpWithUp(i));
        f.tickAccumulator = std::bit_cast<float>(
            uint32_t(settingOf(r, i == 0 ? "tickCarry1" : "tickCarry2", 0)));
    }
    context.stage = &stageList[size_t(r.stage)];
}

void restoreFightSettings() {
    for (size_t i = 0; i < keptSettings.size() && i < std::size(kFightSettings); ++i)
        *kFightSettings[i].value = keptSettings[i];
    if (!keptSettings.empty()) applyFpsMode(keptFpsMode);
    keptSettings.clear();
    jumpWithUpOverride = {-1, -1}; // the players' own choices again
}

ReplayCheck playReplay(FightContext& context, const Replay& replay, bool controls) {
    MatchTape kept = matchTape;
    matchTape = MatchTape{};
    matchTape.playing = &replay;
    matchTape.controls = controls;
    if (controls) noteScreenOpened("replay");
    const int64_t rounds = context.rounds;
    context.rounds = replay.rounds;
    int64_t result = startMatch(context);
    context.rounds = rounds;
    ReplayCheck check;
    check.firstMismatch = matchTape.firstMismatch;
    check.finished = !matchTape.left && matchTape.next == replay.frames.size();
    check.sameEnd = check.finished && result == replay.result && fightHash(context.fight) == replay.finalHash;
    matchTape = kept;
    return check;
}

std::string keepReplay(const Replay& replay) {
    // With nowhere to keep the player's files (said once at start-up) the match is not kept.
    if (replayDirectory.empty()) return "";
    std::error_code error;
    std::filesystem::create_directories(replayDirectory, error);
    std::string path = newReplayPath(replayDirectory, replay.recordedAt, replay.sides[0].className,
                                     replay.sides[1].className);
    std::string problem;
    if (path.empty() || !writeReplay(path, replay, problem)) {
        std::fprintf(stderr, "quarrelix: the replay of this match could not be kept: %s\n",
                     path.empty() ? "no free name in replays/" : problem.c_str());
        return "";
    }
    pruneReplays(replayDirectory, kReplaysKept);
    return path;
}

std::vector<std::string> fightSettingNames() {
    std::vector<std::string> names;
    for (const FightSetting& s : kFightSettings) names.push_back(s.name);
    return names;
}

std::vector<int64_t> fightSettingValues() {
    std::vector<int64_t> values;
    for (const FightSetting& s : kFightSettings) values.push_back(*s.value);
    return values;
}

int64_t runRecordedMatch(FightContext& context, int64_t mode) {
    Replay replay = newMatchRecording(context, mode);
    matchTape = MatchTape{};
    matchTape.recording = &replay;
    int64_t result = startMatch(context);
    replay.result = result;
    replay.finalHash = fightHash(context.fight);
    bool spoiled = matchTape.spoiled, watch = matchTape.watchAgain;
    matchTape = MatchTape{};
    if (spoiled) {
        std::fprintf(stderr, "quarrelix: the replay of this match is not kept: debug keys changed the fight\n");
        return result;
    }
    // A replay starts from full life: a fight begun from a life carried over would not play back.
    if (context.startingLife[0] >= 0 || context.startingLife[1] >= 0) return result;
    keepReplay(replay);
    if (watch) {
        applyReplaySetup(context, replay);
        playReplay(context, replay, true);
        restoreFightSettings();
    }
    return result;
}

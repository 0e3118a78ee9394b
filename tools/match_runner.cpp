// quarrelix-match: runs fights headless with the game's own code (class images, intro, fight
// loop), fast and seeded, and prints one JSON line per match. Run it from the game directory.
// With --realtime the frames are paced on the real clock, as in the game, to check the pace.
#include <array>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "match/match.h"
#include "match/match_tape.h"
#include "menu_bench.h"
#include "modes/arcade.h"
#include "replays/replays.h"
#include "runtime/runtime.h"
#include "records/records.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"
#include "shell/startup.h"

namespace {
constexpr int64_t kMostSurvivalFights = 100; // a survival run the bots never lose ends here

struct Side {
    int64_t classPosition = -1; // -1: drawn from the seed
    int64_t stance = -1;
    int64_t level = 3;          // 0: no input at all; 1-3 a bot of that level
};

struct Options {
    uint64_t seed = 1;
    int64_t matches = 1;
    Side p1, p2;
    int64_t stage = -1; // -1: drawn from the seed
    int64_t fps = 100;
    int64_t rules = kFightRules; // the fight rules the matches play by
    double maxSeconds = 120;
    bool render = false;
    int64_t width = 1280, height = 720;
    std::vector<std::pair<int64_t, std::string>> screenshots;
    bool bench = false; // a summary of the fight loops' speed on standard error
    bool realTime = false; // frames paced and measured on the real clock, as in the game
    bool menus = false;    // the menus' frame times instead of matches
    std::string record;    // where each match's replay is written ("" none)
    std::string replay;    // a replay to play and check instead of seeded matches
    bool details = false;  // each side's attacks, the ones that touched, and its close frames
    bool arcade = false;   // --arcade C[:S]: a whole ladder for player one (o.p1)
    bool survival = false; // --survival C[:S]: fights at Hard until player one loses
    int64_t rounds = 1;    // --rounds K: each match lasts at most K rounds (1, 3 or 5)
};

// What the balance report counts of a side in a match, frame by frame.
struct PlayCounts {
    int64_t attacks = 0;     // attacks started (follow-ups of a combo each count)
    int64_t landed = 0;      // of those, the ones that touched the opponent
    int64_t closeFrames = 0; // fight frames within 50 px of the opponent
    const Animation* attack = nullptr; // the attack playing, and whether it has touched
    int64_t attackStarts = -1;
    bool touched = false;
};

// Called after every fight frame: an attack is counted when it starts and, once it is over,
// as landed when its hit list held the opponent at some frame of it.
void countPlay(PlayCounts& counts, const Fighter& self, const Fighter& opponent) {
    const Animation* playing = self.hasAnimation ? self.animationSource : nullptr;
    bool started = self.animationStarts != counts.attackStarts;
    if (counts.attack && (started || playing != counts.attack)) {
        counts.landed += counts.touched;
        counts.attack = nullptr;
    }
    if (started && playing && playing->attack != 0) {
        counts.attacks += 1;
        counts.attack = playing;
        counts.touched = false;
    }
    counts.attackStarts = self.animationStarts;
    if (counts.attack && !self.hitList.empty()) counts.touched = true;
    double dx = self.position.x - opponent.position.x, dy = self.position.y - opponent.position.y;
    if (dx * dx + dy * dy < 50.0 * 50.0) counts.closeFrames += 1;
}

// Resident memory of this process in kB (0 where /proc is not there).
int64_t residentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    int64_t kb = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmRSS: %lld kB", reinterpret_cast<long long*>(&kb)) == 1) break;
    std::fclose(status);
    return kb;
}

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr,
                 "quarrelix-match: %s\n"
                 "usage: quarrelix-match [--seed N] [--matches K] [--p1 C[:S]] [--p2 C[:S]]\n"
                 "       [--p1-level L] [--p2-level L] [--stage N] [--fps F] [--max-seconds S]\n"
                 "       [--render none|software] [--size WxH] [--screenshot FRAME:PATH]...\n"
                 "       [--bench] [--realtime] [--record FILE] [--details] [--rules N]\n"
                 "       [--rounds K]\n"
                 "   or: quarrelix-match (--arcade C[:S] | --survival C[:S]) [--seed N] [--p1-level L] [--fps F]\n"
                 "   or: quarrelix-match --replay FILE [--render none|software] [--screenshot FRAME:PATH]...\n"
                 "   or: quarrelix-match --menus [--render none|software] [--size WxH] [--fps F]\n",
                 problem.c_str());
    std::exit(2);
}

int64_t number(const std::string& text, const std::string& option) {
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') usage("bad number for " + option + ": " + text);
    return value;
}

Side parseSide(const std::string& text, const std::string& option, Side side) {
    size_t colon = text.find(':');
    side.classPosition = number(text.substr(0, colon), option);
    if (colon != std::string::npos) side.stance = number(text.substr(colon + 1), option);
    if (side.classPosition < 0) usage("bad class for " + option + ": " + text);
    if (colon != std::string::npos && side.stance < 0)
        usage("bad stance for " + option + ": " + text);
    return side;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--bench") {
            o.bench = true;
            continue;
        }
        if (option == "--details") {
            o.details = true;
            continue;
        }
        if (option == "--realtime") {
            o.realTime = true;
            continue;
        }
        if (option == "--menus") {
            o.menus = true;
            continue;
        }
        if (i + 1 >= argc) usage("missing value for " + option);
        std::string value = argv[++i];
        if (option == "--seed") o.seed = uint64_t(number(value, option));
        else if (option == "--matches") o.matches = number(value, option);
        else if (option == "--p1") o.p1 = parseSide(value, option, o.p1);
        else if (option == "--p2") o.p2 = parseSide(value, option, o.p2);
        else if (option == "--arcade" || option == "--survival") {
            o.p1 = parseSide(value, option, o.p1);
            (option == "--arcade" ? o.arcade : o.survival) = true;
        }
        else if (option == "--p1-level") o.p1.level = number(value, option);
        else if (option == "--p2-level") o.p2.level = number(value, option);
        else if (option == "--fps") o.fps = number(value, option);
        else if (option == "--rules") {
            // Older fight rules, as replays recorded under them play.
            o.rules = number(value, option);
            if (o.rules < 1 || o.rules > kFightRules)
                usage("--rules must be 1 to " + std::to_string(kFightRules));
        }
        else if (option == "--rounds") {
            o.rounds = number(value, option);
            if (o.rounds != 1 && o.rounds != 3 && o.rounds != 5)
                usage("--rounds must be 1, 3 or 5");
        }
        else if (option == "--max-seconds") o.maxSeconds = double(number(value, option));
        else if (option == "--stage") {
            o.stage = number(value, option);
            if (o.stage < 0) usage("--stage must be 0 or more: " + value);
        } else if (option == "--render") {
            if (value != "none" && value != "software") usage("--render takes none or software");
            o.render = value == "software";
        } else if (option == "--size") {
            size_t x = value.find('x');
            if (x == std::string::npos) usage("--size takes WxH");
            o.width = number(value.substr(0, x), option);
            o.height = number(value.substr(x + 1), option);
            if (o.width < 640 || o.height < 480 || o.width > 4096 || o.height > 4096)
                usage("--size out of range");
        } else if (option == "--record") {
            o.record = value;
        } else if (option == "--replay") {
            o.replay = value;
        } else if (option == "--screenshot") {
            size_t colon = value.find(':');
            if (colon == std::string::npos) usage("--screenshot takes FRAME:PATH");
            o.screenshots.emplace_back(number(value.substr(0, colon), option), value.substr(colon + 1));
        } else {
            usage("unknown option " + option);
        }
    }
    if (o.matches < 1) usage("--matches must be at least 1");
    if (o.p1.level < 0 || o.p1.level > 3 || o.p2.level < 0 || o.p2.level > 3)
        usage("levels are 0 to 3");
    bool rateKnown = false;
    for (int64_t i = 1; i <= 10; ++i) rateKnown |= fpsTable[i] == o.fps;
    if (!rateKnown) usage("--fps must be one of 50 60 70 80 90 100 120 144 200 240");
    if (o.maxSeconds <= 0) usage("--max-seconds must be positive");
    if (!o.replay.empty() && !o.record.empty()) usage("--record and --replay do not go together");
    if (o.arcade && o.survival) usage("--arcade and --survival do not go together");
    // A replay starts from full life: survival's carried life would not play back.
    if (o.survival && !o.record.empty()) usage("--record and --survival do not go together");
    return o;
}

// A class and stance given on the command line must be in the loaded data.
void checkSide(const Side& side, const std::string& option) {
    if (side.classPosition < 0) return;
    FighterClass* c = classAt(side.classPosition);
    std::string position = std::to_string(side.classPosition);
    if (!c)
        usage("no class at position " + position + " for " + option + " (" +
              std::to_string(classes.size()) + " classes)");
    if (side.stance >= int64_t(c->stance.size()))
        usage("no stance " + std::to_string(side.stance) + " in class " + position + " for " +
              option + " (" + std::to_string(c->stance.size()) + " stances)");
}

void giveClass(FightState& fight, Fighter& fighter, const Side& side) {
    if (side.classPosition < 0) {
        assignRandomClassAndStance(fight, fighter, nullptr, 0, 0);
    } else {
        FighterClass* c = classAt(side.classPosition);
        if (!c) usage("no class at position " + std::to_string(side.classPosition));
        chooseClass(fight, fighter, c, side.stance < 0 ? randomStanceIndex(c) : side.stance);
    }
    // A bot at its level (the level changes a Hard bot's statistics and so its life).
    BotController& bot = ensureBot(fight, fighter, std::max<int64_t>(side.level, 1));
    if (side.level > 0) {
        bot.botLevelSetting = side.level;
        restartThinking(bot);
        switchBotOn(bot);
    } else {
        switchBotOff(bot);
    }
}

void describe(JsonNode* object, const Fighter& f, int64_t level) {
    jsonSetObject(object);
    auto put = [&](const char* key, int64_t value) { jsonSetInteger(jsonAddMember(object, key), value); };
    put("class", f.fighterClass ? f.fighterClass->id : -1);
    put("stance", f.stanceIndex);
    put("level", level);
    put("life", f.life);
    put("maxLife", f.maxLife);
    put("hits", f.stats.hits);
    put("damage", f.stats.damage);
    put("maxCombo", f.stats.maxCombo);
}

// The fight state's costs where the last match left it, and the step alone (no drawing, no
// sound) from a new match of the same set-up, on standard error.
void benchFightState(FightContext& context, const Options& o) {
    FightState& fight = context.fight;
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); };
    const int kTimes = 20000;
    FightState saved = fight;
    auto t = Clock::now();
    for (int i = 0; i < kTimes; ++i) saved = fight;
    double save = seconds(t) / kTimes;
    t = Clock::now();
    for (int i = 0; i < kTimes; ++i) fight = saved;
    double restore = seconds(t) / kTimes;
    uint64_t sum = 0;
    t = Clock::now();
    for (int i = 0; i < kTimes; ++i) sum += fightHash(fight);
    double hash = seconds(t) / kTimes;
    // A new match of the same set-up, its first 1000 frames stepped again and again (both bots
    // fighting: no knock-out yet).
    matchHooks.maxFightFrames = 1;
    matchHooks.endOfMatch = false;
    startMatch(context);
    FightState start = fight;
    double factor = 50.0 / double(o.fps);
    const int kSteps = 100000, kStretch = 1000;
    double steps = 0;
    for (int done = 0; done < kSteps; done += kStretch) {
        fight = start;
        t = Clock::now();
        for (int i = 0; i < kStretch; ++i) stepFight(fight, context.stage, {}, factor, factor);
        steps += seconds(t);
    }
    std::fprintf(stderr,
                 "fight state: save %.2f us, restore %.2f us, hash %.2f us (%llx); step alone: "
                 "%.0f frames per second\n",
                 save * 1e6, restore * 1e6, hash * 1e6, (unsigned long long)(sum & 0xff),
                 double(kSteps) / steps);
}

// The value at a fraction of a sorted list (0.5 the median).
double percentile(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) return 0;
    size_t i = size_t(fraction * double(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}

// Match set-up (the first match, then the mean of the others, which bring the same classes
// again) and the fight and intro frames' work: median, 99th percentile and the longest.
void printFrameTimes(const char* what, std::vector<double> frameMs) {
    std::sort(frameMs.begin(), frameMs.end());
    std::fprintf(stderr, "%s frames: median %.3f ms, 99th percentile %.3f ms, longest %.3f ms\n",
                 what, percentile(frameMs, 0.5), percentile(frameMs, 0.99),
                 frameMs.empty() ? 0.0 : frameMs.back());
}

// Every frame of a match as the player sees it, from one presented frame to the next: the
// intro and its countdown, the fight, the result and its fade. A match's first frame holds its
// set-up and is left out (match set-up tells it).
struct MatchFrameClock {
    bool running = false;
    std::chrono::steady_clock::time_point last;
    int64_t frames = 0;
    std::vector<double> ms;
};
MatchFrameClock matchClock;

void matchFramePresented() {
    if (!matchClock.running) return;
    auto now = std::chrono::steady_clock::now();
    if (matchClock.frames++ > 0)
        matchClock.ms.push_back(std::chrono::duration<double, std::milli>(now - matchClock.last).count());
    matchClock.last = now;
}

void benchSetupAndFrames(const std::vector<double>& setups, const std::vector<double>& frameMs,
                         const std::vector<double>& introMs) {
    double repeat = 0;
    for (size_t i = 1; i < setups.size(); ++i) repeat += setups[i];
    if (setups.size() > 1) repeat /= double(setups.size() - 1);
    std::fprintf(stderr, "match set-up: first %.1f ms, again %.1f ms\n",
                 setups.empty() ? 0.0 : 1000 * setups[0], 1000 * repeat);
    printFrameTimes("fight", frameMs);
    printFrameTimes("intro", introMs);
    printFrameTimes("match", matchClock.ms);
}

// One line of JSON for a match that has just ended (the fields the balance tools read); a match
// of several rounds adds each round's winner (none given: a single knock-out).
void printResult(const FightState& fight, JsonNode* root, int64_t result, int64_t p1Level,
                 int64_t p2Level, const std::vector<int64_t>& rounds) {
    describe(jsonAddMember(root, "p1"), fight.players[0], p1Level);
    describe(jsonAddMember(root, "p2"), fight.players[1], p2Level);
    jsonSetInteger(jsonAddMember(root, "winner"), result == 1 ? 2 : result == 2 ? 1 : 0);
    jsonSetInteger(jsonAddMember(root, "frames"), matchHooks.fightFrames);
    if (rounds.empty()) return;
    JsonNode* list = jsonAddMember(root, "rounds");
    jsonSetArray(list);
    for (int64_t winner : rounds) jsonSetInteger(jsonAddElement(list), winner);
}

// Plays a replay headless and checks every hash it holds: 0 when the fight went as recorded,
// 1 from the first frame where it did not, 2 when the file cannot be read or played here.
int checkReplay(const Options& o) {
    Replay replay;
    std::string error;
    if (!readReplay(o.replay, replay, error)) {
        std::fprintf(stderr, "quarrelix-match: %s: %s\n", o.replay.c_str(), error.c_str());
        return 2;
    }
    int64_t width = o.width, height = o.height;
    for (const auto& [name, value] : replay.settings) {
        if (name == "screenWidth") width = value;
        if (name == "screenHeight") height = value;
    }
    if (!replayScreenSizeUsable(width, height)) width = o.width, height = o.height; // refused below
    HeadlessOptions headless;
    headless.nullRenderer = !o.render;
    headless.desktopWidth = width;
    headless.desktopHeight = height;
    setHeadless(headless);
    settingsPath = "quarrelix-match: no settings file";
    FightContext context;
    startUpGame(context);
    openGameScreen(width, height);
    settings.showFps = 0;
    settings.musicVolume = 0;
    std::string refusal = replayRefusal(replay);
    if (!refusal.empty()) {
        std::fprintf(stderr, "quarrelix-match: %s: %s\n", o.replay.c_str(), refusal.c_str());
        endGame();
        return 2;
    }
    applyReplaySetup(context, replay);
    matchHooks.screenshots = o.screenshots;
    ReplayCheck check = playReplay(context, replay, false);
    int status = 0;
    if (check.firstMismatch >= 0) {
        std::fprintf(stderr, "quarrelix-match: %s: the fight differs from the recording at frame %lld\n",
                     o.replay.c_str(), (long long)check.firstMismatch);
        status = 1;
    } else if (!check.sameEnd) {
        std::fprintf(stderr, "quarrelix-match: %s: the fight differs from the recording at its end (frame %lld)\n",
                     o.replay.c_str(), (long long)replay.frames.size());
        status = 1;
    } else {
        int64_t document = createJson(-1);
        JsonNode* root = jsonRoot(document);
        jsonSetObject(root);
        jsonSetString(jsonAddMember(root, "replay"), o.replay);
        jsonSetInteger(jsonAddMember(root, "stage"), replay.stage);
        printResult(context.fight, root, replay.result, replay.sides[0].botLevel,
                    replay.sides[1].botLevel, replay.rounds > 1 ? context.roundWinners : std::vector<int64_t>{});
        jsonSetInteger(jsonAddMember(root, "replayFrames"), int64_t(replay.frames.size()));
        // Frames in which each player pressed something (a bot's actions are not recorded).
        int64_t pressed[2] = {0, 0};
        for (const ReplayFrame& f : replay.frames)
            for (int i = 0; i < 2; ++i) pressed[i] += f.actions[i] != 0;
        jsonSetInteger(jsonAddMember(root, "p1PressedFrames"), pressed[0]);
        jsonSetInteger(jsonAddMember(root, "p2PressedFrames"), pressed[1]);
        std::printf("%s\n", composeJson(document, false).c_str());
        freeJson(document);
    }
    endGame();
    return status;
}

// The file a match's replay is written to: the given one, or with the seed before its
// extension when there are several matches.
std::string recordPath(const Options& o, uint64_t seed) {
    if (o.matches == 1) return o.record;
    size_t dot = o.record.rfind('.');
    size_t slash = o.record.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = o.record.size();
    return o.record.substr(0, dot) + "-" + std::to_string(seed) + o.record.substr(dot);
}
} // namespace

int main(int argc, char** argv) {
    Options o = parseOptions(argc, argv);
    if (!o.replay.empty()) return checkReplay(o);
    HeadlessOptions headless;
    headless.nullRenderer = !o.render;
    headless.seed = o.seed;
    // Real time: each frame's factor is measured, so there is no fixed one.
    headless.fixedFrameFactor = o.realTime ? 0 : 50.0 / double(o.fps);
    headless.realTime = o.realTime;
    headless.desktopWidth = o.width;
    headless.desktopHeight = o.height;
    setHeadless(headless);
    settingsPath = "quarrelix-match: no settings file"; // the player's settings play no part
    recordsPath.clear();                                  // nor are their records counted
    auto startUpBegins = std::chrono::steady_clock::now();
    FightContext context;
    FightState& fight = context.fight;
    Fighter& playerOne = fight.players[0];
    Fighter& playerTwo = fight.players[1];
    startUpGame(context);
    if (o.bench)
        std::fprintf(stderr, "start-up: %.3f s to the first menu, %lld kB resident\n",
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - startUpBegins).count(),
                     (long long)residentKb());
    for (int64_t i = 1; i <= 10; ++i)
        if (fpsTable[i] == o.fps) applyFpsMode(i);
    openGameScreen(o.width, o.height);
    if (o.menus) {
        benchMenus(context);
        endGame();
        return 0;
    }
    settings.showFps = 0;
    // Nobody listens: without drawing, the music would only be decoded and mixed for nothing.
    // A drawn run loads it as the game does, so that its set-up is measured whole.
    if (!o.render) settings.musicVolume = 0;
    if (o.stage >= int64_t(stageList.size()))
        usage("no stage " + std::to_string(o.stage) + " (" + std::to_string(stageList.size()) +
              " stages)");
    checkSide(o.p1, "--p1");
    checkSide(o.p2, "--p2");
    matchRules = o.rules;

    int64_t benchFrames = 0;
    double benchSeconds = 0;
    int64_t memoryAfterFirst = 0;
    std::vector<double> setups, frameMs, introMs; // set-ups (s); fight and intro frames (ms)
    if (o.bench) presentedFrameObserver = matchFramePresented;
    auto runnerStart = std::chrono::steady_clock::now();
    // One match from its seed, its result line printed; the winner (0 none, 1 or 2) and its
    // fight's game time in seconds.
    auto playMatch = [&](uint64_t seed, const Side& one, const Side& two, int64_t stageChoice,
                         bool first) -> std::pair<int64_t, double> {
        seedRandom(seed);
        giveClass(fight, playerOne, one);
        giveClass(fight, playerTwo, two);
        playerTwo.useAlternateColor = playerOne.stance && playerTwo.stance &&
                                      playerOne.stance->specialColor == playerTwo.stance->specialColor;
        int64_t stage = stageChoice >= 0 ? stageChoice : randomInt(int64_t(stageList.size()) - 1);
        context.stage = &stageList[size_t(stage)];
        matchHooks.maxFightFrames = int64_t(o.maxSeconds * double(o.fps));
        // The arcade's and survival's fights are single knock-outs.
        context.rounds = o.arcade || o.survival ? 1 : o.rounds;
        matchHooks.screenshots = o.screenshots;
        Replay recording;
        if (!o.record.empty()) {
            recording = newMatchRecording(context, 2);
            matchTape = MatchTape{};
            matchTape.recording = &recording;
        }
        std::array<PlayCounts, 2> play{};
        if (o.details)
            matchHooks.afterFightFrame = [&play, &playerOne, &playerTwo](int64_t) {
                countPlay(play[0], playerOne, playerTwo);
                countPlay(play[1], playerTwo, playerOne);
            };
        auto start = std::chrono::steady_clock::now();
        matchClock.running = true;
        matchClock.frames = 0;
        int64_t result = startMatch(context);
        matchClock.running = false;
        matchHooks.afterFightFrame = nullptr;
        if (!o.record.empty()) {
            recording.result = result;
            recording.finalHash = fightHash(fight);
            matchTape = MatchTape{};
            std::string error, path = recordPath(o, seed);
            if (!writeReplay(path, recording, error)) {
                std::fprintf(stderr, "quarrelix-match: %s: %s\n", path.c_str(), error.c_str());
                std::exit(1);
            }
        }
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        int64_t document = createJson(-1);
        JsonNode* root = jsonRoot(document);
        jsonSetObject(root);
        jsonSetInteger(jsonAddMember(root, "seed"), int64_t(seed));
        jsonSetInteger(jsonAddMember(root, "stage"), stage);
        printResult(fight, root, result, one.level, two.level,
                    context.rounds > 1 ? context.roundWinners : std::vector<int64_t>{});
        // Real time: the fight loop's own game time (its measured frames) against its wall time.
        double gameSeconds = o.realTime ? matchHooks.fightGameSeconds
                                        : double(matchHooks.fightFrames) / double(o.fps);
        jsonSetDouble(jsonAddMember(root, "gameSeconds"), gameSeconds);
        jsonSetDouble(jsonAddMember(root, "wallSeconds"),
                      o.realTime ? matchHooks.fightLoopSeconds : wall);
        if (o.details) {
            JsonNode* sides = jsonAddMember(root, "play");
            jsonSetArray(sides);
            for (PlayCounts& counts : play) {
                counts.landed += counts.attack && counts.touched; // an attack still playing at the end
                JsonNode* side = jsonAddElement(sides);
                jsonSetObject(side);
                jsonSetInteger(jsonAddMember(side, "attacks"), counts.attacks);
                jsonSetInteger(jsonAddMember(side, "landed"), counts.landed);
                jsonSetInteger(jsonAddMember(side, "closeFrames"), counts.closeFrames);
            }
        }
        std::printf("%s\n", composeJson(document, false).c_str());
        benchFrames += matchHooks.fightFrames;
        benchSeconds += matchHooks.fightLoopSeconds;
        setups.push_back(matchHooks.setupSeconds);
        // The first fight frame too: the intro leaves no picture for it to load.
        frameMs.insert(frameMs.end(), matchHooks.fightFrameMs.begin(), matchHooks.fightFrameMs.end());
        introMs.insert(introMs.end(), matchHooks.introFrameMs.begin(), matchHooks.introFrameMs.end());
        if (first) memoryAfterFirst = residentKb();
        std::fflush(stdout);
        freeJson(document);
        return {result == 1 ? 2 : result == 2 ? 1 : 0, gameSeconds};
    };
    if (o.arcade) {
        // The ladder, the same opponent again after each loss (a continue), until it is won or
        // the continues run out; then a closing line.
        std::vector<LadderFight> ladder = arcadeLadder(o.p1.classPosition, playableClassPositions(), o.seed,
                                                       int64_t(stageList.size()));
        int64_t continues = 0, played = 0;
        double seconds = 0;
        bool cleared = true;
        for (const LadderFight& rung : ladder) {
            Side opponent;
            opponent.classPosition = rung.classPosition;
            opponent.level = rung.level;
            for (;;) {
                auto [winner, fightSeconds] =
                    playMatch(o.seed + uint64_t(played), o.p1, opponent, rung.stage, played == 0);
                played += 1;
                seconds += fightSeconds;
                if (winner == 1) break;
                if (continues == kMostArcadeContinues) {
                    cleared = false;
                    break;
                }
                continues += 1;
            }
            if (!cleared) break;
        }
        std::printf("{\"cleared\":%s,\"seconds\":%.2f,\"continues\":%lld}\n",
                    cleared ? "true" : "false", seconds, (long long)continues);
        std::fflush(stdout);
    }
    if (o.survival) {
        // Opponents drawn from the seed at Hard; player one's life carries over with a heal of
        // a fifth of its maximum after each win, its stance kept from the first fight.
        Side me = o.p1, opponent;
        opponent.level = 3;
        int64_t wins = 0;
        double seconds = 0;
        for (int64_t round = 0; round < kMostSurvivalFights; ++round) {
            auto [winner, fightSeconds] = playMatch(o.seed + uint64_t(round), me, opponent, -1, round == 0);
            me.stance = playerOne.stanceIndex;
            seconds += fightSeconds;
            if (winner != 1) break;
            wins += 1;
            context.startingLife[0] = survivalLifeAfterWin(playerOne.life, playerOne.maxLife);
        }
        context.startingLife = {-1, -1};
        std::printf("{\"wins\":%lld,\"seconds\":%.2f}\n", (long long)wins, seconds);
        std::fflush(stdout);
    }
    for (int64_t m = 0; m < o.matches && !o.arcade && !o.survival; ++m)
        playMatch(o.seed + uint64_t(m), o.p1, o.p2, o.stage, m == 0);
    if (o.bench && benchSeconds > 0) {
        double all = std::chrono::duration<double>(std::chrono::steady_clock::now() - runnerStart).count();
        std::fprintf(stderr,
                     "fight loops: %lld frames in %.3f s: %.0f frames per second, %.3f ms a frame\n",
                     (long long)benchFrames, benchSeconds, double(benchFrames) / benchSeconds,
                     1000.0 * benchSeconds / double(benchFrames));
        std::fprintf(stderr, "end to end: %lld frames in %.3f s: %.0f frames per second\n",
                     (long long)benchFrames, all, double(benchFrames) / all);
        benchSetupAndFrames(setups, frameMs, introMs);
    }
    if (o.bench) benchFightState(context, o);
    if (o.bench)
        std::fprintf(stderr, "memory: %lld kB after the first match, %lld kB after the last\n",
                     (long long)memoryAfterFirst, (long long)residentKb());
    // Without controllers, nothing should have touched the machine's devices (counted, not timed).
    if (o.bench) {
        const DeviceCounters& devices = deviceCounters();
        std::fprintf(stderr,
                     "devices: controller support started %lld times, %lld device polls in %lld "
                     "event pumps over %lld frames\n",
                     (long long)devices.controllerStarts, (long long)devices.devicePolls,
                     (long long)devices.eventPumps, (long long)presentedFrames());
    }
    endGame();
    return 0;
}

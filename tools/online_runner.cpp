// quarrelix-online: one side of an online match, headless, with a program at the keys. Two of
// them (one hosting, one joining) play a whole match over the real connection on real time,
// optionally through a network conditioner on each side's outgoing inputs; each prints one JSON
// line with the result, the fight's hash and the netcode's figures, and can write its replay.
// Run it from the game directory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/input_bot.h"
#include "match/match.h"
#include "net/rollback.h"
#include "online/online_match.h"
#include "online/online_play.h"
#include "online/rooms.h"
#include "replays/replay_file.h"
#include "runtime/headless.h"
#include "runtime/runtime.h"
#include "records/records.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"
#include "shell/startup.h"

namespace {
struct Options {
    bool hosting = false;
    std::string address; // joining
    std::string lobby;   // through a lobby: --host-room, --join-room CODE or --watch CODE
    bool hostRoom = false;
    std::string roomCode, watchCode;
    bool relayAtOnce = false; // --path relay
    double watchDelay = 1;    // seconds a spectator stays behind the newest frame
    uint16_t port = kDefaultPort;
    int64_t classCode = 0, stance = 0;
    int64_t stage = 0;
    uint64_t seed = 1;
    int64_t fps = 60;
    int64_t inputDelay = 2;
    double maxSeconds = 120;
    ConditionerSettings link;
    bool conditioned = false;
    std::string record;
    double waitSeconds = 20; // for the peer to connect and choose
    // Tests of a match cut short: after this many seconds of fight the side leaves with a
    // word to the peer, or vanishes without one (the process ends at once). 0: never.
    double leaveAfter = 0, vanishAfter = 0;
    // The desync test: after this many seconds of fight this side's fight is spoiled (player
    // one loses a point of life that the peer's fight keeps). 0: never.
    double spoilAfter = 0;
    int64_t matches = 1; // played one after another with the same peer (a rematch each time)
};

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr,
                 "quarrelix-online: %s\n"
                 "usage: quarrelix-online (--host PORT | --join HOST[:PORT] |\n"
                 "       --lobby HOST[:PORT] (--host-room | --join-room CODE | --watch CODE)\n"
                 "       [--path relay]) [--class C:S]\n"
                 "       [--stage N] [--seed N] [--fps F] [--delay FRAMES] [--max-seconds S]\n"
                 "       [--latency MS] [--jitter MS] [--loss PERCENT] [--duplicate PERCENT]\n"
                 "       [--reorder PERCENT] [--link-seed N] [--record FILE] [--wait S]\n"
                 "       [--leave-after S | --vanish-after S] [--spoil-after S] [--watch-delay S]\n"
                 "       [--matches N]\n",
                 problem.c_str());
    std::exit(2);
}

double number(const std::string& text, const std::string& option) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || value < 0) usage("bad number for " + option + ": " + text);
    return value;
}

// The conditioner's options: each puts this side's outgoing inputs through it.
struct LinkOption {
    const char* name;
    double ConditionerSettings::*field;
};
const LinkOption kLinkOptions[] = {{"--latency", &ConditionerSettings::latencyMs},
                                   {"--jitter", &ConditionerSettings::jitterMs},
                                   {"--loss", &ConditionerSettings::lossPercent},
                                   {"--duplicate", &ConditionerSettings::duplicatePercent},
                                   {"--reorder", &ConditionerSettings::reorderPercent}};

const LinkOption* linkOption(const std::string& option) {
    for (const LinkOption& link : kLinkOptions)
        if (option == link.name) return &link;
    return nullptr;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    bool sideGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--host-room") {
            o.hosting = o.hostRoom = sideGiven = true;
            continue;
        }
        if (i + 1 >= argc) usage("missing value for " + option);
        std::string value = argv[++i];
        if (option == "--host") {
            o.hosting = true;
            o.port = uint16_t(number(value, option));
            sideGiven = true;
        } else if (option == "--join") {
            o.address = value;
            sideGiven = true;
        } else if (option == "--lobby") {
            o.lobby = value;
        } else if (option == "--join-room") {
            o.roomCode = value;
            sideGiven = true;
        } else if (option == "--watch") {
            o.watchCode = value;
            sideGiven = true;
        } else if (option == "--matches") {
            o.matches = int64_t(number(value, option));
            if (o.matches < 1) usage("--matches takes 1 or more");
        } else if (option == "--watch-delay") {
            o.watchDelay = number(value, option);
        } else if (option == "--path") {
            if (value != "relay") usage("--path takes only relay");
            o.relayAtOnce = true;
        } else if (option == "--class") {
            size_t colon = value.find(':');
            o.classCode = int64_t(number(value.substr(0, colon), option));
            if (colon != std::string::npos) o.stance = int64_t(number(value.substr(colon + 1), option));
        } else if (option == "--stage") {
            o.stage = int64_t(number(value, option));
        } else if (option == "--seed") {
            o.seed = uint64_t(number(value, option));
        } else if (option == "--fps") {
            o.fps = int64_t(number(value, option));
        } else if (option == "--delay") {
            o.inputDelay = int64_t(number(value, option));
        } else if (option == "--max-seconds") {
            o.maxSeconds = number(value, option);
        } else if (const LinkOption* link = linkOption(option)) {
            o.link.*(link->field) = number(value, option);
            o.conditioned = true;
        } else if (option == "--link-seed") {
            o.link.seed = uint64_t(number(value, option));
        } else if (option == "--record") {
            o.record = value;
        } else if (option == "--wait") {
            o.waitSeconds = number(value, option);
        } else if (option == "--leave-after") {
            o.leaveAfter = number(value, option);
        } else if (option == "--vanish-after") {
            o.vanishAfter = number(value, option);
        } else if (option == "--spoil-after") {
            o.spoilAfter = number(value, option);
        } else {
            usage("unknown option " + option);
        }
    }
    if (!sideGiven) usage("--host, --join, --host-room, --join-room or --watch is needed");
    if ((o.hostRoom || !o.roomCode.empty() || !o.watchCode.empty()) && o.lobby.empty())
        usage("--host-room, --join-room and --watch need --lobby");
    if (o.inputDelay > kMaxInputDelay) usage("the delay is 0 to 4 frames");
    return o;
}

// Services the connection until `done` says so; false when it ended or the wait ran out.
template <typename Done> bool waitFor(OnlinePlay& online, double seconds, Done done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (!serviceOnline(online)) return false;
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (online.problem.empty()) online.problem = "the other side did not come in time";
    return false;
}

// From asking the lobby (the joiner gives the code) or, for the host, from the lobby telling of
// the guest, to the fight connection; 0 when playing by address.
double connectMs(const OnlinePlay& online) {
    const RoomLink& room = online.room;
    if (!room.active || room.connectedMs == 0) return 0;
    return room.connectedMs - (online.hosting ? room.peerKnownMs : room.startedMs);
}

void record(const Options& o, const Replay& replay) {
    if (o.record.empty()) return;
    std::string problem;
    if (!writeReplay(o.record, replay, problem))
        std::fprintf(stderr, "quarrelix-online: %s: %s\n", o.record.c_str(), problem.c_str());
}

// --watch: the room's newest match, from its start, to its end; the closing line as the
// players print it.
int watchMatch(FightContext& context, const Options& o) {
    Spectating watching;
    std::string error;
    if (!watchRoom(watching, o.lobby, o.watchCode, error)) {
        std::fprintf(stderr, "quarrelix-online: %s\n", error.c_str());
        endGame();
        return 1;
    }
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(o.waitSeconds);
    while (watching.setup.empty() && std::chrono::steady_clock::now() < until &&
           serviceWatching(watching))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (watching.setup.empty()) {
        std::fprintf(stderr, "quarrelix-online: %s\n",
                     watching.problem.empty() ? "no match began in time" : watching.problem.c_str());
        endGame();
        return 1;
    }
    matchHooks.endOfMatch = false;
    OnlineOutcome outcome = watchOnlineMatch(context, watching, o.watchDelay);
    record(o, outcome.replay);
    std::printf("{\"side\":0,\"finished\":%s,\"winner\":%d,\"frames\":%lld,\"hash\":\"%016llx\","
                "\"finalHash\":\"%016llx\",\"seconds\":%.1f,\"path\":\"relay\",\"problem\":\"%s\"}\n",
                outcome.finished ? "true" : "false",
                int(outcome.result == 1 ? 2 : outcome.result == 2 ? 1 : 0),
                (long long)outcome.fightFrames, (unsigned long long)outcome.fightHash,
                (unsigned long long)outcome.replay.finalHash, outcome.seconds,
                outcome.problem.c_str());
    std::fflush(stdout);
    endGame();
    return outcome.finished && outcome.problem.empty() ? 0 : 1;
}

int fail(OnlinePlay& online) {
    std::fprintf(stderr, "quarrelix-online: %s\n", online.problem.c_str());
    endGame();
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    Options o = parseOptions(argc, argv);
    HeadlessOptions headless;
    headless.nullRenderer = true;
    headless.realTime = true; // the two sides meet on the real clock
    headless.seed = o.seed;
    setHeadless(headless);
    settingsPath = "quarrelix-online: no settings file"; // the player's settings play no part
    recordsPath.clear();                                   // nor are their records counted
    FightContext context;
    startUpGame(context);
    for (int64_t i = 1; i <= 10; ++i)
        if (fpsTable[i] == o.fps) applyFpsMode(i);
    openGameScreen(1280, 720);
    settings.showFps = 0;
    settings.musicVolume = 0;

    if (!o.watchCode.empty()) return watchMatch(context, o);
    OnlinePlay online;
    std::string error;
    bool opened = o.hostRoom             ? hostRoom(online, o.lobby, error)
                  : !o.roomCode.empty()  ? joinRoom(online, o.lobby, o.roomCode, error)
                  : o.hosting            ? hostOnline(online, o.port, error)
                                         : joinOnline(online, o.address, error);
    online.room.relayAtOnce = o.relayAtOnce;
    if (!opened) {
        std::fprintf(stderr, "quarrelix-online: %s\n", error.c_str());
        endGame();
        return 1;
    }
    if (o.conditioned) {
        online.link.conditioner = std::make_unique<Conditioner>();
        startConditioner(*online.link.conditioner, o.link);
    }
    if (o.hostRoom) {
        // The code, alone on its line, as soon as the lobby gives it: the other side joins with it.
        if (!waitFor(online, o.waitSeconds, [&] { return !online.room.code.empty(); }))
            return fail(online);
        std::printf("room %s\n", online.room.code.c_str());
        std::fflush(stdout);
    }
    if (!waitFor(online, o.waitSeconds, [&] { return onlineReady(online); })) return fail(online);

    SetupPacket own;
    own.classCode = o.classCode;
    own.stance = o.stance;
    own.ready = true;
    own.inputDelay = o.inputDelay;
    InputBot bot;
    startInputBot(bot, o.seed * 2 + (o.hosting ? 0 : 1));
    int64_t framesPlayed = 0;
    const int64_t leaveFrame = int64_t(o.leaveAfter * double(o.fps));
    const int64_t vanishFrame = int64_t(o.vanishAfter * double(o.fps));
    onlineInputSource = [&](const FightState& now, int64_t side) {
        framesPlayed += 1;
        if (vanishFrame > 0 && framesPlayed == vanishFrame) std::_Exit(3);
        if (leaveFrame > 0 && framesPlayed == leaveFrame)
            leaveOnline(online, kByeQuit, "this side left the match");
        return inputBotActions(bot, now, side);
    };
    const int64_t spoilFrame = int64_t(o.spoilAfter * double(o.fps));
    onlineSessionHook = [&](RollbackSession& session) {
        if (spoilFrame == 0 || framesPlayed != spoilFrame) return;
        // Every frame the session keeps, so that a rollback cannot undo it.
        for (int64_t frame = session.confirmedFrame; frame <= session.currentFrame; ++frame) {
            Fighter& spoiled = stateAfter(session, frame).players[0];
            if (spoiled.life > 1) spoiled.life -= 1;
        }
    };
    onlineFrameLimit = int64_t(o.maxSeconds * double(o.fps));
    matchHooks.endOfMatch = false;
    OnlineOutcome outcome;
    // A closing line a match. A rematch starts as soon as the peer is ready (the host) or the
    // host's next start has come (the guest), which may already be so when the match ends.
    for (int64_t match = 0; match < o.matches; ++match) {
        framesPlayed = 0;
        if (o.hosting) {
            sendOwnSetup(online, own);
            bool chosen = waitFor(online, o.waitSeconds,
                                  [&] { return online.peerSetupKnown && online.peerSetup.ready; });
            if (!chosen) return fail(online);
            SetupPacket start = hostStartingSetup(own, online.peerSetup, o.stage, o.seed);
            sendOwnSetup(online, start);
            outcome = playOnlineMatch(context, online, start, o.inputDelay);
        } else {
            sendOwnSetup(online, own);
            if (!waitFor(online, o.waitSeconds, [&] { return online.matchStarting; })) return fail(online);
            online.matchStarting = false; // the next start, for a rematch, may come at any time
            outcome = playOnlineMatch(context, online, online.peerSetup, o.inputDelay);
        }
        record(o, outcome.replay);
        double seconds = outcome.seconds > 0 ? outcome.seconds : 1;
        std::printf("{\"side\":%d,\"finished\":%s,\"winner\":%d,\"frames\":%lld,\"hash\":\"%016llx\","
                    "\"finalHash\":\"%016llx\",\"rollbacksPerSecond\":%.2f,\"longestRollback\":%lld,"
                    "\"framesResimulated\":%lld,\"waits\":%lld,\"pingMs\":%.1f,\"seconds\":%.1f,"
                    "\"passes\":%lld,\"path\":\"%s\",\"connectMs\":%.0f,\"problem\":\"%s\"}\n",
                    o.hosting ? 1 : 2, outcome.finished ? "true" : "false",
                    int(outcome.result == 1 ? 2 : outcome.result == 2 ? 1 : 0),
                    (long long)outcome.fightFrames, (unsigned long long)outcome.fightHash,
                    (unsigned long long)outcome.replay.finalHash,
                    double(outcome.rollbacks) / seconds, (long long)outcome.longestRollback,
                    (long long)outcome.framesResimulated, (long long)outcome.waits, outcome.pingMs,
                    outcome.seconds, (long long)matchHooks.fightFrames,
                    online.room.active ? onlinePathName(online.room.path) : "direct",
                    connectMs(online), outcome.problem.c_str());
        std::fflush(stdout);
        if (!outcome.finished || online.link.closed) break;
    }
    leaveOnline(online, kByeQuit, "the match is over");
    endGame();
    return outcome.finished ? 0 : 1;
}

// The online match: set-up, intro, the rollback fight loop, the recording.
#include "online/online_match.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "match/end_of_match.h"
#include "match/frame_loop.h"
#include "match/match.h"
#include "match/match_record.h"
#include "records/match_count.h"
#include "match/match_tape.h"
#include "match/music.h"
#include "menus/menu_framework.h"
#include "net/exchange.h"
#include "net/rollback.h"
#include "online/online_play.h"
#include "render/fight_drawing.h"
#include "render/text.h"
#include "replays/replays.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"

std::function<Actions(const FightState& now, int64_t side)> onlineInputSource;
std::function<void(RollbackSession& session)> onlineSessionHook;
int64_t onlineFrameLimit = 0;

namespace {
constexpr size_t kKeptFightPackets = 256; // a peer's packets waiting for the fight to begin
constexpr double kPingSmoothing = 0.2;     // weight of a new round-trip sample
constexpr double kAdvantageSmoothing = 0.1;
// The side that runs ahead by more than a frame lengthens its frames by up to a quarter of a
// frame each, until both are level.
constexpr double kLevelWithin = 1.0;  // frames
constexpr double kMostSlowing = 0.25; // of a frame, per frame
constexpr double kStreamEndWaitMs = 2000; // for the lobby to take the spectators' last frames

// The frame the match ends on, once the confirmed fight reaches it: its knock-out, or the frame
// limit; -1 before.
int64_t matchEndFrame(const RollbackSession& session) {
    if (session.knockOutFrame >= 0 &&
        (onlineFrameLimit == 0 || session.knockOutFrame <= onlineFrameLimit))
        return session.knockOutFrame;
    if (onlineFrameLimit > 0 && session.confirmedFrame >= onlineFrameLimit) return onlineFrameLimit;
    return -1;
}

// The fights went apart at session.desyncFrame: this side's hash of that frame goes out before
// the goodbye, so that the peer compares it too and both name the frame. A side told by the
// peer first still names the frame when it saw the mismatch itself.
void desyncStop(OnlinePlay& online, const RollbackSession& session) {
    const std::string problem = desyncMessage(session.desyncFrame);
    if (online.link.closed) {
        if (online.problem == byeMessage(kByeDesync)) online.problem = problem;
        return;
    }
    for (const FrameHash& own : session.localHashes) {
        PacketBytes bytes;
        if (own.frame == session.desyncFrame &&
            encodeHash({uint64_t(own.frame), own.hash}, bytes))
            sendOnLink(online.link, kInputChannel, bytes);
    }
    leaveOnline(online, kByeDesync, problem);
}

int64_t fpsModeOf(int64_t framesPerSecond) {
    for (int64_t i = 1; i <= 10; ++i)
        if (fpsTable[i] == framesPerSecond) return i;
    return 0;
}

int64_t& settingIn(Replay& replay, const std::string& name) {
    for (auto& [key, value] : replay.settings)
        if (key == name) return value;
    replay.settings.emplace_back(name, 0);
    return replay.settings.back().second;
}

// Both players' choices as the class selection's code: player one (the host) + 10000 x player
// two. A choice outside the codes is taken as random (the same on both computers).
int64_t selectionCode(const SetupPacket& start) {
    auto code = [](int64_t classCode, int64_t stance) {
        return classCode < 100 && stance < 100 ? classCode + 100 * stance : 99 + 100 * 99;
    };
    return code(start.classCode, start.stance) +
           10000 * code(start.guestClassCode, start.guestStance);
}
} // namespace

// One confirmed frame of fight stepped with both players' packed inputs and added to the
// recording, with a hash every kReplayHashInterval frames.
void stepRecordedFrame(FightState& fight, const Stage* stage, Replay& replay,
                       const std::array<uint8_t, 2>& packed, double factor) {
    std::array<Actions, 2> actions = {unpackActions(packed[0]), unpackActions(packed[1])};
    stepFight(fight, stage, actions, factor, factor);
    replay.frames.push_back({1, {packed[0], packed[1]}, factor});
    if (replay.frames.size() % size_t(kReplayHashInterval) == 0)
        replay.hashes.push_back(fightHash(fight));
}

// The last frame as shown (its sounds were heard when it was played), as a playback ends.
void presentLastFrame(const FightState& fight, double factor) {
    FightEvents shown = fight.events;
    shown.sounds.clear();
    presentFightEvents(shown, factor);
}

namespace {
// The fight frames of the session up to `frames`, with both players' confirmed inputs, added to
// the recording with a hash every 50 frames, by stepping the fight again from its start.
// Leaves the fight after the last of them in `fight` and returns its hash.
uint64_t recordFightFrames(FightState& fight, Replay& replay, const FightState& start,
                           const RollbackSession& s, int64_t frames) {
    fight = start;
    for (int64_t frame = 0; frame < frames; ++frame) {
        std::array<uint8_t, 2> packed;
        packed[size_t(s.localPlayer)] = s.localInputs[size_t(frame)];
        packed[size_t(1 - s.localPlayer)] = s.remoteInputs[size_t(frame)];
        stepRecordedFrame(fight, s.stage, replay, packed, s.frameFactor);
    }
    if (frames > 0) presentLastFrame(fight, s.frameFactor);
    return fightHash(fight);
}

// Ping, rollback and frame advantage under the frames per second.
void drawOnlineReadOut(double fps, double pingMs, int64_t rollbackFrames, double advantage) {
    char line[160];
    std::snprintf(line, sizeof line, "FPS : %d", int(std::lround(fps)));
    drawPlainText(line, 0, 240);
    std::snprintf(line, sizeof line, "Ping : %d ms  Rollback : %d  Advantage : %+.1f",
                  int(std::lround(pingMs)), int(rollbackFrames), advantage);
    drawPlainText(line, 0, 260);
}

// The input delay this side plays with (and the path, through a room), always in view: the
// player chose "Auto" or a number and should see what it came to.
void drawInputDelay(int64_t frames, OnlinePath path) {
    std::string line = "Delay : " + std::to_string(frames) + (frames == 1 ? " frame" : " frames");
    if (path != OnlinePath::None) line += std::string("  Path : ") + onlinePathName(path);
    drawPlainText(line, 0, 280);
}
} // namespace

Replay applyStartingSetup(FightContext& context, const SetupPacket& start, KeptForOnline& kept,
                          std::string& refusal) {
    FightState& fight = context.fight;
    kept.width = screenWidth;
    kept.height = screenHeight;
    if (start.screenWidth != screenWidth || start.screenHeight != screenHeight)
        openGameScreen(start.screenWidth, start.screenHeight);
    Stage* stage = &stageList[size_t(start.stage)];
    prepareMatch(currentMatch, fight, stage, 0);
    for (Fighter& f : fight.players)
        if (BotController* bot = botOf(fight, f)) switchBotOff(*bot);
    // Everything drawn from here on (random classes, the fight) follows from the host's seed.
    seedRandom(start.seed);
    applySelectionCode(fight, fight.players[0], fight.players[1], selectionCode(start));
    context.stage = stage;
    if (currentMatch) currentMatch->stage = stage;
    // The fight's record of the players' jump-with-up is the same on both computers (off);
    // the local player's keys are still read with their own choice.
    jumpWithUpOverride = {0, 0};
    for (Fighter& f : fight.players) {
        f.tickAccumulator = 0;
        f.botLevel = 0;
    }
    Replay replay = newMatchRecording(context, 0);
    std::vector<std::string> names = fightSettingNames();
    for (size_t i = 0; i < names.size() && i < start.fightSettings.size(); ++i)
        settingIn(replay, names[i]) = start.fightSettings[i];
    settingIn(replay, "frameRate") = fpsModeOf(start.frameRate);
    refusal = replayRefusal(replay);
    if (refusal.empty()) applyReplaySetup(context, replay);
    return replay;
}

void restoreAfterOnline(const KeptForOnline& kept) {
    restoreFightSettings(); // the players' own jump-with-up again too
    onlineLocalSide = -1;
    if (kept.width != screenWidth || kept.height != screenHeight)
        openGameScreen(kept.width, kept.height);
}

SetupPacket hostStartingSetup(const SetupPacket& choice, const SetupPacket& guestChoice,
                              int64_t stage, uint64_t seed) {
    SetupPacket start = choice;
    start.guestClassCode = guestChoice.classCode;
    start.guestStance = guestChoice.stance;
    start.fromHost = true;
    start.starting = true;
    start.ready = true;
    start.stage = stage;
    start.seed = seed;
    start.frameRate = targetFps;
    std::vector<int64_t> values = fightSettingValues();
    for (size_t i = 0; i < values.size() && i < start.fightSettings.size(); ++i)
        start.fightSettings[i] = values[i];
    start.screenWidth = screenWidth;
    start.screenHeight = screenHeight;
    return start;
}

std::string startingSetupRefusal(const SetupPacket& start) {
    if (!start.fromHost || !start.starting) return "the match was not started by the host";
    if (start.stage < 0 || start.stage >= int64_t(stageList.size()))
        return "the host chose a stage this game does not have";
    if (fpsModeOf(start.frameRate) == 0)
        return "the host plays at " + std::to_string(start.frameRate) +
               " frames per second, which this game does not offer";
    if (!replayScreenSizeUsable(start.screenWidth, start.screenHeight))
        return "the host's screen size " + std::to_string(start.screenWidth) + "x" +
               std::to_string(start.screenHeight) + " cannot be opened here";
    return "";
}

OnlineOutcome playOnlineMatch(FightContext& context, OnlinePlay& online, const SetupPacket& hostSetup,
                              int64_t inputDelay) {
    FightState& fight = context.fight;
    OnlineOutcome outcome;
    std::string refusal = startingSetupRefusal(hostSetup);
    if (!refusal.empty()) {
        leaveOnline(online, kByeVersionMismatch, refusal);
        outcome.problem = refusal;
        return outcome;
    }
    const int64_t side = online.hosting ? 0 : 1;
    KeptForOnline kept;
    outcome.replay = applyStartingSetup(context, hostSetup, kept, refusal);
    if (!refusal.empty()) {
        restoreAfterOnline(kept);
        leaveOnline(online, kByeVersionMismatch, "cannot play this match here: " + refusal);
        outcome.problem = online.problem;
        return outcome;
    }
    onlineLocalSide = side;
    if (online.hosting) {
        PacketBytes setupBytes; // the spectators start from the same set-up
        if (encodeSetup(hostSetup, setupBytes)) streamMatchStart(online, setupBytes);
    }
    Replay& replay = outcome.replay;
    matchTape = MatchTape{};
    matchTape.recording = &replay;
    const double factor = 50.0 / double(hostSetup.frameRate);
    const double frameMs = 1000.0 / double(hostSetup.frameRate);
    online.fightPackets.clear();
    auto keepLinkAlive = [&online] {
        serviceOnline(online);
        if (online.fightPackets.size() > kKeptFightPackets)
            online.fightPackets.erase(online.fightPackets.begin());
    };
    Stage* stage = setUpMatch(context);
    fightIntro(context, factor, keepLinkAlive);

    const FightState start = fight;
    RollbackSession session;
    startSession(session, start, stage, side, inputDelay, hostSetup.frameRate);
    const int64_t peerDelay = online.hosting ? online.peerSetup.inputDelay : hostSetup.inputDelay;
    // When each local frame's input was first sent (the first inputDelay frames are empty
    // inputs that were never sent: their times are the start's).
    std::vector<double> sentAtMs(size_t(session.inputDelay), linkClockMs());
    double pingMs = 0, advantage = 0;
    std::array<double, 60> frameLengths;
    frameLengths.fill(frameMs);
    size_t lengthAt = 0;
    int64_t endFrame = -1;
    auto fightStart = std::chrono::steady_clock::now();
    matchHooks.fightFrames = 0;
    FrameLoop loop;
    loop.phase = FramePhase::OnlineFight;
    loop.factor = loop.previous = factor;
    loop.frame = [&](double&, double) {
        pollKeyboard();
        processWindowEvent();
        if (windowCloseRequested()) {
            leaveOnline(online, kByeQuit, "the game was closed");
            shutdownProgram(0);
        }
        if (keyReleased(kKeyEscape)) leaveOnline(online, kByeQuit, "you left the match");
        serviceOnline(online);
        for (const Packet& packet : online.fightPackets) {
            if (packet.kind == kPacketHash) {
                receiveHash(session, packet.hash);
                continue;
            }
            int64_t ack = std::min(packet.inputs.ack, int64_t(sentAtMs.size()) - 1);
            if (ack > session.peerAck && ack >= 0) {
                double sample = linkClockMs() - sentAtMs[size_t(ack)];
                pingMs = pingMs == 0 ? sample : pingMs + kPingSmoothing * (sample - pingMs);
            }
            receiveInputs(session, packet.inputs);
        }
        online.fightPackets.clear();
        if (session.desyncFrame >= 0) desyncStop(online, session);
        if (online.link.closed) {
            // The peer leaves as soon as we have its last inputs, which may have come with its
            // leaving: the frames they complete are played out before the match counts as cut.
            while (matchEndFrame(session) < 0 && session.remoteContiguous > session.currentFrame &&
                   stepSession(session).stepped) {
            }
            if (matchEndFrame(session) < 0) {
                outcome.problem = online.problem;
                return false;
            }
        }
        endFrame = matchEndFrame(session);
        if (endFrame >= 0) {
            if (endFrame == session.knockOutFrame) outcome.result = session.knockOutResult;
            return false;
        }

        if (onlineSessionHook) onlineSessionHook(session);
        const FightState& newest = stateAfter(session, session.currentFrame);
        Actions local = onlineInputSource
                            ? onlineInputSource(newest, side)
                            : pollActions(playerSetups[0].keyBindings, playerSetups[0].padIndex,
                                          playerSetups[0].jumpWithUp);
        if (addLocalInput(session, local) >= 0) sentAtMs.push_back(linkClockMs());
        PacketBytes bytes;
        if (encodeInputs(inputsToSend(session), bytes)) sendOnLink(online.link, kInputChannel, bytes);
        HashPacket hash;
        if (newestHash(session, hash) && encodeHash(hash, bytes))
            sendOnLink(online.link, kInputChannel, bytes);
        StepOutcome step = stepSession(session);
        if (online.hosting)
            streamFightFrames(online, session.localInputs, session.remoteInputs,
                              session.confirmedFrame);
        if (step.stepped) presentFightEvents(session.newestEvents, factor);
        drawFight(stateAfter(session, session.currentFrame), stage);
        if (!step.stepped) drawText("waiting", screenWidth / 2 - 56, 40, kOrangeTint, 128);

        // How far ahead of the peer this side runs: the peer's frame is its newest input less
        // its delay, plus the frames that passed while that input travelled.
        double peerFrame = double(int64_t(session.remoteInputs.size()) - 1 - peerDelay) +
                           pingMs / 2 / frameMs;
        if (!session.remoteInputs.empty())
            advantage += kAdvantageSmoothing * (double(session.currentFrame) - peerFrame - advantage);
        if (settings.showFps) {
            double sum = 0;
            for (double length : frameLengths) sum += length;
            drawOnlineReadOut(1000.0 * double(frameLengths.size()) / sum, pingMs,
                              session.currentFrame - session.confirmedFrame, advantage);
        }
        drawInputDelay(session.inputDelay, online.room.path);
        return true;
    };
    loop.afterShown = [](double) {
        matchHooks.fightFrames += 1;
        return true;
    };
    loop.pace = [&](double frameStart, double) {
        double slowing = std::clamp(advantage - kLevelWithin, 0.0, 1.0) * kMostSlowing * frameMs;
        framePacing(frameStart + slowing, 0);
        frameLengths[lengthAt] = systemTimeMs() - frameStart;
        lengthAt = (lengthAt + 1) % frameLengths.size();
        return factor;
    };
    runFrameLoop(loop);
    // The peer may still miss our last inputs: they are sent again until it has them all, so
    // that it ends on the same frame (for at most as long as a silent peer is waited for).
    double lingerUntil = linkClockMs() + kLinkTimeoutMs;
    while (endFrame >= 0 && session.peerAck < endFrame - 1 && !online.link.closed &&
           linkClockMs() < lingerUntil) {
        double frameStart = systemTimeMs();
        serviceOnline(online);
        for (const Packet& packet : online.fightPackets)
            if (packet.kind == kPacketInputs) receiveInputs(session, packet.inputs);
        online.fightPackets.clear();
        PacketBytes bytes;
        if (encodeInputs(inputsToSend(session), bytes)) sendOnLink(online.link, kInputChannel, bytes);
        framePacing(frameStart, 0);
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - fightStart).count();
    outcome.rollbacks = session.rollbacks;
    outcome.longestRollback = session.longestRollback;
    outcome.framesResimulated = session.framesResimulated;
    outcome.waits = session.waits;
    outcome.pingMs = pingMs;

    // The recording holds the confirmed fight: the whole of it, or what both sides had when the
    // match stopped early.
    int64_t recorded = endFrame >= 0 ? endFrame : session.confirmedFrame;
    FightState last = stateAfter(session, recorded);
    outcome.fightHash = recordFightFrames(fight, replay, start, session, recorded);
    if (outcome.fightHash != fightHash(last))
        std::fprintf(stderr, "quarrelix: the online fight could not be recorded as played\n");
    outcome.fightFrames = recorded;
    outcome.finished = endFrame >= 0;
    if (online.hosting && outcome.finished) {
        // The spectators' stream reaches its end, also when the other player already left.
        streamMatchEnd(online, recorded, outcome.result, outcome.fightHash);
        double until = linkClockMs() + kStreamEndWaitMs;
        while (!streamSettled(online) && linkClockMs() < until && serviceRoomAlone(online))
            framePacing(systemTimeMs(), 0);
    }
    if (outcome.finished)
        countMatch(fight, outcome.result, Opponent::Online, double(recorded) / double(hostSetup.frameRate), side);
    finishOnlineMatch(context, stage, outcome, outcome.finished, kept);
    return outcome;
}

void finishOnlineMatch(FightContext& context, Stage* stage, OnlineOutcome& outcome,
                       bool showEnd, const KeptForOnline& kept) {
    FightState& fight = context.fight;
    if (showEnd && matchHooks.endOfMatch) {
        matchTape.spoiled = true; // no "watch again" while the other player waits
        endOfMatch(context, outcome.result, 0);
    } else {
        if (stage) stopStageMusic(*stage);
        leaveMatchScreen(fight);
    }
    outcome.replay.result = outcome.result;
    outcome.replay.finalHash = fightHash(fight);
    matchTape = MatchTape{};
    setRandomState(fight.random); // the game's draws go on from where the fight's ended
    restoreAfterOnline(kept);
}

// Online play without the network: two rollback sessions in one process, player one's and
// player two's, each pressing its own pseudo-random keys, exchanging Inputs and Hash packets
// through two network conditioners for a whole match, driven by a virtual clock at a fixed
// frame rate. Both must end on the fight a straight run of the confirmed inputs gives.
#include "game_dir_fixture.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "data/fighter_class.h"
#include "fight/class_choice.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/input_bot.h"
#include "net/conditioner.h"
#include "net/exchange.h"
#include "net/packets.h"
#include "net/rollback.h"
#include "runtime/headless.h"

namespace {
constexpr int64_t kFrameRate = 60;
constexpr double kFrameMs = 1000.0 / kFrameRate;
constexpr int64_t kFrameLimit = 90 * kFrameRate;   // a match with no knock-out ends here
constexpr int64_t kAfterKnockOut = 2 * kFrameRate; // the loser's fall, played on after a knock-out

// One side of the match: its session, its player's keys and the link towards the other side.
struct Peer {
    RollbackSession session;
    InputBot player;
    Conditioner outgoing;
    int64_t endFrame = kFrameLimit;
};

void send(Peer& peer, double nowMs, bool encoded, const PacketBytes& bytes) {
    ASSERT_TRUE(encoded);
    sendThrough(peer.outgoing, nowMs, bytes);
}

// The packets the other side sent that arrive by nowMs.
void receive(Peer& peer, Peer& other, double nowMs) {
    for (const PacketBytes& bytes : deliverDue(other.outgoing, nowMs)) {
        Packet packet;
        std::string reason;
        ASSERT_TRUE(decodePacket(bytes, packet, reason)) << reason;
        if (packet.kind == kPacketInputs) receiveInputs(peer.session, packet.inputs);
        if (packet.kind == kPacketHash) receiveHash(peer.session, packet.hash);
    }
}

// One frame of the clock for one side: what arrived, the player's keys, a step, and the
// unacknowledged inputs and newest hash sent.
void tick(Peer& peer, Peer& other, double nowMs) {
    receive(peer, other, nowMs);
    RollbackSession& s = peer.session;
    if (s.knockOutFrame >= 0)
        peer.endFrame = std::min(kFrameLimit, s.knockOutFrame + kAfterKnockOut);
    if (s.currentFrame < peer.endFrame) {
        addLocalInput(s, inputBotActions(peer.player, stateAfter(s, s.currentFrame), s.localPlayer));
        stepSession(s);
    }
    PacketBytes bytes;
    send(peer, nowMs, encodeInputs(inputsToSend(s), bytes), bytes);
    HashPacket hash;
    if (newestHash(s, hash)) send(peer, nowMs, encodeHash(hash, bytes), bytes);
}

struct LinkCase {
    double latencyMs, jitterMs;
};

struct NetRollbackTest : GeneratedGameTest {
    FightState start;
    const Stage* stage = nullptr;
    double factor = 50.0 / double(kFrameRate);
    std::array<Peer, 2> peers;

    // A two-player match without bots, set up as the game does (the intro and one fight frame),
    // taken as the start of online play.
    void SetUp() override {
        GeneratedGameTest::SetUp();
        if (IsSkipped()) return;
        startUndrawnGame(factor);
        seedRandom(5);
        chooseClass(fight, playerOne, classAt(4), 0);
        chooseClass(fight, playerTwo, classAt(1), 0);
        for (Fighter* f : {&playerOne, &playerTwo}) {
            removeBot(fight, *f);
            f->botLevel = 0;
        }
        stage = &stageList[1];
        playOneFightFrame(&stageList[1]);
        start = fight;
    }

    void connect(const LinkCase& link, uint64_t seed) {
        for (int64_t side = 0; side < 2; ++side) {
            Peer& peer = peers[size_t(side)];
            peer = Peer{};
            startSession(peer.session, start, stage, side, kDefaultInputDelay, kFrameRate);
            startInputBot(peer.player, seed * 2 + uint64_t(side));
            ConditionerSettings settings;
            settings.latencyMs = link.latencyMs;
            settings.jitterMs = link.jitterMs;
            settings.lossPercent = 5;
            settings.duplicatePercent = 3;
            settings.reorderPercent = 3;
            settings.seed = seed * 7 + uint64_t(side) + 1;
            startConditioner(peer.outgoing, settings);
        }
    }

    bool finished() const {
        for (const Peer& p : peers)
            if (p.session.confirmedFrame < p.endFrame) return false;
        return true;
    }

    // Plays until both sides have confirmed their last frame, or `stopWhen` says so; `each`
    // runs after every tick. Returns the ticks played.
    template <typename Stop, typename Each> int64_t play(Stop stopWhen, Each each) {
        int64_t ticks = 0;
        while (!finished() && !stopWhen() && ticks < 4 * kFrameLimit) {
            double now = double(ticks) * kFrameMs;
            tick(peers[0], peers[1], now);
            tick(peers[1], peers[0], now);
            each();
            ticks += 1;
        }
        return ticks;
    }

    // The fight after `frames` frames stepped straight from the start with both players'
    // confirmed inputs, as player one's side has them.
    uint64_t straightHash(int64_t frames) {
        const RollbackSession& one = peers[0].session;
        fight = start;
        for (int64_t frame = 0; frame < frames; ++frame) {
            std::array<Actions, 2> actions = {unpackActions(one.localInputs[size_t(frame)]),
                                              unpackActions(one.remoteInputs[size_t(frame)])};
            stepFight(fight, stage, actions, factor, factor);
        }
        return fightHash(fight);
    }
};

void printFigures(const char* name, const Peer& peer, int64_t ticks) {
    const RollbackSession& s = peer.session;
    double seconds = double(s.currentFrame) / double(kFrameRate);
    std::printf("[ figures  ] %s: %lld frames in %lld ticks, %.2f rollbacks/s, %lld frames "
                "stepped again, longest rollback %lld frames, %lld waits; link: %lld sent, "
                "%lld lost, %lld doubled, %lld overtaken\n",
                name, (long long)s.currentFrame, (long long)ticks, double(s.rollbacks) / seconds,
                (long long)s.framesResimulated, (long long)s.longestRollback, (long long)s.waits,
                (long long)peer.outgoing.sent, (long long)peer.outgoing.lost,
                (long long)peer.outgoing.duplicated, (long long)peer.outgoing.overtaken);
}
} // namespace

// A whole match at 0, 60 and 150 ms one way (with jitter, 5 % loss, duplicates and
// reordering): both sides end on the same fight, the one the confirmed inputs give when
// stepped straight from the start, with no desync; over a real link the sides roll back, never
// more than kMaxPredictedFrames frames.
TEST_F(NetRollbackTest, BothSidesEndOnTheFightTheConfirmedInputsGive) {
    for (LinkCase link : {LinkCase{0, 4}, LinkCase{60, 12}, LinkCase{150, 25}}) {
        SCOPED_TRACE(testing::Message() << link.latencyMs << " ms");
        connect(link, uint64_t(link.latencyMs) + 3);
        int64_t ticks = play([] { return false; }, [] {});
        ASSERT_TRUE(finished()) << "the match did not end in " << ticks << " ticks";
        RollbackSession& one = peers[0].session;
        RollbackSession& two = peers[1].session;
        int64_t end = peers[0].endFrame;
        ASSERT_EQ(peers[1].endFrame, end);
        EXPECT_EQ(one.desyncFrame, -1);
        EXPECT_EQ(two.desyncFrame, -1);
        EXPECT_EQ(one.knockOutFrame, two.knockOutFrame);
        EXPECT_EQ(one.knockOutResult, two.knockOutResult);
        // Each side's own inputs are what the other side received.
        for (int64_t frame = 0; frame < end; ++frame) {
            ASSERT_EQ(one.localInputs[size_t(frame)], two.remoteInputs[size_t(frame)]) << frame;
            ASSERT_EQ(two.localInputs[size_t(frame)], one.remoteInputs[size_t(frame)]) << frame;
        }
        uint64_t hashOne = fightHash(stateAfter(one, end));
        EXPECT_EQ(hashOne, fightHash(stateAfter(two, end)));
        EXPECT_EQ(hashOne, straightHash(end));
        EXPECT_LE(one.longestRollback, kMaxPredictedFrames);
        EXPECT_LE(two.longestRollback, kMaxPredictedFrames);
        if (link.latencyMs > 0) {
            EXPECT_GT(one.rollbacks, 0);
            EXPECT_GT(two.rollbacks, 0);
        }
        std::printf("[ figures  ] %.0f ms (jitter %.0f ms): %s at frame %lld\n", link.latencyMs,
                    link.jitterMs, one.knockOutFrame >= 0 ? "knock-out" : "no knock-out, ended",
                    (long long)(one.knockOutFrame >= 0 ? one.knockOutFrame : end));
        printFigures("  player one", peers[0], ticks);
        printFigures("  player two", peers[1], ticks);
    }
}

// One side's fight is changed behind its back (every state it keeps from its last confirmed
// frame on): both sides report a desync at the first compared frame after it.
TEST_F(NetRollbackTest, ACorruptedFightIsReportedAsADesyncAtItsFrame) {
    connect({60, 12}, 9);
    int64_t corruptedAfter = -1;
    play([&] { return peers[0].session.desyncFrame >= 0 && peers[1].session.desyncFrame >= 0; },
         [&] {
             RollbackSession& two = peers[1].session;
             if (corruptedAfter >= 0 || two.currentFrame < 200) return;
             corruptedAfter = two.confirmedFrame;
             for (int64_t frame = two.confirmedFrame; frame <= two.currentFrame; ++frame) {
                 Fighter& hurt = stateAfter(two, frame).players[0];
                 ASSERT_GT(hurt.life, 1);
                 hurt.life -= 1;
             }
         });
    ASSERT_GE(corruptedAfter, 0);
    int64_t expected = (corruptedAfter / kHashInterval + 1) * kHashInterval;
    EXPECT_EQ(peers[0].session.desyncFrame, expected);
    EXPECT_EQ(peers[1].session.desyncFrame, expected);
}

// With no input from the other side a session steps kMaxPredictedFrames frames, then waits;
// inputs that differ from the first predicted frame on roll the whole way back. Prints what
// such a full rollback costs.
TEST_F(NetRollbackTest, AFullRollbackStepsEveryPredictedFrameAgain) {
    RollbackSession session;
    startSession(session, start, stage, 0, kDefaultInputDelay, kFrameRate);
    Actions walk;
    walk.right = true;
    for (int64_t i = 0; i < kMaxPredictedFrames; ++i) {
        addLocalInput(session, walk);
        ASSERT_TRUE(stepSession(session).stepped);
    }
    addLocalInput(session, walk);
    EXPECT_FALSE(stepSession(session).stepped);
    EXPECT_EQ(session.waits, 1);
    EXPECT_EQ(session.confirmedFrame, 0);

    Actions jump;
    jump.jump = jump.left = true;
    std::vector<Actions> late(size_t(kMaxPredictedFrames), jump);
    constexpr int kRepeats = 200;
    double seconds = 0;
    RollbackSession rolled;
    for (int i = 0; i < kRepeats; ++i) {
        rolled = session;
        auto begin = std::chrono::steady_clock::now();
        addRemoteInputs(rolled, 0, late);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    }
    EXPECT_EQ(rolled.rollbacks, 1);
    EXPECT_EQ(rolled.longestRollback, kMaxPredictedFrames);
    EXPECT_EQ(rolled.confirmedFrame, kMaxPredictedFrames);
    // Rolled back, the session is where the late inputs lead from the start.
    fight = start;
    for (int64_t frame = 0; frame < kMaxPredictedFrames; ++frame)
        stepFight(fight, stage, {unpackActions(rolled.localInputs[size_t(frame)]), jump}, factor, factor);
    EXPECT_EQ(fightHash(stateAfter(rolled, kMaxPredictedFrames)), fightHash(fight));
    EXPECT_NE(fightHash(stateAfter(rolled, kMaxPredictedFrames)),
              fightHash(stateAfter(session, kMaxPredictedFrames)));
    std::printf("[ figures  ] one full rollback of %lld frames: %.1f us\n",
                (long long)kMaxPredictedFrames, seconds / kRepeats * 1e6);
}

// The re-stepped frames leave their events behind: only stepSession's newest frame is played.
TEST_F(NetRollbackTest, FramesSteppedAgainLeaveTheNewestEventsAsTheyWere) {
    RollbackSession session;
    startSession(session, start, stage, 1, 0, kFrameRate);
    Actions attack;
    attack.neutral = true;
    for (int64_t i = 0; i < 4; ++i) {
        addLocalInput(session, attack);
        ASSERT_TRUE(stepSession(session).stepped);
    }
    size_t sounds = session.newestEvents.sounds.size();
    size_t effects = session.newestEvents.effects.size();
    Actions jump;
    jump.jump = true;
    addRemoteInputs(session, 0, {jump, jump});
    EXPECT_EQ(session.rollbacks, 1);
    EXPECT_EQ(session.newestEvents.sounds.size(), sounds);
    EXPECT_EQ(session.newestEvents.effects.size(), effects);
}

// Duplicated, late and far-off inputs: the first copy of a frame stands, and frames beyond the
// window are dropped unkept.
// A session steps the states it keeps, never the game's own fight: two sessions (or a session
// and a match) can live side by side.
TEST_F(NetRollbackTest, ASessionStepsItsOwnStatesAndLeavesTheGamesFightAlone) {
    RollbackSession s;
    startSession(s, start, stage, 0, 0, kFrameRate);
    fight = FightState{};
    uint64_t untouched = fightHash(fight);
    Actions walk;
    walk.left = true;
    // As far as the session predicts without the peer's inputs.
    for (int frame = 0; frame < kMaxPredictedFrames; ++frame) {
        ASSERT_GE(addLocalInput(s, walk), 0);
        ASSERT_TRUE(stepSession(s).stepped);
    }
    EXPECT_EQ(fightHash(fight), untouched);
    EXPECT_EQ(s.currentFrame, kMaxPredictedFrames);
    EXPECT_NE(fightHash(stateAfter(s, kMaxPredictedFrames)), fightHash(start));
    EXPECT_EQ(stateAfter(s, kMaxPredictedFrames).frame, start.frame + kMaxPredictedFrames);
}

TEST_F(NetRollbackTest, DuplicatesAndFarOffFramesChangeNothing) {
    RollbackSession session;
    startSession(session, start, stage, 0, kDefaultInputDelay, kFrameRate);
    Actions jump;
    jump.jump = true;
    EXPECT_EQ(addRemoteInputs(session, 0, {jump, {}}), 2);
    EXPECT_EQ(addRemoteInputs(session, 0, {{}, jump, jump}), 1);
    EXPECT_EQ(session.remoteContiguous, 3);
    EXPECT_EQ(session.remoteInputs[0], packActions(jump));
    EXPECT_EQ(addRemoteInputs(session, kMaxWireFrame - 2, {jump, jump}), 0);
    EXPECT_EQ(session.remoteInputs.size(), 3u);
    addRemoteHash(session, kMaxWireFrame / kHashInterval * kHashInterval, 1);
    EXPECT_TRUE(session.remoteHashes.empty());
    // A late packet of the match before acknowledges inputs this match has not made: it is
    // dropped whole, and the first inputs are still sent.
    InputsPacket late;
    late.ack = 119;
    late.firstFrame = 3;
    late.actions = {jump};
    receiveInputs(session, late);
    EXPECT_EQ(session.peerAck, kNoFrame);
    EXPECT_EQ(session.remoteContiguous, 3);
    EXPECT_EQ(inputsToSend(session).firstFrame, 0);
}

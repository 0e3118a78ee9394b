// The training room through its real frame loop: the way in from the main menu, the dummy's
// behaviours and recording, pause and frame step, life refill, reset and knock-outs, the
// panels on screen, and the frame data it measures against the computed one.
#include "journey_fixture.h"
#include "screen_sizes.h"

#include <cmath>

#include "data/fighter_class.h"
#include "fight/bot.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/frame_data.h"
#include "input/keys.h"
#include "practice/training.h"
#include "practice/training_watch.h"
#include "runtime/images.h"
#include "settings/pacing.h"

namespace {
constexpr int64_t kP = 25; // player one's neutral key
using Screens = std::vector<std::string>;

struct TrainingRoomTest : JourneyTest {
    std::vector<std::function<void(int64_t)>> watchers;
    void SetUp() override {
        JourneyTest::SetUp();
        if (IsSkipped()) return;
        trainingRoom = TrainingRoom{};
    }
    // The room's toggles last while the game runs, and the match hooks while the process runs:
    // later tests in this process start without them.
    void TearDown() override {
        trainingRoom = TrainingRoom{};
        matchHooks = MatchHooks{};
        JourneyTest::TearDown();
    }
    // The room entered directly after start-up, for `frames` passes (then it fades out).
    void runRoom(int64_t frames, const std::function<void()>& script,
                 const std::function<void(int64_t)>& watch) {
        startUp();
        removeBot(fight, playerOne);
        removeBot(fight, playerTwo);
        matchHooks = MatchHooks{};
        matchHooks.maxFightFrames = frames;
        matchHooks.afterFightFrame = watch;
        script();
        runTrainingRoom(game, &stageList[0]);
    }
};

Actions left() {
    Actions a;
    a.left = true;
    return a;
}
} // namespace

TEST_F(TrainingRoomTest, ReachedThroughTheTutorialAndLeftWithEscape) {
    journey.on("main menu", 0, [] {
        for (int i = 0; i < 4; ++i) tap(25 + 3 * i, kKeyDown);
        tap(40, kKeyReturn);
    });
    journey.on("tutorial", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn);
    });
    journey.on("class selection", 0, [] {
        tap(25, kKeyRight);
        tap(28, kKeyReturn); // the player: the second class
        tap(31, kKeyReturn); // the dummy: the same cursor
    });
    journey.on("stage selection", 0, [] { tap(25, kKeyReturn); });
    int64_t passes = 0;
    journey.on("training", 0, [&] {
        matchHooks.afterFightFrame = [&](int64_t pass) { passes = pass + 1; };
        tap(30, kTrainingBehaviourKey); // the dummy walks
        tap(200, kKeyEscape);
    });
    journey.on("tutorial", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(journey.screens, (Screens{"main menu", "tutorial", "class selection", "stage selection",
                                        "training", "tutorial", "main menu"}));
    // Escape fades out over 20 frames; no end of match, no intro.
    EXPECT_GE(passes, 200);
    EXPECT_LT(passes, 240);
    EXPECT_EQ(trainingRoom.behaviour, kDummyWalk);
    EXPECT_EQ(playerOne.fighterClass->id, selectableClasses[1]);
    EXPECT_FALSE(botActive(fight, playerTwo)); // the room's bot does not outlive it
}

TEST_F(TrainingRoomTest, PauseHoldsTheFightAndTheStepKeyAdvancesOneFrame) {
    std::vector<int64_t> frames;
    runRoom(
        120,
        [] {
            tap(10, kTrainingPauseKey);
            tap(40, kTrainingStepKey);
            tap(60, kTrainingStepKey);
            tap(90, kTrainingPauseKey);
        },
        [&](int64_t) { frames.push_back(fight.frame); });
    ASSERT_GE(frames.size(), 110u);
    // Paused from the release of the key (frame 11) until it is pressed again (frame 91).
    int64_t paused = frames[20];
    EXPECT_EQ(frames[30], paused);
    EXPECT_EQ(frames[50], paused + 1);
    EXPECT_EQ(frames[80], paused + 2);
    EXPECT_GT(frames[105], paused + 10);
}

TEST_F(TrainingRoomTest, TheDummyStandsWalksJumpsAndIsDrivenByTheBot) {
    std::vector<float> xs;
    std::vector<int64_t> grounded, levels;
    runRoom(
        400,
        [] {
            tap(50, kTrainingBehaviourKey);  // walk
            tap(150, kTrainingBehaviourKey); // jump
            tap(250, kTrainingBehaviourKey); // the bot at Easy
        },
        [&](int64_t) {
            xs.push_back(playerTwo.position.x);
            grounded.push_back(playerTwo.onGround);
            levels.push_back(botActive(fight, playerTwo) ? playerTwo.botLevel : 0);
        });
    ASSERT_GE(xs.size(), 380u);
    EXPECT_EQ(xs[10], xs[45]);                 // standing
    EXPECT_NE(xs[60], xs[100]);                // walking one way...
    float far = xs[100];
    EXPECT_NE(xs[140], far);                   // ...and back
    int64_t airborne = 0;
    for (size_t i = 160; i < 250; ++i) airborne += grounded[i] == 0;
    EXPECT_GT(airborne, 20);                   // jumping
    EXPECT_EQ(levels[240], 0);
    EXPECT_EQ(levels[300], 1);                 // the Easy bot
}

TEST_F(TrainingRoomTest, TheRecordedDummyActionsLoopAndPlayerOneStandsWhileRecording) {
    std::vector<float> oneX, twoX;
    runRoom(
        500,
        [] {
            tap(20, kTrainingRecordKey);
            tap(40, kKeyLeft, 60);           // player one drives the dummy left for 60 frames
            tap(120, kTrainingRecordKey);    // a recording of about 100 frames
            tap(140, kTrainingResetKey);
            tap(150, kTrainingPlayKey);
        },
        [&](int64_t) {
            oneX.push_back(playerOne.position.x);
            twoX.push_back(playerTwo.position.x);
        });
    ASSERT_GE(oneX.size(), 480u);
    EXPECT_EQ(oneX[30], oneX[110]);  // player one stood while recording
    EXPECT_NE(twoX[30], twoX[110]);  // the dummy walked
    EXPECT_EQ(trainingRoom.behaviour, kDummyPlayback);
    EXPECT_NEAR(trainingRoom.recording.ticks, 100, 2);
    // Played back from the start position: the same walk, and again (until the stage's edge
    // holds the dummy) once the loop starts over.
    float start = twoX[145];
    float walkedWhileRecording = twoX[110] - twoX[30];
    float firstLoop = twoX[150 + 100] - start, secondLoop = twoX[150 + 200] - twoX[150 + 100];
    EXPECT_NEAR(firstLoop, walkedWhileRecording, 40);
    EXPECT_LT(secondLoop, -5);
}

TEST_F(TrainingRoomTest, LifeRefillsAfterAComboAndAKnockOutStartsAgain) {
    std::vector<int64_t> lives;
    int64_t knockedOutAt = -1;
    std::vector<float> oneX;
    runRoom(
        400,
        [] {
            tap(10, kP);
            tap(200, kTrainingRefillKey); // off
            tap(210, kP);
        },
        [&](int64_t pass) {
            if (pass == 0 || pass == 200) playerTwo.position.x = playerOne.position.x - 120;
            if (pass == 280) {
                playerTwo.life = 0; // knocked out
                knockedOutAt = pass;
            }
            lives.push_back(playerTwo.life);
            oneX.push_back(playerOne.position.x);
        });
    ASSERT_GE(lives.size(), 400u);
    int64_t full = lives[0];
    int64_t lowest = *std::min_element(lives.begin(), lives.begin() + 190);
    EXPECT_LT(lowest, full) << "the attack touched the dummy";
    EXPECT_EQ(lives[190], full) << "refilled once the combo was over";
    EXPECT_LT(lives[275], full) << "refill off: the damage stays";
    EXPECT_EQ(lives[399], full) << "two seconds after the knock-out both start again";
    EXPECT_EQ(oneX[399], oneX[1]);
}

TEST_F(TrainingRoomTest, TheMeasuredFrameDataIsTheComputedOne) {
    AttackMeasure measure;
    Stat attacker, defender;
    runRoom(
        200,
        [] {
            // At 50 frames per second with no fraction of a tick carried, every frame is one
            // tick of the fighter update, as the computation counts them.
            applyFpsMode(1);
            playerOne.tickAccumulator = playerTwo.tickAccumulator = 0;
            tap(10, kP);
        },
        [&](int64_t pass) {
            if (pass == 0) playerTwo.position.x = playerOne.position.x - 120;
            // The press is let go of at once: nothing left buffered to chain a follow-up.
            if (playerOne.attacking) playerOne.input = {};
            if (trainingRoom.measure.complete && !measure.attack) {
                measure = trainingRoom.measure;
                attacker = effectiveStat(playerOne);
                defender = effectiveStat(playerTwo);
            }
        });
    ASSERT_TRUE(measure.attack);
    ASSERT_GE(measure.hitTick, 0) << "the attack touched the dummy";
    AttackFrameData computed = attackFrameData(*measure.attack, attacker, defender);
    MeasuredFigures measured = measuredFigures(measure);
    EXPECT_EQ(measured.startup, computed.startup);
    EXPECT_EQ(measured.active, computed.active);
    EXPECT_EQ(measured.recovery, computed.recovery);
    EXPECT_EQ(measured.total, computed.total);
    EXPECT_EQ(measure.stun, computed.stunOnHit);
    ASSERT_TRUE(measured.advantageKnown);
    EXPECT_EQ(measured.advantage, computed.advantageOnHit);
}

// The panels, all on, over a fight in which player one has just attacked; looked at by hand
// (QRX_KEEP_SCREENSHOTS) and checked for the panels' backing boxes where they stand.
struct TrainingScreens : TrainingRoomTest, testing::WithParamInterface<Resolution> {};

TEST_P(TrainingScreens, AllPanelsAreOnScreen) {
    auto [width, height] = GetParam();
    options.desktopWidth = width;
    options.desktopHeight = height;
    options.nullRenderer = false;
    std::string shot = "training_" + std::to_string(width) + "x" + std::to_string(height) + ".png";
    Bitmap screen;
    runRoom(
        160,
        [&] {
            tap(5, kTrainingHitMasksKey);
            tap(20, kKeyLeft, 8);
            tap(30, kP);
            tap(31, kKeyDown, 3);
            tap(40, kP);
        },
        [&](int64_t pass) {
            if (pass == 0) playerTwo.position.x = playerOne.position.x - 120;
            if (pass == 120) {
                saveScreenshot(shot);
                readScreen(screen);
            }
        });
    keepScreenshots({shot});
    ASSERT_EQ(screen.width, width);
    // The backing boxes darken the stage under the input history (left) and the frame data
    // (right), well inside the screen.
    auto dark = [&](int x, int y) {
        uint32_t p = screen.pixels[size_t(y * screen.width + x)];
        return ((p >> 16) & 255) < 100 && ((p >> 8) & 255) < 100 && (p & 255) < 100;
    };
    EXPECT_TRUE(dark(12, 200));
    EXPECT_TRUE(dark(width - 18, 250));
    EXPECT_FALSE(trainingRoom.history.entries.empty());
    EXPECT_TRUE(trainingRoom.measure.attack);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TrainingScreens, testing::Values(kCommonScreen, kWideScreen),
                         screenSizeName);

TEST(TrainingWatch, InputHistoryCountsFramesAndKeepsSixteen) {
    InputHistory h;
    Actions none, l = left(), lp = left();
    lp.neutral = true;
    noteInput(h, l);
    noteInput(h, l);
    noteInput(h, lp);
    noteInput(h, none);
    noteInput(h, lp); // after a frame with nothing held: a new entry
    ASSERT_EQ(h.entries.size(), 3u);
    EXPECT_EQ(h.entries[0].frames, 1);
    EXPECT_EQ(h.entries[1].frames, 1);
    EXPECT_EQ(h.entries[2].frames, 2);
    EXPECT_TRUE(h.entries[2].actions.left && !h.entries[2].actions.neutral);
    for (int i = 0; i < 40; ++i) {
        noteInput(h, i % 2 ? l : lp);
    }
    EXPECT_EQ(h.entries.size(), kInputHistoryLength);
}

TEST(TrainingWatch, ARecordingStopsAtTenSecondsAndPlaysBackMirroredOnTheOtherSide) {
    DummyRecording r;
    r.recording = true;
    int frames = 0;
    while (recordDummyStep(r, left(), 0.5, 0)) ++frames; // 100 frames a second
    EXPECT_EQ(frames, 999); // the 1000th frame of 0.5 ticks fills the 10 s and ends it
    EXPECT_FALSE(r.recording);
    EXPECT_TRUE(playDummyStep(r, 1.0, 0).left);
    Actions mirrored = playDummyStep(r, 1.0, 1);
    EXPECT_TRUE(mirrored.right && !mirrored.left);
    // It loops: after 500 ticks it plays from the start again.
    for (int i = 0; i < 498; ++i) playDummyStep(r, 1.0, 0);
    EXPECT_NEAR(r.playedTicks, 500, 1e-6);
    playDummyStep(r, 1.0, 0);
    EXPECT_NEAR(r.playedTicks, 1, 1e-6);
    DummyRecording empty;
    EXPECT_FALSE(anyAction(playDummyStep(empty, 1.0, 0)));
}

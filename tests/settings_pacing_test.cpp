// Frame pacing: truncated sleeps, the time owed, the measured frame factor (oversleeps, overruns,
// slow motion), game time against real time on a clock of our own, virtual headless time and the
// frame rate table.
#include <gtest/gtest.h>

#include <random>

#include "runtime/headless.h"
#include "runtime/timing.h"
#include "settings/pacing.h"

namespace {
// A clock of the test's own: time passes only when the test says so or a sleep runs.
double nowMs = 1000.0;
double oversleepMs = 0;        // each sleep overruns by this much
std::mt19937_64* oversleepDraws = nullptr; // when set: a random overrun of 0-2 ms instead
std::vector<int64_t> sleeps;   // every sleep asked for, in ms

double testClock() { return nowMs; }
void testSleep(int64_t ms) {
    sleeps.push_back(ms);
    double over = oversleepMs;
    if (oversleepDraws) over = std::uniform_real_distribution<double>(0.0, 2.0)(*oversleepDraws);
    nowMs += double(ms) + over;
}
const TimeSource kTestClock{testClock, testSleep};

// One frame of the game's loops: work of workMs, then the pacing; returns the factor.
double frame(double workMs, bool slow = false) {
    double start = nowMs;
    nowMs += workMs;
    return pacedFrame(start, slow, kTestClock);
}

struct PacingTest : testing::Test {
    void SetUp() override {
        applyFpsMode(6);
        carryMs = 0;
        nowMs = 1000.0;
        oversleepMs = 0;
        oversleepDraws = nullptr;
        sleeps.clear();
    }
    void TearDown() override {
        setTimeSource({});
        clearHeadless();
        oversleepDraws = nullptr;
        applyFpsMode(6);
        carryMs = 0;
    }
};
} // namespace

TEST_F(PacingTest, SleepIsTruncatedAndTheRestOwedToTheNextFrame) {
    // 100 FPS, 4.3 ms of work: 5.7 ms to wait, 5 slept (never 6: a sleep only overruns).
    EXPECT_NEAR(frame(4.3), 9.3 / 20, 1e-9);
    EXPECT_EQ(sleeps, (std::vector<int64_t>{5}));
    EXPECT_NEAR(carryMs, 0.7, 1e-9);
    // The next frame waits 5.7 + 0.7 = 6.4 ms: 6 slept, 0.4 still owed.
    EXPECT_NEAR(frame(4.3), 10.3 / 20, 1e-9);
    EXPECT_EQ(sleeps.back(), 6);
    EXPECT_NEAR(carryMs, 0.4, 1e-9);
    // Over many frames the average frame is the target frame length.
    double begin = nowMs;
    for (int i = 0; i < 100; ++i) frame(4.3);
    EXPECT_NEAR((nowMs - begin) / 100, 10.0, 0.02);
}

TEST_F(PacingTest, OversleepIsTakenIntoTheFactorAndMadeUpLater) {
    oversleepMs = 3.0;
    // 2 ms of work, 8 slept, 3 more overslept: a 13 ms frame is 0.65 ticks, not the nominal 0.5.
    EXPECT_NEAR(frame(2.0), 0.65, 1e-9);
    EXPECT_NEAR(carryMs, -3.0, 1e-9);
    // The next frame sleeps 3 ms less (5 + 3 = 8 ms of sleep, a 10 ms frame).
    EXPECT_NEAR(frame(2.0), 0.5, 1e-9);
    EXPECT_EQ(sleeps, (std::vector<int64_t>{8, 5}));
    EXPECT_NEAR(carryMs, -3.0, 1e-9);
}

TEST_F(PacingTest, TimeOwedStaysWithinHalfAFrame) {
    // Sleeps that overrun by 6 ms at 100 FPS: what is owed stops at 1 - 5 = -4 ms, so that a
    // frame is never cut below half its length (the factor's lower bound would then add time).
    oversleepMs = 6.0;
    for (int i = 0; i < 10; ++i) frame(1.0);
    EXPECT_NEAR(carryMs, -4.0, 1e-9);
    oversleepMs = 0;
    EXPECT_EQ(pacingSleepMs(1.0), 5); // 10 - 4 - 1
    // Short frames (a sleep that returns early) owe at most half a frame.
    for (int i = 0; i < 10; ++i) pacingFactor(1.0, 2.0, false);
    EXPECT_NEAR(carryMs, 5.0, 1e-9);
}

TEST_F(PacingTest, OverrunGivesTheMeasuredFactorWithinBounds) {
    carryMs = 2.5;
    // A 35 ms frame at 100 FPS: no sleep, 1.75 ticks clamped to 2 x 0.5; nothing owed after it.
    EXPECT_NEAR(frame(35.0), 1.0, 1e-9);
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(carryMs, 0.0);
    EXPECT_NEAR(frame(12.0), 0.6, 1e-9);
    EXPECT_NEAR(frame(10.0), 0.5, 1e-9); // no time left: measured 0.5
    EXPECT_TRUE(sleeps.empty());
    // At 240 frames per second a slow frame is still bounded to twice the nominal factor.
    applyFpsMode(10);
    EXPECT_NEAR(frame(100.0), 2 * nominalFrameFactor, 1e-9);
}

TEST_F(PacingTest, SlowMotionDividesByFive) {
    EXPECT_NEAR(frame(4.0, true), 0.1, 1e-9); // 10 ms: 0.5 / 5
    EXPECT_NEAR(frame(35.0, true), 0.2, 1e-9); // clamped to 1.0, then / 5
    oversleepMs = 2.0;
    EXPECT_NEAR(frame(4.0, true), 0.12, 1e-9); // 12 ms: 0.6 / 5
}

// Game time (the factors in ticks of 20 ms, each used by the frame after the one it measured)
// against the clock, with sleeps that overrun 0-2 ms and 0.5-3 ms of work a frame.
TEST_F(PacingTest, GameTimeFollowsRealTime) {
    for (int64_t mode : {1, 6, 10}) {
        applyFpsMode(mode);
        carryMs = 0;
        std::mt19937_64 draws(20240 + uint64_t(mode));
        oversleepDraws = &draws;
        std::uniform_real_distribution<double> work(0.5, 3.0);
        double begin = nowMs, gameMs = 0, factor = nominalFrameFactor;
        const int frames = 2000;
        for (int i = 0; i < frames; ++i) {
            gameMs += factor * 20.0;
            factor = frame(work(draws));
        }
        double realMs = nowMs - begin;
        EXPECT_GT(gameMs / realMs, 0.98) << targetFps << " FPS";
        EXPECT_LT(gameMs / realMs, 1.02) << targetFps << " FPS";
        // And the frame rate is about the one asked for (sleeps of 1 ms on average too much
        // at 240 FPS are paid back by what is owed, within its bound).
        EXPECT_NEAR(double(frames) * 1000.0 / realMs, double(targetFps), 0.1 * double(targetFps))
            << targetFps << " FPS";
    }
}

TEST_F(PacingTest, VirtualHeadlessTimeIsFixed) {
    HeadlessOptions options;
    options.fixedFrameFactor = 0.75;
    setHeadless(options);
    double start = systemTimeMs();
    // The frame takes exactly frameMs on the virtual clock, whenever it started; the factor is
    // the fixed one.
    EXPECT_NEAR(framePacing(start - 50, 0), 0.75, 1e-9);
    EXPECT_NEAR(systemTimeMs() - start, 10.0, 1e-9);
    EXPECT_NEAR(framePacing(start, 1), 0.15, 1e-9);
    EXPECT_NEAR(systemTimeMs() - start, 20.0, 1e-9);
    EXPECT_EQ(carryMs, 0.0);
}

TEST_F(PacingTest, RealTimeHeadlessPacesOnTheClock) {
    HeadlessOptions options;
    options.fixedFrameFactor = 0.75;
    options.realTime = true;
    setHeadless(options);
    setTimeSource(kTestClock);
    oversleepMs = 1.0;
    double start = systemTimeMs();
    nowMs += 3.0;
    // 3 ms of work, 7 slept and 1 overslept: 11 ms measured, the fixed factor unused.
    EXPECT_NEAR(framePacing(start, 0), 0.55, 1e-9);
    EXPECT_EQ(sleeps, (std::vector<int64_t>{7}));
    EXPECT_NEAR(systemTimeMs() - start, 11.0, 1e-9);
    // The virtual clock (the silent mixer's) follows the frames, one frame late.
    double virtualBefore = headlessClockMs();
    start = systemTimeMs();
    nowMs += 1.0;
    EXPECT_NEAR(framePacing(start, 0), 0.5, 1e-9); // 1 + 8 + 1 = 10 ms
    EXPECT_NEAR(headlessClockMs() - virtualBefore, 11.0, 1e-9);
}

TEST_F(PacingTest, FrameRateTableAndCorrections) {
    applyFpsMode(1);
    EXPECT_EQ(targetFps, 50);
    EXPECT_DOUBLE_EQ(nominalFrameFactor, 1.0);
    applyFpsMode(10);
    EXPECT_EQ(targetFps, 240);
    EXPECT_NEAR(frameMs, 1000.0 / 240, 1e-12);
    applyFpsMode(0);
    EXPECT_EQ(fpsMode, 6);
    EXPECT_EQ(targetFps, 100);
    applyFpsMode(-3);
    EXPECT_EQ(fpsMode, 6);
    applyFpsMode(11);
    EXPECT_EQ(fpsMode, 10);
}

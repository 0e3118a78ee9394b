// Frame pacing: sleeping, carrying fractions, overruns and slow motion; the frame rate table.
#include <gtest/gtest.h>

#include "app/pacing.h"

namespace {
struct PacingTest : testing::Test {
    void SetUp() override {
        applyFpsMode(6);
        carryMs = 0;
    }
};
} // namespace

TEST_F(PacingTest, ShortFrameSleepsTheRestAndCarriesTheFraction) {
    int64_t sleepMs = 0;
    EXPECT_DOUBLE_EQ(pacingStep(4.3, false, sleepMs), 0.5);
    EXPECT_EQ(sleepMs, 6); // 5.7 rounded to nearest
    EXPECT_NEAR(carryMs, 0.7, 1e-9);
    // The next such frame carries 1.4: its whole millisecond joins the wait after that.
    pacingStep(4.3, false, sleepMs);
    EXPECT_EQ(sleepMs, 6);
    EXPECT_NEAR(carryMs, 1.4, 1e-9);
    pacingStep(4.3, false, sleepMs);
    EXPECT_EQ(sleepMs, 7); // 5.7 + 1 = 6.7
    EXPECT_NEAR(carryMs, 0.4 + 0.7, 1e-9);
}

TEST_F(PacingTest, OverrunGivesTheMeasuredFactorWithinBounds) {
    int64_t sleepMs = 0;
    carryMs = 0.6;
    EXPECT_DOUBLE_EQ(pacingStep(35.0, false, sleepMs), 1.0); // 1.75 clamped to 2 x 0.5
    EXPECT_EQ(sleepMs, 0);
    EXPECT_EQ(carryMs, 0.0);
    EXPECT_DOUBLE_EQ(pacingStep(12.0, false, sleepMs), 0.6);
    EXPECT_DOUBLE_EQ(pacingStep(10.0, false, sleepMs), 0.5); // no time left: measured 0.5
}

TEST_F(PacingTest, SlowMotionDividesByFive) {
    int64_t sleepMs = 0;
    EXPECT_DOUBLE_EQ(pacingStep(4.3, true, sleepMs), 0.1);
    EXPECT_DOUBLE_EQ(pacingStep(35.0, true, sleepMs), 0.2);
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
    // At 240 frames per second a slow frame is still bounded to twice the nominal factor.
    int64_t sleepMs = 0;
    EXPECT_DOUBLE_EQ(pacingStep(100.0, false, sleepMs), 2 * nominalFrameFactor);
}

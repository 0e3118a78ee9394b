// The same fight at every frame rate: what a released key still does, and how the life gauge
// slides and shakes, measured in game time at 50 to 240 frames per second.
#include "fight_fixture.h"

#include <cmath>

#include "runtime/numbers.h"

namespace {
const double kRates[] = {50, 60, 100, 144, 240};

struct RatesTest : FightTest {
    // The frames that make `ticks` ticks of game time at a frame factor.
    static int frames(double ticks, double f) { return int(std::lround(ticks / f)); }
};
} // namespace

// After a walk key is let go the fighter keeps walking for one tick, as near as whole frames
// allow: the same distance at 50, 100, 200 and 240 frames per second, and never more than half
// a frame's walk away from it at the rates between.
TEST_F(RatesTest, AReleasedWalkKeyWalksOneTickAtEveryRate) {
    for (double fps : {50, 60, 70, 80, 90, 100, 120, 144, 200, 240}) {
        double f = 50.0 / fps;
        fighter.position = {1000, 0};
        fighter.velocity = {};
        setAnimation(fight, fighter, cls->idle);
        run(frames(20, f), f, {kInputRight});
        float released = fighter.position.x;
        run(frames(10, f), f);
        double after = double(fighter.position.x - released);
        // One tick at the walk speed of 30 pixels per tick.
        double tolerance = (fps == 50 || fps == 100 || fps >= 200) ? 0.05 * 30 : 30 * f / 2 + 1e-3;
        EXPECT_NEAR(after, 30.0, tolerance) << fps << " frames per second";
        EXPECT_EQ(animationType(fighter), 1) << fps;
    }
}

// An attack pressed for one frame is remembered for the same game time at every rate.
TEST_F(RatesTest, ABufferedAttackLastsTheSameGameTime) {
    for (double fps : kRates) {
        double f = 50.0 / fps;
        fighter.input = {};
        fighter.input[kInputLight] = heldCounter(10, f);
        int pressed = 0;
        for (int i = 0; i < 100 && fighter.input[kInputLight] > 0; ++i) {
            fighter.cooldown = 100; // held in idle: nothing uses the press up
            updateFighter(fight, fighter, &stage, f, f);
            pressed += 1;
        }
        // The frame of the press and nine ticks after it.
        EXPECT_NEAR(pressed * f, 9.0 + f, f / 2 + 1e-9) << fps << " frames per second";
    }
}

// A loss slides down the gauge at one pixel per update (per tick under the first rules), and
// the shake takes a new offset once per tick, whatever the frame rate.
TEST_F(RatesTest, TheGaugeSlidesPerUpdateAndShakesPerTick) {
    for (int64_t rules : {kFightRules, int64_t(1)}) {
        fight.setup.rules = rules;
        for (double fps : kRates) {
            double f = 50.0 / fps;
            fighter.life = 200;
            resetLifeGauge(fighter);
            fighter.life = 150;        // 100 px to slide down
            fighter.regenCount = 1000; // no life comes back meanwhile
            fighter.cooldown = 1e9;    // held in idle for the whole test
            fighter.damageFlash = 1000;
            int updates = 0, offsets = 0;
            Vec2 previous = fighter.lifeBar.shake;
            do {
                int64_t flashBefore = fighter.damageFlash; // lowered by 1 per completed tick
                updateFighter(fight, fighter, &stage, f, f);
                Vec2 shake = fighter.lifeBar.shake;
                bool moved = shake.x != previous.x || shake.y != previous.y;
                offsets += moved;
                // An offset changes only in an update that completed a tick.
                if (flashBefore == fighter.damageFlash) {
                    EXPECT_FALSE(moved) << fps;
                }
                previous = shake;
                updates += 1;
            } while (roundToInt(fighter.lifeBar.mainShown) != fighter.lifeBar.mainTarget &&
                     updates < 5000);
            EXPECT_EQ(fighter.lifeBar.mainTarget, 100);
            if (rules == 1) {
                EXPECT_NEAR(updates * f, 100.0, 1.0) << fps << " frames per second";
            } else {
                EXPECT_EQ(updates, 100) << fps << " frames per second";
            }
            double ticks = updates * f; // about one offset a tick
            EXPECT_LE(offsets, ticks + 1) << fps;
            EXPECT_GE(offsets, 0.9 * ticks - 1) << fps;
        }
    }
}

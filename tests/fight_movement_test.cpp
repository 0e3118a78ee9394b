// Walking, jumping, landing, limits and facing, at several frame rates.
#include "game_fight.h"
#include "fight_fixture.h"

#include <cmath>

using MovementTest = FightTest;

TEST_F(MovementTest, WalkSpeedFollowsSpeedWeightAndStrength) {
    EXPECT_EQ(walkSpeed(fighter), 30);
    setStats(Stat{5, 5, 5, 9, 5, 5, 5, -1, -1, 3, 3}); // weight 9, strength 5
    EXPECT_EQ(walkSpeed(fighter), 26);
    EXPECT_EQ(jumpImpulse(fighter), 2 * 5 + 2 * 9 + 40);
    setStats(Stat{5, 5, 5, 5, 5, 5, 5, -1, -1, 3, 3});
    // At 50 frames per second a held key settles at 30 pixels per tick.
    run(20, 1.0, {kInputLeft});
    float before = fighter.position.x;
    run(1, 1.0, {kInputLeft});
    EXPECT_NEAR(before - fighter.position.x, 30.0, 0.01);
    EXPECT_EQ(animationType(fighter), 2); // facing left, walking left: forward
}

TEST_F(MovementTest, JumpStartsAtMinusSixtyAndPeaksAfterThirteenTicks) {
    run(1, 1.0, {kInputJump});
    EXPECT_EQ(fighter.moveState.jumping, 1);
    EXPECT_EQ(animationType(fighter), 12);
    // The first update already had its gravity: -60 + 4.5.
    EXPECT_FLOAT_EQ(fighter.velocity.y, -60.0f + 4.5f);
    int peakTick = 1;
    float highest = fighter.position.y;
    for (int tick = 2; tick < 40; ++tick) {
        run(1, 1.0);
        if (fighter.position.y < highest) {
            highest = fighter.position.y;
            peakTick = tick;
        }
    }
    EXPECT_EQ(peakTick, 13);
    EXPECT_NEAR(highest, -60 * 13 + 4.5 * 13 * 14 / 2, 0.5);
    EXPECT_EQ(fighter.position.y, 0.0f); // landed again
    EXPECT_EQ(fighter.onGround, 1);
}

TEST_F(MovementTest, LandingAtEightIsHardWhileGravityCallsItSoft) {
    // Landing step: a jumping fighter found below the line with a speed of exactly 8.
    fighter.moveState.jumping = 1;
    fighter.position.y = 3;
    fighter.velocity.y = 8;
    land(fight, fighter);
    EXPECT_EQ(animationType(fighter), 13); // hard: the land animation
    EXPECT_GT(fight.screenShake.y, 0.0f);
    // Gravity step: a falling fighter below the line with 8 after gravity is soft.
    fight.screenShake = {};
    setAnimation(fight, fighter, cls->jump);
    fighter.falling = 1;
    fighter.position.y = 3;
    fighter.velocity.y = 8.0f - 4.5f;
    applyGravity(fight, fighter, 1.0);
    EXPECT_EQ(animationType(fighter), 13); // soft: land when not attacking
    EXPECT_EQ(fight.screenShake.y, 0.0f);
    EXPECT_EQ(fighter.velocity.y, 0.0f);
    // Gravity step at 8.5: hard, shake and no change of animation.
    setAnimation(fight, fighter, cls->jump);
    fighter.falling = 1;
    fighter.position.y = 3;
    fighter.velocity.y = 4.0f;
    applyGravity(fight, fighter, 1.0);
    EXPECT_EQ(animationType(fighter), 12);
    EXPECT_GT(fight.screenShake.y, 0.0f);
}

TEST_F(MovementTest, StageLimitsHoldTheFighterWithoutStoppingIt) {
    fighter.position.x = -1000;
    fighter.side = 0;
    fighter.velocity.x = -7;
    applyStageLimits(fighter, &stage);
    EXPECT_EQ(fighter.position.x, float(25 - 450));
    EXPECT_EQ(fighter.velocity.x, -7.0f);
    fighter.side = 1;
    fighter.position.x = 9000;
    applyStageLimits(fighter, &stage);
    EXPECT_EQ(fighter.position.x, float(5975 - 550));
    setAnimation(fight, fighter, nullptr);
    fighter.currentAnimation.type = 11; // spawning: no limits
    fighter.position.x = 9000;
    applyStageLimits(fighter, &stage);
    EXPECT_EQ(fighter.position.x, 9000.0f);
}

TEST_F(MovementTest, FacingTurnsOnlyInIdleWalkAndLand) {
    Fighter other;
    other.position = {500, 0};
    fighter.facing = 0;
    updateSideAndFacing(fighter, other); // the other one is now to the left
    EXPECT_EQ(fighter.side, 0);
    EXPECT_EQ(other.side, 1);
    other.position = {1500, 0};
    fighter.input[kInputLight] = 10;
    run(1, 1.0);
    ASSERT_EQ(animationType(fighter), 4);
    updateSideAndFacing(fighter, other);
    EXPECT_EQ(fighter.side, 1);
    EXPECT_EQ(fighter.facing, 0); // kept during the attack
    fighter.position.x = other.position.x;
    updateSideAndFacing(fighter, other); // equal x: the first fighter gets side 1
    EXPECT_EQ(fighter.side, 1);
}

TEST_F(MovementTest, WalkingAnimationRunsFasterForFasterFighters) {
    setStats(Stat{5, 5, 10, 5, 5, 5, 5, -1, -1, 3, 3});
    setAnimation(fight, fighter, cls->moveFront);
    EXPECT_EQ(frameLengthFor(fighter, fighter.currentAnimation.frames[0]), 4); // 180 / 45
    setStats(Stat{5, 5, 5, 5, 5, 5, 5, -1, -1, 3, 3});
    EXPECT_EQ(frameLengthFor(fighter, fighter.currentAnimation.frames[0]), 6);
    setAnimation(fight, fighter, cls->idle);
    EXPECT_EQ(frameLengthFor(fighter, fighter.currentAnimation.frames[0]), 5);
}

TEST_F(MovementTest, MovedOffTheGroundAFighterFallsAndResetsStandOnTheLine) {
    fighter.position.y = -300;
    fighter.movementApplied = 1; // a frame's movement lifted it
    run(1, 1.0);
    EXPECT_EQ(fighter.falling, 1);
    EXPECT_EQ(fighter.onGround, 0);
    run(30, 1.0);
    EXPECT_EQ(fighter.position.y, 0.0f);
    EXPECT_EQ(fighter.onGround, 1);
    // A reset places the fighter at y 775; its animation puts it back on the line.
    resetFighter(fight, fighter, 1000);
    EXPECT_EQ(fighter.position.y, 0.0f);
    EXPECT_EQ(fighter.position.x, 1000.0f);
}

namespace {
// Walks for a second of game time, then jumps; returns (distance walked, highest point).
std::pair<double, double> walkAndJump(FightTest& t, int64_t fps) {
    double f = 50.0 / double(fps);
    t.fighter.position = {3000, 0};
    t.fighter.velocity = {};
    setAnimation(fight, t.fighter, t.cls->idle);
    t.run(int(fps), f, {kInputRight});
    double walked = t.fighter.position.x - 3000;
    t.run(int(fps / 10), f); // stop
    double highest = 0;
    t.run(1, f, {kInputJump});
    for (int i = 0; i < fps * 2; ++i) {
        t.run(1, f);
        highest = std::min(highest, double(t.fighter.position.y));
    }
    return {walked, highest};
}
} // namespace

TEST_F(MovementTest, SamePaceAtEveryFrameRate) {
    auto [walk50, peak50] = walkAndJump(*this, 50);
    auto [walk100, peak100] = walkAndJump(*this, 100);
    auto [walk240, peak240] = walkAndJump(*this, 240);
    EXPECT_NEAR(walk50, 50 * 30, 40); // about a second at 30 pixels per tick
    // The settled speed is the same; only the first ticks of the walk differ a little.
    EXPECT_NEAR(walk100, walk50, 12);
    EXPECT_NEAR(walk240, walk50, 12);
    EXPECT_NEAR(peak50, -60 * 13 + 4.5 * 13 * 14 / 2, 1);
    EXPECT_NEAR(peak100, peak50, 3);
    EXPECT_NEAR(peak240, peak50, 3);
}

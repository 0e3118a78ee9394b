// Animation playback, attacks, chains, recovery, stun and regeneration.
#include "fight/fight_events.h"
#include "fight_fixture.h"

#include "runtime/colour.h"
#include "runtime/numbers.h"
#include "settings/settings.h"

using AttackTest = FightTest;

TEST_F(AttackTest, BackWinsOverSideAndDownOverUp) {
    fighter.facing = 0; // facing left: left is towards the opponent, right away
    run(1, 1.0, {kInputLight, kInputLeft, kInputRight});
    EXPECT_EQ(animationType(fighter), 6);
    EXPECT_EQ(fighter.comboStance[0], 4);
    EXPECT_EQ(fighter.attacking, 1);
    EXPECT_EQ(fighter.comboStep, 1);
    TearDown();
    SetUp();
    run(1, 1.0, {kInputLight, kInputUp, kInputDown});
    EXPECT_EQ(animationType(fighter), 8);
    EXPECT_EQ(fighter.comboStance[0], 5);
    TearDown();
    SetUp();
    fighter.facing = 1;
    run(1, 1.0, {kInputLight, kInputRight});
    EXPECT_EQ(animationType(fighter), 5); // facing right, right is towards: side
    TearDown();
    SetUp();
    run(1, 1.0, {kInputHeavy});
    EXPECT_EQ(animationType(fighter), 9);
    EXPECT_EQ(fighter.comboStance[0], 6);
}

TEST_F(AttackTest, AStanceWithoutAnAttackStartsNothing) {
    cls->up = nullptr;
    run(1, 1.0, {kInputLight, kInputUp});
    EXPECT_EQ(fighter.attacking, 0);
    EXPECT_EQ(animationType(fighter), 1);
    EXPECT_EQ(fighter.comboStep, 0); // back to 0 at the end of the update
}

TEST_F(AttackTest, RecoveryIsShortenedByAgility) {
    cls->neutral->recovery = 300;
    run(1, 1.0, {kInputLight});
    ASSERT_EQ(fighter.attacking, 1);
    recovery(fight, fighter);
    EXPECT_DOUBLE_EQ(fighter.cooldown, 200.0); // 300 / (5 / 10 + 1)
    EXPECT_EQ(animationType(fighter), 1);
}

TEST_F(AttackTest, AnAttackThatNeverTouchedOnlyRecovers) {
    cls->neutral->recovery = 30;
    cls->neutral->side = makeAnimation(5, {3}, 0, 1);
    run(1, 1.0, {kInputLight});
    // Pressing again all along: at the end no chain, only recovery.
    for (int i = 0; i < 12 && fighter.attacking; ++i) run(1, 1.0, {kInputLight, kInputLeft});
    EXPECT_EQ(animationType(fighter), 1);
    // Recovery 20; the attacking flag drops on the update after, so two ticks have passed.
    EXPECT_DOUBLE_EQ(fighter.cooldown, 20.0 - 2.0);
}

TEST_F(AttackTest, TouchingAttacksChainAndHeavyOverridesLight) {
    Animation* second = makeAnimation(6, {3, 3}, 0, 1);
    Animation* heavyNext = makeAnimation(9, {3, 3}, 0, 1);
    cls->neutral->back = second;
    cls->neutral->heavy = heavyNext;
    cls->neutral->frames[1].canDoNext = 1;
    refreshFollowUpTables();
    run(1, 1.0, {kInputLight});
    // The attack touches: hit resolution would record the defender and the touch.
    fighter.hitList.push_back(99);
    fighter.hitLanded = 1;
    for (int i = 0; i < 5 && animationType(fighter) == 4; ++i)
        run(1, 1.0, {kInputLight, kInputHeavy, kInputRight});
    EXPECT_EQ(animationType(fighter), 9); // heavy wins over the back follow-up
    EXPECT_EQ(fighter.comboStep, 2);
    EXPECT_EQ(fighter.comboStance[0], 1);
    EXPECT_EQ(fighter.comboStance[1], 6);
    EXPECT_TRUE(fighter.hitList.empty());
    EXPECT_EQ(fighter.hitLanded, 0);
}

TEST_F(AttackTest, TwoTouchingAttacksMakeComboStepTwo) {
    cls->side->neutral = makeAnimation(4, {2, 2}, 0, 1);
    refreshFollowUpTables();
    fighter.facing = 0;
    run(1, 1.0, {kInputLight, kInputLeft});
    ASSERT_EQ(animationType(fighter), 5);
    fighter.hitList.push_back(7);
    fighter.hitLanded = 1;
    for (int i = 0; i < 10 && animationType(fighter) == 5; ++i) run(1, 1.0, {kInputLight});
    EXPECT_EQ(animationType(fighter), 4);
    EXPECT_EQ(fighter.comboStep, 2);
    EXPECT_EQ(fighter.comboStance[0], 2);
    EXPECT_EQ(fighter.comboStance[1], 1);
    // No follow-up after the second touch: the combo ends in idle with half the recovery.
    fighter.currentAnimation.recovery = 40;
    fighter.hitLanded = 1;
    for (int i = 0; i < 10 && fighter.attacking; ++i) run(1, 1.0, {kInputLight});
    EXPECT_EQ(fighter.attacking, 0);
    EXPECT_EQ(animationType(fighter), 1);
}

TEST_F(AttackTest, ASixthChainedAttackPlaysButRecordsNothing) {
    Animation* a = cls->neutral;
    for (int i = 0; i < 6; ++i) {
        a->neutral = makeAnimation(4, {1}, 0, 1);
        a = a->neutral;
    }
    refreshFollowUpTables();
    run(1, 1.0, {kInputLight});
    for (int i = 0; i < 60 && fighter.comboStep < 7; ++i) {
        fighter.hitLanded = 1;
        fighter.hitList = {1};
        run(1, 1.0, {kInputLight});
    }
    EXPECT_GE(fighter.comboStep, 6);
    for (int64_t stance : fighter.comboStance) EXPECT_EQ(stance, 1);
}

TEST_F(AttackTest, ZeroLengthFramesPassAtOnceAndLoopsRestartAtLoopStart) {
    Animation* a = makeAnimation(1, {0, 2, 2}, 1);
    a->loopStart = 1;
    cls->idle = a;
    setAnimation(fight, fighter, a);
    run(1, 1.0);
    EXPECT_EQ(fighter.currentAnimation.frameIndex, 0);
    run(1, 1.0);
    EXPECT_EQ(fighter.currentAnimation.frameIndex, 1); // passed as soon as a tick was spent
    run(2, 1.0);
    EXPECT_EQ(fighter.currentAnimation.frameIndex, 2);
    run(2, 1.0);
    EXPECT_EQ(fighter.currentAnimation.frameIndex, 1); // looped to frame 1, not 0
}

TEST_F(AttackTest, StunCountsFramesAndEndsInIdleWithCooldown) {
    Animation* a = makeAnimation(4, {1, 1, 1, 1, 1, 1}, 0, 1);
    setAnimation(fight, fighter, a);
    fighter.attacking = 1;
    fighter.stunFrames = 3;
    fighter.frameTime = 0;
    int updates = 0;
    while (fighter.stunFrames > 0 && updates < 20) {
        run(1, 1.0);
        ++updates;
    }
    EXPECT_EQ(fighter.stunFrames, 0);
    EXPECT_EQ(updates, 5); // two ticks on the first frame, then one frame per tick
    EXPECT_EQ(animationType(fighter), 1);
    EXPECT_NEAR(fighter.cooldown, 10 - 5 - 1.0, 1.0); // 10 - agility, minus the tick
}

TEST_F(AttackTest, RegenerationStopsAt200) {
    fighter.maxLife = 260;
    fighter.life = 199;
    for (int i = 0; i < 500; ++i) run(1, 1.0);
    EXPECT_EQ(fighter.life, 200);
    EXPECT_EQ(fighter.regenCount, 1);
    // Endurence 5: a point about every 101 updates at frame factor 1.
    fighter.life = 100;
    fighter.regenTimer = 0;
    fighter.regenCount = 0;
    run(101, 1.0);
    EXPECT_EQ(fighter.life, 100);
    run(1, 1.0);
    EXPECT_EQ(fighter.life, 101);
}

TEST_F(AttackTest, TwoUpdatesAtHalfFactorMakeOneTick) {
    fighter.input[kInputLight] = 10;
    updateFighter(fight, fighter, &stage, 0.5, 0.5);
    EXPECT_EQ(fighter.frameTime, 0);
    // Input counters run down by the frame's own length, not by whole ticks.
    EXPECT_EQ(fighter.input[kInputLight], 9.5);
    updateFighter(fight, fighter, &stage, 0.5, 0.5);
    EXPECT_EQ(fighter.input[kInputLight], 9);
}

TEST_F(AttackTest, ADeadFighterStaysOnItsLastDeathFrame) {
    cls->death = makeAnimation(10, {2, 2});
    fighter.life = 0;
    run(200, 1.0);
    EXPECT_EQ(animationType(fighter), 10);
    EXPECT_EQ(fighter.currentAnimation.frameIndex, 1);
}

TEST_F(AttackTest, IdleLoopsSometimesPickAnotherIdleAndComeBack) {
    cls->idleOther.push_back(makeAnimation(1, {1}, 1));
    cls->idle = makeAnimation(1, {1}, 1);
    setAnimation(fight, fighter, cls->idle);
    seedRandom(fight.random, 5);
    int other = 0, plain = 0;
    for (int i = 0; i < 600; ++i) {
        run(1, 1.0);
        (fighter.animationSource == cls->idleOther[0] ? other : plain) += 1;
    }
    EXPECT_GT(other, 60);
    EXPECT_GT(plain, 300);
}

// The end of another idle's loop draws again too: one time in three another idle follows.
TEST_F(AttackTest, AnotherIdleMayFollowAnotherIdle) {
    cls->idleOther = {makeAnimation(1, {1}, 1), makeAnimation(1, {1}, 1)};
    cls->idle = makeAnimation(1, {1}, 1);
    setAnimation(fight, fighter, cls->idle);
    seedRandom(fight.random, 7);
    int otherLoops = 0, otherAgain = 0;
    for (int i = 0; i < 900; ++i) {
        bool wasOther = fighter.animationSource != cls->idle;
        int64_t starts = fighter.animationStarts;
        run(1, 1.0);
        if (!wasOther || fighter.animationStarts == starts) continue; // no loop ended
        otherLoops += 1;
        otherAgain += fighter.animationSource != cls->idle;
    }
    ASSERT_GT(otherLoops, 60);
    EXPECT_NEAR(double(otherAgain) / otherLoops, 1.0 / 3, 0.1);
}

// Wind trails take the stance's intensity even when the stance has no colour of its own (the
// colour is then the player's).
TEST_F(AttackTest, WindOfAStanceWithoutColourKeepsItsIntensity) {
    fight.setup.wind = 1;
    Animation* trail = makeAnimation(0, {2});
    cls->neutral->frontWind = WindTable{3, 1, {trail, trail, trail}};
    cls->neutral->backWind = WindTable{3, 1, {trail, trail, trail}};
    cls->stance[0].specialColor = 0;
    cls->stance[0].specialTransparency = 200;
    chooseStance(fighter, 0);
    fighter.color = RGB(1, 2, 3);
    clearFightEvents(fight.events);
    run(1, 1.0, {kInputLight});
    const std::vector<EffectStart>& effects = fight.events.effects;
    ASSERT_EQ(effects.size(), 2u);
    EXPECT_EQ(effects[0].colour, RGB(1, 2, 3));
    EXPECT_EQ(effects[0].intensity, (200 / 4 * 224) / 255); // front
    EXPECT_EQ(effects[1].intensity, (200 / 2 * 224) / 255); // back
}

TEST_F(AttackTest, LifeGaugeShowsGainsAtOnceAndSlidesLosses) {
    fighter.life = 200;
    resetLifeGauge(fighter);
    EXPECT_EQ(fighter.lifeBar.mainTarget, 0); // drawn from the right: 400 - 400
    fighter.life = 190;
    updateLifeGauge(fight, fighter, 1.0, 1);
    EXPECT_EQ(fighter.lifeBar.mainTarget, 20);
    EXPECT_DOUBLE_EQ(fighter.lifeBar.mainShown, 1.0);
    fighter.life = 200;
    updateLifeGauge(fight, fighter, 1.0, 1);
    EXPECT_DOUBLE_EQ(fighter.lifeBar.mainShown, 0.0);
    fighter.life = 260;
    updateLifeGauge(fight, fighter, 1.0, 1);
    EXPECT_EQ(fighter.lifeBar.extraTarget, 400 - 120);
}

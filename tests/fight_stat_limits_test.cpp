// Statistics far outside the usual range (modded data): every fighter still walks, jumps and
// comes down, recovers from its attacks and stuns, and starts a match alive.
#include "fight_fixture.h"

#include <cmath>

namespace {
struct StatLimitsTest : FightTest {
    bool finite() const {
        for (Vec2 v :
             {fighter.position, fighter.velocity, fighter.pushVelocity, fighter.moveVelocity})
            if (!std::isfinite(v.x) || !std::isfinite(v.y)) return false;
        return std::isfinite(fighter.cooldown);
    }
    // Ticks of updates at 100 frames per second until the condition holds (or a limit).
    template <typename Done> int ticksUntil(Done done, int limitTicks = 4000) {
        for (int i = 0; i < 2 * limitTicks; ++i) {
            if (done()) return i / 2;
            run(1, 0.5);
        }
        return -1;
    }
};
} // namespace

TEST_F(StatLimitsTest, EveryStatFromMinusToPlusHundredKeepsTheFighterGoing) {
    cls->neutral->recovery = 30;
    cls->hit.resize(1);
    const int64_t values[] = {-100, -20, -10, -6, -5, -4, 0, 5, 20, 100};
    for (int64_t Stat::*field : {&Stat::speed, &Stat::agility, &Stat::weight, &Stat::strength,
                                 &Stat::life, &Stat::endurence}) {
        for (int64_t value : values) {
            Stat s{5, 5, 5, 5, 5, 5, 5, -1, -1, 3, 3};
            s.*field = value;
            if (field == &Stat::speed) s.weight = 9; // heavier than strong: the slowest walk
            setStats(s);
            SCOPED_TRACE(testing::Message() << "stat value " << value);
            resetFighter(fight, fighter, 1000);
            fighter.position.y = 0;
            ASSERT_GT(fighter.life, 0) << "starts knocked out";
            // Walks both ways.
            ASSERT_GE(ticksUntil([&] { return animationType(fighter) == 1; }), 0);
            float x = fighter.position.x;
            run(100, 0.5, {kInputRight});
            EXPECT_GT(fighter.position.x, x) << "cannot walk";
            run(100, 0.5, {kInputLeft});
            run(20, 0.5);
            ASSERT_TRUE(finite());
            // Jumps and comes down again.
            run(1, 0.5, {kInputJump});
            EXPECT_GE(ticksUntil([&] { return fighter.onGround && fighter.position.y == 0.0f; }), 0)
                << "an endless jump";
            // Recovers from an attack and from a stun, never frozen for ever.
            ASSERT_GE(ticksUntil([&] { return fighter.cooldown <= 0; }), 0);
            run(1, 0.5, {kInputLight});
            EXPECT_GE(ticksUntil([&] { return !fighter.attacking && fighter.cooldown <= 0; }), 0)
                << "frozen after an attack";
            fighter.stunFrames = 2;
            EXPECT_GE(ticksUntil([&] { return fighter.stunFrames <= 0 && fighter.cooldown <= 0; }),
                      0)
                << "frozen after a stun";
            ASSERT_TRUE(finite());
        }
    }
}

TEST_F(StatLimitsTest, MaximumLifeSaturatesForAHugeLifeStatistic) {
    Stat s{5, 5, 5, 5, 5, 5, 5, -1, -1, 3, 3};
    s.life = INT64_MAX / 4; // 15 times this overflows
    setStats(s);
    EXPECT_EQ(maxLifeOf(fighter), ((INT64_MAX - 200) / 15) * 15 + 200);
    s.life = INT64_MIN / 4;
    setStats(s);
    EXPECT_EQ(maxLifeOf(fighter), 1);
    s.life = kStatLimit; // the largest a data file gives
    setStats(s);
    resetFighter(fight, fighter, 1000);
    EXPECT_EQ(fighter.maxLife, 15 * kStatLimit + 200);
    EXPECT_EQ(fighter.life, fighter.maxLife);
}

// The bot's thinking: distances by reach, walking, backing off, planned inputs, follow-ups,
// decision chances by level, and switching itself off.
#include "fight_fixture.h"

#include "fight/bot.h"
#include "runtime/numbers.h"

namespace {
struct BotTest : FightTest {
    Fighter opponent;
    BotController bot;
    void SetUp() override {
        FightTest::SetUp();
        createFighter(opponent, 0, 2);
        chooseClass(fight, opponent, cls, 0);
        opponent.position = {1300, 0};
        opponent.life = opponent.maxLife;
        setAnimation(fight, opponent, cls->idle);
        bot.fighter = &fighter;
        bot.botLevelSetting = 2;
        bot.botState = 2;
        fighter.side = 1;
        fighter.facing = 1;
    }
    void setReach(int64_t reach) { cls->stat->reach = reach; }
};
} // namespace

TEST_F(BotTest, DistancesGrowTenPercentPerPointOfReachAboveTwo) {
    setReach(2);
    EXPECT_EQ(scaledDistance(fighter, 300), 300);
    setReach(5);
    EXPECT_EQ(scaledDistance(fighter, 100), 130);
    setReach(1);
    EXPECT_EQ(scaledDistance(fighter, 125), 112); // 112.5: a half goes to the even neighbour
}

TEST_F(BotTest, WalksOnlyWithoutCooldownAndStopsCloseBy) {
    setReach(2);
    fighter.cooldown = 0.5;
    walkTowards(fighter, 2000);
    EXPECT_EQ(fighter.input[kInputRight], 0);
    fighter.cooldown = 0;
    walkTowards(fighter, 2000);
    EXPECT_EQ(fighter.input[kInputRight], 1);
    EXPECT_EQ(fighter.input[kInputLeft], 0);
    walkTowards(fighter, 500);
    EXPECT_EQ(fighter.input[kInputLeft], 1);
    walkTowards(fighter, 1050); // within 100: stand
    EXPECT_EQ(fighter.input[kInputLeft] + fighter.input[kInputRight], 0);
}

TEST_F(BotTest, BacksOffOnlyWithReachAboveOne) {
    opponent.position = {1050, 0}; // 50 away
    setReach(3);
    think(fight, bot, &opponent, 1.0, 0, 6000);
    // The left-hand bot walks towards opponent x - (0 + 200) x 1.1 = 830: to the left.
    EXPECT_EQ(fighter.input[kInputLeft], 1);
    EXPECT_DOUBLE_EQ(bot.thinkTimer, 0.0); // no decision while backing off
    fighter.input = {};
    setReach(1);
    think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(fighter.input[kInputLeft], 0);
    EXPECT_DOUBLE_EQ(bot.thinkTimer, 1.0);
}

TEST_F(BotTest, PlannedAttacksHoldTheirInputs) {
    struct Case {
        int64_t kind;
        std::initializer_list<InputCounter> held;
    };
    fighter.facing = 1;
    for (const Case& c : {Case{1, {kInputLight}}, Case{2, {kInputLight, kInputRight}},
                          Case{3, {kInputLight, kInputLeft}}, Case{4, {kInputLight, kInputUp}},
                          Case{5, {kInputLight, kInputDown}}, Case{6, {kInputHeavy}}}) {
        bot.plannedAttack = nullptr;
        planAttack(bot, c.kind);
        ASSERT_NE(bot.plannedAttack, nullptr);
        EXPECT_EQ(attackKind(bot.plannedAttack), c.kind);
        fighter.input = {};
        fighter.input[kInputJump] = 1;
        holdPlannedInputs(bot);
        int64_t set = 0;
        for (InputCounter counter : c.held) {
            EXPECT_EQ(fighter.input[size_t(counter)], 2) << "kind " << c.kind;
            set += 1;
        }
        int64_t total = 0;
        for (int i = 0; i < kInputJump; ++i) total += fighter.input[size_t(i)] > 0;
        EXPECT_EQ(total, set) << "kind " << c.kind;
        EXPECT_EQ(fighter.input[kInputJump], 1); // jump is not the plan's business
    }
}

TEST_F(BotTest, PlansFollowTheFollowUps) {
    Animation* second = makeAnimation(8, {2}, 0, 1);
    cls->neutral->down = second;
    refreshFollowUpTables();
    planAttack(bot, 1);
    EXPECT_EQ(bot.plannedAttack, cls->neutral);
    planAttack(bot, 5);
    EXPECT_EQ(bot.plannedAttack, second);
    planAttack(bot, 5); // the down attack has no down follow-up
    EXPECT_EQ(bot.plannedAttack, nullptr);
    planAttack(bot, 6);
    planAttack(bot, 0);
    EXPECT_EQ(bot.plannedAttack, nullptr);
    // A plan that is neither the running attack nor one of its follow-ups is dropped.
    setAnimation(fight, fighter, cls->side);
    fighter.attacking = 1;
    bot.plannedAttack = second;
    opponent.position = {5000, 0};
    decide(fight, bot, opponent);
    EXPECT_NE(bot.plannedAttack, second);
}

TEST_F(BotTest, DecisionsStartAttacksByLevel) {
    opponent.position = {1200, 0}; // near, not overlapping, and not above
    seedRandom(fight.random, 9);
    for (int64_t level : {1, 2, 3}) {
        bot.botLevelSetting = level;
        int started = 0;
        const int trials = 31000;
        for (int i = 0; i < trials; ++i) {
            bot.plannedAttack = nullptr;
            fighter.attacking = 0;
            decide(fight, bot, opponent);
            started += bot.plannedAttack != nullptr;
        }
        // Random(30) / level is 0 for level values out of 31.
        EXPECT_NEAR(double(started) / trials, double(level) / 31.0, 0.006) << "level " << level;
    }
}

TEST_F(BotTest, TheBotSwitchesItselfOffWhenTheOpponentDies) {
    opponent.life = 0;
    think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(bot.botState, 0);
    opponent.life = 50;
    think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(bot.botState, 0); // stays off until switched on again
    switchBotOn(bot);
    EXPECT_EQ(bot.botState, 1);
    EXPECT_EQ(fighter.botLevel, 2);
    think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(bot.botState, 2);
    switchBotOff(bot);
    EXPECT_EQ(fighter.botLevel, 0);
}

TEST_F(BotTest, FarAwayTheBotWalksInAndDropsItsPlan) {
    opponent.position = {3000, 0};
    planAttack(bot, 1);
    bot.botLevelSetting = 3;
    think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(bot.plannedAttack, nullptr);
    EXPECT_EQ(fighter.input[kInputRight], 1);
    EXPECT_DOUBLE_EQ(bot.thinkTimer, 2.0); // Hard decides at once when it arrives
}

TEST_F(BotTest, AHardBotHasOneMoreOfEveryStatistic) {
    fighter.botLevel = 3;
    Stat s = effectiveStat(fighter);
    EXPECT_EQ(s.strength, 6);
    EXPECT_EQ(s.reach, 4);
}

// The third class keeps its spear's length: a Hard bot whose opponent stands inside it walks
// away for a moment instead of deciding, stops once there is room, and never backs into the
// stage's edge.
TEST_F(BotTest, TheThirdClassStepsOutToItsSpearsLength) {
    classes.insert(classes.begin(), std::make_unique<FighterClass>());
    classes.insert(classes.begin(), std::make_unique<FighterClass>());
    ASSERT_EQ(classAt(2), cls);
    setReach(3); // the spear's length scales to 148 px
    bot.botLevelSetting = 3;
    // 130 px to the right: beyond the 110 px at which every class backs off, inside the spear.
    opponent.position = {1130, 0};
    seedRandom(fight.random, 3);
    // The class's own rule runs on one Hard decision in eleven: within a few hundred ticks it
    // has started a step back.
    int64_t tick = 0;
    for (; tick < 400 && bot.retreatTicks == 0; ++tick) {
        fighter.input = {};
        bot.plannedAttack = nullptr;
        think(fight, bot, &opponent, 1.0, 0, 6000);
    }
    ASSERT_GT(bot.retreatTicks, 0) << "no step back in 400 ticks";
    fighter.input = {};
    double timerBefore = bot.thinkTimer;
    think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(fighter.input[kInputLeft], 1); // away from the opponent on its right
    EXPECT_EQ(fighter.input[kInputRight], 0);
    EXPECT_DOUBLE_EQ(bot.thinkTimer, timerBefore); // no decision while stepping back
    // With room for the spear it stops stepping back and thinks again.
    opponent.position = {1200, 0};
    fighter.input = {};
    think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(bot.retreatTicks, 0);
    EXPECT_EQ(fighter.input[kInputLeft], 0);
    // The step back lasts a moment only, however close the opponent stays.
    opponent.position = {1130, 0};
    bot.retreatTicks = 3;
    for (int i = 0; i < 4; ++i) think(fight, bot, &opponent, 1.0, 0, 6000);
    EXPECT_EQ(bot.retreatTicks, 0);
    // Near the stage's edge it steps back all the same (the edge holds it as it holds any
    // walk); only under the first rules did less than 200 px behind it keep it from starting.
    for (int64_t rules : {kFightRules, int64_t(1)}) {
        fight.setup.rules = rules;
        fighter.position = {150, 0};
        opponent.position = {280, 0};
        bot.retreatTicks = 0;
        int steps = 0;
        for (int i = 0; i < 400; ++i) {
            bot.plannedAttack = nullptr;
            think(fight, bot, &opponent, 1.0, 0, 6000);
            steps += bot.retreatTicks > 0;
        }
        if (rules == 1) EXPECT_EQ(steps, 0);
        else EXPECT_GT(steps, 0);
    }
}

// The balance targets at their limits: a value on a limit meets it, one step beyond does not.
#include <gtest/gtest.h>

#include "balance_targets.h"

namespace {

enum TargetRow {
    kClassRates,
    kSide,
    kPairs,
    kUndecided,
    kLength,
    kStances,
    kHardMedium,
    kMediumEasy,
    kClose,
    kLanded,
    kTargetCount
};

Roster twoClasses() {
    Roster roster(2);
    roster[0] = {0, "Brawler", {"Street", "Boxer"}, true};
    roster[1] = {1, "Duelist", {"Fencer"}, true};
    return roster;
}

// Two classes that met `played` times, each winning the given number; every stance as its
// class; 30 s matches, 20 % of them close.
HardFigures hardOf(int64_t firstWon, int64_t secondWon, int64_t played) {
    HardFigures hard;
    hard.matches = played;
    hard.playerOneWins = played / 2;
    hard.undecided = played - firstWon - secondWon;
    hard.seconds = 30.0 * double(played);
    hard.classes.resize(2);
    hard.classes[0].rate = {firstWon, played};
    hard.classes[1].rate = {secondWon, played};
    for (ClassFigures& c : hard.classes)
        c.frames = 3000 * played, c.closeFrames = 600 * played;
    hard.pairs = {{Rate{}, Rate{firstWon, played}}, {Rate{secondWon, played}, Rate{}}};
    hard.stances = {{Rate{firstWon, played}}, {Rate{secondWon, played}}};
    return hard;
}

std::vector<LevelPairFigures> levelsOf(Rate hardMedium, Rate mediumEasy) {
    std::vector<LevelPairFigures> levels(2);
    levels[0].stronger = 3, levels[0].weaker = 2, levels[0].strongerWins = hardMedium;
    levels[1].stronger = 2, levels[1].weaker = 1, levels[1].strongerWins = mediumEasy;
    return levels;
}

// The first class landing `landed` of 100 attacks at every level.
std::vector<PassiveFigures> passiveOf(int64_t landed) {
    std::vector<PassiveFigures> table;
    for (int64_t level = 1; level <= 3; ++level) {
        PassiveFigures p;
        p.classIndex = 0, p.level = level, p.matches = 4, p.attacks = 100, p.landed = landed;
        table.push_back(p);
    }
    return table;
}

std::vector<Target> targetsOf(const HardFigures& hard) {
    return evaluateTargets(twoClasses(), hard, levelsOf({7, 10}, {7, 10}), passiveOf(25));
}

} // namespace

TEST(BalanceTargets, AllMetRightOnTheirLimits) {
    // 22 and 28 of 50: 44 % and 56 %, the class limits, also within the pair limits.
    const std::vector<Target> targets = targetsOf(hardOf(22, 28, 50));
    ASSERT_EQ(targets.size(), size_t(kTargetCount));
    for (const Target& t : targets)
        EXPECT_TRUE(t.met) << t.goal << ": " << t.measured;
    EXPECT_EQ(targets[kClassRates].measured, "lowest Brawler 44.0 %, highest Duelist 56.0 %");
    EXPECT_EQ(targets[kSide].measured, "50.0 %");
    EXPECT_EQ(targets[kHardMedium].measured, "70.0 % (7 of 10)");
    EXPECT_EQ(targets[kLanded].measured, "Easy 25.0 %, Medium 25.0 %, Hard 25.0 %");
}

TEST(BalanceTargets, AClassJustOutsideItsLimitsIsNamed) {
    const std::vector<Target> targets = targetsOf(hardOf(20, 30, 50));
    EXPECT_FALSE(targets[kClassRates].met);
    EXPECT_NE(targets[kClassRates].measured.find("outside: Brawler 40.0 %, Duelist 60.0 %"),
              std::string::npos)
        << targets[kClassRates].measured;
    EXPECT_TRUE(targets[kPairs].met);
}

TEST(BalanceTargets, PlayerOnesShareMayBeTwoPointsOffHalfEitherWay) {
    HardFigures hard = hardOf(25, 25, 50);
    for (auto [wins, met] : {std::pair{24, true}, {26, true}, {23, false}, {27, false}}) {
        hard.playerOneWins = wins;
        const Target side = targetsOf(hard)[kSide];
        EXPECT_EQ(side.met, met) << wins << ": " << side.measured;
    }
    hard.matches = 0;
    EXPECT_FALSE(targetsOf(hard)[kSide].met);
}

TEST(BalanceTargets, PairLimitsCountBothSidesOfAPairing) {
    // 35 % and 65 %: on the limits.
    EXPECT_TRUE(targetsOf(hardOf(7, 13, 20))[kPairs].met);
    EXPECT_FALSE(targetsOf(hardOf(6, 14, 20))[kPairs].met);
    // 13 wins and 5 of 20 with 2 undecided: the first side is within, the second is not.
    const std::vector<Target> targets = targetsOf(hardOf(13, 5, 20));
    EXPECT_FALSE(targets[kPairs].met);
    EXPECT_NE(targets[kPairs].measured.find("Duelist against Brawler 25.0 %"), std::string::npos)
        << targets[kPairs].measured;
    EXPECT_FALSE(targets[kUndecided].met);
    EXPECT_EQ(targets[kUndecided].measured, "2 of 20 matches");
}

TEST(BalanceTargets, AnUnplayedPairingIsNotMet) {
    Roster roster = twoClasses();
    roster.push_back({2, "Lancer", {"Guard"}, true});
    HardFigures hard = hardOf(10, 10, 20);
    hard.classes.resize(3);
    hard.classes[2].rate = {10, 20};
    hard.pairs = {
        {Rate{}, Rate{10, 20}, Rate{}}, {Rate{10, 20}, Rate{}, Rate{}}, {Rate{}, Rate{}, Rate{}}};
    hard.stances.push_back({Rate{10, 20}});
    const std::vector<Target> targets =
        evaluateTargets(roster, hard, levelsOf({7, 10}, {7, 10}), passiveOf(25));
    EXPECT_FALSE(targets[kPairs].met);
    EXPECT_NE(targets[kPairs].measured.find("2 not played"), std::string::npos);
}

TEST(BalanceTargets, MeanLengthLimitsAreInclusive) {
    HardFigures hard = hardOf(10, 10, 20);
    hard.seconds = 15.0 * 20;
    EXPECT_TRUE(targetsOf(hard)[kLength].met);
    hard.seconds = 45.0 * 20;
    EXPECT_TRUE(targetsOf(hard)[kLength].met);
    EXPECT_EQ(targetsOf(hard)[kLength].measured, "45.0 s");
    hard.seconds = 45.1 * 20;
    EXPECT_FALSE(targetsOf(hard)[kLength].met);
    hard.seconds = 14.9 * 20;
    EXPECT_FALSE(targetsOf(hard)[kLength].met);
}

TEST(BalanceTargets, StancesMayBeTenPointsOffTheirClassEitherWay) {
    HardFigures hard = hardOf(10, 10, 20);        // Brawler 50 %
    hard.stances[0] = {Rate{6, 10}, Rate{4, 10}}; // +10 and -10 points
    EXPECT_TRUE(targetsOf(hard)[kStances].met) << targetsOf(hard)[kStances].measured;
    hard.stances[0] = {Rate{12, 20}, Rate{31, 100}}; // +10 and -19 points
    const Target stances = targetsOf(hard)[kStances];
    EXPECT_FALSE(stances.met);
    EXPECT_EQ(stances.measured, "largest: Brawler Boxer -19.0 points; 1 of 3 stances beyond");
    // A stance without a match is no evidence either way.
    hard.stances[0] = {Rate{6, 10}, Rate{0, 0}};
    EXPECT_TRUE(targetsOf(hard)[kStances].met);
}

TEST(BalanceTargets, LevelsNeedSeventyPercentAndBothPairings) {
    const HardFigures hard = hardOf(10, 10, 20);
    const Roster roster = twoClasses();
    auto levelTargets = [&](const std::vector<LevelPairFigures>& levels) {
        return evaluateTargets(roster, hard, levels, passiveOf(30));
    };
    std::vector<Target> targets = levelTargets(levelsOf({69, 100}, {70, 100}));
    EXPECT_FALSE(targets[kHardMedium].met);
    EXPECT_TRUE(targets[kMediumEasy].met);
    targets = levelTargets({levelsOf({8, 10}, {8, 10})[0]});
    EXPECT_TRUE(targets[kHardMedium].met);
    EXPECT_FALSE(targets[kMediumEasy].met);
    EXPECT_EQ(targets[kMediumEasy].measured, "not played");
}

TEST(BalanceTargets, CloseFramesMayReachThirtyPercent) {
    HardFigures hard = hardOf(10, 10, 20);
    hard.classes[1].closeFrames = 3 * hard.classes[1].frames / 10;
    EXPECT_TRUE(targetsOf(hard)[kClose].met);
    hard.classes[1].closeFrames += 1;
    EXPECT_FALSE(targetsOf(hard)[kClose].met);
    EXPECT_NE(targetsOf(hard)[kClose].measured.find("over: Duelist 30.0 %"), std::string::npos);
}

TEST(BalanceTargets, LandedAttacksAreTheFirstPlayableClassAtEveryLevel) {
    const HardFigures hard = hardOf(10, 10, 20);
    Roster roster = twoClasses();
    std::vector<PassiveFigures> passive = passiveOf(25);
    auto landed = [&]() {
        return evaluateTargets(roster, hard, levelsOf({7, 10}, {7, 10}), passive)[kLanded];
    };
    EXPECT_TRUE(landed().met);
    passive[1].landed = 24;
    EXPECT_FALSE(landed().met);
    EXPECT_EQ(landed().measured, "Easy 25.0 %, Medium 24.0 %, Hard 25.0 %");
    passive = passiveOf(25);
    passive.pop_back();
    EXPECT_FALSE(landed().met);
    EXPECT_NE(landed().measured.find("Hard not played"), std::string::npos);
    passive = passiveOf(25);
    passive[0].attacks = 0, passive[0].landed = 0;
    EXPECT_FALSE(landed().met);
    // Another class's figures do not stand in for the first's.
    passive = passiveOf(25);
    for (PassiveFigures& p : passive)
        p.classIndex = 1;
    EXPECT_FALSE(landed().met);
    // With the first class not playable, the first playable one is measured.
    roster[0].playable = false;
    EXPECT_TRUE(landed().met);
    EXPECT_NE(landed().goal.find("Duelist"), std::string::npos);
}

TEST(BalanceTargets, NoMatchMeetsNothing) {
    const std::vector<Target> targets =
        evaluateTargets(twoClasses(), hardFigures(twoClasses(), {}), {}, {});
    ASSERT_EQ(targets.size(), size_t(kTargetCount));
    for (const Target& t : targets)
        EXPECT_FALSE(t.met) << t.goal;
}

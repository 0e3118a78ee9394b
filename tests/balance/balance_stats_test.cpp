// The balance report's figures: intervals, pooled pairs, undecided matches, stances, bot levels
// and fights against a passive opponent.
#include <gtest/gtest.h>

#include "balance_stats.h"

namespace {

// Three classes: A (two stances), B (one), C (one, not playable).
Roster threeClasses() {
    Roster roster(3);
    roster[0] = {0, "A", {"a0", "a1"}, true};
    roster[1] = {1, "B", {"b0"}, true};
    roster[2] = {2, "C", {"c0"}, false};
    return roster;
}

// A match between placed classes: classes, stances, levels, winner and length in seconds.
MatchRecord match(int64_t c1, int64_t c2, int winner, double seconds = 30, int64_t s1 = 0,
                  int64_t s2 = 0, int64_t l1 = 3, int64_t l2 = 3) {
    MatchRecord m;
    m.side[0].classId = m.side[0].classIndex = c1;
    m.side[1].classId = m.side[1].classIndex = c2;
    m.side[0].stance = s1;
    m.side[1].stance = s2;
    m.side[0].level = l1;
    m.side[1].level = l2;
    m.winner = winner;
    m.gameSeconds = seconds;
    m.frames = int64_t(seconds * 100);
    return m;
}

} // namespace

TEST(BalanceStats, WilsonIntervalMatchesPublishedFigures) {
    // Newcombe's worked examples of the score interval without continuity correction.
    const struct {
        int64_t won, played;
        double low, high;
    } known[] = {{81, 263, 0.2553, 0.3662},
                 {15, 148, 0.0624, 0.1605},
                 {0, 20, 0.0, 0.1611},
                 {1, 29, 0.0061, 0.1718}};
    for (const auto& k : known) {
        const Interval i = wilsonInterval(k.won, k.played);
        EXPECT_NEAR(i.low, k.low, 5e-5) << k.won << "/" << k.played;
        EXPECT_NEAR(i.high, k.high, 5e-5) << k.won << "/" << k.played;
    }
}

TEST(BalanceStats, WilsonIntervalIsSymmetricAndStaysInsideZeroToOne) {
    const Interval half = wilsonInterval(5, 10);
    EXPECT_NEAR(half.low, 0.2366, 5e-5);
    EXPECT_NEAR(half.high, 1 - half.low, 1e-12);
    const Interval all = wilsonInterval(10, 10);
    EXPECT_NEAR(all.low, 0.7225, 5e-5);
    EXPECT_DOUBLE_EQ(all.high, 1.0);
    // Unlike the normal approximation, the interval is not empty at 0 and 100 %.
    EXPECT_GT(wilsonInterval(0, 20).high, 0.1);
    const Interval none = wilsonInterval(0, 0);
    EXPECT_DOUBLE_EQ(none.low, 0.0);
    EXPECT_DOUBLE_EQ(none.high, 1.0);
    // More matches, a narrower interval around the same rate.
    const Interval more = wilsonInterval(50, 100);
    EXPECT_LT(more.high - more.low, half.high - half.low);
}

TEST(BalanceStats, PairsPoolBothOrdersAndUndecidedCountsAsNotWon) {
    const Roster roster = threeClasses();
    const std::vector<MatchRecord> matches = {
        match(0, 1, 1), // A as player one wins
        match(1, 0, 1), // B as player one wins
        match(1, 0, 2), // A as player two wins
        match(0, 1, 0), // undecided
    };
    const HardFigures hard = hardFigures(roster, matches);
    EXPECT_EQ(hard.matches, 4);
    EXPECT_EQ(hard.undecided, 1);
    EXPECT_EQ(hard.playerOneWins, 2);
    EXPECT_EQ(hard.playerTwoWins, 1);
    EXPECT_EQ(hard.pairs[0][1].won, 2);
    EXPECT_EQ(hard.pairs[0][1].played, 4);
    EXPECT_EQ(hard.pairs[1][0].won, 1);
    EXPECT_EQ(hard.pairs[1][0].played, 4);
    // The undecided match is lost by both: the two rates do not add up to 100 %.
    EXPECT_DOUBLE_EQ(fractionOf(hard.classes[0].rate) + fractionOf(hard.classes[1].rate), 0.75);
    EXPECT_EQ(hard.pairs[0][0].played, 0);
    EXPECT_EQ(hard.classes[2].rate.played, 0);
}

TEST(BalanceStats, MirrorMatchesAreLeftOutOfEveryRate) {
    const Roster roster = threeClasses();
    const HardFigures hard = hardFigures(roster, {match(0, 0, 1, 10), match(0, 1, 2, 40)});
    EXPECT_EQ(hard.mirrors, 1);
    EXPECT_EQ(hard.matches, 1);
    EXPECT_EQ(hard.classes[0].rate.played, 1);
    EXPECT_EQ(hard.classes[0].rate.won, 0);
    EXPECT_EQ(hard.pairs[0][0].played, 0);
    EXPECT_DOUBLE_EQ(meanSeconds(hard), 40);
}

TEST(BalanceStats, ClassFiguresAddUpEachSideOfItsMatches) {
    const Roster roster = threeClasses();
    MatchRecord first = match(0, 1, 1, 20);
    first.side[0].hits = 10, first.side[0].damage = 120, first.side[0].maxCombo = 3;
    first.side[0].attacks = 40, first.side[0].landed = 10, first.side[0].closeFrames = 500;
    first.side[1].hits = 99, first.side[1].maxCombo = 9; // B's, not A's
    MatchRecord second = match(1, 0, 1, 40);
    second.side[1].hits = 5, second.side[1].damage = 30, second.side[1].maxCombo = 1;
    second.side[1].attacks = 10, second.side[1].landed = 5, second.side[1].closeFrames = 100;
    const ClassFigures a = hardFigures(roster, {first, second}).classes[0];
    EXPECT_EQ(a.rate.won, 1);
    EXPECT_EQ(a.rate.played, 2);
    EXPECT_DOUBLE_EQ(a.seconds, 60);
    EXPECT_EQ(a.hits, 15);
    EXPECT_EQ(a.damage, 150);
    EXPECT_EQ(a.longestCombo, 3);
    EXPECT_EQ(a.comboSum, 4);
    EXPECT_EQ(a.attacks, 50);
    EXPECT_EQ(a.landed, 15);
    EXPECT_EQ(a.closeFrames, 600);
    EXPECT_EQ(a.frames, 6000);
}

TEST(BalanceStats, StanceDeviationIsInPointsFromTheClassRate) {
    const Roster roster = threeClasses();
    // A: stance 0 wins 3 of 3, stance 1 wins 0 of 1; A overall 3 of 4 (75 %).
    const std::vector<MatchRecord> matches = {match(0, 1, 1, 30, 0), match(1, 0, 2, 30, 0, 0),
                                              match(0, 1, 1, 30, 0), match(0, 1, 2, 30, 1)};
    const HardFigures hard = hardFigures(roster, matches);
    const std::vector<StanceDeviation> deviations = stanceDeviations(hard);
    ASSERT_EQ(deviations.size(), 3u); // A's two stances and B's one
    EXPECT_EQ(deviations[0].classIndex, 0);
    EXPECT_EQ(deviations[0].stance, 0);
    EXPECT_NEAR(deviations[0].points, 25.0, 1e-9);
    EXPECT_EQ(deviations[1].stance, 1);
    EXPECT_NEAR(deviations[1].points, -75.0, 1e-9);
    EXPECT_EQ(deviations[2].classIndex, 1);
    EXPECT_NEAR(deviations[2].points, 0.0, 1e-9); // a class with one stance is its stance
}

TEST(BalanceStats, AStanceTheDataDoesNotNameIsStillCounted) {
    const Roster roster = threeClasses();
    const HardFigures hard = hardFigures(roster, {match(1, 0, 1, 30, 4, 0)});
    ASSERT_EQ(hard.stances[1].size(), 5u);
    EXPECT_EQ(hard.stances[1][4].won, 1);
}

TEST(BalanceStats, ShownClassesArePlayableOnesAndAnyThatPlayed) {
    const Roster roster = threeClasses();
    EXPECT_EQ(shownClasses(roster, hardFigures(roster, {match(0, 1, 1)})),
              (std::vector<int64_t>{0, 1}));
    EXPECT_EQ(shownClasses(roster, hardFigures(roster, {match(2, 1, 1)})),
              (std::vector<int64_t>{0, 1, 2}));
}

TEST(BalanceStats, LevelPairsPoolBothSidesStrongestFirst) {
    const Roster roster = threeClasses();
    const std::vector<MatchRecord> matches = {
        match(0, 1, 1, 30, 0, 0, 2, 1), // Medium (A) beats Easy
        match(1, 0, 1, 30, 0, 0, 1, 2), // Easy beats Medium (A)
        match(0, 1, 2, 30, 0, 0, 2, 3), // Hard (B) as player two beats Medium
        match(1, 0, 0, 30, 0, 0, 3, 2), // undecided: Hard (B) did not win
        match(0, 1, 1, 30, 0, 0, 3, 3), // same level: no pairing
    };
    const std::vector<LevelPairFigures> levels = levelFigures(roster, matches);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0].stronger, 3);
    EXPECT_EQ(levels[0].weaker, 2);
    EXPECT_EQ(levels[0].strongerWins.won, 1);
    EXPECT_EQ(levels[0].strongerWins.played, 2);
    EXPECT_EQ(levels[0].undecided, 1);
    EXPECT_EQ(levels[0].strongerAsPlayerOne.played, 1);
    EXPECT_EQ(levels[0].strongerAsPlayerOne.won, 0);
    EXPECT_EQ(levels[0].strongerAsPlayerTwo.won, 1);
    EXPECT_EQ(levels[0].byClass[1].played, 2); // the Hard bot was B both times
    EXPECT_EQ(levels[0].byClass[0].played, 0);
    EXPECT_EQ(levels[1].stronger, 2);
    EXPECT_EQ(levels[1].weaker, 1);
    EXPECT_EQ(levels[1].strongerWins.won, 1);
    EXPECT_EQ(levels[1].strongerWins.played, 2);
    EXPECT_EQ(levels[1].byClass[0].won, 1);
    EXPECT_EQ(levels[1].byClass[0].played, 2);
}

TEST(BalanceStats, PassiveFightsFollowTheSideThatActs) {
    std::vector<MatchRecord> matches = {
        match(0, 1, 1, 20, 0, 0, 3, 0),  // A (Hard) knocks out B
        match(1, 0, 2, 30, 0, 0, 0, 3),  // A (Hard) as player two knocks out B
        match(0, 1, 0, 120, 0, 0, 3, 0), // A (Hard) runs out of time
        match(0, 1, 1, 50, 0, 0, 1, 0),  // A (Easy)
        match(0, 1, 1, 50, 0, 0, 0, 0),  // nobody acts: left out
        match(0, 1, 1, 50, 0, 0, 2, 2),  // both act: left out
    };
    matches[0].side[0].attacks = 10, matches[0].side[0].landed = 4;
    matches[1].side[1].attacks = 6, matches[1].side[1].landed = 3;
    matches[1].side[0].attacks = 50; // the passive side's figures are not the attacker's
    matches[0].side[0].closeFrames = 1000;
    const std::vector<PassiveFigures> table = passiveFigures(matches);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].classIndex, 0);
    EXPECT_EQ(table[0].level, 1);
    EXPECT_EQ(table[1].level, 3);
    const PassiveFigures& hard = table[1];
    EXPECT_EQ(hard.matches, 3);
    EXPECT_EQ(hard.attacks, 16);
    EXPECT_EQ(hard.landed, 7);
    EXPECT_EQ(hard.knockOuts, 2);
    EXPECT_DOUBLE_EQ(hard.knockOutSeconds, 50); // the time-out is not a knock-out
    EXPECT_EQ(hard.closeFrames, 1000);
    EXPECT_EQ(hard.frames, 17000);
}

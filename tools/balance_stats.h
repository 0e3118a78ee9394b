// The balance report's figures: win rates with their confidence intervals, the Hard-against-Hard
// pair matrix, stance rates, the bot levels against each other and the fights against a passive
// opponent. Pure computations over the runner's match records.
#pragma once

#include <cstdint>
#include <vector>

#include "balance_matches.h"

// Matches won out of matches played; a match without a winner counts as played, not won.
struct Rate {
    int64_t won = 0;
    int64_t played = 0;
};

// won / played as a fraction, 0 without a match.
double fractionOf(const Rate& rate);
// some / whole as a fraction, 0 when whole is 0.
double fractionOf(int64_t some, int64_t whole);

// A 95 % interval of a proportion, as fractions.
struct Interval {
    double low = 0;
    double high = 0;
};

// The normal quantile of a two-sided 95 % interval.
constexpr double kZ95 = 1.959963984540054;

// The Wilson score interval of `won` successes in `played` trials (0..1 without a trial).
Interval wilsonInterval(int64_t won, int64_t played, double z = kZ95);

// What one class did over its Hard-against-Hard matches.
struct ClassFigures {
    Rate rate;
    double seconds = 0;       // summed game seconds of its matches
    int64_t hits = 0;         // damaging touches dealt
    int64_t damage = 0;       // damage dealt
    int64_t longestCombo = 0; // the longest combo in any of its matches, in hits
    int64_t comboSum = 0;     // each match's longest combo, summed (for the mean)
    int64_t attacks = 0;
    int64_t landed = 0;
    int64_t closeFrames = 0; // its fight frames within 50 px of the opponent
    int64_t frames = 0;      // fight frames of its matches
};

// The Hard-against-Hard set. Mirror matches (a class against itself) tell nothing about a
// class: they are counted apart and left out of every other figure.
struct HardFigures {
    int64_t matches = 0; // not counting mirrors
    int64_t mirrors = 0;
    int64_t undecided = 0; // ended by the time limit
    int64_t playerOneWins = 0;
    int64_t playerTwoWins = 0;
    double seconds = 0;                     // summed game seconds
    std::vector<ClassFigures> classes;      // by roster position
    std::vector<std::vector<Rate>> pairs;   // [row][column]: row's wins against column, both orders
    std::vector<std::vector<Rate>> stances; // [class][stance]
};

HardFigures hardFigures(const Roster& roster, const std::vector<MatchRecord>& matches);

// The mean match length in game seconds (0 without a match).
double meanSeconds(const HardFigures& hard);

// The classes a Hard-against-Hard table shows: every playable class, and any other that played.
std::vector<int64_t> shownClasses(const Roster& roster, const HardFigures& hard);

// One stance's win rate set against its class's, in percentage points (above: positive).
struct StanceDeviation {
    int64_t classIndex = -1;
    int64_t stance = -1;
    double points = 0;
};

// Every stance with at least one match, in class then stance order.
std::vector<StanceDeviation> stanceDeviations(const HardFigures& hard);

// Bots of two levels against each other (each level on both sides).
struct LevelPairFigures {
    int64_t stronger = 0; // the higher level
    int64_t weaker = 0;
    Rate strongerWins;        // over all its matches
    Rate strongerAsPlayerOne; // the stronger bot as player one
    Rate strongerAsPlayerTwo;
    int64_t undecided = 0;
    std::vector<Rate> byClass; // the stronger bot's wins by its class (roster position)
};

// Every pairing of two different levels met, the strongest pairing first.
std::vector<LevelPairFigures> levelFigures(const Roster& roster,
                                           const std::vector<MatchRecord>& matches);

// A class at a bot level against an opponent who does nothing.
struct PassiveFigures {
    int64_t classIndex = -1;
    int64_t level = 0;
    int64_t matches = 0;
    int64_t attacks = 0;
    int64_t landed = 0;
    int64_t closeFrames = 0;
    int64_t frames = 0;
    int64_t knockOuts = 0;      // matches it won
    double knockOutSeconds = 0; // their summed game seconds (for the mean time to win)
};

// One entry per class and level met, in class then level order. Matches where neither side or
// both sides are passive are left out.
std::vector<PassiveFigures> passiveFigures(const std::vector<MatchRecord>& matches);

// The balance targets: each one's measured value and whether it is met.
#pragma once

#include <string>
#include <vector>

#include "balance_matches.h"
#include "balance_stats.h"

// The limits, as fractions unless said otherwise; a value on a limit meets it.
struct TargetLimits {
    double classLow = 0.44; // every class's Hard-against-Hard win rate
    double classHigh = 0.56;
    double sideLow = 0.48; // player one's share of the Hard-against-Hard matches
    double sideHigh = 0.52;
    double pairLow = 0.35; // each class's win rate against each other class
    double pairHigh = 0.65;
    double shortestMean = 15; // mean Hard-against-Hard match length, game seconds
    double longestMean = 45;
    double stancePoints = 10;  // a stance's win rate off its class's, percentage points
    double levelWin = 0.70;    // the stronger bot's win rate over the weaker
    double closeShare = 0.30;  // largest share of a class's fight frames within 50 px
    double landedShare = 0.25; // the first playable class's attacks that touch a passive opponent
};

struct Target {
    std::string goal;
    std::string measured;
    bool met = false;
};

// A fraction as a percentage with one decimal: "47.5 %".
std::string percentText(double fraction);

// The targets in report order: class rates, player one's share, pairs, undecided matches, mean length, stances,
// Hard over Medium, Medium over Easy, close frames, the first class's landed attacks.
std::vector<Target> evaluateTargets(const Roster& roster, const HardFigures& hard,
                                    const std::vector<LevelPairFigures>& levels,
                                    const std::vector<PassiveFigures>& passive,
                                    const TargetLimits& limits = {});

// The balance report as Markdown, and the short summary printed after a run.
#pragma once

#include <string>
#include <vector>

#include "balance_matches.h"
#include "balance_stats.h"
#include "balance_targets.h"

// The three sets of matches and everything the report says of them.
struct BalanceFigures {
    int64_t hardLines = 0; // matches read from each set
    int64_t levelLines = 0;
    int64_t passiveLines = 0;
    HardFigures hard;
    std::vector<LevelPairFigures> levels;
    std::vector<PassiveFigures> passive;
    std::vector<Target> targets;
};

BalanceFigures balanceFigures(const Roster& roster, const std::vector<MatchRecord>& hard,
                              const std::vector<MatchRecord>& levels,
                              const std::vector<MatchRecord>& passive);

// The report: `command` is what ran the matches, `date` when; `matrixFile` the heat map's file
// name beside the report.
std::string reportMarkdown(const Roster& roster, const BalanceFigures& figures,
                           const std::string& command, const std::string& date,
                           const std::string& matrixFile);

// A few lines for the terminal: the match counts, each target and the class win rates.
std::string reportSummary(const Roster& roster, const BalanceFigures& figures);

// The balance targets measured on the three sets of matches.
#include "balance_targets.h"

#include <cmath>
#include <cstdio>

namespace {

// Rates are ratios of whole counts: a rate equal to a limit may come out a rounding step off.
constexpr double kSlack = 1e-9;

bool within(double value, double low, double high) {
    return value >= low - kSlack && value <= high + kSlack;
}

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces) {
        if (!text.empty()) text += ", ";
        text += piece;
    }
    return text;
}

std::string limitsText(double low, double high) {
    return format("%.0f", 100 * low) + "–" + format("%.0f", 100 * high) + " %";
}

Target classRates(const Roster& roster, const HardFigures& hard, const TargetLimits& limits) {
    Target target{"Every class's Hard-against-Hard win rate within " +
                      limitsText(limits.classLow, limits.classHigh),
                  "", true};
    std::vector<std::string> outside;
    int64_t lowest = -1, highest = -1;
    for (int64_t c : shownClasses(roster, hard)) {
        const Rate& rate = hard.classes[size_t(c)].rate;
        if (rate.played == 0) {
            outside.push_back(roster[size_t(c)].name + " (no match)");
            continue;
        }
        const double r = fractionOf(rate);
        if (!within(r, limits.classLow, limits.classHigh))
            outside.push_back(roster[size_t(c)].name + " " + percentText(r));
        if (lowest < 0 || r < fractionOf(hard.classes[size_t(lowest)].rate)) lowest = c;
        if (highest < 0 || r > fractionOf(hard.classes[size_t(highest)].rate)) highest = c;
    }
    if (lowest < 0) return {target.goal, "no match", false};
    target.measured = "lowest " + roster[size_t(lowest)].name + " " +
                      percentText(fractionOf(hard.classes[size_t(lowest)].rate)) + ", highest " +
                      roster[size_t(highest)].name + " " +
                      percentText(fractionOf(hard.classes[size_t(highest)].rate));
    if (!outside.empty()) target.measured += "; outside: " + joined(outside);
    target.met = outside.empty();
    return target;
}

Target pairRates(const Roster& roster, const HardFigures& hard, const TargetLimits& limits) {
    Target target{"No pairing of two classes (both orders pooled) outside " +
                      limitsText(limits.pairLow, limits.pairHigh),
                  "", true};
    const std::vector<int64_t> shown = shownClasses(roster, hard);
    int64_t pairs = 0, outside = 0, unplayed = 0;
    double widest = -1;
    std::string widestText;
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const size_t a = size_t(shown[i]), b = size_t(shown[j]);
            pairs += 1;
            if (hard.pairs[a][b].played == 0) {
                unplayed += 1;
                continue;
            }
            // With undecided matches the two sides' rates do not add up to 100 %: both count.
            for (const auto& [row, column] : {std::pair{a, b}, std::pair{b, a}}) {
                const double r = fractionOf(hard.pairs[row][column]);
                if (std::fabs(r - 0.5) > widest) {
                    widest = std::fabs(r - 0.5);
                    widestText =
                        roster[row].name + " against " + roster[column].name + " " + percentText(r);
                }
            }
            outside += !within(fractionOf(hard.pairs[a][b]), limits.pairLow, limits.pairHigh) ||
                       !within(fractionOf(hard.pairs[b][a]), limits.pairLow, limits.pairHigh);
        }
    }
    if (widest < 0) return {target.goal, "no match", false};
    target.measured = "most one-sided: " + widestText + "; " + std::to_string(outside) + " of " +
                      std::to_string(pairs) + " pairings outside";
    if (unplayed > 0) target.measured += ", " + std::to_string(unplayed) + " not played";
    target.met = outside == 0 && unplayed == 0;
    return target;
}

// Neither side of the screen may be an advantage in itself: both orders of every pair are
// played, so an even game gives player one half of the matches.
Target sideShare(const HardFigures& hard, const TargetLimits& limits) {
    Target target{"Player one's share of the Hard-against-Hard matches within " +
                      limitsText(limits.sideLow, limits.sideHigh),
                  "no match", false};
    if (hard.matches == 0) return target;
    const double share = double(hard.playerOneWins) / double(hard.matches);
    target.measured = percentText(share);
    target.met = within(share, limits.sideLow, limits.sideHigh);
    return target;
}

Target undecided(const HardFigures& hard) {
    return {"No undecided Hard-against-Hard match (time limit reached)",
            std::to_string(hard.undecided) + " of " + std::to_string(hard.matches) + " matches",
            hard.matches > 0 && hard.undecided == 0};
}

Target meanLength(const HardFigures& hard, const TargetLimits& limits) {
    const double mean = meanSeconds(hard);
    return {"Mean Hard-against-Hard match length within " + format("%.0f", limits.shortestMean) +
                "–" + format("%.0f", limits.longestMean) + " s of game time",
            hard.matches > 0 ? format("%.1f s", mean) : "no match",
            hard.matches > 0 && within(mean, limits.shortestMean, limits.longestMean)};
}

Target stances(const Roster& roster, const HardFigures& hard, const TargetLimits& limits) {
    Target target{"Within each class, no stance's win rate more than " +
                      format("%.0f", limits.stancePoints) + " points off the class's",
                  "", true};
    const std::vector<StanceDeviation> deviations = stanceDeviations(hard);
    if (deviations.empty()) return {target.goal, "no match", false};
    const StanceDeviation* widest = &deviations.front();
    int64_t beyond = 0;
    for (const StanceDeviation& d : deviations) {
        if (std::fabs(d.points) > std::fabs(widest->points)) widest = &d;
        beyond += std::fabs(d.points) > limits.stancePoints + kSlack;
    }
    const RosterClass& c = roster[size_t(widest->classIndex)];
    const std::string stance = widest->stance < int64_t(c.stances.size())
                                   ? c.stances[size_t(widest->stance)]
                                   : "stance " + std::to_string(widest->stance);
    target.measured = "largest: " + c.name + " " + stance + " " +
                      format("%+.1f points", widest->points) + "; " + std::to_string(beyond) +
                      " of " + std::to_string(deviations.size()) + " stances beyond";
    target.met = beyond == 0;
    return target;
}

Target levelWins(const std::vector<LevelPairFigures>& levels, int64_t stronger, int64_t weaker,
                 const TargetLimits& limits) {
    Target target{levelName(stronger) + " beats " + levelName(weaker) + " in at least " +
                      format("%.0f", 100 * limits.levelWin) + " % (undecided: not won)",
                  "not played", false};
    for (const LevelPairFigures& pair : levels) {
        if (pair.stronger != stronger || pair.weaker != weaker || pair.strongerWins.played == 0)
            continue;
        const double r = fractionOf(pair.strongerWins);
        target.measured = percentText(r) + " (" + std::to_string(pair.strongerWins.won) + " of " +
                          std::to_string(pair.strongerWins.played) + ")";
        target.met = r >= limits.levelWin - kSlack;
    }
    return target;
}

Target closeFrames(const Roster& roster, const HardFigures& hard, const TargetLimits& limits) {
    Target target{"No class spends more than " + format("%.0f", 100 * limits.closeShare) +
                      " % of its Hard-against-Hard fight frames within 50 px of its opponent",
                  "", true};
    std::vector<std::string> over;
    int64_t highest = -1;
    for (int64_t c : shownClasses(roster, hard)) {
        const ClassFigures& figures = hard.classes[size_t(c)];
        if (figures.frames == 0) continue;
        const double share = fractionOf(figures.closeFrames, figures.frames);
        if (share > limits.closeShare + kSlack)
            over.push_back(roster[size_t(c)].name + " " + percentText(share));
        if (highest < 0 || share > fractionOf(hard.classes[size_t(highest)].closeFrames,
                                              hard.classes[size_t(highest)].frames))
            highest = c;
    }
    if (highest < 0) return {target.goal, "no match", false};
    const ClassFigures& top = hard.classes[size_t(highest)];
    target.measured = "highest: " + roster[size_t(highest)].name + " " +
                      percentText(fractionOf(top.closeFrames, top.frames));
    if (!over.empty()) target.measured += "; over: " + joined(over);
    target.met = over.empty();
    return target;
}

Target firstClassLanded(const Roster& roster, const std::vector<PassiveFigures>& passive,
                        const TargetLimits& limits) {
    const std::vector<int64_t> playable = playablePositions(roster);
    const std::string name =
        playable.empty() ? "the first playable class" : roster[size_t(playable.front())].name;
    Target target{name + " lands at least " + format("%.0f", 100 * limits.landedShare) +
                      " % of its attacks on a passive opponent, at every bot level",
                  "", !playable.empty()};
    std::vector<std::string> byLevel;
    for (int64_t level = 1; level <= 3; ++level) {
        const PassiveFigures* found = nullptr;
        for (const PassiveFigures& p : passive)
            if (!playable.empty() && p.classIndex == playable.front() && p.level == level)
                found = &p;
        if (!found || found->matches == 0) {
            byLevel.push_back(levelName(level) + " not played");
            target.met = false;
        } else if (found->attacks == 0) {
            byLevel.push_back(levelName(level) + " no attack");
            target.met = false;
        } else {
            const double share = fractionOf(found->landed, found->attacks);
            byLevel.push_back(levelName(level) + " " + percentText(share));
            target.met = target.met && share >= limits.landedShare - kSlack;
        }
    }
    target.measured = joined(byLevel);
    return target;
}

} // namespace

std::string percentText(double fraction) {
    return format("%.1f %%", 100 * fraction);
}

std::vector<Target> evaluateTargets(const Roster& roster, const HardFigures& hard,
                                    const std::vector<LevelPairFigures>& levels,
                                    const std::vector<PassiveFigures>& passive,
                                    const TargetLimits& limits) {
    return {classRates(roster, hard, limits),
            sideShare(hard, limits),
            pairRates(roster, hard, limits),
            undecided(hard),
            meanLength(hard, limits),
            stances(roster, hard, limits),
            levelWins(levels, 3, 2, limits),
            levelWins(levels, 2, 1, limits),
            closeFrames(roster, hard, limits),
            firstClassLanded(roster, passive, limits)};
}

// Writing the balance report and its summary.
#include "balance_markdown.h"

#include <cstdio>

namespace {

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string count(int64_t value) {
    return std::to_string(value);
}

std::string intervalText(const Rate& rate) {
    if (rate.played == 0) return "–";
    const Interval interval = wilsonInterval(rate.won, rate.played);
    return format("%.1f", 100 * interval.low) + "–" + format("%.1f", 100 * interval.high) + " %";
}

// "47.5 % (57 of 120)", or a dash without a match.
std::string rateWithCounts(const Rate& rate) {
    if (rate.played == 0) return "–";
    return percentText(fractionOf(rate)) + " (" + count(rate.won) + " of " + count(rate.played) +
           ")";
}

std::string share(int64_t some, int64_t whole) {
    return whole > 0 ? percentText(fractionOf(some, whole)) : "–";
}

std::string row(const std::vector<std::string>& cells) {
    std::string line = "|";
    for (const std::string& cell : cells)
        line += " " + cell + " |";
    return line + "\n";
}

// A header row and its rule: the first `textColumns` columns are left-aligned (names), the
// others right-aligned (figures).
std::string header(const std::vector<std::string>& cells, size_t textColumns = 1) {
    std::string rule = "|";
    for (size_t i = 0; i < cells.size(); ++i)
        rule += i < textColumns ? "---|" : "---:|";
    return row(cells) + rule + "\n";
}

std::string stanceName(const RosterClass& c, size_t stance) {
    return stance < c.stances.size() ? c.stances[stance] : "stance " + std::to_string(stance);
}

std::string targetsSection(const BalanceFigures& figures) {
    std::string text = "## Targets\n\n" + header({"Target", "Measured", "Result"}, 3);
    int64_t met = 0;
    for (const Target& target : figures.targets) {
        text += row({target.goal, target.measured, target.met ? "met" : "**not met**"});
        met += target.met;
    }
    return text + "\n" + count(met) + " of " + count(int64_t(figures.targets.size())) +
           " targets met.\n\n";
}

std::string classSection(const Roster& roster, const BalanceFigures& figures) {
    const HardFigures& hard = figures.hard;
    std::string text =
        "## Class win rates, Hard against Hard\n\n"
        "Every ordered pair of two different playable classes on every stage, stances drawn "
        "from each match's seed (mirror matches are not played). The interval is the 95 % "
        "Wilson score interval. Length: mean game seconds of the class's matches; combos in "
        "hits; landed: attacks started that touched; close: fight frames within 50 px of the "
        "opponent.\n\n" +
        header({"Class", "Win rate", "95 % interval", "Matches", "Length", "Damage per hit",
                "Longest combo", "Mean longest combo", "Landed", "Close"});
    for (int64_t c : shownClasses(roster, hard)) {
        const ClassFigures& f = hard.classes[size_t(c)];
        const bool played = f.rate.played > 0;
        text += row({roster[size_t(c)].name, played ? percentText(fractionOf(f.rate)) : "–",
                     intervalText(f.rate), count(f.rate.played),
                     played ? format("%.1f s", f.seconds / double(f.rate.played)) : "–",
                     f.hits > 0 ? format("%.1f", double(f.damage) / double(f.hits)) : "–",
                     count(f.longestCombo),
                     played ? format("%.2f", double(f.comboSum) / double(f.rate.played)) : "–",
                     share(f.landed, f.attacks), share(f.closeFrames, f.frames)});
    }
    const Rate playerOne{hard.playerOneWins, hard.matches};
    text += "\nPlayer one won " + rateWithCounts(playerOne) + ", 95 % interval " +
            intervalText(playerOne) + "; player two " + share(hard.playerTwoWins, hard.matches) +
            ", undecided " + count(hard.undecided) +
            " (a rate far from 50 % would make the "
            "side itself an advantage).\n";
    text += "Mean match length " + format("%.1f s", meanSeconds(hard)) + " of game time";
    if (hard.mirrors > 0) text += "; " + count(hard.mirrors) + " mirror matches left out";
    return text + ".\n\n";
}

std::string matrixSection(const Roster& roster, const BalanceFigures& figures,
                          const std::string& matrixFile) {
    const HardFigures& hard = figures.hard;
    const std::vector<int64_t> shown = shownClasses(roster, hard);
    std::string text = "## Pair matrix\n\nThe row class's win rate against the column class, "
                       "both orders pooled (undecided matches count as not won), with the "
                       "matches played.\n\n![Pair matrix heat map](" +
                       matrixFile + ")\n\n";
    std::vector<std::string> top{"Row against column"};
    for (int64_t c : shown)
        top.push_back(roster[size_t(c)].name);
    text += header(top);
    for (int64_t r : shown) {
        std::vector<std::string> cells{roster[size_t(r)].name};
        for (int64_t c : shown) {
            const Rate& rate = hard.pairs[size_t(r)][size_t(c)];
            if (r == c)
                cells.push_back("—");
            else if (rate.played == 0)
                cells.push_back("–");
            else
                cells.push_back(percentText(fractionOf(rate)) + " (" + count(rate.played) + ")");
        }
        text += row(cells);
    }
    return text + "\n";
}

std::string stanceSection(const Roster& roster, const BalanceFigures& figures) {
    const HardFigures& hard = figures.hard;
    std::string text =
        "## Stances, Hard against Hard\n\nEach stance's win rate and how far it "
        "is from its class's, in percentage points.\n\n" +
        header({"Class", "Stance", "Win rate", "Matches", "Off the class, points"}, 2);
    for (int64_t c : shownClasses(roster, hard)) {
        const RosterClass& rc = roster[size_t(c)];
        const double classRate = fractionOf(hard.classes[size_t(c)].rate);
        const std::vector<Rate>& stances = hard.stances[size_t(c)];
        for (size_t s = 0; s < stances.size(); ++s) {
            const Rate& rate = stances[s];
            text += row(
                {rc.name, stanceName(rc, s), rate.played > 0 ? percentText(fractionOf(rate)) : "–",
                 count(rate.played),
                 rate.played > 0 ? format("%+.1f", 100 * (fractionOf(rate) - classRate)) : "–"});
        }
    }
    return text + "\n";
}

std::string levelSection(const Roster& roster, const BalanceFigures& figures) {
    std::string text = "## Bot levels\n\nBots of two levels against each other, classes, "
                       "stances and stages drawn from each match's seed, the stronger bot as "
                       "player one in half the matches and as player two in the other half. "
                       "Undecided matches count as not won.\n\n";
    if (figures.levels.empty()) return text + "No match between two levels.\n\n";
    text += header({"Pairing", "Stronger wins", "95 % interval", "As player one", "As player two",
                    "Undecided"});
    for (const LevelPairFigures& pair : figures.levels) {
        text += row({levelName(pair.stronger) + " against " + levelName(pair.weaker),
                     rateWithCounts(pair.strongerWins), intervalText(pair.strongerWins),
                     rateWithCounts(pair.strongerAsPlayerOne),
                     rateWithCounts(pair.strongerAsPlayerTwo), count(pair.undecided)});
    }
    text += "\nThe stronger bot's win rate by the class it played:\n\n";
    std::vector<std::string> top{"Class"};
    for (const LevelPairFigures& pair : figures.levels)
        top.push_back(levelName(pair.stronger) + " against " + levelName(pair.weaker));
    text += header(top);
    for (size_t c = 0; c < roster.size(); ++c) {
        std::vector<std::string> cells{roster[c].name};
        bool any = false;
        for (const LevelPairFigures& pair : figures.levels) {
            const Rate rate = c < pair.byClass.size() ? pair.byClass[c] : Rate{};
            any = any || rate.played > 0;
            cells.push_back(rateWithCounts(rate));
        }
        if (any) text += row(cells);
    }
    return text + "\n";
}

std::string passiveSection(const Roster& roster, const BalanceFigures& figures) {
    std::string text = "## Against a passive opponent\n\nEach playable class as a bot of each "
                       "level against every other playable class standing still (no input), "
                       "stances and stages drawn. Knock-out time: mean game seconds of the "
                       "matches won.\n\n";
    if (figures.passive.empty()) return text + "No match against a passive opponent.\n\n";
    text += header({"Class", "Level", "Matches", "Attacks", "Per match", "Landed",
                    "Time to knock-out", "No knock-out", "Close"},
                   2);
    for (const PassiveFigures& p : figures.passive) {
        const std::string name = p.classIndex >= 0 && p.classIndex < int64_t(roster.size())
                                     ? roster[size_t(p.classIndex)].name
                                     : "class " + std::to_string(p.classIndex);
        text +=
            row({name, levelName(p.level), count(p.matches), count(p.attacks),
                 p.matches > 0 ? format("%.1f", double(p.attacks) / double(p.matches)) : "–",
                 share(p.landed, p.attacks),
                 p.knockOuts > 0 ? format("%.1f s", p.knockOutSeconds / double(p.knockOuts)) : "–",
                 count(p.matches - p.knockOuts), share(p.closeFrames, p.frames)});
    }
    return text + "\n";
}

} // namespace

BalanceFigures balanceFigures(const Roster& roster, const std::vector<MatchRecord>& hard,
                              const std::vector<MatchRecord>& levels,
                              const std::vector<MatchRecord>& passive) {
    BalanceFigures figures;
    figures.hardLines = int64_t(hard.size());
    figures.levelLines = int64_t(levels.size());
    figures.passiveLines = int64_t(passive.size());
    figures.hard = hardFigures(roster, hard);
    figures.levels = levelFigures(roster, levels);
    figures.passive = passiveFigures(passive);
    figures.targets = evaluateTargets(roster, figures.hard, figures.levels, figures.passive);
    return figures;
}

std::string reportMarkdown(const Roster& roster, const BalanceFigures& figures,
                           const std::string& command, const std::string& date,
                           const std::string& matrixFile) {
    const int64_t total = figures.hardLines + figures.levelLines + figures.passiveLines;
    std::string text = "# Quarrelix balance report\n\n" + count(total) +
                       " headless bot matches, made by `" + command + "` on " + date + ":\n\n";
    text += "- " + count(figures.hardLines) + " Hard against Hard (`hard.jsonl`),\n";
    text += "- " + count(figures.levelLines) + " between bot levels (`levels.jsonl`),\n";
    text +=
        "- " + count(figures.passiveLines) + " against a passive opponent (`passive.jsonl`).\n\n";
    return text + targetsSection(figures) + classSection(roster, figures) +
           matrixSection(roster, figures, matrixFile) + stanceSection(roster, figures) +
           levelSection(roster, figures) + passiveSection(roster, figures);
}

std::string reportSummary(const Roster& roster, const BalanceFigures& figures) {
    std::string text = count(figures.hardLines) + " Hard-against-Hard matches, " +
                       count(figures.levelLines) + " between bot levels, " +
                       count(figures.passiveLines) + " against a passive opponent\n";
    int64_t met = 0;
    for (const Target& target : figures.targets)
        met += target.met;
    text += "Targets met: " + count(met) + " of " + count(int64_t(figures.targets.size())) + "\n";
    for (const Target& target : figures.targets)
        text += std::string(target.met ? "  met      " : "  NOT MET  ") + target.goal + ": " +
                target.measured + "\n";
    text += "Hard against Hard:";
    for (int64_t c : shownClasses(roster, figures.hard)) {
        const Rate& rate = figures.hard.classes[size_t(c)].rate;
        text += " " + roster[size_t(c)].name + " " +
                (rate.played > 0 ? percentText(fractionOf(rate)) : "–") + ",";
    }
    if (text.back() == ',') text.pop_back();
    const Rate playerOne{figures.hard.playerOneWins, figures.hard.matches};
    if (playerOne.played > 0)
        text += "\nPlayer one won " + rateWithCounts(playerOne) + ", 95 % interval " +
                intervalText(playerOne);
    return text + "\n";
}

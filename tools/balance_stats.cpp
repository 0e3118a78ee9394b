// The balance report's figures over the runner's match records.
#include "balance_stats.h"

#include <algorithm>
#include <cmath>

namespace {

// The side (0 or 1) that won, -1 when nobody did.
int winningSide(const MatchRecord& match) {
    return match.winner == 0 ? -1 : match.winner - 1;
}

// Grows a table so that index fits (stances beyond the roster's are still counted).
template <typename T> T& grownAt(std::vector<T>& list, int64_t index) {
    if (index >= int64_t(list.size())) list.resize(size_t(index) + 1);
    return list[size_t(index)];
}

bool placed(const MatchRecord& match) {
    return match.side[0].classIndex >= 0 && match.side[1].classIndex >= 0;
}

} // namespace

double fractionOf(const Rate& rate) {
    return fractionOf(rate.won, rate.played);
}

double fractionOf(int64_t some, int64_t whole) {
    return whole > 0 ? double(some) / double(whole) : 0.0;
}

Interval wilsonInterval(int64_t won, int64_t played, double z) {
    if (played <= 0) return {0.0, 1.0};
    const double n = double(played);
    const double p = double(won) / n;
    const double z2 = z * z;
    const double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
    const double half = z / (1 + z2 / n) * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n));
    return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

HardFigures hardFigures(const Roster& roster, const std::vector<MatchRecord>& matches) {
    HardFigures hard;
    const size_t count = roster.size();
    hard.classes.resize(count);
    hard.pairs.assign(count, std::vector<Rate>(count));
    hard.stances.resize(count);
    for (size_t c = 0; c < count; ++c)
        hard.stances[c].resize(roster[c].stances.size());
    for (const MatchRecord& match : matches) {
        if (!placed(match)) continue;
        const int64_t a = match.side[0].classIndex, b = match.side[1].classIndex;
        if (a >= int64_t(count) || b >= int64_t(count)) continue;
        if (a == b) {
            hard.mirrors += 1;
            continue;
        }
        const int won = winningSide(match);
        hard.matches += 1;
        hard.seconds += match.gameSeconds;
        hard.undecided += won < 0;
        hard.playerOneWins += won == 0;
        hard.playerTwoWins += won == 1;
        for (int s = 0; s < 2; ++s) {
            const MatchSide& side = match.side[s];
            const MatchSide& other = match.side[1 - s];
            const bool wonIt = won == s;
            ClassFigures& figures = hard.classes[size_t(side.classIndex)];
            figures.rate.played += 1;
            figures.rate.won += wonIt;
            figures.seconds += match.gameSeconds;
            figures.hits += side.hits;
            figures.damage += side.damage;
            figures.longestCombo = std::max(figures.longestCombo, side.maxCombo);
            figures.comboSum += side.maxCombo;
            figures.attacks += side.attacks;
            figures.landed += side.landed;
            figures.closeFrames += side.closeFrames;
            figures.frames += match.frames;
            Rate& pair = hard.pairs[size_t(side.classIndex)][size_t(other.classIndex)];
            pair.played += 1;
            pair.won += wonIt;
            Rate& stance = grownAt(hard.stances[size_t(side.classIndex)], side.stance);
            stance.played += 1;
            stance.won += wonIt;
        }
    }
    return hard;
}

double meanSeconds(const HardFigures& hard) {
    return hard.matches > 0 ? hard.seconds / double(hard.matches) : 0.0;
}

std::vector<int64_t> shownClasses(const Roster& roster, const HardFigures& hard) {
    std::vector<int64_t> shown;
    for (size_t c = 0; c < roster.size(); ++c) {
        const bool played = c < hard.classes.size() && hard.classes[c].rate.played > 0;
        if (roster[c].playable || played) shown.push_back(int64_t(c));
    }
    return shown;
}

std::vector<StanceDeviation> stanceDeviations(const HardFigures& hard) {
    std::vector<StanceDeviation> deviations;
    for (size_t c = 0; c < hard.stances.size() && c < hard.classes.size(); ++c) {
        const double classRate = fractionOf(hard.classes[c].rate);
        for (size_t s = 0; s < hard.stances[c].size(); ++s) {
            const Rate& stance = hard.stances[c][s];
            if (stance.played == 0) continue;
            deviations.push_back(
                {int64_t(c), int64_t(s), 100.0 * (fractionOf(stance) - classRate)});
        }
    }
    return deviations;
}

std::vector<LevelPairFigures> levelFigures(const Roster& roster,
                                           const std::vector<MatchRecord>& matches) {
    std::vector<LevelPairFigures> pairs;
    for (const MatchRecord& match : matches) {
        const int64_t l0 = match.side[0].level, l1 = match.side[1].level;
        if (l0 == l1) continue;
        const int strongSide = l0 > l1 ? 0 : 1;
        const int64_t stronger = std::max(l0, l1), weaker = std::min(l0, l1);
        auto found = std::find_if(pairs.begin(), pairs.end(), [&](const LevelPairFigures& p) {
            return p.stronger == stronger && p.weaker == weaker;
        });
        if (found == pairs.end()) {
            LevelPairFigures fresh;
            fresh.stronger = stronger;
            fresh.weaker = weaker;
            fresh.byClass.resize(roster.size());
            pairs.push_back(fresh);
            found = pairs.end() - 1;
        }
        const int won = winningSide(match);
        const bool strongerWon = won == strongSide;
        found->strongerWins.played += 1;
        found->strongerWins.won += strongerWon;
        Rate& bySide = strongSide == 0 ? found->strongerAsPlayerOne : found->strongerAsPlayerTwo;
        bySide.played += 1;
        bySide.won += strongerWon;
        found->undecided += won < 0;
        const int64_t classIndex = match.side[strongSide].classIndex;
        if (classIndex >= 0) {
            Rate& byClass = grownAt(found->byClass, classIndex);
            byClass.played += 1;
            byClass.won += strongerWon;
        }
    }
    // Hard against Medium before Medium against Easy: by the stronger level, then the weaker.
    std::sort(pairs.begin(), pairs.end(), [](const LevelPairFigures& a, const LevelPairFigures& b) {
        return a.stronger != b.stronger ? a.stronger > b.stronger : a.weaker > b.weaker;
    });
    return pairs;
}

std::vector<PassiveFigures> passiveFigures(const std::vector<MatchRecord>& matches) {
    std::vector<PassiveFigures> table;
    for (const MatchRecord& match : matches) {
        const bool firstPassive = match.side[0].level == 0,
                   secondPassive = match.side[1].level == 0;
        if (firstPassive == secondPassive) continue;
        const int attacker = firstPassive ? 1 : 0;
        const MatchSide& side = match.side[attacker];
        auto found = std::find_if(table.begin(), table.end(), [&](const PassiveFigures& p) {
            return p.classIndex == side.classIndex && p.level == side.level;
        });
        if (found == table.end()) {
            PassiveFigures fresh;
            fresh.classIndex = side.classIndex;
            fresh.level = side.level;
            table.push_back(fresh);
            found = table.end() - 1;
        }
        found->matches += 1;
        found->attacks += side.attacks;
        found->landed += side.landed;
        found->closeFrames += side.closeFrames;
        found->frames += match.frames;
        if (winningSide(match) == attacker) {
            found->knockOuts += 1;
            found->knockOutSeconds += match.gameSeconds;
        }
    }
    std::sort(table.begin(), table.end(), [](const PassiveFigures& a, const PassiveFigures& b) {
        return a.classIndex != b.classIndex ? a.classIndex < b.classIndex : a.level < b.level;
    });
    return table;
}

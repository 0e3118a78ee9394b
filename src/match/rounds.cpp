// The rounds of a match.
#include "match/rounds.h"

#include <algorithm>

#include "fight/fight_state.h"
#include "render/life_bar.h"

int64_t roundsToWin(int64_t rounds) { return std::max<int64_t>(1, rounds) / 2 + 1; }

int64_t roundWinner(int64_t fightResult) {
    return fightResult == 1 ? 2 : fightResult == 2 ? 1 : 0;
}

int64_t roundsWon(const std::vector<int64_t>& winners, int64_t player) {
    return int64_t(std::count(winners.begin(), winners.end(), player));
}

bool matchDecided(int64_t rounds, const std::vector<int64_t>& winners) {
    int64_t needed = roundsToWin(rounds);
    return roundsWon(winners, 1) >= needed || roundsWon(winners, 2) >= needed ||
           int64_t(winners.size()) >= 2 * std::max<int64_t>(1, rounds);
}

int64_t resultByRounds(const std::vector<int64_t>& winners) {
    int64_t one = roundsWon(winners, 1), two = roundsWon(winners, 2);
    return one > two ? 2 : two > one ? 1 : 0;
}

std::string roundBanner(const FightContext& context) {
    if (context.rounds <= 1 || context.roundWinners.empty()) return "";
    return "Round " + std::to_string(context.roundWinners.size() + 1);
}

void drawRoundCounter(const FightContext& context) {
    if (context.rounds <= 1) return;
    int64_t needed = roundsToWin(context.rounds);
    for (int64_t player = 1; player <= 2; ++player)
        drawRoundMarks(context.fight.players[size_t(player - 1)],
                       roundsWon(context.roundWinners, player), needed);
}

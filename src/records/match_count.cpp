// Counting a finished match.
#include "records/match_count.h"

#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"

void countMatch(const FightState& fight, int64_t result, Opponent opponent, double fightSeconds,
                int64_t side) {
    if (result == 0 || side < 0 || side > 1) return;
    const Fighter& player = fight.players[size_t(side)];
    const Fighter& other = fight.players[size_t(1 - side)];
    if (!player.fighterClass) return;
    MatchResult match;
    match.playerClass = player.fighterClass->name;
    match.opponent = opponent;
    match.botLevel = other.botLevel;
    match.won = result == (side == 0 ? 2 : 1); // the result names the side that lost
    match.knockOutSeconds = fightSeconds;
    match.highestCombo = player.stats.maxCombo;
    noteMatch(records, match);
    saveRecords();
}

// The match record.
#include "match/match_record.h"

#include <algorithm>

#include "fight/fight_state.h"

std::unique_ptr<MatchRecord> currentMatch;

MatchRecord* prepareMatch(std::unique_ptr<MatchRecord>& match, FightState& fight, Stage* stage,
                          int64_t againstBot) {
    if (match) {
        match->againstBot = againstBot;
        return match.get();
    }
    match = std::make_unique<MatchRecord>();
    match->modeName = againstBot ? "1vbot" : "1v1";
    match->stage = stage;
    match->againstBot = againstBot;
    addPlayerToTeam(addTeam(*match, "right"), &fight.players[0]);
    addPlayerToTeam(addTeam(*match, "left"), &fight.players[1]);
    addOpponent(teamAt(*match, 0), teamAt(*match, 1));
    addOpponent(teamAt(*match, 1), teamAt(*match, 0));
    return match.get();
}

Team* addTeam(MatchRecord& match, const std::string& name) {
    match.teams.push_back(std::make_unique<Team>());
    match.teams.back()->name = name;
    return match.teams.back().get();
}

Team* teamAt(MatchRecord& match, int64_t index) {
    if (index < 0 || index >= int64_t(match.teams.size())) return nullptr;
    return match.teams[size_t(index)].get();
}

int64_t addPlayerToTeam(Team* team, Fighter* player) {
    if (!team || !player) return 2;
    if (std::find(team->members.begin(), team->members.end(), player) != team->members.end())
        return 1;
    team->members.push_back(player);
    return 0;
}

int64_t addPlayerToTeamAt(MatchRecord& match, int64_t index, Fighter* player) {
    return addPlayerToTeam(teamAt(match, index), player);
}

void addOpponent(Team* team, Team* other) {
    if (!team || !other || team == other) return;
    if (std::find(team->opponents.begin(), team->opponents.end(), other) != team->opponents.end())
        return;
    team->opponents.push_back(other);
}

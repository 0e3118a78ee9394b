// The match record: the teams of a fight, their opponents, the stage and the mode.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FightState;
struct Fighter;
struct Stage;

struct Team {
    std::vector<Fighter*> members;
    std::string name;
    std::vector<Team*> opponents;
};

struct MatchRecord {
    std::vector<std::unique_ptr<Team>> teams;
    std::string modeName; // "1v1" or "1vbot"
    Stage* stage = nullptr;
    int64_t againstBot = 0;
};

extern std::unique_ptr<MatchRecord> currentMatch;

// The record made once for the fight's two players (the first team player one, "right"), or
// the one there with the new mode.
MatchRecord* prepareMatch(std::unique_ptr<MatchRecord>& match, FightState& fight, Stage* stage,
                          int64_t againstBot);
Team* addTeam(MatchRecord& match, const std::string& name);
Team* teamAt(MatchRecord& match, int64_t index);
int64_t addPlayerToTeam(Team* team, Fighter* player); // 2 missing, 1 already there, 0 added
int64_t addPlayerToTeamAt(MatchRecord& match, int64_t index, Fighter* player);
void addOpponent(Team* team, Team* other);

// The match record: two teams, each the other's opponent, kept from one match to the next.
#include <gtest/gtest.h>

#include "game_fight.h"
#include "fight/fighter.h"
#include "match/match_record.h"

TEST(MatchRecord, TwoTeamsThatOpposeEachOther) {
    std::unique_ptr<MatchRecord> match;
    MatchRecord* record = prepareMatch(match, fight, nullptr, 0);
    ASSERT_EQ(record->teams.size(), 2u);
    EXPECT_EQ(record->modeName, "1v1");
    EXPECT_EQ(teamAt(*record, 0)->name, "right");
    EXPECT_EQ(teamAt(*record, 0)->members, (std::vector<Fighter*>{&playerOne}));
    EXPECT_EQ(teamAt(*record, 1)->members, (std::vector<Fighter*>{&playerTwo}));
    EXPECT_EQ(teamAt(*record, 0)->opponents, (std::vector<Team*>{teamAt(*record, 1)}));
    EXPECT_EQ(teamAt(*record, 1)->opponents, (std::vector<Team*>{teamAt(*record, 0)}));
    EXPECT_EQ(teamAt(*record, 2), nullptr);
}

TEST(MatchRecord, AddingTwiceAndSelfOpponentsChangeNothing) {
    std::unique_ptr<MatchRecord> match;
    MatchRecord* record = prepareMatch(match, fight, nullptr, 0);
    EXPECT_EQ(addPlayerToTeamAt(*record, 0, &playerOne), 1);
    EXPECT_EQ(teamAt(*record, 0)->members.size(), 1u);
    EXPECT_EQ(addPlayerToTeamAt(*record, 5, &playerOne), 2);
    EXPECT_EQ(addPlayerToTeam(teamAt(*record, 0), nullptr), 2);
    addOpponent(teamAt(*record, 0), teamAt(*record, 0));
    addOpponent(teamAt(*record, 0), teamAt(*record, 1));
    EXPECT_EQ(teamAt(*record, 0)->opponents.size(), 1u);
}

TEST(MatchRecord, TheSameRecordServesTheNextMode) {
    std::unique_ptr<MatchRecord> match;
    MatchRecord* first = prepareMatch(match, fight, nullptr, 0);
    MatchRecord* second = prepareMatch(match, fight, nullptr, 1);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->againstBot, 1);
    EXPECT_EQ(second->teams.size(), 2u);
    EXPECT_EQ(second->teams[1]->members.size(), 1u);
}

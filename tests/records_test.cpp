// The records: what a match, an arcade clear and a survival run change; the file read back as
// written; a damaged file kept aside; a writer killed mid-write leaves a file that reads.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "records/match_count.h"
#include "records/records.h"
#include "runtime/files.h"

namespace {
struct RecordsTest : testing::Test {
    void SetUp() override {
        recordsPath = "records_test.txt";
        std::filesystem::remove(recordsPath);
        std::filesystem::remove(recordsPath + ".bad");
        records = Records{};
    }
    void TearDown() override {
        std::filesystem::remove("records_test.txt");
        std::filesystem::remove("records_test.txt.bad");
        std::filesystem::remove("records_test.txt.tmp"); // a killed writer's
        recordsPath = "records.txt";
        records = Records{};
    }
};
} // namespace

// Matches count by class, opponent and level; the streak, the fastest knock-out and the combo
// follow; the arcade keeps its best time and fewest continues; all of it reads back as written.
TEST_F(RecordsTest, MatchesAndModesAreCountedAndReadBack) {
    const MatchResult matches[] = {
        {"Brawler", Opponent::Bot, 3, true, 41.5, 7}, {"Brawler", Opponent::Bot, 3, true, 38.0, 3},
        {"Brawler", Opponent::Bot, 1, false, 0, 2},   {"Dancer", Opponent::Person, 1, true, 60.0, 9},
        {"Dancer", Opponent::Online, 1, true, 0, 1},  {"Dancer", Opponent::Online, 1, false, 12.0, 0},
        {"Brawler", Opponent::Bot, 2, true, 25.0, 4}};
    for (const MatchResult& match : matches) noteMatch(records, match);
    noteArcadeClear(records, "Brawler", 610.0, 2);
    noteArcadeClear(records, "Brawler", 650.0, 0);
    noteSurvival(records, 5);
    noteSurvival(records, 3);
    const ClassRecord& brawler = records.classes["Brawler"];
    EXPECT_EQ(brawler.botWins, (std::array<int64_t, 3>{0, 1, 2}));
    EXPECT_EQ(brawler.botLosses, (std::array<int64_t, 3>{1, 0, 0}));
    EXPECT_EQ(records.classes["Dancer"].peopleWins, 1);
    EXPECT_EQ(records.classes["Dancer"].onlineWins, 1);
    EXPECT_EQ(records.classes["Dancer"].onlineLosses, 1);
    EXPECT_EQ(records.longestWinStreak, 2);
    EXPECT_EQ(records.winStreak, 1);
    EXPECT_EQ(records.fastestKnockOutSeconds, 25.0); // a lost match's knock-out is not the player's
    EXPECT_EQ(records.highestCombo, 9);
    EXPECT_EQ(brawler.arcadeClears, 2);
    EXPECT_EQ(brawler.arcadeBestSeconds, 610.0);
    EXPECT_EQ(brawler.arcadeFewestContinues, 0);
    EXPECT_EQ(records.survivalBest, 5);

    ASSERT_EQ(saveRecords(), 1);
    const std::string written = recordsText(records);
    records = Records{};
    ASSERT_EQ(loadRecords(), 1);
    EXPECT_EQ(recordsText(records), written);
}

// A finished match counts for the player on the given side (online, this computer's side): the
// result names the side that lost; a match without a knock-out counts for nobody.
TEST_F(RecordsTest, AFinishedMatchCountsForThePlayersSide) {
    FighterClass brawler, dancer;
    brawler.name = "Brawler", dancer.name = "Dancer";
    FightState fight;
    fight.players[0].fighterClass = &brawler, fight.players[1].fighterClass = &dancer;
    fight.players[1].botLevel = 2; // against the computer: its level is player two's
    struct Case {
        int64_t result, side;
        Opponent opponent;
        const char* counted; // the class whose record changed, "" for none
        int64_t ClassRecord::*count;
    };
    const Case cases[] = {{2, 0, Opponent::Person, "Brawler", &ClassRecord::peopleWins},
                          {1, 0, Opponent::Person, "Brawler", &ClassRecord::peopleLosses},
                          {2, 1, Opponent::Online, "Dancer", &ClassRecord::onlineLosses},
                          {1, 1, Opponent::Online, "Dancer", &ClassRecord::onlineWins},
                          {0, 0, Opponent::Bot, "", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.result << " side " << c.side);
        records = Records{};
        countMatch(fight, c.result, c.opponent, 30.0, c.side);
        ASSERT_EQ(records.classes.size(), *c.counted ? 1u : 0u);
        if (*c.counted) EXPECT_EQ(records.classes[c.counted].*c.count, 1);
    }
    countMatch(fight, 2, Opponent::Bot, 30.0);
    EXPECT_EQ(records.classes["Brawler"].botWins[1], 1);
    EXPECT_EQ(loadRecords(), 1); // each count was saved
}

// A damaged or foreign file is kept aside as ".bad" and said so, the records start afresh, and
// the next save does not lose it; no file at all is no news.
TEST_F(RecordsTest, ADamagedFileIsKeptAsideAndReported) {
    EXPECT_EQ(loadRecords(), 0);
    EXPECT_EQ(recordsPath, "records_test.txt");
    for (const std::string& damaged : {std::string("{\"format\": 1, \"classes\": {\"Bra"),
                                      std::string("{\"format\": 99}"), std::string("\x00\xff", 2)}) {
        SCOPED_TRACE(damaged);
        ASSERT_TRUE(replaceFileAtomically(recordsPath, damaged));
        records.highestCombo = 12;
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadRecords(), 0);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("kept as records_test.txt.bad"), std::string::npos);
        EXPECT_EQ(records.highestCombo, 0);
        std::string kept;
        ASSERT_TRUE(readWholeFile("records_test.txt.bad", kept));
        EXPECT_EQ(kept, damaged);
        ASSERT_EQ(saveRecords(), 1);
    }
}

// A writer killed at any moment of its saves leaves a file that reads: the old records or the
// new ones, never half of either.
TEST_F(RecordsTest, AWriterKilledMidWriteLeavesAFileThatReads) {
    for (int i = 0; i < 40; ++i) records.classes["Class " + std::to_string(i)].peopleWins = i;
    ASSERT_EQ(saveRecords(), 1);
    for (int kill = 0; kill < 12; ++kill) {
        pid_t writer = fork();
        if (writer == 0) {
            for (int64_t n = 1;; ++n) {
                records.highestCombo = n;
                saveRecords();
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(300 + 700 * kill));
        ASSERT_EQ(::kill(writer, SIGKILL), 0);
        waitpid(writer, nullptr, 0);
        Records before = records;
        ASSERT_EQ(loadRecords(), 1) << "killed after " << 300 + 700 * kill << " us";
        EXPECT_EQ(records.classes.size(), 40u);
        records = before;
    }
}

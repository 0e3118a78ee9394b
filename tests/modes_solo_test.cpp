// The solo modes through the real screens: the arcade's ladder lost once, continued and won;
// survival's life carried over until a fight is lost, then the records screen, which clears the
// records only when asked twice.
#include "journey_fixture.h"

#include <filesystem>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "match/match.h"
#include "modes/arcade.h"
#include "records/records.h"
#include "records/records_screen.h"
#include "runtime/files.h"

namespace {
using SoloModes = JourneyTest;
using Screens = std::vector<std::string>;

// From the main menu down to "Solo modes" and into its entry `entry` (0 arcade, 1 survival).
void openSoloEntry(Journey& journey, int entry) {
    journey.onNext("main menu", [] {
        for (int i = 0; i < 6; ++i) tap(25 + 3 * i, kKeyDown);
        tap(45, kKeyReturn);
    });
    journey.onNext("solo modes", [entry] {
        if (entry) tap(25, kKeyDown);
        tap(40, kKeyReturn);
    });
    journey.on("class selection", 0, [] { tap(25, kKeyReturn); }); // the first class
}

// Fight by fight, the fighter `losers` names (1 player one, 2 player two) is knocked out at the
// 10th pass, after player one lost `hurt` life points at the 5th; `lives` gets player one's life
// at each fight's first pass.
void knockOuts(std::vector<int> losers, int64_t hurt, std::vector<int64_t>* lives = nullptr) {
    matchHooks.afterFightFrame = [=, fights = size_t(0)](int64_t pass) mutable {
        if (pass == 1 && lives) lives->push_back(playerOne.life);
        if (pass == 5) playerOne.life -= hurt;
        if (pass == 10 && fights < losers.size()) (losers[fights++] == 1 ? playerOne : playerTwo).life = -40;
    };
}

Records recordsOnDisk() {
    Records kept;
    std::string text;
    EXPECT_TRUE(readWholeFile("records.txt", text) && readRecordsText(text, kept));
    return kept;
}
} // namespace

TEST_F(SoloModes, TheLadderLostOnceContinuedAndClearedEndsWithTheCredits) {
    openSoloEntry(journey, 0);
    // The ladder's screen opens before each of its fights: Return goes on to the fight.
    for (int i = 0; i < 8; ++i) journey.on("arcade ladder", i, [] { tap(25, kKeyReturn); });
    journey.on("fight", 0, [] { knockOuts({1, 2, 2, 2, 2, 2, 2, 2}, 0); });
    journey.on("arcade continue", 0, [] { tap(25, kKeyReturn); }); // "Continue"
    journey.on("arcade cleared", 0, [] { tap(25, kKeyReturn); });  // on to the credits
    journey.on("credits", 0, [] { tap(25, kKeyEscape); });
    journey.on("solo modes", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);

    const size_t ladder = playableClassPositions().size() - 1;
    ASSERT_GE(ladder, 2u);
    Screens expected = {"main menu", "solo modes", "class selection", "arcade ladder", "fight",
                        "arcade continue", "fight"};
    for (size_t i = 1; i < ladder; ++i) expected.insert(expected.end(), {"arcade ladder", "fight"});
    expected.insert(expected.end(), {"arcade cleared", "credits", "solo modes", "main menu"});
    EXPECT_EQ(journey.screens, expected);
    // The records on disk: the clear with its one continue, every fight won and the one lost.
    Records kept = recordsOnDisk();
    const ClassRecord& mine = kept.classes[playerOne.fighterClass->name];
    EXPECT_EQ(mine.arcadeClears, 1);
    EXPECT_EQ(mine.arcadeFewestContinues, 1);
    EXPECT_GT(mine.arcadeBestSeconds, 0);
    EXPECT_EQ(mine.botLosses, (std::array<int64_t, 3>{1, 0, 0})); // the first fight is at Easy
    EXPECT_EQ(mine.botWins[2], 2);                                // the last two at Hard
    EXPECT_EQ(mine.botWins[0] + mine.botWins[1] + mine.botWins[2], int64_t(ladder));
    EXPECT_EQ(kept.longestWinStreak, int64_t(ladder));
}

TEST_F(SoloModes, SurvivalCarriesTheLifeOverThenTheRecordsAreClearedWhenConfirmed) {
    openSoloEntry(journey, 1);
    for (int i = 0; i < 3; ++i) journey.on("survival", i, [] { tap(25, kKeyReturn); });
    std::vector<int64_t> lives; // player one's at each fight's start
    const int64_t hurt = 60;
    journey.on("fight", 0, [&] { knockOuts({2, 2, 1}, hurt, &lives); });
    journey.on("survival over", 0, [] { tap(25, kKeyReturn); });
    Records afterSurvival;
    journey.on("solo modes", 1, [&] {
        afterSurvival = recordsOnDisk();
        tap(25, kKeyDown); // from Survival, kept, to the records
        tap(28, kKeyReturn);
    });
    // "(go back)" is highlighted first, Up reaches "Clear records"; the question starts on
    // "Keep them": Return there keeps everything, Up first clears.
    auto askToClear = [] {
        tap(25, kKeyUp);
        tap(28, kKeyReturn);
    };
    journey.on("records", 0, askToClear);
    journey.on("clear records", 0, [] { tap(25, kKeyReturn); });
    Records afterKeeping;
    journey.on("records", 1, [&] {
        afterKeeping = recordsOnDisk();
        askToClear();
    });
    journey.on("clear records", 1, [] {
        tap(25, kKeyUp);
        tap(28, kKeyReturn);
    });
    journey.on("records", 2, [] { tap(25, kKeyEscape); });
    journey.on("solo modes", 2, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);

    EXPECT_EQ(journey.screens,
              (Screens{"main menu", "solo modes", "class selection", "survival", "fight", "survival",
                       "fight", "survival", "fight", "survival over", "solo modes", "records",
                       "clear records", "records", "clear records", "records", "solo modes",
                       "main menu"}));
    const int64_t full = playerOne.maxLife;
    ASSERT_EQ(lives.size(), 3u);
    EXPECT_EQ(lives[0], full);
    EXPECT_EQ(lives[1], survivalLifeAfterWin(full - hurt, full));
    EXPECT_EQ(lives[2], survivalLifeAfterWin(lives[1] - hurt, full));
    EXPECT_LT(lives[2], full);
    EXPECT_EQ(afterSurvival.survivalBest, 2);
    EXPECT_EQ(recordsText(afterKeeping), recordsText(afterSurvival));
    // Only the first fight, from full life, is kept as a replay: the others would not play back.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("replays"), {}), 1);
    EXPECT_EQ(recordsText(recordsOnDisk()), recordsText(Records{}));

    // The screen's lines: the table's columns line up, times as minutes.
    std::vector<std::string> lines = recordsLines(afterSurvival);
    EXPECT_EQ(lines[0].find("Hard"), lines[1].find("2-1"));
    EXPECT_EQ(clockText(59.96), "1:00.0");
}

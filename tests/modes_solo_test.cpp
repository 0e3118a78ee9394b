// The solo modes through the real screens: the arcade's ladder lost once, continued and won;
// survival's life carried over until a fight is lost; the records they leave, and the records
// screen clearing them only when asked twice.
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

// From the main menu down to "Solo modes" and into the entry `entry` (0 arcade, 1 survival,
// 2 records).
void openSoloEntry(Journey& journey, int entry) {
    journey.onNext("main menu", [] {
        for (int i = 0; i < 6; ++i) tap(25 + 3 * i, kKeyDown);
        tap(45, kKeyReturn);
    });
    journey.onNext("solo modes", [entry] {
        for (int i = 0; i < entry; ++i) tap(25 + 3 * i, kKeyDown);
        tap(40, kKeyReturn);
    });
}

// Each fight ends at its 10th pass with the knock-out of the fighters `losers` names, fight by
// fight (1 player one, 2 player two); player one loses `hurt` life points first.
void knockOuts(std::vector<int> losers, int64_t hurt = 0) {
    matchHooks.afterFightFrame = [losers, hurt, fights = size_t(0)](int64_t pass) mutable {
        if (pass == 5) playerOne.life -= hurt;
        if (pass != 10 || fights >= losers.size()) return;
        (losers[fights++] == 1 ? playerOne : playerTwo).life = -40;
    };
}

size_t filesIn(const std::string& directory) {
    std::error_code error;
    size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(directory, error);
         !error && it != std::filesystem::directory_iterator(); ++it)
        ++count;
    return count;
}
} // namespace

TEST_F(SoloModes, TheLadderLostOnceContinuedAndClearedEndsWithTheCredits) {
    openSoloEntry(journey, 0);
    journey.on("class selection", 0, [] { tap(25, kKeyReturn); }); // the first class
    journey.on("arcade continue", 0, [] { tap(25, kKeyReturn); }); // "Continue"
    journey.on("arcade cleared", 0, [] { tap(25, kKeyReturn); });  // on to the credits
    journey.on("credits", 0, [] { tap(25, kKeyEscape); });
    journey.on("solo modes", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    // The ladder's screen opens before each of its fights: Return goes on to the fight.
    for (int i = 0; i < 8; ++i) journey.on("arcade ladder", i, [] { tap(25, kKeyReturn); });
    journey.on("fight", 0, [] { knockOuts({1, 2, 2, 2, 2, 2, 2, 2}); });
    EXPECT_EQ(run(), 0);

    const size_t ladder = playableClassPositions().size() - 1;
    ASSERT_GE(ladder, 2u);
    Screens expected = {"main menu", "solo modes", "class selection", "arcade ladder", "fight",
                        "arcade continue", "fight"};
    for (size_t i = 1; i < ladder; ++i) {
        expected.push_back("arcade ladder");
        expected.push_back("fight");
    }
    for (const char* screen : {"arcade cleared", "credits", "solo modes", "main menu"})
        expected.push_back(screen);
    EXPECT_EQ(journey.screens, expected);

    // The records on disk: the clear with its one continue, every fight won and the one lost.
    Records kept;
    std::string text;
    ASSERT_TRUE(readWholeFile("records.txt", text));
    ASSERT_TRUE(readRecordsText(text, kept));
    ASSERT_EQ(kept.classes.count(playerOne.fighterClass->name), 1u);
    const ClassRecord& mine = kept.classes[playerOne.fighterClass->name];
    EXPECT_EQ(mine.arcadeClears, 1);
    EXPECT_EQ(mine.arcadeFewestContinues, 1);
    EXPECT_GT(mine.arcadeBestSeconds, 0);
    int64_t wins = 0, losses = 0;
    for (int64_t level = 0; level < kBotLevels; ++level)
        wins += mine.botWins[size_t(level)], losses += mine.botLosses[size_t(level)];
    EXPECT_EQ(wins, int64_t(ladder));
    EXPECT_EQ(losses, 1);
    EXPECT_EQ(mine.botLosses[0], 1); // the first fight is at Easy
    EXPECT_EQ(mine.botWins[2], 2);   // the last two at Hard
    EXPECT_EQ(kept.longestWinStreak, int64_t(ladder));
}

TEST_F(SoloModes, SurvivalCarriesTheLifeOverUntilAFightIsLost) {
    openSoloEntry(journey, 1);
    journey.on("class selection", 0, [] { tap(25, kKeyReturn); });
    for (int i = 0; i < 3; ++i) journey.on("survival", i, [] { tap(25, kKeyReturn); });
    journey.on("survival over", 0, [] { tap(25, kKeyReturn); });
    journey.on("solo modes", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    // Each fight's first life of player one, as the fight starts.
    std::vector<int64_t> startingLives;
    const int64_t hurt = 60;
    journey.on("fight", 0, [&] {
        knockOuts({2, 2, 1}, hurt);
        auto knockOut = matchHooks.afterFightFrame;
        matchHooks.afterFightFrame = [&startingLives, knockOut](int64_t pass) {
            if (pass == 1) startingLives.push_back(playerOne.life);
            knockOut(pass);
        };
    });
    EXPECT_EQ(run(), 0);

    EXPECT_EQ(journey.screens,
              (Screens{"main menu", "solo modes", "class selection", "survival", "fight", "survival",
                       "fight", "survival", "fight", "survival over", "solo modes", "main menu"}));
    const int64_t full = playerOne.maxLife;
    ASSERT_EQ(startingLives.size(), 3u);
    EXPECT_EQ(startingLives[0], full);
    EXPECT_EQ(startingLives[1], survivalLifeAfterWin(full - hurt, full));
    EXPECT_EQ(startingLives[2], survivalLifeAfterWin(startingLives[1] - hurt, full));
    EXPECT_LT(startingLives[2], full);
    Records kept;
    std::string text;
    ASSERT_TRUE(readWholeFile("records.txt", text));
    ASSERT_TRUE(readRecordsText(text, kept));
    EXPECT_EQ(kept.survivalBest, 2);
    // Only the first fight, from full life, is kept as a replay: the others would not play back.
    EXPECT_EQ(filesIn("replays"), 1u);
}

TEST_F(SoloModes, TheRecordsScreenClearsOnlyWhenConfirmed) {
    Records before;
    noteMatch(before, {"Brawler", Opponent::Bot, 3, true, 12.5, 4});
    noteArcadeClear(before, "Brawler", 245.2, 0);
    ASSERT_TRUE(replaceFileAtomically("records.txt", recordsText(before)));
    openSoloEntry(journey, 2);
    // "(go back)" is highlighted first; Up reaches "Clear records". The confirmation starts on
    // "Keep them": Return there keeps everything.
    auto askToClear = [] {
        tap(25, kKeyUp);
        tap(28, kKeyReturn);
    };
    journey.on("records", 0, askToClear);
    journey.on("clear records", 0, [] { tap(25, kKeyReturn); });
    std::string afterKeeping;
    journey.on("records", 1, [&] {
        readWholeFile("records.txt", afterKeeping);
        askToClear();
    });
    journey.on("clear records", 1, [] {
        tap(25, kKeyUp);
        tap(28, kKeyReturn);
    });
    journey.on("records", 2, [] { tap(25, kKeyEscape); });
    journey.on("solo modes", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(afterKeeping, recordsText(before));
    Records after;
    std::string text;
    ASSERT_TRUE(readWholeFile("records.txt", text));
    ASSERT_TRUE(readRecordsText(text, after));
    EXPECT_TRUE(after.classes.empty());
    EXPECT_EQ(after.highestCombo, 0);

    // The screen's lines: the table's columns line up, times as minutes.
    std::vector<std::string> lines = recordsLines(before);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].find("Hard"), lines[1].find("1-0"));
    EXPECT_NE(lines[4].find("4:05.2"), std::string::npos) << lines[4];
    EXPECT_EQ(clockText(59.96), "1:00.0");
}

// Choosing a match through the real screens: class selection for two players and against the
// bot, the difficulty screen, the stage selection, the fight and the way back.
#include "journey_fixture.h"

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "match/match_record.h"
#include "menus/class_carousel.h"
#include "menus/class_selection.h"
#include "menus/difficulty_menu.h"
#include "menus/menu_framework.h"
#include "menus/selection_panels.h"
#include "menus/stage_selection.h"
#include "render/layout_record.h"
#include "replays/replays.h"

namespace {
constexpr int64_t kP = 25, kO = 24;          // player one's neutral and heavy keys
constexpr int64_t kQ = 16, kH = 35, kJ = 36; // player two's neutral, down and right keys

using MatchPreparation = JourneyTest;
using Screens = std::vector<std::string>;
} // namespace

TEST_F(MatchPreparation, TwoPlayersChooseClassesAndAStageThenFightAndComeBack) {
    journey.on("main menu", 0, [] { tap(25, kKeyReturn); });
    journey.on("where to play", 0, [] { tap(25, kKeyReturn); }); // the same computer
    journey.on("class selection", 0, [] {
        tap(25, kKeyRight);          // player one: the next class
        tap(28, kH);                 // player two: the second stance
        tap(30, kQ);                 // player two is ready
        tap(35, kKeyReturn, 25);     // Return held before player one is ready...
        tap(40, kP);                 // ...stays held as player one gets ready: no start
        tap(42, kO);                 // player one's heavy key cancels...
        tap(45, kP);                 // ...and the neutral key makes it ready again
        tap(70, kKeyReturn);         // a fresh press starts
    });
    journey.on("stage selection", 0, [] {
        tap(25, kKeyRight);          // desktop -> college
        tap(28, kKeyRight);          // -> board game club
        tap(31, kKeyRight);          // -> Random
        tap(34, kKeyLeft);           // -> board game club again
        tap(40, kKeyEscape);         // back to the class selection
    });
    journey.on("class selection", 1, [] {
        tap(25, kQ);
        tap(28, kP);
        tap(31, kKeyReturn);
    });
    journey.on("stage selection", 1, [] { tap(25, kKeyReturn); });
    journey.on("fight", 0, [] { tap(350, kKeyEscape); });
    journey.on("class selection", 2, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(journey.screens,
              (Screens{"main menu", "where to play", "class selection", "stage selection",
                       "class selection", "stage selection", "fight", "class selection",
                       "main menu"}));
    ASSERT_TRUE(playerOne.fighterClass && playerTwo.fighterClass);
    EXPECT_EQ(playerOne.fighterClass->id, selectableClasses[1]);
    EXPECT_EQ(playerOne.stanceIndex, 0);
    EXPECT_EQ(playerTwo.fighterClass->id, selectableClasses[0]);
    EXPECT_EQ(playerTwo.stanceIndex, 1);
    ASSERT_TRUE(currentMatch);
    EXPECT_EQ(currentMatch->stage, &stageList[2]);
    EXPECT_EQ(currentMatch->againstBot, 0);
    EXPECT_EQ(stageCursor, 2);
    EXPECT_FALSE(botActive(fight, playerTwo));
}

TEST_F(MatchPreparation, AgainstTheBotThroughBothStepsAndTheDifficulty) {
    journey.on("main menu", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn);
    });
    journey.on("class selection", 0, [] {
        tap(25, kKeyRight);
        tap(28, kKeyRight);          // the third class
        tap(31, kKeyReturn);         // pick your class
        tap(34, kKeyRight);          // the opponent's cursor moves on...
        tap(37, kO, 3);              // ...but the heavy key goes back to the first choice
        tap(45, kKeyReturn);
        tap(48, kKeyLeft);           // the opponent: the second class
        tap(51, kKeyReturn);
    });
    int64_t firstCode = -1;
    journey.on("difficulty", 0, [&] {
        firstCode = botPanel.result; // what the two steps chose
        for (int i = 0; i < 4; ++i) tap(25 + 3 * i, kKeyDown); // to "(go back)", and no further
        tap(40, kKeyReturn);
    });
    journey.on("class selection", 1, [] {
        // The panel starts afresh: the first class for both.
        tap(25, kKeyReturn);
        tap(28, kKeyReturn);
    });
    journey.on("difficulty", 1, [] {
        tap(25, kKeyUp);             // from "(go back)" to Hard
        tap(28, kKeyReturn);
    });
    journey.on("stage selection", 0, [] { tap(25, kKeyEscape); });
    journey.on("difficulty", 2, [] { tap(25, kKeyReturn); }); // Hard is kept
    journey.on("stage selection", 1, [] {
        tap(25, kKeyRight);
        tap(30, kKeyReturn);
    });
    journey.on("fight", 0, [] { tap(350, kKeyEscape); });
    journey.on("class selection", 2, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(journey.screens,
              (Screens{"main menu", "class selection", "difficulty", "class selection",
                       "difficulty", "stage selection", "difficulty", "stage selection", "fight",
                       "class selection", "main menu"}));
    // Player one kept the third class after going back; the opponent is the second.
    EXPECT_EQ(firstCode, selectableClasses[2] + 10000 * selectableClasses[1]);
    EXPECT_EQ(difficultySelection, 2);
    EXPECT_EQ(playerTwo.botLevel, 3);
    EXPECT_TRUE(botActive(fight, playerTwo));
    EXPECT_FALSE(botActive(fight, playerOne));
    ASSERT_TRUE(currentMatch);
    EXPECT_EQ(currentMatch->againstBot, 1);
    EXPECT_EQ(currentMatch->stage, &stageList[1]); // one step right of the first stage
}

// Rounds set to 3 in the options, then two players through the real screens: three rounds
// (player two, player one, player two knocked out), "Round 2" and "Round 3" opening the later
// ones, a mark lit under the gauges per round won, one end of match after the last, and a
// replay of the whole match.
TEST_F(MatchPreparation, ThreeRoundsChosenInTheOptionsAndPlayed) {
    options.nullRenderer = false; // drawn: texts and marks are read from the frames' layout
    std::vector<LaidOut> laid;
    recordLayout(&laid);
    auto shown = [&laid](const char* what) {
        return std::count_if(laid.begin(), laid.end(), [&](const LaidOut& l) { return l.what == what; });
    };
    auto menuTo = [](int64_t key, int rows) {
        for (int i = 0; i < rows; ++i) tap(25 + 3 * i, key);
        tap(25 + 3 * rows + 3, kKeyReturn);
    };
    journey.on("main menu", 0, [&] { menuTo(kKeyDown, 3); });  // Options
    journey.on("options", 0, [&] {
        menuTo(kKeyDown, 9);                                    // Rounds: 1 -> Best of 3
        tap(60, kKeyEscape);
    });
    journey.on("main menu", 1, [&] { menuTo(kKeyUp, 3); });    // Player vs Player
    journey.on("where to play", 0, [] { tap(25, kKeyReturn); });
    journey.on("class selection", 0, [] {
        tap(25, kQ);
        tap(28, kP);
        tap(31, kKeyReturn);
    });
    journey.on("stage selection", 0, [] { tap(25, kKeyReturn); });
    // Per round: the N of "Round N" shown (0 none), and 10 x the marks lit + those unlit.
    std::vector<int64_t> banners, marks;
    matchHooks.afterIntroFrame = [&](int64_t pass) {
        if (pass == 59) laid.clear();
        if (pass == 60) banners.push_back(shown("Round 2") * 2 + shown("Round 3") * 3);
        if (pass == 60 && banners.size() == 2)
            scriptAdd({presentedFrames() + 1, kScriptScreenshot, 0, 0, "rounds_intro.png"});
    };
    matchHooks.afterFightFrame = [&](int64_t pass) {
        if (pass == 9) laid.clear();
        if (pass == 10) marks.push_back(shown("round won") * 10 + shown("round to win"));
        if (pass == 10 && marks.size() == 2)
            scriptAdd({presentedFrames() + 1, kScriptScreenshot, 0, 0, "rounds_hud.png"});
        if (pass == 20) (marks.size() == 2 ? playerOne : playerTwo).life = -40;
    };
    journey.on("class selection", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 2, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    recordLayout(nullptr);
    EXPECT_EQ(game.roundWinners, (std::vector<int64_t>{1, 2, 1}));
    EXPECT_EQ(banners, (std::vector<int64_t>{0, 2, 3}));
    EXPECT_EQ(marks, (std::vector<int64_t>{4, 13, 22})); // of the four: none, one, two lit
    EXPECT_GT(shown("Winner is player 1"), 0);
    EXPECT_EQ(game.rounds, 1); // online play and training fight single knock-outs
    Replay replay;
    std::string error;
    const auto kept = std::filesystem::directory_iterator(replayDirectory);
    ASSERT_TRUE(readReplay(kept->path().string(), replay, error)) << error;
    std::string phases;
    for (const ReplayFrame& frame : replay.frames)
        if (phases.empty() || phases.back() != char('0' + frame.phase)) phases += char('0' + frame.phase);
    EXPECT_EQ(phases, "0101012"); // three intros and fights, one end of match
    EXPECT_EQ(replay.rounds, 3);
    keepScreenshots({"rounds_intro.png", "rounds_hud.png"});
    matchHooks = MatchHooks{};
}

using OneScreen = JourneyTest;

TEST_F(OneScreen, SelectionCodesOfRandomMirrorAndStances) {
    startUp();
    ASSERT_EQ(selectableClasses.size(), 7u); // five classes, Random, Mirror
    journey.on("class selection", 0, [] {
        tap(25, kKeyLeft);  // wraps to Mirror...
        tap(28, kKeyLeft);  // ...and on to Random
        tap(31, kKeyUp);    // "Stance : Random"
        for (int i = 0; i < 3; ++i) tap(34 + 3 * i, kJ); // player two: the fourth class
        for (int i = 0; i < 6; ++i) tap(45 + 3 * i, kH); // down to the last stance, no further
        tap(65, 21);        // and one up (Y): stance 1
        tap(70, kP);
        tap(73, kQ);
        tap(80, kKeyReturn);
    });
    int64_t code = runClassSelection(fight, kTwoPlayerMode);
    ASSERT_EQ(classWithId(3)->stance.size(), 3u);
    EXPECT_EQ(code, 9999 + 10000 * 103);
    // The carousel followed the cursor backwards over the wrap.
    EXPECT_EQ(playerOnePanel.cursor, 5);
    EXPECT_EQ(playerOnePanel.carouselStart, 5);
    EXPECT_FALSE(playerOnePanel.ready || playerTwoPanel.ready);

    // Up from "Stance : Random" reaches "Stance : Mirror" and stays there; Mirror is 98.
    journey.on("class selection", 1, [] {
        tap(25, kKeyRight); // Mirror
        for (int i = 0; i < 3; ++i) tap(28 + 3 * i, kKeyUp);
        tap(40, kP);
        tap(43, kQ);
        tap(50, kKeyReturn);
    });
    code = runClassSelection(fight, kTwoPlayerMode);
    EXPECT_EQ(code % 10000, 98 + 100 * 98);
    EXPECT_EQ(code / 10000, 103);
}

TEST_F(OneScreen, ReadyNeedsTheNeutralKeyAndCancelNeedsReady) {
    startUp();
    journey.on("class selection", 0, [] {
        tap(25, kO);        // the heavy key before choosing does nothing
        tap(28, kKeyReturn); // nor does Return before both are ready
        tap(31, kP);
        tap(34, kO);        // cancelled
        tap(37, kQ);
        tap(40, kKeyReturn); // only player two is ready
        tap(60, kKeyEscape);
    });
    EXPECT_EQ(runClassSelection(fight, kTwoPlayerMode), kNoSelection);
    EXPECT_FALSE(playerOnePanel.ready);
    EXPECT_FALSE(playerTwoPanel.ready); // Escape cancels readiness too
}

TEST_F(OneScreen, CarouselWrapsForwardAndFollows) {
    startUp();
    journey.on("class selection", 0, [] {
        for (int i = 0; i < 7; ++i) tap(25 + 3 * i, kKeyRight);
        tap(60, kKeyEscape);
    });
    runClassSelection(fight, kTwoPlayerMode);
    EXPECT_EQ(playerOnePanel.cursor, 0);        // seven steps: round to the first again
    EXPECT_EQ(playerOnePanel.carouselStart, 3); // the cursor stays within the five slots
    int64_t cursor = 6, start = 2;
    carouselNext(cursor, start);
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(start, 3);
}

TEST_F(OneScreen, StageSelectionWrapsThroughRandomAndNeedsAFreshReturn) {
    startUp();
    EXPECT_STREQ(stageSizeText(3000), "Size : small");
    EXPECT_STREQ(stageSizeText(3001), "Size : medium");
    EXPECT_STREQ(stageSizeText(5000), "Size : medium");
    EXPECT_STREQ(stageSizeText(5001), "Size : big");
    stageCursor = 2;
    returnHoldFrames = 30; // Return held since the screen before...
    journey.on("stage selection", 0, [] {
        tap(0, kKeyReturn, 40); // ...and still held here: it never chooses
        tap(45, kKeyRight);     // past the last stage: Random
        tap(50, kKeyReturn);
    });
    EXPECT_EQ(runStageSelection(40, 40), kRandomStage);
    journey.on("stage selection", 1, [] {
        tap(25, kKeyLeft); // before Random: the last stage
        tap(30, kKeyReturn);
    });
    EXPECT_EQ(runStageSelection(40, 40), 2);
    journey.on("stage selection", 2, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(runStageSelection(40, 40), kStageBack);
}

// Kept choices from another game version or a stray write never reach outside the lists.
TEST_F(OneScreen, StoredChoicesOutsideTheListsAreBroughtBack) {
    startUp();
    playerOnePanel = {99, 50, -7};
    playerTwoPanel = {-3, -9, 1000};
    botPanel.panel = {12345, 7, 8};
    stageCursor = 42;
    difficultySelection = 17;
    journey.on("class selection", 0, [] {
        tap(25, kP);
        tap(28, kQ);
        tap(31, kKeyReturn);
    });
    int64_t code = runClassSelection(fight, kTwoPlayerMode);
    int64_t n = int64_t(selectableClasses.size());
    EXPECT_GE(playerOnePanel.cursor, 0);
    EXPECT_LT(playerOnePanel.cursor, n);
    EXPECT_LT(playerOnePanel.carouselStart, n);
    EXPECT_GE(playerTwoPanel.stance, -2);
    EXPECT_NE(code, kNoSelection);
    journey.on("class selection", 1, [] {
        tap(25, kKeyReturn);
        tap(28, kKeyReturn);
    });
    code = runClassSelection(fight, kAgainstBotMode);
    EXPECT_NE(code, kNoSelection);
    journey.on("stage selection", 0, [] { tap(25, kKeyReturn); });
    EXPECT_EQ(runStageSelection(40, 40), kRandomStage);
    journey.on("difficulty", 0, [] { tap(25, kKeyReturn); });
    EXPECT_EQ(runDifficultyMenu(40, 40), 0);
}

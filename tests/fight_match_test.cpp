// A whole match headless: the intro's countdown and labels, the fight loop's pace and end.
#include "game_dir_fixture.h"

#include "app/game_screen.h"
#include "app/pacing.h"
#include "app/settings.h"
#include "app/stages.h"
#include "app/startup.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/match.h"
#include "input/keys.h"

namespace {
struct MatchTest : GameDirTest {
    void startUp(double fixedFactor = 0) {
        options.desktopWidth = 1280;
        options.desktopHeight = 720;
        options.fixedFrameFactor = fixedFactor;
        setHeadless(options);
        startUpGame();
        globalFightContext.stage = &stageList[0];
        matchHooks = MatchHooks{};
    }
    void TearDown() override {
        matchHooks = MatchHooks{};
        endGame();
        GameDirTest::TearDown();
    }
    static uint32_t pixel(const std::string& path, int64_t x, int64_t y) {
        Bitmap shot;
        bool alpha = false;
        EXPECT_TRUE(loadPng(path, shot, alpha));
        return shot.pixels[size_t(y * shot.width + x)] & 0xFFFFFFu;
    }
};
} // namespace

TEST_F(MatchTest, CountdownShowsHalfASecondThenOneThenOneAndAHalf) {
    startUp();
    matchHooks.maxFightFrames = 3;
    EXPECT_EQ(startMatch(), 0);
    const auto& digits = matchHooks.introDigits;
    ASSERT_EQ(digits.size(), 300u); // three seconds at 100 frames per second
    int64_t counts[3] = {};
    for (int64_t d : digits) counts[d] += 1;
    EXPECT_EQ(counts[2], 51); // up to 0.5 s: rounding, not truncation
    EXPECT_EQ(counts[1], 99);
    EXPECT_EQ(counts[0], 150);
    EXPECT_EQ(digits.front(), 2);
    EXPECT_EQ(digits.back(), 0);
    EXPECT_EQ(matchHooks.fightFrames, 3);
    EXPECT_EQ(playerOne.life, playerOne.maxLife);
}

TEST_F(MatchTest, LabelsNameBothPlayersOrOnlyYou) {
    startUp();
    matchHooks.maxFightFrames = 1;
    matchHooks.introScreenshots = {{10, "two_players.png"}};
    startMatch();
    // Player one starts on the right, player two on the left (1280 x 720, stage 0).
    EXPECT_EQ(roundToInt(playerOne.screenPosition.x), 416);
    EXPECT_EQ(roundToInt(playerTwo.screenPosition.x), -136);
    EXPECT_EQ(pixel("two_players.png", 820, 305), 0xFF8800u); // "V V V Player 1 V V V"
    EXPECT_EQ(pixel("two_players.png", 268, 305), 0x0000FFu); // "V V V Player 2 V V V"
    playerTwo.botLevel = 1;
    matchHooks.introScreenshots = {{10, "against_bot.png"}};
    startMatch();
    EXPECT_EQ(pixel("against_bot.png", 820, 305), 0xFF8800u); // "V V V You are here V V V"
    EXPECT_NE(pixel("against_bot.png", 268, 305), 0x0000FFu);
}

TEST_F(MatchTest, EscapeEndsTheFightAtOnce) {
    options.desktopWidth = 1280;
    options.desktopHeight = 720;
    // Start-up shows three loading frames, class preparation two, the intro 300.
    scriptKeyTap(options.script, 3 + 2 + 300 + 20, kKeyEscape);
    startUp();
    EXPECT_EQ(startMatch(), 0);
    EXPECT_GE(matchHooks.fightFrames, 15);
    EXPECT_LE(matchHooks.fightFrames, 30);
}

TEST_F(MatchTest, TenSecondsAreTheSameGameTimeAtEveryRate) {
    for (int64_t fps : {50, 100, 240}) {
        startUp(50.0 / double(fps));
        for (int64_t i = 1; i <= 10; ++i)
            if (fpsTable[i] == fps) applyFpsMode(i);
        matchHooks.maxFightFrames = 10 * fps;
        EXPECT_EQ(startMatch(), 0);
        EXPECT_EQ(matchHooks.fightFrames, 10 * fps);
        EXPECT_NEAR(double(matchHooks.introDigits.size()), double(3 * fps), 1.0);
        EXPECT_EQ(playerOne.life, playerOne.maxLife);
        EXPECT_EQ(playerTwo.life, playerTwo.maxLife);
        endGame();
    }
}

// The red screen edges of a player hurt by the bot: made for the screen as it is now open, also
// after the screen has been reopened at another size.
#include "game_dir_fixture.h"

#include <algorithm>

#include "data/stages.h"
#include "fight/bot.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "journey_fixture.h"
#include "match/match.h"
#include "settings/game_screen.h"

namespace {
using HurtVignette = GeneratedGameTest;

// How much redder than green or blue a box of a screenshot is: the median over its pixels, so
// that a fighter or a spark passing through it does not count.
int64_t redness(const Bitmap& shot, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    std::vector<int64_t> values;
    for (int64_t y = y0; y < y1; ++y)
        for (int64_t x = x0; x < x1; ++x) {
            uint32_t p = shot.pixels[size_t(y * shot.width + x)];
            int64_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            values.push_back(r - std::max(g, b));
        }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The first stage with plain grey tiles of the same size, so that any red in a screenshot's
// box away from the fighters is the vignette's.
void greyFirstStage() {
    Stage& stage = stageList[0];
    Bitmap tile;
    bool alpha = false;
    ASSERT_TRUE(loadPng(stage.tilePrefix + "1.png", tile, alpha));
    std::vector<uint32_t> grey(size_t(tile.width * tile.height), 0xFF808080u);
    for (size_t t = 0; t < stage.tileSprites.size(); ++t)
        ASSERT_TRUE(
            savePng("grey" + std::to_string(t + 1) + ".png", tile.width, tile.height, grey.data()));
    stage.tilePrefix = "grey";
}

// A match of `frames` fight frames against the Hard bot, player one never pressing a key.
void fightTheBot(int64_t frames, std::vector<std::pair<int64_t, std::string>> screenshots) {
    matchHooks = MatchHooks{};
    matchHooks.maxFightFrames = frames;
    matchHooks.endOfMatch = false;
    matchHooks.screenshots = std::move(screenshots);
    startMatch(game);
}
} // namespace

TEST_F(HurtVignette, RemadeWhenTheScreenIsReopenedAtAnotherSize) {
    HeadlessOptions options;
    options.desktopWidth = 1024;
    options.desktopHeight = 768;
    setHeadless(options);
    startUpGame(game);
    ASSERT_EQ(screenWidth, 1024);
    greyFirstStage();
    game.stage = &stageList[0];
    BotController& bot = ensureBot(fight, playerTwo, 3);
    bot.botLevelSetting = 3;
    switchBotOn(bot);
    // Hurt at 1024 x 768: the red edges are made for that size.
    fightTheBot(400, {});
    ASSERT_LT(playerOne.life, playerOne.maxLife);

    // As the options screen does for another size.
    openGameScreen(1920, 1080);
    std::vector<std::pair<int64_t, std::string>> shots;
    for (int64_t frame = 0; frame < 400; frame += 10)
        shots.emplace_back(frame, "hurt" + std::to_string(frame) + ".png");
    fightTheBot(400, shots);
    ASSERT_LT(playerOne.life, playerOne.maxLife);

    // The frame with the reddest left edge: player one has just been hit there. The boxes
    // stay above the fighters and below the life bars.
    Bitmap shot, reddest;
    std::string reddestPath;
    int64_t best = -1000;
    bool alpha = false;
    for (const auto& [frame, path] : shots) {
        ASSERT_TRUE(loadPng(path, shot, alpha)) << path;
        ASSERT_EQ(shot.width, 1920);
        int64_t left = redness(shot, 0, 300, 20, 500);
        if (left > best) {
            best = left;
            reddest = shot;
            reddestPath = path;
        }
    }
    keepScreenshots({reddestPath});
    EXPECT_GT(best, 40) << reddestPath;
    // The right edge as red as the left one...
    EXPECT_GT(redness(reddest, 1900, 300, 1920, 500), 40) << reddestPath;
    // ...and no red through the middle: the centre, and where the right and bottom edges made
    // for 1024 x 768 would run.
    EXPECT_LT(redness(reddest, 860, 300, 1060, 500), 25) << reddestPath;
    EXPECT_LT(redness(reddest, 1040, 300, 1074, 500), 25) << reddestPath;
    EXPECT_LT(redness(reddest, 300, 784, 900, 818), 25) << reddestPath;
    matchHooks = MatchHooks{};
    removeBot(fight, playerTwo);
}

// Start-up to the main menu and out again, headless, through the real frame loops.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/game_screen.h"
#include "app/pacing.h"
#include "app/settings.h"
#include "app/stages.h"
#include "app/startup.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "render/sprite_numbers.h"
#include "runtime/runtime.h"

namespace {
struct StartupTest : testing::Test {
    HeadlessOptions options;

    void SetUp() override {
        std::filesystem::create_directories("startup_test");
        settingsPath = "startup_test/settings.txt";
        std::filesystem::remove(settingsPath);
        options.desktopWidth = 1366;
        options.desktopHeight = 768;
    }
    void TearDown() override {
        clearHeadless();
        settingsPath = "settings.txt";
        std::filesystem::remove_all("startup_test");
    }
    int run() {
        setHeadless(options);
        return runGame();
    }
    void pressEscapeAt(int64_t frame) { scriptKeyTap(options.script, frame, kKeyEscape); }
};
} // namespace

TEST_F(StartupTest, ReachesTheMenuAndLeavesOnEscape) {
    options.controllerCount = 2;
    scriptScreenshot(options.script, 8, "startup_test/menu.png");
    pressEscapeAt(10);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(presentedFrames(), 12); // three loading frames, then menu frames 3 to 11
    EXPECT_EQ(screenWidth, 1680);     // no settings file: the first size covering 1366 x 768
    EXPECT_EQ(screenHeight, 1050);
    EXPECT_EQ(screenSizeIndex, 7);
    EXPECT_EQ(screenWidthMinus200, 1480);
    EXPECT_EQ(screenHeightMinus720, 330);
    EXPECT_EQ(comboDisplay, 2); // a desktop narrower than 1500 pixels
    // The players exist with their keys and pads; the stages with their tile numbers.
    EXPECT_EQ(playerOne.name, "Player one");
    EXPECT_EQ(playerOne.classIndex, 2);
    EXPECT_EQ(playerTwo.classIndex, 0);
    EXPECT_EQ(playerOne.padIndex, 0);
    EXPECT_EQ(playerTwo.padIndex, 1);
    EXPECT_EQ(playerTwo.keyBindings.primary.jump, 18);
    EXPECT_EQ(nextSpriteNumber, 1 + 4 + 6 + 5);
    Bitmap shot;
    bool alpha = false;
    ASSERT_TRUE(loadPng("startup_test/menu.png", shot, alpha));
    EXPECT_EQ(shot.width, 1680);
    EXPECT_EQ(shot.pixels[size_t(500 * shot.width + 800)] & 0xFFFFFFu, 0x181420u);
    // Everything the run made is gone after the shutdown.
    EXPECT_EQ(spriteCount(), 0);
    EXPECT_FALSE(screenIsOpen());
}

TEST_F(StartupTest, StoredScreenSizeAndFullscreenAreUsed) {
    ASSERT_TRUE(replaceFileAtomically(settingsPath, R"({"ScreenSize": 3, "Fullscreen": 0})"));
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(screenWidth, 1280);
    EXPECT_EQ(screenHeight, 800);
    EXPECT_EQ(fullscreen, 0);
    ASSERT_TRUE(replaceFileAtomically(settingsPath, R"({"ScreenSize": -4})"));
    options.script.clear();
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(screenWidth, 1024);
    EXPECT_EQ(screenHeight, 768);
    EXPECT_EQ(fullscreen, 1);
}

TEST_F(StartupTest, BindingsFromTheFileReachThePlayers) {
    ASSERT_TRUE(replaceFileAtomically(
        settingsPath, R"({"player2left": {"left": "Z", "right": "X", "up": "C", "down": "V",
                          "neutral": "B", "heavy": "N", "jump": "M", "jumpWithUp": 1}})"));
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(playerTwo.keyBindings.primary.left, 44);
    EXPECT_EQ(playerTwo.jumpWithUp, 1);
    EXPECT_EQ(playerOne.keyBindings.primary.left, 203);
}

TEST_F(StartupTest, WindowCloseRequestEndsTheMenu) {
    options.script.push_back({6, kScriptCloseWindow, 0, 0, {}});
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(presentedFrames(), 6);
}

TEST_F(StartupTest, LargeDesktopKeepsItsOwnSize) {
    options.desktopWidth = 2560;
    options.desktopHeight = 1440;
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(screenWidth, 2560);
    EXPECT_EQ(screenHeight, 1440);
    EXPECT_EQ(comboDisplay, 1);
}

TEST_F(StartupTest, NoDesktopIsAFatalError) {
    options.desktopWidth = 0;
    options.desktopHeight = 0;
    EXPECT_EXIT(run(), testing::ExitedWithCode(1),
                "Quarrelix error: Could not be able to find screen");
}

TEST(StageList, ThreeStagesWithConsecutiveTileNumbers) {
    nextSpriteNumber = 1;
    buildStages();
    ASSERT_EQ(stageList.size(), 3u);
    EXPECT_EQ(stageList[0].name, "desktop");
    EXPECT_EQ(stageList[0].width, 3000);
    EXPECT_EQ(stageList[0].lastTile, 3);
    EXPECT_EQ(stageList[0].tileSprites.front(), 1);
    EXPECT_EQ(stageList[1].tileSprites.front(), 5);
    EXPECT_EQ(stageList[1].width, 6000);
    EXPECT_EQ(stageList[1].leftLimit, 275);
    EXPECT_EQ(stageList[2].tileSprites.back(), 15);
    EXPECT_EQ(stageList[2].introSlot, 8);
    EXPECT_EQ(stageList[2].introFile, "music/Merlok intro.ogg");
    EXPECT_EQ(stageList[2].vertical, -560);
    EXPECT_EQ(nextSpriteNumber, 16);
    stageList.clear();
}

TEST(GaugeColors, GradientWithAveragedEntries) {
    buildGaugeColors();
    EXPECT_EQ(gaugeColors[0], RGB(0, 0, 255));
    EXPECT_EQ(gaugeColors[1], RGB(0, 127, 127));
    EXPECT_EQ(gaugeColors[3], RGB(127, 255, 0));
    EXPECT_EQ(gaugeColors[5], RGB(255, 195, 0));
    EXPECT_EQ(gaugeColors[7], RGB(255, 68, 0));
    EXPECT_EQ(gaugeColors[10], RGB(255, 0, 255));
}

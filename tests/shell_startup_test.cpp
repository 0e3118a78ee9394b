// Start-up to the main menu and out again, headless, through the real frame loops.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/fighter_class.h"
#include "data/sprite_numbers.h"
#include "data/stages.h"
#include "fight/fighter.h"
#include "input/bindings.h"
#include "input/keys.h"
#include "menus/stats_panel.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"
#include "shell/startup.h"

#include "game_dir_fixture.h"
#include "input/player_setup.h"
#include "png_fixture.h"

namespace {
struct StartupTest : GameDirTest {
    int run() {
        setHeadless(options);
        return runGame(game);
    }
    void pressEscapeAt(int64_t frame) { scriptKeyTap(options.script, frame, kKeyEscape); }
};
} // namespace

TEST_F(StartupTest, ReachesTheMenuAndLeavesOnEscape) {
    options.controllerCount = 2;
    // The menu shows through the fade from black: clear after 40 frames at 100 per second.
    scriptScreenshot(options.script, 48, "menu.png");
    pressEscapeAt(50);
    EXPECT_EQ(run(), 0);
    // Three loading frames, the menu until Escape at 51, then its fade to black.
    EXPECT_GT(presentedFrames(), 52);
    EXPECT_LT(presentedFrames(), 52 + 45);
    EXPECT_EQ(screenWidth, 1680);     // no settings file: the first size covering 1366 x 768
    EXPECT_EQ(screenHeight, 1050);
    EXPECT_EQ(settings.screenSizeIndex, 7);
    EXPECT_EQ(screenWidthMinus200, 1480);
    EXPECT_EQ(screenHeightMinus720, 330);
    EXPECT_EQ(settings.comboDisplay, 2); // a desktop narrower than 1500 pixels
    // The players exist with their keys and pads; the stages with their tile numbers.
    EXPECT_EQ(playerSetups[0].name, "Player one");
    EXPECT_EQ(playerOne.fighterClass->name, "Two");
    EXPECT_EQ(playerTwo.fighterClass->name, "Zero");
    EXPECT_EQ(playerOne.currentAnimation.name, "idle2");
    EXPECT_EQ(playerOne.maxLife, 15 * 4 + 200);
    EXPECT_EQ(playerTwo.stance->name, "a");
    EXPECT_EQ(selectableClasses, (std::vector<int64_t>{0, 2, -1, -2}));
    EXPECT_EQ(playerSetups[0].padIndex, 0);
    EXPECT_EQ(playerSetups[1].padIndex, 1);
    EXPECT_EQ(playerSetups[1].keyBindings.primary.jump, 18);
    Bitmap shot;
    bool alpha = false;
    ASSERT_TRUE(loadPng("menu.png", shot, alpha));
    EXPECT_EQ(shot.width, 1680);
    EXPECT_EQ(shot.pixels[size_t(500 * shot.width + 800)] & 0xFFFFFFu, 0x202020u); // background
    // Everything the run made is gone after the shutdown.
    EXPECT_EQ(spriteCount(), 0);
    EXPECT_FALSE(screenIsOpen());
}

TEST_F(StartupTest, StoredScreenSizeAndFullscreenAreUsed) {
    ASSERT_TRUE(replaceFileAtomically("settings.txt", R"({"ScreenSize": 3, "Fullscreen": 0})"));
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(screenWidth, 1280);
    EXPECT_EQ(screenHeight, 800);
    EXPECT_EQ(settings.fullscreen, 0);
    ASSERT_TRUE(replaceFileAtomically("settings.txt", R"({"ScreenSize": -4})"));
    options.script.clear();
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(screenWidth, 1024);
    EXPECT_EQ(screenHeight, 768);
    EXPECT_EQ(settings.fullscreen, 1);
}

TEST_F(StartupTest, BindingsFromTheFileReachThePlayers) {
    ASSERT_TRUE(replaceFileAtomically(
        "settings.txt", R"({"player2left": {"left": "Z", "right": "X", "up": "C", "down": "V",
                          "neutral": "B", "heavy": "N", "jump": "M", "jumpWithUp": 1}})"));
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(playerSetups[1].keyBindings.primary.left, 44);
    EXPECT_EQ(playerSetups[1].jumpWithUp, 1);
    EXPECT_EQ(playerSetups[0].keyBindings.primary.left, 203);
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
    EXPECT_EQ(settings.comboDisplay, 1);
}

TEST_F(StartupTest, MissingOrSmallDataEndsTheGameWithItsMessage) {
    std::filesystem::remove("data.json");
    EXPECT_EXIT(run(), testing::ExitedWithCode(1),
                "Error: Failed to open the data file\n\\(do not move or delete it !\\)");
    ASSERT_TRUE(replaceFileAtomically("data.json", R"({"class": [{}, {}]})"));
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), "fewer than three fighter classes");
}

TEST_F(StartupTest, DataNestedTooDeeplyEndsTheGameWithItsMessage) {
    // 30 000 nested arrays, and 20 000 follow-ups nested one in the other.
    ASSERT_TRUE(replaceFileAtomically("data.json", R"({"class": )" + std::string(30000, '[') +
                                                       std::string(30000, ']') + "}"));
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), "Error: Failed to open the data file");
    std::string chain = R"({"class": [{"neutral": )";
    for (int i = 0; i < 20000; ++i) chain += R"({"side": )";
    chain += "{}" + std::string(20000, '}') + "}]}";
    ASSERT_TRUE(replaceFileAtomically("data.json", chain));
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), "Error: Failed to open the data file");
}

TEST_F(StartupTest, MembersOfTheWrongTypeStillReachTheMenu) {
    ASSERT_TRUE(replaceFileAtomically("data.json", R"({"class": [
        {"id": 0, "name": "Zero", "idle": {"type": 1, "looped": 1, "frames": [{"length": 5}],
                                           "side": null, "frontWind": 0},
         "neutral": {"attack": 1, "frames": [{"length": 2, "moveTargetTo": null}],
                     "side": null, "up": 3},
         "stat": {"life": 1e30}, "stance": [{"name": "a", "modificator": "x"}]},
        {"id": 1, "name": "One", "stat": 5, "idle": {"type": 1, "frames": [{"length": 5}]}},
        {"id": 2, "name": "Two", "stat": null, "jump": [],
         "idle": {"type": 1, "frames": [{"length": 5}]}}],
        "soundPool": [{"id": 0}, {"id": 1, "volume": 1e30, "next": "x"}],
        "effect": 7, "loading": null})"));
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(classes.at(0)->comboList.empty());
    EXPECT_FALSE(classes.at(0)->idle->frontWind);
    EXPECT_FALSE(classes.at(1)->stat);
    EXPECT_EQ(playerTwo.maxLife, 15 * kStatLimit + 200); // class 0, life at the limit
}

TEST_F(StartupTest, HostileSettingsReachTheMenuAndAreKept) {
    const std::string deep(100000, '[');
    const std::string files[] = {
        R"({"player2left": 5, "SoundVariation": 9223372036854775807})",
        R"({"player2left": null, "player1right": "x"})",
        "{\"SoundVolume\": 80,}",          // a trailing comma
        "{\"SoundVolume\": \"\xc3\x28\"}", // not UTF-8
        "[1, 2]",                        // no object
        deep};
    for (const std::string& text : files) {
        SCOPED_TRACE(text.substr(0, 40));
        std::filesystem::remove("settings.txt.bad");
        ASSERT_TRUE(replaceFileAtomically("settings.txt", text));
        options.script.clear();
        pressEscapeAt(4);
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(playerSetups[0].keyBindings.primary.left, defaultControls(1).left);
        EXPECT_EQ(playerSetups[1].keyBindings.primary.left, defaultControls(2).left);
        EXPECT_EQ(playerSetups[1].keyBindings.primary.jump, defaultControls(2).jump);
        EXPECT_LE(settings.soundVariation, 1);
        std::string kept;
        ASSERT_TRUE(readWholeFile("settings.txt", kept));
        EXPECT_EQ(kept, text); // start-up never writes the settings
        // Leaving Options saves: an unreadable file is kept beside first.
        testing::internal::CaptureStderr();
        ASSERT_EQ(saveSettings(), 1);
        testing::internal::GetCapturedStderr();
        bool readable = text[0] == '{' && text.back() == '}' && text.find(",}") == std::string::npos &&
                        text.find('\xc3') == std::string::npos;
        EXPECT_EQ(std::filesystem::exists("settings.txt.bad"), !readable);
        if (!readable) {
            ASSERT_TRUE(readWholeFile("settings.txt.bad", kept));
            EXPECT_EQ(kept, text);
        }
    }
}

TEST_F(StartupTest, MissingFontEndsTheGame) {
    std::filesystem::remove("image/letter_white.png");
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), "failed: u noob");
}

TEST_F(StartupTest, HoldingEscapeWhileLoadingAborts) {
    options.script.push_back({0, kScriptKey, kKeyEscape, 1, {}});
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
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

using GeneratedContent = GeneratedGameTest;

TEST_F(GeneratedContent, StartUpLoadsItWithoutAMessage) {
    HeadlessOptions options;
    scriptKeyTap(options.script, 5, kKeyEscape);
    setHeadless(options);
    clearMessageBoxLog();
    EXPECT_EQ(runGame(game), 0);
    EXPECT_EQ(messageBoxLog(), "");
    EXPECT_GE(classes.size(), 6u);
    EXPECT_GE(selectableClasses.size(), 5u + 2u);
}

TEST_F(StartupTest, TheThreeLoadingMessagesAreShown) {
    // The generated font when there is one, for a screenshot worth looking at.
    std::filesystem::path generated = std::filesystem::path(QRX_GAME_DIR) / "image";
    if (std::filesystem::exists(generated / "letter_white.png")) {
        std::filesystem::remove_all("image");
        std::filesystem::create_symlink(generated, "image");
    }
    for (int frame = 0; frame < 3; ++frame)
        scriptScreenshot(options.script, frame, "loading" + std::to_string(frame) + ".png");
    pressEscapeAt(4);
    EXPECT_EQ(run(), 0);
    for (int frame = 0; frame < 3; ++frame) {
        Bitmap shot;
        bool alpha = false;
        ASSERT_TRUE(loadPng("loading" + std::to_string(frame) + ".png", shot, alpha));
        // The message line (orange) and the line under it (white) hold drawn pixels.
        int64_t orange = 0, white = 0;
        int64_t top = shot.height / 2 - 18;
        for (int64_t y = top; y < top + 54; ++y)
            for (int64_t x = 40; x < 600; ++x) {
                uint32_t p = shot.pixels[size_t(y * shot.width + x)] & 0xFFFFFFu;
                orange += p == 0xFF8800u;
                white += p == 0xFFFFFFu;
            }
        EXPECT_GT(orange, 50) << "frame " << frame;
        EXPECT_GT(white, 50) << "frame " << frame;
    }
    if (const char* keep = std::getenv("QRX_KEEP_SCREENSHOTS"))
        for (int frame = 0; frame < 3; ++frame)
            std::filesystem::copy_file("loading" + std::to_string(frame) + ".png",
                                       std::string(keep) + "/loading" + std::to_string(frame) + ".png",
                                       std::filesystem::copy_options::overwrite_existing);
}

namespace {
// The generated content with every file linked one by one, so that a test can put a broken
// file in the place of one of them (or take it away).
struct BrokenContent : GeneratedGameTest {
    void SetUp() override {
        GeneratedGameTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        std::filesystem::path game = QRX_GAME_DIR;
        for (const char* directory : {"image", "sound", "music"}) {
            std::filesystem::remove(directory);
            std::filesystem::create_directory(directory);
            for (const auto& entry : std::filesystem::directory_iterator(game / directory))
                std::filesystem::create_symlink(entry.path(),
                                                std::filesystem::path(directory) / entry.path().filename());
        }
    }

    static std::string contentOf(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(readWholeFile(path, bytes)) << path;
        return bytes;
    }
    // Puts bytes in the place of a content file (never writing through the link).
    static void replace(const std::string& path, const std::string& bytes) {
        std::filesystem::remove(path);
        ASSERT_TRUE(replaceFileAtomically(path, bytes));
    }
    // Runs the game to its menu and out with Escape; the messages it showed.
    static std::string messagesOfARun() {
        HeadlessOptions options;
        options.nullRenderer = true;
        scriptKeyTap(options.script, 5, kKeyEscape);
        setHeadless(options);
        clearMessageBoxLog();
        EXPECT_EQ(runGame(game), 0);
        return messageBoxLog();
    }
};

// The WAV's header up to its data chunk, declaring that many bytes of samples and holding
// the first few of them.
std::string lyingWav(const std::string& wav, uint32_t declared, size_t held) {
    size_t data = wav.find("data");
    std::string bytes = wav.substr(0, data + 4);
    for (int i = 0; i < 4; ++i) bytes += char((declared >> (8 * i)) & 255);
    return bytes + wav.substr(data + 8, held);
}
} // namespace

TEST_F(BrokenContent, BrokenPicturesAndSoundsAreTreatedAsMissingOnes) {
    const char* const files[] = {"image/bar.png", "image/counterTwo.png", "sound/dash1.wav",
                                 "sound/grab1.wav", "sound/grab2.wav", "sound/counter.ogg",
                                 "music/Quarrelix menu v04.ogg"};
    std::vector<std::string> originals;
    for (const char* file : files) originals.push_back(contentOf(file));
    // What start-up says today when these files are missing.
    for (const char* file : files) std::filesystem::remove(file);
    std::string missing = messagesOfARun();
    EXPECT_NE(missing.find("image/bar.png"), std::string::npos);
    // The same files truncated, lying about their sizes, or garbage.
    replace(files[0], originals[0].substr(0, originals[0].size() / 2));
    replace(files[1], lyingPng(16384, 16384));
    replace(files[2], originals[2].substr(0, originals[2].size() / 2));
    replace(files[3], lyingWav(originals[3], 0xFFFFFFF0u, 4)); // almost 4 GB
    replace(files[4], lyingWav(originals[4], 0, 0));          // empty
    replace(files[5], originals[5].substr(0, originals[5].size() - 100));
    replace(files[6], "OggS" + std::string(5000, '\x33'));
    EXPECT_EQ(messagesOfARun(), missing);
}

TEST_F(BrokenContent, ATruncatedFontStopsTheGameWithItsMessage) {
    std::string font = contentOf("image/letter_white.png");
    replace("image/letter_white.png", font.substr(0, font.size() - 40));
    HeadlessOptions options;
    setHeadless(options);
    EXPECT_EXIT(runGame(game), testing::ExitedWithCode(1), "failed: u noob");
    replace("image/letter_white.png", lyingPng(16384, 16384));
    EXPECT_EXIT(runGame(game), testing::ExitedWithCode(1), "failed: u noob");
}

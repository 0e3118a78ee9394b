// A small game directory for end-to-end tests: a font, three classes without pictures, and
// the test's own settings. Each test runs in it and leaves it behind clean.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "data/stages.h"
#include "fight/bot.h"
#include "fight/fight_state.h"
#include "game_fight.h"
#include "match/match.h"
#include "runtime/runtime.h"
#include "shell/startup.h"

// Starts the game headless at 1280 x 720 with the given options (their script, renderer...)
// for two players without bots on the first stage, with no match hooks.
inline void startTwoPlayerGame(HeadlessOptions options) {
    options.desktopWidth = 1280;
    options.desktopHeight = 720;
    setHeadless(options);
    startUpGame(game);
    removeBot(fight, playerOne);
    removeBot(fight, playerTwo);
    game.stage = &stageList[0];
    matchHooks = MatchHooks{};
}

// Start-up headless without drawing, every frame `factor` ticks of 20 ms long.
inline void startUndrawnGame(double factor) {
    HeadlessOptions options;
    options.nullRenderer = true;
    options.fixedFrameFactor = factor;
    setHeadless(options);
    startUpGame(game);
}

// A real match of one fight frame (its intro included) on `stage` with the players as they
// stand, no match hooks left behind: the fight as play starts.
inline void playOneFightFrame(Stage* stage) {
    game.stage = stage;
    matchHooks = MatchHooks{};
    matchHooks.maxFightFrames = 1;
    matchHooks.endOfMatch = false;
    startMatch(game);
    matchHooks = MatchHooks{};
}

// Three small classes: enough for start-up, which gives the players classes 2 and 0.
inline const char* const kSmallData = R"({"class": [
    {"id": 0, "name": "Zero", "idle": {"name": "idle0", "type": 1, "looped": 1,
                                       "frames": [{"length": 5}]},
     "stat": {"life": 2, "speed": 5, "weight": 5, "strength": 5},
     "stance": [{"name": "a"}, {"name": "b"}]},
    {"id": 1, "name": "One", "toBeAdded": 1,
     "idle": {"type": 1, "looped": 1, "frames": [{"length": 5}], "frontWind": [null]}},
    {"id": 2, "name": "Two", "idle": {"name": "idle2", "type": 1, "frames": [{"length": 5}]},
     "stat": {"life": 4}, "stance": [{"name": "c"}]}]})";

// A font sheet of solid white squares, one per character from 32 to 126.
inline void writeTestFont() {
    std::filesystem::create_directories("image");
    const int64_t width = 95 * 16, height = 16;
    std::vector<uint32_t> pixels(size_t(width * height), 0xFF000000u);
    for (int64_t y = 2; y < 14; ++y)
        for (int64_t x = 16; x < width; ++x)
            if (x % 16 >= 2 && x % 16 < 12) pixels[size_t(y * width + x)] = 0xFFFFFFFFu;
    ASSERT_TRUE(savePng("image/letter_white.png", width, height, pixels.data()));
}

struct GameDirTest : testing::Test {
    HeadlessOptions options;
    std::filesystem::path home;
    std::string directory = "game_dir_test";

    void SetUp() override {
        home = std::filesystem::current_path();
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
        std::filesystem::current_path(directory);
        ASSERT_TRUE(replaceFileAtomically("data.json", kSmallData));
        writeTestFont();
        options.desktopWidth = 1366;
        options.desktopHeight = 768;
    }
    void TearDown() override {
        clearHeadless();
        std::filesystem::current_path(home);
        std::filesystem::remove_all(directory);
    }
};

// The generated content linked into a scratch directory, so that the player's settings in the
// game directory are never touched. Skipped until the content has its fighters.
struct GeneratedGameTest : testing::Test {
    std::filesystem::path home;

    void SetUp() override {
        std::filesystem::path game = QRX_GAME_DIR;
        std::string data;
        if (!readWholeFile((game / "data.json").string(), data) ||
            data.find("\"idle\"") == std::string::npos)
            GTEST_SKIP() << "no generated fighters";
        home = std::filesystem::current_path();
        std::filesystem::remove_all("generated_game");
        std::filesystem::create_directories("generated_game");
        for (const char* entry : {"data.json", "image", "sound", "music"})
            std::filesystem::create_symlink(game / entry, std::filesystem::path("generated_game") / entry);
        std::filesystem::current_path("generated_game");
    }
    void TearDown() override {
        if (home.empty()) return;
        endGame();
        clearHeadless();
        std::filesystem::current_path(home);
        std::filesystem::remove_all("generated_game");
    }
};

// Following the real game from screen to screen: each opening of a screen can run a plan that
// scripts the keys to press there, counted in frames from the opening.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game_dir_fixture.h"
#include "menus/menu_framework.h"

struct Journey {
    std::vector<std::string> screens;
    std::map<std::pair<std::string, int>, std::function<void()>> plans;
    std::map<std::string, int> openings;

    void on(const std::string& screen, int opening, std::function<void()> plan) {
        plans[{screen, opening}] = std::move(plan);
    }
    // A plan for the screen's next opening, after those seen so far.
    void onNext(const std::string& screen, std::function<void()> plan) {
        on(screen, openings[screen], std::move(plan));
    }
    void start() {
        screenOpenedHook = [this](const std::string& name) {
            screens.push_back(name);
            int n = openings[name]++;
            auto plan = plans.find({name, n});
            if (plan != plans.end()) plan->second();
        };
    }
};

// With QRX_KEEP_SCREENSHOTS set to a directory, the screenshots are copied there to be looked at.
inline void keepScreenshots(const std::vector<std::string>& paths) {
    const char* keep = std::getenv("QRX_KEEP_SCREENSHOTS");
    if (!keep) return;
    for (const std::string& path : paths)
        if (std::filesystem::exists(path))
            std::filesystem::copy_file(path, std::string(keep) + "/" + path,
                                       std::filesystem::copy_options::overwrite_existing);
}

// Keys: a tap `at` frames after the screen opened (its fade in takes 20 frames here).
inline void tap(int64_t at, int64_t code, int64_t frames = 1) { scriptTapLater(at, code, frames); }

// The generated game at 1280 x 720, 20 frames a fade, nothing drawn unless a test asks.
struct JourneyTest : GeneratedGameTest {
    Journey journey;
    HeadlessOptions options;
    void SetUp() override {
        GeneratedGameTest::SetUp();
        if (IsSkipped()) return;
        options.fixedFrameFactor = 1.0;
        options.nullRenderer = true;
        options.desktopWidth = 1280;
        options.desktopHeight = 720;
    }
    void TearDown() override {
        screenOpenedHook = nullptr;
        menuSoundLog = nullptr;
        GeneratedGameTest::TearDown();
    }
    int run() {
        journey.start();
        setHeadless(options);
        return runGame(game);
    }
    // Start-up alone, for tests that run one screen themselves.
    void startUp() {
        journey.start();
        setHeadless(options);
        startUpGame(game);
    }
};

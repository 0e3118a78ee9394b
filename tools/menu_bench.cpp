// Menu frame times: the real state loop, keys scripted at each screen's opening.
#include "menu_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "input/keys.h"
#include "menus/menu_framework.h"
#include "runtime/runtime.h"
#include "settings/settings.h"
#include "shell/state_loop.h"

namespace {
constexpr int64_t kFadeFrames = 45; // a screen's fade in (40 frames at 100 FPS), left out
constexpr int64_t kShownFrames = 300; // frames timed on each screen

// The screen the frames belong to: the viewer opens the class selection too, so each opening
// gets a name of its own.
std::string shownScreen;
int64_t framesOnScreen = 0;
std::chrono::steady_clock::time_point lastPresent;
std::map<std::string, std::vector<double>> frameMs;
std::vector<std::string> order;

void framePresented() {
    auto now = std::chrono::steady_clock::now();
    double ms = std::chrono::duration<double, std::milli>(now - lastPresent).count();
    lastPresent = now;
    if (shownScreen.empty() || ++framesOnScreen <= kFadeFrames) return;
    // After Escape the screen fades out to the main menu: a cost of its own.
    frameMs[framesOnScreen > kFadeFrames + kShownFrames ? "fade out" : shownScreen].push_back(ms);
}

void show(const std::string& name) {
    shownScreen = name;
    framesOnScreen = 0;
    for (const std::string& timed : {name, std::string("fade out")})
        if (std::find(order.begin(), order.end(), timed) == order.end()) order.push_back(timed);
    scriptTapLater(kFadeFrames + kShownFrames, kKeyEscape);
}

// The main menu keeps its highlighted entry between visits: down from there, then Return.
int64_t mainMenuEntry = 0;
void choose(int64_t entry) {
    for (int64_t i = 0; i < entry - mainMenuEntry; ++i) scriptTapLater(kFadeFrames + 3 * i, kKeyDown);
    scriptTapLater(kFadeFrames + 3 * (entry - mainMenuEntry), kKeyReturn);
    mainMenuEntry = entry;
}

double percentile(const std::vector<double>& sorted, double fraction) {
    size_t i = size_t(fraction * double(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}
} // namespace

void benchMenus(FightContext& context) {
    // Leaving the options saves the settings: to a file of the bench's own, removed after.
    std::string playerSettings = settingsPath;
    settingsPath = (std::filesystem::temp_directory_path() /
                    ("quarrelix-menu-bench-" + std::to_string(::getpid()) + ".txt")).string();
    int64_t mainMenuVisits = 0, selections = 0;
    mainMenuEntry = 0;
    screenOpenedHook = [&](const std::string& name) {
        if (name == "main menu") {
            shownScreen.clear();
            // Player vs Player, View fighters, Options, then Escape leaves the game.
            switch (mainMenuVisits++) {
            case 0: choose(0); break;
            case 1: choose(2); break;
            case 2: choose(3); break;
            default: scriptTapLater(kFadeFrames, kKeyEscape); break;
            }
        } else if (name == "where to play") {
            scriptTapLater(kFadeFrames, kKeyReturn); // the same computer
        } else if (name == "class selection") {
            show(selections++ == 0 ? "two-player class selection" : "fighter viewer");
        } else if (name == "options") {
            show("options");
        }
    };
    presentedFrameObserver = framePresented;
    lastPresent = std::chrono::steady_clock::now();
    mainStateLoop(context, 40, 40);
    presentedFrameObserver = nullptr;
    screenOpenedHook = nullptr;
    std::error_code ignored;
    std::filesystem::remove(settingsPath, ignored);
    std::filesystem::remove(settingsPath + ".bad", ignored);
    settingsPath = playerSettings;
    for (const std::string& name : order) {
        std::vector<double>& times = frameMs[name];
        if (times.empty()) continue;
        std::sort(times.begin(), times.end());
        std::fprintf(stderr, "menu %s: median %.3f ms, 99th percentile %.3f ms, longest %.3f ms\n",
                     name.c_str(), percentile(times, 0.5), percentile(times, 0.99), times.back());
    }
}

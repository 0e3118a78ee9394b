// The options and controls screens through their real frame loops: each row's changes at its
// ends, the screen reopened at a new size, reset, saving on leaving, and key capture.
#include "journey_fixture.h"
#include "screen_sizes.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "fight/fighter.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "menus/options_menu.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"

namespace {
constexpr int64_t kK = 37, kBackspace = 14;

struct OptionsTest : JourneyTest {
    std::vector<int64_t> sounds;
    void startUp() {
        JourneyTest::startUp();
        menuSoundLog = &sounds;
    }
    // Presses Down `rows` times from the first row, starting `at` frames after the opening.
    static int64_t downTo(int64_t at, int64_t rows) {
        for (int64_t i = 0; i < rows; ++i) tap(at + 3 * i, kKeyDown);
        return at + 3 * rows + 3;
    }
    static std::string savedSettings() {
        std::string text;
        EXPECT_TRUE(readWholeFile(settingsPath, text));
        return text;
    }
};
} // namespace

TEST_F(OptionsTest, VolumesStopAtTheirEndsAndMusicStartsFromZero) {
    startUp();
    settings.soundVolume = 100;
    settings.musicVolume = 0;
    stopSound(1);
    freeSound(1);
    journey.on("options", 0, [] {
        tap(25, kKeyRight);   // sound volume 100: stays, silently
        tap(28, kKeyDown);
        tap(31, kKeyRight);   // music 0 -> 10
        tap(40, kKeyEscape);
    });
    runOptionsMenu(40, 40);
    EXPECT_EQ(settings.soundVolume, 100);
    EXPECT_EQ(settings.musicVolume, 10);
    EXPECT_EQ(soundStatus(1), 1); // the menu music plays
    EXPECT_EQ(getSoundVolume(1), 10);
    EXPECT_EQ(sounds, (std::vector<int64_t>{kPoolMenuMove, kPoolMenuMove, kPoolMenuBack}));
    // Backing out saved the settings.
    EXPECT_NE(savedSettings().find("\"MusicVolume\": 10"), std::string::npos) << savedSettings();
}

TEST_F(OptionsTest, RefreshRateStaysWithinTheTable) {
    startUp();
    applyFpsMode(10);
    journey.on("options", 0, [] {
        int64_t at = downTo(25, 11);
        tap(at, kKeyRight); // already the last rate
        tap(at + 10, kKeyEscape);
    });
    runOptionsMenu(40, 40);
    EXPECT_EQ(fpsMode, 10);
    applyFpsMode(1);
    journey.on("options", 1, [] {
        int64_t at = downTo(25, 11);
        tap(at, kKeyLeft);
        tap(at + 3, kKeyRight); // 50 -> 60 FPS
        tap(at + 10, kKeyEscape);
    });
    sounds.clear();
    runOptionsMenu(40, 40);
    EXPECT_EQ(fpsMode, 2);
    EXPECT_EQ(targetFps, 60);
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), kPoolMenuMove), 12); // the moves and one change
}

namespace {
// A clock of the test's own for the options screen paced in real time: time passes in sleeps,
// and the part of a frame before a change of the frame rate takes 5 ms (it is seen at the first
// reading after the change).
double optionsNowMs = 1000.0;
int64_t optionsRateSeen = 0;
std::vector<std::pair<int64_t, int64_t>> optionsSleeps; // the frame rate then, ms asked for

double optionsClock() {
    if (targetFps != optionsRateSeen) {
        optionsRateSeen = targetFps;
        optionsNowMs += 5.0;
    }
    return optionsNowMs;
}
void optionsSleep(int64_t ms) {
    optionsSleeps.emplace_back(targetFps, ms);
    optionsNowMs += double(ms);
}
struct OwnClock {
    OwnClock() { setTimeSource({optionsClock, optionsSleep}); }
    ~OwnClock() { setTimeSource({}); }
};
} // namespace

// The frame that changes the frame rate is paced from the change on, at the new rate: from 50
// to 60 FPS it sleeps the whole 16.67 ms frame (16 of it, the rest owed) after the change, not
// what is left of it counted from the frame's start 5 ms earlier (11).
TEST_F(OptionsTest, NewFrameRatePacesFromTheChange) {
    options.realTime = true;
    OwnClock clock;
    startUp();
    applyFpsMode(1);
    optionsRateSeen = targetFps;
    optionsSleeps.clear();
    journey.on("options", 0, [] {
        int64_t at = downTo(25, 11);
        tap(at, kKeyRight); // 50 -> 60 FPS
        tap(at + 10, kKeyEscape);
    });
    runOptionsMenu(40, 40);
    EXPECT_EQ(targetFps, 60);
    auto change = std::find_if(optionsSleeps.begin(), optionsSleeps.end(),
                               [](const auto& sleep) { return sleep.first == 60; });
    ASSERT_NE(change, optionsSleeps.end());
    ASSERT_GT(change - optionsSleeps.begin(), 30);
    for (auto sleep = optionsSleeps.begin(); sleep != change; ++sleep) EXPECT_EQ(sleep->second, 20);
    EXPECT_EQ(change->second, 16);
    EXPECT_EQ((change + 1)->second, 17); // 16.67 + 0.67 owed
}

TEST_F(OptionsTest, ScreenSizeWrapsAndReopensTheScreen) {
    options.nullRenderer = false;
    startUp();
    settings.screenSizeIndex = 9;
    journey.on("options", 0, [] {
        int64_t at = downTo(25, 13);
        tap(at, kKeyRight); // 1920x1200 -> 1024x768
        scriptAdd({presentedFrames() + at + 10, kScriptScreenshot, 0, 0, "reopened.png"});
        tap(at + 15, kKeyEscape);
        scriptAdd({presentedFrames() + at + 27, kScriptScreenshot, 0, 0, "darkening.png"});
    });
    runOptionsMenu(40, 40);
    EXPECT_EQ(settings.screenSizeIndex, 0);
    EXPECT_EQ(screenWidth, 1024);
    EXPECT_EQ(screenHeight, 768);
    // Everything drawn after the reopening is there, at the new size: the background's
    // orange border to the far corner, and the text of the rows.
    Bitmap shot;
    bool alpha = false;
    ASSERT_TRUE(loadPng("reopened.png", shot, alpha));
    ASSERT_EQ(shot.width, 1024);
    EXPECT_EQ(shot.pixels[size_t(767 * 1024 + 1023)] & 0xFFFFFFu, 0xFF7F00u);
    int64_t white = 0;
    for (int64_t y = 140; y < 500; ++y)
        for (int64_t x = 140; x < 360; ++x) white += (shot.pixels[size_t(y * 1024 + x)] & 0xFFFFFFu) == 0xFFFFFFu;
    EXPECT_GT(white, 500);
    // The sound volume's gauge: its icons were reloaded into the new screen.
    int64_t gauge = 0;
    for (int64_t y = 137; y < 153; ++y)
        for (int64_t x = 520; x < 640; ++x) gauge += (shot.pixels[size_t(y * 1024 + x)] & 0xFFFFFFu) != 0x202020u;
    EXPECT_GT(gauge, 300);
    // The fade covers the whole new screen, its far corner included.
    Bitmap darker;
    ASSERT_TRUE(loadPng("darkening.png", darker, alpha));
    EXPECT_LT((darker.pixels[size_t(767 * 1024 + 1023)] >> 16) & 255u, 0xC0u); // red, darkened
    keepScreenshots({"reopened.png", "darkening.png"});
}

TEST_F(OptionsTest, ResetLeavesAttackDelayScreenSizeAndFullScreen) {
    startUp();
    // "Reset to default" gives what start-up gives on the same desktop: the small combo
    // display on one narrower than 1500 pixels, the big one otherwise.
    for (auto [width, combo] : {std::pair<int64_t, int64_t>{1366, 2}, {1920, 1}}) {
        desktopWidth = width;
        settings.soundVolume = 0;
        settings.soundStereo = 0;
        settings.comboDisplay = 3;
        settings.attackDelay = 1;
        settings.screenSizeIndex = 1;
        settings.fullscreen = 0;
        applyFpsMode(2);
        resetOptionsToDefault();
        EXPECT_EQ(settings.soundVolume, 50);
        EXPECT_EQ(settings.musicVolume, 20);
        EXPECT_EQ(settings.soundStereo, 60);
        EXPECT_EQ(settings.comboDisplay, combo) << width;
        EXPECT_EQ(settings.comboDisplay, defaultSettings(width).comboDisplay);
        EXPECT_EQ(fpsMode, 6);
        EXPECT_EQ(settings.attackDelay, 1);
        EXPECT_EQ(settings.screenSizeIndex, 1);
        EXPECT_EQ(settings.fullscreen, 0);
        resetSettingsToDefaults(width);
        EXPECT_EQ(settings.comboDisplay, combo) << width;
    }
}

TEST_F(OptionsTest, EveryRowChangesBothWays) {
    startUp();
    settings.soundStereo = 0;
    EXPECT_TRUE(changeOption(2, 1));
    EXPECT_STREQ(optionValueText(2), "Small");
    EXPECT_TRUE(changeOption(2, 1));
    EXPECT_FALSE(changeOption(2, 1)); // nothing beyond Large
    EXPECT_STREQ(optionValueText(2), "Large");
    settings.comboDisplay = 3;
    EXPECT_FALSE(changeOption(5, 1));
    EXPECT_TRUE(changeOption(5, -1));
    EXPECT_STREQ(optionValueText(5), "Small");
    settings.attackDelay = 1;
    changeOption(8, -1);
    EXPECT_EQ(settings.attackDelay, 3); // Left cycles 1, 3, 2, 1
    changeOption(8, -1);
    EXPECT_EQ(settings.attackDelay, 2);
    changeOption(8, 1);
    changeOption(8, 1);
    EXPECT_EQ(settings.attackDelay, 1); // Right cycles 1, 2, 3, 1
    settings.rounds = 1; // Rounds: Right steps 1, 3, 5 and round again, Left back
    for (const char* shown : {"Best of 3", "Best of 5", "1 round"})
        EXPECT_TRUE(changeOption(9, 1) && optionValueText(9) == std::string(shown)) << shown;
    EXPECT_TRUE(changeOption(9, -1) && settings.rounds == 5);
    settings.buffedFrames = 5;
    changeOption(10, 1);
    EXPECT_STREQ(optionValueText(10), "Load on demand");
    EXPECT_EQ(settings.debugMode, 0);
    changeOption(15, 1);
    EXPECT_EQ(settings.debugMode, -1);
    changeOption(15, -1);
    EXPECT_EQ(settings.debugMode, 0);
    settings.keyboardType = 1;
    changeOption(4, 1);
    EXPECT_STREQ(optionValueText(4), "Force QWERTY");
    // The two-valued rows flip either way and back.
    for (int64_t row : {3, 6, 7, 12, 14}) {
        std::string before = optionValueText(row);
        EXPECT_TRUE(changeOption(row, 1)) << row;
        EXPECT_NE(before, optionValueText(row)) << row;
        EXPECT_TRUE(changeOption(row, -1)) << row;
        EXPECT_EQ(before, optionValueText(row)) << row;
    }
    EXPECT_FALSE(changeOption(17, 1)); // the lobby and the last three rows have no value to step
    EXPECT_FALSE(changeOption(18, 1));
    EXPECT_STREQ(optionValueText(17), "(none)");
    EXPECT_STREQ(optionValueText(20), "");
}

TEST_F(OptionsTest, OutOfRangeSettingsAreShownAndSavedNormalised) {
    ASSERT_TRUE(replaceFileAtomically(
        "settings.txt", R"({"SoundVolume": 250, "MusicVolume": -5, "ComboDisplay": 9,
                           "AttackDelay": 0, "ScreenSize": 42, "FPSMode": 99})"));
    startUp();
    loadSettings();
    EXPECT_EQ(settings.soundVolume, 100);
    EXPECT_EQ(settings.musicVolume, 0);
    EXPECT_STREQ(optionValueText(5), "None");
    EXPECT_STREQ(optionValueText(8), "Relative");
    EXPECT_STREQ(optionValueText(13), "1920x1200");
    journey.on("options", 0, [] { tap(25, kKeyEscape); });
    runOptionsMenu(40, 40);
    std::string saved = savedSettings();
    for (const char* expected : {"\"SoundVolume\": 100", "\"MusicVolume\": 0", "\"ComboDisplay\": 3",
                                 "\"AttackDelay\": 3", "\"ScreenSize\": 9", "\"Rounds\": 1"})
        EXPECT_NE(saved.find(expected), std::string::npos) << expected << " in " << saved;
    EXPECT_EQ(saved.find("99"), std::string::npos) << saved;
}

TEST_F(OptionsTest, ControlsCaptureAKeyAndItIsSaved) {
    startUp();
    playerSetups[0].keyBindings.secondary.left = 30;
    journey.on("options", 0, [] {
        int64_t at = downTo(25, 18);
        tap(at, kKeyReturn); // "    Controls    "
    });
    journey.on("controls", 0, [] {
        tap(25, kKeyReturn);  // capture player one's Left
        tap(30, kBackspace);  // unnamed: refused, capture goes on
        tap(35, kK);          // taken
        tap(40, kKeyDown);    // Right
        tap(43, kKeyRight);   // player two's column
        tap(46, kKeyReturn);
        tap(50, kKeyEscape);  // Escape while capturing binds Escape
        tap(60, kKeyEscape);  // and now leaves
    });
    journey.on("options", 1, [] { tap(25, kKeyEscape); });
    runOptionsMenu(40, 40);
    EXPECT_EQ(journey.screens, (std::vector<std::string>{"options", "controls", "options"}));
    EXPECT_EQ(playerSetups[0].keyBindings.primary.left, kK);
    EXPECT_EQ(playerSetups[1].keyBindings.primary.right, kKeyEscape);
    std::string saved = savedSettings();
    EXPECT_NE(saved.find("\"K\""), std::string::npos) << saved;

    // Reset puts the primary keys back, leaves the secondary ones and turns off Jump with Up.
    playerSetups[0].jumpWithUp = 1;
    playerSetups[1].jumpWithUp = 1;
    journey.on("options", 2, [] {
        int64_t at = downTo(25, 18);
        tap(at, kKeyReturn);
    });
    journey.on("controls", 1, [] {
        for (int i = 0; i < 8; ++i) tap(25 + 3 * i, kKeyDown);
        tap(55, kKeyReturn); // "Reset to default"
        tap(58, kKeyDown);
        tap(61, kKeyReturn); // "    Return      "
    });
    journey.on("options", 3, [] { tap(25, kKeyEscape); });
    runOptionsMenu(40, 40);
    EXPECT_EQ(playerSetups[0].keyBindings.primary.left, kKeyLeft);
    EXPECT_EQ(playerSetups[1].keyBindings.primary.right, 36);
    EXPECT_EQ(playerSetups[0].keyBindings.secondary.left, 30);
    EXPECT_EQ(playerSetups[0].jumpWithUp, 0);
    EXPECT_EQ(playerSetups[1].jumpWithUp, 0);
}

namespace {
struct OptionsScreens : OptionsTest, testing::WithParamInterface<Resolution> {};
} // namespace

// Both screens drawn at two sizes: the options with a row's hint, the controls while a key is
// being captured.
TEST_P(OptionsScreens, DrawnWithHintsAndCapture) {
    auto [width, height] = GetParam();
    options.desktopWidth = width;
    options.desktopHeight = height;
    options.nullRenderer = false;
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::vector<std::string> shots = {"options-" + size + ".png", "controls-" + size + ".png"};
    startUp();
    journey.on("options", 0, [&] {
        int64_t at = downTo(25, 10); // "   Performance  " and its hint
        scriptAdd({presentedFrames() + at + 5, kScriptScreenshot, 0, 0, shots[0]});
        at = downTo(at + 10, 8);
        tap(at, kKeyReturn);
    });
    journey.on("controls", 0, [&] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn); // capturing player one's Right
        scriptAdd({presentedFrames() + 35, kScriptScreenshot, 0, 0, shots[1]});
        tap(40, kK);
        tap(45, kKeyEscape);
    });
    journey.on("options", 1, [] { tap(25, kKeyEscape); });
    runOptionsMenu(40, 40);
    EXPECT_EQ(playerSetups[0].keyBindings.primary.right, kK);
    for (const std::string& path : shots) {
        Bitmap shot;
        bool alpha = false;
        ASSERT_TRUE(loadPng(path, shot, alpha)) << path;
        EXPECT_EQ(shot.width, width);
    }
    keepScreenshots(shots);
}

INSTANTIATE_TEST_SUITE_P(Sizes, OptionsScreens, testing::Values(kCommonScreen, kWideScreen),
                         screenSizeName);

namespace {
// The inked pixels of a controls cell in a screenshot: the 40 x 16 px from the cell's left
// edge (text at x 540 for player one, 790 for player two) on the row's line.
struct CellInk {
    int64_t count = 0;
    int64_t red = 0, green = 0, blue = 0; // sums over the inked pixels
    uint64_t sum = 0;                     // of all the box's pixel values: equal boxes agree
};

CellInk cellInk(const Bitmap& shot, int64_t x, int64_t y) {
    CellInk ink;
    for (int64_t dy = 0; dy < 16; ++dy)
        for (int64_t dx = 0; dx < 40; ++dx) {
            uint32_t p = shot.pixels[size_t((y + dy) * shot.width + x + dx)];
            int64_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            ink.sum += p;
            if (std::max({r, g, b}) < 80) continue; // the dark grey behind the text
            ++ink.count;
            ink.red += r;
            ink.green += g;
            ink.blue += b;
        }
    return ink;
}
} // namespace

// The controls screen's highlighted cell is dark red and steady, as each key name is drawn at
// intensity 128: the same pixels in frames a pulse apart; the other cells grey; a key being
// captured orange, the other column's cell of that row lilac. Screenshots at 1280 x 720.
TEST_F(OptionsTest, ControlsHighlightedCellIsSteadyDarkRed) {
    options.nullRenderer = false;
    startUp();
    const std::vector<std::string> shots = {"controls-cell-a.png", "controls-cell-b.png",
                                            "controls-cell-capture.png"};
    journey.on("options", 0, [&] {
        tap(downTo(25, 18), kKeyReturn); // "    Controls    "
    });
    journey.on("controls", 0, [&] {
        tap(25, kKeyDown); // player one's Right, row 1 at y 180
        scriptAdd({presentedFrames() + 30, kScriptScreenshot, 0, 0, shots[0]});
        scriptAdd({presentedFrames() + 45, kScriptScreenshot, 0, 0, shots[1]}); // the pulse moved on
        tap(50, kKeyReturn); // capturing
        scriptAdd({presentedFrames() + 56, kScriptScreenshot, 0, 0, shots[2]});
        tap(60, kK);
        tap(65, kKeyEscape);
    });
    journey.on("options", 1, [] { tap(25, kKeyEscape); });
    runOptionsMenu(40, 40);
    keepScreenshots(shots);
    std::vector<Bitmap> pictures(shots.size());
    for (size_t i = 0; i < shots.size(); ++i) {
        bool alpha = false;
        ASSERT_TRUE(loadPng(shots[i], pictures[i], alpha)) << shots[i];
    }
    struct Expected {
        const char* what;
        size_t shot;
        int64_t x, y;
        const char* colour; // "red", "grey", "orange" or "lilac"
    };
    const Expected cells[] = {
        {"highlighted", 0, 540, 180, "red"},   {"highlighted, later", 1, 540, 180, "red"},
        {"player two's", 0, 790, 180, "grey"}, {"a row above", 0, 540, 160, "grey"},
        {"capturing", 2, 540, 180, "orange"},  {"other column, capturing", 2, 790, 180, "lilac"},
    };
    for (const Expected& e : cells) {
        SCOPED_TRACE(e.what);
        CellInk ink = cellInk(pictures[e.shot], e.x, e.y);
        ASSERT_GT(ink.count, 10);
        int64_t r = ink.red / ink.count, g = ink.green / ink.count, b = ink.blue / ink.count;
        std::string colour = std::abs(r - g) < 12 && std::abs(g - b) < 12 ? "grey"
                             : r > g + 40 && std::abs(g - b) < 12         ? "red"
                             : r > g + 20 && g > b + 40                   ? "orange"
                             : b > g + 20 && r > g                        ? "lilac"
                                                                          : "other";
        EXPECT_EQ(colour, e.colour) << r << "," << g << "," << b;
    }
    // Steady: the highlighted cell is the same in both frames, though the entries pulse.
    EXPECT_EQ(cellInk(pictures[0], 540, 180).sum, cellInk(pictures[1], 540, 180).sum);
    EXPECT_NE(cellInk(pictures[0], 140, 180).sum, cellInk(pictures[1], 140, 180).sum)
        << "the highlighted entry's label should pulse between the two frames";
}

TEST_F(OptionsTest, ReachedFromTheMainMenuAndBackToIt) {
    journey.on("main menu", 0, [] {
        for (int i = 0; i < 3; ++i) tap(25 + 3 * i, kKeyDown);
        tap(40, kKeyReturn);
    });
    journey.on("options", 0, [] { tap(25, 17); }); // player two's heavy key leaves too
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(journey.screens, (std::vector<std::string>{"main menu", "options", "main menu"}));
    EXPECT_TRUE(std::filesystem::exists(settingsPath));
}

// Without a sound device the game starts silent and says so once on the standard error; the
// options screen keeps both volumes (for a machine with sound) and writes where their gauges
// stood that this one has none.
TEST_F(OptionsTest, WithoutASoundDeviceTheVolumesSaySoundIsOff) {
    options.noSoundDevice = true;
    options.nullRenderer = false;
    testing::internal::CaptureStderr();
    startUp();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Quarrelix: sound is off: no sound device"), std::string::npos) << said;
    EXPECT_EQ(said.find("sound is off", said.find("sound is off") + 1), std::string::npos);
    std::vector<PlacedGlyph> glyphs;
    recordGlyphs(&glyphs);
    journey.on("options", 0, [] {
        scriptAdd({presentedFrames() + 20, kScriptScreenshot, 0, 0, "options-no-sound.png"});
        tap(25, kKeyEscape);
    });
    runOptionsMenu(40, 40);
    recordGlyphs(nullptr);
    keepScreenshots({"options-no-sound.png"});
    // The rows' texts by line, from x = 520 (the gauges' place) on.
    std::map<int64_t, std::string> lines;
    for (const PlacedGlyph& g : glyphs)
        if (g.x >= 520 && lines[g.y].size() < 40) lines[g.y] += char(g.cell + 32);
    int64_t rows = 0;
    for (const auto& [y, text] : lines) rows += text.rfind("off: no sound device", 0) == 0;
    EXPECT_EQ(rows, 2); // sound and music volume
}

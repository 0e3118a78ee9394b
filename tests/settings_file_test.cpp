// The settings file: reading rules, key names, defaults, writing and failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fight/fighter.h"
#include "input/bindings.h"
#include "input/player_setup.h"
#include "players_fixture.h"
#include "runtime/files.h"
#include "runtime/screen.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"

namespace {
struct SettingsTest : testing::Test {
    void SetUp() override {
        std::filesystem::create_directories("settings_test");
        settingsPath = "settings_test/settings.txt";
        std::filesystem::remove_all(settingsPath + ".tmp");
        std::filesystem::remove(settingsPath);
        createDefaultPlayers();
    }
    void TearDown() override {
        playersCreated = false;
        settingsPath = "settings.txt";
        std::filesystem::remove_all("settings_test");
    }
    static void write(const std::string& text) {
        ASSERT_TRUE(replaceFileAtomically(settingsPath, text));
    }
};
} // namespace

TEST_F(SettingsTest, LimitsApplyWhenRead) {
    write(R"({"SoundVolume": 150, "MusicVolume": -3, "SoundStereo": -5, "ComboDisplay": 7,
              "BuffedFrames": 0, "AttackDelay": 0, "FPSMode": 0, "ScreenSize": 12})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVolume, 100);
    EXPECT_EQ(settings.musicVolume, 0);
    EXPECT_EQ(settings.soundStereo, 0);
    EXPECT_EQ(settings.comboDisplay, 3);
    EXPECT_EQ(settings.buffedFrames, 5);
    EXPECT_EQ(settings.attackDelay, 3);
    EXPECT_EQ(fpsMode, 6);
    EXPECT_EQ(targetFps, 100);
    EXPECT_EQ(settings.screenSizeIndex, 9);
    write(R"({"BuffedFrames": 3, "AttackDelay": 2, "FPSMode": 11, "ScreenSize": -4})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.buffedFrames, 3);
    EXPECT_EQ(settings.attackDelay, 2);
    EXPECT_EQ(fpsMode, 10);
    EXPECT_DOUBLE_EQ(frameMs, 1000.0 / 240);
    EXPECT_EQ(settings.screenSizeIndex, 0);
    write(R"({"BuffedFrames": 9, "FPSMode": -2, "AttackDelay": 4})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.buffedFrames, 5);
    EXPECT_EQ(fpsMode, 6);
    EXPECT_EQ(settings.attackDelay, 3);
    write(R"({"BuffedFrames": -1})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.buffedFrames, 5);
    // Rounds: 1, 3 and 5 are kept, anything else reads as a single knock-out.
    for (auto [value, expected] : {std::pair<const char*, int64_t>{"3", 3}, {"5", 5}, {"2", 1},
                                   {"7", 1}, {"-3", 1}, {"\"3\"", 1}}) {
        write(std::string(R"({"Rounds": )") + value + "}");
        ASSERT_EQ(loadSettings(), 1);
        EXPECT_EQ(settings.rounds, expected) << value;
    }
}

TEST_F(SettingsTest, WrongTypesReadAsZeroThenMeetTheirRule) {
    write(R"({"FPSMode": "x", "ComboDisplay": "x", "SoundVolume": 42.9, "ShowFPS": true})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(fpsMode, 6);
    EXPECT_EQ(settings.comboDisplay, 1);
    EXPECT_EQ(settings.soundVolume, 42);
    EXPECT_EQ(settings.showFps, 1);
}

TEST_F(SettingsTest, FullscreenDebugAndAbsentKeys) {
    settings.soundVolume = 33;
    write(R"({"Debug": 1})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.fullscreen, 1); // absent: full screen
    EXPECT_EQ(settings.debugMode, -1);
    EXPECT_EQ(settings.soundVolume, 33); // absent: unchanged
    write(R"({"Fullscreen": 0, "Debug": 0})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.fullscreen, 0);
    EXPECT_EQ(settings.debugMode, 0);
}

TEST_F(SettingsTest, BindingsByNameAndDefaults) {
    write(R"({"player1right": {"left": " space ", "right": "nonsense", "up": "Y", "down": "h",
              "neutral": "-unkown-", "heavy": "Pad 0", "jump": "Return", "jumpWithUp": 1}})");
    ASSERT_EQ(loadSettings(), 1);
    const Controls& one = playerSetups[0].keyBindings.primary;
    EXPECT_EQ(one.left, 57);
    EXPECT_EQ(one.right, 0);
    EXPECT_EQ(one.up, 21);
    EXPECT_EQ(one.down, 35);
    EXPECT_EQ(one.neutral, 0);
    EXPECT_EQ(one.heavy, 82);
    EXPECT_EQ(one.jump, 28);
    EXPECT_EQ(playerSetups[0].jumpWithUp, 1);
    // An absent binding object gives that player the defaults.
    EXPECT_EQ(playerSetups[1].keyBindings.primary.left, 34);
    EXPECT_EQ(playerSetups[1].jumpWithUp, 0);
}

TEST_F(SettingsTest, MissingOrBrokenFileChangesNothing) {
    settings.soundVolume = 12;
    EXPECT_EQ(loadSettings(), 0);
    write("{ \"SoundVolume\": 80, ");
    EXPECT_EQ(loadSettings(), 0);
    EXPECT_EQ(settings.soundVolume, 12);
}

TEST_F(SettingsTest, WriteThenReadGivesTheSameSettings) {
    settings.soundVolume = 71;
    settings.musicVolume = 9;
    settings.soundStereo = 30;
    settings.soundVariation = 0;
    settings.keyboardType = 0;
    settings.comboDisplay = 3;
    settings.windEnabled = 0;
    settings.particleEnabled = 0;
    settings.buffedFrames = 2;
    settings.attackDelay = 1;
    settings.showFps = 0;
    applyFpsMode(9);
    settings.screenSizeIndex = 4;
    settings.fullscreen = 0;
    settings.debugMode = -1;
    playerSetups[0].keyBindings.primary.jump = 57;
    playerSetups[0].keyBindings.primary.heavy = 0;
    playerSetups[0].keyBindings.primary.neutral = 14; // a code without a name
    playerSetups[1].jumpWithUp = 1;
    ASSERT_EQ(saveSettings(), 1);
    std::string text;
    ASSERT_TRUE(readWholeFile(settingsPath, text));
    EXPECT_NE(text.find("\"heavy\": \"-unasigned-\""), std::string::npos);
    EXPECT_NE(text.find("\"neutral\": \"-unkown-\""), std::string::npos);
    EXPECT_LT(text.find("SoundVolume"), text.find("MusicVolume"));
    EXPECT_LT(text.find("Debug"), text.find("player1right"));
    EXPECT_LT(text.find("player1right"), text.find("player2left"));

    PlayerSetup savedOne = playerSetups[0], savedTwo = playerSetups[1];
    resetSettingsToDefaults(1920);
    createPlayerSetup(playerSetups[0], "Player one", 1);
    createPlayerSetup(playerSetups[1], "Player two", 2);
    createFighter(playerOne, 0, 1);
    createFighter(playerTwo, 0, 2);
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVolume, 71);
    EXPECT_EQ(settings.musicVolume, 9);
    EXPECT_EQ(settings.soundStereo, 30);
    EXPECT_EQ(settings.soundVariation, 0);
    EXPECT_EQ(settings.keyboardType, 0);
    EXPECT_EQ(settings.comboDisplay, 3);
    EXPECT_EQ(settings.windEnabled, 0);
    EXPECT_EQ(settings.particleEnabled, 0);
    EXPECT_EQ(settings.buffedFrames, 2);
    EXPECT_EQ(settings.attackDelay, 1);
    EXPECT_EQ(settings.showFps, 0);
    EXPECT_EQ(fpsMode, 9);
    EXPECT_EQ(settings.screenSizeIndex, 4);
    EXPECT_EQ(settings.fullscreen, 0);
    EXPECT_EQ(settings.debugMode, -1);
    EXPECT_EQ(playerSetups[0].keyBindings.primary.jump, 57);
    EXPECT_EQ(playerSetups[0].keyBindings.primary.heavy, 0);
    EXPECT_EQ(playerSetups[0].keyBindings.primary.neutral, 0); // unnamed keys cannot be bound
    EXPECT_EQ(playerSetups[0].keyBindings.primary.left, savedOne.keyBindings.primary.left);
    EXPECT_EQ(playerSetups[1].jumpWithUp, 1);
    EXPECT_EQ(playerSetups[1].keyBindings.primary.up, savedTwo.keyBindings.primary.up);
}

TEST_F(SettingsTest, AFailedWriteKeepsTheOldFileAndSaysSo) {
    write(R"({"SoundVolume": 80})");
    // A directory where the temporary file would go makes the write fail.
    std::filesystem::create_directories(settingsPath + ".tmp");
    clearMessageBoxLog();
    settings.soundVolume = 5;
    EXPECT_EQ(saveSettings(), 0);
    EXPECT_NE(messageBoxLog().find("QRX error: Cannot create settings file"), std::string::npos);
    std::string text;
    ASSERT_TRUE(readWholeFile(settingsPath, text));
    EXPECT_EQ(text, R"({"SoundVolume": 80})");
    EXPECT_EQ(settings.soundVolume, 5); // the settings in memory are unchanged
}

TEST_F(SettingsTest, ABindingThatIsNoObjectKeepsTheDefaults) {
    for (const char* binding : {"5", "null", "\"x\"", "[]", "true"}) {
        SCOPED_TRACE(binding);
        createPlayerSetup(playerSetups[1], "Player two", 2);
        createFighter(playerTwo, 0, 2);
        playerSetups[1].jumpWithUp = 1;
        write(std::string(R"({"player1right": {"left": "Z"}, "player2left": )") + binding + "}");
        ASSERT_EQ(loadSettings(), 1);
        EXPECT_EQ(playerSetups[0].keyBindings.primary.left, 44); // the good one is still read
        const Controls& two = playerSetups[1].keyBindings.primary;
        const Controls defaults = defaultControls(2);
        EXPECT_EQ(two.left, defaults.left);
        EXPECT_EQ(two.right, defaults.right);
        EXPECT_EQ(two.up, defaults.up);
        EXPECT_EQ(two.down, defaults.down);
        EXPECT_EQ(two.neutral, defaults.neutral);
        EXPECT_EQ(two.heavy, defaults.heavy);
        EXPECT_EQ(two.jump, defaults.jump);
        EXPECT_EQ(playerSetups[1].jumpWithUp, 0);
        // And the defaults, not unassigned keys, are what the next save writes.
        ASSERT_EQ(saveSettings(), 1);
        std::string text;
        ASSERT_TRUE(readWholeFile(settingsPath, text));
        EXPECT_EQ(text.find("-unasigned-", text.find("player2left")), std::string::npos);
    }
}

TEST_F(SettingsTest, AnUnreadableFileIsKeptAsideBeforeTheFirstSave) {
    const std::string bad = settingsPath + ".bad";
    // A trailing comma, text that is not UTF-8, a root that is not an object, and nesting
    // past the reader's limit.
    const std::string unreadable[] = {"{\"SoundVolume\": 80,}", "{\"SoundVolume\": \"\xff\"}",
                                      "[{\"SoundVolume\": 80}]", std::string(100000, '[')};
    for (const std::string& text : unreadable) {
        SCOPED_TRACE(text.substr(0, 30));
        write(text);
        settings.soundVolume = 12;
        EXPECT_EQ(loadSettings(), 0);
        EXPECT_EQ(settings.soundVolume, 12); // nothing read
        testing::internal::CaptureStderr();
        ASSERT_EQ(saveSettings(), 1);
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(settingsPath + " could not be read: kept as " + bad), std::string::npos);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
        std::string kept;
        ASSERT_TRUE(readWholeFile(bad, kept));
        EXPECT_EQ(kept, text); // the last unreadable file, byte for byte
        // Once saved, the file is the game's own: later saves keep nothing more.
        std::filesystem::remove(bad);
        testing::internal::CaptureStderr();
        ASSERT_EQ(saveSettings(), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(std::filesystem::exists(bad));
        ASSERT_EQ(loadSettings(), 1);
        EXPECT_EQ(settings.soundVolume, 12);
    }
    // A missing file is not unreadable: nothing to keep.
    std::filesystem::remove(settingsPath);
    EXPECT_EQ(loadSettings(), 0);
    ASSERT_EQ(saveSettings(), 1);
    EXPECT_FALSE(std::filesystem::exists(bad));
}

TEST_F(SettingsTest, SoundVariationIsOnOrOff) {
    write(R"({"SoundVariation": 9223372036854775807})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVariation, 1);
    write(R"({"SoundVariation": -1e30})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVariation, 1);
    write(R"({"SoundVariation": 0})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVariation, 0);
}

TEST_F(SettingsTest, SavingThroughASymbolicLinkKeepsTheLink) {
    // The player keeps the real file elsewhere and links to it from the game directory.
    std::filesystem::create_directories("settings_test/elsewhere");
    ASSERT_TRUE(replaceFileAtomically("settings_test/elsewhere/mine.txt", R"({"SoundVolume": 80})"));
    std::filesystem::create_symlink("elsewhere/mine.txt", settingsPath);
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVolume, 80);
    settings.soundVolume = 33;
    ASSERT_EQ(saveSettings(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(settingsPath));
    EXPECT_EQ(std::filesystem::read_symlink(settingsPath), "elsewhere/mine.txt");
    settings.soundVolume = 0;
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVolume, 33);
    // A link to a link, and a link whose target does not exist yet, are written through too.
    std::filesystem::remove(settingsPath);
    std::filesystem::create_symlink("link2", settingsPath);
    std::filesystem::create_symlink("elsewhere/new.txt", "settings_test/link2");
    ASSERT_EQ(saveSettings(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(settingsPath));
    EXPECT_TRUE(std::filesystem::is_symlink("settings_test/link2"));
    std::string text;
    ASSERT_TRUE(readWholeFile("settings_test/elsewhere/new.txt", text));
    EXPECT_NE(text.find("\"SoundVolume\": 33"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("settings_test/elsewhere/new.txt.tmp"));
}

// The lessons passed: bit n for lesson n + 1. Files from before the lessons lack the key.
TEST_F(SettingsTest, LessonsPassedAreKeptAndOlderFilesHaveNone) {
    settings.lessonsPassed = 5;
    ASSERT_EQ(saveSettings(), 1);
    std::string text;
    ASSERT_TRUE(readWholeFile(settingsPath, text));
    EXPECT_NE(text.find("\"LessonsPassed\": 5"), std::string::npos);
    EXPECT_NE(text.find("\"SoundVolume\""), std::string::npos); // the others are still written
    settings.lessonsPassed = 0;
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.lessonsPassed, 5);

    // An older file: everything else is read, and no lesson has been passed.
    write(R"({"SoundVolume": 77, "player1right": {"left": "Z"}})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.lessonsPassed, 0);
    EXPECT_EQ(settings.soundVolume, 77);
    EXPECT_EQ(playerSetups[0].keyBindings.primary.left, 44);

    // Bad values: negative or not a number is none; bits past the six lessons are dropped.
    const std::pair<const char*, int64_t> values[] = {
        {"-3", 0}, {"\"all\"", 0}, {"null", 0}, {"63", 63}, {"64", 0}, {"130", 2}};
    for (const auto& [value, expected] : values) {
        SCOPED_TRACE(value);
        settings.lessonsPassed = 9;
        write(std::string(R"({"LessonsPassed": )") + value + "}");
        ASSERT_EQ(loadSettings(), 1);
        EXPECT_EQ(settings.lessonsPassed, expected);
    }
}

TEST(ScreenSizes, AutomaticChoiceTakesTheFirstLargeEnough) {
    EXPECT_EQ(automaticScreenSizeIndex(1366, 768), 7); // 1680 x 1050
    EXPECT_EQ(automaticScreenSizeIndex(1920, 1080), 8);
    EXPECT_EQ(automaticScreenSizeIndex(1024, 768), 0);
    EXPECT_EQ(automaticScreenSizeIndex(1280, 1000), 5);
    EXPECT_EQ(automaticScreenSizeIndex(2560, 1440), -1);
    setScreenSizeFromIndex(6);
    EXPECT_EQ(screenWidth, 1360);
    EXPECT_EQ(screenHeight, 768);
}

// Online play's settings: the input delay Auto or within 0-4 frames, the address last joined
// and the lobby only when the entry screen could have typed them; files from before them keep
// the defaults.
TEST_F(SettingsTest, InputDelayAndLastJoinAddress) {
    settings.inputDelay = 0;
    settings.lastJoinAddress = "[::1]:7771";
    settings.lobbyAddress = "lobby.example:7771";
    ASSERT_EQ(saveSettings(), 1);
    std::string text;
    ASSERT_TRUE(readWholeFile(settingsPath, text));
    EXPECT_NE(text.find("\"InputDelay\": 0"), std::string::npos) << text;
    EXPECT_NE(text.find("\"LastJoinAddress\": \"[::1]:7771\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"Lobby\": \"lobby.example:7771\""), std::string::npos) << text;
    resetSettingsToDefaults(1920);
    EXPECT_EQ(settings.inputDelay, kAutoInputDelay);
    EXPECT_EQ(settings.lastJoinAddress, "");
    EXPECT_EQ(settings.lobbyAddress, "");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.inputDelay, 0);
    EXPECT_EQ(settings.lastJoinAddress, "[::1]:7771");
    EXPECT_EQ(settings.lobbyAddress, "lobby.example:7771");

    // An older file: the defaults.
    resetSettingsToDefaults(1920);
    write(R"({"SoundVolume": 77, "AttackDelay": 2})");
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVolume, 77);
    EXPECT_EQ(settings.inputDelay, kAutoInputDelay);
    EXPECT_EQ(settings.lastJoinAddress, "");

    // Delays above 4 are brought to 4, any negative one is Auto; another type reads as 0.
    const std::pair<const char*, int64_t> delays[] = {
        {"9", 4}, {"-1", kAutoInputDelay}, {"-7", kAutoInputDelay}, {"3", 3}, {"\"two\"", 0}, {"null", 0}};
    for (const auto& [value, expected] : delays) {
        SCOPED_TRACE(value);
        settings.inputDelay = 1;
        write(std::string(R"({"InputDelay": )") + value + "}");
        ASSERT_EQ(loadSettings(), 1);
        EXPECT_EQ(settings.inputDelay, expected);
    }

    // A bad address is passed over, leaving the one there was; "" is no address at all.
    const std::string longest(kMaxAddressLength, '7');
    const std::pair<std::string, std::string> addresses[] = {
        {"\"game.example.org:7770\"", "game.example.org:7770"},
        {"\"" + longest + "\"", longest},
        {"\"" + longest + "1\"", "kept"},
        {"\"a b\"", "kept"},
        {"\"host;rm\"", "kept"},
        {"7770", "kept"},
        {"[\"10.0.0.1\"]", "kept"},
        {"\"\"", ""}};
    for (const auto& [value, expected] : addresses) {
        SCOPED_TRACE(value);
        settings.lastJoinAddress = settings.lobbyAddress = "kept";
        write(R"({"LastJoinAddress": )" + value + R"(, "Lobby": )" + value + "}");
        ASSERT_EQ(loadSettings(), 1);
        EXPECT_EQ(settings.lastJoinAddress, expected);
        EXPECT_EQ(settings.lobbyAddress, expected);
    }
}

// Where the player's settings and replays go: beside a game that may write its own directory,
// else in the player's data directory; and a game with nowhere to keep them plays on unsaved.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fight/fighter.h"
#include "input/player_setup.h"
#include "players_fixture.h"
#include "records/records.h"
#include "replays/replays.h"
#include "runtime/files.h"
#include "settings/settings.h"
#include "shell/player_files.h"

namespace {
struct PlayerFilesTest : testing::Test {
    void SetUp() override {
        std::filesystem::remove_all("player_files_test");
        std::filesystem::create_directories("player_files_test");
        createDefaultPlayers();
    }
    void TearDown() override {
        playersCreated = false;
        settingsPath = "settings.txt";
        recordsPath = "records.txt";
        replayDirectory = "replays";
        std::filesystem::remove_all("player_files_test");
    }
};
} // namespace

TEST(PlayerFilesDirectory, BesideAWritableGameElseInThePlayersDataDirectory) {
    // A local build (or any game whose directory is the player's): beside it, whatever is set.
    EXPECT_EQ(playerFilesDirectory(true, "/home/ann/.data", "/home/ann"), ".");
    EXPECT_EQ(playerFilesDirectory(true, "", ""), ".");
    // Installed system-wide: XDG_DATA_HOME when it is an absolute path.
    EXPECT_EQ(playerFilesDirectory(false, "/home/ann/.data", "/home/ann"),
              "/home/ann/.data/quarrelix");
    // Unset or empty, or relative (which the XDG rules say to ignore): HOME/.local/share.
    EXPECT_EQ(playerFilesDirectory(false, "", "/home/ann"), "/home/ann/.local/share/quarrelix");
    EXPECT_EQ(playerFilesDirectory(false, "data", "/home/ann"), "/home/ann/.local/share/quarrelix");
    // Neither: nowhere.
    EXPECT_EQ(playerFilesDirectory(false, "", ""), "");
    EXPECT_EQ(playerFilesDirectory(false, "data", ""), "");
}

TEST(PlayerFilesDirectory, TheTestsOwnDirectoryIsWritableAndAFileIsNoDirectory) {
    EXPECT_TRUE(directoryWritable("."));
    std::ofstream("a_file") << "x";
    EXPECT_FALSE(directoryWritable("a_file"));
    EXPECT_FALSE(directoryWritable("no_such_directory"));
    std::filesystem::remove("a_file");
}

TEST_F(PlayerFilesTest, BesideTheGameThePathsStayAsTheyAre) {
    EXPECT_TRUE(keepPlayerFilesIn("."));
    EXPECT_EQ(settingsPath, "settings.txt");
    EXPECT_EQ(replayDirectory, "replays");
}

TEST_F(PlayerFilesTest, TheDataDirectoryIsMadeAndTheSettingsGoThere) {
    const std::string directory = "player_files_test/share/quarrelix";
    EXPECT_TRUE(keepPlayerFilesIn(directory));
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_EQ(settingsPath, directory + "/settings.txt");
    EXPECT_EQ(recordsPath, directory + "/records.txt");
    EXPECT_EQ(replayDirectory, directory + "/replays");
    settings.soundVolume = 37;
    ASSERT_EQ(saveSettings(), 1);
    settings.soundVolume = 50;
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(settings.soundVolume, 37);
    EXPECT_FALSE(std::filesystem::exists("settings.txt"));
}

TEST_F(PlayerFilesTest, WithNowhereToKeepThemTheGameSaysSoOnceAndSavesNothing) {
    // A directory that cannot be made: its parent is a file.
    std::ofstream("player_files_test/taken") << "a file";
    for (const std::string directory : {"player_files_test/taken/quarrelix", ""}) {
        SCOPED_TRACE(directory);
        settingsPath = "settings.txt";
        replayDirectory = "replays";
        testing::internal::CaptureStderr();
        EXPECT_FALSE(keepPlayerFilesIn(directory));
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.rfind("Quarrelix: settings and replays are not kept: ", 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
        EXPECT_EQ(settingsPath, "");
        EXPECT_EQ(recordsPath, "");
        EXPECT_EQ(replayDirectory, "");
        // Saving and loading are quiet no-ops from then on.
        testing::internal::CaptureStderr();
        EXPECT_EQ(saveSettings(), 0);
        EXPECT_EQ(loadSettings(), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(std::filesystem::exists("settings.txt"));
    }
}

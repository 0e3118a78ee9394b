// The game's directory and the player's files directory.
#include "shell/player_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "records/records.h"
#include "replays/replays.h"
#include "runtime/files.h"
#include "runtime/screen.h"
#include "settings/settings.h"

namespace {
std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
} // namespace

void enterGameDirectory() {
    if (fileSize("data.json") >= 0) return;
    std::string directory = executableDirectory();
    if (directory.empty() || fileSize(directory + "data.json") < 0) return;
    std::error_code error;
    std::filesystem::current_path(directory, error);
}

std::string playerFilesDirectory(bool gameDirectoryWritable, const std::string& xdgDataHome,
                                 const std::string& home) {
    if (gameDirectoryWritable) return ".";
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/') return xdgDataHome + "/quarrelix";
    if (!home.empty()) return home + "/.local/share/quarrelix";
    return "";
}

bool keepPlayerFilesIn(const std::string& directory) {
    screenshotDirectory = directory.empty() ? "" : directory + "/screenshots";
    if (directory == ".") return true; // settings.txt, records.txt and replays/ beside the game
    std::string problem = "neither XDG_DATA_HOME nor HOME is set";
    if (!directory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        if (!error && directoryWritable(directory)) {
            settingsPath = directory + "/settings.txt";
            recordsPath = directory + "/records.txt";
            replayDirectory = directory + "/replays";
            return true;
        }
        problem = directory + ": " + (error ? error.message() : "not writable");
    }
    std::fprintf(stderr, "Quarrelix: settings and replays are not kept: %s\n", problem.c_str());
    settingsPath.clear();
    recordsPath.clear();
    replayDirectory.clear();
    screenshotDirectory.clear();
    return false;
}

void usePlayerFilesDirectory() {
    keepPlayerFilesIn(playerFilesDirectory(
        directoryWritable("."), environmentValue("XDG_DATA_HOME"), environmentValue("HOME")));
}

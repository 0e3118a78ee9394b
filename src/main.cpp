// The game executable: everything happens in start-up and the main state loop.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "menus/menu_framework.h"
#include "net/transport.h"
#include "replays/replays.h"
#include "shell/player_files.h"
#include "shell/startup.h"
#include "shell/state_loop.h"

namespace {
const char* const kUsage =
    "usage: quarrelix [--replay FILE | --host [PORT] | --join HOST[:PORT] | --help | --version]\n"
    "  (no option)        play: the window opens at the size chosen in the options\n"
    "  --replay FILE      watch a recorded match (replays/*.qrxreplay), then end\n"
    "  --host [PORT]      host online play at once (UDP port 7770 unless given)\n"
    "  --join HOST[:PORT] join the online play HOST hosts, at once\n"
    "  --help          this text\n"
    "  --version       the game's version\n";
} // namespace

int main(int argc, char** argv) {
    // QRX_SCREEN_LOG=1 names each screen on the standard error as it opens (the smoke tests
    // follow a player's path through a real window with it).
    if (std::getenv("QRX_SCREEN_LOG"))
        screenOpenedHook = [](const std::string& name) {
            std::fprintf(stderr, "screen: %s\n", name.c_str());
        };
    // --help and --version answer before anything opens: no window, no sound device.
    const std::string option = argc > 1 ? argv[1] : "";
    if (argc == 2 && option == "--help") {
        std::printf("%s", kUsage);
        return 0;
    }
    if (argc == 2 && option == "--version") {
        std::printf("Quarrelix project pre-alpha %s\n", kGameVersion.c_str());
        return 0;
    }
    bool replay = argc == 3 && option == "--replay";
    bool host = (argc == 2 || argc == 3) && option == "--host";
    bool join = argc == 3 && option == "--join";
    if (host && argc == 3) {
        std::string ignored, error;
        uint16_t port = 0;
        // The port alone, read as the port of an address.
        if (!parseHostAndPort("port:" + std::string(argv[2]), ignored, port, error)) {
            std::fprintf(stderr, "quarrelix: %s\n", error.c_str());
            return 2;
        }
        startPort = port;
    }
    if (join) {
        std::string hostName, error;
        uint16_t port = 0;
        if (!parseHostAndPort(argv[2], hostName, port, error)) {
            std::fprintf(stderr, "quarrelix: %s\n", error.c_str());
            return 2;
        }
        startAddress = argv[2];
    }
    if (host) startOnline = kStartHosting;
    if (join) startOnline = kStartJoining;
    if (argc > 1 && !replay && !host && !join) {
        std::fprintf(stderr, "quarrelix: unknown option %s\n%s", option.c_str(), kUsage);
        return 2;
    }
    std::error_code error;
    const std::filesystem::path startDirectory = std::filesystem::current_path(error);
    enterGameDirectory();
    usePlayerFilesDirectory();
    // quarrelix --replay FILE: watch a recorded match, then end. A relative FILE names it from
    // where the player started the game, also when the game moved to its own directory.
    if (replay) {
        std::filesystem::path file = argv[2];
        if (file.is_relative() && std::filesystem::current_path(error) != startDirectory)
            file = startDirectory / file;
        std::exit(runReplayFile(file.string()));
    }
    startProgram();
}

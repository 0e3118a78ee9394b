// The game executable: everything happens in start-up and the main state loop.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "menus/menu_framework.h"
#include "lobby/lobby_messages.h"
#include "net/transport.h"
#include "online/online_match.h"
#include "online/room_flow.h"
#include "online/rooms.h"
#include "replays/replays.h"
#include "shell/player_files.h"
#include "shell/startup.h"
#include "shell/state_loop.h"

namespace {
const char* const kUsage =
    "usage: quarrelix [--replay FILE | --host [PORT] | --join HOST[:PORT] | --help | --version]\n"
    "       quarrelix [--lobby HOST[:PORT]] [--host-room | --join-room CODE | --watch-room CODE]\n"
    "  (no option)        play: the window opens at the size chosen in the options\n"
    "  --replay FILE      watch a recorded match (replays/*.qrxreplay), then end\n"
    "  --host [PORT]      host online play at once (UDP port 7770 unless given)\n"
    "  --join HOST[:PORT] join the online play HOST hosts, at once\n"
    "  --lobby HOST[:PORT] the lobby for rooms in this run (port 7771 unless given)\n"
    "  --host-room        host a room at once: its code is shown to tell the other player\n"
    "  --join-room CODE   join the room of CODE at once\n"
    "  --watch-room CODE  watch the match of the room of CODE\n"
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
    // QRX_ONLINE_FRAME_LIMIT=N ends every online match after N fight frames with no winner, on
    // both sides when both set it (the smoke test reaches the rematch in a real window so).
    if (const char* limit = std::getenv("QRX_ONLINE_FRAME_LIMIT")) onlineFrameLimit = std::atoll(limit);
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
    // Online play at once: one way to start, with --lobby (a lobby for this run) beside it.
    auto bad = [](const std::string& message) {
        std::fprintf(stderr, "quarrelix: %s\n", message.c_str());
        std::exit(2);
    };
    for (int i = 1; i < argc && !replay; ++i) {
        const std::string name = argv[i];
        const bool hasValue = i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0;
        const std::string value = hasValue ? argv[i + 1] : "";
        auto start = [&](int64_t how) {
            if (startOnline != kStartAtMenu) bad("only one of --host, --join, --host-room, --join-room and --watch-room");
            startOnline = how;
        };
        std::string hostName, error;
        uint16_t port = 0;
        if (name == "--host") {
            start(kStartHosting);
            if (!hasValue) continue;
            // The port alone, read as the port of an address.
            if (!parseHostAndPort("port:" + value, hostName, port, error)) bad(error);
            startPort = port;
            ++i;
        } else if (name == "--join" && hasValue) {
            start(kStartJoining);
            if (!parseHostAndPort(value, hostName, port, error)) bad(error);
            startAddress = value;
            ++i;
        } else if (name == "--lobby" && hasValue) {
            if (!parseLobbyAddress(value, hostName, port, error)) bad(error);
            startLobby = value;
            ++i;
        } else if (name == "--host-room") {
            start(kStartHostingRoom);
        } else if ((name == "--join-room" || name == "--watch-room") && hasValue) {
            start(name == "--join-room" ? kStartJoiningRoom : kStartWatchingRoom);
            startAddress = normalizedRoomCode(value);
            if (startAddress.empty()) bad("a room code is 6 letters: " + value);
            ++i;
        } else {
            std::fprintf(stderr, "quarrelix: unknown option %s\n%s", name.c_str(), kUsage);
            return 2;
        }
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

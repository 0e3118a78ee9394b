// quarrelix-lobby: the lobby server for online rooms. It keeps rooms in memory, tells two
// players where to reach each other, relays their packets when nothing else gets through and
// passes a room's matches on to spectators. One UDP port; no files, no state on disk.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lobby/lobby_loop.h"
#include "lobby/lobby_messages.h"
#include "replays/replays.h"

namespace {
std::atomic<bool> stopping{false};

void stopOnSignal(int) {
    stopping = true;
}

[[noreturn]] void usage(const std::string& problem, int status) {
    std::fprintf(status ? stderr : stdout,
                 "%s%s"
                 "usage: quarrelix-lobby [--port PORT] [--bind ADDRESS] [--stats SECONDS]\n"
                 "  --port PORT      UDP port to serve on (default %d)\n"
                 "  --bind ADDRESS   IPv4 address to serve on (default 0.0.0.0: all)\n"
                 "  --stats SECONDS  print the lobby's counters this often\n"
                 "  --version        print the version\n",
                 problem.empty() ? "" : ("quarrelix-lobby: " + problem + "\n").c_str(),
                 "", int(kDefaultLobbyPort));
    std::exit(status);
}

double number(const std::string& text, const std::string& option, double most) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || value < 0 || value > most)
        usage("bad value for " + option + ": " + text, 2);
    return value;
}
} // namespace

int main(int argc, char** argv) {
    LobbyOptions options;
    options.port = kDefaultLobbyPort;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help") usage("", 0);
        if (option == "--version") {
            std::printf("quarrelix-lobby %s\n", kGameVersion.c_str());
            return 0;
        }
        if (i + 1 >= argc) usage("missing value for " + option, 2);
        std::string value = argv[++i];
        if (option == "--port") options.port = uint16_t(number(value, option, 65535));
        else if (option == "--bind") options.bind = value;
        else if (option == "--stats") options.statsEverySeconds = number(value, option, 86400);
        else usage("unknown option " + option, 2);
    }
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    LobbyStats stats;
    if (!runLobby(options, stopping, stats)) {
        std::fprintf(stderr, "quarrelix-lobby: %s\n", stats.failure.c_str());
        return 1;
    }
    return 0;
}

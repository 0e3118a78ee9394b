// The game executable: everything happens in start-up and the main state loop.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/startup.h"
#include "menus/menu_framework.h"

int main(int argc, char** argv) {
    // QRX_SCREEN_LOG=1 names each screen on the standard error as it opens (the smoke tests
    // follow a player's path through a real window with it).
    if (std::getenv("QRX_SCREEN_LOG"))
        screenOpenedHook = [](const std::string& name) {
            std::fprintf(stderr, "screen: %s\n", name.c_str());
        };
    // quarrelix --replay FILE: watch a recorded match, then end.
    if (argc == 3 && std::string(argv[1]) == "--replay") std::exit(runReplayFile(argv[2]));
    if (argc > 1) {
        std::fprintf(stderr, "usage: quarrelix [--replay FILE]\n");
        return 2;
    }
    startProgram();
}

// The end of the game when the X server goes away under it.
//
// Xlib's own handler for a lost connection calls exit(), from inside whatever SDL call met the
// dead connection. exit() then runs the destructors of the runtime's tables while the code it
// interrupted is still using them: the audio thread mixes sounds that are being freed, and a
// shutdown that was clearing the sprite table sees it cleared a second time ("double free or
// corruption"). Nothing can be drawn or saved without the display, so the game says what
// happened and ends at once, without running those destructors.
//
// A write to the server's socket after the server has gone raises SIGPIPE, whose default
// action kills the game silently (status 141) before Xlib can see the error; with the signal
// ignored the write fails, and Xlib calls the handler below. The game writes to no other pipe
// or socket, so nothing else relies on that signal.
#include <SDL.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

#include <csignal>

#include <unistd.h>

#include "runtime/internal.h"

namespace {
int displayLost(Display*) {
    static const char message[] =
        "Quarrelix: the connection to the display was lost; the game ends.\n";
    // write() rather than stdio: the lost connection may have interrupted a stdio call.
    ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    std::_Exit(1);
}
} // namespace

void watchDisplayConnection() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return;
    std::signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(displayLost);
}

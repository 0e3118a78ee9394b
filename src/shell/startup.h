// Start-up, shutdown and the loading frame.
#pragma once

#include <cstdint>
#include <string>

// The program's entry: start-up, the main state loop, shutdown; ends the process.
[[noreturn]] void startProgram();
struct FightContext;

// Start-up, the main state loop and the orderly shutdown, every screen playing the context's
// fight; returns the exit code. Tests run it in headless mode.
int runGame(FightContext& context);
// Watching a replay file: start-up with the screen at the replay's size, the replay played
// with the viewer's keys, then the orderly shutdown; returns the exit code (1 when the file
// cannot be read or played here, after saying why).
int runReplayFile(const std::string& path);
// A screen size that start-up opens instead of the settings' (0: none), not saved.
extern int64_t forcedScreenWidth, forcedScreenHeight;
// Start-up up to the main state loop (for tools that run matches without menus): the
// context's players made, its fight not yet set up; and the orderly end that follows it.
void startUpGame(FightContext& context);
void endGame();
void showLoadingMessage(const std::string& text);

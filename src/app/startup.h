// Start-up, shutdown and the loading frame.
#pragma once

#include <cstdint>
#include <string>

extern int64_t gaugeColors[11]; // blue through green, yellow, orange and red to magenta

// The program's entry: start-up, the main state loop, shutdown; ends the process.
[[noreturn]] void startProgram();
// Start-up, the main state loop and the orderly shutdown; returns the exit code. Tests run it
// in headless mode.
int runGame();
// Watching a replay file: start-up with the screen at the replay's size, the replay played
// with the viewer's keys, then the orderly shutdown; returns the exit code (1 when the file
// cannot be read or played here, after saying why).
int runReplayFile(const std::string& path);
// A screen size that start-up opens instead of the settings' (0: none), not saved.
extern int64_t forcedScreenWidth, forcedScreenHeight;
// Start-up up to the main state loop (for tools that run matches without menus), and the
// orderly end that follows it.
void startUpGame();
void endGame();
// Shows a start-up failure and ends the program (exit code 1) after an orderly shutdown.
[[noreturn]] void fatalError(const std::string& title, const std::string& text, int64_t icon);
// Orderly shutdown and the end of the process.
[[noreturn]] void shutdownProgram(int exitCode);
void showLoadingMessage(const std::string& text);
void applyMusicVolume(); // every sound in the music slots 1-8 gets the music volume
void buildGaugeColors();

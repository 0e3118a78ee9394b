// The main menu: the game's first screen and the way to every activity.
#pragma once

#include <cstdint>

constexpr int64_t kMainMenuEntries = 7;
constexpr int64_t kTutorialEntry = 4;

// Returns the chosen entry (0-6) once the screen has faded to black; Escape returns the exit
// entry (6) the same way.
int64_t runMainMenu(int64_t textX, int64_t textY, int64_t highlighted);

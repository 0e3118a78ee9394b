// The main menu: the game's first screen and the way to every activity.
#pragma once

#include <cstdint>

constexpr int64_t kMainMenuEntries = 8;
constexpr int64_t kTutorialEntry = 4;
constexpr int64_t kSoloEntry = 6; // arcade, survival and the records

// Returns the chosen entry (0-7) once the screen has faded to black; Escape returns the exit
// entry (7) the same way.
int64_t runMainMenu(int64_t textX, int64_t textY, int64_t highlighted);

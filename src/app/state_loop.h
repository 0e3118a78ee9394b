// The main state loop: one full-screen activity at a time, chosen from the main menu.
#pragma once

#include <cstdint>

constexpr int64_t kStatePlayerVsPlayer = 0;
constexpr int64_t kStateExit = 6;

void mainStateLoop(int64_t textX, int64_t textY);
void runTwoPlayerFight();
// The main menu until the real menus exist: a plain frame; Escape returns the exit state.
int64_t runMainMenuPlaceholder(int64_t textX, int64_t textY, int64_t highlighted);

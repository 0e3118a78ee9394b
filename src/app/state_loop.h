// The main state loop: one full-screen activity at a time, chosen from the main menu.
#pragma once

#include <cstdint>

constexpr int64_t kStatePlayerVsPlayer = 0;
constexpr int64_t kStatePlayerVsBot = 1;
constexpr int64_t kStateExit = 6;

void mainStateLoop(int64_t textX, int64_t textY);
// The screens' kept choices back to their start (a new run).
void resetMenuState();

// The controls screen: both players' seven keys and "Jump with Up", rebound by pressing the
// new key, and reset to the defaults.
#pragma once

#include <cstdint>

// 1 once the screen has been left and is black.
int64_t runControlsMenu(int64_t textX, int64_t textY);

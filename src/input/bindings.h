// The players' key bindings: seven actions, primary and secondary keys, and their defaults.
#pragma once

#include <cstdint>

// Key codes of one set of keys, in the game's order of actions.
struct Controls {
    int64_t up = 0;
    int64_t down = 0;
    int64_t right = 0;
    int64_t left = 0;
    int64_t neutral = 0;
    int64_t heavy = 0;
    int64_t jump = 0;
};

struct KeyBindings {
    Controls primary;
    Controls secondary; // all unassigned by default
};

Controls defaultControls(int64_t player); // player 1 or 2

// Keyboard type: 1 "Local keyboard" (letters follow the layout), 0 "Force QWERTY".
void applyKeyboardType(int64_t type);

// What each player brings to the game beyond the fight: a name, the keys and game controller
// they play with, and whether their up key also jumps. The menus and the settings file write
// them; a fight only sees the actions polled with them and, for its hash, the names and the
// jump-with-up its match was set up with (see MatchSetup).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "input/bindings.h"

struct PlayerSetup {
    std::string name;
    KeyBindings keyBindings;
    int64_t padIndex = -1;  // game controller of this player, -1 for none
    int64_t jumpWithUp = 0; // the up key also jumps
};

// Player one and player two, for the whole run.
extern std::array<PlayerSetup, 2> playerSetups;
extern bool playersCreated; // set once start-up has made both players

// A player as start-up makes one: the name, player 1's or 2's default keys, no controller.
void createPlayerSetup(PlayerSetup& setup, const std::string& name, int64_t player);

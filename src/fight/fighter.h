// The fighter record: one per player for the whole run. The fight fills in the rest of it;
// for now it carries what start-up and the settings give each player.
#pragma once

#include <cstdint>
#include <string>

#include "input/bindings.h"

struct Fighter {
    int64_t id = 0;
    std::string name;
    int64_t color = 0;         // the player's own colour (RGB)
    KeyBindings keyBindings;
    int64_t jumpWithUp = 0;    // the up key also jumps
    int64_t padIndex = -1;     // game controller of this player, -1 for none
    int64_t debug = 0;         // -1 while debug mode is on
    int64_t classIndex = 0;    // position of the fighter class in the class list
    int64_t stanceIndex = 0;
};

extern Fighter playerOne;
extern Fighter playerTwo;
extern bool playersCreated; // set once start-up has made both players

void createFighter(Fighter& fighter, const std::string& name, int64_t color, int64_t player);

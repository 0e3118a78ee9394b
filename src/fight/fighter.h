// The fighter record: one per player for the whole run. The fight fills in the rest of it;
// for now it carries what start-up, the settings and match preparation give each player.
#pragma once

#include <cstdint>
#include <string>

#include "data/animation.h"
#include "input/bindings.h"

struct FighterClass;
struct Stance;
struct Stat;

struct Fighter {
    int64_t id = 0;
    std::string name;
    Animation currentAnimation; // the fighter's own copy of the animation being played
    int64_t life = 0;
    int64_t maxLife = 0;
    int64_t color = 0;         // the player's own colour (RGB)
    KeyBindings keyBindings;
    int64_t jumpWithUp = 0;    // the up key also jumps
    FighterClass* fighterClass = nullptr;
    int64_t stanceIndex = 0;
    const Stance* stance = nullptr;
    int64_t useAlternateColor = 0; // player two's stance colour equals player one's
    int64_t botLevel = 0;      // 0 human; 1, 2, 3 Easy, Medium, Hard
    int64_t padIndex = -1;     // game controller of this player, -1 for none
    int64_t debug = 0;         // -1 while debug mode is on
};

extern Fighter playerOne;
extern Fighter playerTwo;
extern bool playersCreated; // set once start-up has made both players

void createFighter(Fighter& fighter, const std::string& name, int64_t color, int64_t player);

// Class statistics plus the stance's modifier, plus 1 each for a Hard bot.
Stat effectiveStat(const Fighter& fighter);

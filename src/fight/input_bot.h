// A simple program at the keys, for tools and tests of online play: it presses what a player
// could (unlike the computer opponent, which works on the fighter's input counters inside the
// fight), so its actions can be sent, delayed and recorded like a person's. It mostly walks
// towards the other fighter and presses attacks and jumps now and then, changing what it holds
// every 3 to 14 frames. It draws from its own generator, never the fight's.
#pragma once

#include <cstdint>
#include <random>

#include "input/controls.h"

struct FightState;

struct InputBot {
    std::mt19937_64 generator;
    Actions held;
    int64_t heldFrames = 0;
};

void startInputBot(InputBot& bot, uint64_t seed);
// What the bot holds this frame as `player` (0 player one, 1 player two) in the fight `now`.
Actions inputBotActions(InputBot& bot, const FightState& now, int64_t player);

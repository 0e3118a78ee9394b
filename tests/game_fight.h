// The fight the tests run the game with, as the game's own start-up is handed one for its run:
// one per test program, with the names the tests give its players bound to it.
#pragma once

#include "fight/fight_state.h"

inline FightContext game;
inline FightState& fight = game.fight;
inline Fighter& playerOne = game.fight.players[0];
inline Fighter& playerTwo = game.fight.players[1];

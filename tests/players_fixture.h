// Both players as start-up makes them, with the default settings of a 1920 px desktop: what
// the settings reader and writer need in tests.
#pragma once

#include "fight/fighter.h"
#include "game_fight.h"
#include "input/player_setup.h"
#include "settings/settings.h"

inline void createDefaultPlayers() {
    resetSettingsToDefaults(1920);
    createPlayerSetup(playerSetups[0], "Player one", 1);
    createPlayerSetup(playerSetups[1], "Player two", 2);
    createFighter(playerOne, 0, 1);
    createFighter(playerTwo, 0, 2);
    playersCreated = true;
}

// Both players as start-up makes them, with the default settings of a 1920 px desktop: what
// the settings reader and writer need in tests.
#pragma once

#include "fight/fighter.h"
#include "settings/settings.h"

inline void createDefaultPlayers() {
    resetSettingsToDefaults(1920);
    createFighter(playerOne, "Player one", 0, 1);
    createFighter(playerTwo, "Player two", 0, 2);
    playersCreated = true;
}

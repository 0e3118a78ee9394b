// The players' own settings.
#include "input/player_setup.h"

std::array<PlayerSetup, 2> playerSetups;
bool playersCreated = false;

void createPlayerSetup(PlayerSetup& setup, const std::string& name, int64_t player) {
    setup = PlayerSetup{};
    setup.name = name;
    setup.keyBindings.primary = defaultControls(player);
}

// The two fighter records.
#include "fight/fighter.h"

Fighter playerOne;
Fighter playerTwo;
bool playersCreated = false;

namespace {
int64_t fightersMade = 0; // the program-wide counter of fighter ids
}

void createFighter(Fighter& fighter, const std::string& name, int64_t color, int64_t player) {
    fighter = Fighter{};
    fighter.id = ++fightersMade;
    fighter.name = name;
    fighter.color = color;
    fighter.keyBindings.primary = defaultControls(player);
}

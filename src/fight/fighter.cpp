// The two fighter records.
#include "fight/fighter.h"

#include "data/fighter_class.h"

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

Stat effectiveStat(const Fighter& fighter) {
    Stat total;
    const Stat* base = fighter.fighterClass && fighter.fighterClass->stat
                           ? &*fighter.fighterClass->stat
                           : nullptr;
    const Stat* modifier =
        fighter.stance && fighter.stance->modificator ? &*fighter.stance->modificator : nullptr;
    int64_t hardBonus = fighter.botLevel == 3 ? 1 : 0;
    auto sum = [&](int64_t Stat::*field) {
        total.*field = (base ? base->*field : 0) + (modifier ? modifier->*field : 0) + hardBonus;
    };
    for (auto field : {&Stat::strength, &Stat::agility, &Stat::speed, &Stat::weight,
                       &Stat::endurence, &Stat::life, &Stat::cut, &Stat::pierce, &Stat::blunt,
                       &Stat::reach, &Stat::difficulty})
        sum(field);
    return total;
}

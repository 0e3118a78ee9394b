// Bot controllers and their step in the fight frame.
#include "fight/bot.h"

#include "fight/class_choice.h"
#include "fight/fighter.h"

std::unique_ptr<BotController> playerOneBot;
std::unique_ptr<BotController> playerTwoBot;

std::unique_ptr<BotController>& botOf(const Fighter& fighter) {
    return &fighter == &playerOne ? playerOneBot : playerTwoBot;
}

BotController& ensureBot(Fighter& fighter) {
    auto& bot = botOf(fighter);
    if (!bot) {
        bot = std::make_unique<BotController>();
        bot->fighter = &fighter;
    }
    return *bot;
}

void activateBot(Fighter& fighter, bool active) {
    BotController& bot = ensureBot(fighter);
    bot.active = active;
    // The level changes the fighter's statistics: its life follows.
    fighter.botLevel = active ? bot.level : 0;
    chooseStance(fighter, fighter.stanceIndex);
}

void runBotStep(Fighter& fighter, Fighter&, double, const Stage*) {
    auto& bot = botOf(fighter);
    if (fighter.botLevel == 0 || !bot || !bot->active) return;
    fighter.input = {};
    fighter.moveState.jumping = 0;
}

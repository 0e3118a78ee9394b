// The bot's place in the fight frame: a controller per player that, while active, fills the
// fighter's input counters instead of the keys.
#pragma once

#include <cstdint>
#include <memory>

struct Fighter;
struct Stage;

struct BotController {
    Fighter* fighter = nullptr;
    int64_t level = 2; // 1 Easy, 2 Medium, 3 Hard
    bool active = false;
};

extern std::unique_ptr<BotController> playerOneBot;
extern std::unique_ptr<BotController> playerTwoBot;

std::unique_ptr<BotController>& botOf(const Fighter& fighter);
BotController& ensureBot(Fighter& fighter); // created at level 2 when missing
void activateBot(Fighter& fighter, bool active);
// The bot step of the fight frame for one fighter.
void runBotStep(Fighter& fighter, Fighter& opponent, double timeFactor, const Stage* stage);

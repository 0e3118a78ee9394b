// The computer opponent: it drives a fighter through the same buffered input counters that a
// player's keys fill, so it obeys every rule a player does.
#pragma once

#include <cstdint>

struct FightState;
struct Animation;
struct Fighter;
struct Stage;

struct BotController {
    bool present = false;              // a player's controller exists once made (fight state)
    Fighter* fighter = nullptr;        // set again at every step: a copied state stays whole
    double thinkTimer = 0;             // ticks towards the next decision
    int64_t botState = 0;              // 0 off, 1 switched on, 2 running
    const Animation* plannedAttack = nullptr;
    int64_t botLevelSetting = 2;       // 1 Easy, 2 Medium, 3 Hard
    double retreatTicks = 0;           // the third class stepping out to its spear's length
};

// A player's controller in the fight state, null when it has none.
BotController* botOf(FightState& state, const Fighter& fighter);
const BotController* botOf(const FightState& state, const Fighter& fighter);
void removeBot(FightState& state, const Fighter& fighter);
// Creates the controller when missing (off, at the given level; the fighter's level follows).
BotController& ensureBot(FightState& state, Fighter& fighter, int64_t level = 2);
void switchBotOn(BotController& bot);
// A new match or round: no plan, no thinking or stepping carried over.
void restartThinking(BotController& bot);
void switchBotOff(BotController& bot);
bool botActive(const FightState& state, const Fighter& fighter);
// The bot step of the fight frame for one fighter: clear its input and let the bot think.
void runBotStep(FightState& state, Fighter& fighter, Fighter& opponent, double timeFactor, const Stage* stage);
void think(FightState& state, BotController& bot, Fighter* opponent, double timeFactor, int64_t leftLimit,
           int64_t rightLimit);

// Parts of the thinking, for tests.
int64_t scaledDistance(const Fighter& fighter, double distance); // by the class's reach
void planAttack(BotController& bot, int64_t kind);              // 1-6, 0 clears the plan
int64_t attackKind(const Animation* animation);                  // 1-6 by type, 0 for none
void holdPlannedInputs(BotController& bot);
void walkTowards(Fighter& fighter, double x);
void decide(FightState& state, BotController& bot, const Fighter& opponent);

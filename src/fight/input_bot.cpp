// The program at the keys.
#include "fight/input_bot.h"

#include "fight/fight_state.h"

void startInputBot(InputBot& bot, uint64_t seed) {
    bot = InputBot{};
    bot.generator.seed(seed);
}

Actions inputBotActions(InputBot& bot, const FightState& now, int64_t player) {
    if (--bot.heldFrames > 0) return bot.held;
    std::mt19937_64& g = bot.generator;
    bot.heldFrames = 3 + int64_t(g() % 12);
    const Fighter& self = now.players[size_t(player)];
    const Fighter& other = now.players[size_t(1 - player)];
    Actions a;
    bool otherOnTheRight = other.position.x > self.position.x;
    switch (g() % 5) {
    case 0:
        break; // stands
    case 1:
        (otherOnTheRight ? a.left : a.right) = true;
        break;
    default:
        (otherOnTheRight ? a.right : a.left) = true;
        break;
    }
    a.up = g() % 6 == 0;
    a.down = !a.up && g() % 6 == 0;
    a.neutral = g() % 3 == 0;
    a.heavy = g() % 7 == 0;
    a.jump = g() % 10 == 0;
    bot.held = a;
    return a;
}

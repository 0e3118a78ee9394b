// The bot: walking in, planning attacks and steering them through follow-ups into combos.
#include "fight/bot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "data/fighter_class.h"
#include "data/stage.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "runtime/numbers.h"

namespace {
Fighter& me(BotController& bot) { return *bot.fighter; }

double distanceBetween(const Fighter& a, const Fighter& b) {
    return std::hypot(double(a.position.x) - double(b.position.x),
                      double(a.position.y) - double(b.position.y));
}

// The level changes every statistic of a Hard bot: life is recomputed at full.
void refreshLife(Fighter& fighter) { chooseStance(fighter, fighter.stanceIndex); }

const Animation* currentSource(const Fighter& fighter) {
    return fighter.hasAnimation ? fighter.animationSource : nullptr;
}

// The existing follow-ups of an animation.
std::vector<const Animation*> followUpsOf(const Animation* animation) {
    std::vector<const Animation*> list;
    if (animation)
        for (const Animation* next : animation->followUps)
            if (next) list.push_back(next);
    return list;
}

void randomFollowUp(FightState& state, BotController& bot) {
    auto list = followUpsOf(currentSource(me(bot)));
    if (list.empty()) return;
    const Animation* chosen = list[size_t(randomInt(state.random, int64_t(list.size()) - 1))];
    // The same animation again ends the combo.
    bot.plannedAttack = chosen == bot.plannedAttack ? nullptr : chosen;
}

void chosenFollowUp(FightState& state, BotController& bot, const Fighter& opponent) {
    Fighter& m = me(bot);
    const Animation* current = currentSource(m);
    if (!current) return;
    const Animation* before = bot.plannedAttack;
    if (opponent.position.y < m.position.y - 200) {
        if (current->up) planAttack(bot, 4);
        else if (current->side && randomInt(state.random, 1) == 1) planAttack(bot, 2);
    } else if (distanceBetween(m, opponent) < double(scaledDistance(m, 125))) {
        if (current->back) planAttack(bot, 3);
        else if (current->down && randomInt(state.random, 1) == 1) planAttack(bot, 5);
        else if (current->neutral && randomInt(state.random, 1) == 1) planAttack(bot, 1);
    }
    if (bot.plannedAttack == before || !bot.plannedAttack) {
        bot.plannedAttack = before;
        randomFollowUp(state, bot);
    }
}

// How far an animation carries its fighter: frame movement plus velocity over each frame.
int64_t travelOf(const Animation* animation) {
    double total = 0;
    if (animation)
        for (const Frame& f : animation->frames)
            total += (f.movement ? f.movement->x : 0) +
                     (f.movementDelta ? f.movementDelta->x * double(f.length) : 0);
    return roundToInt(total);
}

void hardExtra(FightState& state, BotController& bot, const Fighter& opponent) {
    Fighter& m = me(bot);
    if (!opponent.attacking || bot.plannedAttack) return;
    std::vector<const Animation*> stunning;
    for (const Animation* next : followUpsOf(currentSource(m)))
        if (std::any_of(next->frames.begin(), next->frames.end(),
                        [](const Frame& f) { return f.stun != 0; }))
            stunning.push_back(next);
    if (!stunning.empty()) {
        planAttack(bot, attackKind(stunning[size_t(randomInt(state.random, int64_t(stunning.size()) - 1))]));
        return;
    }
    if (animationType(opponent) == 9 && m.fighterClass) {
        // The animation that carries the bot furthest out of the heavy attack's way.
        bool greater = true;
        int64_t bound = 200;
        const Animation* choice = nullptr;
        for (int slot = 0; slot < 6; ++slot) {
            const Animation* a = m.fighterClass->animationTable[size_t(slot)];
            if (m.side == 1) {
                greater = !greater;
                bound = -bound;
            }
            if (!a) continue;
            int64_t travel = travelOf(a);
            if (greater ? travel > bound : travel < bound) {
                choice = a;
                bound = travel;
            }
        }
        if (choice) {
            planAttack(bot, std::max<int64_t>(1, attackKind(choice)));
            return;
        }
    }
    Stat s = effectiveStat(m);
    if (s.speed > 2 && s.strength - s.weight > 1) {
        bot.plannedAttack = nullptr;
        m.input[kInputJump] = 1;
    }
}

// How far the stage reaches behind the fighter (px, either way): to the left limit for the
// left-hand fighter, to the right limit for the other.
double roomBehind(const Fighter& m, int64_t leftLimit, int64_t rightLimit) {
    return std::fabs(m.side == 1 ? double(m.position.x) - double(leftLimit)
                                 : double(rightLimit) - double(m.position.x));
}

void firstClassRule(FightState& state, BotController& bot, const Fighter& opponent, int64_t leftLimit,
                    int64_t rightLimit) {
    Fighter& m = me(bot);
    const FighterClass* c = m.fighterClass;
    if (bot.plannedAttack && bot.plannedAttack == c->down) bot.plannedAttack = nullptr;
    int64_t opponentType = animationType(opponent);
    if (opponent.attacking && opponentType != 7 && randomInt(state.random, 3) == 0 && !bot.plannedAttack)
        planAttack(bot, 5);
    double dist = distanceBetween(m, opponent);
    if (!bot.plannedAttack && opponentType != 4 && dist < 100) {
        bool fifthHeavy = opponent.fighterClass == classAt(4) && opponentType == 9;
        if (!fifthHeavy && randomInt(state.random, 2) != 0) planAttack(bot, 1);
    }
    if (!bot.plannedAttack && opponentType != 6 && dist < 200 &&
        roomBehind(m, leftLimit, rightLimit) >= 200) {
        const Animation* current = currentSource(m);
        if (current && current->back && randomInt(state.random, 1) == 1) planAttack(bot, 3);
    }
}

// Position distance (px, before the reach scale) inside which the third class's spear is too
// long to hit: its thrusts reach about 235 px ahead of its feet, and the feet stand 100 px
// further apart than the positions.
constexpr double kSpearLength = 135;
// How long it steps back at most when the opponent has come inside it (ticks).
constexpr double kSpearRetreatTicks = 10;

// The long-reach third class keeps its spear's length: it jumps the opponent's heavy attack,
// carries combos on with its thrusts, and steps back out when the opponent stands inside its
// spear.
void thirdClassRule(FightState& state, BotController& bot, const Fighter& opponent, int64_t leftLimit,
                    int64_t rightLimit) {
    Fighter& m = me(bot);
    if (animationType(opponent) == 9 && !m.attacking && m.onGround) {
        bot.plannedAttack = nullptr;
        m.input[kInputJump] = 1;
        return;
    }
    const Animation* current = currentSource(m);
    if (bot.plannedAttack && bot.plannedAttack == current) {
        if (current->side && randomInt(state.random, 1) == 1) planAttack(bot, 2);
        else if (current->neutral && randomInt(state.random, 1) == 1) planAttack(bot, 1);
        else randomFollowUp(state, bot);
        return;
    }
    // Only the first rules let it mind the stage behind it (replays recorded then); otherwise a
    // stage limit holds it as it holds any walk.
    bool room = state.setup.rules >= 2 || roomBehind(m, leftLimit, rightLimit) >= 200;
    if (!bot.plannedAttack && !m.attacking && room &&
        distanceBetween(m, opponent) < double(scaledDistance(m, kSpearLength)))
        bot.retreatTicks = kSpearRetreatTicks;
}

// While the third class steps back (no plan), it walks away from the opponent until its spear
// has room; true while it does, so that it decides nothing meanwhile.
bool stepBack(BotController& bot, const Fighter& opponent, double dist, double t) {
    if (bot.retreatTicks <= 0) return false;
    bot.retreatTicks = std::max(0.0, bot.retreatTicks - t);
    Fighter& m = me(bot);
    if (bot.plannedAttack || dist >= double(scaledDistance(m, kSpearLength))) {
        bot.retreatTicks = 0;
        return false;
    }
    walkTowards(m, m.side == 1 ? opponent.position.x - 1000 : opponent.position.x + 1000);
    return true;
}
} // namespace

BotController* botOf(FightState& state, const Fighter& fighter) {
    BotController& bot = state.bots[size_t(playerIndex(state, fighter))];
    return bot.present ? &bot : nullptr;
}

void removeBot(FightState& state, const Fighter& fighter) { state.bots[size_t(playerIndex(state, fighter))] = {}; }

BotController& ensureBot(FightState& state, Fighter& fighter, int64_t level) {
    BotController& bot = state.bots[size_t(playerIndex(state, fighter))];
    if (!bot.present) {
        bot = {};
        bot.present = true;
        bot.botLevelSetting = level;
        fighter.botLevel = level;
        refreshLife(fighter);
    }
    bot.fighter = &fighter;
    return bot;
}

void switchBotOn(BotController& bot) {
    bot.botState = 1;
    bot.fighter->botLevel = bot.botLevelSetting;
    refreshLife(*bot.fighter);
}

void restartThinking(BotController& bot) {
    bot.thinkTimer = 0;
    bot.plannedAttack = nullptr;
    bot.retreatTicks = 0;
}

void switchBotOff(BotController& bot) {
    bot.botState = 0;
    bot.fighter->botLevel = 0;
    refreshLife(*bot.fighter);
}

const BotController* botOf(const FightState& state, const Fighter& fighter) {
    const BotController& bot = state.bots[size_t(playerIndex(state, fighter))];
    return bot.present ? &bot : nullptr;
}

bool botActive(const FightState& state, const Fighter& fighter) {
    const BotController* bot = botOf(state, fighter);
    return bot && bot->botState != 0;
}

int64_t scaledDistance(const Fighter& fighter, double distance) {
    const FighterClass* c = fighter.fighterClass;
    double reach = c && c->stat ? double(c->stat->reach) : 2;
    return roundToInt(distance * ((reach - 2) / 10 + 1));
}

int64_t attackKind(const Animation* animation) {
    if (!animation) return 0;
    switch (animation->type) {
    case 4: return 1;
    case 5: return 2;
    case 6: return 3;
    case 7: return 4;
    case 8: return 5;
    case 9: return 6;
    default: return 0;
    }
}

void planAttack(BotController& bot, int64_t kind) {
    if (kind < 1 || kind > 6) {
        bot.plannedAttack = nullptr;
        return;
    }
    // Kinds follow the follow-up table's order; a class's attacks sit after its locomotion.
    if (!bot.plannedAttack) {
        const FighterClass* c = me(bot).fighterClass;
        bot.plannedAttack = c ? c->animationTable[size_t(kSlotNeutral + kind - 1)] : nullptr;
    } else {
        bot.plannedAttack = bot.plannedAttack->followUps[size_t(kind - 1)];
    }
}

void walkTowards(Fighter& fighter, double x) {
    if (fighter.cooldown != 0) return;
    fighter.input[kInputRight] = x > fighter.position.x ? 1 : 0;
    fighter.input[kInputLeft] = x < fighter.position.x ? 1 : 0;
    if (std::fabs(double(fighter.position.x) - x) < double(scaledDistance(fighter, 100)))
        fighter.input[kInputRight] = fighter.input[kInputLeft] = 0;
}

void holdPlannedInputs(BotController& bot) {
    if (!bot.plannedAttack) return;
    Fighter& m = me(bot);
    for (InputCounter c : {kInputUp, kInputDown, kInputLeft, kInputRight, kInputLight, kInputHeavy})
        m.input[size_t(c)] = 0;
    InputCounter facingWay = m.facing == 1 ? kInputRight : kInputLeft;
    InputCounter awayWay = m.facing == 1 ? kInputLeft : kInputRight;
    switch (attackKind(bot.plannedAttack)) {
    case 1: m.input[kInputLight] = 2; break;
    case 2: m.input[kInputLight] = m.input[facingWay] = 2; break;
    case 3: m.input[kInputLight] = m.input[awayWay] = 2; break;
    case 4: m.input[kInputLight] = m.input[kInputUp] = 2; break;
    case 5: m.input[kInputLight] = m.input[kInputDown] = 2; break;
    case 6: m.input[kInputHeavy] = 2; break;
    default: break;
    }
}

void decide(FightState& state, BotController& bot, const Fighter& opponent) {
    Fighter& m = me(bot);
    const Animation* current = currentSource(m);
    if (!m.attacking) bot.plannedAttack = nullptr;
    if (bot.plannedAttack && bot.plannedAttack != current) {
        auto reachable = followUpsOf(current);
        if (std::find(reachable.begin(), reachable.end(), bot.plannedAttack) == reachable.end())
            bot.plannedAttack = nullptr;
    }
    int64_t level = std::max<int64_t>(1, bot.botLevelSetting);
    if (!bot.plannedAttack) {
        if (randomInt(state.random, 30) / level != 0) return;
        if (level == 3 && animationType(opponent) == 1 && randomInt(state.random, 3) == 0) planAttack(bot, 6);
        if (level >= 2) {
            if (opponent.position.y < m.position.y - 200) planAttack(bot, 4);
            if (std::fabs(double(opponent.position.x) - double(m.position.x)) <
                double(scaledDistance(m, 125)))
                planAttack(bot, randomInt(state.random, 1) == 1 ? 5 : 3);
        }
        if (!bot.plannedAttack && m.fighterClass) {
            std::vector<int64_t> kinds;
            for (int64_t kind = 1; kind <= 6; ++kind)
                if (m.fighterClass->animationTable[size_t(kSlotNeutral + kind - 1)])
                    kinds.push_back(kind);
            if (!kinds.empty()) planAttack(bot, kinds[size_t(randomInt(state.random, int64_t(kinds.size()) - 1))]);
        }
        return;
    }
    if (bot.plannedAttack != current) return;
    if (level == 2 && randomInt(state.random, 1) == 1) randomFollowUp(state, bot);
    if (level == 3) chosenFollowUp(state, bot, opponent);
}

void think(FightState& state, BotController& bot, Fighter* opponent, double t, int64_t leftLimit, int64_t rightLimit) {
    if (!opponent || opponent->life <= 0) bot.botState = 0;
    if (bot.botState == 0) return;
    if (bot.botState == 1) bot.botState = 2;
    Fighter& m = me(bot);
    if (animationType(m) == 11) return;
    double extra = bot.plannedAttack ? 200 : 0;
    double dist = double(roundToInt(distanceBetween(m, *opponent)));
    const FighterClass* c = m.fighterClass;
    int64_t reach = c && c->stat ? c->stat->reach : 0;
    if (dist < double(scaledDistance(m, extra + 300))) {
        if (stepBack(bot, *opponent, dist, t)) return;
        if (dist < double(scaledDistance(m, 100)) && !bot.plannedAttack && reach > 1) {
            double away = double(scaledDistance(m, extra + 200));
            walkTowards(m, m.side == 1 ? opponent->position.x - away : opponent->position.x + away);
            return;
        }
        bot.thinkTimer += t;
        if (!m.hitList.empty()) bot.thinkTimer += 2 * t;
        if (bot.thinkTimer > 1.0) {
            decide(state, bot, *opponent);
            if (bot.botLevelSetting == 3 && randomInt(state.random, 10) == 0) {
                hardExtra(state, bot, *opponent);
                if (c == classAt(0)) firstClassRule(state, bot, *opponent, leftLimit, rightLimit);
                if (c == classAt(2)) thirdClassRule(state, bot, *opponent, leftLimit, rightLimit);
            }
            bot.thinkTimer -= 1.0;
        }
        holdPlannedInputs(bot);
        return;
    }
    walkTowards(m, opponent->position.x);
    bot.plannedAttack = nullptr;
    if (bot.botLevelSetting == 3) bot.thinkTimer += 2 * t;
}

void runBotStep(FightState& state, Fighter& fighter, Fighter& opponent, double timeFactor, const Stage* stage) {
    const BotController* bot = botOf(state, fighter);
    if (fighter.botLevel == 0 || (bot && bot->botState == 0)) return;
    fighter.input = {};
    fighter.moveState.jumping = 0;
    BotController& controller = ensureBot(state, fighter);
    think(state, controller, &opponent, timeFactor, stage ? stage->leftLimit : 0,
          stage ? stage->rightLimit : 0);
}

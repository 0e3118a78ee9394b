// The two fighter records and their reset.
#include "fight/fighter.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "fight/fighter_update.h"


void createFighter(Fighter& fighter, int64_t color, int64_t player) {
    fighter = Fighter{};
    // The player's number: it tells the two apart in hit lists, and is the same in every run,
    // so that a fight's hash is too.
    fighter.id = player;
    fighter.color = color;
    fighter.lifeBar.orientation = player == 1 ? 0 : 1;
}

namespace {
Stat summedStat(const FighterClass* fighterClass, const Stance* stance, int64_t bonus) {
    Stat total;
    const Stat* base = fighterClass && fighterClass->stat ? &*fighterClass->stat : nullptr;
    const Stat* modifier = stance && stance->modificator ? &*stance->modificator : nullptr;
    for (auto field : {&Stat::strength, &Stat::agility, &Stat::speed, &Stat::weight,
                       &Stat::endurence, &Stat::life, &Stat::cut, &Stat::pierce, &Stat::blunt,
                       &Stat::reach, &Stat::difficulty})
        total.*field = (base ? base->*field : 0) + (modifier ? modifier->*field : 0) + bonus;
    return total;
}
} // namespace

Stat effectiveStat(const Fighter& fighter) {
    return summedStat(fighter.fighterClass, fighter.stance, fighter.botLevel == 3 ? 1 : 0);
}

Stat classStanceStat(const FighterClass& fighterClass, const Stance* stance) {
    return summedStat(&fighterClass, stance, 0);
}

int64_t maxLifeOf(const Fighter& fighter) {
    // At least one point: a very low life statistic must not start a fighter knocked out.
    // A huge one saturates instead of overflowing.
    int64_t life = std::clamp<int64_t>(effectiveStat(fighter).life, INT64_MIN / 15,
                                       (INT64_MAX - 200) / 15);
    return std::max<int64_t>(1, 15 * life + 200);
}

int64_t animationType(const Fighter& fighter) {
    return fighter.hasAnimation ? fighter.currentAnimation.type : 0;
}

const Frame* currentFrame(const Fighter& fighter) {
    const auto& frames = fighter.currentAnimation.frames;
    if (!fighter.hasAnimation || frames.empty()) return nullptr;
    int64_t index = std::clamp<int64_t>(fighter.currentAnimation.frameIndex, 0,
                                        int64_t(frames.size()) - 1);
    return &frames[size_t(index)];
}

bool isAlive(const Fighter& fighter) { return fighter.life > 0; }

void resetLifeGauge(Fighter& fighter) {
    LifeGauge& g = fighter.lifeBar;
    updateLifeGaugeTargets(fighter);
    g.mainShown = double(g.mainTarget);
    g.extraShown = g.extraTarget;
    g.shaking = false;
    g.shake = {};
    g.flash = 0;
}

void resetFighter(const FightState& state, Fighter& fighter, float x) {
    // Nothing of the last match is left behind but the animation's unspent fraction of a tick
    // (tickAccumulator), which times the new match's first frames as it always has and which a
    // replay therefore keeps: a match is a function of its set-up, that fraction and the random
    // generator's state, so that its replay plays in any run.
    fighter.animationStarts = 0;
    fighter.frameTime = 0;
    fighter.screenPosition = {};
    fighter.gravityThisUpdate = 0;
    fighter.onGround = 0;
    fighter.windEmitted = 0;
    fighter.movementApplied = 0;
    fighter.comboFacing = {};
    fighter.comboJitter = {};
    fighter.tremble = {};
    fighter.shownFrame = nullptr;
    fighter.position = {x, 775};
    fighter.previousPosition = fighter.position;
    fighter.moveVelocity = fighter.velocity = fighter.pushVelocity = {};
    fighter.stunFrames = 0;
    fighter.caught = 0;
    fighter.hurtAnimIndex = -1;
    fighter.hitStopFrameIndex = -1;
    fighter.cooldown = 0;
    fighter.attacking = 0;
    fighter.hitList.clear();
    fighter.hitLanded = 0;
    setAnimation(state, fighter, fighter.fighterClass ? fighter.fighterClass->spawn : nullptr);
    fighter.maxLife = maxLifeOf(fighter);
    fighter.life = fighter.maxLife;
    fighter.regenCount = 0;
    fighter.regenTimer = 0;
    fighter.damageFlash = 0;
    resetLifeGauge(fighter);
    fighter.comboTouched = {};
    fighter.comboStance = {};
    fighter.comboShake = {};
    fighter.comboFlash = {};
    fighter.comboEndBonus = {};
    fighter.comboMultiplier = {1, 1, 1, 1, 1};
    fighter.comboStep = 0;
    fighter.input = {};
    fighter.moveState = {};
    fighter.falling = 0;
    fighter.stats = {};
}

Vec2 framePicturePlace(const std::optional<Vec2>& shift, Vec2 at, int64_t facing) {
    double shiftX = shift ? shift->x : 0, shiftY = shift ? shift->y : 0;
    double x = facing == 1 ? at.x + shiftX / 1000.0 : at.x + std::fmod(shiftX, 1000.0);
    return {float(x), float(at.y + shiftY)};
}

int64_t fighterColour(const Fighter& fighter) {
    int64_t colour = fighter.color;
    if (fighter.stance && fighter.stance->specialColor != 0)
        colour = fighter.useAlternateColor ? fighter.stance->alternateColor
                                           : fighter.stance->specialColor;
    return colour;
}

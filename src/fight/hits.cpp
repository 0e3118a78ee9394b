// Hit resolution and damage.
#include "fight/hits.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "data/sound_library.h"
#include "data/sound_pools.h"
#include "fight/fight_events.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "fight/hit_masks.h"
#include "runtime/numbers.h"

namespace {
// The formulas hold for statistics between -20 and 20; data outside is held inside so that no
// divisor reaches zero and no factor changes sign.
int64_t held(int64_t stat) { return std::clamp<int64_t>(stat, -19, 19); }
int64_t heldEndurance(int64_t endurance) { return std::clamp<int64_t>(endurance, -9, 19); }

bool listed(const Fighter& attacker, const Fighter& defender) {
    return std::find(attacker.hitList.begin(), attacker.hitList.end(), defender.id) !=
           attacker.hitList.end();
}

// A push vector scaled by the attacker's strength and the defender's weight and endurance.
Vec2 scaledPush(Vec2 push, const Fighter& attacker, const Fighter& defender, double timeFactor) {
    Stat a = effectiveStat(attacker), d = effectiveStat(defender);
    double x = push.x * timeFactor, y = push.y * timeFactor;
    if (attacker.facing == 1) x = -x;
    double factor = (double(held(a.strength)) + 20) / 20 * (20 - double(held(d.weight))) / 20 *
                    (20 - double(held(d.endurence))) / 20;
    return {float(x * factor), float(y * factor)};
}
} // namespace

bool maskTouches(const Fighter& attacker, const Fighter& defender) {
    const Frame* frame = currentFrame(attacker);
    if (!frame || !frame->hurtShift) return false;
    const HitMask* mask = frameHitMask(attacker.currentAnimation,
                                       int64_t(frame - attacker.currentAnimation.frames.data()),
                                       attacker.facing);
    if (!mask) return false;
    double shiftX = frame->hurtShift->x;
    double offsetX = attacker.facing == 1 ? shiftX / 1000.0 : std::fmod(shiftX, 1000.0);
    int64_t maskX = roundToInt(attacker.position.x + float(roundToInt(offsetX)));
    int64_t maskY = roundToInt(attacker.position.y + float(roundToInt(frame->hurtShift->y)));
    // The body is tested where and as it is shown: by its frame's shift, mirrored facing right.
    const Frame* shown = defender.shownFrame;
    const HitMask* body = shown ? frameBodyMask(*shown, defender.facing) : nullptr;
    if (!body) return false;
    Vec2 place = framePicturePlace(shown->shift, {defender.position.x, defender.position.y},
                                   defender.facing);
    return masksTouch(*mask, maskX, maskY, *body, roundToInt(place.x), roundToInt(place.y));
}

bool touches(const Fighter& attacker, const Fighter& defender) {
    return isAlive(attacker) && isAlive(defender) && attacker.stunFrames <= 0 &&
           maskTouches(attacker, defender);
}

void markTouch(FightState& state, Fighter& attacker, Fighter& defender) {
    attacker.hitList.push_back(defender.id);
    attacker.hitLanded = 1;
    size_t k = size_t(std::clamp<int64_t>(attacker.comboStep - 1, 0, kComboSteps - 1));
    if (attacker.comboTouched[k] == 0) {
        attacker.comboTouched[k] = 1.0;
        attacker.comboMultiplier[k] = 1.0;
        attacker.comboFlash[k] = 1.0;
        if (attacker.currentAnimation.comboEnd != 0) attacker.comboEndBonus[k] = 1.0;
        attacker.stats.maxCombo = std::max(attacker.stats.maxCombo, attacker.comboStep);
        if (state.setup.comboDisplay != 3) {
            int64_t x = roundToInt(attacker.screenPosition.x + (attacker.facing == 1 ? 450 : 550));
            queuePoolSound(state, kPoolComboStep, x, 0, 0.4 + 0.21 * double(k), 0.1 + 0.1 * double(k));
        }
    }
}

bool touchTest(FightState& state, Fighter& attacker, Fighter& defender) {
    if (!touches(attacker, defender)) return false;
    markTouch(state, attacker, defender);
    return true;
}

bool canDamage(FightState& state, Fighter& attacker, Fighter& defender) {
    if (attacker.id == defender.id || !attacker.attacking || listed(attacker, defender)) return false;
    if (attacker.stunFrames != 0) return false;
    const Frame* frame = currentFrame(attacker);
    if (!frame || frame->damage == 0) return false;
    return touchTest(state, attacker, defender);
}

int64_t attackerDamage(const Frame& frame, const Stat& a) {
    int64_t base = frame.damage;
    if (frame.pureProjectileDamage) return base;
    int64_t bonus = 0;
    switch (frame.damageType) {
    case 1: bonus = 2 * (held(a.cut) + held(a.speed)) + held(a.strength); break;
    case 2: bonus = 2 * (held(a.pierce) + held(a.agility)) + held(a.strength); break;
    case 3: bonus = 2 * (held(a.blunt) + held(a.strength)) + held(a.weight); break;
    default: bonus = 0;
    }
    return base * (bonus + 100) / 100;
}

int64_t stunCooldown(int64_t frameStun, double defenderCooldown, const Stat& a, const Stat& d) {
    int64_t s = roundToInt(defenderCooldown / 2 + double(frameStun));
    return s * (held(a.weight) + held(a.strength) + 10) / (heldEndurance(d.endurence) + 10);
}

int64_t computeDamage(FightState& state, const Fighter& attacker, const Fighter& defender) {
    const Frame* frame = currentFrame(attacker);
    if (!attacker.currentAnimation.attack || !frame || frame->damage == 0) return 0;
    int64_t base = attackerDamage(*frame, effectiveStat(attacker));
    int64_t endurance = held(effectiveStat(defender).endurence);
    if (endurance == 0) return base;
    int64_t result = base * 20 / (endurance + 20);
    if (result == 0) return randomInt(state.random, endurance) == endurance ? 1 : 0;
    return result;
}

void queueMaterialSound(FightState& state, int64_t material, int64_t damageType, int64_t damage, int64_t x) {
    if (material < 0 || material >= int64_t(soundMaterials.size())) return;
    const SoundMaterial& m = soundMaterials[size_t(material)];
    int64_t soundClass = damageType == 1 ? m.cut : damageType == 2 ? m.pierce : m.blunt;
    if (soundClass <= 0 || soundClass >= int64_t(soundClasses.size())) return;
    const SoundClass& c = soundClasses[size_t(soundClass)];
    int64_t pool = damage < c.lightThreshold    ? c.blocked
                   : damage < c.mediumThreshold ? c.light
                   : damage < c.heavyThreshold  ? c.medium
                                                : c.heavy;
    queuePoolSound(state, pool, x, 1, 1.0, 1.0);
}

void sprayBlood(FightState& state, const Fighter& attacker, const Fighter& defender, int64_t damage) {
    if (!state.setup.particles) return; // a touch that did no damage still sprays one drop
    double dx = double(defender.position.x) - double(attacker.position.x);
    double dy = double(defender.position.y) - double(attacker.position.y);
    double angle = dx != 0 ? std::atan(dy / dx) : (dy >= 0 ? M_PI / 2 : -M_PI / 2);
    double n = std::sqrt(2.0 * double(damage));
    int64_t count = roundToInt(2 * n) + 1;
    bool leftHand = defender.side == 1;
    double x = defender.position.x + 68 + (leftHand ? 350 : 450);
    double y = defender.position.y + 461;
    double vx = double(damage) * std::cos(angle) * 2, vy = double(damage) * std::sin(angle) * 2;
    if (leftHand) vx = -vx;
    for (int64_t i = 0; i < count; ++i) {
        double px = double(roundToInt(x + double(randomInt(state.random, 100)) - 50));
        double py = double(roundToInt(y + double(randomInt(state.random, 100)) - 50));
        double r1 = double(randomRange(state.random, 110, 90)), r2 = double(randomRange(state.random, 110, 90));
        state.events.blood.push_back({px, py, vx * r1 / 100, vy * r2 / 100, n});
    }
}

namespace {
// What a damaging touch does, by the attacker's frame: the hit sound, life, blood, the
// knock-out, shake, the combo display, stun, hit-stop and the once-per-hit pushes.
// `touchedBefore`: the attack had already touched before this step; `attackerAt`: where the
// attacker stood when the hit was found.
void landDamage(FightState& state, Fighter& a, Fighter& d, const Frame& frame, int64_t damage, bool touchedBefore,
                Vec2 attackerAt) {
    // The struck material: the defender's stance material named by its own frame.
    int64_t side = d.shownFrame ? d.shownFrame->damageSide : 0;
    int64_t material = d.stance && side >= 0 && side < int64_t(d.stance->material.size())
                           ? d.stance->material[size_t(side)]
                           : -1;
    queueMaterialSound(state, material, frame.damageType, damage,
                      roundToInt(d.screenPosition.x + (d.side == 1 ? 450 : 550)));
    d.damageFlash += damage == 0 ? 2 : 2 * damage;
    d.life -= damage;
    a.stats.hits += 1;
    a.stats.damage += damage;
    sprayBlood(state, a, d, damage);
    if (d.life <= 0) {
        int64_t pool = frame.damageType == 3 ? kPoolKnockOutBlunt : kPoolKnockOutOther;
        queuePoolSound(state, pool, roundToInt(d.position.x), 1, 1.0, 1.0);
        state.screenShake.x += 50;
        state.screenShake.y += 50;
    }
    state.screenShake.x += float(damage);
    state.screenShake.y += float(damage);
    size_t j = size_t(std::clamp<int64_t>(a.comboStep - 1, 0, kComboSteps - 1));
    if (!touchedBefore) {
        a.comboShake[j] = 20.0;
        a.comboMultiplier[j] = 1.5;
    } else {
        a.comboShake[j] += 4.0;
        a.comboMultiplier[j] += 0.1;
    }
    if (frame.stun != 0) {
        d.cooldown = double(stunCooldown(frame.stun, d.cooldown, effectiveStat(a), effectiveStat(d)));
        const FighterClass* c = d.fighterClass;
        if (d.hurtAnimIndex == -1 && c && !c->hit.empty()) {
            setIdle(state, d);
            d.hurtAnimIndex = randomInt(state.random, int64_t(c->hit.size()) - 1);
        }
    }
    int64_t delay = state.setup.attackDelay;
    if (delay == 2 || delay == 3) {
        state.freezeTimer += delay == 2 ? 10.0f : float(double(damage) * 0.5);
        state.screenShake.x += float(2 * damage);
        state.screenShake.y += float(2 * damage);
    }
    if (frame.pushInstant) {
        // An impulse given once per hit: not scaled by the frame's length, which would
        // make knockback shorter the higher the frame rate.
        Vec2 p = scaledPush(*frame.pushInstant, a, d, 1.0);
        d.pushVelocity.x += p.x;
        d.pushVelocity.y += p.y;
    }
    if (frame.moveTargetTo) {
        d.position = {attackerAt.x + frame.moveTargetTo->x, attackerAt.y + frame.moveTargetTo->y};
        d.velocity = d.moveVelocity = d.pushVelocity = {};
    }
}

// What a touching frame does on every frame it touches: its pushes, by the ticks the frame has
// run for in the attacker's last update, so that a frame of n ticks pushes n times as far at
// every frame rate (the frame's length in ticks, which the first rules took, gives a frame
// more or less than its ticks wherever its whole frames do not make up its length).
void landPushes(FightState& state, const Fighter& a, Fighter& d, const Frame& frame, double timeFactor) {
    double ticks = state.setup.rules >= 2 ? double(a.ticksThisUpdate) : timeFactor;
    if (frame.pushPowerDelta) {
        Vec2 p = scaledPush(*frame.pushPowerDelta, a, d, ticks);
        d.pushVelocity.x += p.x;
        d.pushVelocity.y += p.y;
    }
    if (frame.pushPower) {
        float x = frame.pushPower->x * float(ticks), y = frame.pushPower->y * float(ticks);
        d.position.x += a.facing == 1 ? -x : x;
        d.position.y += y;
    }
}

// One attack of the frame as found before any hit of the frame applies.
struct FoundHit {
    bool touches = false;
    bool damages = false;
    bool touchedBefore = false;
    int64_t damage = 0;
    Frame frame;     // the attacker's frame, kept: a hit taken meanwhile may change its animation
    Vec2 attackerAt; // the attacker's position
};

FoundHit findHit(FightState& state, Fighter& a, Fighter& d) {
    FoundHit found;
    found.touchedBefore = a.hitLanded != 0;
    found.touches = touches(a, d);
    if (!found.touches) return found;
    const Frame* frame = currentFrame(a);
    found.frame = *frame;
    found.attackerAt = a.position;
    found.damages = a.attacking && !listed(a, d) && a.stunFrames == 0 && frame->damage != 0;
    if (found.damages) found.damage = computeDamage(state, a, d);
    return found;
}
} // namespace

void resolveAttack(FightState& state, Fighter* attackerPointer, Fighter* defenderPointer, double timeFactor) {
    if (!attackerPointer || !defenderPointer || attackerPointer == defenderPointer) return;
    Fighter& a = *attackerPointer;
    Fighter& d = *defenderPointer;
    bool touchedBefore = a.hitLanded != 0;
    if (canDamage(state, a, d)) landDamage(state, a, d, *currentFrame(a), computeDamage(state, a, d), touchedBefore, a.position);
    if (touchTest(state, a, d)) landPushes(state, a, d, *currentFrame(a), timeFactor);
}

void resolveTrade(FightState& state, Fighter& one, Fighter& two, double timeFactor) {
    FoundHit hits[2] = {findHit(state, one, two), findHit(state, two, one)};
    Fighter* attackers[2] = {&one, &two};
    Fighter* defenders[2] = {&two, &one};
    for (int i = 0; i < 2; ++i)
        if (hits[i].touches) markTouch(state, *attackers[i], *defenders[i]);
    for (int i = 0; i < 2; ++i)
        if (hits[i].damages)
            landDamage(state, *attackers[i], *defenders[i], hits[i].frame, hits[i].damage,
                       hits[i].touchedBefore, hits[i].attackerAt);
    for (int i = 0; i < 2; ++i)
        if (hits[i].touches) landPushes(state, *attackers[i], *defenders[i], hits[i].frame, timeFactor);
}

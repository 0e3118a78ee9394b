// Walking, jumping, gravity, landing, friction and integration, frame movement, stage limits
// and facing. Speeds are pixels per tick; f scales every per-frame change.
#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/sound_library.h"
#include "data/sound_pools.h"
#include "data/stage.h"
#include "fight/fight_events.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "runtime/numbers.h"

namespace {
const FighterClass* classOf(const Fighter& f) { return f.fighterClass; }

float groundY(const FightState& state) { return float(groundLine(state)); }

int64_t weightOf(const Fighter& f) { return effectiveStat(f).weight; }

// Idle, walking and landing keep turning towards the opponent; other animations keep facing.
bool turnsToOpponent(int64_t type) { return type == 1 || type == 2 || type == 3 || type == 13; }

void landingShake(FightState& state, const Fighter& fighter) {
    spawnLandingEffects(state, fighter);
    state.screenShake.y += float(2 * weightOf(fighter) + 10);
}

// Displacement of a velocity damped by base per tick, over a frame of f ticks, as a number
// of "ticks at the start velocity": exactly f at 50 frames per second, and at any other rate
// the same total distance as at 50 (a plain v x f would carry a fast frame rate further).
double dampedStep(double base, double f) {
    double d = std::pow(base, f);
    return (1.0 - d) / d * (base / (1.0 - base));
}
} // namespace

// Slow, heavy fighters still walk and jump a little: a walk speed or jump impulse at or
// below zero would leave them stuck, or walking and jumping the wrong way.
constexpr int64_t kMinWalkSpeed = 3;    // pixels per tick, a tenth of the usual
constexpr int64_t kMinJumpImpulse = 10; // pixels per tick
constexpr double kMinGravity = 0.5;     // pixels per tick per tick: every jump comes down

int64_t walkSpeed(const Fighter& fighter) {
    Stat s = effectiveStat(fighter);
    int64_t speed = 3 * s.speed - std::max<int64_t>(s.weight - s.strength, 0) + 15;
    return std::max(kMinWalkSpeed, speed);
}

int64_t jumpImpulse(const Fighter& fighter) {
    Stat s = effectiveStat(fighter);
    return std::max(kMinJumpImpulse, 2 * s.speed + 2 * s.weight + 40);
}

void walk(FightState& state, Fighter& fighter, double f, bool canCancel) {
    const auto& in = fighter.input;
    if (!(fighter.attacking == 0 || canCancel) || in[kInputLight] > 0 || in[kInputHeavy] > 0)
        return;
    const FighterClass* c = classOf(fighter);
    const Animation* front = c ? c->moveFront : nullptr;
    const Animation* back = c ? c->moveBack : nullptr;
    bool left = in[kInputLeft] > 0, right = in[kInputRight] > 0;
    float speed = float(walkSpeed(fighter));
    if (left && !right) {
        fighter.moveState.walking = 1;
        if (!fighter.moveState.walkStarted) {
            fighter.moveState.walkStarted = 1;
            if (fighter.facing == 0) switchTo(state, fighter, front, 2);
            else switchTo(state, fighter, back, 3);
        }
        fighter.velocity.x -= speed * float(f);
    } else if (right && !left) {
        fighter.moveState.walking = 1;
        if (!fighter.moveState.walkStarted) {
            fighter.moveState.walkStarted = 1;
            if (fighter.facing == 0) switchTo(state, fighter, back, 3);
            else switchTo(state, fighter, front, 2);
        }
        fighter.velocity.x += speed * float(f);
    } else if (left && right && canCancel) {
        goIdle(state, fighter);
    }
    if (!fighter.moveState.walking && !fighter.attacking && !canCancel) {
        fighter.moveState.walkStarted = 0;
        goIdle(state, fighter);
        fighter.velocity.x = 0;
    }
    // The walk animation follows the direction of motion, never cutting a jump or landing.
    bool forwardWhenPositive = fighter.facing == 1;
    if (fighter.velocity.x > 0) {
        if (forwardWhenPositive) switchTo(state, fighter, front, 2);
        else switchTo(state, fighter, back, 3);
    } else if (fighter.velocity.x < 0) {
        if (forwardWhenPositive) switchTo(state, fighter, back, 3);
        else switchTo(state, fighter, front, 2);
    } else if (!canCancel) {
        goIdle(state, fighter);
    }
    if (!canCancel) fighter.hitList.clear();
}

void jumpStart(FightState& state, Fighter& fighter, bool canCancel) {
    if (!isAlive(fighter) || fighter.input[kInputJump] <= 0 || fighter.cooldown > 0 ||
        fighter.hurtAnimIndex != -1 || fighter.caught || !(fighter.attacking == 0 || canCancel) ||
        fighter.moveState.jumping || !fighter.onGround || fighter.position.y > groundY(state))
        return;
    fighter.velocity.y = -float(jumpImpulse(fighter));
    fighter.falling = 1;
    fighter.moveState.jumping = 1;
    const FighterClass* c = classOf(fighter);
    if (c && c->jump) setAnimation(state, fighter, c->jump);
    int64_t weight = weightOf(fighter);
    int64_t x = roundToInt(fighter.screenPosition.x) + 550;
    if (weight < 4) queuePoolSound(state, kPoolJumpLight, x, 1, 1.0, double(10 * weight + 70) / 100.0);
    else queuePoolSound(state, kPoolJumpHeavy, x, 1, 1.0, double(10 * weight + 40) / 100.0);
}

void land(FightState& state, Fighter& fighter) {
    const Frame* frame = currentFrame(fighter);
    bool moving = fighter.moveState.jumping || fighter.movementApplied || (frame && frame->movement);
    if (!moving || fighter.caught) return;
    const FighterClass* c = classOf(fighter);
    if (fighter.position.y > groundY(state)) {
        fighter.moveState.jumping = 0;
        fighter.position.y = groundY(state);
        fighter.falling = 0;
        fighter.onGround = 1;
        fighter.pushVelocity.y = 0;
        // A knocked-out fighter lands in its death animation.
        bool alive = isAlive(fighter);
        if (std::fabs(fighter.velocity.y) >= 8) {
            landingShake(state, fighter);
            if (!fighter.attacking && alive) {
                if (c && c->land) {
                    if (animationType(fighter) != 13) setAnimation(state, fighter, c->land);
                } else if (animationType(fighter) != 1) {
                    setIdle(state, fighter);
                }
            }
        } else if (animationType(fighter) != 1 && alive) {
            setIdle(state, fighter);
        }
        fighter.velocity.y = 0;
    } else if (fighter.position.y != groundY(state) && !fighter.moveState.jumping) {
        fighter.falling = 1;
        fighter.onGround = 0;
    }
}

void applyGravity(FightState& state, Fighter& fighter, double f) {
    if (!fighter.falling || fighter.caught) return;
    const FighterClass* c = classOf(fighter);
    double perTick = std::max(kMinGravity, 2.0 + double(weightOf(fighter)) / 2.0);
    fighter.gravityThisUpdate = float(perTick);
    fighter.velocity.y += float(perTick * f);
    if (fighter.position.y > groundY(state)) {
        fighter.falling = 0;
        fighter.position.y = groundY(state);
        fighter.moveState.jumping = 0;
        if (std::fabs(fighter.velocity.y) <= 8) {
            // A knocked-out fighter lands in its death animation.
            if (isAlive(fighter))
                setAnimation(state, fighter, c && c->land && !fighter.attacking ? c->land : nullptr);
        } else {
            landingShake(state, fighter);
        }
        fighter.velocity.y = 0;
        fighter.onGround = 1;
        fighter.pushVelocity.y = 0;
        fighter.gravityThisUpdate = 0;
        return;
    }
    fighter.onGround = 0;
    if (c && c->jump && !fighter.attacking && fighter.position.y < groundY(state) - 200 &&
        fighter.hurtAnimIndex == -1 && isAlive(fighter)) {
        if (animationType(fighter) != 12) setAnimation(state, fighter, c->jump);
        // The jump frames follow the vertical speed, from rising fast to falling fast.
        int64_t impulse = jumpImpulse(fighter), v = roundToInt(fighter.velocity.y);
        int64_t last = std::max<int64_t>(0, int64_t(c->jump->frames.size()) - 1);
        int64_t ownLast = std::max<int64_t>(0, int64_t(fighter.currentAnimation.frames.size()) - 1);
        int64_t index = last;
        if (v < impulse && impulse > 0)
            index = std::min({((last + 1) * (v + impulse)) / (2 * impulse), last, ownLast});
        fighter.currentAnimation.frameIndex = std::max<int64_t>(0, index);
    }
}

void integrate(Fighter& fighter, double f, double p) {
    fighter.velocity.x *= float(std::pow(0.5, p));
    fighter.pushVelocity.x *= float(std::pow(0.5, p));
    fighter.pushVelocity.y *= float(std::pow(0.9, p));
    // Gravity added this update moves the fighter as it would at 50 frames per second, so that
    // jumps reach the same height at every frame rate.
    double gravityCorrection = double(fighter.gravityThisUpdate) * (1.0 - f) / 2.0;
    fighter.position.x += float(double(fighter.velocity.x) * dampedStep(0.5, f));
    fighter.position.y += float((double(fighter.velocity.y) + gravityCorrection) * f);
    fighter.position.x += float(double(fighter.moveVelocity.x) * f);
    fighter.position.y += float(double(fighter.moveVelocity.y) * f);
    fighter.position.x += float(double(fighter.pushVelocity.x) * dampedStep(0.5, f));
    fighter.position.y += float(double(fighter.pushVelocity.y) * dampedStep(0.9, f));
}

void groundContact(FightState& state, Fighter& fighter) {
    if (fighter.position.y < groundY(state)) {
        fighter.onGround = 0;
        return;
    }
    fighter.moveState.jumping = 0;
    fighter.falling = 0;
    fighter.pushVelocity.y = 0;
    int64_t type = animationType(fighter);
    if (!fighter.attacking && type != 11 && type != 10 && isAlive(fighter) &&
        (fighter.position.y > groundY(state) || !fighter.onGround)) {
        fighter.moveVelocity = {};
        const FighterClass* c = classOf(fighter);
        if (std::fabs(fighter.velocity.y) >= 30) {
            landingShake(state, fighter);
            int64_t weight = weightOf(fighter);
            int64_t x = roundToInt(fighter.screenPosition.x) + 550;
            if (weight < 4) queuePoolSound(state, kPoolLandLight, x, 1, 1.0, double(10 * weight + 70) / 100.0);
            else queuePoolSound(state, kPoolLandHeavy, x, 1, 1.0, double(10 * weight + 40) / 100.0);
            setAnimation(state, fighter, c ? c->land : nullptr);
        } else {
            setIdle(state, fighter);
        }
    }
    fighter.velocity.y = 0;
    fighter.onGround = 1;
    fighter.position.y = groundY(state);
}

void spawnLandingEffects(FightState& state, const Fighter& fighter) {
    bool heavy = weightOf(fighter) >= 4;
    auto spawn = [&](const std::vector<Animation*>& list, int64_t variant) {
        if (list.empty()) return;
        const Animation* dust = list[size_t(randomInt(state.random, int64_t(list.size()) - 1))];
        state.events.effects.push_back({dust, fighter.position, fighter.facing, 0, 255, 0, variant});
    };
    spawn(heavy ? landHeavyFront : landLightFront, 0);
    spawn(heavy ? landHeavyBack : landLightBack, 1);
}

void applyFrameMovement(Fighter& fighter, const Frame& frame) {
    if (!frame.movement) return;
    fighter.position.x += fighter.facing == 0 ? frame.movement->x : -frame.movement->x;
    fighter.position.y += frame.movement->y;
    fighter.movementApplied = 1;
}

void applyFrameVelocity(Fighter& fighter, const Frame& frame) {
    if (frame.movementDNeedCatch && fighter.hitList.empty()) return;
    if (!frame.movementDelta) {
        fighter.moveVelocity = {};
        return;
    }
    float x = frame.movementDelta->x;
    fighter.moveVelocity = {fighter.facing == 0 ? x : -x, frame.movementDelta->y};
}

void applyStageLimits(Fighter& fighter, const Stage* stage) {
    if (!stage || animationType(fighter) == 11) return;
    float low = float(stage->leftLimit - (fighter.side == 0 ? 450 : 350));
    float high = float(stage->rightLimit - (fighter.side == 0 ? 650 : 550));
    fighter.position.x = std::clamp(fighter.position.x, low, std::max(low, high));
}

void updateSideAndFacing(Fighter& one, Fighter& two) {
    bool oneLeft = one.position.x <= two.position.x;
    one.side = oneLeft ? 1 : 0;
    two.side = oneLeft ? 0 : 1;
    for (Fighter* f : {&one, &two})
        if (!f->hasAnimation || turnsToOpponent(animationType(*f))) f->facing = f->side;
}

// The fighter update in its fixed order, animation playback, and attacks and combos.
#include "fight/fighter_update.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "data/sound_library.h"
#include "data/stage.h"
#include "fight/fight_events.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "runtime/numbers.h"

namespace {
// An update never loops on frames for ever, even on zero-length frames.
constexpr int kMaxFrameSteps = 1000;

const FighterClass* classOf(const Fighter& f) { return f.fighterClass; }

int64_t lastFrameIndex(const Fighter& fighter) {
    return std::max<int64_t>(0, int64_t(fighter.currentAnimation.frames.size()) - 1);
}

bool isLocomotion(int64_t type) { return type == 1 || type == 2 || type == 3 || type == 13; }

// An idle loop ended: one time in three one of the other idles follows (after another idle
// too), otherwise the plain idle (which simply loops on).
void repickIdle(FightState& state, Fighter& fighter) {
    const FighterClass* c = classOf(fighter);
    if (!c) return;
    if (!c->idleOther.empty() && randomInt(state.random, 2) == 0)
        setAnimation(state, fighter, c->idleOther[size_t(randomInt(state.random, int64_t(c->idleOther.size()) - 1))]);
    else if (fighter.animationSource != c->idle)
        setAnimation(state, fighter, c->idle);
}

// Life comes back slowly up to 200, at most 10 x endurence + 20 points a match.
void regenerate(Fighter& fighter, double f) {
    const FighterClass* c = classOf(fighter);
    int64_t ownEndurence = c && c->stat ? c->stat->endurence : 0;
    if (fighter.life > 0 && fighter.life < fighter.maxLife && fighter.life < 200 &&
        fighter.regenCount < 10 * effectiveStat(fighter).endurence + 20 && ownEndurence < 11) {
        if (fighter.regenTimer > float(200 - 20 * ownEndurence)) {
            fighter.regenTimer -= float(roundToInt(fighter.regenTimer));
            fighter.life += 1;
            fighter.regenCount += 1;
        }
        fighter.regenTimer += float(f);
    } else {
        fighter.regenTimer = 0;
    }
}

void endOfAnimation(FightState& state, Fighter& fighter, bool& chain, bool ended) {
    const FighterClass* c = classOf(fighter);
    int64_t type = animationType(fighter);
    if (c && c->spawn && type == 11) {
        setIdle(state, fighter);
        return;
    }
    if (c && c->land && type == 13) {
        setIdle(state, fighter);
        return;
    }
    bool waiting = chain && !ended; // a chain that waits for the animation to end
    if (!fighter.currentAnimation.looped) {
        if (!isAlive(fighter) || fighter.cooldown > 0 || fighter.hurtAnimIndex != -1 ||
            fighter.caught)
            return;
        if (fighter.attacking) {
            endOfAttack(state, fighter, chain, ended);
        } else if (!waiting) {
            if (type != 12 || !c || !c->land) setIdle(state, fighter);
            else setAnimation(state, fighter, c->land);
        }
        return;
    }
    if (waiting) return;
    fighter.currentAnimation.frameIndex = fighter.currentAnimation.loopStart;
    if (type == 1) repickIdle(state, fighter);
}

void advanceFrames(FightState& state, Fighter& fighter, bool animChanged) {
    if (!fighter.hasAnimation || fighter.currentAnimation.frames.empty()) return;
    int64_t length = frameLengthFor(fighter, *currentFrame(fighter));
    bool chain = canDoNextReached(fighter) && fighter.hitLanded;
    for (int step = 0; step < kMaxFrameSteps && (fighter.frameTime > length || chain); ++step) {
        bool overflow = fighter.frameTime > length;
        bool ended = false;
        if (!chain) {
            fighter.frameTime -= length;
            const Frame& leaving = *currentFrame(fighter);
            if (fighter.stunFrames < 1 && leaving.sound) playFrameSound(state, fighter, leaving);
            Animation& a = fighter.currentAnimation;
            if (a.frameIndex + 1 > lastFrameIndex(fighter)) {
                a.frameIndex = lastFrameIndex(fighter);
                ended = overflow;
            } else {
                a.frameIndex += 1;
                fighter.windEmitted = 0;
                if (fighter.stunFrames < 1) applyFrameMovement(fighter, *currentFrame(fighter));
                emitWind(state, fighter);
            }
        }
        if (!animChanged && fighter.stunFrames >= 1) {
            fighter.stunFrames -= 1;
            if (isAlive(fighter) && fighter.stunFrames <= 0) {
                setIdle(state, fighter);
                // Very agile fighters (above 10) recover at once, never with negative time.
                int64_t agility = effectiveStat(fighter).agility;
                fighter.cooldown += double(std::max<int64_t>(0, 10 - agility));
            }
        }
        if (ended || chain) endOfAnimation(state, fighter, chain, ended);
        else needCatchRule(state, fighter, chain);
        if (!fighter.hasAnimation || fighter.currentAnimation.frames.empty()) return;
        perFrameEffects(state, fighter, *currentFrame(fighter));
        length = frameLengthFor(fighter, *currentFrame(fighter));
        chain = false;
    }
}

// Returns the whole ticks that this update completed.
int64_t advanceTime(Fighter& fighter, double f) {
    fighter.tickAccumulator += float(f);
    fighter.cooldown = std::max(0.0, fighter.cooldown - f);
    // Input counters run down by the frame's own length, so that a released key stays pressed
    // for the same time at every frame rate; what is left below half a frame would be held one
    // frame too long and counts as released.
    for (double& counter : fighter.input) {
        counter -= f;
        if (counter < f / 2) counter = 0;
    }
    int64_t n = roundToInt(fighter.tickAccumulator);
    if (n == 0) return 0;
    fighter.tickAccumulator -= float(n);
    fighter.frameTime += n;
    fighter.damageFlash = std::max<int64_t>(0, fighter.damageFlash - n);
    return n;
}
} // namespace

int64_t stanceOfType(int64_t type) {
    switch (type) {
    case 4: return 1;
    case 5: return 2;
    case 7: return 3;
    case 6: return 4;
    case 8: return 5;
    case 9: return 6;
    default: return 0;
    }
}

int64_t frameLengthFor(const Fighter& fighter, const Frame& frame) {
    int64_t type = animationType(fighter);
    if (type == 2 || type == 3) {
        // Very slow fighters (speed -5 and below) walk at a thirtieth of the usual pace
        // instead of dividing by zero or running their walk backwards.
        int64_t pace = std::max<int64_t>(1, 3 * effectiveStat(fighter).speed + 15);
        return std::max<int64_t>(1, (frame.length * 30) / pace);
    }
    return frame.length;
}

void playFrameSound(FightState& state, const Fighter& fighter, const Frame& frame) {
    int64_t x = roundToInt(fighter.screenPosition.x) + (fighter.side == 0 ? 550 : 450);
    queuePoolSound(state, frame.sound, x, 1, 1.0, 1.0, frame.noRecSound == 0);
}

void setAnimation(const FightState& state, Fighter& fighter, const Animation* animation) {
    if (!animation && fighter.fighterClass) animation = fighter.fighterClass->idle;
    fighter.animationStarts += 1;
    if (!animation) {
        fighter.hasAnimation = false;
        fighter.currentAnimation = Animation{};
        fighter.animationSource = nullptr;
        return;
    }
    fighter.currentAnimation = *animation;
    fighter.currentAnimation.frameIndex = 0;
    fighter.animationSource = animation;
    fighter.hasAnimation = true;
    fighter.windEmitted = 0;
    fighter.frameTime = 0;
    const Frame* first = currentFrame(fighter);
    if (fighter.stunFrames < 1 && first && first->movement) applyFrameMovement(fighter, *first);
    int64_t type = animation->type;
    if (type == 1 || type == 12 || type == 13 || type == 10 || type == 11 || type == 2 || type == 3)
        fighter.movementApplied = 0;
    if (!animation->ungrounded && fighter.position.y > float(groundLine(state)) && type != 12)
        fighter.position.y = float(groundLine(state));
}

void switchTo(const FightState& state, Fighter& fighter, const Animation* animation, int64_t type) {
    int64_t playing = animationType(fighter);
    if (playing == type) return;
    const FighterClass* c = classOf(fighter);
    if (c && c->jump && playing == 12) return;
    if (c && c->jump && c->land && playing == 13) return;
    setAnimation(state, fighter, animation);
}

void goIdle(const FightState& state, Fighter& fighter) {
    switchTo(state, fighter, fighter.fighterClass ? fighter.fighterClass->idle : nullptr, 1);
}

void setIdle(const FightState& state, Fighter& fighter) {
    setAnimation(state, fighter, fighter.fighterClass ? fighter.fighterClass->idle : nullptr);
}

void emitWind(FightState& state, Fighter& fighter) {
    if (fighter.windEmitted) return;
    fighter.windEmitted = 1;
    if (!state.setup.wind || !fighter.hasAnimation) return;
    const Animation& a = fighter.currentAnimation;
    if (!a.frontWind && !a.backWind) return;
    // The colour falls back to the player's own without a stance colour; the intensity is
    // always the stance's.
    int64_t colour = fighterColour(fighter), transparency = 0;
    if (fighter.stance)
        transparency = fighter.useAlternateColor ? fighter.stance->alternateTransparency
                                                 : fighter.stance->specialTransparency;
    const int64_t opacity = 255 * 224 / 255;
    auto emit = [&](const WindTable& table, int64_t intensity, int64_t variant) {
        for (int64_t j = 0; j < table.perFrame; ++j) {
            const Animation* image = table.entry(a.frameIndex, j);
            if (!image) continue;
            state.events.effects.push_back(
                {image, fighter.position, fighter.facing, colour, opacity, intensity, variant});
        }
    };
    if (a.frontWind) emit(*a.frontWind, (transparency / 4 * 224) / 255, 0);
    if (a.backWind) emit(*a.backWind, (transparency / 2 * 224) / 255, 1);
}

void updateLifeGaugeTargets(Fighter& fighter) {
    LifeGauge& g = fighter.lifeBar;
    // A knocked-out fighter's life may lie below 0: its gauge is simply empty.
    int64_t first = std::clamp<int64_t>(fighter.life * 400 / 200, 0, 400);
    int64_t second = std::max<int64_t>((fighter.life - 200) * 400 / 200, 0);
    if (g.orientation == 0) {
        first = 400 - first;
        second = 400 - second;
    }
    g.mainTarget = first;
    g.extraTarget = second;
}

void updateLifeGauge(FightState& state, Fighter& fighter, double f, int64_t ticks) {
    updateLifeGaugeTargets(fighter);
    LifeGauge& g = fighter.lifeBar;
    // A gain shows at once; a loss slides by one pixel per update (per tick under the first
    // rules, which replays recorded then still play by).
    double d = g.orientation == 0 ? 1.0 : -1.0;
    double step = state.setup.rules >= 2 ? 1.0 : f;
    auto follow = [d, step](double& shown, int64_t target) {
        if (double(target) * d <= shown * d) shown = double(target);
        else shown += d * step;
    };
    follow(g.mainShown, g.mainTarget);
    follow(g.extraShown, g.extraTarget);
    // The shake takes a new offset once per tick, so that it trembles alike at every rate.
    int64_t k = fighter.damageFlash;
    g.shaking = k != 0;
    if (k == 0) g.shake = {};
    else if (ticks > 0) g.shake = {float(randomInt(state.random, 2 * k) - k), float(randomInt(state.random, 2 * k) - k)};
}

void updateFighter(FightState& state, Fighter& fighter, const Stage* stage, double f, double p) {
    fighter.previousPosition = fighter.position;
    fighter.gravityThisUpdate = 0;
    const FighterClass* c = classOf(fighter);
    // Death: a dead fighter plays its death animation and stays on its last frame. Dying
    // ends a hit reaction and a stun at once, so that the death shows from its first frame.
    if (fighter.life < 1) {
        if (animationType(fighter) != 10 && c && c->death) {
            fighter.hurtAnimIndex = -1;
            fighter.stunFrames = 0;
            fighter.cooldown = 0;
            setAnimation(state, fighter, c->death);
        }
        const Frame* frame = currentFrame(fighter);
        if (frame && fighter.currentAnimation.frameIndex == lastFrameIndex(fighter) &&
            fighter.frameTime >= frame->length)
            fighter.frameTime = frame->length - 1;
    }
    if (!fighter.hasAnimation) {
        fighter.attacking = 0;
        setIdle(state, fighter);
    }
    if (fighter.currentAnimation.attack == 0) fighter.attacking = 0;
    regenerate(fighter, f);

    // Only what attacks, walking and the cooldown idle start counts as a change of animation.
    int64_t startsBefore = fighter.animationStarts;
    if (isAlive(fighter) && !fighter.caught && animationType(fighter) != 11 &&
        fighter.cooldown <= 5.0 && fighter.hurtAnimIndex == -1) {
        attackStart(state, fighter);
        bool canCancel = canDoNextReached(fighter) && !fighter.hitList.empty();
        walk(state, fighter, f, canCancel);
    }
    bool animChanged = fighter.animationStarts != startsBefore;
    jumpStart(state, fighter, canDoNextReached(fighter) && !fighter.hitList.empty());
    if (animationType(fighter) != 11) land(state, fighter);
    applyGravity(state, fighter, f);
    integrate(fighter, f, p);
    const Frame* frame = currentFrame(fighter);
    if (!(frame && frame->movement) && !fighter.caught) groundContact(state, fighter);
    fighter.moveState.walking = 0;
    applyStageLimits(fighter, stage);
    startsBefore = fighter.animationStarts;
    if (fighter.cooldown > 0 && fighter.hurtAnimIndex == -1 && isAlive(fighter) &&
        animationType(fighter) != 1)
        goIdle(state, fighter);
    animChanged = animChanged || fighter.animationStarts != startsBefore;

    advanceFrames(state, fighter, animChanged);
    if (!fighter.hasAnimation) {
        setIdle(state, fighter);
        fighter.attacking = 0;
    }
    int64_t type = animationType(fighter);
    if (!fighter.attacking && (isLocomotion(type) || type == 12)) fighter.comboStep = 0;
    int64_t ticks = advanceTime(fighter, f);
    fighter.ticksThisUpdate = ticks;
    updateLifeGauge(state, fighter, f, ticks);
    fighter.currentAnimation.frameIndex =
        std::clamp<int64_t>(fighter.currentAnimation.frameIndex, 0, lastFrameIndex(fighter));
}

void playAnimation(FightState& state, Fighter& fighter, double f) {
    if (!fighter.hasAnimation) setIdle(state, fighter);
    advanceFrames(state, fighter, false);
    if (!fighter.hasAnimation) setIdle(state, fighter);
    advanceTime(fighter, f);
}

// Attacks.

bool canDoNextReached(const Fighter& fighter) {
    const Frame* frame = currentFrame(fighter);
    return frame && frame->canDoNext != 0 && fighter.frameTime >= frame->canDoNext;
}

namespace {
// The stance chosen by the held directions, later tests overriding earlier ones.
int64_t stanceFromDirections(const Fighter& fighter) {
    const auto& in = fighter.input;
    int64_t stance = 1;
    bool towards = fighter.facing == 0 ? in[kInputLeft] > 0 : in[kInputRight] > 0;
    bool away = fighter.facing == 0 ? in[kInputRight] > 0 : in[kInputLeft] > 0;
    if (towards) stance = 2;
    if (away) stance = 4;
    if (in[kInputUp] > 0) stance = 3;
    if (in[kInputDown] > 0) stance = 5;
    return stance;
}

void recordComboStep(Fighter& fighter, int64_t step, int64_t stance) {
    if (step < 0 || step >= kComboSteps) return; // a sixth chained attack records nothing
    fighter.comboStance[size_t(step)] = stance;
    fighter.comboFacing[size_t(step)] = double(fighter.facing);
    fighter.comboMultiplier[size_t(step)] = 1.0;
}
} // namespace

void attackStart(FightState& state, Fighter& fighter) {
    if (fighter.attacking || fighter.moveState.jumping || !fighter.onGround) return;
    const FighterClass* c = classOf(fighter);
    const Animation* animation = nullptr;
    int64_t stance = 0;
    if (fighter.input[kInputLight] > 0) {
        fighter.comboTouched = {};
        fighter.comboStep = 1;
        recordComboStep(fighter, 0, 1);
        stance = stanceFromDirections(fighter);
        animation = attackForStance(c, stance);
    } else if (fighter.input[kInputHeavy] > 0) {
        stance = 6;
        animation = c ? c->heavy : nullptr;
    }
    if (!animation) return;
    fighter.cooldown = 0;
    fighter.comboTouched = {};
    fighter.comboStep = 1;
    setAnimation(state, fighter, animation);
    emitWind(state, fighter);
    recordComboStep(fighter, 0, stance);
    fighter.hitList.clear();
    fighter.attacking = 1;
}

double recoveryCooldown(int64_t recoveryTicks, int64_t agility) {
    // Agility -10 would divide by zero (a fighter frozen for ever) and below that make every
    // recovery vanish: from -9 down the recovery stays at ten times its length.
    agility = std::max<int64_t>(-9, agility);
    return double(recoveryTicks) / (double(agility) / 10.0 + 1.0);
}

void recovery(const FightState& state, Fighter& fighter) {
    double r = recoveryCooldown(fighter.currentAnimation.recovery, effectiveStat(fighter).agility);
    if (r > 0) {
        setIdle(state, fighter);
        fighter.cooldown = r;
    }
}

void endOfAttack(FightState& state, Fighter& fighter, bool& chain, bool ended) {
    bool light = fighter.input[kInputLight] > 0, heavy = fighter.input[kInputHeavy] > 0;
    if (light || heavy) {
        if (!fighter.hitLanded) {
            fighter.movementApplied = 0;
            recovery(state, fighter);
        } else {
            const Animation* current = &fighter.currentAnimation;
            // Read before recovery or a new animation replaces the current one.
            int64_t comboEnd = current->comboEnd, type = current->type;
            const Animation* next = nullptr;
            if (light) next = followUpFor(current, stanceFromDirections(fighter));
            if (heavy) next = current->heavy;
            if (!next) {
                if (chain && !ended) {
                    chain = false; // wait for the end of the animation
                } else {
                    fighter.hitLanded = 0;
                    fighter.comboTouched = {};
                    recordComboStep(fighter, 0, stanceOfType(type));
                    fighter.comboStep = 1;
                    if (comboEnd == 0) {
                        recovery(state, fighter);
                        fighter.cooldown /= 2;
                    } else {
                        fighter.cooldown = 0;
                    }
                    setIdle(state, fighter);
                    fighter.attacking = 0;
                }
            } else {
                setAnimation(state, fighter, next);
                fighter.hitList.clear();
                fighter.hitLanded = 0;
                recordComboStep(fighter, fighter.comboStep, stanceOfType(next->type));
                fighter.comboStep += 1;
                fighter.attacking = 1;
                chain = false;
            }
        }
        emitWind(state, fighter);
    } else if (ended) {
        if (fighter.currentAnimation.comboEnd == 0) recovery(state, fighter);
        else fighter.cooldown = 0;
        fighter.attacking = 0;
        fighter.comboStep = 0;
        fighter.movementApplied = 0;
        fighter.hitLanded = 0;
    }
}

void needCatchRule(FightState& state, Fighter& fighter, bool& chain) {
    const Frame* frame = currentFrame(fighter);
    if (!isAlive(fighter) || !frame || !frame->needCatch || !fighter.hitList.empty()) return;
    if (fighter.currentAnimation.comboEnd == 0) recovery(state, fighter);
    else fighter.cooldown = 0;
    setIdle(state, fighter);
    fighter.comboStep = 0;
    chain = false;
}

void perFrameEffects(FightState& state, Fighter& fighter, const Frame& frame) {
    applyFrameVelocity(fighter, frame);
    if (frame.damageCut) fighter.hitList.clear();
    if (frame.shake) state.screenShake.y += float(2 * effectiveStat(fighter).weight + 10);
}

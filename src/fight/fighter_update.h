// The fighter update: animation playback, movement and physics, attacks and combos.
// f is the frame factor (the frame's length in ticks), p the previous frame's.
#pragma once

#include <cstdint>

struct FightState;
struct Fighter;
struct Stage;
struct Animation;
struct Frame;

// One displayed frame of a fighter.
void updateFighter(FightState& state, Fighter& fighter, const Stage* stage, double f, double p);

// Playback.
void playAnimation(FightState& state, Fighter& fighter, double f); // the animation alone: no input, no physics
void setAnimation(const FightState& state, Fighter& fighter, const Animation* animation); // null: the class's idle
void switchTo(const FightState& state, Fighter& fighter, const Animation* animation, int64_t type); // locomotion rule
void goIdle(const FightState& state, Fighter& fighter);
void setIdle(const FightState& state, Fighter& fighter);
void emitWind(FightState& state, Fighter& fighter);
void updateLifeGaugeTargets(Fighter& fighter);
// Slides the gauge over a frame of f ticks in which `ticks` whole ticks were completed.
void updateLifeGauge(FightState& state, Fighter& fighter, double f, int64_t ticks);
int64_t stanceOfType(int64_t type); // the stance number of an attack animation's type
int64_t frameLengthFor(const Fighter& fighter, const Frame& frame); // walking runs by speed
void playFrameSound(FightState& state, const Fighter& fighter, const Frame& frame);

// Movement and physics.
int64_t walkSpeed(const Fighter& fighter);
int64_t jumpImpulse(const Fighter& fighter);
void walk(FightState& state, Fighter& fighter, double f, bool canCancel);
void jumpStart(FightState& state, Fighter& fighter, bool canCancel);
void land(FightState& state, Fighter& fighter);
void applyGravity(FightState& state, Fighter& fighter, double f);
void integrate(Fighter& fighter, double f, double p);
void groundContact(FightState& state, Fighter& fighter);
void applyFrameMovement(Fighter& fighter, const Frame& frame);
void applyFrameVelocity(Fighter& fighter, const Frame& frame);
void applyStageLimits(Fighter& fighter, const Stage* stage);
void updateSideAndFacing(Fighter& one, Fighter& two);
void spawnLandingEffects(FightState& state, const Fighter& fighter);

// Attacks.
bool canDoNextReached(const Fighter& fighter);
void attackStart(FightState& state, Fighter& fighter);
void endOfAttack(FightState& state, Fighter& fighter, bool& chain, bool ended);
void recovery(const FightState& state, Fighter& fighter);
// The cooldown (ticks) an attack's recovery of `recoveryTicks` leaves a fighter of `agility`.
double recoveryCooldown(int64_t recoveryTicks, int64_t agility);
void needCatchRule(FightState& state, Fighter& fighter, bool& chain);
void perFrameEffects(FightState& state, Fighter& fighter, const Frame& frame);

// Hit resolution: whether an attack's hit mask touches the defender's body, and what a
// touching attack does: damage, hit sound, blood, shake, hit-stop, stun and pushes.
#pragma once

#include <cstdint>

struct FightState;
struct Fighter;
struct Frame;
struct Stat;

bool maskTouches(const Fighter& attacker, const Fighter& defender); // the pixel test alone
bool touches(const Fighter& attacker, const Fighter& defender); // both alive, attacker free, masks touch
void markTouch(FightState& state, Fighter& attacker, Fighter& defender);   // the bookkeeping of a touch
bool touchTest(FightState& state, Fighter& attacker, Fighter& defender);     // touches, with its bookkeeping
bool canDamage(FightState& state, Fighter& attacker, Fighter& defender);     // once per attack and target
int64_t computeDamage(FightState& state, const Fighter& attacker, const Fighter& defender);
// A frame's damage with the attacker's statistics (effective ones), before the defender's
// endurance: what computeDamage starts from. Points.
int64_t attackerDamage(const Frame& frame, const Stat& attacker);
// The cooldown (ticks) a hit by a frame of `frameStun` gives a defender whose cooldown was
// `defenderCooldown`: half of what it had left plus the stun, scaled by the attacker's weight
// and strength against the defender's endurance.
int64_t stunCooldown(int64_t frameStun, double defenderCooldown, const Stat& attacker,
                     const Stat& defender);
void sprayBlood(FightState& state, const Fighter& attacker, const Fighter& defender, int64_t damage);
// One attacker against one defender, as the fight resolved hits before trades were even: the
// first attacker's hit applies before the second's is looked for (replays of that time).
void resolveAttack(FightState& state, Fighter* attacker, Fighter* defender, double timeFactor);
// Both fighters' attacks of a frame: found against the same state, then applied together, so
// that a trade hits both and neither player's number decides what the other's attack still does.
void resolveTrade(FightState& state, Fighter& one, Fighter& two, double timeFactor);
// Queues the hit sound of a material for a damage type and a damage value (see FightEvents).
void queueMaterialSound(FightState& state, int64_t material, int64_t damageType, int64_t damage, int64_t x);

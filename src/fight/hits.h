// Hit resolution: whether an attack's hit mask touches the defender's body, and what a
// touching attack does: damage, hit sound, blood, shake, hit-stop, stun and pushes.
#pragma once

#include <cstdint>

struct Fighter;

bool maskTouches(const Fighter& attacker, const Fighter& defender); // the pixel test alone
bool touchTest(Fighter& attacker, Fighter& defender);     // with its bookkeeping
bool canDamage(Fighter& attacker, Fighter& defender);     // once per attack and target
int64_t computeDamage(const Fighter& attacker, const Fighter& defender);
void sprayBlood(const Fighter& attacker, const Fighter& defender, int64_t damage);
void resolveAttack(Fighter* attacker, Fighter* defender, double timeFactor);
// Queues the hit sound of a material for a damage type and a damage value (see fightEvents).
void queueMaterialSound(int64_t material, int64_t damageType, int64_t damage, int64_t x);

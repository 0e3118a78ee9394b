// Numbers of the sound pools, sound classes and sound materials in data.json (ids = positions).
#pragma once

// Materials a stance can be made of (positions in "soundMaterial"; position 0 is a real
// material because a stance material of 0 refers to it).
enum SoundMaterialId { kMaterialFlesh = 0, kMaterialCloth = 1, kMaterialWood = 2, kMaterialMetal = 3, kMaterialCount = 4 };

// Damage types as frames name them ("damageType" 1 cut, 2 pierce, 3 blunt).
enum DamageTypeId { kDamageCut = 1, kDamagePierce = 2, kDamageBlunt = 3 };

// How hard a hit lands, in the order of a sound class's pools.
enum HitStrength { kStrengthBlocked = 0, kStrengthLight = 1, kStrengthMedium = 2, kStrengthHeavy = 3, kStrengthCount = 4 };

// Fixed pool numbers the game plays by number: named in the game's own list.
#include "data/sound_pools.h"

// Hit sounds: 48 pools from 4 on, material-major, then damage type, then strength.
constexpr int kPoolFirstHit = 4;
constexpr int hitPool(int material, int damageType, int strength) {
    return kPoolFirstHit + (material * 3 + (damageType - 1)) * kStrengthCount + strength;
}
static_assert(hitPool(kMaterialMetal, kDamageBlunt, kStrengthHeavy) == 51, "hit pools end before the whooshes");

// Attack sounds for frames ("sound" of an attack frame).
constexpr int kPoolWhooshLight = 52;   // quick fist or foot
constexpr int kPoolWhooshHeavy = 53;   // big body swing
constexpr int kPoolBladeSwing = 54;    // sword slash
constexpr int kPoolSpearThrust = 59;   // long thrust
constexpr int kPoolHammerSwing = 60;   // slow, deep swing of a heavy weapon
constexpr int kPoolDaggerFlick = 61;   // fast thin flick
constexpr int kPoolGrab = 62;          // cloth grab
constexpr int kPoolSlam = 63;          // body thrown to the floor
constexpr int kPoolDash = 64;          // quick step / lunge
constexpr int kPoolSpinWhoosh = 65;    // spinning attack
constexpr int kPoolBladeRing = 66;     // blade drawn or clashing ring
constexpr int kPoolBodyFall = 67;      // body falling (death)
constexpr int kPoolChargeUp = 68;      // power gathering before a finisher

// Pools up to here are made by the sound generator; later ones may be appended by the builder.
constexpr int kPoolCount = 72;

// Sound classes: position 0 is a placeholder that nothing can refer to; then one class per
// material and damage type.
constexpr int soundClassId(int material, int damageType) { return 1 + material * 3 + (damageType - 1); }
constexpr int kSoundClassCount = 1 + kMaterialCount * 3;

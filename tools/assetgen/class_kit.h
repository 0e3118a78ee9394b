// Shared building blocks of the class designs: frame helpers and the moves every class has.
#pragma once

#include "class_design.h"

// A frame that only shows the pose.
FrameSpec still(const Pose& pose, int length);
// A frame that hits with `striker`: base damage, damage type, stun ticks and a push away from
// the attacker (px per tick, forward). It may chain from its first tick and leaves a trail.
FrameSpec strike(const Pose& pose, int length, Striker striker, int damage, int damageType, int stun, int push);
// The same frame again (same picture and mask) without the damage: the blow lands once.
FrameSpec hold(const FrameSpec& hitFrame, int length);
// The usual shape of a blow: a wind-up frame (stepping `step1` px forward, playing `sound` as it
// ends), the blow (stepping `step2`), a held frame and a return towards the guard.
struct StrikePlan {
    std::string name;
    int type = 4;
    Pose windup;
    int windupLength = 3;
    int step1 = 0;
    Pose blow;
    int blowLength = 3;
    int step2 = 0;
    Striker striker = Striker::FrontFist;
    int damage = 8;
    int damageType = 3;
    int stun = 10;
    int push = 8;
    int holdLength = 2;
    int returnLength = 4;
    int recovery = 14;
    int sound = 0;
    bool finisher = false;  // comboEnd, shakes the screen
};
MoveSpec strikeMove(const StrikePlan& plan, const Pose& ready);

MoveSpec attackMove(const std::string& name, int type, int recovery, std::vector<FrameSpec> frames);
// The move with the attacks that may follow it.
MoveSpec withFollowUps(MoveSpec m, std::vector<MoveSpec> next);

// Moves every class has, built around its guard pose. `weaponUp` is the weapon angle used when
// the arms go up (jumps, the spawn drop).
MoveSpec idleMove(const std::string& name, const Pose& ready, float breath);
MoveSpec walkMove(const std::string& name, const Pose& ready, bool forward, float stride);
MoveSpec jumpMove(const std::string& name, const Pose& ready, float weaponUp);
MoveSpec landMove(const std::string& name, const Pose& ready);
MoveSpec deathMove(const std::string& name, const Pose& ready, float weaponDown);
MoveSpec spawnMove(const std::string& name, const Pose& ready, const Pose& flourish, float weaponUp);
std::vector<FrameSpec> hitReactions(const Pose& ready);

// Pose helpers.
Pose withHands(Pose pose, Vec2 front, Vec2 back);
Pose withFeet(Pose pose, Vec2 front, Vec2 back);
Pose withBody(Pose pose, Vec2 hip, float lean);
Pose withWeapon(Pose pose, float angle);

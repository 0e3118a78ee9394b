// Shared building blocks of the class designs: frame helpers and the moves every class has.
#include "class_kit.h"

#include <cmath>

#include "sound_ids.h"

FrameSpec still(const Pose& pose, int length) {
    FrameSpec f;
    f.pose = pose;
    f.length = length;
    return f;
}

FrameSpec strike(const Pose& pose, int length, Striker striker, int damage, int damageType, int stun, int push) {
    FrameSpec f = still(pose, length);
    f.striker = striker;
    f.damage = damage;
    f.damageType = damageType;
    f.stun = stun;
    f.canDoNext = 1;
    if (push != 0) f.pushInstant = Step{push, 0};
    f.wind = Wind::Trail;
    return f;
}

FrameSpec hold(const FrameSpec& hitFrame, int length) {
    FrameSpec f = still(hitFrame.pose, length);
    f.canDoNext = hitFrame.canDoNext;
    return f;
}

MoveSpec attackMove(const std::string& name, int type, int recovery, std::vector<FrameSpec> frames) {
    MoveSpec m;
    m.name = name;
    m.type = type;
    m.attack = true;
    m.recovery = recovery;
    m.frames = std::move(frames);
    return m;
}

MoveSpec strikeMove(const StrikePlan& plan, const Pose& ready) {
    FrameSpec windup = still(plan.windup, plan.windupLength);
    if (plan.step1) windup.movement = Step{plan.step1, 0};
    windup.sound = plan.sound;
    FrameSpec blow = strike(plan.blow, plan.blowLength, plan.striker, plan.damage, plan.damageType, plan.stun, plan.push);
    if (plan.step2) blow.movement = Step{plan.step2, 0};
    if (plan.finisher) blow.shake = 1;
    std::vector<FrameSpec> frames = {windup, blow};
    if (plan.holdLength > 0) frames.push_back(hold(blow, plan.holdLength));
    frames.push_back(still(lerpPose(plan.blow, ready, 0.55f), plan.returnLength));
    MoveSpec m = attackMove(plan.name, plan.type, plan.recovery, frames);
    m.comboEnd = plan.finisher;
    return m;
}

Pose withHands(Pose pose, Vec2 front, Vec2 back) {
    pose.frontHand = front;
    pose.backHand = back;
    return pose;
}

Pose withFeet(Pose pose, Vec2 front, Vec2 back) {
    pose.frontFoot = front;
    pose.backFoot = back;
    return pose;
}

Pose withBody(Pose pose, Vec2 hip, float lean) {
    pose.hip = hip;
    pose.lean = lean;
    return pose;
}

Pose withWeapon(Pose pose, float angle) {
    pose.weaponAngle = angle;
    return pose;
}

MoveSpec idleMove(const std::string& name, const Pose& ready, float breath) {
    MoveSpec m;
    m.name = name;
    m.type = 1;
    m.looped = true;
    Pose in = movedPose(ready, 0, -breath * 0.5f);
    in.frontFoot = ready.frontFoot;
    in.backFoot = ready.backFoot;
    in.lean += 1.0f;
    Pose deep = movedPose(ready, 0.5f, -breath);
    deep.frontFoot = ready.frontFoot;
    deep.backFoot = ready.backFoot;
    deep.lean += 2.0f;
    deep.weaponAngle += 3.0f;
    // The fourth frame repeats the second (a cloned picture).
    m.frames = {still(ready, 8), still(in, 7), still(deep, 9), still(in, 7)};
    return m;
}

MoveSpec walkMove(const std::string& name, const Pose& ready, bool forward, float stride) {
    MoveSpec m;
    m.name = name;
    m.type = forward ? 2 : 3;
    m.looped = true;
    constexpr int kFrames = 6;
    for (int k = 0; k < kFrames; ++k) {
        // Backwards walking plays the shuffle the other way round.
        const float phase = 2.0f * 3.14159265f * float(forward ? k : kFrames - k) / float(kFrames);
        Pose p = ready;
        const float lag = 2.1f;
        p.frontFoot = {ready.frontFoot.x + stride * std::sin(phase), ready.frontFoot.y + std::max(0.0f, 10.0f * std::cos(phase))};
        p.backFoot = {ready.backFoot.x + stride * std::sin(phase - lag),
                      ready.backFoot.y + std::max(0.0f, 10.0f * std::cos(phase - lag))};
        const float bob = 3.0f * std::fabs(std::sin(phase));
        p.hip = {ready.hip.x + stride * 0.45f * std::sin(phase - lag * 0.5f), ready.hip.y - bob};
        p.frontHand = ready.frontHand + Vec2{2.0f * std::sin(phase), -bob};
        p.backHand = ready.backHand + Vec2{-2.0f * std::sin(phase), -bob};
        p.lean = ready.lean + (forward ? 3.0f : -2.0f);
        m.frames.push_back(still(p, 3));
    }
    return m;
}

MoveSpec jumpMove(const std::string& name, const Pose& ready, float weaponUp) {
    MoveSpec m;
    m.name = name;
    m.type = 12;
    // Frames run from rising fast to falling fast: the game picks them from the vertical speed.
    Pose launch = withBody(ready, {2, 100}, 4);
    launch = withFeet(launch, {10, 2}, {-16, -2});
    launch.frontToePointed = launch.backToePointed = true;
    launch = withHands(launch, {34, 196}, {14, 190});
    launch.weaponAngle = weaponUp;
    Pose rise = withBody(ready, {0, 96}, 8);
    rise = withFeet(rise, {22, 34}, {-18, 28});
    rise = withHands(rise, {44, 170}, {24, 164});
    rise.weaponAngle = (weaponUp + ready.weaponAngle) * 0.5f;
    Pose apex = withBody(ready, {0, 94}, 12);
    apex = withFeet(apex, {28, 52}, {-8, 46});
    apex = withHands(apex, {46, 150}, {30, 140});
    Pose open = withBody(ready, {0, 94}, 6);
    open = withFeet(open, {26, 26}, {-22, 22});
    open = withHands(open, {48, 160}, {10, 160});
    Pose fall = withBody(ready, {0, 98}, 2);
    fall = withFeet(fall, {20, 2}, {-26, 8});
    fall.frontToePointed = true;
    fall = withHands(fall, {52, 172}, {-14, 170});
    m.frames = {still(launch, 5), still(rise, 6), still(apex, 6), still(open, 6), still(fall, 30)};
    return m;
}

MoveSpec landMove(const std::string& name, const Pose& ready) {
    MoveSpec m;
    m.name = name;
    m.type = 13;
    Pose crouch = withBody(ready, {ready.hip.x - 4, 68}, ready.lean + 14);
    crouch = withFeet(crouch, {ready.frontFoot.x + 6, 8}, {ready.backFoot.x - 6, 8});
    crouch = movedPose(crouch, 0, 0);
    crouch.frontHand = ready.frontHand + Vec2{6, -26};
    crouch.backHand = ready.backHand + Vec2{4, -24};
    Pose rise = lerpPose(crouch, ready, 0.55f);
    m.frames = {still(crouch, 3), still(rise, 3)};
    return m;
}

MoveSpec deathMove(const std::string& name, const Pose& ready, float weaponDown) {
    MoveSpec m;
    m.name = name;
    m.type = 10;
    Pose recoil = withBody(ready, {-8, 92}, -20);
    recoil.headTilt = -25;
    recoil = withHands(recoil, {22, 176}, {-12, 170});
    Pose buckle = withBody(ready, {-16, 64}, -8);
    buckle.headTilt = 10;
    buckle = withFeet(buckle, {28, 8}, {-32, 8});
    buckle = withHands(buckle, {12, 108}, {-18, 112});
    buckle.weaponAngle = (ready.weaponAngle + weaponDown) * 0.5f;
    Pose fall = withBody(ready, {-36, 38}, -55);
    fall.headTilt = -10;
    fall = withFeet(fall, {36, 12}, {20, 8});
    fall = withHands(fall, {-36, 122}, {-6, 108});
    fall.weaponAngle = weaponDown + 20;
    Pose impact = withBody(ready, {-44, 17}, -84);
    impact.headTilt = -12;
    impact = withFeet(impact, {42, 16}, {56, 10});
    impact = withHands(impact, {-104, 30}, {-58, 44});
    impact.weaponAngle = weaponDown;
    Pose lying = withBody(ready, {-46, 13}, -88);
    lying.headTilt = -4;
    lying = withFeet(lying, {48, 8}, {62, 9});
    lying = withHands(lying, {-96, 12}, {-36, 14});
    lying.weaponAngle = weaponDown;
    FrameSpec hitFloor = still(impact, 4);
    hitFloor.sound = kPoolBodyFall;
    m.frames = {still(recoil, 5), still(buckle, 6), still(fall, 4), hitFloor, still(lying, 60)};
    return m;
}

MoveSpec spawnMove(const std::string& name, const Pose& ready, const Pose& flourish, float weaponUp) {
    MoveSpec m;
    m.name = name;
    m.type = 11;
    // Drops in from above, lands on one knee, rises into the class's flourish and the guard.
    Pose air = withBody(ready, {0, 96}, 10);
    air = withFeet(air, {24, 40}, {-14, 34});
    air = withHands(air, {30, 196}, {10, 188});
    air.weaponAngle = weaponUp;
    Pose drop = withBody(ready, {0, 100}, 4);
    drop = withFeet(drop, {14, 4}, {-18, 2});
    drop.frontToePointed = drop.backToePointed = true;
    drop = withHands(drop, {40, 180}, {0, 176});
    drop.weaponAngle = weaponUp - 20;
    Pose kneel = withBody(ready, {-8, 50}, 30);
    kneel = withFeet(kneel, {40, 8}, {-46, 10});
    kneel = withHands(kneel, {66, 16}, {-6, 96});
    kneel.weaponAngle = ready.weaponAngle - 40;
    Pose rise = withBody(ready, {-4, 76}, 14);
    rise = withHands(rise, {46, 110}, {20, 110});
    FrameSpec high = still(movedPose(air, 0, 330), 3);
    high.shadowLift = 330;
    FrameSpec mid = still(movedPose(drop, 0, 150), 3);
    mid.shadowLift = 150;
    mid.sound = kPoolLandHeavy;
    m.frames = {high, mid, still(kneel, 8), still(rise, 5), still(flourish, 12), still(ready, 4)};
    return m;
}

std::vector<FrameSpec> hitReactions(const Pose& ready) {
    Pose snap = withBody(ready, {-10, 90}, -16);
    snap.headTilt = -22;
    snap = withHands(snap, {30, 172}, {2, 162});
    snap = withFeet(snap, {ready.frontFoot.x - 4, 8}, {ready.backFoot.x - 6, 8});
    snap.weaponAngle = ready.weaponAngle + 25;
    Pose gut = withBody(ready, {-14, 84}, 32);
    gut.headTilt = 16;
    gut = withHands(gut, {30, 102}, {18, 96});
    gut = withFeet(gut, {ready.frontFoot.x, 8}, {ready.backFoot.x - 8, 8});
    gut.weaponAngle = ready.weaponAngle - 35;
    Pose stagger = withBody(ready, {-18, 86}, -8);
    stagger.headTilt = -8;
    stagger = withHands(stagger, {42, 122}, {-32, 124});
    stagger = withFeet(stagger, {ready.frontFoot.x - 14, 8}, {ready.backFoot.x - 18, 8});
    stagger.weaponAngle = ready.weaponAngle - 10;
    return {still(snap, 4), still(gut, 4), still(stagger, 4)};
}

MoveSpec withFollowUps(MoveSpec m, std::vector<MoveSpec> next) {
    m.followUps = std::move(next);
    return m;
}

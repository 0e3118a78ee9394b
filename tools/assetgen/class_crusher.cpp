// The Crusher: a huge two-handed hammer; slow wind-ups, crushing blows and a shoulder charge.
#include "class_design.h"
#include "class_kit.h"
#include "sound_ids.h"

namespace {

Build crusherBuild() {
    Build b;
    b.head = HeadStyle::Helmet;
    b.weapon = WeaponKind::Hammer;
    b.twoHanded = true;
    b.weaponButt = 22;
    b.weaponTip = 94;
    b.weaponWidth = 9;
    b.gripGap = 32;
    b.thigh = 52;
    b.shin = 48;
    b.torso = 66;
    b.headRadius = 16;
    b.upperArm = 46;
    b.forearm = 42;
    b.armWidth = 15;
    b.legWidth = 16;
    b.chestWidth = 46;
    b.hipWidth = 32;
    b.fistRadius = 9;
    b.shoulderDepth = 8;
    b.skin = rgb(232, 210, 190);
    b.cloth = rgb(226, 222, 214);
    b.clothDark = rgb(200, 194, 186);
    b.accent = rgb(236, 196, 150);
    b.metal = rgb(226, 232, 240);
    return b;
}

Pose crusherReady() {
    Pose p;
    p.hip = {-8, 88};
    p.lean = 10;
    p.frontFoot = {30, 8};
    p.backFoot = {-46, 8};
    p.frontHand = {34, 118};
    p.weaponAngle = 68;
    return p;
}

Pose stance(const Pose& ready, float hipX, float hipY, float lean, Vec2 hand, float angle) {
    Pose p = withBody(ready, {hipX, hipY}, lean);
    p = withFeet(p, {hipX + 44, 8}, {hipX - 60, 8});
    p.frontHand = hand;
    p.weaponAngle = angle;
    return p;
}

MoveSpec haftJab(int type, int step1, int step2) {
    const Pose r = crusherReady();
    return strikeMove({.name = "haft jab", .type = type, .windup = stance(r, -12, 88, 2, {10, 124}, 20), .windupLength = 4,
                       .step1 = step1, .blow = stance(r, 12, 84, 16, {76, 128}, 4), .blowLength = 3, .step2 = step2,
                       .striker = Striker::Weapon, .damage = 10, .damageType = kDamageBlunt, .stun = 12, .push = 14,
                       .holdLength = 3, .returnLength = 5, .recovery = 18, .sound = kPoolWhooshHeavy},
                      r);
}

MoveSpec sideSwing(int type, bool finisher, int step1, int step2) {
    const Pose r = crusherReady();
    Pose wind = stance(r, -14, 88, -10, {-10, 150}, 170);
    wind.frontElbowUp = true;
    return strikeMove({.name = finisher ? "swing through" : "side swing", .type = type, .windup = wind, .windupLength = 6,
                       .step1 = step1, .blow = stance(r, 14, 84, 20, {70, 128}, -4), .blowLength = 3, .step2 = step2,
                       .striker = Striker::Weapon, .damage = finisher ? 17 : 13, .damageType = kDamageBlunt,
                       .stun = 16, .push = finisher ? 55 : 18, .holdLength = 3, .returnLength = 6, .recovery = 24,
                       .sound = kPoolHammerSwing, .finisher = finisher},
                      r);
}

MoveSpec backSwing(int type) {
    const Pose r = crusherReady();
    Pose wind = stance(r, 4, 86, 14, {70, 118}, -10);
    return strikeMove({.name = "back swing", .type = type, .windup = wind, .windupLength = 4, .step1 = 8,
                       .blow = stance(r, 10, 88, 6, {56, 150}, 44), .blowLength = 3, .step2 = 8,
                       .striker = Striker::Weapon, .damage = 15, .damageType = kDamageBlunt, .stun = 18, .push = 50,
                       .holdLength = 3, .returnLength = 6, .recovery = 24, .sound = kPoolHammerSwing, .finisher = true},
                      r);
}

MoveSpec upSwing(int type, bool finisher, int step1, int step2) {
    const Pose r = crusherReady();
    Pose low = stance(r, -8, 76, 20, {30, 70}, -60);
    Pose high = stance(r, 12, 96, -6, {66, 170}, 64);
    return strikeMove({.name = finisher ? "launcher" : "up swing", .type = type, .windup = low, .windupLength = 5,
                       .step1 = step1, .blow = high, .blowLength = 3, .step2 = step2, .striker = Striker::Weapon,
                       .damage = finisher ? 16 : 12, .damageType = kDamageBlunt, .stun = 18, .push = finisher ? 50 : 14,
                       .holdLength = 3, .returnLength = 6, .recovery = 24, .sound = kPoolHammerSwing, .finisher = finisher},
                      r);
}

MoveSpec groundPound(int type, bool finisher, int step1, int step2) {
    const Pose r = crusherReady();
    Pose up = stance(r, -10, 94, -8, {30, 206}, 104);
    up.frontElbowUp = true;
    Pose down = stance(r, 16, 72, 34, {86, 84}, -38);
    MoveSpec m = strikeMove({.name = finisher ? "crushing pound" : "ground pound", .type = type, .windup = up,
                             .windupLength = 6, .step1 = step1, .blow = down, .blowLength = 3, .step2 = step2,
                             .striker = Striker::Weapon, .damage = finisher ? 18 : 14, .damageType = kDamageBlunt,
                             .stun = 20, .push = finisher ? 45 : 16, .holdLength = 4, .returnLength = 6, .recovery = 26,
                             .sound = kPoolHammerSwing, .finisher = finisher},
                            r);
    m.frames[1].shake = 1;
    return m;
}

MoveSpec heavySlam(int type, int step1, int step2) {
    const Pose r = crusherReady();
    Pose wind = stance(r, -16, 94, -16, {0, 210}, 130);
    wind.frontElbowUp = true;
    MoveSpec m = strikeMove({.name = "titan slam", .type = type, .windup = wind, .windupLength = 9, .step1 = step1,
                             .blow = stance(r, 18, 76, 30, {92, 104}, -24), .blowLength = 4, .step2 = step2,
                             .striker = Striker::Weapon, .damage = 25, .damageType = kDamageBlunt, .stun = 24, .push = 65,
                             .holdLength = 5, .returnLength = 7, .recovery = 40, .sound = kPoolChargeUp, .finisher = true},
                            r);
    m.frames[1].sound = kPoolSlam;
    return m;
}

// Shoulder charge: a run that barges through, driving the opponent back while touching.
MoveSpec shoulderCharge(int type) {
    const Pose r = crusherReady();
    Pose lower = stance(r, -10, 84, 24, {20, 110}, 60);
    FrameSpec crouch = still(lower, 4);
    crouch.movement = Step{34, 0};
    crouch.sound = kPoolDash;
    Pose run = stance(r, 10, 84, 30, {40, 106}, 56);
    FrameSpec dash = still(run, 4);
    dash.movementDelta = Step{22, 0};
    FrameSpec barge = strike(run, 4, Striker::Shoulder, 11, kDamageBlunt, 16, 30);
    barge.movementDelta = Step{10, 0};
    barge.pushPower = Step{8, 0};
    barge.wind = Wind::None;
    barge.sound = kPoolSlam;
    FrameSpec settle = still(lerpPose(run, r, 0.5f), 6);
    return attackMove("shoulder charge", type, 26, {crouch, dash, barge, settle});
}

}  // namespace

ClassDesign crusherDesign() {
    ClassDesign d;
    d.key = "crusher";
    d.name = "Crusher";
    d.description =
        "A giant in a helmet with a blacksmith's hammer. Slow to swing and slow to stop, but every blow shakes the "
        "floor and sends you flying. Barges in with his shoulder when you keep away.";
    d.build = crusherBuild();
    d.stat = StatSpec{9, 4, 3, 8, 8, 10, -1, -1, 9, 0, 4};
    d.tuning.recovery = 0.7;
    d.tuning.push = 0.75;
    const Pose r = crusherReady();
    d.ready = r;
    d.portrait = stance(r, -8, 90, 4, {40, 150}, 80);

    MoveSpec neutral = withFollowUps(
        haftJab(4, 10, 10), {withFollowUps(sideSwing(5, false, 4, 6), {groundPound(8, true, 0, 6)}), heavySlam(9, 0, 6)});
    MoveSpec side = withFollowUps(sideSwing(5, false, 18, 14), {backSwing(6), upSwing(7, true, 4, 4)});
    MoveSpec back = withFollowUps(shoulderCharge(6), {groundPound(8, true, 0, 4), withFollowUps(haftJab(4, 0, 4), {heavySlam(9, 0, 4)})});
    MoveSpec up = withFollowUps(upSwing(7, false, 20, 16), {groundPound(8, true, 0, 4)});
    MoveSpec down = withFollowUps(groundPound(8, false, 16, 12), {upSwing(7, true, 4, 4), sideSwing(5, true, 4, 4)});
    MoveSpec heavy = withFollowUps(heavySlam(9, 15, 6), {sideSwing(5, true, 0, 4)});
    d.attacks = {neutral, side, back, up, down, heavy};

    d.idle = idleMove("idle", r, 6);
    MoveSpec rest;
    rest.name = "rest on hammer";
    rest.type = 1;
    rest.looped = true;
    Pose lean = stance(r, -8, 90, 4, {46, 96}, -82);
    rest.frames = {still(r, 6), still(lerpPose(r, lean, 0.5f), 4), still(lean, 30), still(lerpPose(r, lean, 0.5f), 4)};
    d.idleOther = {rest};
    d.moveFront = walkMove("stomp forward", r, true, 12);
    d.moveBack = walkMove("step back", r, false, 10);
    d.jump = jumpMove("jump", r, 90);
    d.land = landMove("land", r);
    d.death = deathMove("death", r, 200);
    Pose roar = stance(r, -6, 92, -8, {30, 196}, 96);
    roar.frontElbowUp = true;
    d.spawn = spawnMove("spawn", r, roar, 96);
    d.hit = hitReactions(r);

    StatSpec smith = noModifier();
    StatSpec juggernaut = noModifier();
    juggernaut.endurance = 1;
    juggernaut.agility = -1;
    juggernaut.speed = -1;
    StatSpec timber = noModifier();
    timber.speed = 1;
    timber.weight = -1;
    timber.blunt = -1;
    d.stances = {
        {"Smith", smith, {kMaterialFlesh, kMaterialMetal}, packColor(200, 90, 40), 210, packColor(60, 140, 200), 210},
        {"Juggernaut", juggernaut, {kMaterialMetal, kMaterialMetal}, packColor(110, 110, 130), 250, packColor(210, 190, 90), 250},
        {"Timber", timber, {kMaterialWood, kMaterialCloth}, packColor(150, 110, 60), 180, packColor(90, 200, 90), 180},
    };
    return d;
}

// The Lancer: a long spear held in both hands; the longest reach, thrusts, sweeps and a charge.
#include "class_design.h"
#include "class_kit.h"
#include "sound_ids.h"

namespace {

Build lancerBuild() {
    Build b;
    b.head = HeadStyle::Topknot;
    b.weapon = WeaponKind::Spear;
    b.twoHanded = true;
    b.weaponButt = 104;
    b.weaponTip = 118;
    b.weaponWidth = 6;
    b.gripGap = 42;
    b.armWidth = 10;
    b.legWidth = 12;
    b.chestWidth = 31;
    b.hipWidth = 24;
    b.skin = rgb(236, 214, 190);
    b.cloth = rgb(232, 238, 226);
    b.clothDark = rgb(208, 220, 204);
    b.accent = rgb(240, 200, 170);
    return b;
}

Pose lancerReady() {
    Pose p;
    p.hip = {-8, 92};
    p.lean = 2;
    p.frontFoot = {26, 8};
    p.backFoot = {-44, 8};
    p.frontHand = {30, 118};
    p.weaponAngle = 12;
    return p;
}

Pose stance(const Pose& ready, float hipX, float hipY, float lean, Vec2 hand, float angle) {
    Pose p = withBody(ready, {hipX, hipY}, lean);
    p = withFeet(p, {hipX + 40, 8}, {hipX - 58, 8});
    p.frontHand = hand;
    p.weaponAngle = angle;
    return p;
}

MoveSpec thrust(int type, int step1, int step2) {
    const Pose r = lancerReady();
    return strikeMove({.name = "thrust", .type = type, .windup = stance(r, -14, 92, -4, {4, 122}, 6), .windupLength = 3,
                       .step1 = step1, .blow = stance(r, 12, 88, 12, {86, 128}, 1), .blowLength = 3, .step2 = step2,
                       .striker = Striker::Weapon, .damage = 8, .damageType = kDamagePierce, .stun = 11, .push = 10,
                       .holdLength = 2, .returnLength = 4, .recovery = 14, .sound = kPoolSpearThrust},
                      r);
}

// A second, driving thrust: the lancer keeps pushing the point in while it touches.
MoveSpec driveThrust(int type, int step1, int step2) {
    MoveSpec m = thrust(type, step1, step2);
    m.name = "driving thrust";
    m.frames[1].damage = 10;
    m.frames[1].movementDelta = Step{8, 0};
    m.frames[1].pushPowerDelta = Step{6, 0};
    return m;
}

MoveSpec highSlap(int type, int step1, int step2) {
    const Pose r = lancerReady();
    Pose up = stance(r, -10, 94, -8, {20, 190}, 80);
    return strikeMove({.name = "overhead slap", .type = type, .windup = up, .windupLength = 4, .step1 = step1,
                       .blow = stance(r, 12, 86, 16, {84, 134}, -8), .blowLength = 3, .step2 = step2,
                       .striker = Striker::Weapon, .damage = 10, .damageType = kDamageCut, .stun = 14, .push = 12,
                       .holdLength = 2, .returnLength = 5, .recovery = 18, .sound = kPoolHammerSwing},
                      r);
}

MoveSpec risingSweep(int type, bool finisher, int step1, int step2) {
    const Pose r = lancerReady();
    Pose low = stance(r, -6, 80, 10, {30, 90}, -20);
    Pose high = stance(r, 10, 96, -2, {80, 142}, 30);
    high.backToePointed = true;
    return strikeMove({.name = finisher ? "rising finish" : "rising sweep", .type = type, .windup = low, .windupLength = 3,
                       .step1 = step1, .blow = high, .blowLength = 3, .step2 = step2, .striker = Striker::Weapon,
                       .damage = finisher ? 14 : 10, .damageType = kDamageCut, .stun = 16, .push = finisher ? 40 : 10,
                       .holdLength = 3, .returnLength = 5, .recovery = 18, .sound = kPoolHammerSwing, .finisher = finisher},
                      r);
}

MoveSpec lowThrust(int type, bool finisher, int step1, int step2) {
    const Pose r = lancerReady();
    Pose coil = stance(r, -12, 82, 14, {10, 96}, -4);
    Pose low = stance(r, 10, 68, 24, {82, 78}, -7);
    return strikeMove({.name = "low thrust", .type = type, .windup = coil, .windupLength = 3, .step1 = step1, .blow = low,
                       .blowLength = 3, .step2 = step2, .striker = Striker::Weapon, .damage = finisher ? 12 : 9,
                       .damageType = kDamagePierce, .stun = 14, .push = finisher ? 35 : 8, .holdLength = 2,
                       .returnLength = 5, .recovery = 16, .sound = kPoolSpearThrust, .finisher = finisher},
                      r);
}

// The spear spun round: the butt end cracks forward (blunt).
MoveSpec buttStrike(int type) {
    const Pose r = lancerReady();
    Pose turn = stance(r, -6, 92, 0, {10, 150}, 150);
    Pose crack = stance(r, 12, 88, 14, {40, 150}, 188);
    MoveSpec m = strikeMove({.name = "butt strike", .type = type, .windup = turn, .windupLength = 3, .step1 = 10,
                             .blow = crack, .blowLength = 3, .step2 = 10, .striker = Striker::WeaponButt, .damage = 9,
                             .damageType = kDamageBlunt, .stun = 16, .push = 14, .holdLength = 2, .returnLength = 4,
                             .recovery = 14, .sound = kPoolSpinWhoosh},
                            r);
    return m;
}

MoveSpec charge(int type, int step1) {
    const Pose r = lancerReady();
    FrameSpec brace = still(stance(r, -18, 86, -6, {0, 118}, 4), 6);
    brace.sound = kPoolChargeUp;
    FrameSpec run = still(stance(r, 4, 90, 14, {60, 126}, 1), 3);
    run.movement = Step{step1, 0};
    run.movementDelta = Step{8, 0};
    run.sound = kPoolDash;
    FrameSpec impale = strike(stance(r, 18, 86, 18, {92, 130}, 0), 4, Striker::Weapon, 19, kDamagePierce, 20, 50);
    impale.movementDelta = Step{6, 0};
    impale.shake = 1;
    FrameSpec stay = hold(impale, 3);
    FrameSpec back = still(lerpPose(impale.pose, r, 0.5f), 6);
    MoveSpec m = attackMove("charge", type, 32, {brace, run, impale, stay, back});
    m.comboEnd = true;
    return m;
}

}  // namespace

ClassDesign lancerDesign() {
    ClassDesign d;
    d.key = "lancer";
    d.name = "Lancer";
    d.description =
        "A spear fighter who keeps you at the end of a long shaft. Thrusts reach further than anyone's, sweeps catch "
        "jumpers and the charge runs you through. Close in on her and the butt of the spear cracks back.";
    d.build = lancerBuild();
    d.stat = StatSpec{5, 5, 5, 5, 5, 6, 3, 8, 3, 0, 6};
    d.tuning.stun = 1.1;
    d.tuning.damage = 0.85;
    const Pose r = lancerReady();
    d.ready = r;
    Pose portrait = stance(r, -6, 92, 0, {40, 150}, 84);
    d.portrait = portrait;

    MoveSpec neutral = withFollowUps(
        thrust(4, 12, 15),
        {withFollowUps(driveThrust(4, 4, 4), {withFollowUps(highSlap(6, 0, 4), {risingSweep(7, true, 4, 4)}), charge(9, 4)}),
         lowThrust(8, true, 2, 4)});
    MoveSpec side = withFollowUps(driveThrust(5, 18, 13), {withFollowUps(buttStrike(4), {risingSweep(7, true, 4, 4)}), lowThrust(8, true, 4, 4)});
    MoveSpec back = withFollowUps(buttStrike(6), {withFollowUps(thrust(4, 6, 6), {charge(9, 0)}), highSlap(6, 4, 4)});
    MoveSpec up = withFollowUps(risingSweep(7, false, 10, 10), {highSlap(6, 0, 6), lowThrust(8, true, 4, 4)});
    MoveSpec down = withFollowUps(lowThrust(8, false, 18, 13), {risingSweep(7, true, 4, 4), thrust(4, 4, 4)});
    MoveSpec heavy = withFollowUps(charge(9, 4), {buttStrike(6)});
    back.followUps[1].comboEnd = true;
    down.followUps[1].comboEnd = true;
    heavy.followUps[0].comboEnd = true;
    d.attacks = {neutral, side, back, up, down, heavy};

    d.idle = idleMove("idle", r, 4);
    MoveSpec twirl;
    twirl.name = "twirl";
    twirl.type = 1;
    twirl.looped = true;
    twirl.frames = {still(r, 6), still(stance(r, -8, 92, 0, {30, 140}, 60), 4), still(stance(r, -8, 92, 0, {30, 150}, 120), 4),
                    still(stance(r, -8, 92, 0, {30, 140}, 200), 4), still(stance(r, -8, 92, 0, {30, 124}, 300), 4), still(r, 6)};
    d.idleOther = {twirl};
    d.moveFront = walkMove("advance", r, true, 14);
    d.moveBack = walkMove("retreat", r, false, 12);
    d.jump = jumpMove("jump", r, 70);
    d.land = landMove("land", r);
    d.death = deathMove("death", r, 176);
    d.spawn = spawnMove("spawn", r, portrait, 80);
    d.hit = hitReactions(r);

    StatSpec guard = noModifier();
    StatSpec hunter = noModifier();
    hunter.speed = 1;
    hunter.agility = 1;
    hunter.weight = -1;
    StatSpec phalanx = noModifier();
    phalanx.endurance = 1;
    phalanx.agility = -1;
    phalanx.speed = -1;
    phalanx.pierce = 1;
    d.stances = {
        {"Guard", guard, {kMaterialCloth, kMaterialWood}, packColor(60, 170, 90), 200, packColor(200, 80, 200), 200},
        {"Hunter", hunter, {kMaterialFlesh, kMaterialWood}, packColor(200, 150, 60), 170, packColor(70, 110, 220), 170},
        {"Phalanx", phalanx, {kMaterialMetal, kMaterialWood}, packColor(120, 190, 200), 240, packColor(220, 60, 60), 240},
    };
    return d;
}

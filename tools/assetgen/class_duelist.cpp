// The Duelist: a long sword, thrusts and slashes in flowing chains; the blade gleams at rest.
#include "class_design.h"
#include "class_kit.h"
#include "sound_ids.h"

namespace {

Build duelistBuild() {
    Build b;
    b.head = HeadStyle::Ponytail;
    b.weapon = WeaponKind::Sword;
    b.weaponButt = 11;
    b.weaponTip = 108;
    b.weaponWidth = 7;
    b.armWidth = 9;
    b.legWidth = 11;
    b.chestWidth = 28;
    b.hipWidth = 22;
    b.skin = rgb(246, 228, 210);
    b.cloth = rgb(238, 234, 244);
    b.clothDark = rgb(214, 206, 230);
    b.accent = rgb(244, 214, 140);
    return b;
}

Pose duelistReady() {
    Pose p;
    p.hip = {-4, 92};
    p.lean = 4;
    p.frontFoot = {32, 8};
    p.backFoot = {-38, 8};
    p.frontHand = {44, 124};
    p.backHand = {-8, 132};
    p.weaponAngle = 30;
    return p;
}

Pose lunge(const Pose& ready, float hipX, float hipY, float lean) {
    Pose p = withBody(ready, {hipX, hipY}, lean);
    return withFeet(p, {hipX + 46, 8}, {hipX - 56, 8});
}

Pose armed(Pose p, Vec2 front, float angle, Vec2 back) {
    p = withHands(p, front, back);
    p.weaponAngle = angle;
    return p;
}

MoveSpec thrust(int type, int step1, int step2) {
    const Pose r = duelistReady();
    return strikeMove({.name = "thrust", .type = type, .windup = armed(withBody(r, {-8, 92}, -2), {16, 128}, 6, {-24, 140}),
                       .windupLength = 3, .step1 = step1, .blow = armed(lunge(r, 22, 84, 16), {92, 140}, 0, {-30, 128}),
                       .blowLength = 3, .step2 = step2, .striker = Striker::Weapon, .damage = 8, .damageType = kDamagePierce,
                       .stun = 11, .push = 8, .holdLength = 2, .returnLength = 4, .recovery = 12, .sound = kPoolBladeSwing},
                      r);
}

MoveSpec slash(int type, int step1, int step2) {
    const Pose r = duelistReady();
    Pose wind = armed(withBody(r, {-2, 92}, -6), {6, 196}, 150, {-20, 150});
    wind.frontElbowUp = true;
    return strikeMove({.name = "slash", .type = type, .windup = wind, .windupLength = 3, .step1 = step1,
                       .blow = armed(lunge(r, 18, 86, 20), {96, 140}, -10, {-24, 132}), .blowLength = 3, .step2 = step2,
                       .striker = Striker::Weapon, .damage = 9, .damageType = kDamageCut, .stun = 12, .push = 10,
                       .holdLength = 2, .returnLength = 4, .recovery = 14, .sound = kPoolBladeSwing},
                      r);
}

MoveSpec reverseSlash(int type) {
    const Pose r = duelistReady();
    return strikeMove({.name = "reverse slash", .type = type, .windup = armed(withBody(r, {2, 94}, 2), {40, 200}, 120, {-10, 160}),
                       .windupLength = 3, .step1 = 12, .blow = armed(lunge(r, 16, 86, 24), {100, 124}, -16, {-20, 130}),
                       .blowLength = 3, .step2 = 10, .striker = Striker::Weapon, .damage = 10, .damageType = kDamageCut,
                       .stun = 13, .push = 10, .holdLength = 2, .returnLength = 4, .recovery = 14, .sound = kPoolBladeSwing},
                      r);
}

MoveSpec cleave(int type, int step1, int step2) {
    const Pose r = duelistReady();
    Pose wind = armed(withBody(r, {-6, 94}, -10), {20, 214}, 100, {10, 200});
    wind.frontElbowUp = true;
    return strikeMove({.name = "cleave", .type = type, .windup = wind, .windupLength = 5, .step1 = step1,
                       .blow = armed(lunge(r, 20, 80, 30), {104, 116}, -30, {60, 110}), .blowLength = 3, .step2 = step2,
                       .striker = Striker::Weapon, .damage = 17, .damageType = kDamageCut, .stun = 20, .push = 50,
                       .holdLength = 4, .returnLength = 6, .recovery = 26, .sound = kPoolBladeRing, .finisher = true},
                      r);
}

MoveSpec upCut(int type, bool finisher, int step1, int step2) {
    const Pose r = duelistReady();
    Pose low = armed(withBody(r, {0, 78}, 18), {40, 80}, -40, {-20, 110});
    low = withFeet(low, {44, 8}, {-40, 8});
    Pose high = armed(lunge(r, 20, 96, 2), {100, 174}, 48, {-20, 150});
    high.backToePointed = true;
    return strikeMove({.name = finisher ? "rising finish" : "rising cut", .type = type, .windup = low, .windupLength = 3,
                       .step1 = step1, .blow = high, .blowLength = 3, .step2 = step2, .striker = Striker::Weapon,
                       .damage = finisher ? 14 : 10, .damageType = kDamageCut, .stun = 16, .push = finisher ? 40 : 10,
                       .holdLength = 3, .returnLength = 5, .recovery = 18, .sound = kPoolBladeSwing, .finisher = finisher},
                      r);
}

MoveSpec lowCut(int type, bool finisher, int step1, int step2) {
    const Pose r = duelistReady();
    Pose wind = armed(withBody(r, {-4, 80}, 12), {10, 120}, 170, {-20, 120});
    Pose sweep = armed(withBody(r, {14, 64}, 26), {100, 66}, -4, {-30, 100});
    sweep = withFeet(sweep, {66, 8}, {-44, 8});
    return strikeMove({.name = "low cut", .type = type, .windup = wind, .windupLength = 3, .step1 = step1, .blow = sweep,
                       .blowLength = 3, .step2 = step2, .striker = Striker::Weapon, .damage = finisher ? 12 : 9,
                       .damageType = kDamageCut, .stun = 14, .push = finisher ? 30 : 8, .holdLength = 2, .returnLength = 5,
                       .recovery = 16, .sound = kPoolBladeSwing, .finisher = finisher},
                      r);
}

// A long lunge: the duelist keeps sliding forward while the point is out.
MoveSpec lungeThrust(int type, int step1, int step2) {
    const Pose r = duelistReady();
    MoveSpec m = strikeMove({.name = "fleche", .type = type, .windup = armed(withBody(r, {-14, 86}, -8), {0, 130}, 4, {-40, 150}),
                             .windupLength = 6, .step1 = step1, .blow = armed(lunge(r, 26, 80, 22), {96, 136}, 0, {-36, 120}),
                             .blowLength = 4, .step2 = step2, .striker = Striker::Weapon, .damage = 16,
                             .damageType = kDamagePierce, .stun = 18, .push = 45, .holdLength = 3, .returnLength = 6,
                             .recovery = 28, .sound = kPoolChargeUp, .finisher = true},
                            r);
    m.frames[1].movementDelta = Step{12, 0};
    m.frames[1].sound = kPoolDash;
    return m;
}

// Steps back out of reach, then cuts in.
MoveSpec retreatCut(int type) {
    const Pose r = duelistReady();
    MoveSpec m = strikeMove({.name = "retreating cut", .type = type, .windup = armed(withBody(r, {-16, 92}, -10), {10, 180}, 130, {-40, 150}),
                             .windupLength = 4, .step1 = -16, .blow = armed(lunge(r, 20, 86, 20), {100, 150}, 8, {-30, 130}),
                             .blowLength = 3, .step2 = 31, .striker = Striker::Weapon, .damage = 11, .damageType = kDamageCut,
                             .stun = 13, .push = 12, .holdLength = 2, .returnLength = 4, .recovery = 16, .sound = kPoolBladeSwing},
                            r);
    m.frames[0].pose.frontElbowUp = true;
    return m;
}

}  // namespace

ClassDesign duelistDesign() {
    ClassDesign d;
    d.key = "duelist";
    d.name = "Duelist";
    d.description =
        "A fencer with a long straight sword. Thrusts keep you at the tip of the blade, slashes flow into one another "
        "and a cleave or a fleche ends the phrase. Quick on her feet, light in armour.";
    d.build = duelistBuild();
    d.stat = StatSpec{5, 7, 7, 4, 5, 6, 7, 5, -1, 0, 5};
    d.tuning.stun = 0.8;
    const Pose r = duelistReady();
    d.ready = r;
    d.portrait = armed(withBody(r, {0, 92}, 2), {40, 150}, 80, {-8, 132});

    MoveSpec neutral = withFollowUps(
        thrust(4, 8, 6),
        {withFollowUps(slash(5, 6, 6), {withFollowUps(reverseSlash(4), {cleave(9, 0, 6)})}),
         withFollowUps(thrust(4, 4, 4), {lungeThrust(9, 6, 6)}), lowCut(8, true, 4, 4)});
    MoveSpec side = withFollowUps(slash(5, 8, 8), {withFollowUps(reverseSlash(4), {upCut(7, true, 6, 6)}), cleave(9, 4, 6)});
    MoveSpec back = withFollowUps(retreatCut(6), {lungeThrust(9, 0, 4), withFollowUps(thrust(4, 4, 4), {upCut(7, true, 6, 6)})});
    MoveSpec up = withFollowUps(upCut(7, false, 20, 14), {cleave(9, 0, 4), lowCut(8, true, 4, 4)});
    MoveSpec down = withFollowUps(lowCut(8, false, 12, 4), {upCut(7, true, 6, 6), thrust(4, 4, 4)});
    MoveSpec heavy = withFollowUps(lungeThrust(9, 16, 6), {reverseSlash(4)});
    down.followUps[1].comboEnd = true;
    heavy.followUps[0].comboEnd = true;
    d.attacks = {neutral, side, back, up, down, heavy};

    d.idle = idleMove("idle", r, 4);
    // The blade catches the light once per breath (the idle's front wind).
    d.idle.frames[2].wind = Wind::Glint;
    MoveSpec salute;
    salute.name = "salute";
    salute.type = 1;
    salute.looped = true;
    Pose raise = armed(withBody(r, {-4, 94}, 0), {34, 170}, 88, {-10, 128});
    salute.frames = {still(r, 6), still(raise, 14), still(lerpPose(raise, r, 0.5f), 5), still(r, 6)};
    d.idleOther = {salute};
    d.moveFront = walkMove("advance", r, true, 16);
    d.moveBack = walkMove("retreat", r, false, 14);
    d.jump = jumpMove("jump", r, 100);
    d.land = landMove("land", r);
    d.death = deathMove("death", r, 170);
    d.spawn = spawnMove("spawn", r, raise, 100);
    d.hit = hitReactions(r);

    StatSpec fencer = noModifier();
    StatSpec knight = noModifier();
    knight.endurance = 1;
    knight.speed = -1;
    knight.agility = -1;
    StatSpec ronin = noModifier();
    ronin.cut = 1;
    ronin.speed = 1;
    ronin.life = -1;
    d.stances = {
        {"Fencer", fencer, {kMaterialCloth, kMaterialFlesh}, packColor(70, 130, 230), 190, packColor(230, 200, 60), 190},
        {"Knight", knight, {kMaterialMetal, kMaterialCloth}, packColor(190, 200, 215), 235, packColor(200, 90, 60), 235},
        {"Ronin", ronin, {kMaterialCloth, kMaterialWood}, packColor(150, 40, 60), 160, packColor(40, 150, 140), 160},
    };
    return d;
}

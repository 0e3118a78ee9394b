// The Dancer: two daggers, the fastest hands, long chains and a whirling multi-hit.
#include "class_design.h"
#include "class_kit.h"
#include "sound_ids.h"

namespace {

Build dancerBuild() {
    Build b;
    b.head = HeadStyle::Bandana;
    b.weapon = WeaponKind::Daggers;
    b.weaponButt = 6;
    b.weaponTip = 46;
    b.weaponWidth = 6;
    b.thigh = 50;
    b.shin = 50;
    b.torso = 60;
    b.headRadius = 14;
    b.armWidth = 8;
    b.legWidth = 10;
    b.chestWidth = 26;
    b.hipWidth = 22;
    b.fistRadius = 6.5f;
    b.skin = rgb(240, 220, 204);
    b.cloth = rgb(240, 232, 236);
    b.clothDark = rgb(222, 208, 218);
    b.accent = rgb(250, 190, 190);
    return b;
}

Pose dancerReady() {
    Pose p;
    p.hip = {-2, 94};
    p.lean = 8;
    p.frontFoot = {26, 8};
    p.backFoot = {-32, 10};
    p.backToePointed = false;
    p.frontHand = {50, 132};
    p.backHand = {18, 150};
    p.weaponAngle = -20;
    p.offWeaponAngle = 40;
    return p;
}

Pose lunge(const Pose& ready, float hipX, float hipY, float lean) {
    Pose p = withBody(ready, {hipX, hipY}, lean);
    return withFeet(p, {hipX + 44, 8}, {hipX - 54, 8});
}

Pose blades(Pose p, Vec2 front, float angle, Vec2 back, float offAngle) {
    p = withHands(p, front, back);
    p.weaponAngle = angle;
    p.offWeaponAngle = offAngle;
    return p;
}

MoveSpec stab(int type, int step1, int step2) {
    const Pose r = dancerReady();
    return strikeMove({.name = "stab", .type = type, .windup = blades(withBody(r, {2, 94}, 10), {30, 138}, 0, {16, 150}, 40),
                       .windupLength = 2, .step1 = step1, .blow = blades(lunge(r, 20, 88, 20), {140, 142}, 0, {20, 150}, 50),
                       .blowLength = 2, .step2 = step2, .striker = Striker::Weapon, .damage = 6, .damageType = kDamagePierce,
                       .stun = 10, .push = 6, .holdLength = 2, .returnLength = 3, .recovery = 10, .sound = kPoolDaggerFlick},
                      r);
}

MoveSpec crossCut(int type, bool finisher, int step1, int step2) {
    const Pose r = dancerReady();
    Pose open = blades(withBody(r, {0, 94}, 0), {20, 180}, 120, {-10, 176}, 140);
    open.frontElbowUp = open.backElbowUp = true;
    return strikeMove({.name = finisher ? "scissor finish" : "cross cut", .type = type, .windup = open, .windupLength = 2,
                       .step1 = step1, .blow = blades(lunge(r, 18, 88, 22), {130, 136}, -14, {112, 150}, 10),
                       .blowLength = 2, .step2 = step2, .striker = Striker::BothWeapons, .damage = finisher ? 12 : 8,
                       .damageType = kDamageCut, .stun = 12, .push = finisher ? 40 : 8, .holdLength = 2, .returnLength = 3,
                       .recovery = 12, .sound = kPoolDaggerFlick, .finisher = finisher},
                      r);
}

MoveSpec reverseStab(int type, int step1, int step2) {
    const Pose r = dancerReady();
    Pose coil = blades(withBody(r, {-6, 92}, -6), {30, 140}, -40, {-30, 150}, 180);
    return strikeMove({.name = "reverse stab", .type = type, .windup = coil, .windupLength = 2, .step1 = step1,
                       .blow = blades(lunge(r, 22, 88, 24), {40, 130}, -30, {146, 146}, 2), .blowLength = 2, .step2 = step2,
                       .striker = Striker::OffWeapon, .damage = 7, .damageType = kDamagePierce, .stun = 12, .push = 8,
                       .holdLength = 2, .returnLength = 3, .recovery = 12, .sound = kPoolDaggerFlick},
                      r);
}

MoveSpec risingCut(int type, bool finisher, int step1, int step2) {
    const Pose r = dancerReady();
    Pose low = blades(withBody(r, {0, 74}, 20), {50, 70}, -50, {20, 100}, -60);
    low = withFeet(low, {40, 8}, {-36, 8});
    Pose high = blades(lunge(r, 16, 100, 4), {118, 166}, 35, {90, 150}, 50);
    high.backToePointed = true;
    return strikeMove({.name = finisher ? "rising finish" : "rising cut", .type = type, .windup = low, .windupLength = 2,
                       .step1 = step1, .blow = high, .blowLength = 2, .step2 = step2, .striker = Striker::BothWeapons,
                       .damage = finisher ? 11 : 8, .damageType = kDamageCut, .stun = 14, .push = finisher ? 36 : 8,
                       .holdLength = 3, .returnLength = 4, .recovery = 14, .sound = kPoolDaggerFlick, .finisher = finisher},
                      r);
}

// Slides in low along the floor, the front dagger sweeping the legs.
MoveSpec slideCut(int type, bool finisher, int step1) {
    const Pose r = dancerReady();
    Pose crouch = blades(withBody(r, {-4, 78}, 16), {40, 110}, -10, {10, 130}, 30);
    Pose slide = blades(withBody(r, {14, 50}, 20), {130, 44}, -4, {-20, 80}, 120);
    slide = withFeet(slide, {70, 8}, {-62, 6});
    FrameSpec start = still(crouch, 2);
    start.movement = Step{step1, 0};
    start.sound = kPoolDash;
    FrameSpec go = still(lerpPose(crouch, slide, 0.6f), 2);
    go.movementDelta = Step{14, 0};
    FrameSpec cut = strike(slide, 3, Striker::Weapon, finisher ? 11 : 8, kDamageCut, 14, finisher ? 36 : 8);
    cut.movementDelta = Step{6, 0};
    FrameSpec rise = still(lerpPose(slide, r, 0.5f), 4);
    MoveSpec m = attackMove(finisher ? "slide finish" : "slide cut", type, 14, {start, go, cut, hold(cut, 2), rise});
    m.comboEnd = finisher;
    return m;
}

// Whirlwind: spins on the spot with both blades out; every half turn may cut again.
MoveSpec whirlwind(int type, int step1) {
    const Pose r = dancerReady();
    Pose open = blades(withBody(r, {6, 96}, 6), {136, 146}, 0, {-96, 146}, 180);
    Pose turned = blades(withBody(r, {6, 96}, -6), {-90, 150}, 180, {132, 140}, 0);
    Pose gather = blades(withBody(r, {-2, 90}, 4), {30, 160}, 90, {20, 160}, 90);
    gather.frontElbowUp = gather.backElbowUp = true;
    FrameSpec first = still(gather, 3);
    first.movement = Step{step1, 0};
    first.sound = kPoolSpinWhoosh;
    std::vector<FrameSpec> frames = {first};
    for (int i = 0; i < 5; ++i) {
        const bool even = i % 2 == 0;
        FrameSpec spin = strike(even ? open : turned, 2, even ? Striker::Weapon : Striker::OffWeapon, 4, kDamageCut, 8, 0);
        spin.damageCut = 1;
        spin.canDoNext = i == 4 ? 1 : 0;
        spin.movementDelta = Step{6, 0};
        spin.pushPowerDelta = Step{3, 0};
        spin.windPart = even ? Striker::Weapon : Striker::OffWeapon;
        spin.sound = i % 2 == 1 ? kPoolSpinWhoosh : 0;
        frames.push_back(spin);
    }
    frames.push_back(still(lerpPose(open, r, 0.5f), 4));
    MoveSpec m = attackMove("whirlwind", type, 22, frames);
    m.comboEnd = true;
    return m;
}

}  // namespace

ClassDesign dancerDesign() {
    ClassDesign d;
    d.key = "dancer";
    d.name = "Dancer";
    d.description =
        "A blade dancer with a dagger in each hand. The fastest and the lightest: her chains run five blows long, she "
        "slides under guards and her whirlwind cuts again and again. One good hit and she is gone.";
    d.build = dancerBuild();
    d.stat = StatSpec{3, 9, 9, 3, 3, 4, 6, 6, -1, 0, 8};
    const Pose r = dancerReady();
    d.ready = r;
    d.portrait = blades(withBody(r, {0, 94}, 4), {44, 160}, 70, {20, 150}, 110);

    MoveSpec neutral = withFollowUps(
        stab(4, 20, 15),
        {withFollowUps(stab(4, 6, 6),
                       {withFollowUps(crossCut(5, false, 4, 4), {withFollowUps(risingCut(7, false, 2, 4), {whirlwind(9, 0)})}),
                        slideCut(8, true, 0)}),
         crossCut(5, true, 4, 4)});
    MoveSpec side = withFollowUps(crossCut(5, false, 20, 15), {withFollowUps(reverseStab(6, 8, 8), {risingCut(7, true, 2, 4)}), stab(4, 4, 4)});
    MoveSpec back = withFollowUps(reverseStab(6, 18, 16), {withFollowUps(crossCut(5, false, 4, 4), {whirlwind(9, 0)}), slideCut(8, true, 0)});
    MoveSpec up = withFollowUps(risingCut(7, false, 20, 16), {slideCut(8, true, 0)});
    MoveSpec down = withFollowUps(slideCut(8, false, 16), {risingCut(7, true, 2, 4), withFollowUps(stab(4, 2, 4), {crossCut(5, true, 4, 4)})});
    MoveSpec heavy = withFollowUps(whirlwind(9, 28), {risingCut(7, true, 2, 4)});
    side.followUps[1].comboEnd = true;
    d.attacks = {neutral, side, back, up, down, heavy};

    d.idle = idleMove("idle", r, 5);
    MoveSpec flip;
    flip.name = "dagger flip";
    flip.type = 1;
    flip.looped = true;
    flip.frames = {still(r, 6), still(blades(r, {50, 150}, 60, {18, 150}, 40), 3), still(blades(r, {50, 160}, 150, {18, 150}, 40), 3),
                   still(blades(r, {50, 150}, 260, {18, 150}, 40), 3), still(r, 8)};
    d.idleOther = {flip};
    d.moveFront = walkMove("glide forward", r, true, 18);
    d.moveBack = walkMove("glide back", r, false, 16);
    d.jump = jumpMove("jump", r, 80);
    d.land = landMove("land", r);
    d.death = deathMove("death", r, 190);
    Pose bow = blades(withBody(r, {0, 90}, 24), {40, 110}, -70, {-30, 130}, 200);
    d.spawn = spawnMove("spawn", r, bow, 80);
    d.hit = hitReactions(r);

    StatSpec shadow = noModifier();
    StatSpec viper = noModifier();
    viper.pierce = 1;
    viper.strength = 1;
    StatSpec silk = noModifier();
    silk.agility = 1;
    silk.speed = 1;
    silk.life = -1;
    StatSpec veil = noModifier();
    veil.endurance = 1;
    veil.cut = -1;
    veil.speed = -1;
    d.stances = {
        {"Shadow", shadow, {kMaterialCloth, kMaterialFlesh}, packColor(110, 60, 160), 150, packColor(230, 160, 40), 150},
        {"Viper", viper, {kMaterialFlesh, kMaterialCloth}, packColor(60, 190, 70), 180, packColor(200, 60, 160), 180},
        {"Silk", silk, {kMaterialCloth, kMaterialCloth}, packColor(240, 110, 170), 130, packColor(60, 170, 220), 130},
        {"Veil", veil, {kMaterialCloth, kMaterialMetal}, packColor(40, 40, 60), 220, packColor(220, 220, 240), 220},
    };
    return d;
}

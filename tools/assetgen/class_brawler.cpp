// The Brawler: bare fists, short reach, quick chains, a clinch with knees and a throw.
#include "class_design.h"
#include "class_kit.h"
#include "sound_ids.h"

namespace {

constexpr int kBlunt = kDamageBlunt;

Build brawlerBuild() {
    Build b;
    b.head = HeadStyle::Crop;
    b.weapon = WeaponKind::None;
    b.upperArm = 46;
    b.forearm = 44;
    b.armWidth = 12;
    b.legWidth = 13;
    b.chestWidth = 36;
    b.hipWidth = 25;
    b.fistRadius = 9.5f;
    b.skin = rgb(244, 224, 204);
    b.cloth = rgb(236, 236, 230);
    b.clothDark = rgb(206, 212, 226);
    b.accent = rgb(250, 232, 196);
    return b;
}

Pose brawlerReady() {
    Pose p;
    p.hip = {-2, 90};
    p.lean = 8;
    p.frontFoot = {30, 8};
    p.backFoot = {-34, 8};
    p.frontHand = {42, 150};
    p.backHand = {24, 141};
    return p;
}

// A forward lunge: front foot planted ahead, hips low, shoulders forward.
Pose lunge(const Pose& ready, float hipX, float lean) {
    Pose p = withBody(ready, {hipX, 84}, lean);
    return withFeet(p, {hipX + 42, 8}, {hipX - 52, 8});
}

MoveSpec jab(int type, int step1, int step2) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = "jab";
    s.type = type;
    s.windup = withHands(withBody(r, {6, 88}, 12), {36, 148}, {24, 141});
    s.windup.frontFoot = {46, 8};
    s.windupLength = 2;
    s.step1 = step1;
    s.blow = withHands(lunge(r, 24, 22), {175, 150}, {40, 142});
    s.step2 = step2;
    s.striker = Striker::FrontFist;
    s.damage = 7;
    s.damageType = kBlunt;
    s.stun = 11;
    s.push = 8;
    s.recovery = 12;
    s.sound = kPoolWhooshLight;
    return strikeMove(s, r);
}

MoveSpec cross(int type, int step1, int step2) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = "cross";
    s.type = type;
    s.windup = withHands(withBody(r, {10, 86}, 16), {40, 146}, {28, 142});
    s.step1 = step1;
    s.blow = withHands(lunge(r, 26, 26), {50, 140}, {190, 150});
    s.step2 = step2;
    s.striker = Striker::BackFist;
    s.damage = 9;
    s.damageType = kBlunt;
    s.stun = 13;
    s.push = 10;
    s.holdLength = 3;
    s.recovery = 14;
    s.sound = kPoolWhooshLight;
    return strikeMove(s, r);
}

MoveSpec hook(int type) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = "hook";
    s.type = type;
    s.windup = withHands(withBody(r, {4, 88}, 4), {10, 156}, {30, 146});
    s.windup.frontElbowUp = true;
    s.step1 = 14;
    s.blow = withHands(lunge(r, 20, 30), {150, 160}, {36, 140});
    s.blow.frontElbowUp = true;
    s.step2 = 12;
    s.striker = Striker::FrontFist;
    s.damage = 10;
    s.damageType = kBlunt;
    s.stun = 14;
    s.push = 12;
    s.holdLength = 3;
    s.recovery = 16;
    s.sound = kPoolWhooshHeavy;
    return strikeMove(s, r);
}

MoveSpec uppercut(int type, bool finisher, int step1, int step2) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = finisher ? "rising uppercut" : "uppercut";
    s.type = type;
    s.windup = withHands(withBody(r, {8, 70}, 22), {54, 98}, {30, 140});
    s.windup = withFeet(s.windup, {52, 8}, {-32, 8});
    s.step1 = step1;
    Pose up = withBody(r, {28, 98}, 6);
    up = withFeet(up, {60, 8}, {-20, 14});
    up.backToePointed = true;
    s.blow = withHands(up, {150, 210}, {40, 138});
    s.step2 = step2;
    s.striker = Striker::FrontFist;
    s.damage = finisher ? 14 : 11;
    s.damageType = kBlunt;
    s.stun = finisher ? 18 : 15;
    s.push = finisher ? 40 : 14;
    s.holdLength = 3;
    s.returnLength = 5;
    s.recovery = 18;
    s.sound = kPoolWhooshHeavy;
    s.finisher = finisher;
    return strikeMove(s, r);
}

MoveSpec haymaker(int type, int step1, int step2) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = "haymaker";
    s.type = type;
    // Big wind-up: the back fist drawn far behind the head.
    Pose wind = withBody(r, {-8, 86}, -10);
    s.windup = withHands(wind, {40, 150}, {-40, 176});
    s.windup.backElbowUp = true;
    s.windupLength = 6;
    s.step1 = step1;
    Pose swing = lunge(r, 30, 32);
    s.blow = withHands(swing, {40, 128}, {200, 146});
    s.step2 = step2;
    s.striker = Striker::BackFist;
    s.damage = 19;
    s.damageType = kBlunt;
    s.stun = 20;
    s.push = 55;
    s.holdLength = 4;
    s.returnLength = 6;
    s.recovery = 30;
    s.sound = kPoolChargeUp;
    s.finisher = true;
    MoveSpec m = strikeMove(s, r);
    m.frames[1].sound = kPoolWhooshHeavy;
    return m;
}

MoveSpec lowKick(int type, int step) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = "low kick";
    s.type = type;
    s.windup = withBody(r, {2, 88}, -4);
    s.windup.frontFoot = {40, 40};
    s.step1 = step;
    Pose kick = withBody(r, {10, 88}, -16);
    kick = withFeet(kick, {134, 30}, {-40, 8});
    kick.frontToePointed = true;
    s.blow = withHands(kick, {40, 156}, {16, 146});
    s.step2 = 16;
    s.striker = Striker::FrontFoot;
    s.damage = 8;
    s.damageType = kBlunt;
    s.stun = 13;
    s.push = 10;
    s.recovery = 14;
    s.sound = kPoolWhooshLight;
    return strikeMove(s, r);
}

MoveSpec stomp(int type) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = "stomp kick";
    s.type = type;
    Pose chamber = withBody(r, {0, 94}, -6);
    chamber = withFeet(chamber, {44, 70}, {-30, 8});
    s.windup = chamber;
    s.windupLength = 4;
    s.step1 = 12;
    Pose push = withBody(r, {6, 92}, -18);
    push = withFeet(push, {130, 74}, {-36, 8});
    s.blow = withHands(push, {36, 160}, {10, 150});
    s.step2 = 14;
    s.striker = Striker::FrontFoot;
    s.damage = 13;
    s.damageType = kBlunt;
    s.stun = 16;
    s.push = 50;
    s.holdLength = 3;
    s.returnLength = 5;
    s.recovery = 20;
    s.sound = kPoolWhooshHeavy;
    s.finisher = true;
    return strikeMove(s, r);
}

MoveSpec hammerFist(int type) {
    const Pose r = brawlerReady();
    StrikePlan s;
    s.name = "hammer fist";
    s.type = type;
    Pose up = withBody(r, {6, 94}, -6);
    s.windup = withHands(up, {40, 200}, {20, 150});
    s.windup.frontElbowUp = true;
    s.windupLength = 4;
    s.step1 = 10;
    Pose down = withBody(r, {22, 80}, 34);
    down = withFeet(down, {62, 8}, {-30, 8});
    s.blow = withHands(down, {140, 96}, {36, 130});
    s.blow.frontElbowUp = true;
    s.step2 = 12;
    s.striker = Striker::FrontFist;
    s.damage = 13;
    s.damageType = kBlunt;
    s.stun = 18;
    s.push = 36;
    s.holdLength = 3;
    s.recovery = 18;
    s.sound = kPoolWhooshHeavy;
    s.finisher = true;
    return strikeMove(s, r);
}

// Clinch: both hands reach out and catch; the defender is pulled in front, kneed twice (each
// knee may land, the list of touched fighters being cleared), then shoved away.
MoveSpec clinch(int type) {
    const Pose r = brawlerReady();
    Pose reach = withHands(lunge(r, 22, 24), {170, 150}, {150, 140});
    FrameSpec grab = strike(reach, 3, Striker::FrontFist, 3, kBlunt, 12, 0);
    grab.movement = Step{36, 0};
    grab.grab = 1;
    grab.moveTargetTo = Step{0, 0};
    grab.canDoNext = 0;
    grab.sound = kPoolGrab;
    grab.wind = Wind::None;
    FrameSpec windup = still(withHands(withBody(r, {8, 88}, 14), {70, 150}, {56, 146}), 3);
    windup.movement = Step{20, 0};
    // Hands on the opponent's shoulders, 100 px ahead of the feet.
    Pose holdPose = withHands(withBody(r, {6, 90}, 14), {84, 150}, {76, 146});
    FrameSpec pull = strike(holdPose, 3, Striker::FrontFist, 0, kBlunt, 0, 0);
    pull.needCatch = 1;
    pull.grab = 1;
    pull.canDoNext = 0;
    pull.wind = Wind::None;
    Pose kneePose = withFeet(withBody(holdPose, {10, 94}, 4), {70, 96}, {-26, 8});
    FrameSpec knee = strike(kneePose, 3, Striker::FrontKnee, 6, kBlunt, 12, 0);
    knee.grab = 1;
    knee.damageCut = 1;
    knee.canDoNext = 0;
    knee.sound = kPoolWhooshLight;
    knee.wind = Wind::None;
    FrameSpec again = knee;
    FrameSpec between = strike(holdPose, 2, Striker::FrontFist, 0, kBlunt, 0, 0);
    between.grab = 1;
    between.canDoNext = 0;
    between.wind = Wind::None;
    Pose shove = withHands(lunge(r, 20, 22), {150, 146}, {140, 140});
    FrameSpec throwFrame = strike(shove, 4, Striker::FrontFist, 9, kBlunt, 18, 60);
    throwFrame.damageCut = 1;
    throwFrame.shake = 1;
    throwFrame.movementDelta = Step{6, 0};
    throwFrame.movementDNeedCatch = 1;
    throwFrame.sound = kPoolSlam;
    FrameSpec after = still(lerpPose(shove, r, 0.5f), 5);
    after.canDoNext = 1;
    MoveSpec m = attackMove("clinch", type, 24, {windup, grab, pull, knee, between, again, throwFrame, after});
    m.frames[5].sound = 0;
    return m;
}

}  // namespace

ClassDesign brawlerDesign() {
    ClassDesign d;
    d.key = "brawler";
    d.name = "Brawler";
    d.description =
        "A street fighter who trusts his fists. Short reach, but every blow steps in, and his chains of jabs, crosses "
        "and hooks end in uppercuts and haymakers. Gets hold of you in a clinch, knees you twice and throws you away.";
    d.build = brawlerBuild();
    d.stat = StatSpec{7, 6, 6, 5, 6, 6, -1, -1, 7, 0, 3};
    // Every blow steps in, and most of the step is taken back as the fist returns.
    d.tuning.stun = 0.85;
    d.tuning.stepBack = 0.6;
    const Pose r = brawlerReady();
    d.ready = r;
    d.portrait = withHands(withBody(r, {0, 92}, 6), {52, 158}, {34, 150});

    // First attacks and their follow-ups (combo trees).
    MoveSpec neutral = withFollowUps(
        jab(4, 24, 22),
        {withFollowUps(cross(4, 14, 12), {withFollowUps(hook(4), {uppercut(7, true, 10, 8)}), haymaker(9, 8, 10)}),
         lowKick(8, 10)});
    MoveSpec side = withFollowUps(cross(5, 30, 26), {withFollowUps(hook(4), {uppercut(7, true, 10, 8)}), stomp(7)});
    MoveSpec back = withFollowUps(clinch(6), {haymaker(9, 0, 10), jab(4, 10, 8)});
    MoveSpec up = withFollowUps(uppercut(7, false, 34, 30), {hammerFist(8), haymaker(9, 6, 8)});
    MoveSpec down = withFollowUps(lowKick(8, 46), {stomp(8), uppercut(7, true, 12, 10)});
    MoveSpec heavy = withFollowUps(haymaker(9, 34, 30), {stomp(8)});
    d.attacks = {neutral, side, back, up, down, heavy};

    d.idle = idleMove("idle", r, 5);
    // Shadow boxing: a quick one-two in the air.
    MoveSpec shadow;
    shadow.name = "shadow boxing";
    shadow.type = 1;
    shadow.looped = true;
    shadow.frames = {still(r, 6), still(withHands(r, {96, 152}, {24, 141}), 3), still(r, 3),
                     still(withHands(withBody(r, {2, 90}, 14), {40, 146}, {100, 150}), 3), still(r, 8)};
    MoveSpec bounce = idleMove("bounce", movedPose(r, 0, 0), 9);
    d.idleOther = {shadow, bounce};
    d.moveFront = walkMove("walk forward", r, true, 14);
    d.moveBack = walkMove("walk back", r, false, 12);
    d.jump = jumpMove("jump", r, 0);
    d.land = landMove("land", r);
    d.death = deathMove("death", r, 0);
    Pose flex = withHands(withBody(r, {0, 92}, -4), {40, 190}, {-10, 188});
    flex.frontElbowUp = flex.backElbowUp = true;
    d.spawn = spawnMove("spawn", r, flex, 0);
    d.hit = hitReactions(r);

    StatSpec boxer = noModifier();
    boxer.speed = 1;
    boxer.agility = 1;
    boxer.weight = -1;
    StatSpec iron = noModifier();
    iron.strength = 1;
    iron.blunt = 1;
    iron.speed = -1;
    iron.agility = -1;
    StatSpec street = noModifier();
    d.stances = {
        {"Street", street, {kMaterialFlesh, kMaterialCloth}, packColor(232, 120, 60), 200, packColor(90, 170, 240), 200},
        {"Boxer", boxer, {kMaterialCloth, kMaterialFlesh}, packColor(220, 50, 60), 170, packColor(60, 200, 120), 170},
        {"Iron fist", iron, {kMaterialMetal, kMaterialFlesh}, packColor(150, 160, 180), 230, packColor(200, 170, 60), 230},
    };
    return d;
}

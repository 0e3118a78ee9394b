// The Warden: a hooded sickle fighter shown in the menus, still to be added to the game.
#include "class_design.h"
#include "class_kit.h"
#include "sound_ids.h"

ClassDesign wardenDesign() {
    ClassDesign d;
    d.key = "warden";
    d.name = "Warden";
    d.description =
        "A hooded keeper of the old gates, with a sickle in each hand and a chain between them. Still in training: "
        "the Warden will join the fight in a later version.";
    d.toBeAdded = true;
    Build b;
    b.head = HeadStyle::Hood;
    b.weapon = WeaponKind::Sickle;
    b.weaponButt = 8;
    b.weaponTip = 40;
    b.weaponWidth = 9;
    b.armWidth = 10;
    b.legWidth = 12;
    b.chestWidth = 30;
    b.cloth = rgb(222, 226, 218);
    b.clothDark = rgb(196, 204, 192);
    b.accent = rgb(216, 226, 240);
    d.build = b;
    d.stat = StatSpec{6, 6, 5, 5, 6, 5, 6, 3, -1, 3, 7};
    Pose p;
    p.hip = {-4, 92};
    p.lean = 6;
    p.frontFoot = {28, 8};
    p.backFoot = {-38, 8};
    p.frontHand = {44, 150};
    p.backHand = {20, 160};
    p.weaponAngle = 100;
    p.offWeaponAngle = 120;
    d.ready = p;
    d.portrait = p;
    StatSpec gate = noModifier();
    StatSpec chain = noModifier();
    chain.reach = 0;
    chain.speed = 1;
    chain.endurance = -1;
    d.stances = {
        {"Gatekeeper", gate, {kMaterialCloth, kMaterialMetal}, packColor(90, 120, 90), 200, packColor(180, 120, 200), 200},
        {"Chain", chain, {kMaterialMetal, kMaterialCloth}, packColor(160, 170, 190), 220, packColor(200, 120, 60), 220},
    };
    return d;
}

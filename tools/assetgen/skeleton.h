// Stick-figure skeleton of the fighters: proportions, poses, two-bone solving and placement.
#pragma once

#include <string>

#include "raster.h"

// Figure space: pixels, origin at the feet reference point on the floor, x forward (towards the
// opponent), y up. Pictures are drawn facing left, so figure x maps to canvas -x (see View).

// What a class holds in its hands.
enum class WeaponKind { None, Sword, Spear, Hammer, Daggers, Sickle };

// Head decorations that shape a class's silhouette.
enum class HeadStyle { Crop, Ponytail, Helmet, Hood, Bandana, Topknot };

// Proportions and look of one class's figure (lengths in px).
struct Build {
    float thigh = 50;
    float shin = 50;
    float torso = 64;     // hip to the base of the neck
    float neck = 7;
    float headRadius = 15;
    float upperArm = 44;
    float forearm = 42;
    float fistRadius = 8;
    float footLength = 19;
    float legWidth = 12;  // full thickness of thigh and shin
    float armWidth = 10;
    float hipWidth = 24;
    float chestWidth = 30;
    float shoulderDepth = 5;  // the front shoulder sits this far ahead of the back one
    HeadStyle head = HeadStyle::Crop;
    WeaponKind weapon = WeaponKind::None;
    // Weapon dimensions along its axis, measured from the front hand: behind it (butt) and ahead
    // of it (tip). For daggers both hands hold one of these.
    float weaponButt = 0;
    float weaponTip = 0;
    float weaponWidth = 6;
    float gripGap = 38;       // two-handed weapons: back hand this far behind the front hand
    bool twoHanded = false;
    // Light colours; the game covers the figure with a tint, so these only show through.
    Color skin = rgb(240, 222, 200);
    Color cloth = rgb(226, 230, 238);
    Color clothDark = rgb(196, 202, 214);
    Color accent = rgb(250, 214, 150);
    Color metal = rgb(236, 240, 248);
    Color wood = rgb(222, 196, 160);
};

// A pose by targets: the solver bends elbows and knees so that hands and feet reach them.
struct Pose {
    Vec2 hip{0, 92};          // pelvis centre
    float lean = 0;           // torso angle from upright, degrees, + forward
    float headTilt = 0;       // head angle relative to the torso, degrees, + forward
    Vec2 frontHand{36, 142};  // centre of the front fist
    Vec2 backHand{18, 132};
    Vec2 frontFoot{26, 8};    // ankle of the front foot
    Vec2 backFoot{-30, 8};
    float weaponAngle = 45;   // degrees, 0 forward, 90 up (front hand's weapon)
    float offWeaponAngle = 45;  // second dagger or sickle in the back hand
    bool frontElbowUp = false;  // bend the elbow upwards instead of down
    bool backElbowUp = false;
    bool frontToePointed = false;  // kicking foot: toes along the shin
    bool backToePointed = false;
    float scale = 1;          // whole figure scale about the feet point (spawn flash, depth)
};

// Solved joint positions in figure space.
struct Rig {
    Vec2 hip, neck, headCentre;
    Vec2 frontShoulder, frontElbow, frontHand;
    Vec2 backShoulder, backElbow, backHand;
    Vec2 frontKnee, frontAnkle, frontToe;
    Vec2 backKnee, backAnkle, backToe;
    Vec2 weaponButt, weaponTip;  // front hand's weapon (equal to the hand when none)
    Vec2 offButt, offTip;        // back hand's weapon
    float headAngle = 0;         // radians from upright, + forward
};

// Two-bone solve: from root towards target with bone lengths a then b; the middle joint is
// placed on the side given by `bendSign` (+1 counter-clockwise of the root->target line).
// Targets out of reach are pulled onto the reachable ring. Returns the middle joint and writes
// the end point actually reached.
Vec2 solveTwoBone(Vec2 root, Vec2 target, float a, float b, float bendSign, Vec2* reached);

// Places every joint of the pose.
Rig solvePose(const Build& build, const Pose& pose);

// Blend of two poses (t = 0 gives a, 1 gives b); flags come from the nearer pose.
Pose lerpPose(const Pose& a, const Pose& b, float t);
// The same pose moved by (dx, dy) in figure space (whole body).
Pose movedPose(const Pose& pose, float dx, float dy);

// A stable text key of a pose (used to share identical pictures).
std::string poseKey(const Pose& pose);

// How figure space lands on a canvas: canvas = origin + (mirror ? x : -x, -y) * scale.
// Frame pictures face left (mirror false).
struct View {
    Vec2 origin;
    float scale = 1;
    bool faceRight = false;
};

Vec2 toCanvas(const View& view, Vec2 p);

// Axis-aligned box of every joint and weapon end of the rig, in figure space, grown by margin.
struct FigureBox {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
};
FigureBox rigBox(const Build& build, const Rig& rig, float margin);

// Rotation helpers in figure space (degrees, counter-clockwise with y up).
Vec2 direction(float degrees);
float lengthOf(Vec2 v);

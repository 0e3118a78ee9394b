// Drawing of posed fighters: body, head gear, weapons, hit masks and wind trails.
#pragma once

#include <vector>

#include "skeleton.h"

// The part of the figure that strikes on a hitting frame (what its hit mask holds).
enum class Striker { None, FrontFist, BackFist, FrontFoot, BackFoot, FrontKnee, Weapon, WeaponButt, OffWeapon, BothWeapons, Shoulder, Head };

// Draws the whole figure (every pixel of the body opaque, soft edges, thin gaps between limbs
// that overlap so the pose reads as a flat silhouette too).
void drawFighter(Image& canvas, const View& view, const Build& build, const Rig& rig);
// Draws only the striking part, opaque.
void drawStriker(Image& canvas, const View& view, const Build& build, const Rig& rig, Striker striker);

// A picture cropped to its visible pixels (1 px margin) with the feet point in its pixels
// (file orientation: facing left). The point may lie outside the picture.
struct Picture {
    Image image;
    int feetU = 0;
    int feetV = 0;
};

Picture renderBodyPicture(const Build& build, const Pose& pose);
Picture renderMaskPicture(const Build& build, const Pose& pose, Striker striker);

// A wind trail: the band swept by the striking part from one pose to the next, pale and
// fading towards its old end. `fade` scales its opacity (later frames of the wind animation);
// `from` is already moved to where it was drawn relative to the current feet point.
Picture renderTrailPicture(const Build& build, const Pose& from, const Pose& to, Striker part, float fade);
// A small star of light at the weapon's tip (idle gleam), `size` 0..1.
Picture renderGlintPicture(const Build& build, const Pose& pose, float size);

// The tip of the striking part in figure space (the furthest point ahead), for reach sums.
float strikerFront(const Build& build, const Rig& rig, Striker striker);

// Frontmost column of pixels at least half opaque, as a distance ahead of the feet point
// (file orientation: ahead is to the left). Very negative when the picture is empty.
int frontReach(const Picture& picture);

// Stick-figure skeleton of the fighters: proportions, poses, two-bone solving and placement.
#include "skeleton.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kDegree = 3.14159265f / 180.0f;

Vec2 rotate(Vec2 v, float radians) {
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

Vec2 normalised(Vec2 v) {
    const float l = lengthOf(v);
    return l > 1e-6f ? v * (1.0f / l) : Vec2{1, 0};
}

float lerp(float a, float b, float t) { return a + (b - a) * t; }
Vec2 lerp(Vec2 a, Vec2 b, float t) { return {lerp(a.x, b.x, t), lerp(a.y, b.y, t)}; }

// Where the toes point: flat on the floor when the ankle is low, along the shin when pointed,
// otherwise at right angles to the shin, forwards.
Vec2 toeOf(const Build& build, Vec2 knee, Vec2 ankle, bool pointed) {
    const Vec2 shin = normalised(ankle - knee);
    if (pointed) return ankle + shin * build.footLength;
    if (ankle.y < 14 && shin.y < -0.5f) return {ankle.x + build.footLength, std::min(ankle.y, 3.0f)};
    Vec2 side{-shin.y, shin.x};
    if (side.x < 0) side = side * -1.0f;
    return ankle + side * build.footLength;
}

}  // namespace

Vec2 direction(float degrees) { return {std::cos(degrees * kDegree), std::sin(degrees * kDegree)}; }

float lengthOf(Vec2 v) { return std::sqrt(v.x * v.x + v.y * v.y); }

Vec2 solveTwoBone(Vec2 root, Vec2 target, float a, float b, float bendSign, Vec2* reached) {
    Vec2 toTarget = target - root;
    float d = lengthOf(toTarget);
    const Vec2 dir = normalised(toTarget);
    // Keep a hint of bend even at full stretch so joints never snap straight through.
    const float maxReach = (a + b) * 0.995f;
    const float minReach = std::fabs(a - b) + 1.0f;
    d = std::clamp(d, minReach, maxReach);
    const Vec2 end = root + dir * d;
    const float cosAngle = std::clamp((a * a + d * d - b * b) / (2 * a * d), -1.0f, 1.0f);
    const float angle = std::acos(cosAngle) * (bendSign >= 0 ? 1.0f : -1.0f);
    if (reached) *reached = end;
    return root + rotate(dir, angle) * a;
}

Rig solvePose(const Build& build, const Pose& pose) {
    Rig rig;
    const float lean = pose.lean * kDegree;
    const Vec2 up{std::sin(lean), std::cos(lean)};
    const Vec2 forward{up.y, -up.x};
    rig.hip = pose.hip;
    rig.neck = rig.hip + up * build.torso;
    rig.headAngle = lean + pose.headTilt * kDegree;
    const Vec2 headUp{std::sin(rig.headAngle), std::cos(rig.headAngle)};
    rig.headCentre = rig.neck + headUp * (build.neck + build.headRadius);

    const Vec2 shoulderBase = rig.neck - up * 5.0f;
    rig.frontShoulder = shoulderBase + forward * (build.shoulderDepth * 0.5f);
    rig.backShoulder = shoulderBase - forward * (build.shoulderDepth * 0.5f);

    // Front arm (and its weapon).
    const Vec2 weaponDir = direction(pose.weaponAngle);
    rig.frontElbow = solveTwoBone(rig.frontShoulder, pose.frontHand, build.upperArm, build.forearm,
                                  pose.frontElbowUp ? 1.0f : -1.0f, &rig.frontHand);
    if (build.weapon == WeaponKind::None) {
        rig.weaponButt = rig.weaponTip = rig.frontHand;
    } else {
        rig.weaponTip = rig.frontHand + weaponDir * build.weaponTip;
        rig.weaponButt = rig.frontHand - weaponDir * build.weaponButt;
    }
    // Back arm: on the shaft of a two-handed weapon, else at its own target.
    const Vec2 backTarget = build.twoHanded ? rig.frontHand - weaponDir * build.gripGap : pose.backHand;
    rig.backElbow = solveTwoBone(rig.backShoulder, backTarget, build.upperArm, build.forearm,
                                 pose.backElbowUp ? 1.0f : -1.0f, &rig.backHand);
    if (build.weapon == WeaponKind::Daggers || build.weapon == WeaponKind::Sickle) {
        const Vec2 offDir = direction(pose.offWeaponAngle);
        rig.offTip = rig.backHand + offDir * build.weaponTip;
        rig.offButt = rig.backHand - offDir * build.weaponButt;
    } else {
        rig.offTip = rig.offButt = rig.backHand;
    }

    // Legs: knees always bend forwards (counter-clockwise of hip->ankle).
    const Vec2 frontHip = rig.hip + forward * 2.0f;
    const Vec2 backHip = rig.hip - forward * 2.0f;
    rig.frontKnee = solveTwoBone(frontHip, pose.frontFoot, build.thigh, build.shin, 1.0f, &rig.frontAnkle);
    rig.backKnee = solveTwoBone(backHip, pose.backFoot, build.thigh, build.shin, 1.0f, &rig.backAnkle);
    rig.frontToe = toeOf(build, rig.frontKnee, rig.frontAnkle, pose.frontToePointed);
    rig.backToe = toeOf(build, rig.backKnee, rig.backAnkle, pose.backToePointed);

    if (pose.scale != 1.0f) {
        for (Vec2* p : {&rig.hip, &rig.neck, &rig.headCentre, &rig.frontShoulder, &rig.frontElbow, &rig.frontHand,
                        &rig.backShoulder, &rig.backElbow, &rig.backHand, &rig.frontKnee, &rig.frontAnkle, &rig.frontToe,
                        &rig.backKnee, &rig.backAnkle, &rig.backToe, &rig.weaponButt, &rig.weaponTip, &rig.offButt,
                        &rig.offTip}) {
            *p = *p * pose.scale;
        }
    }
    return rig;
}

Pose lerpPose(const Pose& a, const Pose& b, float t) {
    Pose p = t < 0.5f ? a : b;
    p.hip = lerp(a.hip, b.hip, t);
    p.lean = lerp(a.lean, b.lean, t);
    p.headTilt = lerp(a.headTilt, b.headTilt, t);
    p.frontHand = lerp(a.frontHand, b.frontHand, t);
    p.backHand = lerp(a.backHand, b.backHand, t);
    p.frontFoot = lerp(a.frontFoot, b.frontFoot, t);
    p.backFoot = lerp(a.backFoot, b.backFoot, t);
    p.weaponAngle = lerp(a.weaponAngle, b.weaponAngle, t);
    p.offWeaponAngle = lerp(a.offWeaponAngle, b.offWeaponAngle, t);
    p.scale = lerp(a.scale, b.scale, t);
    return p;
}

Pose movedPose(const Pose& pose, float dx, float dy) {
    Pose p = pose;
    const Vec2 d{dx, dy};
    p.hip = p.hip + d;
    p.frontHand = p.frontHand + d;
    p.backHand = p.backHand + d;
    p.frontFoot = p.frontFoot + d;
    p.backFoot = p.backFoot + d;
    return p;
}

std::string poseKey(const Pose& p) {
    char text[400];
    std::snprintf(text, sizeof text, "%.2f,%.2f|%.2f|%.2f|%.2f,%.2f|%.2f,%.2f|%.2f,%.2f|%.2f,%.2f|%.2f|%.2f|%d%d%d%d|%.3f",
                  double(p.hip.x), double(p.hip.y), double(p.lean), double(p.headTilt), double(p.frontHand.x),
                  double(p.frontHand.y), double(p.backHand.x), double(p.backHand.y), double(p.frontFoot.x),
                  double(p.frontFoot.y), double(p.backFoot.x), double(p.backFoot.y), double(p.weaponAngle),
                  double(p.offWeaponAngle), int(p.frontElbowUp), int(p.backElbowUp), int(p.frontToePointed),
                  int(p.backToePointed), double(p.scale));
    return text;
}

Vec2 toCanvas(const View& view, Vec2 p) {
    return {view.origin.x + (view.faceRight ? p.x : -p.x) * view.scale, view.origin.y - p.y * view.scale};
}

FigureBox rigBox(const Build& build, const Rig& rig, float margin) {
    FigureBox box{1e9f, 1e9f, -1e9f, -1e9f};
    auto add = [&](Vec2 p, float r) {
        box.minX = std::min(box.minX, p.x - r);
        box.maxX = std::max(box.maxX, p.x + r);
        box.minY = std::min(box.minY, p.y - r);
        box.maxY = std::max(box.maxY, p.y + r);
    };
    const float head = build.headRadius * 2.2f;
    add(rig.headCentre, head);
    for (Vec2 p : {rig.hip, rig.neck, rig.frontShoulder, rig.frontElbow, rig.frontHand, rig.backShoulder, rig.backElbow,
                   rig.backHand, rig.frontKnee, rig.frontAnkle, rig.frontToe, rig.backKnee, rig.backAnkle, rig.backToe}) {
        add(p, build.chestWidth);
    }
    for (Vec2 p : {rig.weaponButt, rig.weaponTip, rig.offButt, rig.offTip}) add(p, 34.0f);
    box.minX -= margin;
    box.minY -= margin;
    box.maxX += margin;
    box.maxY += margin;
    return box;
}

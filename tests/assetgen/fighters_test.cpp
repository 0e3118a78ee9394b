// Fighter generator: skeleton maths, picture placement, the roster's data invariants and reach.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "class_builder.h"
#include "class_picture.h"
#include "fighter_classes.h"
#include "frame_geometry.h"
#include "png_writer.h"
#include "sound_ids.h"

namespace {

// World x of the feet for a picture placed by `shift.x`, facing left (as drawn) or right
// (mirrored), following the game's drawing rule.
double feetWorldX(int shiftX, int width, int feetU, bool faceRight) {
    if (!faceRight) return (shiftX % 1000) + feetU;
    // The thousands carry the right-facing offset (read as a whole number of px).
    return shiftX / 1000 + (width - 1 - feetU);
}

}  // namespace

TEST(Skeleton, ShiftFormulaPutsTheFeetWhereTheFightExpectsThemInBothFacings) {
    EXPECT_EQ(placementFor(261, 130, 195).shiftX, 350450);
    EXPECT_EQ(placementFor(261, 130, 195).shiftY, 425);
    for (int width : {40, 161, 300, 457}) {
        for (int u : {-30, 0, 20, width / 2, width - 1, width + 40}) {
            if (!placementFits(width, u)) continue;
            const FramePlacement p = placementFor(width, u, 10);
            EXPECT_EQ(feetWorldX(p.shiftX, width, u, false), 580) << width << " " << u;
            EXPECT_EQ(feetWorldX(p.shiftX, width, u, true), 480) << width << " " << u;
        }
    }
    EXPECT_FALSE(placementFits(600, 10));  // too much picture behind the feet
}

TEST(Skeleton, TwoBoneSolveReachesTargetsInReachAndStretchesTowardsOthers) {
    Vec2 reached;
    const Vec2 mid = solveTwoBone({0, 0}, {50, 30}, 40, 40, -1, &reached);
    EXPECT_NEAR(reached.x, 50, 0.01);
    EXPECT_NEAR(reached.y, 30, 0.01);
    EXPECT_NEAR(lengthOf(mid), 40, 0.01);
    EXPECT_NEAR(lengthOf(reached - mid), 40, 0.01);
    // The two bend directions give mirror-image middle joints.
    const Vec2 other = solveTwoBone({0, 0}, {50, 30}, 40, 40, 1, nullptr);
    EXPECT_GT(std::fabs(other.y - mid.y), 10);
    // Out of reach: the end lies on the line to the target, almost fully stretched.
    solveTwoBone({0, 0}, {300, 0}, 40, 40, 1, &reached);
    EXPECT_NEAR(reached.y, 0, 0.01);
    EXPECT_GT(reached.x, 79);
    EXPECT_LT(reached.x, 80.01);
}

TEST(Skeleton, LegsReachTheirFeetAndKneesBendForward) {
    Build b;
    Pose p;
    const Rig r = solvePose(b, p);
    EXPECT_NEAR(r.frontAnkle.x, p.frontFoot.x, 0.5);
    EXPECT_NEAR(r.backAnkle.y, p.backFoot.y, 0.5);
    EXPECT_GT(r.frontKnee.x, (r.hip.x + r.frontAnkle.x) / 2);
    EXPECT_GT(r.headCentre.y, 170);  // a standing figure is about 190 px tall
    EXPECT_LT(r.headCentre.y + b.headRadius, 200);
}

TEST(Skeleton, CroppedBodyKeepsTheFeetPointOnTheSoles) {
    Build b;
    Pose p;
    const Picture pic = renderBodyPicture(b, p);
    ASSERT_GT(pic.image.width, 20);
    // The lowest opaque row is the floor at the feet point (the soles touch y = 0).
    int lowest = -1;
    for (int y = 0; y < pic.image.height; ++y) {
        for (int x = 0; x < pic.image.width; ++x) {
            if (pixelAt(pic.image, x, y).a > 0.5f) lowest = y;
        }
    }
    EXPECT_NEAR(lowest, pic.feetV, 2);
    // The figure faces left in the file: the front foot lies left of the feet point.
    EXPECT_GT(pic.feetU, 10);
    EXPECT_LT(pic.feetU, pic.image.width - 10);
    // The 1 px margin is transparent.
    for (int x = 0; x < pic.image.width; ++x) EXPECT_EQ(pixelAt(pic.image, x, 0).a, 0.0f);
    // A mask holds only its part: the fist, far smaller than the body, at the front.
    p.frontHand = {140, 150};
    const Picture mask = renderMaskPicture(b, p, Striker::FrontFist);
    const Picture body = renderBodyPicture(b, p);
    EXPECT_LT(mask.image.width * mask.image.height * 4, body.image.width * body.image.height);
    EXPECT_NEAR(frontReach(mask), frontReach(body), 3);
}

TEST(Skeleton, PoseKeysTellPosesApartAndBlendsMeetTheirEnds) {
    Pose a;
    Pose b = a;
    b.frontHand.x += 0.5f;
    EXPECT_NE(poseKey(a), poseKey(b));
    EXPECT_EQ(poseKey(lerpPose(a, b, 0)), poseKey(a));
    EXPECT_EQ(poseKey(lerpPose(a, b, 1)), poseKey(b));
    EXPECT_EQ(poseKey(movedPose(a, 0, 0)), poseKey(a));
}

// A point of the statistic stands for 20 px of measured reach, 2 at 210 px: the reach window
// of 180..240 px spans 1 to 4, never the bot's whole 1..5 scale.
TEST(RosterDesign, ReachStatisticGrowsWithReach) {
    EXPECT_EQ(reachStatFor(180), 1);
    EXPECT_EQ(reachStatFor(199), 1);
    EXPECT_EQ(reachStatFor(200), 2);
    EXPECT_EQ(reachStatFor(219.9), 2);
    EXPECT_EQ(reachStatFor(220), 3);
    EXPECT_EQ(reachStatFor(240), 4);
    EXPECT_EQ(reachStatFor(100), 1); // clamped to the data's 1..5
    EXPECT_EQ(reachStatFor(400), 5);
    int last = 0;
    for (int tip = 180; tip <= 240; tip += 2) {
        EXPECT_GE(reachStatFor(tip), last);
        last = reachStatFor(tip);
    }
}

TEST(RosterDesign, DesignsHaveDistinctSlotsAndStances) {
    const std::vector<ClassDesign> roster = rosterDesigns();
    ASSERT_GE(roster.size(), 6u);
    std::set<std::string> keys;
    for (const ClassDesign& d : roster) {
        EXPECT_TRUE(keys.insert(d.key).second);
        EXPECT_GE(d.stances.size(), 2u);
        EXPECT_LE(d.stances.size(), 4u);
        std::set<int> colours;
        for (const StanceSpec& s : d.stances) {
            EXPECT_TRUE(colours.insert(s.specialColor).second) << d.name << " " << s.name;
            EXPECT_NE(s.specialColor, s.alternateColor);
        }
        // Follow-ups of one animation must use different slots.
        std::function<void(const MoveSpec&)> slots = [&](const MoveSpec& m) {
            std::set<int> types;
            for (const MoveSpec& f : m.followUps) {
                EXPECT_TRUE(types.insert(f.type).second) << d.name << " " << m.name;
                slots(f);
            }
        };
        for (const MoveSpec& a : d.attacks) slots(a);
    }
}

TEST(RosterDesign, ClassPictureHasTheBustInThePortraitSquare) {
    const Image pic = classPicture(rosterDesigns()[0]);
    ASSERT_EQ(pic.width, kClassPictureSize);
    ASSERT_EQ(pic.height, kClassPictureSize);
    // Light figure pixels inside the square, pure black (transparent) in the corner.
    int light = 0;
    for (int y = kPortraitY; y < kPortraitY + kPortraitSize; ++y) {
        for (int x = kPortraitX; x < kPortraitX + kPortraitSize; ++x) {
            const Color c = pixelAt(pic, x, y);
            if (c.r + c.g + c.b > 2.0f) ++light;
        }
    }
    EXPECT_GT(light, kPortraitSize * kPortraitSize / 6);
    const Color corner = pixelAt(pic, 2, 2);
    EXPECT_LT(corner.r + corner.g + corner.b, 0.01f);
}

// Tuning scales every attack of the class, follow-ups included (stun, damage, recovery, push),
// keeps blows at 1 or more, and takes a share of the forward steps back on the last frame
// except in a grab.
TEST(RosterDesign, TuningReachesEveryAttackAndSparesGrabs) {
    ClassDesign d;
    MoveSpec blow;
    blow.recovery = 20;
    blow.frames.resize(3);
    blow.frames[0].movement = Step{30, 0};
    blow.frames[1].movement = Step{20, 0};
    blow.frames[1].stun = 10;
    blow.frames[1].damage = 1;
    blow.frames[1].pushInstant = Step{10, -6};
    MoveSpec grab = blow;
    grab.frames[1].grab = 1;
    blow.followUps = {blow};
    d.attacks = {blow, grab};
    d.tuning.stun = 0.85;
    d.tuning.damage = 0.4;
    d.tuning.recovery = 0.7;
    d.tuning.stepBack = 0.6;
    d.tuning.push = 0.75;
    const ClassDesign t = tunedDesign(d);
    for (const MoveSpec* m : {&t.attacks[0], &t.attacks[0].followUps[0]}) {
        EXPECT_EQ(m->recovery, 14);
        EXPECT_EQ(m->frames[1].stun, 9);   // 8.5 rounded away from zero
        EXPECT_EQ(m->frames[1].damage, 1); // a blow keeps at least 1
        EXPECT_EQ(m->frames[1].pushInstant->x, 8); // 7.5 and -4.5 rounded away from zero
        EXPECT_EQ(m->frames[1].pushInstant->y, -5);
        ASSERT_TRUE(m->frames[2].movement.has_value());
        EXPECT_EQ(m->frames[2].movement->x, -30); // 0.6 of 50 px, backwards
    }
    EXPECT_FALSE(t.attacks[1].frames[2].movement.has_value());
    EXPECT_EQ(t.attacks[1].frames[1].stun, 9);
    // Untuned classes come out as they went in.
    EXPECT_EQ(tunedDesign(ClassDesign{}).attacks.size(), 0u);
    ClassDesign plain;
    plain.attacks = {blow};
    EXPECT_EQ(tunedDesign(plain).attacks[0].frames[1].stun, 10);
    EXPECT_FALSE(tunedDesign(plain).attacks[0].frames[2].movement.has_value());
}

// Drawing of posed fighters: body, head gear, weapons, hit masks and wind trails.
#include "fighter_render.h"

#include <algorithm>
#include <cmath>

namespace {

// Width in px of the transparent seam cut around a limb that lies over other parts.
constexpr float kSeam = 2.2f;
// Back limbs are a little darker than front ones.
constexpr float kBackShade = 0.86f;

Vec2 unit(Vec2 v) {
    const float l = lengthOf(v);
    return l > 1e-6f ? v * (1.0f / l) : Vec2{1, 0};
}
Vec2 normalOf(Vec2 d) { return {-d.y, d.x}; }

// One coloured piece of a part, already in canvas coordinates.
struct Piece {
    Path path;
    Color color;
};
using Part = std::vector<Piece>;

// Builds shapes in figure space and maps them onto the canvas. `grow` widens everything (used
// for the seam cut around a part).
struct Shaper {
    const View& view;
    float grow = 0;

    Vec2 at(Vec2 p) const { return toCanvas(view, p); }
    float px(float r) const { return (r + grow) * view.scale; }

    Contour circle(Vec2 c, float r) const { return circleContour(at(c), px(r)); }
    Contour ellipse(Vec2 c, float rx, float ry, float degrees) const {
        // The canvas mirrors x (facing left) so angles turn the other way round.
        const float sign = view.faceRight ? -1.0f : 1.0f;
        return ellipseContour(at(c), px(rx), px(ry), sign * degrees * 3.14159265f / 180.0f);
    }
    // Tapered limb: round ends of radius ra at a and rb at b joined by their side lines.
    Path taper(Vec2 a, Vec2 b, float ra, float rb) const {
        const Vec2 n = normalOf(unit(b - a));
        Path p;
        p.push_back(circle(a, ra));
        p.push_back(circle(b, rb));
        if (lengthOf(b - a) > 0.5f) {
            const float ga = ra + grow, gb = rb + grow;
            p.push_back(Contour{at(a + n * ga), at(b + n * gb), at(b - n * gb), at(a - n * ga)});
        }
        return p;
    }
    // Polygon in figure space, widened by stroking its outline when growing.
    Path polygon(const std::vector<Vec2>& points) const {
        Path p;
        Contour c;
        for (Vec2 q : points) c.push_back(at(q));
        p.push_back(c);
        if (grow > 0) {
            for (size_t i = 0; i < points.size(); ++i) {
                p.push_back(capsuleContour(at(points[i]), at(points[(i + 1) % points.size()]), 2 * grow * view.scale));
            }
        }
        return p;
    }
};

void append(Path& to, const Path& from) { to.insert(to.end(), from.begin(), from.end()); }

// ---- body parts -------------------------------------------------------------------------

Part armPart(const Shaper& s, const Build& b, const Rig& r, bool front) {
    const Vec2 shoulder = front ? r.frontShoulder : r.backShoulder;
    const Vec2 elbow = front ? r.frontElbow : r.backElbow;
    const Vec2 hand = front ? r.frontHand : r.backHand;
    const float k = front ? 1.0f : kBackShade;
    const float w = b.armWidth * 0.5f;
    Part part;
    part.push_back({s.taper(shoulder, elbow, w + 1.5f, w), shade(b.cloth, k)});
    part.push_back({s.taper(elbow, hand, w, w * 0.8f), shade(b.skin, k)});
    // Bare-handed fighters wear big wrapped fists.
    const Color fist = b.weapon == WeaponKind::None ? b.accent : b.skin;
    part.push_back({Path{s.circle(hand, b.fistRadius)}, shade(fist, k)});
    return part;
}

Part legPart(const Shaper& s, const Build& b, const Rig& r, bool front) {
    const Vec2 hip = r.hip;
    const Vec2 knee = front ? r.frontKnee : r.backKnee;
    const Vec2 ankle = front ? r.frontAnkle : r.backAnkle;
    const Vec2 toe = front ? r.frontToe : r.backToe;
    const float k = front ? 1.0f : kBackShade;
    const float w = b.legWidth * 0.5f;
    Part part;
    part.push_back({s.taper(hip, knee, w + 1.5f, w), shade(b.clothDark, k)});
    part.push_back({s.taper(knee, ankle, w, w * 0.75f), shade(b.clothDark, k * 0.97f)});
    // Foot: heel at the ankle, a wedge to the toes.
    const Vec2 along = unit(toe - ankle);
    const Vec2 heel = ankle - along * 4.0f;
    part.push_back({s.taper(heel, toe, w * 0.8f, 3.5f), shade(b.accent, k * 0.9f)});
    return part;
}

void addHeadGear(Part& part, const Shaper& s, const Build& b, const Rig& r) {
    const Vec2 c = r.headCentre;
    const float hr = b.headRadius;
    const Vec2 up{std::sin(r.headAngle), std::cos(r.headAngle)};
    const Vec2 fwd{up.y, -up.x};
    switch (b.head) {
        case HeadStyle::Crop: {
            // Short spiky hair swept back.
            std::vector<Vec2> hair = {c + fwd * (hr * 0.9f) + up * (hr * 0.3f), c + fwd * (hr * 0.5f) + up * (hr * 1.15f),
                                      c + up * (hr * 1.3f) - fwd * (hr * 0.2f), c - fwd * (hr * 1.25f) + up * (hr * 0.85f),
                                      c - fwd * (hr * 1.1f) - up * (hr * 0.1f), c - fwd * (hr * 0.3f) + up * (hr * 0.2f)};
            part.push_back({s.polygon(hair), shade(b.accent, 0.95f)});
            break;
        }
        case HeadStyle::Topknot: {
            part.push_back({Path{s.circle(c + up * (hr * 1.05f) - fwd * (hr * 0.35f), hr * 0.42f)}, b.clothDark});
            part.push_back({s.taper(c - fwd * (hr * 0.3f) + up * (hr * 0.95f), c - fwd * (hr * 1.3f) + up * (hr * 0.6f), 3, 1.5f),
                            b.clothDark});
            break;
        }
        case HeadStyle::Ponytail: {
            const Vec2 root = c - fwd * (hr * 0.85f) + up * (hr * 0.45f);
            const Vec2 tip = root - fwd * (hr * 1.6f) - up * (hr * 1.3f);
            part.push_back({s.taper(root, tip, 5, 2), b.accent});
            part.push_back({s.polygon({c + fwd * (hr * 0.7f) + up * (hr * 0.6f), c + up * (hr * 1.12f),
                                       c - fwd * (hr * 1.05f) + up * (hr * 0.5f), c - fwd * (hr * 0.2f) + up * (hr * 0.5f)}),
                            b.accent});
            break;
        }
        case HeadStyle::Helmet: {
            // Round helmet with a neck guard and a short crest.
            part.push_back({Path{s.ellipse(c + up * (hr * 0.25f), hr * 1.15f, hr * 1.0f, 0)}, b.metal});
            part.push_back({s.polygon({c - fwd * (hr * 1.1f) + up * (hr * 0.2f), c - fwd * (hr * 1.35f) - up * (hr * 0.7f),
                                       c - fwd * (hr * 0.6f) - up * (hr * 0.55f)}),
                            shade(b.metal, 0.92f)});
            part.push_back({s.taper(c + up * (hr * 1.2f) - fwd * (hr * 0.1f), c + up * (hr * 1.25f) - fwd * (hr * 1.2f), 3.5f, 2.5f),
                            b.accent});
            break;
        }
        case HeadStyle::Hood: {
            part.push_back({s.polygon({c + fwd * (hr * 0.95f) + up * (hr * 0.55f), c + up * (hr * 1.2f),
                                       c - fwd * (hr * 1.0f) + up * (hr * 1.1f), c - fwd * (hr * 1.9f) + up * (hr * 0.1f),
                                       c - fwd * (hr * 0.9f) - up * (hr * 0.9f), c - fwd * (hr * 0.2f) - up * (hr * 0.2f)}),
                            b.clothDark});
            break;
        }
        case HeadStyle::Bandana: {
            part.push_back({s.taper(c + fwd * (hr * 0.9f) + up * (hr * 0.45f), c - fwd * (hr * 0.9f) + up * (hr * 0.55f), 4, 4),
                            b.accent});
            const Vec2 knot = c - fwd * (hr * 1.0f) + up * (hr * 0.45f);
            part.push_back({s.taper(knot, knot - fwd * 24.0f - up * 6.0f, 3.5f, 1.5f), b.accent});
            part.push_back({s.taper(knot, knot - fwd * 18.0f - up * 16.0f, 3.0f, 1.2f), shade(b.accent, 0.93f)});
            break;
        }
    }
}

Part torsoPart(const Shaper& s, const Build& b, const Rig& r) {
    Part part;
    const Vec2 up = unit(r.neck - r.hip);
    const Vec2 chest = r.neck - up * 9.0f;
    part.push_back({s.taper(r.hip, chest, b.hipWidth * 0.5f, b.chestWidth * 0.5f), b.cloth});
    // Belt across the hips.
    part.push_back({s.taper(r.hip - normalOf(up) * (b.hipWidth * 0.5f), r.hip + normalOf(up) * (b.hipWidth * 0.5f), 3.2f, 3.2f),
                    b.accent});
    part.push_back({s.taper(r.neck - up * 4.0f, r.headCentre, 5, 5), b.skin});
    Part head;
    head.push_back({Path{s.circle(r.headCentre, b.headRadius)}, b.skin});
    addHeadGear(head, s, b, r);
    part.insert(part.end(), head.begin(), head.end());
    return part;
}

// ---- weapons ----------------------------------------------------------------------------

void addBlade(Part& part, const Shaper& s, const Build& b, Vec2 hand, Vec2 tip, float guardHalf, bool curved) {
    const Vec2 d = unit(tip - hand);
    const Vec2 n = normalOf(d);
    const float w = b.weaponWidth * 0.5f;
    const Vec2 base = hand + d * 9.0f;
    const float len = lengthOf(tip - base);
    std::vector<Vec2> blade = {base + n * w, base + d * (len * 0.8f) + n * (w * (curved ? 1.3f : 0.95f)), tip,
                               base + d * (len * 0.85f) - n * (w * 0.6f), base - n * w};
    part.push_back({s.polygon(blade), b.metal});
    part.push_back({s.taper(hand - d * 7.0f, hand + d * 5.0f, 2.8f, 2.8f), b.wood});
    part.push_back({s.taper(base - d * 2.0f + n * guardHalf, base - d * 2.0f - n * guardHalf, 2.6f, 2.6f), b.accent});
}

Part frontWeaponPart(const Shaper& s, const Build& b, const Rig& r) {
    Part part;
    switch (b.weapon) {
        case WeaponKind::Sword:
            addBlade(part, s, b, r.frontHand, r.weaponTip, 12, false);
            part.push_back({Path{s.circle(r.weaponButt, 4)}, b.accent});
            break;
        case WeaponKind::Daggers:
        case WeaponKind::Sickle:
            addBlade(part, s, b, r.frontHand, r.weaponTip, 7, b.weapon == WeaponKind::Sickle);
            break;
        case WeaponKind::Spear: {
            const Vec2 d = unit(r.weaponTip - r.weaponButt);
            const Vec2 n = normalOf(d);
            const Vec2 neck = r.weaponTip - d * 30.0f;
            part.push_back({s.taper(r.weaponButt, neck, b.weaponWidth * 0.5f, b.weaponWidth * 0.5f), b.wood});
            part.push_back({s.polygon({neck + n * 2.5f, neck + d * 11.0f + n * 7.5f, r.weaponTip, neck + d * 11.0f - n * 7.5f,
                                       neck - n * 2.5f}),
                            b.metal});
            part.push_back({s.taper(neck + n * 5.0f, neck - n * 5.0f, 2.8f, 2.8f), b.accent});
            part.push_back({Path{s.circle(r.weaponButt, 3.5f)}, b.metal});
            break;
        }
        case WeaponKind::Hammer: {
            const Vec2 d = unit(r.weaponTip - r.weaponButt);
            const Vec2 n = normalOf(d);
            part.push_back({s.taper(r.weaponButt, r.weaponTip, b.weaponWidth * 0.5f, b.weaponWidth * 0.5f + 0.5f), b.wood});
            const Vec2 c = r.weaponTip;
            // Block head across the haft: the striking face is the side facing n (forward swing).
            part.push_back({s.polygon({c - d * 15.0f + n * 30.0f, c + d * 15.0f + n * 30.0f, c + d * 17.0f + n * 20.0f,
                                       c + d * 17.0f - n * 24.0f, c + d * 13.0f - n * 30.0f, c - d * 13.0f - n * 30.0f,
                                       c - d * 17.0f - n * 24.0f, c - d * 17.0f + n * 20.0f}),
                            b.metal});
            part.push_back({s.taper(c - d * 17.0f + n * 8.0f, c + d * 17.0f + n * 8.0f, 2.5f, 2.5f), b.accent});
            break;
        }
        case WeaponKind::None:
            break;
    }
    return part;
}

void drawPiece(Image& canvas, const Piece& piece) { fillPath(canvas, piece.path, solid(piece.color)); }

// Cuts a thin transparent seam where `cut` will lie over what is already drawn.
void cutSeam(Image& canvas, const Part& cut) {
    Path all;
    for (const Piece& p : cut) append(all, p.path);
    const std::vector<float> cover = coverageOf(canvas.width, canvas.height, all);
    for (size_t i = 0; i < cover.size(); ++i) {
        if (cover[i] <= 0) continue;
        Color& c = canvas.pixels[i];
        const float keep = 1.0f - cover[i];
        c.r *= keep;
        c.g *= keep;
        c.b *= keep;
        c.a *= keep;
    }
}

// Draws the part, first cutting a seam around it when asked.
template <typename Make>
void layer(Image& canvas, const View& view, bool seam, Make make) {
    if (seam) {
        Shaper grown{view, kSeam};
        cutSeam(canvas, make(grown));
    }
    Shaper plain{view, 0};
    for (const Piece& p : make(plain)) drawPiece(canvas, p);
}

Path strikerPath(const Shaper& s, const Build& b, const Rig& r, Striker striker) {
    Path p;
    auto fist = [&](Vec2 elbow, Vec2 hand) {
        append(p, s.taper((elbow + hand) * 0.5f, hand, b.armWidth * 0.5f + 1, b.fistRadius + 1));
    };
    auto foot = [&](Vec2 knee, Vec2 ankle, Vec2 toe) {
        append(p, s.taper((knee + ankle) * 0.5f, ankle, b.legWidth * 0.5f + 1, b.legWidth * 0.4f + 1));
        append(p, s.taper(ankle, toe, b.legWidth * 0.4f + 1, 4.5f));
    };
    auto blade = [&](Vec2 hand, Vec2 tip) { append(p, s.taper(hand + unit(tip - hand) * 10.0f, tip, b.weaponWidth * 0.5f + 1.5f, 2)); };
    switch (striker) {
        case Striker::None:
            break;
        case Striker::FrontFist:
            fist(r.frontElbow, r.frontHand);
            break;
        case Striker::BackFist:
            fist(r.backElbow, r.backHand);
            break;
        case Striker::FrontFoot:
            foot(r.frontKnee, r.frontAnkle, r.frontToe);
            break;
        case Striker::BackFoot:
            foot(r.backKnee, r.backAnkle, r.backToe);
            break;
        case Striker::FrontKnee:
            append(p, s.taper((r.hip + r.frontKnee) * 0.5f, r.frontKnee, b.legWidth * 0.5f + 2, b.legWidth * 0.5f + 3));
            break;
        case Striker::Weapon:
            if (b.weapon == WeaponKind::Spear) {
                const Vec2 d = unit(r.weaponTip - r.weaponButt);
                const Vec2 n = normalOf(d);
                const Vec2 neck = r.weaponTip - d * 30.0f;
                append(p, s.taper(neck - d * 36.0f, neck, b.weaponWidth * 0.5f + 1.5f, b.weaponWidth * 0.5f + 1.5f));
                append(p, s.polygon({neck + n * 4.0f, neck + d * 11.0f + n * 9.0f, r.weaponTip + d * 2.0f,
                                     neck + d * 11.0f - n * 9.0f, neck - n * 4.0f}));
            } else if (b.weapon == WeaponKind::Hammer) {
                const Vec2 d = unit(r.weaponTip - r.weaponButt);
                const Vec2 n = normalOf(d);
                const Vec2 c = r.weaponTip;
                append(p, s.polygon({c - d * 18.0f + n * 32.0f, c + d * 18.0f + n * 32.0f, c + d * 18.0f - n * 32.0f,
                                     c - d * 18.0f - n * 32.0f}));
            } else {
                blade(r.frontHand, r.weaponTip);
            }
            break;
        case Striker::WeaponButt: {
            const Vec2 d = unit(r.weaponTip - r.weaponButt);
            append(p, s.taper(r.weaponButt, r.weaponButt + d * 34.0f, b.weaponWidth * 0.5f + 3, b.weaponWidth * 0.5f + 2));
            break;
        }
        case Striker::OffWeapon:
            blade(r.backHand, r.offTip);
            break;
        case Striker::BothWeapons:
            blade(r.frontHand, r.weaponTip);
            blade(r.backHand, r.offTip);
            break;
        case Striker::Shoulder:
            append(p, s.taper(r.frontShoulder, (r.frontShoulder + r.hip) * 0.5f, 15, 13));
            break;
        case Striker::Head:
            p.push_back(s.circle(r.headCentre, b.headRadius + 1));
            break;
    }
    return p;
}

// A canvas just large enough for the box (figure space), facing left, and its feet point.
struct CanvasFrame {
    Image image;
    View view;
};

CanvasFrame canvasFor(const FigureBox& box, float scale) {
    CanvasFrame f;
    const int ox = int(std::ceil(box.maxX * scale)) + 2;
    const int oy = int(std::ceil(box.maxY * scale)) + 2;
    const int w = ox - int(std::floor(box.minX * scale)) + 3;
    const int h = oy - int(std::floor(box.minY * scale)) + 3;
    f.image = makeImage(std::max(1, w), std::max(1, h));
    f.view.origin = {float(ox), float(oy)};
    f.view.scale = scale;
    f.view.faceRight = false;
    return f;
}

Picture finish(const CanvasFrame& f) {
    Picture pic;
    PixelBox box;
    pic.image = cropToVisible(f.image, 1, &box);
    pic.feetU = int(f.view.origin.x) - box.x;
    pic.feetV = int(f.view.origin.y) - box.y;
    return pic;
}

// The points that sweep through the air for a trail: the outer edge and an inner edge.
void sweepPoints(const Build& b, const Rig& r, Striker part, Vec2& outer, Vec2& inner) {
    switch (part) {
        case Striker::Weapon:
            outer = r.weaponTip;
            inner = r.weaponTip + (r.frontHand - r.weaponTip) * (b.weapon == WeaponKind::Hammer ? 0.35f : 0.6f);
            break;
        case Striker::WeaponButt:
            outer = r.weaponButt;
            inner = r.weaponButt + (r.frontHand - r.weaponButt) * 0.5f;
            break;
        case Striker::OffWeapon:
            outer = r.offTip;
            inner = r.offTip + (r.backHand - r.offTip) * 0.6f;
            break;
        case Striker::BackFist:
            outer = r.backHand + unit(r.backHand - r.backElbow) * b.fistRadius;
            inner = (r.backHand + r.backElbow) * 0.5f;
            break;
        case Striker::FrontFoot:
            outer = r.frontToe;
            inner = (r.frontAnkle + r.frontKnee) * 0.5f;
            break;
        case Striker::BackFoot:
            outer = r.backToe;
            inner = (r.backAnkle + r.backKnee) * 0.5f;
            break;
        default:
            outer = r.frontHand + unit(r.frontHand - r.frontElbow) * b.fistRadius;
            inner = (r.frontHand + r.frontElbow) * 0.5f;
            break;
    }
}

}  // namespace

void drawFighter(Image& canvas, const View& view, const Build& build, const Rig& rig) {
    layer(canvas, view, false, [&](const Shaper& s) {
        Part p = armPart(s, build, rig, false);
        if (build.weapon == WeaponKind::Daggers || build.weapon == WeaponKind::Sickle) {
            Part blade;
            addBlade(blade, s, build, rig.backHand, rig.offTip, 7, build.weapon == WeaponKind::Sickle);
            for (Piece& piece : blade) piece.color = shade(piece.color, kBackShade);
            p.insert(p.end(), blade.begin(), blade.end());
        }
        return p;
    });
    layer(canvas, view, true, [&](const Shaper& s) { return legPart(s, build, rig, false); });
    layer(canvas, view, true, [&](const Shaper& s) { return torsoPart(s, build, rig); });
    if (build.twoHanded) layer(canvas, view, true, [&](const Shaper& s) { return frontWeaponPart(s, build, rig); });
    layer(canvas, view, true, [&](const Shaper& s) { return legPart(s, build, rig, true); });
    layer(canvas, view, true, [&](const Shaper& s) {
        Part p = armPart(s, build, rig, true);
        if (!build.twoHanded) {
            Part w = frontWeaponPart(s, build, rig);
            p.insert(p.end(), w.begin(), w.end());
        }
        return p;
    });
}

void drawStriker(Image& canvas, const View& view, const Build& build, const Rig& rig, Striker striker) {
    Shaper s{view, 0};
    fillPath(canvas, strikerPath(s, build, rig, striker), solid(rgb(255, 255, 255)));
}

Picture renderBodyPicture(const Build& build, const Pose& pose) {
    const Rig rig = solvePose(build, pose);
    CanvasFrame f = canvasFor(rigBox(build, rig, 8), 1.0f);
    drawFighter(f.image, f.view, build, rig);
    return finish(f);
}

Picture renderMaskPicture(const Build& build, const Pose& pose, Striker striker) {
    const Rig rig = solvePose(build, pose);
    CanvasFrame f = canvasFor(rigBox(build, rig, 8), 1.0f);
    drawStriker(f.image, f.view, build, rig, striker);
    return finish(f);
}

Picture renderTrailPicture(const Build& build, const Pose& from, const Pose& to, Striker part, float fade) {
    constexpr int kSteps = 10;
    std::vector<Vec2> outer, inner;
    FigureBox box{1e9f, 1e9f, -1e9f, -1e9f};
    for (int i = 0; i <= kSteps; ++i) {
        const Rig r = solvePose(build, lerpPose(from, to, float(i) / float(kSteps)));
        Vec2 o, in;
        sweepPoints(build, r, part, o, in);
        outer.push_back(o);
        inner.push_back(in);
        for (Vec2 p : {o, in}) {
            box.minX = std::min(box.minX, p.x - 12);
            box.maxX = std::max(box.maxX, p.x + 12);
            box.minY = std::min(box.minY, p.y - 12);
            box.maxY = std::max(box.maxY, p.y + 12);
        }
    }
    CanvasFrame f = canvasFor(box, 1.0f);
    Contour band;
    for (Vec2 p : outer) band.push_back(toCanvas(f.view, p));
    for (int i = kSteps; i >= 0; --i) band.push_back(toCanvas(f.view, inner[size_t(i)]));
    const Vec2 oldEnd = toCanvas(f.view, (outer.front() + inner.front()) * 0.5f);
    const Vec2 newEnd = toCanvas(f.view, (outer.back() + inner.back()) * 0.5f);
    const Color white = rgb(246, 248, 255);
    fillPath(f.image, Path{band}, linearGradient(oldEnd, withAlpha(white, 0.0f), newEnd, withAlpha(white, 0.55f * fade)));
    std::vector<Vec2> edge;
    for (Vec2 p : outer) edge.push_back(toCanvas(f.view, p));
    strokePolyline(f.image, edge, 3.0f,
                   linearGradient(edge.front(), withAlpha(white, 0.0f), edge.back(), withAlpha(white, 0.9f * fade)));
    return finish(f);
}

Picture renderGlintPicture(const Build& build, const Pose& pose, float size) {
    const Rig rig = solvePose(build, pose);
    const Vec2 tip = rig.weaponTip;
    FigureBox box{tip.x - 30, tip.y - 30, tip.x + 30, tip.y + 30};
    CanvasFrame f = canvasFor(box, 1.0f);
    const Vec2 c = toCanvas(f.view, tip);
    const Color white = rgb(255, 255, 250);
    fillCircle(f.image, c, 10 * size + 2, radialGradient(c, 10 * size + 2, withAlpha(white, 0.8f), withAlpha(white, 0.0f)));
    const float ray = 22 * size + 3;
    for (int k = 0; k < 4; ++k) {
        const float a = 3.14159265f * 0.5f * float(k) + 0.3f;
        const Vec2 d{std::cos(a), std::sin(a)};
        const Vec2 n{-d.y, d.x};
        fillPolygon(f.image, Contour{c + n * 2.2f, c + d * ray, c - n * 2.2f}, solid(withAlpha(white, 0.95f)));
    }
    return finish(f);
}

float strikerFront(const Build& build, const Rig& rig, Striker striker) {
    switch (striker) {
        case Striker::FrontFist:
            return rig.frontHand.x + build.fistRadius;
        case Striker::BackFist:
            return rig.backHand.x + build.fistRadius;
        case Striker::FrontFoot:
            return std::max(rig.frontToe.x, rig.frontAnkle.x) + 4;
        case Striker::BackFoot:
            return std::max(rig.backToe.x, rig.backAnkle.x) + 4;
        case Striker::FrontKnee:
            return rig.frontKnee.x + build.legWidth;
        case Striker::Weapon:
            return rig.weaponTip.x + (build.weapon == WeaponKind::Hammer ? 30.0f : 2.0f);
        case Striker::WeaponButt:
            return rig.weaponButt.x + 6;
        case Striker::OffWeapon:
            return rig.offTip.x + 2;
        case Striker::BothWeapons:
            return std::max(rig.weaponTip.x, rig.offTip.x) + 2;
        case Striker::Shoulder:
            return rig.frontShoulder.x + 15;
        case Striker::Head:
            return rig.headCentre.x + build.headRadius;
        case Striker::None:
            break;
    }
    return -1000;
}

int frontReach(const Picture& picture) {
    for (int x = 0; x < picture.image.width; ++x) {
        for (int y = 0; y < picture.image.height; ++y) {
            if (pixelAt(picture.image, x, y).a >= 0.5f) return picture.feetU - x;
        }
    }
    return -100000;
}

// Life gauge, countdown numbers, combo icons, stat icons, gauge marks and blood particles.
#include "hud_images.h"

#include <algorithm>
#include <cmath>

#include "font_sheet.h"
#include "png_writer.h"
#include "rng.h"

namespace {

constexpr float kPi = 3.14159265f;
const Color kInk = rgb(14, 12, 18);

Vec2 polar(Vec2 c, float r, float angle) { return {c.x + std::cos(angle) * r, c.y + std::sin(angle) * r}; }

// A star with `points` tips between radii inner and outer, first tip pointing up.
Contour starContour(Vec2 c, float outer, float inner, int points, float twist = 0) {
    Contour s;
    for (int i = 0; i < points * 2; ++i) {
        const float a = -kPi / 2 + kPi * float(i) / float(points) + twist;
        s.push_back(polar(c, (i % 2 == 0) ? outer : inner, a));
    }
    return s;
}

// Alpha mask of a path (white, alpha = coverage).
Image maskOf(int w, int h, const Path& path) {
    Image m = makeImage(w, h);
    fillPath(m, path, solid(Color{1, 1, 1, 1}));
    return m;
}

// Combines a mask's alpha with an image: keeps the image only where the mask is.
void clipToMask(Image& image, const Image& mask) {
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const float a = mask.pixels[i].a;
        Color& c = image.pixels[i];
        c = Color{c.r * a, c.g * a, c.b * a, c.a * a};
    }
}

// A glossy highlight over the top part of a shape.
void addGloss(Image& image, const Image& mask, float top, float bottom, float strength) {
    Image gloss = makeImage(image.width, image.height);
    fillRect(gloss, 0, top, float(image.width), bottom - top,
             linearGradient({0, top}, Color{1, 1, 1, strength}, {0, bottom}, Color{1, 1, 1, 0}));
    clipToMask(gloss, mask);
    drawImage(image, gloss, 0, 0);
}

Image shapeIcon(int w, int h, const Path& path, const Paint& fill, int outline) {
    return decorateMask(maskOf(w, h, path), fill, outline, kInk);
}

}  // namespace

Image decorateMask(const Image& mask, const Paint& fill, int outline, Color outlineColor) {
    Image out = makeImage(mask.width, mask.height);
    if (outline > 0) {
        Image grown = mask;
        blurImage(grown, std::max(1, outline / 2));
        for (Color& c : grown.pixels) {
            const float a = std::min(1.0f, c.a * 3.0f);
            c = Color{outlineColor.r * a * outlineColor.a, outlineColor.g * a * outlineColor.a,
                      outlineColor.b * a * outlineColor.a, a * outlineColor.a};
        }
        drawImage(out, grown, 0, 0);
    }
    Image body = makeImage(mask.width, mask.height);
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            const float a = pixelAt(mask, x, y).a;
            if (a <= 0) continue;
            const Color c = paintAt(fill, float(x) + 0.5f, float(y) + 0.5f);
            pixelAt(body, x, y) = Color{c.r * c.a * a, c.g * c.a * a, c.b * c.a * a, c.a * a};
        }
    }
    drawImage(out, body, 0, 0);
    return out;
}

Image lifeBarImage(bool extra) {
    const float w = float(kBarWidth), h = float(kBarHeight);
    Image bar = makeImage(kBarWidth, kBarHeight);
    // The left end is the leading edge the player watches: a slanted cut.
    const Contour shape = polygonContour({{10, 0}, {w, 0}, {w, h}, {0, h}});
    const Image mask = maskOf(kBarWidth, kBarHeight, Path{shape});
    // Light neutral shading: the game tints it green, yellow or red.
    const Color top = extra ? rgb(255, 255, 255) : rgb(246, 246, 246);
    const Color bottom = extra ? rgb(196, 206, 214) : rgb(150, 150, 150);
    fillPolygon(bar, shape, linearGradient({0, 0}, top, {0, h}, bottom));
    Image detail = makeImage(kBarWidth, kBarHeight);
    if (extra) {
        // Diagonal stripes mark the bonus life above the normal gauge.
        for (int x = -40; x < kBarWidth + 40; x += 22) {
            fillPolygon(detail, polygonContour({{float(x), h}, {float(x) + 10, h}, {float(x) + 22, 0}, {float(x) + 12, 0}}),
                        solid(Color{1, 1, 1, 0.35f}));
        }
    }
    // Segment ticks every 20 px (one per ten life points).
    for (int x = 20; x < kBarWidth; x += 20) {
        fillRect(detail, float(x), 3, 1.5f, h - 6, solid(Color{0, 0, 0, x % 100 == 0 ? 0.30f : 0.14f}));
    }
    clipToMask(detail, mask);
    drawImage(bar, detail, 0, 0);
    addGloss(bar, mask, 1, h * 0.5f, 0.75f);
    // Bright leading edge and a dark bottom line.
    strokeLine(bar, {10.5f, 1}, {1, h - 1}, 2.0f, solid(Color{1, 1, 1, 0.9f}));
    fillRect(bar, 0, h - 2, w, 2, solid(Color{0, 0, 0, 0.35f}));
    return bar;
}

Image hudOverlayImage() {
    const float w = float(kHudWidth);
    Image hud = makeImage(kHudWidth, kHudHeight);
    // Frame outline: a blade-like wing on the left, the gauge body, and the portrait housing.
    Path frame;
    frame.push_back(polygonContour({{4, 118}, {70, 62}, {140, 56}, {140, 178}, {70, 174}}));
    frame.push_back(roundedRectContour(88, 58, w - 88, 118, 14));
    frame.push_back(roundedRectContour(504, 56, 182, 184, 22));
    frame.push_back(rectContour(600, 60, w - 600, 112));
    // A back plate over the whole of the game's tinted panel behind the gauge (drawn 98 px
    // right of and 20 px below the overlay's corner, 610 x 210), so that the panel only shows
    // through the windows.
    frame.push_back(roundedRectContour(92, 16, 622, 218, 16));
    const Path windows = {roundedRectContour(float(kGaugeWindowLeft), float(kGaugeMainTop) - 1, 400, kBarHeight + 2, 4),
                          roundedRectContour(float(kGaugeWindowLeft), float(kGaugeExtraTop) - 1, 400, kBarHeight + 2, 4),
                          roundedRectContour(float(kPortraitLeft), float(kPortraitTop), kPortraitSize, kPortraitSize, 10)};
    // Shadowed dark rim under the whole frame.
    Image rim = maskOf(kHudWidth, kHudHeight, frame);
    blurImage(rim, 2);
    for (Color& c : rim.pixels) c = Color{kInk.r * c.a, kInk.g * c.a, kInk.b * c.a, std::min(1.0f, c.a * 2.5f)};
    drawImage(hud, rim, 0, 0);
    // Metal body: light so that the player's colour tint reads over it.
    Image body = makeImage(kHudWidth, kHudHeight);
    fillPath(body, frame, linearGradient({0, 56}, rgb(236, 238, 244), {0, 240}, rgb(120, 124, 138)));
    // Brushed bands.
    for (int y = 60; y < 240; y += 6) fillRect(body, 0, float(y), w, 1, solid(Color{1, 1, 1, 0.08f}));
    Image bodyMask = maskOf(kHudWidth, kHudHeight, frame);
    clipToMask(body, bodyMask);
    drawImage(hud, body, 0, 0);
    addGloss(hud, bodyMask, 56, 100, 0.45f);
    // Engraved line along the gauge body and rivets.
    strokeLine(hud, {96, 168}, {500, 168}, 2, solid(Color{0, 0, 0, 0.35f}));
    strokeLine(hud, {96, 170}, {500, 170}, 1, solid(Color{1, 1, 1, 0.4f}));
    for (float x : {104.0f, 300.0f, 490.0f}) {
        fillCircle(hud, {x, 68}, 4, radialGradient({x - 1, 67}, 4, rgb(255, 255, 255), rgb(110, 110, 120)));
    }
    for (Vec2 p : std::vector<Vec2>{{514, 66}, {676, 66}, {514, 230}, {676, 230}}) {
        fillCircle(hud, p, 4, radialGradient({p.x - 1, p.y - 1}, 4, rgb(255, 255, 255), rgb(110, 110, 120)));
    }
    // Wing stripes.
    for (int i = 0; i < 3; ++i) {
        const float x = 30 + float(i) * 26;
        strokeLine(hud, {x, 118}, {x + 22, 90 - float(i) * 4}, 4, solid(Color{1, 1, 1, 0.5f}));
        strokeLine(hud, {x, 118}, {x + 22, 146 + float(i) * 4}, 4, solid(Color{0, 0, 0, 0.25f}));
    }
    // Cut the windows, then give them a bevelled inner rim.
    Image cut = maskOf(kHudWidth, kHudHeight, windows);
    for (size_t i = 0; i < hud.pixels.size(); ++i) {
        const float keep = 1.0f - cut.pixels[i].a;
        Color& c = hud.pixels[i];
        c = Color{c.r * keep, c.g * keep, c.b * keep, c.a * keep};
    }
    for (const Contour& win : windows) {
        Image edge = makeImage(kHudWidth, kHudHeight);
        std::vector<Vec2> loop = win;
        loop.push_back(win.front());
        strokePolyline(edge, loop, 3.0f, solid(kInk));
        drawImage(hud, edge, 0, 0);
    }
    strokeLine(hud, {float(kGaugeWindowLeft) + 4, float(kGaugeMainTop) - 4},
               {float(kGaugeWindowRight) - 4, float(kGaugeMainTop) - 4}, 1, solid(Color{1, 1, 1, 0.35f}));
    return hud;
}

Image counterImage(int digit) {
    const std::string text(1, char('0' + digit));
    Image mask = textMask(kDisplayFontFile, text, 190);
    // Centre the glyph in a square so that the game's centring keeps it steady.
    PixelBox box = visibleBox(mask);
    const int size = 220;
    Image square = makeImage(size, size);
    drawImage(square, cropImage(mask, box.x, box.y, box.width, box.height), (size - box.width) / 2, (size - box.height) / 2);
    const Color top = digit == 1 ? rgb(255, 236, 120) : rgb(255, 226, 90);
    const Color bottom = digit == 1 ? rgb(255, 70, 40) : rgb(255, 120, 20);
    Image out = decorateMask(square, linearGradient({0, 20}, top, {0, 200}, bottom), 10, kInk);
    addGloss(out, square, 10, 100, 0.55f);
    return out;
}

Image comboIcon(int kind, int size) {
    const float s = float(size);
    const Vec2 c{s / 2, s / 2};
    const float r = s * 0.40f;
    const int outline = std::max(2, size / 24);
    Image icon = makeImage(size, size);
    // A disc badge for every kind.
    Image disc = decorateMask(maskOf(size, size, Path{circleContour(c, r)}),
                              radialGradient({c.x - r * 0.3f, c.y - r * 0.4f}, r * 1.5f, rgb(255, 255, 255), rgb(150, 154, 168)),
                              outline, kInk);
    drawImage(icon, disc, 0, 0);
    Path mark;
    if (kind == 0) {
        // Neutral: a fist-sized diamond with a ring.
        mark.push_back(polygonContour({{c.x, c.y - r * 0.55f}, {c.x + r * 0.55f, c.y}, {c.x, c.y + r * 0.55f}, {c.x - r * 0.55f, c.y}}));
    } else if (kind == 1) {
        // Up: an arrow pointing up (the game turns it for the other directions).
        const float hw = r * 0.62f, sw = r * 0.24f;
        mark.push_back(polygonContour({{c.x, c.y - r * 0.72f}, {c.x + hw, c.y - r * 0.05f}, {c.x + sw, c.y - r * 0.05f},
                                       {c.x + sw, c.y + r * 0.68f}, {c.x - sw, c.y + r * 0.68f}, {c.x - sw, c.y - r * 0.05f},
                                       {c.x - hw, c.y - r * 0.05f}}));
    } else {
        // Heavy: an eight-pointed burst.
        mark.push_back(starContour(c, r * 0.78f, r * 0.36f, 8));
    }
    Image markImage = decorateMask(maskOf(size, size, mark), linearGradient({0, c.y - r}, rgb(60, 60, 72), {0, c.y + r}, rgb(20, 20, 28)),
                                   0, kInk);
    drawImage(icon, markImage, 0, 0);
    if (kind == 0) strokeCircle(icon, c, r * 0.72f, std::max(1.5f, s * 0.03f), solid(rgb(40, 40, 50)));
    if (kind == 2) {
        // Heavy badges get an outer spiked ring so they read at a glance.
        Image spikes = decorateMask(maskOf(size, size, Path{starContour(c, s * 0.49f, r * 0.98f, 12, kPi / 12)}),
                                    solid(rgb(200, 204, 216)), outline, kInk);
        Image combined = makeImage(size, size);
        drawImage(combined, spikes, 0, 0);
        drawImage(combined, icon, 0, 0);
        icon = combined;
    }
    return icon;
}

Image statIcon(int index) {
    const int n = 36;
    const float s = float(n);
    const Vec2 c{s / 2, s / 2};
    Path p;
    Paint fill = solid(rgb(240, 240, 240));
    switch (index) {
        case 0:  // strength: a dumbbell
            p = {roundedRectContour(4, 10, 7, 16, 2), roundedRectContour(25, 10, 7, 16, 2), rectContour(10, 16, 16, 4),
                 roundedRectContour(1, 13, 4, 10, 1), roundedRectContour(31, 13, 4, 10, 1)};
            fill = linearGradient({0, 8}, rgb(255, 150, 120), {0, 28}, rgb(200, 40, 30));
            break;
        case 1:  // agility: a feather
            p = {ellipseContour({18, 17}, 6, 15, 0.6f), capsuleContour({7, 31}, {16, 19}, 2.5f)};
            fill = linearGradient({0, 2}, rgb(170, 255, 200), {0, 34}, rgb(30, 160, 90));
            break;
        case 2:  // speed: a lightning bolt
            p = {polygonContour({{21, 2}, {8, 20}, {17, 20}, {13, 34}, {28, 14}, {19, 14}, {24, 2}})};
            fill = linearGradient({0, 2}, rgb(255, 250, 150), {0, 34}, rgb(255, 170, 0));
            break;
        case 3:  // weight: a kettle weight
            p = {roundedRectContour(6, 13, 24, 20, 6), capsuleContour({11, 12}, {25, 12}, 4)};
            {
                Contour handle = circleContour({18, 11}, 8);
                p.push_back(handle);
            }
            fill = linearGradient({0, 3}, rgb(200, 200, 214), {0, 33}, rgb(80, 84, 100));
            break;
        case 4:  // stamina: an hourglass
            p = {polygonContour({{7, 3}, {29, 3}, {20, 18}, {29, 33}, {7, 33}, {16, 18}})};
            fill = linearGradient({0, 3}, rgb(255, 230, 170), {0, 33}, rgb(210, 140, 50));
            break;
        case 5: {  // life: a heart
            Contour heart;
            for (int i = 0; i < 48; ++i) {
                const float t = 2 * kPi * float(i) / 48.0f;
                const float x = 16 * std::pow(std::sin(t), 3.0f);
                const float y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
                heart.push_back({c.x + x * 0.95f, c.y + 1 - y * 0.95f});
            }
            p = {heart};
            fill = linearGradient({0, 4}, rgb(255, 140, 160), {0, 32}, rgb(220, 20, 60));
            break;
        }
        case 6:  // cut: a curved blade
            p = {polygonContour({{30, 3}, {33, 6}, {12, 27}, {6, 24}}), capsuleContour({4, 32}, {11, 25}, 4),
                 capsuleContour({6, 21}, {15, 30}, 3)};
            fill = linearGradient({0, 3}, rgb(230, 246, 255), {0, 33}, rgb(120, 170, 210));
            break;
        case 7:  // pierce: a spear head
            p = {polygonContour({{33, 3}, {24, 20}, {20, 16}}), polygonContour({{33, 3}, {20, 16}, {16, 12}}),
                 capsuleContour({4, 32}, {21, 15}, 3.5f)};
            fill = linearGradient({0, 3}, rgb(255, 250, 230), {0, 33}, rgb(190, 150, 100));
            break;
        case 8:  // blunt: a hammer
            p = {roundedRectContour(6, 4, 24, 11, 2), capsuleContour({18, 14}, {18, 33}, 4.5f)};
            fill = linearGradient({0, 3}, rgb(220, 200, 170), {0, 33}, rgb(130, 90, 50));
            break;
        case 9:  // range: a double-headed arrow
            p = {polygonContour({{1, 18}, {10, 9}, {10, 15}, {26, 15}, {26, 9}, {35, 18}, {26, 27}, {26, 21}, {10, 21}, {10, 27}})};
            fill = linearGradient({0, 9}, rgb(170, 220, 255), {0, 27}, rgb(40, 110, 220));
            break;
        default:  // difficulty: a star
            p = {starContour({18, 19}, 17, 7, 5)};
            fill = linearGradient({0, 2}, rgb(255, 200, 255), {0, 34}, rgb(170, 60, 220));
            break;
    }
    Image icon = shapeIcon(n, n, p, fill, 3);
    addGloss(icon, maskOf(n, n, p), 0, 16, 0.35f);
    return icon;
}

Image toBeAddedMark() {
    const int w = 230, h = 84;
    Image mark = makeImage(w, h);
    // A tilted stamp: rounded band with a double border and the label.
    Image stamp = makeImage(w, h);
    fillRoundedRect(stamp, 6, 10, float(w) - 12, float(h) - 20, 10, solid(rgb(255, 226, 150, 0.92f)));
    Image border = makeImage(w, h);
    std::vector<Vec2> outer = roundedRectContour(9, 13, float(w) - 18, float(h) - 26, 8);
    outer.push_back(outer.front());
    strokePolyline(border, outer, 4, solid(rgb(200, 60, 20)));
    drawImage(stamp, border, 0, 0);
    int baseline = 0;
    Image label = textMask(kDisplayFontFile, "COMING SOON", 26, &baseline);
    PixelBox box = visibleBox(label);
    Image text = decorateMask(cropImage(label, box.x, box.y, box.width, box.height), solid(rgb(200, 50, 10)), 0, kInk);
    drawImage(stamp, text, (w - box.width) / 2, (h - box.height) / 2);
    Image shadow = stamp;
    blurImage(shadow, 2);
    for (Color& c : shadow.pixels) c = Color{0, 0, 0, c.a * 0.5f};
    drawImage(mark, shadow, 2, 3);
    drawImage(mark, stamp, 0, 0);
    return mark;
}

Image gaugeDot() {
    Image dot = makeImage(16, 16);
    fillCircle(dot, {8, 8}, 6.5f, solid(kInk));
    fillCircle(dot, {8, 8}, 5, radialGradient({6.5f, 6.5f}, 6, rgb(255, 255, 255), rgb(190, 190, 200)));
    return dot;
}

Image gaugeCrescent() {
    Image mark = makeImage(16, 16);
    const Contour outerShape = circleContour({7, 8}, 7.2f);
    const Path hole = {circleContour({2.5f, 8}, 6.0f)};
    fillWithHoles(mark, outerShape, hole, solid(kInk));
    fillWithHoles(mark, circleContour({7, 8}, 5.8f), Path{circleContour({2.0f, 8}, 6.6f)},
                  linearGradient({0, 1}, rgb(255, 255, 255), {0, 15}, rgb(190, 190, 204)));
    return mark;
}

Image bloodParticle(int frame) {
    // Later frames are bigger: a particle starts at its highest frame and shrinks away.
    const float radius = 2.0f + float(frame) * 1.9f;
    const int size = int(std::ceil(radius * 2.8f)) + 4;
    Image drop = makeImage(size, size);
    const Vec2 c{float(size) / 2, float(size) / 2};
    Rng rng = makeRng(uint64_t(700 + frame));
    Path blob;
    Contour body;
    const int points = 18;
    for (int i = 0; i < points; ++i) {
        const float a = 2 * kPi * float(i) / float(points);
        const float wobble = frame >= 4 ? float(uniform(rng, 0.78, 1.18)) : 1.0f;
        body.push_back(polar(c, radius * wobble, a));
    }
    blob.push_back(body);
    // Big splats throw a few satellite droplets.
    for (int i = 0; i < (frame >= 5 ? frame - 3 : 0); ++i) {
        const float a = float(uniform(rng, 0, 2 * kPi));
        blob.push_back(circleContour(polar(c, radius * float(uniform(rng, 1.05, 1.3)), a), radius * 0.22f));
    }
    fillPath(drop, blob, radialGradient({c.x - radius * 0.3f, c.y - radius * 0.3f}, radius * 1.3f, rgb(215, 20, 24),
                                        rgb(110, 0, 8)));
    fillCircle(drop, {c.x - radius * 0.35f, c.y - radius * 0.35f}, std::max(0.8f, radius * 0.22f),
               solid(Color{1, 0.8f, 0.8f, 0.55f}));
    return drop;
}

bool writeHudImages(const std::string& outDir) {
    const std::string dir = outDir + "/image/";
    bool ok = true;
    ok &= writePng(dir + "bar.png", lifeBarImage(false), PngMode::Alpha);
    ok &= writePng(dir + "bar_big.png", lifeBarImage(true), PngMode::Alpha);
    ok &= writePng(dir + "HUD.png", hudOverlayImage(), PngMode::Alpha);
    ok &= writePng(dir + "counterThree.png", counterImage(3), PngMode::Alpha);
    ok &= writePng(dir + "counterTwo.png", counterImage(2), PngMode::Alpha);
    ok &= writePng(dir + "counterOne.png", counterImage(1), PngMode::Alpha);
    for (int f = 1; f <= 7; ++f) ok &= writePng(dir + "hurt" + std::to_string(f) + ".png", bloodParticle(f), PngMode::Alpha);
    ok &= writePng(dir + "comboNeutral.png", comboIcon(0, 188), PngMode::Alpha);
    ok &= writePng(dir + "comboUp.png", comboIcon(1, 188), PngMode::Alpha);
    ok &= writePng(dir + "comboHeavy.png", comboIcon(2, 188), PngMode::Alpha);
    ok &= writePng(dir + "comboNeutral_small.png", comboIcon(0, 38), PngMode::Alpha);
    ok &= writePng(dir + "comboNUp_small.png", comboIcon(1, 38), PngMode::Alpha);
    ok &= writePng(dir + "comboHeavy_small.png", comboIcon(2, 38), PngMode::Alpha);
    static const char* kStatNames[11] = {"strength", "agility", "speed", "weight", "stamina", "life",
                                         "cut", "pierce", "blunt", "range", "difficulty"};
    for (int i = 0; i < 11; ++i) ok &= writePng(dir + "icon_" + kStatNames[i] + "_mini.png", statIcon(i), PngMode::Alpha);
    ok &= writePng(dir + "tobeadded.png", toBeAddedMark(), PngMode::Alpha);
    ok &= writePng(dir + "dot.png", gaugeDot(), PngMode::Alpha);
    ok &= writePng(dir + "crescent.png", gaugeCrescent(), PngMode::Alpha);
    return ok;
}

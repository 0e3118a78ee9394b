// The three fight stages, painted as wide scenes and cut into seamless background tiles.
#include "stages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "png_writer.h"
#include "rng.h"

namespace {

constexpr float kPi = 3.14159265f;

// Everything is drawn in stage coordinates; a tile is a window of the stage shifted by its
// left edge, so shapes and textures continue across tile joins.
struct Canvas {
    Image& image;
    float left;  // stage x of the tile's column 0
};

Path shifted(const Path& path, float dx) {
    Path out = path;
    for (Contour& c : out) {
        for (Vec2& p : c) p.x -= dx;
    }
    return out;
}

Paint shifted(Paint paint, float dx) {
    paint.p0.x -= dx;
    paint.p1.x -= dx;
    return paint;
}

// A five-pointed star for posters.
Contour starContourFor(Vec2 c, float outer, float inner) {
    Contour s;
    for (int i = 0; i < 10; ++i) {
        const float a = -kPi / 2 + kPi * float(i) / 5.0f;
        const float r = i % 2 == 0 ? outer : inner;
        s.push_back({c.x + std::cos(a) * r, c.y + std::sin(a) * r});
    }
    return s;
}

bool visible(const Canvas& cv, float x0, float x1) { return x1 >= cv.left - 4 && x0 <= cv.left + float(cv.image.width) + 4; }

void fill(Canvas& cv, const Path& path, const Paint& paint) {
    float minX = 1e30f, maxX = -1e30f;
    for (const Contour& c : path) {
        for (const Vec2& p : c) minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    }
    if (!visible(cv, minX, maxX)) return;
    fillPath(cv.image, shifted(path, cv.left), shifted(paint, cv.left));
}

void rect(Canvas& cv, float x, float y, float w, float h, const Paint& paint) { fill(cv, {rectContour(x, y, w, h)}, paint); }

void roundRect(Canvas& cv, float x, float y, float w, float h, float r, const Paint& paint) {
    fill(cv, {roundedRectContour(x, y, w, h, r)}, paint);
}

void circle(Canvas& cv, Vec2 c, float r, const Paint& paint) { fill(cv, {circleContour(c, r)}, paint); }

void line(Canvas& cv, Vec2 a, Vec2 b, float width, const Paint& paint) { fill(cv, {capsuleContour(a, b, width)}, paint); }

// Smooth value noise in 0..1 from integer lattice hashes (deterministic everywhere).
float hashUnit(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

float valueNoise(float x, float y, uint32_t seed) {
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const float fx = x - float(xi), fy = y - float(yi);
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = hashUnit(xi, yi, seed), b = hashUnit(xi + 1, yi, seed);
    const float c = hashUnit(xi, yi + 1, seed), d = hashUnit(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

float fractalNoise(float x, float y, uint32_t seed) {
    return 0.5f * valueNoise(x, y, seed) + 0.3f * valueNoise(x * 2.1f, y * 2.1f, seed + 7) +
           0.2f * valueNoise(x * 4.3f, y * 4.3f, seed + 13);
}

// Fills rows y0..y1 of the tile with a colour computed per stage pixel.
template <typename Shader>
void shadeRows(Canvas& cv, int y0, int y1, Shader shader) {
    y0 = std::max(0, y0);
    y1 = std::min(cv.image.height, y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = 0; x < cv.image.width; ++x) {
            const Color c = shader(cv.left + float(x) + 0.5f, float(y) + 0.5f);
            Color& d = pixelAt(cv.image, x, y);
            const float keep = 1 - c.a;
            d = Color{c.r * c.a + d.r * keep, c.g * c.a + d.g * keep, c.b * c.a + d.b * keep, c.a + d.a * keep};
        }
    }
}

// Wood planks along x: grain from stretched noise, a seam every plankLength.
Color woodAt(float x, float y, Color base, float plankHeight, float plankLength, uint32_t seed) {
    const int row = int(std::floor(y / plankHeight));
    const float offset = hashUnit(row, 0, seed) * plankLength;
    const float along = x + offset;
    const int plank = int(std::floor(along / plankLength));
    const float tone = 0.88f + 0.2f * hashUnit(plank, row, seed + 1);
    const float grain = fractalNoise(along / 90.0f, y / 6.0f + float(plank) * 3.1f, seed + 2);
    const float rings = 0.5f + 0.5f * std::sin((y + grain * 40.0f) / 3.5f + float(plank));
    float f = tone * (0.86f + 0.16f * grain + 0.06f * rings);
    const float inRow = y - float(row) * plankHeight;
    const float inPlank = along - float(plank) * plankLength;
    if (inRow < 2.0f || inPlank < 2.0f) f *= 0.62f;  // seams between boards
    return shade(base, f);
}

// ---------------------------------------------------------------- stage 1: desktop
// A giant desk seen by tiny fighters: a monitor wall behind, a mug, a lamp, pencils, notes.
void paintDesktop(Canvas& cv, const StageLayout& lay) {
    const float floorY = float(lay.floorRow);
    const float deskTop = floorY - 70;  // far edge of the desk surface
    const float stageW = float(lay.tileCount * lay.tileWidth);
    // Room wall: evening light, soft vertical gradient with a warm glow from the lamp.
    shadeRows(cv, 0, int(deskTop) + 2, [&](float x, float y) {
        Color c = mix(rgb(52, 58, 92), rgb(122, 106, 128), y / deskTop);
        const float dx = (x - 2650) / 900.0f, dy = (y - 200) / 700.0f;
        const float glow = std::exp(-(dx * dx + dy * dy) * 2.5f);
        return mix(c, rgb(255, 196, 130), glow * 0.45f);
    });
    // Monitor: bezel, screen with a bright wallpaper, windows and icons.
    const float monX = 420, monY = 40, monW = 2050, monH = 560;
    rect(cv, 1360, monY + monH - 10, 140, 110, linearGradient({1360, 0}, rgb(60, 62, 70), {1500, 0}, rgb(110, 112, 122)));
    fill(cv, {polygonContour({{1230, deskTop + 8}, {1630, deskTop + 8}, {1560, deskTop - 30}, {1300, deskTop - 30}})},
         linearGradient({0, deskTop - 30}, rgb(120, 122, 132), {0, deskTop + 8}, rgb(58, 60, 68)));
    roundRect(cv, monX - 26, monY - 26, monW + 52, monH + 52, 24, linearGradient({0, monY}, rgb(58, 60, 70), {0, monY + monH}, rgb(28, 30, 36)));
    shadeRows(cv, int(monY), int(monY + monH), [&](float x, float y) {
        if (x < monX || x > monX + monW) return Color{0, 0, 0, 0};
        const float u = (x - monX) / monW, v = (y - monY) / monH;
        // Wallpaper: a dawn sky with rolling hills.
        Color c = mix(rgb(90, 170, 240), rgb(255, 190, 150), v);
        const float hill = 0.72f + 0.08f * std::sin(u * 9.0f) + 0.05f * std::sin(u * 23.0f + 1.0f);
        if (v > hill) c = mix(rgb(90, 190, 110), rgb(40, 120, 70), (v - hill) * 4);
        const float hill2 = 0.82f + 0.06f * std::sin(u * 5.0f + 2.0f);
        if (v > hill2) c = mix(rgb(60, 150, 80), rgb(30, 90, 50), (v - hill2) * 4);
        return c;
    });
    circle(cv, {monX + monW * 0.78f, monY + 150}, 60, radialGradient({monX + monW * 0.78f, monY + 150}, 60, rgb(255, 250, 210), rgb(255, 210, 120)));
    // Taskbar and icons.
    rect(cv, monX, monY + monH - 34, monW, 34, solid(rgb(30, 34, 48, 0.9f)));
    for (int i = 0; i < 6; ++i) {
        const float x = monX + 60 + float(i) * 56;
        roundRect(cv, x, monY + monH - 28, 40, 22, 4, solid(i == 0 ? rgb(80, 160, 255) : rgb(90, 96, 120)));
    }
    static const Color kIconColors[5] = {rgb(255, 210, 80), rgb(120, 200, 255), rgb(255, 120, 120), rgb(150, 230, 140), rgb(220, 170, 255)};
    for (int i = 0; i < 5; ++i) {
        const float y = monY + 30 + float(i) * 90;
        roundRect(cv, monX + 30, y, 56, 48, 6, solid(kIconColors[i]));
        rect(cv, monX + 28, y + 56, 60, 9, solid(rgb(250, 250, 255, 0.8f)));
    }
    // Two open windows with text lines and a chart.
    auto window = [&](float x, float y, float w, float h, Color bar) {
        roundRect(cv, x + 8, y + 10, w, h, 8, solid(rgb(0, 0, 0, 0.25f)));
        roundRect(cv, x, y, w, h, 8, solid(rgb(246, 246, 250)));
        roundRect(cv, x, y, w, 34, 8, solid(bar));
        rect(cv, x, y + 20, w, 14, solid(bar));
        for (int k = 0; k < 3; ++k) circle(cv, {x + w - 22 - float(k) * 26, y + 17}, 8, solid(rgb(255, 255, 255, 0.7f)));
    };
    window(monX + 230, monY + 70, 620, 360, rgb(70, 120, 220));
    for (int k = 0; k < 8; ++k) {
        const float w = 380 + 160 * hashUnit(k, 1, 5);
        rect(cv, monX + 260, monY + 130 + float(k) * 34, w, 12, solid(rgb(150, 156, 176)));
    }
    window(monX + 1010, monY + 110, 560, 330, rgb(230, 120, 60));
    for (int k = 0; k < 9; ++k) {
        const float h = 60 + 170 * hashUnit(k, 2, 9);
        rect(cv, monX + 1050 + float(k) * 55, monY + 420 - h, 38, h,
             linearGradient({0, monY + 420 - h}, rgb(255, 170, 80), {0, monY + 420}, rgb(230, 90, 40)));
    }
    // A sticky note on the bezel and a webcam.
    circle(cv, {monX + monW / 2, monY - 12}, 7, solid(rgb(20, 22, 28)));
    fill(cv, {polygonContour({{monX + monW - 40, monY - 40}, {monX + monW + 70, monY - 30}, {monX + monW + 60, monY + 80}, {monX + monW - 50, monY + 70}})},
         linearGradient({0, monY - 40}, rgb(255, 240, 120), {0, monY + 80}, rgb(240, 210, 70)));
    // Lamp on the right: base, arm, shade and light cone.
    const float lampX = 2700;
    fill(cv, {polygonContour({{lampX - 420, 120}, {lampX - 200, 150}, {lampX + 120, deskTop + 40}, {lampX - 760, deskTop + 40}})},
         linearGradient({0, 120}, rgb(255, 230, 170, 0.28f), {0, deskTop + 40}, rgb(255, 230, 170, 0.0f)));
    line(cv, {lampX, deskTop - 10}, {lampX + 60, 260}, 22, solid(rgb(70, 74, 86)));
    line(cv, {lampX + 60, 260}, {lampX - 220, 90}, 22, solid(rgb(80, 84, 96)));
    circle(cv, {lampX + 60, 260}, 20, solid(rgb(40, 42, 50)));
    fill(cv, {polygonContour({{lampX - 170, 20}, {lampX - 60, 90}, {lampX - 280, 200}, {lampX - 380, 130}})},
         linearGradient({lampX - 170, 20}, rgb(230, 70, 60), {lampX - 380, 130}, rgb(150, 30, 30)));
    fill(cv, {ellipseContour({lampX - 330, 165}, 70, 22, -0.45f)}, solid(rgb(255, 246, 200)));
    fill(cv, {ellipseContour({lampX, deskTop + 6}, 110, 26)}, solid(rgb(56, 58, 66)));
    // Coffee mug on the left with steam.
    const float mugX = 120, mugTop = deskTop - 300;
    fill(cv, {roundedRectContour(mugX, mugTop, 230, 310, 26)},
         linearGradient({mugX, 0}, rgb(250, 250, 252), {mugX + 230, 0}, rgb(190, 196, 210)));
    fill(cv, {ellipseContour({mugX + 115, mugTop + 4}, 115, 22)}, solid(rgb(96, 56, 30)));
    Path handle = {capsuleContour({mugX + 226, mugTop + 70}, {mugX + 300, mugTop + 110}, 30),
                   capsuleContour({mugX + 300, mugTop + 110}, {mugX + 290, mugTop + 200}, 30),
                   capsuleContour({mugX + 290, mugTop + 200}, {mugX + 226, mugTop + 230}, 30)};
    fill(cv, handle, solid(rgb(215, 220, 230)));
    circle(cv, {mugX + 115, mugTop + 150}, 52, solid(rgb(240, 110, 60)));
    fill(cv, {polygonContour({{mugX + 92, mugTop + 150}, {mugX + 118, mugTop + 112}, {mugX + 114, mugTop + 144}, {mugX + 140, mugTop + 148}, {mugX + 112, mugTop + 190}, {mugX + 116, mugTop + 156}})},
         solid(rgb(255, 240, 200)));
    for (int k = 0; k < 3; ++k) {
        std::vector<Vec2> steam;
        for (int s = 0; s <= 12; ++s) {
            const float t = float(s) / 12.0f;
            steam.push_back({mugX + 70 + float(k) * 45 + 18 * std::sin(t * 7 + float(k)), mugTop - 20 - t * 220});
        }
        Path p;
        for (size_t s = 0; s + 1 < steam.size(); ++s) p.push_back(capsuleContour(steam[s], steam[s + 1], 10));
        fill(cv, p, solid(rgb(255, 255, 255, 0.22f)));
    }
    // Desk surface: warm wood in perspective bands, front edge below the floor line.
    shadeRows(cv, int(deskTop), lay.tileHeight, [&](float x, float y) {
        const Color wood = woodAt(x, y, rgb(196, 134, 82), 46, 900, 31);
        const float depth = (y - deskTop) / 160.0f;
        Color c = shade(wood, 0.78f + 0.3f * std::min(1.0f, depth));
        if (y > floorY + 110) c = shade(woodAt(x, y, rgb(150, 98, 56), 400, 1400, 77), 0.8f);  // desk front edge
        return c;
    });
    rect(cv, 0, floorY + 106, stageW, 6, solid(rgb(250, 210, 160, 0.6f)));
    // Keyboard, pencils, a paper sheet and scattered dice-sized erasers along the desk's back.
    roundRect(cv, 900, deskTop - 16, 900, 40, 10, solid(rgb(36, 38, 46)));
    for (int k = 0; k < 22; ++k) roundRect(cv, 914 + float(k) * 40, deskTop - 12, 34, 14, 3, solid(rgb(78, 82, 94)));
    fill(cv, {polygonContour({{1950, deskTop + 10}, {2300, deskTop - 4}, {2330, deskTop + 24}, {1980, deskTop + 36}})}, solid(rgb(248, 248, 240)));
    line(cv, {520, deskTop + 20}, {860, deskTop + 6}, 16, solid(rgb(250, 200, 40)));
    fill(cv, {polygonContour({{860, deskTop - 2}, {890, deskTop + 5}, {861, deskTop + 14}})}, solid(rgb(230, 190, 140)));
    line(cv, {500, deskTop + 21}, {520, deskTop + 20}, 16, solid(rgb(240, 120, 150)));
    line(cv, {2380, deskTop + 30}, {2640, deskTop + 40}, 12, solid(rgb(60, 140, 230)));
    // Soft shadow band where the desk meets the wall.
    rect(cv, 0, deskTop - 6, stageW, 10, linearGradient({0, deskTop - 6}, rgb(0, 0, 0, 0.0f), {0, deskTop + 4}, rgb(0, 0, 0, 0.3f)));
}

// ---------------------------------------------------------------- stage 2: college
// A campus courtyard: brick halls with tall windows, a clock tower, trees, lamps, benches.
void paintCollege(Canvas& cv, const StageLayout& lay) {
    const float floorY = float(lay.floorRow);
    const float groundTop = floorY - 90;
    const float stageW = float(lay.tileCount * lay.tileWidth);
    // Sky: afternoon blue to a golden horizon, with soft clouds.
    shadeRows(cv, 0, int(groundTop) + 2, [&](float x, float y) {
        Color c = mix(rgb(70, 130, 210), rgb(250, 214, 160), std::pow(y / groundTop, 1.4f));
        const float n = fractalNoise(x / 420.0f, y / 130.0f, 91);
        const float cloud = std::clamp((n - 0.58f) * 4.0f, 0.0f, 1.0f) * (1.0f - y / groundTop);
        return mix(c, rgb(255, 250, 246), cloud * 0.85f);
    });
    // Distant hills and city.
    shadeRows(cv, int(groundTop) - 420, int(groundTop), [&](float x, float y) {
        const float h = groundTop - 260 - 90 * valueNoise(x / 700.0f, 0, 17) - 40 * valueNoise(x / 180.0f, 3, 17);
        if (y < h) return Color{0, 0, 0, 0};
        return mix(rgb(150, 170, 190), rgb(120, 150, 150), (y - h) / 300.0f);
    });
    // Brick halls: three buildings and a clock tower at the centre.
    auto hall = [&](float x, float w, float h) {
        const float top = groundTop - h;
        shadeRows(cv, int(top), int(groundTop), [&](float px, float py) {
            if (px < x || px > x + w) return Color{0, 0, 0, 0};
            const int row = int(std::floor((py - top) / 14.0f));
            const float bx = px + (row % 2 == 0 ? 0.0f : 16.0f);
            const int col = int(std::floor(bx / 32.0f));
            const bool mortar = std::fmod(py - top, 14.0f) < 2.0f || std::fmod(bx, 32.0f) < 2.0f;
            const float tone = 0.85f + 0.25f * hashUnit(col, row, 55);
            return mortar ? rgb(206, 190, 170) : shade(rgb(170, 84, 62), tone);
        });
        // Cornice and roof.
        rect(cv, x - 20, top - 24, w + 40, 30, linearGradient({0, top - 24}, rgb(236, 228, 210), {0, top + 6}, rgb(190, 180, 160)));
        fill(cv, {polygonContour({{x - 10, top - 24}, {x + w / 2, top - 150}, {x + w + 10, top - 24}})},
             linearGradient({0, top - 150}, rgb(90, 100, 120), {0, top - 24}, rgb(60, 66, 84)));
        // Tall arched windows in two storeys.
        for (float wx = x + 60; wx + 90 < x + w - 30; wx += 170) {
            for (int storey = 0; storey < 2; ++storey) {
                const float wy = top + 70 + float(storey) * (h * 0.45f);
                const float wh = h * 0.3f;
                Path win = {roundedRectContour(wx, wy, 90, wh, 45)};
                fill(cv, {roundedRectContour(wx - 10, wy - 10, 110, wh + 20, 55)}, solid(rgb(226, 216, 196)));
                fill(cv, win, linearGradient({0, wy}, rgb(160, 200, 240), {0, wy + wh}, rgb(70, 100, 150)));
                rect(cv, wx + 43, wy, 4, wh, solid(rgb(226, 216, 196)));
                rect(cv, wx, wy + wh * 0.5f, 90, 4, solid(rgb(226, 216, 196)));
                fill(cv, {polygonContour({{wx + 10, wy + 30}, {wx + 30, wy + 18}, {wx + 30, wy + wh * 0.45f}, {wx + 10, wy + wh * 0.48f}})},
                     solid(rgb(255, 255, 255, 0.25f)));
            }
        }
        // Double doors.
        const float dx = x + w / 2 - 70;
        fill(cv, {roundedRectContour(dx - 16, groundTop - 230, 172, 240, 80)}, solid(rgb(226, 216, 196)));
        fill(cv, {roundedRectContour(dx, groundTop - 214, 140, 220, 70)}, linearGradient({dx, 0}, rgb(110, 60, 36), {dx + 140, 0}, rgb(70, 36, 20)));
        rect(cv, dx + 68, groundTop - 200, 4, 200, solid(rgb(40, 20, 10)));
    };
    hall(200, 1500, 620);
    hall(2250, 1500, 700);
    hall(4300, 1500, 600);
    // Clock tower between the first two halls.
    const float tx = 1850, tw = 300, tTop = groundTop - 1150;
    rect(cv, tx, tTop, tw, 1150, linearGradient({tx, 0}, rgb(200, 104, 78), {tx + tw, 0}, rgb(140, 64, 48)));
    fill(cv, {polygonContour({{tx - 30, tTop}, {tx + tw / 2, tTop - 260}, {tx + tw + 30, tTop}})},
         linearGradient({0, tTop - 260}, rgb(90, 110, 140), {0, tTop}, rgb(50, 60, 80)));
    circle(cv, {tx + tw / 2, tTop + 150}, 110, solid(rgb(236, 228, 210)));
    circle(cv, {tx + tw / 2, tTop + 150}, 96, radialGradient({tx + tw / 2 - 20, tTop + 130}, 120, rgb(255, 252, 240), rgb(220, 214, 196)));
    for (int k = 0; k < 12; ++k) {
        const float a = 2 * kPi * float(k) / 12.0f;
        const Vec2 c{tx + tw / 2, tTop + 150};
        line(cv, {c.x + std::cos(a) * 78, c.y + std::sin(a) * 78}, {c.x + std::cos(a) * 88, c.y + std::sin(a) * 88}, 5, solid(rgb(40, 36, 40)));
    }
    line(cv, {tx + tw / 2, tTop + 150}, {tx + tw / 2 + 40, tTop + 110}, 8, solid(rgb(30, 30, 36)));
    line(cv, {tx + tw / 2, tTop + 150}, {tx + tw / 2, tTop + 80}, 6, solid(rgb(30, 30, 36)));
    for (int k = 0; k < 4; ++k) fill(cv, {roundedRectContour(tx + 50, tTop + 320 + float(k) * 190, 200, 120, 60)}, solid(rgb(70, 100, 150)));
    // Lawn strip, trees and lamp posts in front of the halls.
    rect(cv, 0, groundTop - 40, stageW, 44, linearGradient({0, groundTop - 40}, rgb(110, 170, 80), {0, groundTop + 4}, rgb(70, 130, 60)));
    for (float x = 120; x < stageW; x += 760) {
        const float tx2 = x + 260 * hashUnit(int(x), 0, 8);
        rect(cv, tx2 - 16, groundTop - 300, 32, 300, linearGradient({tx2 - 16, 0}, rgb(110, 76, 50), {tx2 + 16, 0}, rgb(70, 46, 30)));
        Path crown;
        Rng rng = makeRng(uint64_t(tx2));
        for (int k = 0; k < 9; ++k) {
            crown.push_back(circleContour({tx2 + float(uniform(rng, -120, 120)), groundTop - 330 - float(uniform(rng, 0, 170))},
                                          float(uniform(rng, 70, 110))));
        }
        fill(cv, crown, radialGradient({tx2 - 40, groundTop - 470}, 260, rgb(120, 190, 90), rgb(40, 110, 60)));
    }
    for (float x = 500; x < stageW; x += 1000) {
        line(cv, {x, groundTop}, {x, groundTop - 330}, 14, solid(rgb(40, 44, 52)));
        fill(cv, {polygonContour({{x - 30, groundTop - 330}, {x + 30, groundTop - 330}, {x + 20, groundTop - 390}, {x - 20, groundTop - 390}})},
             solid(rgb(255, 236, 170)));
        rect(cv, x - 36, groundTop - 334, 72, 8, solid(rgb(40, 44, 52)));
        // A bench every other lamp.
        if (int(x) % 2000 == 500) {
            rect(cv, x + 120, groundTop - 70, 260, 14, solid(rgb(150, 100, 60)));
            rect(cv, x + 120, groundTop - 110, 260, 12, solid(rgb(150, 100, 60)));
            rect(cv, x + 136, groundTop - 70, 10, 70, solid(rgb(40, 44, 52)));
            rect(cv, x + 354, groundTop - 70, 10, 70, solid(rgb(40, 44, 52)));
        }
    }
    // Paved path: large stone slabs, the fighters' floor.
    shadeRows(cv, int(groundTop), lay.tileHeight, [&](float x, float y) {
        const float depth = (y - groundTop) / 240.0f;
        const float slabW = 120 + 60 * std::min(1.0f, depth);
        const int row = int(std::floor((y - groundTop) / 40.0f));
        const float sx = x + float(row % 2) * slabW * 0.5f;
        const int col = int(std::floor(sx / slabW));
        const bool joint = std::fmod(y - groundTop, 40.0f) < 2.0f || std::fmod(sx, slabW) < 2.5f;
        const float tone = 0.86f + 0.18f * hashUnit(col, row, 21) + 0.08f * fractalNoise(x / 30.0f, y / 30.0f, 4);
        Color c = shade(rgb(196, 186, 170), tone * (0.82f + 0.25f * std::min(1.0f, depth)));
        return joint ? shade(c, 0.7f) : c;
    });
}

// ---------------------------------------------------------------- stage 3: board game club
// A cosy club room at night: shelves of game boxes, a big table, lamps, a window, posters.
void paintBoardGameClub(Canvas& cv, const StageLayout& lay) {
    const float floorY = float(lay.floorRow);
    const float wallBottom = floorY - 80;
    const float stageW = float(lay.tileCount * lay.tileWidth);
    // Wallpaper with a damask stripe above a wood wainscot.
    shadeRows(cv, 0, int(wallBottom), [&](float x, float y) {
        const float stripe = 0.5f + 0.5f * std::cos(x / 60.0f * kPi);
        Color c = mix(rgb(92, 52, 58), rgb(112, 66, 70), stripe * 0.6f);
        const float motif = std::sin(x / 20.0f) * std::sin(y / 20.0f);
        if (motif > 0.75f) c = shade(c, 1.12f);
        if (y > wallBottom - 330) c = woodAt(x, y, rgb(120, 74, 44), 330, 180, 61);
        return c;
    });
    rect(cv, 0, wallBottom - 340, stageW, 16, linearGradient({0, wallBottom - 340}, rgb(200, 150, 90), {0, wallBottom - 324}, rgb(110, 70, 40)));
    // Night window with stars and moon.
    auto nightWindow = [&](float x, float y) {
        roundRect(cv, x - 24, y - 24, 448, 548, 14, solid(rgb(90, 56, 34)));
        shadeRows(cv, int(y), int(y + 500), [&](float px, float py) {
            if (px < x || px > x + 400) return Color{0, 0, 0, 0};
            Color c = mix(rgb(16, 24, 60), rgb(60, 50, 110), (py - y) / 500.0f);
            if (hashUnit(int(px), int(py), 3) > 0.9985f) c = rgb(255, 255, 230);
            return c;
        });
        circle(cv, {x + 290, y + 120}, 50, radialGradient({x + 280, y + 110}, 60, rgb(255, 252, 220), rgb(230, 220, 170)));
        rect(cv, x + 196, y, 8, 500, solid(rgb(90, 56, 34)));
        rect(cv, x, y + 246, 400, 8, solid(rgb(90, 56, 34)));
    };
    nightWindow(2300, wallBottom - 1080);
    // Shelves crammed with colourful boxes.
    auto shelf = [&](float x, float w, float top, int rows, uint32_t seed) {
        rect(cv, x - 20, top - 20, w + 40, float(rows) * 180 + 40, solid(rgb(70, 40, 24)));
        for (int r = 0; r < rows; ++r) {
            const float by = top + float(r) * 180;
            rect(cv, x, by, w, 160, solid(rgb(46, 26, 16)));
            float bx = x + 6;
            int k = 0;
            while (bx < x + w - 30) {
                const float bw = 26 + 50 * hashUnit(k, r, seed);
                const float bh = 100 + 55 * hashUnit(k, r, seed + 1);
                if (bx + bw > x + w - 6) break;
                const Color c = mix(rgb(230, 70, 60), rgb(60, 140, 230), hashUnit(k, r, seed + 2));
                const Color c2 = mix(c, rgb(250, 200, 60), hashUnit(k, r, seed + 3) * 0.8f);
                rect(cv, bx, by + 160 - bh, bw - 3, bh, linearGradient({bx, 0}, shade(c2, 1.1f), {bx + bw, 0}, shade(c2, 0.7f)));
                rect(cv, bx + 4, by + 160 - bh + 12, bw - 11, 8, solid(rgb(255, 250, 230, 0.7f)));
                bx += bw;
                ++k;
            }
            // Flat boxes stacked at the end of the shelf.
            for (int s = 0; s < 3; ++s) {
                const Color c = mix(rgb(90, 200, 120), rgb(240, 160, 60), hashUnit(s, r, seed + 5));
                rect(cv, bx + 2, by + 160 - float(s + 1) * 24, std::max(10.0f, x + w - bx - 8), 22, solid(c));
            }
            rect(cv, x - 20, by + 160, w + 40, 20, linearGradient({0, by + 160}, rgb(150, 96, 56), {0, by + 180}, rgb(90, 56, 32)));
        }
    };
    shelf(300, 1300, wallBottom - 1060, 4, 11);
    shelf(3300, 1400, wallBottom - 1060, 4, 23);
    // Posters: a hex map and a dragon-ish banner.
    roundRect(cv, 1850, wallBottom - 1000, 330, 440, 6, solid(rgb(236, 224, 190)));
    for (int r = 0; r < 7; ++r) {
        for (int q = 0; q < 5; ++q) {
            const Vec2 c{1900 + float(q) * 58 + (r % 2) * 29.0f, wallBottom - 950 + float(r) * 50};
            Contour hex;
            for (int k = 0; k < 6; ++k) hex.push_back({c.x + 30 * std::cos(kPi / 6 + k * kPi / 3), c.y + 30 * std::sin(kPi / 6 + k * kPi / 3)});
            const Color terrain = hashUnit(q, r, 7) > 0.6f ? rgb(110, 170, 90) : (hashUnit(q, r, 8) > 0.5f ? rgb(220, 200, 120) : rgb(100, 150, 210));
            fill(cv, {hex}, solid(terrain));
        }
    }
    fill(cv, {polygonContour({{4850, wallBottom - 1020}, {5000, wallBottom - 1020}, {5000, wallBottom - 560}, {4925, wallBottom - 610}, {4850, wallBottom - 560}})},
         linearGradient({0, wallBottom - 1020}, rgb(60, 120, 80), {0, wallBottom - 560}, rgb(30, 70, 50)));
    fill(cv, {starContourFor({4925, wallBottom - 820}, 50, 20)}, solid(rgb(250, 210, 80)));
    // Hanging lamps with warm pools of light.
    for (float x = 700; x < stageW; x += 1200) {
        fill(cv, {polygonContour({{x - 380, wallBottom + 100}, {x + 380, wallBottom + 100}, {x + 90, wallBottom - 1100}, {x - 90, wallBottom - 1100}})},
             linearGradient({0, wallBottom - 1100}, rgb(255, 210, 140, 0.22f), {0, wallBottom + 100}, rgb(255, 210, 140, 0.0f)));
        line(cv, {x, 0}, {x, wallBottom - 1190}, 6, solid(rgb(30, 26, 24)));
        fill(cv, {polygonContour({{x - 40, wallBottom - 1200}, {x + 40, wallBottom - 1200}, {x + 110, wallBottom - 1110}, {x - 110, wallBottom - 1110}})},
             linearGradient({x - 110, 0}, rgb(60, 110, 70), {x + 110, 0}, rgb(30, 70, 40)));
        fill(cv, {ellipseContour({x, wallBottom - 1108}, 100, 16)}, solid(rgb(255, 240, 190)));
    }
    // The big game table behind the fighters, with a board, pieces and dice.
    const float tableTop = wallBottom - 220;
    rect(cv, 1700, tableTop, 1300, 34, linearGradient({0, tableTop}, rgb(160, 100, 56), {0, tableTop + 34}, rgb(100, 60, 30)));
    for (float lx : {1740.0f, 2920.0f}) rect(cv, lx, tableTop + 34, 40, wallBottom - tableTop - 34 + 60, solid(rgb(90, 54, 28)));
    fill(cv, {polygonContour({{1900, tableTop + 2}, {2500, tableTop + 2}, {2460, tableTop - 30}, {1940, tableTop - 30}})}, solid(rgb(236, 226, 196)));
    for (int k = 0; k < 8; ++k) {
        const float x = 1950 + float(k) * 64;
        rect(cv, x, tableTop - 26, 32, 24, solid(k % 2 ? rgb(40, 40, 44) : rgb(200, 60, 50)));
    }
    for (int k = 0; k < 5; ++k) {
        const float x = 2600 + float(k) * 60;
        const Color c = mix(rgb(240, 80, 80), rgb(80, 120, 240), float(k) / 4.0f);
        circle(cv, {x, tableTop - 46}, 16, solid(c));
        fill(cv, {polygonContour({{x - 20, tableTop}, {x + 20, tableTop}, {x + 10, tableTop - 40}, {x - 10, tableTop - 40}})}, solid(c));
    }
    roundRect(cv, 2060, tableTop - 70, 60, 60, 10, solid(rgb(250, 250, 245)));
    for (Vec2 d : std::vector<Vec2>{{2075, tableTop - 55}, {2090, tableTop - 40}, {2105, tableTop - 25}}) circle(cv, d, 5, solid(rgb(30, 30, 30)));
    // Floor: polished planks, lit in pools under the lamps.
    shadeRows(cv, int(wallBottom), lay.tileHeight, [&](float x, float y) {
        const float depth = (y - wallBottom) / 230.0f;
        Color c = woodAt(x, y, rgb(166, 108, 62), 30 + 20 * std::min(1.0f, depth), 420, 47);
        const float lamp = std::cos((std::fmod(x, 1200.0f) - 700.0f) / 1200.0f * kPi);
        c = shade(c, 0.72f + 0.28f * lamp * lamp + 0.15f * std::min(1.0f, depth));
        return c;
    });
    rect(cv, 0, wallBottom - 6, stageW, 12, solid(rgb(60, 34, 20)));
    // A patterned rug under the fight.
    fill(cv, {polygonContour({{700, floorY - 40}, {stageW - 700, floorY - 40}, {stageW - 560, floorY + 90}, {560, floorY + 90}})},
         linearGradient({0, floorY - 40}, rgb(150, 40, 46, 0.85f), {0, floorY + 90}, rgb(110, 26, 34, 0.9f)));
    for (float x = 720; x < stageW - 720; x += 80) {
        fill(cv, {polygonContour({{x, floorY + 25}, {x + 28, floorY + 5}, {x + 56, floorY + 25}, {x + 28, floorY + 45}})}, solid(rgb(230, 180, 90, 0.8f)));
    }
}

}  // namespace

StageLayout stageLayout(int stage) {
    // Vertical values from the stage table; tiles reach 150 px below the floor line.
    switch (stage) {
        case 1:
            return StageLayout{4, 750, 900, 230, 750};
        case 2:
            return StageLayout{6, 1000, 1650, -520, 1500};
        default:
            return StageLayout{5, 1000, 1690, -560, 1540};
    }
}

Image paintStageTile(int stage, int tile) {
    const StageLayout lay = stageLayout(stage);
    Image image = makeImage(lay.tileWidth, lay.tileHeight, rgb(20, 20, 26));
    Canvas cv{image, float(tile * lay.tileWidth)};
    if (stage == 1) paintDesktop(cv, lay);
    if (stage == 2) paintCollege(cv, lay);
    if (stage == 3) paintBoardGameClub(cv, lay);
    return image;
}

bool writeStageTiles(const std::string& outDir, int stage) {
    const StageLayout lay = stageLayout(stage);
    bool ok = true;
    for (int t = 0; t < lay.tileCount; ++t) {
        const std::string path = outDir + "/image/background" + std::to_string(stage) + "_" + std::to_string(t + 1) + ".png";
        ok &= writePng(path, paintStageTile(stage, t), PngMode::ColorKey);
    }
    return ok;
}


// Landing dust and loading animations: their pictures and their data.json entries.
#include "effect_frames.h"

#include <algorithm>
#include <cmath>

#include "frame_geometry.h"
#include "raster.h"
#include "rng.h"

namespace {

constexpr float kPi = 3.14159265f;
// Canvas on which effect frames are drawn, and the feet point inside it.
constexpr int kCanvasW = 900;
constexpr int kCanvasH = 420;
constexpr float kFeetX = 450;
constexpr float kFeetY = 380;

struct Puff {
    float x;       // start offset from the feet (px, + is in front)
    float y;       // height above the floor
    float vx;      // spread per frame
    float vy;
    float radius;
    float grow;    // radius gain per frame
};

// One dust cloud animation of `frames` frames from a set of puffs.
// Clears ok when a picture cannot be written.
Json dustAnimation(const std::string& outDir, const std::string& name, const std::vector<Puff>& puffs, int frames,
                   int ticks, Color tint, float opacity, bool withPebbles, uint64_t seed, bool& ok) {
    Json list = Json::array();
    Rng rng = makeRng(seed);
    std::vector<Vec2> pebbles;
    std::vector<Vec2> pebbleSpeed;
    if (withPebbles) {
        for (int i = 0; i < 10; ++i) {
            pebbles.push_back({float(uniform(rng, -30, 30)), -4});
            pebbleSpeed.push_back({float(uniform(rng, -26, 26)), float(uniform(rng, -26, -12))});
        }
    }
    for (int f = 0; f < frames; ++f) {
        const float t = float(f) / float(std::max(1, frames - 1));
        Image canvas = makeImage(kCanvasW, kCanvasH);
        const float fade = opacity * (1.0f - t * t) * std::min(1.0f, 0.55f + float(f) * 0.45f);
        Image cloud = makeImage(kCanvasW, kCanvasH);
        for (const Puff& p : puffs) {
            const float x = kFeetX + p.x + p.vx * float(f);
            const float y = kFeetY - p.y - p.vy * float(f);
            const float r = p.radius + p.grow * float(f);
            fillCircle(cloud, {x, y}, r,
                       radialGradient({x - r * 0.3f, y - r * 0.4f}, r * 1.1f, shade(tint, 1.12f), shade(tint, 0.8f)));
        }
        blurImage(cloud, 2 + f);
        drawImage(canvas, cloud, 0, 0, fade);
        for (size_t i = 0; i < pebbles.size(); ++i) {
            const float ft = float(f);
            const Vec2 p{kFeetX + pebbles[i].x + pebbleSpeed[i].x * ft, kFeetY + pebbles[i].y + pebbleSpeed[i].y * ft + 6.0f * ft * ft};
            if (p.y > kFeetY + 4) continue;
            fillCircle(canvas, p, 3.2f - ft * 0.3f, solid(withAlpha(shade(tint, 0.55f), 1.0f - t * 0.6f)));
        }
        const std::string rel = "image/effect/" + name + "_" + std::to_string(f + 1);
        FramePlacement pl;
        ok &= writeFramePicture(outDir, rel, ".png", canvas, kFeetX, kFeetY, pl);
        list.push_back(pictureFrame(rel, ticks, pl.shiftX, pl.shiftY));
    }
    return animationJson(name, list, false);
}

std::vector<Puff> ringOfPuffs(Rng& rng, int count, float spread, float height, float radius, float speed) {
    std::vector<Puff> puffs;
    for (int i = 0; i < count; ++i) {
        const float side = i % 2 == 0 ? 1.0f : -1.0f;
        const float x = side * float(uniform(rng, 8, spread));
        puffs.push_back(Puff{x, float(uniform(rng, 2, height)), side * float(uniform(rng, 0.5, 1.0)) * speed,
                             float(uniform(rng, 0.5, 2.5)), float(uniform(rng, 0.6, 1.0)) * radius,
                             float(uniform(rng, 1.5, 3.5)) * radius / 14.0f});
    }
    return puffs;
}

// A spinning emblem of eight beads, one bright bead running round. Clears ok when a picture
// cannot be written.
Json loadingAnimation(const std::string& outDir, bool& ok) {
    Json frames = Json::array();
    const int count = 8;
    for (int f = 0; f < count; ++f) {
        Image canvas = makeImage(kCanvasW, kCanvasH);
        const Vec2 c{kFeetX, kFeetY - 110};
        fillCircle(canvas, c, 84, radialGradient(c, 84, rgb(40, 36, 52, 0.85f), rgb(20, 18, 28, 0.0f)));
        for (int i = 0; i < count; ++i) {
            const float a = -kPi / 2 + 2 * kPi * float(i) / float(count);
            const int age = (f - i + count) % count;
            const float glow = std::max(0.0f, 1.0f - float(age) / 5.0f);
            const Vec2 p{c.x + std::cos(a) * 58, c.y + std::sin(a) * 58};
            const float r = 9 + 6 * glow;
            fillCircle(canvas, p, r + 2, solid(rgb(16, 14, 22)));
            fillCircle(canvas, p, r, radialGradient({p.x - 3, p.y - 3}, r * 1.2f, mix(rgb(150, 150, 170), rgb(255, 250, 210), glow),
                                                    mix(rgb(70, 70, 90), rgb(255, 140, 30), glow)));
        }
        // Crossed blades in the middle.
        strokeLine(canvas, {c.x - 26, c.y + 26}, {c.x + 26, c.y - 26}, 7, solid(rgb(230, 232, 240)));
        strokeLine(canvas, {c.x + 26, c.y + 26}, {c.x - 26, c.y - 26}, 7, solid(rgb(230, 232, 240)));
        fillCircle(canvas, c, 9, solid(rgb(255, 150, 40)));
        const std::string rel = "image/effect/loading_" + std::to_string(f + 1);
        FramePlacement pl;
        ok &= writeFramePicture(outDir, rel, ".png", canvas, kFeetX, kFeetY, pl);
        frames.push_back(pictureFrame(rel, 4, pl.shiftX, pl.shiftY));
    }
    return animationJson("loading", frames, true);
}

}  // namespace

EffectAnimations writeEffectAnimations(const std::string& outDir, bool* ok) {
    EffectAnimations out;
    bool written = true;
    Rng rng = makeRng(4242);
    const Color dust = rgb(214, 200, 176);
    const Color darkDust = rgb(170, 156, 136);
    // Two variants per list so that repeated landings differ.
    for (int v = 0; v < 2; ++v) {
        const std::string n = std::to_string(v + 1);
        out.landLightFront.push_back(dustAnimation(outDir, "land_light_front" + n, ringOfPuffs(rng, 6, 40, 8, 13, 9), 6, 3,
                                                   dust, 0.85f, false, 10 + uint64_t(v), written));
        out.landLightBack.push_back(dustAnimation(outDir, "land_light_back" + n, ringOfPuffs(rng, 5, 60, 26, 18, 6), 6, 3,
                                                  darkDust, 0.6f, false, 20 + uint64_t(v), written));
        out.landHeavyFront.push_back(dustAnimation(outDir, "land_heavy_front" + n, ringOfPuffs(rng, 10, 70, 12, 20, 16), 8, 3,
                                                   dust, 0.95f, true, 30 + uint64_t(v), written));
        out.landHeavyBack.push_back(dustAnimation(outDir, "land_heavy_back" + n, ringOfPuffs(rng, 8, 90, 50, 30, 10), 8, 3,
                                                  darkDust, 0.7f, false, 40 + uint64_t(v), written));
    }
    out.loading.push_back(loadingAnimation(outDir, written));
    if (ok) *ok = written;
    return out;
}

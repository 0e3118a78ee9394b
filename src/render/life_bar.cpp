// Life gauges. The bar is a sliding picture: its length moves its position, and the overlay
// hides what slides out.
#include "render/life_bar.h"

#include <algorithm>
#include <cmath>

#include "app/pacing.h"
#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "render/fighter_drawing.h"
#include "render/sprite_assets.h"
#include "runtime/colour.h"
#include "runtime/numbers.h"
#include "runtime/sprites.h"

namespace {
constexpr int64_t kYellow = RGB(255, 255, 0);

void drawBar(int64_t sprite, double left, double top, int64_t tint, double flash) {
    int64_t x = roundToInt(left), y = roundToInt(top);
    drawSpriteBlended(sprite, x, y);
    drawSpriteBlended(sprite, x, y, 128, tint);
    if (flash >= 1) drawSpriteBlended(sprite, x, y, roundToInt(flash), RGB(255, 0, 0));
}
} // namespace

void drawLifeBar(const Fighter& fighter) {
    if (hudBlock == 0) return;
    const LifeGauge& g = fighter.lifeBar;
    bool mirrored = g.orientation == 1;
    double ox = mirrored ? -160 : 160, oy = -70, a = mirrored ? -10 : -50;
    Vec2 s = g.shaking ? g.shake : Vec2{};
    int64_t colour = fighterColour(fighter);
    int64_t pick = mirrored ? 1 : 0;

    int64_t panel = hudBlock + 10;
    int64_t px = roundToInt(g.x + (mirrored ? 40 : 88) + s.x), py = roundToInt(g.y - 130 + s.y);
    drawSprite(panel, px, py);
    if (colour != 0) drawSpriteBlended(panel, px, py, 128, colour);

    double top = g.y + oy + 40 + s.y;
    int64_t mainBar = hudBlock + 0 + pick;
    if (roundToInt(g.mainShown) != g.mainTarget) {
        double shownLeft = a + g.mainShown + g.x + ox + s.x;
        drawSpriteBlended(mainBar, roundToInt(shownLeft), roundToInt(top));
        drawSpriteBlended(mainBar, roundToInt(shownLeft), roundToInt(top), 128, kYellow);
    }
    int64_t green = fighter.life <= 200 ? RGB(0, 255, 0) : RGB(0, 64, 0);
    drawBar(mainBar, a + double(g.mainTarget) + g.x + ox + s.x, top, green, g.flash);

    int64_t extraBar = hudBlock + 4 + pick;
    if (fighter.life > 200 || g.extraShown != g.extraTarget) {
        if (g.extraShown != g.extraTarget) {
            double shownLeft = a + double(g.extraShown) + g.x + ox + s.x;
            drawSpriteBlended(extraBar, roundToInt(shownLeft), roundToInt(top - 40));
            drawSpriteBlended(extraBar, roundToInt(shownLeft), roundToInt(top - 40), 128, kYellow);
        }
        drawBar(extraBar, a + double(g.extraTarget) + g.x + ox + s.x, top - 40, RGB(0, 255, 0), g.flash);
    }

    if (fighter.fighterClass) {
        makePortrait(*fighter.fighterClass);
        int64_t icon = fighter.fighterClass->portraitSprite;
        int64_t ix = roundToInt(g.x + (mirrored ? 70 : 510)), iy = roundToInt(g.y - 75);
        drawSpriteBlended(icon, ix, iy);
        if (g.flash >= 1) drawSpriteBlended(icon, ix, iy, roundToInt(g.flash / 2), RGB(255, 0, 0));
    }
    int64_t overlay = hudBlock + 8 + pick;
    int64_t vx = roundToInt(g.x + (mirrored ? 10 : -10)), vy = roundToInt(g.y - 150);
    drawSpriteBlended(overlay, vx, vy);
    if (colour != 0) drawSpriteBlended(overlay, vx, vy, 128, colour);
}

// Life gauges. The bar is a sliding picture: its length moves its position, and the overlay
// hides what slides out.
#include "render/life_bar.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "render/fighter_drawing.h"
#include "render/layout_record.h"
#include "render/sprite_assets.h"
#include "runtime/colour.h"
#include "runtime/numbers.h"
#include "runtime/screen.h"
#include "runtime/sprites.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"

namespace {
constexpr int64_t kYellow = RGB(255, 255, 0);

// Where a gauge is drawn. The fight places each gauge for the screen it was started on; on a
// screen too narrow for two full gauges side by side (under 1201 px), both are drawn at 0.8 of
// their size, each from its corner, as the wide layout places them, so that their bars and
// portraits stay whole and apart.
struct GaugePlace {
    double x = 0, y = 0; // the gauge's own origin, as g.x and g.y
    double scale = 1;
    double anchorX = 0; // the screen edge the gauge keeps to when shrunk
    int64_t px(double offset) const { return roundToInt(anchorX + (x + offset - anchorX) * scale); }
    int64_t py(double offset) const { return roundToInt((y + offset) * scale); }
    int64_t size(int64_t length) const { return roundToInt(double(length) * scale); }
};

GaugePlace gaugePlace(const LifeGauge& g) {
    if (screenWidth > 1200) return {g.x, g.y, 1, 0};
    bool onTheRight = g.x > double(screenWidth) / 2;
    if (onTheRight) return {double(screenWidth - 688), 80, 0.8, double(screenWidth)};
    return {-50, 80, 0.8, 0};
}

// Draws a sprite at the place's scale, then gives it back its own size.
template <typename Draw>
void atPlaceScale(const GaugePlace& at, int64_t sprite, const Draw& draw) {
    if (at.scale != 1) zoomSprite(sprite, at.size(spriteOwnWidth(sprite)), at.size(spriteOwnHeight(sprite)));
    draw();
    if (at.scale != 1) zoomSprite(sprite, -1, -1);
}

void drawScaled(const GaugePlace& at, int64_t sprite, int64_t x, int64_t y, int64_t intensity = 255,
                int64_t tint = kNoTint) {
    atPlaceScale(at, sprite, [&] { drawSpriteBlended(sprite, x, y, intensity, tint); });
}

// The sprite and its silhouette in the tint at half intensity over it.
void drawScaledHalfTinted(const GaugePlace& at, int64_t sprite, int64_t x, int64_t y, int64_t tint) {
    atPlaceScale(at, sprite, [&] { drawSpriteWithTintOver(sprite, x, y, 128, tint); });
}

void drawBar(const GaugePlace& at, int64_t sprite, double left, double top, int64_t tint, double flash) {
    int64_t x = at.px(left), y = at.py(top);
    drawScaledHalfTinted(at, sprite, x, y, tint);
    if (flash >= 1) drawScaled(at, sprite, x, y, roundToInt(flash), RGB(255, 0, 0));
}
} // namespace

void drawLifeBar(const Fighter& fighter) {
    if (hudBlock == 0) return;
    // Drawn by nobody and noted nowhere (the match runner): only the portrait is made, as when
    // it is drawn, so that a class whose picture is missing ends the program all the same.
    if (drawingDiscarded() && !layoutRecording()) {
        if (fighter.fighterClass) makePortrait(*fighter.fighterClass);
        return;
    }
    const LifeGauge& g = fighter.lifeBar;
    GaugePlace at = gaugePlace(g);
    bool mirrored = g.orientation == 1;
    double ox = mirrored ? -160 : 160, oy = -70, a = mirrored ? -10 : -50;
    Vec2 s = g.shaking ? g.shake : Vec2{};
    int64_t colour = fighterColour(fighter);
    int64_t pick = mirrored ? 1 : 0;

    // Offsets from the gauge's origin, in px at full size.
    int64_t panel = hudBlock + 10;
    int64_t px = at.px((mirrored ? 40 : 88) + s.x), py = at.py(-130 + s.y);
    if (colour != 0) drawScaledHalfTinted(at, panel, px, py, colour);
    else drawScaled(at, panel, px, py);

    double top = oy + 40 + s.y;
    int64_t mainBar = hudBlock + 0 + pick;
    if (roundToInt(g.mainShown) != g.mainTarget) {
        double shownLeft = a + g.mainShown + ox + s.x;
        drawScaledHalfTinted(at, mainBar, at.px(shownLeft), at.py(top), kYellow);
    }
    int64_t green = fighter.life <= 200 ? RGB(0, 255, 0) : RGB(0, 64, 0);
    drawBar(at, mainBar, a + double(g.mainTarget) + ox + s.x, top, green, g.flash);

    int64_t extraBar = hudBlock + 4 + pick;
    if (fighter.life > 200 || g.extraShown != g.extraTarget) {
        if (g.extraShown != g.extraTarget) {
            double shownLeft = a + double(g.extraShown) + ox + s.x;
            drawScaledHalfTinted(at, extraBar, at.px(shownLeft), at.py(top - 40), kYellow);
        }
        drawBar(at, extraBar, a + double(g.extraTarget) + ox + s.x, top - 40, RGB(0, 255, 0), g.flash);
    }

    if (fighter.fighterClass) {
        makePortrait(*fighter.fighterClass);
        int64_t icon = fighter.fighterClass->portraitSprite;
        int64_t ix = at.px(mirrored ? 70 : 510), iy = at.py(-75);
        drawScaled(at, icon, ix, iy);
        if (g.flash >= 1) drawScaled(at, icon, ix, iy, roundToInt(g.flash / 2), RGB(255, 0, 0));
        noteLayout(LayoutRole::Portrait, ix, iy, at.size(spriteOwnWidth(icon)),
                   at.size(spriteOwnHeight(icon)), "fighter portrait");
    }
    int64_t overlay = hudBlock + 8 + pick;
    int64_t vx = at.px(mirrored ? 10 : -10), vy = at.py(-150);
    if (colour != 0) drawScaledHalfTinted(at, overlay, vx, vy, colour);
    else drawScaled(at, overlay, vx, vy);
    // The overlay's two bar windows (118-520 px across its picture, 75-157 px down; mirrored
    // for player two): the gauge proper. The rest of the frame is decoration.
    int64_t windowX = mirrored ? spriteOwnWidth(overlay) - 520 : 118;
    noteLayout(LayoutRole::Gauge, vx + at.size(windowX), vy + at.size(75), at.size(402), at.size(82),
               "life gauge");
}

void drawRoundMarks(const Fighter& fighter, int64_t won, int64_t needed) {
    if (hudBlock == 0 || (drawingDiscarded() && !layoutRecording())) return;
    const LifeGauge& g = fighter.lifeBar;
    GaugePlace at = gaugePlace(g);
    bool mirrored = g.orientation == 1;
    int64_t white = hudBlock + 10;
    // In px at full size: 14 px squares 6 px apart, 8 px under the bar window (75-157 px down
    // the overlay, whose top is 150 px above the gauge's origin), from the window's inner end.
    constexpr int64_t kSide = 14, kStep = 20;
    int64_t overlay = hudBlock + 8 + (mirrored ? 1 : 0);
    double windowLeft = mirrored ? 10 + double(spriteOwnWidth(overlay) - 520) : -10 + 118;
    double windowRight = windowLeft + 402;
    int64_t side = at.size(kSide);
    zoomSprite(white, side, side);
    for (int64_t i = 0; i < needed; ++i) {
        double left = mirrored ? windowRight - double(kSide + kStep * i)
                               : windowLeft + double(kStep * i);
        int64_t x = at.px(left), y = at.py(-150 + 157 + 8);
        bool lit = i < won;
        drawSpriteBlended(white, x, y, lit ? 255 : 160, lit ? kYellow : RGB(40, 40, 40));
        noteLayout(LayoutRole::Picture, x, y, side, side, lit ? "round won" : "round to win");
    }
    zoomSprite(white, -1, -1);
}

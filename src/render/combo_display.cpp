// Combo icons.
#include "render/combo_display.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "render/fighter_drawing.h"
#include "render/layout_record.h"
#include "render/sprite_assets.h"
#include "runtime/numbers.h"
#include "runtime/screen.h"
#include "runtime/sprites.h"
#include "settings/game_screen.h"
#include "settings/settings.h"

namespace {
// The icon of a stance and its angle (degrees clockwise): the arrow points up for up, down for
// down, towards the opponent for side and away from it for back.
int64_t iconOf(int64_t stance, bool small, double facing, double& angle) {
    angle = 0;
    int64_t arrow = small ? comboImages.upSmall : comboImages.up;
    double towards = facing >= 0.5 ? 90 : -90;
    switch (stance) {
    case 1: return small ? comboImages.neutralSmall : comboImages.neutral;
    case 6: return small ? comboImages.heavySmall : comboImages.heavy;
    case 3: return arrow;
    case 5: angle = 180; return arrow;
    case 2: angle = towards; return arrow;
    case 4: angle = -towards; return arrow;
    default: return 0;
    }
}

void drawIcon(int64_t sprite, double angle, double x, double y, double size, double scale,
              int64_t brightness, int64_t tint, int64_t tintIntensity) {
    if (!spriteExists(sprite) || scale <= 0) return;
    int64_t shown = std::max<int64_t>(1, roundToInt(size * scale));
    zoomSprite(sprite, shown, shown);
    rotateSprite(sprite, angle, 0);
    int64_t px = roundToInt(x + (1 - scale) * size / 2), py = roundToInt(y + (1 - scale) * size / 2);
    drawSpriteBlended(sprite, px, py, std::clamp<int64_t>(brightness, 0, 255));
    noteSpriteLayout(LayoutRole::Picture, sprite, px, py, "combo icon");
    if (tint != 0) drawSpriteBlended(sprite, px, py, std::clamp<int64_t>(tintIntensity, 0, 255), tint);
}

// Drawn, then given back its own size and angle for the combo display.
void drawIconOnce(int64_t icon, double angle, int64_t x, int64_t y, int64_t size, int64_t tint,
                  int64_t tintIntensity) {
    drawIcon(icon, angle, double(x), double(y), double(size), 1.0, 255, tint, tintIntensity);
    if (spriteExists(icon)) {
        zoomSprite(icon, -1, -1);
        rotateSprite(icon, 0, 0);
    }
}
} // namespace

void drawComboIcon(int64_t stance, int64_t x, int64_t y, int64_t tint, int64_t tintIntensity) {
    drawComboIconFacing(stance, 1.0, x, y, tint, tintIntensity);
}

void drawComboIconFacing(int64_t stance, double facing, int64_t x, int64_t y, int64_t tint,
                         int64_t tintIntensity) {
    double angle = 0;
    int64_t icon = iconOf(stance, true, facing, angle);
    drawIconOnce(icon, angle, x, y, 38, tint, tintIntensity);
}

void drawArrowIcon(double angle, int64_t x, int64_t y, int64_t size) {
    drawIconOnce(comboImages.upSmall, angle, x, y, size, 0, 0);
}

void drawAttackIcon(int64_t stance, int64_t x, int64_t y, int64_t size) {
    double angle = 0;
    int64_t icon = iconOf(stance, true, 1.0, angle);
    drawIconOnce(icon, angle, x, y, size, 0, 0);
}

void drawComboDisplay(const Fighter& f) {
    // Drawn by nobody and noted nowhere: every other use of these icons sizes and turns them
    // itself before drawing, so the ones left unchanged here change nothing.
    if (drawingDiscarded() && !layoutRecording()) return;
    bool small = settings.comboDisplay == 2;
    double size = small ? 38 : 188;
    double firstX = (double(screenWidth) - 4 * size) / 2;
    double y = double(screenHeight) - size - (small ? 60 : 40);
    // The icons wear the fighter's colour, never its damage flash or the near-black of its
    // recovery (which would darken them after every attack).
    int64_t tint = fighterColour(f);
    int64_t stanceIntensity = f.stance ? (f.useAlternateColor ? f.stance->alternateTransparency
                                                              : f.stance->specialTransparency)
                                       : 128;
    for (int i = 0; i < kComboSteps; ++i) {
        if (f.comboStance[size_t(i)] == 0) continue;
        double brightness = double(roundToInt(f.comboTouched[size_t(i)] * 128 + 128));
        if (i >= f.comboStep) brightness *= f.comboMultiplier[size_t(i)];
        double flash = f.comboFlash[size_t(i)];
        double intensity = double(stanceIntensity) < 128 ? double(stanceIntensity) + flash * 128
                                                         : double(stanceIntensity) - flash * 127;
        auto [jx, jy] = f.comboJitter[size_t(i)];
        double angle = 0;
        int64_t icon = iconOf(f.comboStance[size_t(i)], small, f.comboFacing[size_t(i)], angle);
        double x = firstX + double(i) * size;
        double m = f.comboMultiplier[size_t(i)];
        drawIcon(icon, angle, x + jx, y + jy, size, m, roundToInt(brightness), tint,
                 roundToInt(intensity));
        if (f.comboEndBonus[size_t(i)] > 0)
            drawIcon(icon, angle, x + 2 * jx, y + 2 * jy, size, m + f.comboEndBonus[size_t(i)],
                     roundToInt(brightness * 0.66), tint, roundToInt(intensity));
    }
}

// Life gauge, countdown numbers, combo icons, stat icons, gauge marks and blood particles.
#pragma once

#include <string>

#include "raster.h"

// Geometry of the life gauge overlay (HUD.png, unmirrored: the gauge of the right-hand side).
// The game slides the bar under the overlay: at full life its left edge sits at column
// kGaugeWindowLeft and at zero life at kGaugeWindowRight, so the window between them shows the
// bar; the extra bar runs 40 px higher.
constexpr int kHudWidth = 741;
constexpr int kHudHeight = 242;
constexpr int kGaugeWindowLeft = 120;
constexpr int kGaugeWindowRight = 520;
constexpr int kGaugeMainTop = 120;      // row of the main bar's top in the overlay
constexpr int kGaugeExtraTop = 80;      // row of the extra bar's top
constexpr int kBarWidth = 404;
constexpr int kBarHeight = 34;
constexpr int kPortraitLeft = 520;      // where the class icon lands in the overlay
constexpr int kPortraitTop = 75;
constexpr int kPortraitSize = 150;

// Paints a mask (alpha = shape) with a fill and a dark outline of the given width.
Image decorateMask(const Image& mask, const Paint& fill, int outline, Color outlineColor);

Image lifeBarImage(bool extra);
Image hudOverlayImage();
Image counterImage(int digit);
// kind 0 neutral, 1 up arrow, 2 heavy; size in pixels (188 big, 38 small).
Image comboIcon(int kind, int size);
// index in the stat order: strength, agility, speed, weight, stamina, life, cut, pierce,
// blunt, range, difficulty.
Image statIcon(int index);
Image toBeAddedMark();
Image gaugeDot();
Image gaugeCrescent();
// frame 1 (smallest, last shown) to 7 (largest, first shown).
Image bloodParticle(int frame);

// Writes every image above under outDir/image.
bool writeHudImages(const std::string& outDir);

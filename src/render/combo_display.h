// The combo display: one icon per attack of the current combo, brightening, shaking and
// growing as the attacks touch, and fading back afterwards.
#pragma once

#include <cstdint>

struct Fighter;

// The icons as the fight step left them (see advanceComboCounters).
void drawComboDisplay(const Fighter& fighter);
// One small icon of an attack's stance code (1-6) as a fighter facing right would show it,
// at full brightness, with a tint (0: none) over it.
void drawComboIcon(int64_t stance, int64_t x, int64_t y, int64_t tint, int64_t tintIntensity);
// The same for a fighter facing right (facing 1) or left (0).
void drawComboIconFacing(int64_t stance, double facing, int64_t x, int64_t y, int64_t tint,
                         int64_t tintIntensity);
// Icons of the input history at a size (pixels), in the fight's look: an arrow pointing at
// an angle (degrees clockwise from up), and the icon of an attack's stance code (1-6) as a
// fighter facing right would show it.
void drawArrowIcon(double angle, int64_t x, int64_t y, int64_t size);
void drawAttackIcon(int64_t stance, int64_t x, int64_t y, int64_t size);

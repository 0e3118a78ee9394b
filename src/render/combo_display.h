// The combo display: one icon per attack of the current combo, brightening, shaking and
// growing as the attacks touch, and fading back afterwards.
#pragma once

struct Fighter;

void drawComboDisplay(Fighter& fighter, double timeFactor);

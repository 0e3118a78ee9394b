// The debug overlay: a fighter's animation state beside it, its hit mask and body at half
// intensity where the hit test places them, and its life.
#pragma once

#include <cstdint>

struct Fighter;

void drawDebugOverlay(const Fighter& fighter, int64_t xShift);

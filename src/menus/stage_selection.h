// The stage selection: player one picks the fight's stage, or a random one.
#pragma once

#include <cstdint>

constexpr int64_t kRandomStage = -1;
constexpr int64_t kStageBack = -2;

// The cursor kept between visits: -1 "Random", else a position in the stage list.
extern int64_t stageCursor;

// "Size : small" up to 3000 px wide, "Size : medium" up to 5000, else "Size : big".
const char* stageSizeText(int64_t width);
// -2 (back), -1 (random) or a stage's position, once the screen has faded to black.
int64_t runStageSelection(int64_t textX, int64_t textY);

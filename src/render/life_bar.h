// The life gauges: a sliding bar under an overlay frame, with the class portrait.
#pragma once

#include <cstdint>

struct Fighter;

// As the fight step left it (its red flash included).
void drawLifeBar(const Fighter& fighter);
// A match's round marks under the gauge's bar window: `needed` small squares from its inner end
// (towards the screen's middle), the first `won` of them lit.
void drawRoundMarks(const Fighter& fighter, int64_t won, int64_t needed);

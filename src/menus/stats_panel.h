// The statistics panel: one row per stat with its icon and a gauge of crescents, showing how
// the stance raises or lowers the class's values. Shared by the selection panels and the
// fighter viewer.
#pragma once

#include <cstdint>

struct FighterClass;
struct Stat;

// A stat by its row: 0 strength ... 5 life, 6 cut, 7 pierce, 8 blunt, 9 reach, 10 difficulty.
int64_t statValue(const Stat& stat, int64_t row);
// Its name as players read it: "Strength" ... "Difficulty" ("Endurence" as the data has it).
const char* statName(int64_t row);

// The pulse of a stance's bonus crescents: -64 (black overlay) to 192 (white overlay).
extern int64_t gaugePulse;
extern int64_t gaugePulseStep;
void updateGaugePulse(double frameFactor); // once a frame
void resetGaugePulse();

// One gauge: a dot and `value` crescents 18 px apart; comparison -1 means the value itself.
void drawGauge(int64_t value, int64_t x, int64_t y, int64_t comparison, bool mirrored);
// The panel for a class in a stance (an index into its stance list, or none when outside);
// returns the distance from y to its last row.
int64_t drawStatsPanel(const FighterClass& fighterClass, int64_t x, int64_t y,
                       int64_t stanceIndex, bool mirrored);

extern int64_t gaugeColors[11]; // blue through green, yellow, orange and red to magenta
void buildGaugeColors();

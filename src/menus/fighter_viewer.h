// The fighter viewer: every class and stance with an animated preview, the stats panel, the
// description and the list of combos, and the grid of classes on wide screens.
#pragma once

#include <cstdint>
#include <vector>

struct FighterClass;
struct Preview;

// The viewer's cursor, kept between visits: a position in the class list and a stance index.
extern int64_t viewerClassIndex;
extern int64_t viewerStance;
// The combo rows show each attack's frame data under their icons (the F key toggles it).
extern bool viewerFrameData;

// One frame: reads the keys and draws the viewer with its preview.
void viewerFrame(Preview& preview, double frameFactor);
// The class, its stats with their names (and numbers while Left Shift is held), description,
// mark and combos at (x, y).
void drawInformationPage(FighterClass& fighterClass, Preview& preview, int64_t x, int64_t y,
                         int64_t stanceIndex);
// Portraits of every selectable class in rows from (x, y), the highlighted one large.
void drawClassGrid(int64_t x, int64_t y, const FighterClass* highlighted);
// The combo code's attacks from its units digit up (431: stances 1, 3, 4).
std::vector<int64_t> comboStances(int64_t code);

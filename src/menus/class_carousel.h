// The class carousel: five slots of class portraits (or the random and mirror marks) from a
// start position in the selectable list, wrapping, with the cursor's class drawn large.
#pragma once

#include <cstdint>

struct FighterClass;

constexpr int64_t kRandomMarker = -1; // in the selectable list: a random class
constexpr int64_t kMirrorMarker = -2; // the other player's class

// The class with that id, or null (the markers, or an id no class has).
FighterClass* classWithId(int64_t id);
// The selectable entry at a cursor position (wrapped into the list); -1 when the list is empty.
int64_t selectableAt(int64_t position);
// One slot: a class's portrait or a marker's symbol, highlighted when under the cursor.
void drawClassSlot(int64_t entry, int64_t x, int64_t y, bool highlighted);
void drawClassCarousel(int64_t start, int64_t cursor, int64_t x, int64_t y);
// Moving the cursor one step with wrap-around, the carousel start following it.
void carouselNext(int64_t& cursor, int64_t& start);
void carouselPrevious(int64_t& cursor, int64_t& start);

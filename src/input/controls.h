// The players' actions: seven per player from their keys and game controller, the buffered
// input counters they fill, key capture and the default keys.
#pragma once

#include <cstdint>

struct Fighter;

struct Actions {
    bool up = false, down = false, right = false, left = false;
    bool neutral = false, heavy = false, jump = false;
};

Actions pollActions(const Fighter& player); // after the keyboard snapshot of the frame
// Held directions and jump count as pressed for 2 ticks, held attacks for 10 (counted from
// the start of this frame of `frameFactor` ticks).
void applyInput(Fighter& player, const Actions& actions, double frameFactor);
int64_t captureKey(); // the lowest code just released, 0 when none
void resetBindingsToDefault(Fighter& one, Fighter& two);

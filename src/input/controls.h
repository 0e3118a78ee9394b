// The players' actions: seven per player from their keys and game controller, the buffered
// input counters they fill, key capture and the default keys.
#pragma once

#include <array>
#include <cstdint>

#include "input/bindings.h"

// Buffered input counters, in this order.
enum InputCounter { kInputUp, kInputDown, kInputRight, kInputLeft, kInputLight, kInputHeavy,
                    kInputJump, kInputCount };

// The counter of an action held in a frame of `frameFactor` ticks: pressed for this frame and
// `ticks` - 1 ticks after it, at every frame rate (at 50 frames per second simply `ticks`). A
// plain `ticks` would keep a released key pressed longer the shorter the frames are.
inline double heldCounter(int64_t ticks, double frameFactor) {
    return double(ticks - 1) + frameFactor;
}

struct Actions {
    bool up = false, down = false, right = false, left = false;
    bool neutral = false, heavy = false, jump = false;
};
// One frame's actions in one byte, as replays and online play keep them: bits 0..6 up, down,
// right, left, neutral, heavy, jump; bit 7 stays clear.
uint8_t packActions(const Actions& actions);
Actions unpackActions(uint8_t bits);

// After the keyboard snapshot of the frame. padIndex: the player's game controller, -1 for
// none; jumpWithUp non-zero: the up key also jumps.
Actions pollActions(const KeyBindings& keys, int64_t padIndex, int64_t jumpWithUp);
// A controller's part in one action (a field of Controls): the stick or D-pad for the
// directions, button 1 neutral, 3 heavy, 4 jump. False without the controller (-1: none).
bool padActionDown(int64_t padIndex, int64_t Controls::*action);
// True once when that part is let go after it was seen held in the frame before (a part let
// go while no screen read it never acts later); reading it also watches it.
bool padActionReleased(int64_t padIndex, int64_t Controls::*action);
void forgetPadReleases(); // a new run starts with no part seen held
// Held directions and jump count as pressed for 2 ticks, held attacks for 10 (counted from
// the start of this frame of `frameFactor` ticks).
void applyInput(std::array<double, kInputCount>& counters, const Actions& actions,
                double frameFactor);
int64_t captureKey(); // the lowest code just released, 0 when none
// Both players' primary keys back to the defaults; the secondary keys stay.
void resetBindingsToDefault(KeyBindings& one, KeyBindings& two);

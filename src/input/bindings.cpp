// Default bindings and the keyboard type.
#include "input/bindings.h"

#include "runtime/input_devices.h"

Controls defaultControls(int64_t player) {
    if (player == 2) return {21, 35, 36, 34, 16, 17, 18}; // Y H J G, Q W E
    return {200, 208, 205, 203, 25, 24, 38};              // arrows, P O L
}

void applyKeyboardType(int64_t type) {
    setKeyboardMode(type == 1 ? kKeyboardFollowLayout : 0);
}

// The options screen: every user setting with its value, changed with left and right and
// applied at once; the controls screen behind one of its rows; saved whenever it is left.
#pragma once

#include <cstdint>

constexpr int64_t kOptionRows = 21;

// One step of a row's value: +1 right, -1 left. Returns whether the value changed.
bool changeOption(int64_t row, int64_t direction);
// The value shown on a row ("" for the rows without one).
const char* optionValueText(int64_t row);
void resetOptionsToDefault();
// The highlighted row once the screen has been left (and the settings written).
int64_t runOptionsMenu(int64_t textX, int64_t textY);

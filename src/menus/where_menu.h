// The where-to-play screen: both players at this computer, or one of them elsewhere online.
#pragma once

#include <cstdint>

constexpr int64_t kPlaySameComputer = 0;
constexpr int64_t kPlayHostOnline = 1;
constexpr int64_t kPlayJoinOnline = 2;

// The entry kept between visits: -1 after "(go back)" or Back, shown as "(go back)" next time.
extern int64_t whereSelection;

// kPlaySameComputer, kPlayHostOnline or kPlayJoinOnline, or -1 to go back, once the screen has
// faded to black.
int64_t runWhereMenu(int64_t textX, int64_t textY);

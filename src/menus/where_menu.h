// The where-to-play screen: both players at this computer, or one of them elsewhere online,
// met through a lobby's room or by address.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t kPlaySameComputer = 0;
constexpr int64_t kPlayHostRoom = 1;
constexpr int64_t kPlayJoinRoom = 2;
constexpr int64_t kPlayWatchRoom = 3;
constexpr int64_t kPlayHostOnline = 4; // by address
constexpr int64_t kPlayJoinOnline = 5;

// The entry kept between visits: -1 after "(go back)" or Back, shown as "(go back)" next time.
extern int64_t whereSelection;

// One of the kPlay values, or -1 to go back, once the screen has faded to black. `lobby` is the
// lobby in use ("" none: the room entries say where to set one).
int64_t runWhereMenu(int64_t textX, int64_t textY, const std::string& lobby);

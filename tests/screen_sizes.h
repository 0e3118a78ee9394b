// The screen sizes the tests draw at, in one list: the layout check visits every screen at each
// of them, and the suites that need only a few sizes take them from it by name.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// In whole pixels (the game's own ScreenSize holds the options' list in floats).
struct Resolution {
    int64_t width;
    int64_t height;
};

// The sizes of the options' list that players' desktops mostly have, and the two common
// desktops between them that a full screen takes as they are.
inline constexpr Resolution kEveryScreenSize[] = {{1024, 768}, {1280, 720},  {1366, 768},
                                                  {1600, 900}, {1920, 1080}, {1920, 1200}};
inline constexpr Resolution kSmallestScreen = kEveryScreenSize[0]; // 1024 x 768
inline constexpr Resolution kCommonScreen = kEveryScreenSize[1];   // 1280 x 720
inline constexpr Resolution kWideScreen = kEveryScreenSize[4];     // 1920 x 1080

// Test names end in the size: ".../1280x720".
inline std::string screenSizeName(const testing::TestParamInfo<Resolution>& info) {
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

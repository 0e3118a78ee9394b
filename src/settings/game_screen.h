// The game's screen: the ten sizes, the automatic size choice and (re)opening the window.
#pragma once

#include <cstdint>

struct ScreenSize {
    float width;
    float height;
};
extern const ScreenSize screenSizes[10]; // 1024x768 ... 1920x1200

extern int64_t screenWidth;  // the drawing surface now open (the desktop size before)
extern int64_t screenHeight;
extern int64_t screenWidthMinus200;  // the fight's view width in world units
extern int64_t screenHeightMinus720; // the fight layout is designed for 720 pixels
extern int64_t desktopWidth;  // the first monitor, read once at start-up
extern int64_t desktopHeight;

constexpr int64_t kGameWindow = 1;

// The first size at least as large as the desktop in both directions; -1 when none is.
int64_t automaticScreenSizeIndex(int64_t deskWidth, int64_t deskHeight);
void setScreenSizeFromIndex(int64_t index);

// (Re)opens the window and its drawing surface; a failure ends the program with its message.
void openGameScreen(int64_t width, int64_t height);

// Opening the window "Quarrelix project" centred on the first desktop.
#include "settings/game_screen.h"

#include "runtime/numbers.h"
#include "runtime/screen.h"
#include "settings/settings.h"

const ScreenSize screenSizes[10] = {{1024, 768},  {1280, 720},  {1280, 768}, {1280, 800},
                                    {1280, 960},  {1280, 1024}, {1360, 768}, {1680, 1050},
                                    {1920, 1080}, {1920, 1200}};

int64_t screenWidth = 0;
int64_t screenHeight = 0;
int64_t screenWidthMinus200 = 0;
int64_t screenHeightMinus720 = 0;
int64_t desktopWidth = 0;
int64_t desktopHeight = 0;

int64_t automaticScreenSizeIndex(int64_t deskWidth, int64_t deskHeight) {
    for (int64_t i = 0; i < 10; ++i)
        if (screenSizes[i].width >= float(deskWidth) && screenSizes[i].height >= float(deskHeight))
            return i;
    return -1;
}

void setScreenSizeFromIndex(int64_t index) {
    screenWidth = roundToInt(screenSizes[index].width);
    screenHeight = roundToInt(screenSizes[index].height);
}

void openGameScreen(int64_t width, int64_t height) {
    screenWidth = width;
    screenHeight = height;
    if (windowHandle(kGameWindow)) closeWindow(kGameWindow);
    int64_t x = (desktopWidth - width) / 2, y = (desktopHeight - height) / 2;
    int64_t flags = settings.fullscreen ? kWindowBorderless : kWindowCaptioned;
    if (!openWindow(kGameWindow, x, y, width, height, "Quarrelix project", flags))
        fatalError("Quarrelix error", "Could not be able to create screen", kMessageErrorIcon);
    // In a captioned window the surface stretches with the window; full screen it does not.
    if (!openWindowedScreen(windowHandle(kGameWindow), 0, 0, width, height, settings.fullscreen ? 0 : 1, 0,
                            0, 0))
        fatalError("Quarrelix error", "Could not be able to create windowed screen",
                   kMessageErrorIcon);
    // Sprites were uploaded again into the new surface by the runtime.
    resizeWindow(kGameWindow, x, y, width, height);
    screenHeightMinus720 = screenHeight - 720;
    screenWidthMinus200 = screenWidth - 200;
}

// The window, the accelerated 2D screen, window events, desktops, message boxes and the
// runtime's start and end.
#pragma once

#include <cstdint>
#include <string>

// Window flags.
constexpr int64_t kWindowBorderless = 1; // a pop-up without caption (the game's full screen)
constexpr int64_t kWindowCaptioned = 2;  // caption, system menu, minimise; shown maximised

// Message box icons.
constexpr int64_t kMessageNoIcon = 0;
constexpr int64_t kMessageErrorIcon = 1;

int64_t initSprites(); // the screen and sprite system; 0 on failure
int64_t desktopCount();
int64_t desktopWidthOf(int64_t index); // monitor index
int64_t desktopHeightOf(int64_t index);

int64_t openWindow(int64_t windowId, int64_t x, int64_t y, int64_t width, int64_t height,
                   const std::string& title, int64_t flags);
void closeWindow(int64_t windowId);
int64_t windowHandle(int64_t windowId); // the id itself while the window exists, else 0
int64_t resizeWindow(int64_t windowId, int64_t x, int64_t y, int64_t width, int64_t height);

// The drawing surface inside a window, at the given logical size. autoStretch scales it with
// the window; flipMode 1 waits for the vertical blank at each present. 0 on failure.
int64_t openWindowedScreen(int64_t handle, int64_t x, int64_t y, int64_t width, int64_t height,
                           int64_t autoStretch, int64_t rightOffset, int64_t bottomOffset,
                           int64_t flipMode);
bool screenIsOpen();
// The headless null renderer: nothing drawn is ever seen, so pictures need not be loaded.
bool drawingDiscarded();
int64_t screenOutputWidth();
int64_t screenOutputHeight();
void clearScreen(int64_t colour);
// Darkens the whole screen as a black picture of that opacity (0-255) drawn over it would, to
// the pixel, without a picture: a fade is one pass over the screen.
void shadeScreen(int64_t opacity);
int64_t presentFrame();
int64_t processWindowEvent(); // handles pending events; 0 when none was left
bool windowCloseRequested();  // a close request arrived (kept until cleared)
void clearWindowCloseRequest();

// The frame drawn so far, as pixels or as a PNG file; false on failure.
struct Bitmap;
bool readScreen(Bitmap& bitmap);
bool saveScreenshot(const std::string& path);
// F12: the next presented frame is saved as "quarrelix-<milliseconds>.png" in this directory
// (made when missing), and its path said on the standard error; "" keeps none.
extern std::string screenshotDirectory;
void requestScreenshot();

void messageBox(const std::string& title, const std::string& text, int64_t icon = kMessageNoIcon);
// Every message box shown since the runtime started, "title: text" (for tests).
const std::string& messageBoxLog();
void clearMessageBoxLog();

// Ends every runtime service and empties every table; safe to call more than once.
void endRuntime();
// The orderly end of the process: every runtime service ended, then exit with the code.
[[noreturn]] void shutdownProgram(int exitCode);
// Shows a failure that the program cannot go on from, then shuts down with exit code 1.
[[noreturn]] void fatalError(const std::string& title, const std::string& text, int64_t icon);

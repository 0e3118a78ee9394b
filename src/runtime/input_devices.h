// Keyboard and game controllers. Key codes are the game's numbering of physical keys (the
// classic PC scan codes: 1 Escape, 28 Return, 57 Space, 200 Up, 203 Left, 205 Right, 208 Down).
#pragma once

#include <cstdint>

constexpr int64_t kKeyboardFollowLayout = 1; // setKeyboardMode flag: letters follow the layout

int64_t initKeyboard();
void setKeyboardMode(int64_t flags);
int64_t pollKeyboard(); // takes this frame's snapshot of all 256 keys
int64_t keyDown(int64_t code);     // -1: any key
int64_t keyReleased(int64_t code); // 1 once after a held key is let go; -1: any key
// Forgets the releases no one has read yet, except of keys held now: a key let go on an
// earlier screen does not act on the next one.
void forgetKeyReleases();

// Number of controllers found. Headless, only the scripted and virtual controllers count, so
// SDL's controller support starts with the first virtual one plugged in: a run without them
// never polls the machine's devices.
int64_t initControllers();
int64_t controllerCount();
// Called whenever a controller takes a place (the first one free, so that a controller
// plugged in again takes back the place it left); the game sets it once its players exist and
// gives the controller to one of them. endInput clears it.
extern void (*controllerPluggedIn)(int64_t pad);
int64_t controllerPresent(int64_t pad); // 1 while a controller is in that place
int64_t pollController(int64_t pad); // 0 if absent
int64_t controllerButton(int64_t pad, int64_t button); // buttons 1-14
int64_t controllerAxisX(int64_t pad); // -1, 0 or 1
int64_t controllerAxisY(int64_t pad);

// What the runtime has asked of SDL's device services since it started (endRuntime starts the
// count again): tests check with it that a run without controllers leaves the devices alone.
struct DeviceCounters {
    int64_t controllerStarts = 0; // times SDL's game-controller subsystem was started
    int64_t eventPumps = 0;       // SDL event queue pumps
    // Pumps made with SDL's joysticks on and controller updates: each polls the devices.
    int64_t devicePolls = 0;
};
const DeviceCounters& deviceCounters();

// Virtual game controllers: SDL's virtual joysticks of the game controller kind, plugged in
// and out while the game runs. They reach the game as a real controller does (hot-plug
// events, SDL's controller mapping, its D-pad, stick and buttons), so that tests drive that
// whole path without hardware.
#pragma once

#include <cstdint>

// Plugs one in; its handle, or -1 before the game has asked for controllers (initControllers)
// or when SDL's controller support cannot start.
int64_t attachVirtualController();
// Button 1-14 as controllerButton numbers them (1 A, 3 X, 4 Y, ...).
void setVirtualControllerButton(int64_t handle, int64_t button, bool down);
// The D-pad: x -1 left, 1 right; y -1 up, 1 down; 0 lets go.
void setVirtualControllerDpad(int64_t handle, int64_t x, int64_t y);
// The left stick, in thousandths of its reach (-1000..1000).
void setVirtualControllerStick(int64_t handle, int64_t x, int64_t y);
// Unplugs it; the handle is then forgotten (a stale handle does nothing).
void detachVirtualController(int64_t handle);

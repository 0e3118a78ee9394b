// Virtual controllers over SDL's virtual joysticks.
#include "runtime/virtual_controller.h"

#include <algorithm>
#include <vector>

#include "runtime/internal.h"

namespace {
struct VirtualController {
    SDL_JoystickID instance = -1;     // the handle
    SDL_Joystick* joystick = nullptr; // kept open: SDL sets a virtual joystick's state through it
};
std::vector<VirtualController> plugged;

SDL_Joystick* joystickOf(int64_t handle) {
    for (const VirtualController& v : plugged)
        if (v.instance == handle) return v.joystick;
    return nullptr;
}

void unplug(const VirtualController& v) {
    SDL_JoystickClose(v.joystick);
    // SDL unplugs by device index, which shifts as devices come and go.
    for (int device = 0; device < SDL_NumJoysticks(); ++device)
        if (SDL_JoystickGetDeviceInstanceID(device) == v.instance) {
            SDL_JoystickDetachVirtual(device);
            return;
        }
}
} // namespace

int64_t attachVirtualController() {
    // Headless runs start SDL's controller support with their first virtual controller.
    if (!startControllerSupport()) return -1;
    // Of the game controller kind, SDL maps button n to controller button n and axis n to
    // controller axis n: the D-pad is four buttons, the left stick axes 0 and 1.
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Quarrelix virtual controller";
    int device = SDL_JoystickAttachVirtualEx(&desc);
    if (device < 0) return -1;
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    if (!joystick) {
        SDL_JoystickDetachVirtual(device);
        return -1;
    }
    plugged.push_back({SDL_JoystickInstanceID(joystick), joystick});
    return plugged.back().instance;
}

void setVirtualControllerButton(int64_t handle, int64_t button, bool down) {
    SDL_Joystick* joystick = joystickOf(handle);
    SDL_GameControllerButton mapped = controllerButtonOf(button);
    if (joystick && mapped != SDL_CONTROLLER_BUTTON_INVALID)
        SDL_JoystickSetVirtualButton(joystick, mapped, down ? SDL_PRESSED : SDL_RELEASED);
}

void setVirtualControllerDpad(int64_t handle, int64_t x, int64_t y) {
    SDL_Joystick* joystick = joystickOf(handle);
    if (!joystick) return;
    auto set = [&](SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(joystick, b, down ? SDL_PRESSED : SDL_RELEASED);
    };
    set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, x < 0);
    set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, x > 0);
    set(SDL_CONTROLLER_BUTTON_DPAD_UP, y < 0);
    set(SDL_CONTROLLER_BUTTON_DPAD_DOWN, y > 0);
}

void setVirtualControllerStick(int64_t handle, int64_t x, int64_t y) {
    SDL_Joystick* joystick = joystickOf(handle);
    if (!joystick) return;
    auto raw = [](int64_t thousandths) {
        return Sint16(std::clamp<int64_t>(thousandths, -1000, 1000) * 32767 / 1000);
    };
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, raw(x));
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, raw(y));
}

void detachVirtualController(int64_t handle) {
    auto at = std::find_if(plugged.begin(), plugged.end(),
                           [&](const VirtualController& v) { return v.instance == handle; });
    if (at == plugged.end()) return;
    unplug(*at);
    plugged.erase(at);
}

void endVirtualControllers() {
    for (const VirtualController& v : plugged) unplug(v);
    plugged.clear();
}

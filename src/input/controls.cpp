// Actions from keys and controllers.
#include "input/controls.h"

#include <cstddef>
#include <iterator>
#include <map>
#include <utility>

#include "runtime/headless.h"
#include "runtime/input_devices.h"

namespace {
bool held(int64_t code) { return code != 0 && keyDown(code) != 0; }

constexpr int64_t Controls::*kActions[] = {&Controls::up,      &Controls::down,
                                           &Controls::right,   &Controls::left,
                                           &Controls::neutral, &Controls::heavy,
                                           &Controls::jump};

// The frame (presentedFrames) in which a controller's part of an action was last seen held,
// by controller and action (its place in kActions); absent when it was not.
std::map<std::pair<int64_t, size_t>, int64_t> padHeldFrames;
} // namespace

bool padActionDown(int64_t padIndex, int64_t Controls::*action) {
    if (padIndex < 0) return false;
    if (action == &Controls::up) return controllerAxisY(padIndex) < 0;
    if (action == &Controls::down) return controllerAxisY(padIndex) > 0;
    if (action == &Controls::left) return controllerAxisX(padIndex) < 0;
    if (action == &Controls::right) return controllerAxisX(padIndex) > 0;
    if (action == &Controls::neutral) return controllerButton(padIndex, 1) != 0;
    if (action == &Controls::heavy) return controllerButton(padIndex, 3) != 0;
    if (action == &Controls::jump) return controllerButton(padIndex, 4) != 0;
    return false;
}

bool padActionReleased(int64_t padIndex, int64_t Controls::*action) {
    size_t slot = 0;
    while (slot < std::size(kActions) && kActions[slot] != action) ++slot;
    if (padIndex < 0 || slot == std::size(kActions)) return false;
    std::pair key{padIndex, slot};
    int64_t now = presentedFrames();
    if (padActionDown(padIndex, action)) {
        padHeldFrames[key] = now;
        return false;
    }
    auto seen = padHeldFrames.find(key);
    if (seen == padHeldFrames.end()) return false;
    // Unlike the keyboard's, a controller's state is only known when it is read: a part seen
    // held long ago was let go unseen, on another screen or in a fight.
    bool released = seen->second == now || seen->second == now - 1;
    padHeldFrames.erase(seen);
    return released;
}

void forgetPadReleases() { padHeldFrames.clear(); }

Actions pollActions(const KeyBindings& keys, int64_t padIndex, int64_t jumpWithUp) {
    const Controls& a = keys.primary;
    const Controls& b = keys.secondary;
    int64_t pad = padIndex >= 0 && pollController(padIndex) ? padIndex : -1;
    auto active = [&](int64_t Controls::*action) {
        return held(a.*action) || held(b.*action) || padActionDown(pad, action);
    };
    Actions act;
    act.up = active(&Controls::up);
    act.down = active(&Controls::down);
    act.left = active(&Controls::left);
    act.right = active(&Controls::right);
    act.neutral = active(&Controls::neutral);
    act.heavy = active(&Controls::heavy);
    act.jump = active(&Controls::jump);
    // Up also jumps for players who chose it (any non-zero value, as the controls screen shows
    // it), but never together with an attack.
    if (jumpWithUp != 0 && !act.neutral && !act.heavy && act.up) act.jump = true;
    return act;
}

void applyInput(std::array<double, kInputCount>& counters, const Actions& actions,
                double frameFactor) {
    auto set = [&](InputCounter counter, bool on, int64_t ticks) {
        if (on) counters[size_t(counter)] = heldCounter(ticks, frameFactor);
    };
    set(kInputUp, actions.up, 2);
    set(kInputDown, actions.down, 2);
    set(kInputRight, actions.right, 2);
    set(kInputLeft, actions.left, 2);
    set(kInputLight, actions.neutral, 10);
    set(kInputHeavy, actions.heavy, 10);
    set(kInputJump, actions.jump, 2);
}

int64_t captureKey() {
    for (int64_t code = 0; code < 256; ++code)
        if (keyReleased(code)) return code;
    return 0;
}

void resetBindingsToDefault(KeyBindings& one, KeyBindings& two) {
    one.primary = defaultControls(1);
    two.primary = defaultControls(2);
}

uint8_t packActions(const Actions& a) {
    return uint8_t((a.up ? 1 : 0) | (a.down ? 2 : 0) | (a.right ? 4 : 0) | (a.left ? 8 : 0) |
                   (a.neutral ? 16 : 0) | (a.heavy ? 32 : 0) | (a.jump ? 64 : 0));
}

Actions unpackActions(uint8_t bits) {
    Actions a;
    a.up = bits & 1;
    a.down = bits & 2;
    a.right = bits & 4;
    a.left = bits & 8;
    a.neutral = bits & 16;
    a.heavy = bits & 32;
    a.jump = bits & 64;
    return a;
}

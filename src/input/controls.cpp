// Actions from keys and controllers.
#include "input/controls.h"

#include <cstddef>

#include "runtime/input_devices.h"

namespace {
bool held(int64_t code) { return code != 0 && keyDown(code) != 0; }
} // namespace

Actions pollActions(const KeyBindings& keys, int64_t padIndex, int64_t jumpWithUp) {
    const Controls& a = keys.primary;
    const Controls& b = keys.secondary;
    bool padHere = padIndex >= 0 && pollController(padIndex);
    int64_t x = padHere ? controllerAxisX(padIndex) : 0;
    int64_t y = padHere ? controllerAxisY(padIndex) : 0;
    auto button = [&](int64_t n) { return padHere && controllerButton(padIndex, n) != 0; };
    Actions act;
    act.up = held(a.up) || held(b.up) || y < 0;
    act.down = held(a.down) || held(b.down) || y > 0;
    act.left = held(a.left) || held(b.left) || x < 0;
    act.right = held(a.right) || held(b.right) || x > 0;
    act.neutral = held(a.neutral) || held(b.neutral) || button(1);
    act.heavy = held(a.heavy) || held(b.heavy) || button(3);
    act.jump = held(a.jump) || held(b.jump) || button(4);
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

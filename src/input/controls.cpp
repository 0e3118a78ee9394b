// Actions from keys and controllers.
#include "input/controls.h"

#include "fight/fighter.h"
#include "runtime/input_devices.h"

namespace {
bool held(int64_t code) { return code != 0 && keyDown(code) != 0; }
} // namespace

Actions pollActions(const Fighter& player) {
    const Controls& a = player.keyBindings.primary;
    const Controls& b = player.keyBindings.secondary;
    int64_t pad = player.padIndex;
    bool padHere = pad >= 0 && pollController(pad);
    int64_t x = padHere ? controllerAxisX(pad) : 0, y = padHere ? controllerAxisY(pad) : 0;
    auto button = [&](int64_t n) { return padHere && controllerButton(pad, n) != 0; };
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
    if (player.jumpWithUp != 0 && !act.neutral && !act.heavy && act.up) act.jump = true;
    return act;
}

void applyInput(Fighter& player, const Actions& actions, double frameFactor) {
    auto set = [&](InputCounter counter, bool on, int64_t ticks) {
        if (on) player.input[size_t(counter)] = heldCounter(ticks, frameFactor);
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

void resetBindingsToDefault(Fighter& one, Fighter& two) {
    one.keyBindings.primary = defaultControls(1);
    two.keyBindings.primary = defaultControls(2);
    one.jumpWithUp = two.jumpWithUp = 0;
}

// Action names.
#include "input/action_names.h"

#include "input/keys.h"
#include "runtime/input_devices.h"

namespace {
// The controller's part in each action, as pollActions reads it.
struct PadName {
    int64_t Controls::*action;
    const char* name;
};
const PadName kPadNames[] = {
    {&Controls::up, "stick up"},       {&Controls::down, "stick down"},
    {&Controls::right, "stick right"}, {&Controls::left, "stick left"},
    {&Controls::neutral, "button 1"},  {&Controls::heavy, "button 3"},
    {&Controls::jump, "button 4"}};
} // namespace

std::string actionName(const KeyBindings& keys, int64_t padIndex, int64_t Controls::*action) {
    // A player whose controller was unplugged plays on the keys: those are named then.
    if (padIndex >= 0 && controllerPresent(padIndex))
        for (const PadName& pad : kPadNames)
            if (pad.action == action) return pad.name;
    int64_t code = keys.primary.*action;
    if (code == 0) code = keys.secondary.*action;
    return keyNameOf(code);
}

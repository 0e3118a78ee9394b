// Naming actions for the player: the key bound to each, or the controller's part in it; a
// named button or stick direction is what really gives that action.
#include "headless_fixture.h"

#include "input/player_setup.h"
#include "input/action_names.h"
#include "input/controls.h"

namespace {
struct ActionNamesTest : HeadlessScreen {
    PlayerSetup one;
    void start(std::vector<ScriptEvent> script) {
        endRuntime();
        HeadlessOptions options;
        options.controllerCount = 1;
        options.script = std::move(script);
        setHeadless(options);
        ASSERT_TRUE(initKeyboard());
        initControllers();
        createPlayerSetup(one, "Player one", 1);
        pollKeyboard();
    }
};

struct ActionCase {
    int64_t Controls::*key;
    bool Actions::*action;
    const char* padName;
    ScriptEvent padEvent;
};
const ActionCase kCases[] = {
    {&Controls::up, &Actions::up, "stick up", {0, kScriptPadAxisY, 0, -1000, {}}},
    {&Controls::down, &Actions::down, "stick down", {0, kScriptPadAxisY, 0, 1000, {}}},
    {&Controls::right, &Actions::right, "stick right", {0, kScriptPadAxisX, 0, 1000, {}}},
    {&Controls::left, &Actions::left, "stick left", {0, kScriptPadAxisX, 0, -1000, {}}},
    {&Controls::neutral, &Actions::neutral, "button 1", {0, kScriptPadButton, 1, 1, {}}},
    {&Controls::heavy, &Actions::heavy, "button 3", {0, kScriptPadButton, 3, 1, {}}},
    {&Controls::jump, &Actions::jump, "button 4", {0, kScriptPadButton, 4, 1, {}}}};
} // namespace

TEST_F(ActionNamesTest, KeysAreNamedByTheKeyBoundNow) {
    start({});
    EXPECT_EQ(actionName(one.keyBindings, one.padIndex, &Controls::left), "Left");
    EXPECT_EQ(actionName(one.keyBindings, one.padIndex, &Controls::neutral), "P");
    EXPECT_EQ(actionName(one.keyBindings, one.padIndex, &Controls::jump), "L");
    one.keyBindings.primary.left = 44; // rebound
    EXPECT_EQ(actionName(one.keyBindings, one.padIndex, &Controls::left), "Z");
    // An unassigned primary key gives way to the secondary one, if any.
    one.keyBindings.primary.heavy = 0;
    EXPECT_EQ(actionName(one.keyBindings, one.padIndex, &Controls::heavy), "-unasigned-");
    one.keyBindings.secondary.heavy = 57;
    EXPECT_EQ(actionName(one.keyBindings, one.padIndex, &Controls::heavy), "Space");
}

TEST_F(ActionNamesTest, AControllersNamesAreWhatGivesEachAction) {
    for (const ActionCase& c : kCases) {
        SCOPED_TRACE(c.padName);
        start({c.padEvent});
        one.padIndex = 0;
        EXPECT_EQ(actionName(one.keyBindings, one.padIndex, c.key), c.padName);
        Actions actions = pollActions(one.keyBindings, one.padIndex, one.jumpWithUp);
        EXPECT_TRUE(actions.*c.action);
        for (const ActionCase& other : kCases) {
            if (other.action == c.action) continue;
            EXPECT_FALSE(actions.*other.action) << other.padName;
        }
    }
}

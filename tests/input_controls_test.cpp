// Players' actions from keys and controllers, input counters, key capture and defaults.
#include "headless_fixture.h"

#include "input/player_setup.h"
#include "input/controls.h"
#include "input/keys.h"

namespace {
struct ControlsTest : HeadlessScreen {
    // A player's keys with the input counters their actions fill (a fighter's).
    struct Player : PlayerSetup {
        std::array<double, kInputCount> input{};
    };
    Player one, two;
    void start(std::vector<ScriptEvent> script, int64_t pads = 0) {
        endRuntime();
        HeadlessOptions options;
        options.controllerCount = pads;
        options.script = std::move(script);
        setHeadless(options);
        ASSERT_TRUE(initKeyboard());
        initControllers();
        createPlayerSetup(one, "Player one", 1);
        one.input = {};
        createPlayerSetup(two, "Player two", 2);
        two.input = {};
        pollKeyboard();
    }
    static Actions poll(const PlayerSetup& player) {
        return pollActions(player.keyBindings, player.padIndex, player.jumpWithUp);
    }
    static std::vector<ScriptEvent> held(std::initializer_list<int64_t> keys) {
        std::vector<ScriptEvent> script;
        for (int64_t k : keys) script.push_back({0, kScriptKey, k, 1, {}});
        return script;
    }
};
} // namespace

TEST_F(ControlsTest, JumpWithUpOnlyWithoutAnAttack) {
    start(held({kKeyUp, 25}));
    one.jumpWithUp = 1;
    Actions a = poll(one);
    EXPECT_TRUE(a.up);
    EXPECT_TRUE(a.neutral);
    EXPECT_FALSE(a.jump);
    start(held({kKeyUp}));
    one.jumpWithUp = 1;
    EXPECT_TRUE(poll(one).jump);
    one.jumpWithUp = 0;
    EXPECT_FALSE(poll(one).jump);
}

TEST_F(ControlsTest, UnassignedKeysNeverActAndSharedKeysServeBoth) {
    start(held({57}));
    one.keyBindings.primary = {};
    EXPECT_FALSE(poll(one).up); // code 0 is never held
    one.keyBindings.secondary.heavy = 57;
    two.keyBindings.primary.heavy = 57;
    EXPECT_TRUE(poll(one).heavy);
    EXPECT_TRUE(poll(two).heavy);
}

TEST_F(ControlsTest, ControllerDrivesTheActions) {
    std::vector<ScriptEvent> script = {{0, kScriptPadAxisX, 0, -800, {}},
                                       {0, kScriptPadButton, 1, 1, {}},
                                       {0, kScriptPadButton, 4, 1, {}}};
    start(script, 1);
    one.padIndex = 0;
    Actions a = poll(one);
    EXPECT_TRUE(a.left);
    EXPECT_FALSE(a.right);
    EXPECT_TRUE(a.neutral);
    EXPECT_TRUE(a.jump);
    EXPECT_FALSE(a.heavy);
    EXPECT_FALSE(poll(two).left); // player two has no pad
}

TEST_F(ControlsTest, CountersAreTwoForMovesAndTenForAttacks) {
    start(held({kKeyLeft, 25, 38}));
    applyInput(one.input, poll(one), 1.0);
    EXPECT_EQ(one.input[kInputLeft], 2);
    EXPECT_EQ(one.input[kInputLight], 10);
    EXPECT_EQ(one.input[kInputJump], 2);
    EXPECT_EQ(one.input[kInputRight], 0);
}

TEST_F(ControlsTest, CaptureTakesTheLowestReleasedKey) {
    std::vector<ScriptEvent> script;
    scriptKeyTap(script, 0, kKeyEscape);
    scriptKeyTap(script, 0, 14);
    start(script);
    EXPECT_EQ(captureKey(), 0); // nothing released yet
    countPresentedFrame();
    pollKeyboard();
    EXPECT_EQ(captureKey(), 1);
    EXPECT_EQ(captureKey(), 14); // a key without a name: the caller refuses it
    EXPECT_EQ(keyNameOf(14), "-unkown-");
    EXPECT_EQ(captureKey(), 0);
}

TEST_F(ControlsTest, ResetToDefaultKeepsSecondaryKeys) {
    start({});
    one.keyBindings.primary.left = 57;
    one.keyBindings.secondary.left = 30;
    resetBindingsToDefault(one.keyBindings, two.keyBindings);
    EXPECT_EQ(one.keyBindings.primary.left, kKeyLeft);
    EXPECT_EQ(one.keyBindings.secondary.left, 30);
    EXPECT_EQ(two.keyBindings.primary.neutral, 16);
}

TEST_F(ControlsTest, AnyNonZeroJumpWithUpJumps) {
    // The controls screen shows every non-zero value (from a hand-edited file) as enabled.
    for (int64_t value : {int64_t(2), int64_t(-1), INT64_MAX}) {
        start(held({kKeyUp}));
        one.jumpWithUp = value;
        EXPECT_TRUE(poll(one).jump) << value;
    }
}

// Menus take a controller's button or direction when it is let go: once, and only when the
// screen saw it held in the frame before (not a press that ended while no one looked).
TEST_F(ControlsTest, AControllerReleaseCountsOnceAndOnlyAsItHappens) {
    start({{0, kScriptPadButton, 1, 1, {}},
           {0, kScriptPadButton, 3, 1, {}},
           {1, kScriptPadButton, 1, 0, {}},
           {5, kScriptPadButton, 3, 0, {}}},
          1);
    forgetPadReleases();
    EXPECT_TRUE(padActionDown(0, &Controls::neutral));
    EXPECT_FALSE(padActionReleased(0, &Controls::neutral));
    EXPECT_FALSE(padActionReleased(0, &Controls::heavy));
    EXPECT_FALSE(padActionReleased(1, &Controls::heavy)); // no controller there
    EXPECT_FALSE(padActionReleased(-1, &Controls::heavy));
    presentFrame();
    pollKeyboard();
    EXPECT_FALSE(padActionDown(0, &Controls::neutral));
    EXPECT_TRUE(padActionReleased(0, &Controls::neutral));
    EXPECT_FALSE(padActionReleased(0, &Controls::neutral)); // taken
    for (int i = 0; i < 5; ++i) presentFrame();
    pollKeyboard();
    EXPECT_FALSE(padActionDown(0, &Controls::heavy));
    EXPECT_FALSE(padActionReleased(0, &Controls::heavy)); // last seen held six frames ago
}

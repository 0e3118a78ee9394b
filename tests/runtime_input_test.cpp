// Keyboard snapshots, the release edge and scripted controllers.
#include "headless_fixture.h"

struct InputTest : HeadlessScreen {
    // Scripts must be set before the runtime starts: restart it with this script.
    void restartWith(std::vector<ScriptEvent> script) {
        endRuntime();
        HeadlessOptions options;
        options.controllerCount = 2;
        options.script = std::move(script);
        setHeadless(options);
        ASSERT_TRUE(initKeyboard());
        initControllers();
    }
};

TEST_F(InputTest, ReleaseIsReportedOnceAndHeldKeysShow) {
    std::vector<ScriptEvent> script;
    scriptKeyTap(script, 0, 57, 2); // Space held in frames 0 and 1
    restartWith(script);
    pollKeyboard();
    EXPECT_EQ(keyDown(57), 1);
    EXPECT_EQ(keyDown(-1), 1);
    EXPECT_EQ(keyReleased(57), 0);
    countPresentedFrame();
    pollKeyboard();
    EXPECT_EQ(keyDown(57), 1);
    countPresentedFrame();
    pollKeyboard();
    EXPECT_EQ(keyDown(57), 0);
    EXPECT_EQ(keyDown(-1), 0);
    EXPECT_EQ(keyReleased(57), 1);
    EXPECT_EQ(keyReleased(57), 0);
    for (int frame = 0; frame < 3; ++frame) {
        countPresentedFrame();
        pollKeyboard();
        EXPECT_EQ(keyReleased(57), 0);
        EXPECT_EQ(keyReleased(-1), 0);
    }
}

TEST_F(InputTest, ATapBetweenTwoSnapshotsIsNotLost) {
    std::vector<ScriptEvent> script;
    script.push_back({1, kScriptKey, 28, 1, {}});
    script.push_back({1, kScriptKey, 28, 0, {}}); // down and up before one snapshot
    restartWith(script);
    pollKeyboard();
    EXPECT_EQ(keyDown(28), 0);
    countPresentedFrame();
    pollKeyboard();
    EXPECT_EQ(keyDown(28), 1);
    countPresentedFrame();
    pollKeyboard();
    EXPECT_EQ(keyDown(28), 0);
    EXPECT_EQ(keyReleased(-1), 1);
}

TEST_F(InputTest, ControllerAxesUseTheirThresholds) {
    std::vector<ScriptEvent> script;
    script.push_back({0, kScriptPadAxisX, 1, -499, {}});
    script.push_back({0, kScriptPadAxisY, 1, 500, {}});
    script.push_back({0, kScriptPadButton, 104, 1, {}});
    script.push_back({1, kScriptPadAxisX, 1, -500, {}});
    script.push_back({1, kScriptPadAxisY, 1, 499, {}});
    restartWith(script);
    EXPECT_EQ(controllerCount(), 2);
    pollKeyboard();
    EXPECT_EQ(pollController(1), 1);
    EXPECT_EQ(controllerAxisX(1), 0);
    EXPECT_EQ(controllerAxisY(1), 1);
    EXPECT_EQ(controllerButton(1, 4), 1);
    EXPECT_EQ(controllerButton(1, 3), 0);
    EXPECT_EQ(controllerButton(1, 15), 0);
    EXPECT_EQ(controllerButton(0, 4), 0);
    countPresentedFrame();
    pollKeyboard();
    EXPECT_EQ(controllerAxisX(1), -1);
    EXPECT_EQ(controllerAxisY(1), 0);
    EXPECT_EQ(pollController(5), 0);
    EXPECT_EQ(controllerAxisX(5), 0);
}

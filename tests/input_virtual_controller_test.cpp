// Game controllers plugged in and out while the game runs: SDL's virtual controllers reach
// the game as real ones do (hot-plug events, SDL's controller mapping, D-pad, stick and
// buttons), through the real menus and the fight.
#include "headless_fixture.h"
#include "journey_fixture.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "input/action_names.h"
#include "input/keys.h"
#include "match/match.h"
#include "runtime/virtual_controller.h"
#include "input/player_setup.h"

namespace {
constexpr int64_t kP = 25, kQ = 16; // the players' neutral keys
constexpr int64_t kButtonA = 1;     // neutral: selects in the menus
constexpr int64_t kButtonX = 3;     // heavy: goes back

// Steps the test takes at chosen frames while the game presents them.
std::multimap<int64_t, std::function<void()>> steps;

void runDueSteps() {
    while (!steps.empty() && steps.begin()->first <= presentedFrames()) {
        std::function<void()> step = std::move(steps.begin()->second);
        steps.erase(steps.begin());
        step();
    }
}

void later(int64_t delay, std::function<void()> step) {
    steps.emplace(presentedFrames() + delay, std::move(step));
}

// The controller's handle is read when the step runs: it may be plugged in after this is planned.
void dpadLater(const int64_t& pad, int64_t delay, int64_t x, int64_t y) {
    later(delay, [&pad, x, y] { setVirtualControllerDpad(pad, x, y); });
    later(delay + 3, [&pad] { setVirtualControllerDpad(pad, 0, 0); });
}

void buttonLater(const int64_t& pad, int64_t delay, int64_t button) {
    later(delay, [&pad, button] { setVirtualControllerButton(pad, button, true); });
    later(delay + 3, [&pad, button] { setVirtualControllerButton(pad, button, false); });
}

// What the fight showed after each pass of its loop.
struct Pass {
    float oneX = 0, twoX = 0;
    int64_t oneAttacking = 0;
    int64_t onePad = -1, twoPad = -1;
    bool placeZeroPlugged = false, placeOnePlugged = false;
};

bool attackedWithin(const std::vector<Pass>& passes, size_t from, size_t to) {
    for (size_t i = from; i <= to && i < passes.size(); ++i)
        if (passes[i].oneAttacking) return true;
    return false;
}

struct VirtualControllerTest : JourneyTest {
    void SetUp() override {
        JourneyTest::SetUp();
        steps.clear();
        presentedFrameObserver = runDueSteps;
    }
    void TearDown() override {
        presentedFrameObserver = nullptr;
        steps.clear();
        matchHooks = MatchHooks{};
        JourneyTest::TearDown();
    }
};

using Screens = std::vector<std::string>;

std::vector<int64_t> placesTaken;
void notePlaceTaken(int64_t pad) { placesTaken.push_back(pad); }

// The runtime alone: one scripted controller in place 0.
struct VirtualControllerPlaces : HeadlessScreen {
    void SetUp() override {
        HeadlessScreen::SetUp();
        placesTaken.clear();
        controllerPluggedIn = notePlaceTaken;
    }
};
} // namespace

TEST_F(VirtualControllerPlaces, PluggedInItTakesTheFirstFreePlaceAndReadsAsTheGameNumbersIt) {
    int64_t pad = attachVirtualController();
    ASSERT_GE(pad, 0);
    EXPECT_EQ(controllerCount(), 1); // not yet: its event comes with the next pump
    pollKeyboard();
    EXPECT_EQ(placesTaken, std::vector<int64_t>{1});
    EXPECT_EQ(controllerCount(), 2);
    EXPECT_EQ(controllerPresent(1), 1);

    for (int64_t button : {1, 3, 4}) {
        setVirtualControllerButton(pad, button, true);
        ASSERT_EQ(pollController(1), 1);
        for (int64_t other = 1; other <= 14; ++other)
            EXPECT_EQ(controllerButton(1, other), other == button ? 1 : 0)
                << button << " " << other;
        setVirtualControllerButton(pad, button, false);
    }
    // The D-pad counts as the stick; the stick needs half its reach.
    setVirtualControllerDpad(pad, -1, 1);
    pollController(1);
    EXPECT_EQ(controllerAxisX(1), -1);
    EXPECT_EQ(controllerAxisY(1), 1);
    setVirtualControllerDpad(pad, 0, 0);
    setVirtualControllerStick(pad, 600, -400);
    pollController(1);
    EXPECT_EQ(controllerAxisX(1), 1);
    EXPECT_EQ(controllerAxisY(1), 0);
    EXPECT_EQ(controllerAxisX(0), 0); // the scripted one is untouched

    // Unplugged, its place waits for the next one.
    detachVirtualController(pad);
    pollKeyboard();
    EXPECT_EQ(controllerPresent(1), 0);
    EXPECT_EQ(pollController(1), 0);
    EXPECT_EQ(controllerAxisX(1), 0);
    setVirtualControllerButton(pad, 1, true); // a stale handle does nothing
    int64_t again = attachVirtualController();
    int64_t another = attachVirtualController();
    pollKeyboard();
    EXPECT_NE(again, pad);
    EXPECT_EQ(placesTaken, (std::vector<int64_t>{1, 1, 2}));
    EXPECT_EQ(controllerCount(), 3);
    EXPECT_GE(another, 0);
}

// Headless, SDL's controller support waits for the first virtual controller: until then no
// pump polls the machine's devices, and it starts once however many come and go.
TEST_F(VirtualControllerPlaces, ControllerSupportStartsWithTheFirstVirtualControllerOnly) {
    for (int frame = 0; frame < 3; ++frame) presentFrame();
    pollKeyboard();
    DeviceCounters before = deviceCounters();
    EXPECT_EQ(before.controllerStarts, 0);
    EXPECT_EQ(before.devicePolls, 0);
    EXPECT_GE(before.eventPumps, 4); // each frame's pumps and the snapshot's are counted
    EXPECT_EQ(pollController(0), 1); // the scripted controller polls nothing
    EXPECT_EQ(deviceCounters().devicePolls, 0);

    int64_t pad = attachVirtualController();
    ASSERT_GE(pad, 0);
    EXPECT_EQ(deviceCounters().controllerStarts, 1);
    pollKeyboard();
    EXPECT_EQ(controllerPresent(1), 1);
    int64_t polls = deviceCounters().devicePolls;
    EXPECT_GE(polls, 1);
    pollController(1);
    EXPECT_EQ(deviceCounters().devicePolls, polls + 1);
    detachVirtualController(pad);
    ASSERT_GE(attachVirtualController(), 0);
    EXPECT_EQ(deviceCounters().controllerStarts, 1);

    // A runtime that has not asked for controllers gets none, and the count starts again.
    endRuntime();
    EXPECT_EQ(deviceCounters().controllerStarts, 0);
    EXPECT_EQ(deviceCounters().eventPumps, 0);
    ASSERT_TRUE(initKeyboard());
    EXPECT_EQ(attachVirtualController(), -1);
    EXPECT_EQ(deviceCounters().controllerStarts, 0);
}

TEST_F(VirtualControllerTest, PluggedInWhilePlayingItDrivesMenusAndFightAndUnpluggedLeavesTheKeys) {
    options.nullRenderer = false; // drawn, for the screenshots
    // The whole way takes about 1200 frames; a game stuck on a screen is closed long after.
    options.script.push_back({4000, kScriptCloseWindow, 0, 0, {}});
    int64_t first = -1, second = -1, third = -1;
    std::vector<std::string> shots = {"controller-main-menu.png", "controller-fight.png"};

    journey.on("main menu", 0, [&] {
        EXPECT_EQ(controllerCount(), 0);
        EXPECT_EQ(playerSetups[0].padIndex, -1);
        EXPECT_EQ(playerSetups[1].padIndex, -1);
        later(5, [&] { first = attachVirtualController(); });
        later(7, [&] {
            EXPECT_GE(first, 0);
            EXPECT_EQ(controllerCount(), 1);
            EXPECT_EQ(playerSetups[0].padIndex, 0); // the first player without a controller
            EXPECT_EQ(playerSetups[1].padIndex, -1);
            EXPECT_EQ(actionName(playerSetups[0].keyBindings, playerSetups[0].padIndex, &Controls::left),
                      "stick left");
        });
        // The D-pad down three times, to "Options", and button 1 there.
        for (int i = 0; i < 3; ++i) dpadLater(first, 25 + 6 * i, 0, 1);
        scriptAdd({presentedFrames() + 44, kScriptScreenshot, 0, 0, shots[0]});
        buttonLater(first, 45, kButtonA);
    });
    journey.on("options", 0, [&] { buttonLater(first, 25, kButtonX); });
    journey.on("main menu", 1, [&] {
        // From "Options" up to "Player vs Player".
        for (int i = 0; i < 3; ++i) dpadLater(first, 25 + 6 * i, 0, -1);
        buttonLater(first, 45, kButtonA);
    });
    journey.on("where to play", 0, [&] { buttonLater(first, 25, kButtonA); }); // here
    journey.on("class selection", 0, [&] {
        dpadLater(first, 25, 1, 0);       // player one: the next class
        buttonLater(first, 31, kButtonA); // player one is ready
        tap(31, kQ);                      // player two, on the keyboard
        tap(40, kKeyReturn);              // both ready: Return starts
    });
    journey.on("stage selection", 0, [] { tap(25, kKeyReturn); });
    journey.on("class selection", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 2, [] { tap(25, kKeyEscape); });

    // The fight, by pass of its loop (a step at pass n acts from pass n + 1 on). Player one
    // stands to the right of player two.
    std::map<int64_t, std::function<void()>> atPass = {
        {10, [&] { setVirtualControllerDpad(first, -1, 0); }},
        {40, [&] { setVirtualControllerDpad(first, 0, 0); }},
        {50, [&] { setVirtualControllerStick(first, 1000, 0); }},
        {80, [&] { setVirtualControllerStick(first, 0, 0); }},
        {90, [&] { setVirtualControllerButton(first, kButtonA, true); }},
        {93, [&] { setVirtualControllerButton(first, kButtonA, false); }},
        // Unplugged in the middle of the fight, the D-pad held: the walk stops, the keyboard
        // plays on, the handle is dead.
        {120, [&] { setVirtualControllerDpad(first, -1, 0); }},
        {130, [&] { detachVirtualController(first); }},
        {133, [] {
             EXPECT_EQ(actionName(playerSetups[0].keyBindings, playerSetups[0].padIndex, &Controls::left),
                       "Left");
         }},
        {135, [&] { setVirtualControllerDpad(first, -1, 0); }},
        {140, [] { scriptTapLater(1, kKeyLeft, 30); }},
        {180, [] { scriptTapLater(1, kP, 3); }},
        // Plugged in again: player one's place first, then player two, who has none.
        {220, [&] { second = attachVirtualController(); }},
        {225, [&] { third = attachVirtualController(); }},
        {230, [&] {
             setVirtualControllerDpad(second, 1, 0);
             setVirtualControllerDpad(third, 1, 0);
         }},
        {260, [&] {
             detachVirtualController(second);
             detachVirtualController(third);
         }},
        {280, [] { scriptTapLater(1, kKeyEscape); }},
    };
    std::vector<Pass> passes;
    matchHooks.afterFightFrame = [&](int64_t pass) {
        passes.push_back({playerOne.position.x, playerTwo.position.x, playerOne.attacking,
                          playerSetups[0].padIndex, playerSetups[1].padIndex, controllerPresent(0) != 0,
                          controllerPresent(1) != 0});
        if (auto step = atPass.find(pass); step != atPass.end()) step->second();
    };
    matchHooks.screenshots = {{245, shots[1]}};

    EXPECT_EQ(run(), 0);
    keepScreenshots(shots);
    EXPECT_EQ(journey.screens,
              (Screens{"main menu", "options", "main menu", "where to play", "class selection", "stage selection",
                       "fight", "class selection", "main menu"}));
    ASSERT_TRUE(playerOne.fighterClass);
    EXPECT_EQ(playerOne.fighterClass->id, selectableClasses[1]); // the D-pad moved its panel
    ASSERT_GT(passes.size(), 280u);

    // The D-pad walks player one left, the stick right; button 1 attacks.
    EXPECT_LT(passes[40].oneX, passes[10].oneX - 30);
    EXPECT_GT(passes[80].oneX, passes[50].oneX + 30);
    EXPECT_FALSE(attackedWithin(passes, 85, 90));
    EXPECT_TRUE(attackedWithin(passes, 91, 110));

    // Unplugged: player one keeps the place (to get a controller back there) and plays on the
    // keyboard, named by its keys again.
    EXPECT_FALSE(passes[132].placeZeroPlugged);
    EXPECT_EQ(passes[132].onePad, 0);
    EXPECT_LT(passes[130].oneX, passes[120].oneX - 30);
    EXPECT_FLOAT_EQ(passes[140].oneX, passes[134].oneX); // no walk held over, none from the handle
    EXPECT_LT(passes[171].oneX, passes[140].oneX - 30);
    EXPECT_FALSE(attackedWithin(passes, 175, 180));
    EXPECT_TRUE(attackedWithin(passes, 181, 200));

    // Plugged in again: player one's place is taken first, then player two gets the next.
    EXPECT_TRUE(passes[222].placeZeroPlugged);
    EXPECT_EQ(passes[222].onePad, 0);
    EXPECT_EQ(passes[222].twoPad, -1);
    EXPECT_TRUE(passes[227].placeOnePlugged);
    EXPECT_EQ(passes[227].twoPad, 1);
    EXPECT_GT(passes[260].oneX, passes[230].oneX + 30);
    EXPECT_GT(passes[260].twoX, passes[230].twoX + 30);
    EXPECT_FALSE(passes[262].placeZeroPlugged || passes[262].placeOnePlugged);
}

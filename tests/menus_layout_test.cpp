// Every screen at every screen size a player meets: the frame's texts and informative
// pictures, as the drawing layer placed them, all lie on the screen and none covers another.
#include "journey_fixture.h"

#include <map>
#include <sstream>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "match/match.h"
#include "menus/address_entry.h"
#include "menus/class_selection.h"
#include "menus/selection_panels.h"
#include "menus/waiting_screen.h"
#include "menus/where_menu.h"
#include "net/transport.h"
#include "online/online_flow.h"
#include "online/online_play.h"
#include "render/layout_record.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/settings.h"
#include "shell/startup.h"

namespace {
constexpr int64_t kP = 25, kQ = 16; // the players' neutral keys: ready
constexpr int64_t kO = 24;          // player one's heavy key: not ready any more
constexpr int64_t kF = 33;          // the viewer's frame data
constexpr int64_t kJ = 36;          // player two's Right
constexpr int kClassSteps = 8;      // once round every class, Random and Mirror included
struct ScreenSize {
    int64_t width;
    int64_t height;
};
// The sizes of the options' list that players' desktops mostly have, and the two common
// desktops between them that a full screen takes as they are.
const ScreenSize kSizes[] = {{1024, 768}, {1280, 720}, {1366, 768}, {1600, 900}, {1920, 1080}, {1920, 1200}};

// What the frame being drawn placed, and the frames kept by name.
std::vector<LaidOut> frameLayout;
std::map<std::string, std::vector<LaidOut>> captured;
std::vector<std::pair<int64_t, std::string>> wanted; // presented frame, name
std::vector<std::string> shots;

void atPresentedFrame() {
    for (const auto& [frame, name] : wanted)
        if (frame == presentedFrames()) captured[name] = frameLayout;
    frameLayout.clear();
}

// Keeps the layout of the frame `delay` frames after the present one; with
// QRX_KEEP_SCREENSHOTS set, a screenshot of that frame too (layout-WxH-name.png).
void captureLater(int64_t delay, const std::string& name) {
    wanted.push_back({presentedFrames() + delay, name});
    if (!std::getenv("QRX_KEEP_SCREENSHOTS")) return;
    std::string file = "layout-" + std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "-" + name + ".png";
    for (char& c : file)
        if (c == ' ' || c == ',' || c == ':') c = '_';
    scriptAdd({presentedFrames() + delay, kScriptScreenshot, 0, 0, file});
    shots.push_back(file);
}

std::string describe(const LaidOut& l) {
    std::ostringstream out;
    out << layoutRoleName(l.role) << " \"" << l.what << "\" at " << l.x << "," << l.y << " size "
        << l.width << "x" << l.height;
    return out.str();
}

// More than 2 px both ways: the rectangles of scaled pictures are a pixel or two generous.
bool overlap(const LaidOut& a, const LaidOut& b) {
    constexpr int64_t kSlack = 2;
    return a.x + kSlack < b.x + b.width && b.x + kSlack < a.x + a.width &&
           a.y + kSlack < b.y + b.height && b.y + kSlack < a.y + a.height;
}

// Pictures of one series (the icons of a combo row) may touch and overlap as they are drawn.
bool oneSeries(const LaidOut& a, const LaidOut& b) {
    return a.role == LayoutRole::Picture && b.role == LayoutRole::Picture && a.what == b.what;
}

// Everything off the screen, and every two informative things over each other (a panel lies
// under what it holds, but not under another panel).
std::vector<std::string> layoutFaults(const std::vector<LaidOut>& laid, ScreenSize size) {
    std::vector<std::string> faults;
    for (const LaidOut& l : laid)
        if (l.x < 0 || l.y < 0 || l.x + l.width > size.width || l.y + l.height > size.height)
            faults.push_back(describe(l) + " leaves the screen");
    for (size_t i = 0; i < laid.size(); ++i)
        for (size_t j = i + 1; j < laid.size(); ++j)
            if ((laid[i].role == LayoutRole::Panel) == (laid[j].role == LayoutRole::Panel) &&
                !oneSeries(laid[i], laid[j]) && overlap(laid[i], laid[j]))
                faults.push_back(describe(laid[i]) + " covers " + describe(laid[j]));
    return faults;
}

struct LayoutTest : JourneyTest, testing::WithParamInterface<ScreenSize> {
    void SetUp() override {
        JourneyTest::SetUp();
        if (IsSkipped()) return;
        ScreenSize size = GetParam();
        forcedScreenWidth = size.width;
        forcedScreenHeight = size.height;
        options.desktopWidth = std::max<int64_t>(size.width, 1920);
        options.desktopHeight = std::max<int64_t>(size.height, 1200);
        frameLayout.clear();
        captured.clear();
        wanted.clear();
        shots.clear();
        // Drawn for real: the fighters' frames load only to be drawn.
        options.nullRenderer = false;
        recordLayout(&frameLayout);
        presentedFrameObserver = atPresentedFrame;
    }
    void TearDown() override {
        recordLayout(nullptr);
        presentedFrameObserver = nullptr;
        forcedScreenWidth = forcedScreenHeight = 0;
        matchHooks = MatchHooks{};
        JourneyTest::TearDown();
    }
    void expectTidy(const std::vector<std::string>& screens) {
        keepScreenshots(shots);
        ScreenSize size = GetParam();
        for (const std::string& screen : screens) {
            auto found = captured.find(screen);
            ASSERT_NE(found, captured.end()) << screen << " was not seen";
            EXPECT_FALSE(found->second.empty()) << screen << " placed nothing";
            for (const std::string& fault : layoutFaults(found->second, size))
                ADD_FAILURE() << size.width << "x" << size.height << " " << screen << ": " << fault;
        }
    }
};

std::string sizeName(const testing::TestParamInfo<ScreenSize>& info) {
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

// Presses Down `rows` times, `from` frames after the opening, keeping each row's frame.
int64_t captureRows(int64_t from, int64_t rows, const std::string& name) {
    for (int64_t i = 0; i < rows; ++i) {
        captureLater(from + 3 * i + 2, name + " row " + std::to_string(i));
        tap(from + 3 * i + 2, kKeyDown);
    }
    return from + 3 * rows + 3;
}

// Steps Right through every class, `from` frames after the opening, keeping each one's frame;
// `alsoKey` (0: none) is pressed with Right.
int64_t captureClasses(int64_t from, const std::string& name, int64_t alsoKey = 0) {
    for (int i = 0; i < kClassSteps; ++i) {
        captureLater(from + 6 * i, name + " " + std::to_string(i));
        tap(from + 2 + 6 * i, kKeyRight);
        if (alsoKey) tap(from + 2 + 6 * i, alsoKey);
    }
    return from + 6 + 6 * kClassSteps;
}
} // namespace

// Two players: both selection steps, the stage, the fight with its gauges and the end of
// the match; then the menus that lead nowhere else: options, controls, credits.
TEST_P(LayoutTest, TwoPlayersAndTheMenus) {
    journey.on("main menu", 0, [] {
        captureLater(30, "main menu");
        tap(35, kKeyReturn);
    });
    journey.on("where to play", 0, [] { tap(25, kKeyReturn); }); // the same computer
    journey.on("class selection", 0, [] {
        // Both players through every class (player two's Right is J), then back to the first.
        int64_t at = captureClasses(30, "two players, class", kJ);
        tap(at, kP); // player one ready
        captureLater(at + 4, "player one ready");
        tap(at + 6, kQ);
        captureLater(at + 10, "both ready");
        tap(at + 13, kKeyReturn);
    });
    journey.on("stage selection", 0, [] {
        captureLater(30, "stage: random");
        tap(32, kKeyRight);
        captureLater(36, "stage: first");
        tap(40, kKeyReturn);
    });
    journey.on("fight", 0, [] {
        matchHooks.afterFightFrame = [](int64_t pass) {
            if (pass == 280) tap(1, kP, 3); // player one attacks: the combo display shows it
            // The layout of the frame drawn now is kept as it is shown.
            if (pass == 300) captureLater(1, "fight");
            if (pass == 310) {
                playerTwo.life = -40;
                captureLater(100, "end of match");
            }
        };
    });
    journey.on("class selection", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] {
        for (int i = 0; i < 3; ++i) tap(25 + 3 * i, kKeyDown);
        tap(40, kKeyReturn);
    });
    journey.on("options", 0, [] {
        int64_t at = captureRows(25, 16, "options");
        captureLater(at, "options controls row");
        tap(at + 2, kKeyReturn);
    });
    journey.on("controls", 0, [] {
        captureRows(25, 9, "controls");
        tap(60, kKeyEscape);
    });
    journey.on("options", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 2, [] { // from Options down to Credits
        tap(25, kKeyDown);
        tap(28, kKeyDown);
        tap(31, kKeyReturn);
    });
    journey.on("credits", 0, [] {
        captureLater(40, "credits");
        tap(45, kKeyEscape);
    });
    journey.on("main menu", 3, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    std::vector<std::string> screens = {"main menu", "player one ready",
                                        "both ready", "stage: random", "stage: first", "fight",
                                        "end of match", "options controls row", "credits"};
    for (int i = 0; i < kClassSteps; ++i) screens.push_back("two players, class " + std::to_string(i));
    for (int i = 0; i < 16; ++i) screens.push_back("options row " + std::to_string(i));
    for (int i = 0; i < 9; ++i) screens.push_back("controls row " + std::to_string(i));
    expectTidy(screens);
    // The fight's frame had both gauges and portraits and the combo display.
    std::map<std::string, int> seen;
    for (const LaidOut& l : captured["fight"]) ++seen[l.what];
    EXPECT_EQ(seen["life gauge"], 2);
    EXPECT_EQ(seen["fighter portrait"], 2);
    EXPECT_GE(seen["combo icon"], 1);
}

// Against the bot: both steps, every difficulty, the stage; the viewer on every class, with
// its numbers and frame data; the tutorial menu, a lesson and the training room.
TEST_P(LayoutTest, AgainstTheBotTheViewerAndTheTutorial) {
    journey.on("main menu", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn);
    });
    journey.on("class selection", 0, [] {
        int64_t at = captureClasses(30, "pick your class");
        tap(at, kKeyReturn);
        captureLater(at + 4, "pick your opponent");
        tap(at + 6, kKeyReturn);
    });
    journey.on("difficulty", 0, [] {
        int64_t at = captureRows(25, 4, "difficulty");
        tap(at, kKeyEscape);
    });
    journey.on("class selection", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { // from Player vs Bot to the viewer
        tap(25, kKeyDown);
        tap(28, kKeyReturn);
    });
    journey.on("class selection", 2, [] {
        int64_t at = captureClasses(30, "viewer class");
        tap(at, kKeyLeftShift, 10);
        captureLater(at + 5, "viewer numbers");
        tap(at + 12, kF);
        captureLater(at + 18, "viewer frame data");
        tap(at + 20, kF);
        tap(at + 25, kKeyEscape);
    });
    journey.on("main menu", 2, [] { // from the viewer to the tutorial
        tap(25, kKeyDown);
        tap(28, kKeyDown);
        tap(31, kKeyReturn);
    });
    journey.on("tutorial", 0, [] {
        int64_t at = captureRows(25, 3, "tutorial");
        tap(at, kKeyUp);
        tap(at + 3, kKeyUp);
        tap(at + 6, kKeyUp);
        tap(at + 9, kKeyReturn); // the lessons
    });
    journey.on("lessons", 0, [] {
        captureLater(60, "lesson");
        tap(70, kKeyEscape);
    });
    journey.on("tutorial", 1, [] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn); // the training room
    });
    journey.on("class selection", 3, [] {
        tap(25, kKeyReturn);
        tap(28, kKeyReturn);
    });
    journey.on("stage selection", 0, [] { tap(25, kKeyReturn); });
    journey.on("training", 0, [] {
        captureLater(120, "training");
        tap(130, kKeyEscape);
    });
    journey.on("tutorial", 2, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 3, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    std::vector<std::string> screens = {"pick your opponent", "viewer numbers",
                                        "viewer frame data", "lesson", "training"};
    for (int i = 0; i < kClassSteps; ++i) screens.push_back("pick your class " + std::to_string(i));
    for (int i = 0; i < 4; ++i) screens.push_back("difficulty row " + std::to_string(i));
    for (int i = 0; i < kClassSteps; ++i) screens.push_back("viewer class " + std::to_string(i));
    for (int i = 0; i < 3; ++i) screens.push_back("tutorial row " + std::to_string(i));
    expectTidy(screens);
}

namespace {
// Online class selection from this computer's `side` (0 the host's: player one's panel on the
// right; 1 the joiner's: player two's on the left, moved with player one's keys). The other
// player's choice comes as its packets would set it, a frame at a time: it steps through the
// classes beside this player's own, then is ready. Frames kept: "<name> class i" while both
// choose, then "<name> you ready", "<name> both ready" and "<name> other ready".
void onlineClassSelection(Journey& journey, int64_t side, const std::string& name) {
    onlinePanels = OnlinePanels{};
    onlinePanels.active = true;
    onlinePanels.localSide = side;
    playerOnePanel = playerTwoPanel = SelectionPanel{};
    static int64_t opened = 0;
    journey.on("class selection", int(side), [side, name] {
        opened = presentedFrames();
        int64_t at = captureClasses(30, name + " class");
        tap(at, kP); // ready
        captureLater(at + 4, name + " you ready");
        captureLater(at + 12, name + " both ready");
        tap(at + 14, kO); // not ready any more
        captureLater(at + 18, name + " other ready");
        tap(at + 20, kP);
        if (side == 0) tap(at + 24, kKeyReturn); // the host starts
    });
    menuFrameService = [side] {
        int64_t t = presentedFrames() - opened;
        SelectionPanel peer;
        peer.cursor = (std::max<int64_t>(0, t - 30) / 6 + 3) % int64_t(selectableClasses.size());
        onlinePanels.peerCode = panelCode(peer);
        int64_t readyAt = 30 + 6 + 6 * kClassSteps + 8; // after this player's ready
        onlinePanels.peerReady = t >= readyAt;
        if (side == 1 && t >= readyAt + 28) onlinePanels.started = true; // the host started
        return true;
    };
    int64_t code = runClassSelection(fight, kTwoPlayerMode);
    menuFrameService = nullptr;
    onlinePanels = OnlinePanels{};
    EXPECT_NE(code, kNoSelection) << name;
}
} // namespace

// The screens of online play, run one after another: every entry of the where-to-play screen
// with its description, the join screen with the longest address it takes, the host's waiting
// screen with its addresses, the class selection as the host and as the joiner sees it, and
// the messages that end online play.
TEST_P(LayoutTest, TheOnlineScreens) {
    startUp();
    whereSelection = kPlaySameComputer;
    journey.on("where to play", 0, [] {
        tap(captureRows(25, 4, "where to play"), kKeyEscape);
    });
    runWhereMenu(40, 40);
    std::string address(kMaxAddressLength, 'w'); // the widest letter
    journey.on("join online", 0, [] {
        captureLater(30, "join online");
        tap(32, kKeyEscape);
    });
    runAddressEntry(40, 40, address);
    journey.on("host online", 0, [] {
        captureLater(30, "host online");
        tap(32, kKeyEscape);
    });
    runWaitingScreen(40, 40, "host online", "=======Host online",
                     [] { return hostWaitingLines(65535, {"255.255.255.255", "192.168.100.200"}); },
                     [] { return false; });
    onlineClassSelection(journey, 0, "host's view");
    onlineClassSelection(journey, 1, "joiner's view");
    const std::vector<std::pair<std::string, std::string>> endings = {
        {"connection lost", kLinkSilentReason},
        {"other lost the connection", byeMessage(kByeTimeout)},
        {"other left", byeMessage(kByeQuit)},
        {"desync", desyncMessage(9223372036854775807)},
        {"desync told", byeMessage(kByeDesync)},
    };
    for (size_t i = 0; i < endings.size(); ++i) {
        journey.on("online play over", int(i), [name = endings[i].first] {
            captureLater(30, name);
            tap(32, kKeyReturn);
        });
        showOnlineEnding(40, 40, endings[i].second);
    }
    std::vector<std::string> screens = {"join online", "host online"};
    for (int i = 0; i < 4; ++i) screens.push_back("where to play row " + std::to_string(i));
    for (const std::string view : {"host's view", "joiner's view"}) {
        for (int i = 0; i < kClassSteps; ++i) screens.push_back(view + " class " + std::to_string(i));
        for (const char* state : {" you ready", " both ready", " other ready"})
            screens.push_back(view + state);
    }
    for (const auto& [name, message] : endings) screens.push_back(name);
    expectTidy(screens);
}

INSTANTIATE_TEST_SUITE_P(EverySize, LayoutTest, testing::ValuesIn(kSizes), sizeName);

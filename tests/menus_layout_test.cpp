// Every screen at every screen size a player meets: the frame's texts and informative
// pictures, as the drawing layer placed them, all lie on the screen and none covers another;
// the key hints fit, and the selection screens and the viewer show their pictures.
#include "journey_fixture.h"
#include "screen_sizes.h"
#include "shown_text.h"

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "match/match.h"
#include "menus/address_entry.h"
#include "modes/solo_flow.h"
#include "records/records_screen.h"
#include "menus/class_selection.h"
#include "menus/fighter_viewer.h"
#include "menus/selection_panels.h"
#include "menus/waiting_screen.h"
#include "menus/where_menu.h"
#include "net/transport.h"
#include "online/online_flow.h"
#include "online/online_play.h"
#include "online/room_flow.h"
#include "online/rooms.h"
#include "render/layout_record.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/settings.h"
#include "shell/startup.h"
#include "shell/state_loop.h"

namespace {
constexpr int64_t kP = 25, kQ = 16; // the players' neutral keys: ready
constexpr int64_t kO = 24;          // player one's heavy key: not ready any more
constexpr int64_t kF = 33;          // the viewer's frame data
constexpr int64_t kJ = 36;          // player two's Right
constexpr int kClassSteps = 8;      // once round every class, Random and Mirror included

// What the frame being drawn placed and the glyphs it drew, and the frames kept by name.
std::vector<LaidOut> frameLayout;
std::vector<PlacedGlyph> frameGlyphs;
std::map<std::string, std::vector<LaidOut>> captured;
std::map<std::string, std::vector<PlacedGlyph>> capturedGlyphs;
std::vector<std::pair<int64_t, std::string>> wanted; // presented frame, name
std::vector<std::string> shots;

// The frames kept as screenshots too, one of each selection screen and those whose pixels are
// looked at; with QRX_KEEP_SCREENSHOTS set, every frame kept, to be looked at by hand.
const std::set<std::string> kShot = {
    "main menu",        "two players, class 1", "pick your class 1", "pick your opponent",
    "difficulty row 1", "stage: second",        "stage: random",     "credits",
    "viewer class 4",   "viewer numbers",       "viewer class 5",    "viewer frame data",
    "arcade ladder",    "records",              "survival"};

void atPresentedFrame() {
    for (const auto& [frame, name] : wanted)
        if (frame == presentedFrames()) {
            captured[name] = frameLayout;
            capturedGlyphs[name] = frameGlyphs;
        }
    frameLayout.clear();
    frameGlyphs.clear();
}

// layout-WxH-name.png
std::string shotFile(const std::string& name) {
    std::string file = "layout-" + std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "-" + name + ".png";
    for (char& c : file)
        if (c == ' ' || c == ',' || c == ':') c = '_';
    return file;
}

// Keeps the layout and the glyphs of the frame `delay` frames after the present one, and a
// screenshot of it as said above.
void captureLater(int64_t delay, const std::string& name) {
    wanted.push_back({presentedFrames() + delay, name});
    if (!kShot.count(name) && !std::getenv("QRX_KEEP_SCREENSHOTS")) return;
    scriptAdd({presentedFrames() + delay, kScriptScreenshot, 0, 0, shotFile(name)});
    shots.push_back(shotFile(name));
}

Bitmap shotOf(const std::string& name) {
    Bitmap shot;
    bool alpha = false;
    EXPECT_TRUE(loadPng(shotFile(name), shot, alpha)) << name;
    return shot;
}

// Pixels of a screenshot in a box that are not the menu background's dark grey.
int64_t drawnPixels(const Bitmap& shot, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    int64_t count = 0;
    for (int64_t y = y0; y < std::min(y1, shot.height); ++y)
        for (int64_t x = x0; x < std::min(x1, shot.width); ++x)
            count += (shot.pixels[size_t(y * shot.width + x)] & 0xFFFFFFu) != 0x202020u;
    return count;
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
std::vector<std::string> layoutFaults(const std::vector<LaidOut>& laid, Resolution size) {
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

bool overlap(const ShownText& a, const ShownText& b) {
    return a.x < b.right && b.x < a.right && a.y < b.y + kGlyphHeight && b.y < a.y + kGlyphHeight;
}

std::string describe(const ShownText& t) {
    return "\"" + t.text + "\" at " + std::to_string(t.x) + "," + std::to_string(t.y);
}

// Each hint line found in the frame kept as `screen`, on the screen, over no other text and
// above `lowestBottom` (the class pictures, stats panels and previews lie below).
void expectHintsFit(const std::string& screen, const std::vector<std::string>& hints,
                    int64_t lowestBottom, Resolution size) {
    std::vector<ShownText> texts = textsOf(capturedGlyphs[screen]);
    for (const std::string& hint : hints) {
        const ShownText* line = findText(texts, hint);
        ASSERT_TRUE(line) << screen << ": " << hint;
        EXPECT_GE(line->x, 0) << screen << ": " << describe(*line);
        EXPECT_LE(line->right, size.width) << screen << ": " << describe(*line);
        EXPECT_LE(line->y + kGlyphHeight, std::min(lowestBottom, size.height))
            << screen << ": " << describe(*line);
        for (const ShownText& other : texts)
            if (&other != line) {
                EXPECT_FALSE(overlap(*line, other))
                    << screen << ": " << describe(*line) << " over " << describe(other);
            }
    }
}

struct LayoutTest : JourneyTest, testing::WithParamInterface<Resolution> {
    void SetUp() override {
        JourneyTest::SetUp();
        if (IsSkipped()) return;
        Resolution size = GetParam();
        forcedScreenWidth = size.width;
        forcedScreenHeight = size.height;
        options.desktopWidth = std::max<int64_t>(size.width, 1920);
        options.desktopHeight = std::max<int64_t>(size.height, 1200);
        // Both players on game controllers: the key hints' longest names.
        options.controllerCount = 2;
        frameLayout.clear();
        frameGlyphs.clear();
        captured.clear();
        capturedGlyphs.clear();
        wanted.clear();
        shots.clear();
        viewerFrameData = false;
        // Drawn for real: the fighters' frames load only to be drawn.
        options.nullRenderer = false;
        recordLayout(&frameLayout);
        recordGlyphs(&frameGlyphs);
        presentedFrameObserver = atPresentedFrame;
    }
    void TearDown() override {
        recordLayout(nullptr);
        recordGlyphs(nullptr);
        presentedFrameObserver = nullptr;
        forcedScreenWidth = forcedScreenHeight = 0;
        matchHooks = MatchHooks{};
        JourneyTest::TearDown();
    }
    void expectTidy(const std::vector<std::string>& screens) {
        keepScreenshots(shots);
        Resolution size = GetParam();
        for (const std::string& screen : screens) {
            auto found = captured.find(screen);
            ASSERT_NE(found, captured.end()) << screen << " was not seen";
            EXPECT_FALSE(found->second.empty()) << screen << " placed nothing";
            for (const std::string& fault : layoutFaults(found->second, size))
                ADD_FAILURE() << size.width << "x" << size.height << " " << screen << ": " << fault;
        }
    }
    // Every key hint, with the longest names, clear of the other texts and of the pictures.
    void expectKeyHintsFit() {
        Resolution size = GetParam();
        constexpr int64_t kPanelsTop = 150;
        std::vector<std::string> hints = {"stick left/right: change class",
                                          "stick up/down: change stance"};
        hints.push_back("Escape: back to the menu");
        expectHintsFit("two players, class 0", hints, kPanelsTop, size);
        hints.push_back("Return: confirm");
        expectHintsFit("pick your class 0", hints, kPanelsTop, size);
        hints.push_back("button 3: back to your class");
        expectHintsFit("pick your opponent", hints, kPanelsTop, size);
        expectHintsFit("difficulty row 0",
                       {"Up/Down or stick up/down: change difficulty",
                        "Return or button 1: confirm",
                        "Escape or button 3: back to the class selection"},
                       size.height, size);
        // The stage's strip (or the random mark) starts at y 160.
        for (const char* stage : {"stage: first", "stage: random"})
            expectHintsFit(stage,
                           {"Left/Right or stick left/right: change stage",
                            "Return: pick this stage", "Escape: go back", "Pick the stage"},
                           160, size);
        expectHintsFit("viewer numbers", {"Hold Left shift: numbers"}, kPanelsTop, size);
        expectHintsFit("viewer numbers", {"Strength", "Difficulty"}, size.height, size);
        // The class to be added: its picture and mark instead of a fighter, and the lines left
        // of that picture, from x 505.
        std::vector<ShownText> viewer = textsOf(capturedGlyphs["viewer class 5"]);
        ASSERT_TRUE(findText(viewer, "Warden"));
        expectHintsFit("viewer class 5", {"Hold Left shift: numbers", "Strength", "Difficulty"},
                       size.height, size);
        for (const char* name : {"Hold Left shift: numbers", "Strength", "Difficulty"}) {
            const ShownText* line = findText(viewer, name);
            if (line) {
                EXPECT_LE(line->right, 505) << name;
            }
        }
    }
    // Both previews stand where the fighters' pictures fall: player one's on the right (on
    // narrow screens the class pictures stand in for them); the carousel shows only where there
    // is room below the panels; the stage strip is a tenth of each tile, side by side under the
    // name.
    void expectSelectionPictures() {
        Resolution size = GetParam();
        Bitmap twoPlayers = shotOf("two players, class 1");
        if (size.width >= 1200) {
            EXPECT_GT(drawnPixels(twoPlayers, size.width - 500, 250, size.width - 350, 480), 2000);
            EXPECT_GT(drawnPixels(twoPlayers, 460, 250, 620, 480), 2000);
        }
        int64_t carousel = drawnPixels(twoPlayers, 75, 650, 575, 760);
        if (size.height >= 800) {
            EXPECT_GT(carousel, 10000);
        }
        EXPECT_GT(drawnPixels(shotOf("stage: second"), 140, 160, 440, 200), 10000);
    }
    // The viewer: the grid of classes only on a wide screen, right of the combo list; the
    // combo list's icons; the numbers with Left Shift held (their first digits, left of the
    // fighter) where the plain page has none.
    void expectViewerPictures() {
        Resolution size = GetParam();
        Bitmap plain = shotOf("viewer class 4"), numbers = shotOf("viewer numbers");
        if (size.width >= 1500) {
            EXPECT_GT(drawnPixels(plain, 1100, 100, 1600, 300), 20000);
        } else if (size.width >= 1100 + 40) { // where that box lies within the screen's frame
            EXPECT_EQ(drawnPixels(plain, 1000, 160, 1100, 300), 0);
        }
        int64_t column = size.width >= 1500 ? 875 : 725;
        EXPECT_GT(drawnPixels(plain, column, 106, column + 120, 300), 2000);
        EXPECT_GT(drawnPixels(numbers, 460, 160, 480, 560),
                  drawnPixels(plain, 460, 160, 480, 560) + 300);
    }
    // The frame data with the class of the longest rows (Dancer, its combo of five attacks):
    // the lines stay on the screen within its frame, clear of the description, and each row's
    // icons start below the lines of the row above.
    void expectFrameDataFits() {
        Resolution size = GetParam();
        const std::vector<PlacedGlyph>& frame = capturedGlyphs["viewer frame data"];
        ASSERT_EQ(textAt(frame, 80, 100).substr(0, 6), "Dancer");
        int64_t column = size.width >= 1500 ? 875 : 725;
        int64_t lines = 0, lowest = 0;
        std::vector<int64_t> lineYs;
        for (const PlacedGlyph& g : frame) {
            if (g.x >= column && g.y >= 106) {
                if (lineYs.empty() || lineYs.back() != g.y) lineYs.push_back(g.y);
                lowest = std::max(lowest, g.y + kSmallGlyphSize);
                EXPECT_LT(g.x + kSmallGlyphSize, size.width - 30);
                if (size.width >= 1500) {
                    EXPECT_LT(g.x + kSmallGlyphSize, 1375); // the moved class grid
                }
            } else if (g.y >= 600) {
                EXPECT_LE(g.x + 16, column); // the description
            }
        }
        lines = int64_t(lineYs.size());
        ASSERT_EQ(classes[4]->name, "Dancer");
        EXPECT_GE(lines, int64_t(classes[4]->comboList.size()));
        EXPECT_LT(lowest, size.height - 30);
        // Lines of one row are 12 px apart; from one row's last line to the next row's first lie
        // the next row's icons (34 px) and the gaps around them.
        for (size_t i = 1; i < lineYs.size(); ++i)
            EXPECT_TRUE(lineYs[i] - lineYs[i - 1] == 12 || lineYs[i] - lineYs[i - 1] >= 12 + 36)
                << lineYs[i - 1] << " then " << lineYs[i];
        shotOf("viewer frame data");
    }
};

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
    journey.onNext("class selection", [side, name] {
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

// Every screen a player meets, in one run of the game at each size. Two players: both selection
// steps, the stage, the fight with its gauges and the end of the match; then the menus that
// lead nowhere else: options, controls, credits. Against the bot: both steps, every difficulty,
// the stage; the viewer on every class, with its numbers and frame data; the tutorial menu, a
// lesson and the training room. Then, the game's main loop left, the screens of online play one
// after another: every entry of the where-to-play screen with its description, the join screen
// with the longest address it takes, the host's waiting screen with its addresses, the class
// selection as the host and as the joiner sees it, and the messages that end online play.
TEST_P(LayoutTest, EveryScreen) {
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
        captureLater(30, "stage: first");
        tap(32, kKeyRight);
        captureLater(36, "stage: second");
        tap(38, kKeyLeft);
        tap(41, kKeyLeft); // before the first: Random
        captureLater(45, "stage: random");
        tap(47, kKeyRight);
        tap(50, kKeyRight);
        tap(54, kKeyReturn); // the second
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
    journey.on("class selection", 1, [] {
        matchHooks.afterFightFrame = nullptr; // the training room's fight has none
        tap(25, kKeyEscape);
    });
    journey.on("main menu", 1, [] {
        for (int i = 0; i < 3; ++i) tap(25 + 3 * i, kKeyDown);
        tap(40, kKeyReturn);
    });
    journey.on("options", 0, [] {
        int64_t at = captureRows(25, 18, "options");
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
    // Against the bot: the screens' openings count on from the two players' part.
    journey.on("main menu", 3, [] { // from Credits up to Player vs Bot
        for (int i = 0; i < 4; ++i) tap(25 + 3 * i, kKeyUp);
        tap(40, kKeyReturn);
    });
    journey.on("class selection", 2, [] {
        int64_t at = captureClasses(30, "pick your class");
        tap(at, kKeyReturn);
        captureLater(at + 4, "pick your opponent");
        tap(at + 6, kKeyReturn);
    });
    journey.on("difficulty", 0, [] {
        int64_t at = captureRows(25, 4, "difficulty");
        tap(at, kKeyEscape);
    });
    journey.on("class selection", 3, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 4, [] { // from Player vs Bot to the viewer
        tap(25, kKeyDown);
        tap(28, kKeyReturn);
    });
    journey.on("class selection", 4, [] {
        // Once round the six classes and on to the third; then on to the fifth, Dancer.
        int64_t at = captureClasses(30, "viewer class") + 6;
        tap(at - 6, kKeyRight);
        tap(at - 3, kKeyRight);
        tap(at, kKeyLeftShift, 10);
        captureLater(at + 5, "viewer numbers");
        tap(at + 12, kF);
        captureLater(at + 18, "viewer frame data");
        tap(at + 20, kF);
        tap(at + 25, kKeyEscape);
    });
    journey.on("main menu", 5, [] { // from the viewer to the tutorial
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
    journey.on("class selection", 5, [] {
        tap(25, kKeyReturn);
        tap(28, kKeyReturn);
    });
    journey.on("stage selection", 1, [] { tap(25, kKeyReturn); });
    journey.on("training", 0, [] {
        captureLater(120, "training");
        tap(130, kKeyEscape);
    });
    journey.on("tutorial", 2, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 6, [] { tap(25, kKeyEscape); });
    startUp();
    mainStateLoop(game, 40, 40);
    EXPECT_FALSE(windowCloseRequested()); // the main menu was left as a player leaves it
    ASSERT_EQ(journey.openings["main menu"], 7);

    // Online play: each screen run by itself in the game started above.
    whereSelection = kPlaySameComputer;
    journey.onNext("where to play", [] {
        tap(captureRows(25, 7, "where to play"), kKeyEscape);
    });
    runWhereMenu(40, 40, ""); // no lobby: the room entries' longer descriptions
    std::string address(kMaxAddressLength, 'w'); // the widest letter
    // The entries of an address, a lobby and a room's code, each filled to its limit.
    for (const EntryKind* kind : {&kJoinEntry, &kLobbyEntry, &kRoomCodeEntry}) {
        std::string text(kind->maxLength, kind == &kRoomCodeEntry ? 'W' : 'w');
        journey.onNext(kind->screenName, [name = std::string(kind->screenName)] {
            captureLater(30, name);
            tap(32, kKeyEscape);
        });
        runAddressEntry(40, 40, text, *kind);
    }
    // The host of a room: its code large, then the path being found.
    OnlinePlay room;
    room.hosting = true;
    room.room.code = "WXYWXY";
    room.room.lobbyText = std::string(kMaxAddressLength, 'w');
    for (RoomPhase phase : {RoomPhase::Asking, RoomPhase::Waiting, RoomPhase::Finding}) {
        room.room.phase = phase;
        std::string name = "host room " + std::to_string(int(phase));
        journey.onNext("host room", [name] {
            captureLater(30, name);
            tap(32, kKeyEscape);
        });
        runWaitingScreen(40, 40, "host room", "=======Online play", [&] { return roomLines(room); },
                         [] { return false; },
                         [&](int64_t x, int64_t y) {
                             return phase == RoomPhase::Waiting ? drawRoomCode(room.room.code, false, x, y) : 0;
                         });
    }
    journey.onNext("rematch", [] {
        captureLater(30, "rematch");
        tap(32, kKeyEscape);
    });
    offerRematch(40, 40);
    journey.onNext("host online", [] {
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
    for (const auto& [name, message] : endings) {
        journey.onNext("online play over", [name = name] {
            captureLater(30, name);
            tap(32, kKeyReturn);
        });
        showOnlineEnding(40, 40, message);
    }

    // The solo modes: their menu, the screens between fights with the longest ladder and the
    // widest figures, and the records of every class filled to the widest counts.
    journey.onNext("solo modes", [] { tap(captureRows(25, 4, "solo modes"), kKeyEscape); });
    soloModes(game, 40, 40);
    std::vector<LadderFight> ladder;
    for (int64_t position : playableClassPositions())
        if (ladder.size() + 1 < playableClassPositions().size()) ladder.push_back({position, 3, 0});
    Records widest;
    for (const auto& c : classes) {
        ClassRecord& counts = widest.classes[c->name];
        counts.botWins.fill(999), counts.botLosses.fill(999);
        counts.peopleWins = counts.peopleLosses = counts.onlineWins = counts.onlineLosses = 999;
        counts.arcadeClears = 999, counts.arcadeBestSeconds = 5999.9, counts.arcadeFewestContinues = 9;
    }
    widest.survivalBest = widest.longestWinStreak = widest.highestCombo = 9999;
    widest.fastestKnockOutSeconds = 999.9;
    const FighterClass& someone = *classAt(ladder.back().classPosition);
    const std::vector<std::pair<std::string, Interlude>> interludes = {
        {"arcade ladder", ladderScreen(ladder, ladder.size() - 1, 5999.9, 9)},
        {"arcade cleared", arcadeClosing(someone.name, 5999.9, 9, 5999.9)},
        {"survival", survivalScreen(99, 5999.9, 9999, 9999, someone)},
        {"survival over", survivalOver(99, 5999.9, 100)}};
    for (const auto& [name, screen] : interludes) {
        journey.onNext(screen.screenName, [name = name] {
            captureLater(30, name);
            tap(32, kKeyEscape);
        });
        runInterlude(40, 40, screen);
    }
    journey.onNext("arcade continue", [] {
        captureLater(30, "arcade continue");
        tap(32, kKeyEscape);
    });
    offerContinue(40, 40, &someone, 9);
    const Records own = records;
    records = widest;
    journey.onNext("records", [] {
        captureLater(30, "records");
        tap(32, kKeyUp);
        tap(35, kKeyReturn);
    });
    journey.onNext("clear records", [] {
        captureLater(30, "clear records");
        tap(32, kKeyEscape);
    });
    journey.on("records", journey.openings["records"] + 1, [] { tap(25, kKeyEscape); });
    runRecordsScreen(40, 40);
    records = own;

    std::vector<std::string> screens = {"main menu", "player one ready", "both ready",
                                        "stage: first", "stage: second", "stage: random", "fight",
                                        "end of match", "options controls row", "credits",
                                        "pick your opponent", "viewer numbers",
                                        "viewer frame data", "lesson", "training",
                                        "join online", "host online", "lobby address",
                                        "join room", "host room 0", "host room 1",
                                        "host room 2", "rematch"};
    auto rows = [&](const std::string& name, int count) {
        for (int i = 0; i < count; ++i) screens.push_back(name + " " + std::to_string(i));
    };
    rows("two players, class", kClassSteps);
    rows("options row", 18);
    rows("controls row", 9);
    rows("pick your class", kClassSteps);
    rows("difficulty row", 4);
    rows("viewer class", kClassSteps);
    rows("tutorial row", 3);
    rows("where to play row", 7);
    rows("solo modes row", 4);
    for (const auto& [name, screen] : interludes) screens.push_back(name);
    for (const char* name : {"arcade continue", "records", "clear records"}) screens.push_back(name);
    for (const std::string view : {"host's view", "joiner's view"}) {
        rows(view + " class", kClassSteps);
        for (const char* state : {" you ready", " both ready", " other ready"})
            screens.push_back(view + state);
    }
    for (const auto& [name, message] : endings) screens.push_back(name);
    expectTidy(screens);
    // The fight's frame had both gauges and portraits and the combo display.
    std::map<std::string, int> seen;
    for (const LaidOut& l : captured["fight"]) ++seen[l.what];
    EXPECT_EQ(seen["life gauge"], 2);
    EXPECT_EQ(seen["fighter portrait"], 2);
    EXPECT_GE(seen["combo icon"], 1);
    expectKeyHintsFit();
    // The next opponent's portrait beside the ladder: drawn, not only placed.
    EXPECT_GT(drawnPixels(shotOf("arcade ladder"), 760 - 25, 185 - 25, 760 + 125, 185 + 125), 10000);
    expectSelectionPictures();
    expectViewerPictures();
    expectFrameDataFits();
    for (const std::string& name : kShot)
        EXPECT_TRUE(std::filesystem::exists(shotFile(name))) << name;
}

INSTANTIATE_TEST_SUITE_P(EverySize, LayoutTest, testing::ValuesIn(kEveryScreenSize),
                         screenSizeName);

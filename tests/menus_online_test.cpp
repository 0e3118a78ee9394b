// The screens before online play, through their real frame loops: where the other player is,
// the host's address typed with the keyboard, the waiting screen, and the input delay option.
#include "journey_fixture.h"

#include <algorithm>
#include <filesystem>

#include "input/keys.h"
#include "menus/address_entry.h"
#include "menus/menu_framework.h"
#include "menus/options_menu.h"
#include "menus/waiting_screen.h"
#include "menus/where_menu.h"
#include "online/local_addresses.h"
#include "online/online_play.h"
#include "render/fade.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

namespace {
constexpr int64_t kP = 25, kO = 24; // player one's neutral and heavy keys
constexpr int64_t kBackspace = 14;
constexpr int64_t kA = 30, kH = 35, kS = 31, kT = 20, kX = 45;
constexpr int64_t k1 = 2, k7 = 8, k9 = 10, k0 = 11, kPeriod = 52, kSemicolon = 39;
constexpr int64_t kPad1 = 79, kMinus = 12, kLeftBracket = 26, kRightBracket = 27;

using Sounds = std::vector<int64_t>;

struct OnlineMenus : JourneyTest {
    Sounds sounds;
    void startUp() {
        JourneyTest::startUp();
        menuSoundLog = &sounds;
    }
};

// Taps the keys one after another, 3 frames apart from `at`; returns the frame after them.
int64_t typeKeys(int64_t at, std::initializer_list<int64_t> codes) {
    for (int64_t code : codes) {
        tap(at, code);
        at += 3;
    }
    return at;
}
} // namespace

// Down and Up move when let go and stop at the ends; Return takes the entry, "(go back)" and
// Escape (or player one's heavy key) give -1; the entry is kept for the next visit.
TEST_F(OnlineMenus, WhereScreenMovesSelectsAndGoesBack) {
    startUp();
    whereSelection = kPlaySameComputer;
    journey.on("where to play", 0, [] {
        tap(0, kKeyReturn, 3); // let go while the screen clears: dropped
        typeKeys(25, {kKeyDown, kKeyDown, kKeyReturn});
    });
    EXPECT_EQ(runWhereMenu(40, 40, ""), kPlayJoinRoom);
    EXPECT_EQ(sounds, (Sounds{kPoolMenuMove, kPoolMenuMove, kPoolMenuSelect}));
    EXPECT_EQ(whereSelection, kPlayJoinRoom);

    sounds.clear();
    journey.on("where to play", 1, [] { typeKeys(25, {kKeyUp, kP}); }); // from Join, kept
    EXPECT_EQ(runWhereMenu(40, 40, "lobby.example"), kPlayHostRoom);
    EXPECT_EQ(sounds, (Sounds{kPoolMenuMove, kPoolMenuSelect}));

    sounds.clear();
    journey.on("where to play", 2, [] { // the sixth Down stays put on "(go back)"
        typeKeys(25, {kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyReturn});
    });
    EXPECT_EQ(runWhereMenu(40, 40, ""), -1);
    EXPECT_EQ(sounds, (Sounds{kPoolMenuMove, kPoolMenuMove, kPoolMenuMove, kPoolMenuMove,
                              kPoolMenuMove, kPoolMenuBack}));
    EXPECT_EQ(whereSelection, -1);

    sounds.clear();
    journey.on("where to play", 3, [] { typeKeys(25, {kKeyUp, kKeyEscape}); });
    EXPECT_EQ(runWhereMenu(40, 40, ""), -1); // "(go back)" shown again, then Join, then Escape
    EXPECT_EQ(sounds, (Sounds{kPoolMenuMove, kPoolMenuBack}));

    sounds.clear();
    whereSelection = kPlaySameComputer;
    journey.on("where to play", 4, [] { typeKeys(25, {kKeyUp, kO, kKeyReturn}); });
    EXPECT_EQ(runWhereMenu(40, 40, ""), -1); // the heavy key goes back; the Return comes too late
    EXPECT_EQ(sounds, (Sounds{kPoolMenuBack}));
}

// Keys type when they go down: letters in lower case, digits, the keypad's, ".", ":" from the
// key of ";"; Backspace erases one at a press; Return gives the text. Keys held or let go
// while the screen clears from black type and choose nothing.
TEST_F(OnlineMenus, AddressIsTypedErasedAndConfirmed) {
    startUp();
    std::string address = "old";
    journey.on("join online", 0, [] {
        tap(0, kA, 30);        // held from before the screen: types nothing
        tap(0, kKeyReturn, 3); // let go while the screen clears
        int64_t at = typeKeys(35, {kBackspace, kBackspace, kBackspace, kBackspace});
        at = typeKeys(at, {kH, kS, kT, k9, kPeriod, kPad1, kSemicolon, k7, kBackspace, k0, kMinus,
                           kLeftBracket, kRightBracket});
        tap(at, kKeyLeftShift, 5); // typing nothing
        tap(at + 10, kKeyReturn);
    });
    EXPECT_TRUE(runAddressEntry(40, 40, address));
    EXPECT_EQ(address, "hst9.1:0-[]");
    EXPECT_EQ(sounds, (Sounds{kPoolMenuSelect}));

    // Return with nothing typed does nothing; Escape leaves the address as it was.
    sounds.clear();
    address = "keep.me";
    journey.on("join online", 1, [] {
        int64_t at = typeKeys(25, {kBackspace, kBackspace, kBackspace, kBackspace, kBackspace,
                                   kBackspace, kBackspace, kBackspace, kKeyReturn, kX});
        tap(at, kKeyEscape);
    });
    EXPECT_FALSE(runAddressEntry(40, 40, address));
    EXPECT_EQ(address, "keep.me");
    EXPECT_EQ(sounds, (Sounds{kPoolMenuBack}));
    EXPECT_EQ(journey.screens, (std::vector<std::string>{"join online", "join online"}));
}

// No more than 64 characters; Backspace held erases again after half a second, a few times
// a second, and a tap erases one.
TEST_F(OnlineMenus, AddressKeepsItsLimitAndBackspaceRepeats) {
    startUp();
    std::string address(kMaxAddressLength - 2, '1');
    journey.on("join online", 0, [] { tap(typeKeys(25, {k1, k7, k9, k0}), kKeyReturn); });
    ASSERT_TRUE(runAddressEntry(40, 40, address));
    EXPECT_EQ(address, std::string(kMaxAddressLength - 2, '1') + "17");

    address = "abcdefghijklmnopqrst"; // 20
    journey.on("join online", 1, [] {
        tap(25, kBackspace, 40); // 800 ms at 20 ms a frame: one, then about every 50 ms past 500
        tap(70, kBackspace);
        tap(75, kKeyReturn);
    });
    ASSERT_TRUE(runAddressEntry(40, 40, address));
    EXPECT_GE(address.size(), 10u) << address;
    EXPECT_LE(address.size(), 13u) << address;
    EXPECT_EQ(address, std::string("abcdefghijklmnopqrst").substr(0, address.size()));
}

TEST(AddressCharacters, KeysThatTypeAndOnesThatDoNot) {
    EXPECT_EQ(addressCharacterOf(kA), 'a');
    EXPECT_EQ(addressCharacterOf(44), 'z');
    EXPECT_EQ(addressCharacterOf(k0), '0');
    EXPECT_EQ(addressCharacterOf(83), '.'); // the keypad's
    for (int64_t code : {0, 1, 14, 15, 28, 42, 57, 78, 200, 255, 256, -1})
        EXPECT_EQ(addressCharacterOf(code), 0) << code;
    // Whatever a key types, the settings keep as an address.
    for (int64_t code = 0; code < 256; ++code) {
        char c = addressCharacterOf(code);
        if (c != 0) {
            EXPECT_TRUE(addressCharacterAllowed(c)) << code;
        }
    }
}

// The lines are asked every frame and poll is called once a frame until it says yes: the
// screen then fades out and says true, and poll is not called again.
TEST_F(OnlineMenus, WaitingScreenEndsWhenPollSaysSo) {
    startUp();
    int64_t polls = 0, lineReads = 0;
    bool result = runWaitingScreen(
        40, 40, "connecting", "=======Join online",
        [&] {
            ++lineReads;
            return std::vector<std::string>{"Connecting to 127.0.0.1:7770 ...",
                                            "Tries: " + std::to_string(polls)};
        },
        [&] { return ++polls == 30; });
    EXPECT_TRUE(result);
    EXPECT_EQ(polls, 30);
    EXPECT_GT(lineReads, 30); // the fade out's frames show the lines too
    EXPECT_EQ(sounds, (Sounds{kPoolMenuSelect}));
    EXPECT_EQ(journey.screens, (std::vector<std::string>{"connecting"}));
}

// Escape gives up, but not one let go while the screen still clears from black.
TEST_F(OnlineMenus, WaitingScreenIsLeftWithEscape) {
    startUp();
    int64_t polls = 0;
    journey.on("host online", 0, [] {
        tap(0, kKeyEscape, 3);
        tap(40, kKeyEscape);
    });
    bool result = runWaitingScreen(
        40, 40, "host online", "=======Host online",
        [] { return std::vector<std::string>{"Waiting for the other player ..."}; },
        [&] {
            ++polls;
            return false;
        });
    EXPECT_FALSE(result);
    EXPECT_GE(polls, 40);
    EXPECT_LE(polls, 42); // not while the screen fades out
    EXPECT_EQ(sounds, (Sounds{kPoolMenuBack}));

    // Player one's heavy key cancels too.
    sounds.clear();
    journey.on("host online", 1, [] { tap(25, kO); });
    EXPECT_FALSE(runWaitingScreen(
        40, 40, "host online", "=======Host online", [] { return std::vector<std::string>{}; },
        [] { return false; }));
    EXPECT_EQ(sounds, (Sounds{kPoolMenuBack}));
}

// The options' "Input delay" row: Auto, then 0 to 4 frames, stopping silently at the ends,
// saved when the screen is left, and back to Auto with the reset.
TEST_F(OnlineMenus, InputDelayRowChangesAndIsSaved) {
    startUp();
    settings.inputDelay = 2;
    journey.on("options", 0, [] {
        int64_t at = 25;
        for (int i = 0; i < 16; ++i)
            at = typeKeys(at, {kKeyDown});
        at = typeKeys(at + 3, {kKeyRight, kKeyRight, kKeyRight}); // 3, 4, still 4
        tap(at + 5, kKeyEscape);
    });
    runOptionsMenu(40, 40);
    EXPECT_EQ(settings.inputDelay, 4);
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), kPoolMenuMove), 16 + 2);
    std::string saved;
    ASSERT_TRUE(readWholeFile(settingsPath, saved));
    EXPECT_NE(saved.find("\"InputDelay\": 4"), std::string::npos) << saved;

    const int64_t row = 16;
    EXPECT_STREQ(optionValueText(row), "4 frames");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(changeOption(row, -1));
    EXPECT_STREQ(optionValueText(row), "1 frame");
    EXPECT_TRUE(changeOption(row, -1));
    EXPECT_STREQ(optionValueText(row), "0 frames");
    EXPECT_TRUE(changeOption(row, -1)); // Auto lies left of 0, and nothing beyond it
    EXPECT_FALSE(changeOption(row, -1));
    EXPECT_STREQ(optionValueText(row), "Auto");
    EXPECT_TRUE(changeOption(row, 1));
    EXPECT_STREQ(optionValueText(row), "0 frames");
    resetOptionsToDefault();
    EXPECT_EQ(settings.inputDelay, kAutoInputDelay);
}

// Auto: the frames that cover half the round trip, 1 to 4; a fixed setting stays as it is.
TEST(OnlineInputDelay, AutoFollowsTheRoundTrip) {
    struct Case { int64_t setting; double roundTripMs; int64_t frameRate; int64_t delay; };
    const Case cases[] = {{kAutoInputDelay, 0, 60, 1},   {kAutoInputDelay, 17, 60, 1},
                          {kAutoInputDelay, 40, 60, 2},  {kAutoInputDelay, 90, 60, 3},
                          {kAutoInputDelay, 500, 60, 4}, {kAutoInputDelay, 40, 240, 4},
                          {kAutoInputDelay, -5, 60, 1},  {0, 500, 60, 0},
                          {3, 0, 60, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(chosenInputDelay(c.setting, c.roundTripMs, c.frameRate), c.delay)
            << c.setting << " " << c.roundTripMs << " ms at " << c.frameRate;
}

// The three screens drawn at 1280 x 720, for a look (QRX_KEEP_SCREENSHOTS keeps them).
TEST_F(OnlineMenus, ScreensAreDrawn) {
    options.nullRenderer = false;
    startUp();
    const std::vector<std::string> shots = {"online-where.png", "online-join.png",
                                            "online-waiting.png"};
    for (const std::string& shot : shots)
        std::filesystem::remove(shot);
    whereSelection = kPlayHostOnline;
    journey.on("where to play", 0, [&] {
        scriptAdd({presentedFrames() + 30, kScriptScreenshot, 0, 0, shots[0]});
        tap(32, kKeyEscape);
    });
    runWhereMenu(40, 40, "");
    std::string address = "192.168.1.20";
    journey.on("join online", 0, [&] {
        int64_t at = typeKeys(25, {kSemicolon, k7, k7, k7, k1});
        scriptAdd({presentedFrames() + at + 2, kScriptScreenshot, 0, 0, shots[1]});
        tap(at + 4, kKeyEscape);
    });
    runAddressEntry(40, 40, address);
    journey.on("host online", 0, [&] {
        scriptAdd({presentedFrames() + 30, kScriptScreenshot, 0, 0, shots[2]});
        tap(32, kKeyEscape);
    });
    runWaitingScreen(
        40, 40, "host online", "=======Host online",
        [] {
            return std::vector<std::string>{"Waiting for the other player on port 7770 ...",
                                            "This computer's addresses:", "  192.168.1.20",
                                            "  2001:db8::8a2e:370:7334"};
        },
        [] { return false; });
    keepScreenshots(shots);
    for (const std::string& shot : shots) {
        Bitmap picture;
        bool alpha = false;
        ASSERT_TRUE(loadPng(shot, picture, alpha)) << shot;
        EXPECT_EQ(picture.width, 1280);
        EXPECT_EQ(picture.height, 720);
    }
}

// This computer's addresses: each once, IPv4 before IPv6, never a link-local IPv6 one. A
// machine has one at least, loopback, which is listed when there is nothing else.
TEST(LocalAddresses, EachOnceIPv4First) {
    std::vector<std::string> addresses = localAddresses();
    ASSERT_FALSE(addresses.empty());
    bool sixSeen = false;
    for (size_t i = 0; i < addresses.size(); ++i) {
        const std::string& a = addresses[i];
        bool six = a.find(':') != std::string::npos;
        EXPECT_FALSE(sixSeen && !six) << a << " after an IPv6 address";
        sixSeen = sixSeen || six;
        EXPECT_NE(a.rfind("fe80:", 0), 0u) << a;
        EXPECT_EQ(std::count(addresses.begin(), addresses.end(), a), 1) << a;
    }
}

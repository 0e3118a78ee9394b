// The selection screens say what to press: each player's keys as bound now, a game
// controller's stick and buttons, Return and Escape where those work; the stage screen has its
// title, the fighter viewer names its stats. (That all of it fits every screen size is checked on
// the layout journey.)
#include "journey_fixture.h"
#include "shown_text.h"

#include <algorithm>

#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/key_hints.h"
#include "menus/selection_panels.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "input/player_setup.h"

namespace {
constexpr int64_t kP = 25;      // player one's neutral key
constexpr int64_t kQ = 16;      // player two's neutral key
constexpr int64_t kZ = 44;      // player two's new left key
constexpr int64_t kButton1 = 1; // a controller's neutral button

// A journey that keeps the glyphs each screen drew, screen by screen.
struct HintJourney : JourneyTest {
    std::vector<PlacedGlyph> glyphs;
    std::vector<std::pair<std::string, std::vector<PlacedGlyph>>> drawn;

    void on(const std::string& screen, int opening, std::function<void()> plan) {
        journey.on(screen, opening, [this, screen, plan] {
            keepDrawn();
            drawn.push_back({screen, {}});
            plan();
        });
    }
    void keepDrawn() {
        if (!drawn.empty()) drawn.back().second = std::move(glyphs);
        glyphs.clear();
    }
    int runRecording() {
        recordGlyphs(&glyphs);
        int status = run();
        recordGlyphs(nullptr);
        keepDrawn();
        return status;
    }
    void TearDown() override {
        recordGlyphs(nullptr);
        JourneyTest::TearDown();
    }
    // The texts of the `index`-th frame of the `visit`-th screen drawn, a frame starting with
    // the glyph that the screen draws first at (x, y); -1 counts from the last frame.
    std::vector<ShownText> frameTexts(size_t visit, int64_t x, int64_t y, int64_t index) {
        std::vector<std::vector<PlacedGlyph>> frames;
        if (visit >= drawn.size()) return {};
        for (const PlacedGlyph& g : drawn[visit].second) {
            if (g.x == x && g.y == y) frames.emplace_back();
            if (!frames.empty()) frames.back().push_back(g);
        }
        int64_t at = index < 0 ? int64_t(frames.size()) + index : index;
        if (at < 0 || at >= int64_t(frames.size())) return {};
        return textsOf(frames[size_t(at)]);
    }
};

// The first glyph of each screen's frames, at 1280 px wide and textX = textY = 40.
constexpr int64_t kTwoPlayerFirstX = 1280 - 600, kNameY = 80; // player one's class name
constexpr int64_t kStepX = 75, kStepY = 125;                  // "Pick your class"
constexpr int64_t kHeaderX = 120, kHeaderY = 40;              // help lines of the menus

using KeyHints = HintJourney;

void leaveToMainMenu(int64_t at) { tap(at, kKeyEscape); }
} // namespace

// Two keys in one name: a shared first word once ("stick left/right", "Pad 4/6"), other names
// whole; a fixed key and a player's key once when they are the same.
TEST(KeyHintNames, PairsShareTheirFirstWordAndTheSameKeyIsNamedOnce) {
    PlayerSetup player;
    player.keyBindings.primary.left = 75;  // "Pad 4"
    player.keyBindings.primary.right = 77; // "Pad 6"
    player.keyBindings.primary.up = 42;    // "Left shift"
    player.keyBindings.primary.down = 54;  // "Right shift"
    EXPECT_EQ(classAndStanceHints(player),
              (std::vector<std::string>{"Pad 4/6: change class",
                                        "Left shift/Right shift: change stance"}));
    player.keyBindings.primary.neutral = 0; // unassigned: the secondary key is the one that works
    player.keyBindings.secondary.neutral = 28;
    EXPECT_EQ(eitherKey("Return", keyFor(player, &Controls::neutral)), "Return");
    EXPECT_EQ(eitherKey("Up/Down", keyPairFor(player, &Controls::up, &Controls::down)),
              "Up/Down or Left shift/Right shift");
    // A controller's names need one plugged in: the scripted controllers' test has them.
    EXPECT_EQ(hintBlockWidth({"Return: confirm", "O: back"}), 15 * 13);
}

// Both players read their own keys above their panels, and a key player two rebinds on the
// controls screen shows there by its new name the next time.
TEST_F(KeyHints, EachPlayerReadsTheirOwnKeysAndARebindingShowsAtOnce) {
    on("main menu", 0, [] { tap(25, kKeyReturn); });
    on("where to play", 0, [] { tap(25, kKeyReturn); }); // the same computer
    on("class selection", 0, [] {
        tap(35, kQ); // player two is ready from frame 36
        leaveToMainMenu(50);
    });
    on("main menu", 1, [] {
        for (int i = 0; i < 3; ++i) tap(25 + 3 * i, kKeyDown);
        tap(40, kKeyReturn);
    });
    on("options", 0, [] {
        for (int i = 0; i < 18; ++i) tap(25 + 3 * i, kKeyDown);
        tap(79, kKeyReturn); // "    Controls    "
    });
    on("controls", 0, [] {
        tap(25, kKeyRight);  // player two's column
        tap(28, kKeyReturn); // capture their Left...
        tap(33, kZ);         // ...as Z
        tap(40, kKeyEscape);
    });
    on("options", 1, [] { tap(25, kKeyEscape); });
    on("main menu", 2, [] {
        // Back up to "Player vs Player".
        for (int i = 0; i < 4; ++i) tap(25 + 3 * i, kKeyUp);
        tap(40, kKeyReturn);
    });
    on("where to play", 1, [] { tap(25, kKeyReturn); });
    on("class selection", 1, [] { leaveToMainMenu(30); });
    on("main menu", 3, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(runRecording(), 0);
    ASSERT_EQ(drawn.size(), 11u);
    EXPECT_EQ(playerSetups[1].keyBindings.primary.left, kZ);

    std::vector<ShownText> texts = frameTexts(2, kTwoPlayerFirstX, kNameY, 30);
    // Player two from the left panel's x; player one's block ends 100 px from the right edge.
    const ShownText* line = findText(texts, "G/J: change class");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->x, 100);
    EXPECT_EQ(line->y, 40);
    line = findText(texts, "Y/H: change stance");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->y, 58);
    line = findText(texts, "Left/Right: change class");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->right, 1280 - 100);
    EXPECT_TRUE(findText(texts, "Up/Down: change stance"));
    EXPECT_TRUE(findText(texts, "Press Q to select"));
    EXPECT_TRUE(findText(texts, "Press P To Select"));
    line = findText(texts, "Escape: back to the menu");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->x + line->right, 1280); // centred

    // Ready, player two's keys no longer move anything: the cancel key instead.
    texts = frameTexts(2, kTwoPlayerFirstX, kNameY, 45);
    EXPECT_FALSE(findText(texts, "G/J: change class"));
    EXPECT_TRUE(findText(texts, "Press W to cancel"));
    EXPECT_TRUE(findText(texts, "Left/Right: change class"));

    texts = frameTexts(9, kTwoPlayerFirstX, kNameY, 25);
    EXPECT_TRUE(findText(texts, "Z/J: change class"));
    EXPECT_FALSE(findText(texts, "G/J: change class"));
}

// Players on game controllers read their stick and buttons, on every screen of the way to a
// fight against the bot too; and the buttons named do what the lines say.
TEST_F(KeyHints, ControllerPlayersReadTheirStickAndButtonsAndTheyWork) {
    options.controllerCount = 2;
    int64_t cursorBefore = -1;
    on("main menu", 0, [] { tap(25, kKeyReturn); });
    on("where to play", 0, [] { tap(25, kKeyReturn); }); // the same computer
    on("class selection", 0, [&] {
        cursorBefore = playerOnePanel.cursor;
        scriptAdd({presentedFrames() + 35, kScriptPadButton, 100 + kButton1, 1, {}}); // player two
        scriptAdd({presentedFrames() + 36, kScriptPadButton, 100 + kButton1, 0, {}});
        scriptAdd({presentedFrames() + 38, kScriptPadAxisX, 0, 1000, {}}); // player one: next class
        scriptAdd({presentedFrames() + 40, kScriptPadAxisX, 0, 0, {}});
        leaveToMainMenu(50);
    });
    on("main menu", 1, [] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn);
    });
    on("class selection", 1, [] {
        tap(25, kKeyReturn);
        tap(35, kKeyReturn);
    });
    on("difficulty", 0, [] {
        scriptAdd({presentedFrames() + 30, kScriptPadButton, kButton1, 1, {}}); // confirms Easy
        scriptAdd({presentedFrames() + 31, kScriptPadButton, kButton1, 0, {}});
    });
    on("stage selection", 0, [] { tap(25, kKeyEscape); });
    on("difficulty", 1, [] { tap(25, kKeyEscape); });
    on("class selection", 2, [] { leaveToMainMenu(25); });
    on("main menu", 2, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(runRecording(), 0);
    ASSERT_EQ(drawn.size(), 10u);

    std::vector<ShownText> texts = frameTexts(2, kTwoPlayerFirstX, kNameY, 30);
    auto count = [&](const std::string& shown) {
        return std::count_if(texts.begin(), texts.end(),
                             [&](const ShownText& t) { return t.text == shown; });
    };
    EXPECT_EQ(count("stick left/right: change class"), 2); // one block for each player
    EXPECT_EQ(count("stick up/down: change stance"), 2);
    EXPECT_TRUE(findText(texts, "Press button 1 to select"));
    EXPECT_TRUE(findText(texts, "Press button 1 To Select"));
    // Button 1 made player two ready, and the stick moved player one's cursor.
    texts = frameTexts(2, kTwoPlayerFirstX, kNameY, 45);
    EXPECT_TRUE(findText(texts, "Press button 3 to cancel"));
    EXPECT_EQ(playerOnePanel.cursor, cursorBefore + 1);

    texts = frameTexts(4, kStepX, kStepY, 20);
    EXPECT_TRUE(findText(texts, "stick left/right: change class"));
    texts = frameTexts(4, kStepX, kStepY, 30);
    EXPECT_TRUE(findText(texts, "button 3: back to your class"));

    texts = frameTexts(5, kHeaderX, kHeaderY, 25);
    EXPECT_TRUE(findText(texts, "Up/Down or stick up/down: change difficulty"));
    EXPECT_TRUE(findText(texts, "Return or button 1: confirm"));
    EXPECT_TRUE(findText(texts, "Escape or button 3: back to the class selection"));
    EXPECT_EQ(journey.screens[6], "stage selection"); // button 1 confirmed

    texts = frameTexts(6, kHeaderX, kHeaderY, 20);
    EXPECT_TRUE(findText(texts, "Left/Right or stick left/right: change stage"));
}

// Against the bot each step names Return and the way back: Escape to the menu, and in the
// second step player one's heavy key back to the first. The difficulty and stage screens name
// their keys, and the stage screen has its title.
TEST_F(KeyHints, AgainstTheBotEachStepNamesReturnAndTheWayBack) {
    on("main menu", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn);
    });
    on("class selection", 0, [] {
        tap(30, kKeyReturn);
        leaveToMainMenu(40); // from the second step: the main menu, as the line says
    });
    on("main menu", 1, [] { tap(25, kKeyReturn); });
    on("class selection", 1, [] {
        tap(25, kKeyReturn);
        tap(30, kKeyReturn);
    });
    on("difficulty", 0, [] { tap(30, kKeyReturn); });
    on("stage selection", 0, [] { tap(30, kKeyEscape); });
    on("difficulty", 1, [] { tap(25, kKeyEscape); });
    on("class selection", 2, [] { leaveToMainMenu(25); });
    on("main menu", 2, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(runRecording(), 0);
    EXPECT_EQ(journey.screens,
              (std::vector<std::string>{"main menu", "class selection", "main menu",
                                        "class selection", "difficulty", "stage selection",
                                        "difficulty", "class selection", "main menu"}));

    std::vector<ShownText> first = frameTexts(1, kStepX, kStepY, 20);
    std::vector<ShownText> second = frameTexts(1, kStepX, kStepY, 35);
    ASSERT_TRUE(findText(first, "Pick your class"));
    ASSERT_TRUE(findText(second, "Pick your opponent"));
    for (const auto* texts : {&first, &second}) {
        EXPECT_TRUE(findText(*texts, "Left/Right: change class"));
        EXPECT_TRUE(findText(*texts, "Up/Down: change stance"));
        EXPECT_TRUE(findText(*texts, "Return: confirm"));
        EXPECT_TRUE(findText(*texts, "Escape: back to the menu"));
    }
    EXPECT_FALSE(findText(first, "O: back to your class"));
    const ShownText* back = findText(second, "O: back to your class");
    ASSERT_TRUE(back);
    // The block is aligned on its left and its widest line ends 100 px from the right edge.
    EXPECT_EQ(back->x, findText(second, "Return: confirm")->x);
    EXPECT_EQ(findText(second, "Left/Right: change class")->right, 1280 - 100);

    std::vector<ShownText> difficulty = frameTexts(4, kHeaderX, kHeaderY, 25);
    EXPECT_TRUE(findText(difficulty, "Up/Down: change difficulty"));
    EXPECT_TRUE(findText(difficulty, "Return or P: confirm"));
    EXPECT_TRUE(findText(difficulty, "Escape or O: back to the class selection"));

    std::vector<ShownText> stage = frameTexts(5, kHeaderX, kHeaderY, 25);
    for (const char* shown :
         {"Left/Right: change stage", "Return: pick this stage", "Escape: go back"})
        EXPECT_TRUE(findText(stage, shown)) << shown;
    const ShownText* title = findText(stage, "Pick the stage");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->y, 100); // between the help lines and the stage's name
}

// The viewer names each stat beside its gauge and says what Left Shift shows: the numbers,
// beside the names, only while it is held.
TEST_F(KeyHints, ViewerNamesTheStatsAndSaysWhatLeftShiftShows) {
    on("main menu", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyDown);
        tap(31, kKeyReturn);
    });
    on("class selection", 0, [] {
        tap(25, kKeyRight); // Duelist: cut and pierce, no blunt
        tap(40, kKeyLeftShift, 10);
        leaveToMainMenu(60);
    });
    on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(runRecording(), 0);
    std::vector<ShownText> plain = frameTexts(1, 100, kNameY, 30);
    std::vector<ShownText> held = frameTexts(1, 100, kNameY, 45);
    ASSERT_TRUE(findText(plain, "Duelist"));
    const ShownText* line = findText(plain, "Hold Left shift: numbers");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->x, 100);
    EXPECT_LE(line->y + kGlyphHeight, 150); // above the first stat row
    const std::vector<std::string> names = {"Strength",  "Agility",   "Speed", "Weight",
                                            "Endurence", "Life",      "Cut",   "Pierce",
                                            "Reach",     "Difficulty"};
    auto column = [](const std::vector<ShownText>& texts, int64_t x) {
        std::vector<std::string> shown;
        for (const ShownText& t : texts)
            if (t.x == x && t.y >= 150) shown.push_back(t.text);
        return shown;
    };
    EXPECT_EQ(column(plain, 325), names);
    EXPECT_EQ(column(held, 325), names);
    EXPECT_TRUE(column(plain, 465).empty());
    // Duelist: strength 5, agility 7 ... in the Fencer stance, which changes nothing.
    std::vector<std::string> numbers = column(held, 465);
    ASSERT_EQ(numbers.size(), names.size());
    EXPECT_EQ(numbers[0], "5");
    EXPECT_EQ(numbers[1], "7");
    // Each number on its name's row.
    for (const ShownText& t : held)
        if (t.x == 465 && t.y >= 150) {
            EXPECT_TRUE(std::any_of(held.begin(), held.end(), [&](const ShownText& name) {
                return name.x == 325 && name.y == t.y;
            }));
        }
}

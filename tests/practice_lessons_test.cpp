// The lessons end to end through their real frame loop: a scripted pupil passes them with
// player one's keys as bound, the lessons passed are kept in the settings file, Escape leaves,
// the cards name the keys bound now, and the cards fit the screen below the life gauges.
#include "journey_fixture.h"
#include "screen_sizes.h"

#include <cmath>
#include <map>

#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "menus/fighter_viewer.h"
#include "practice/lesson_drawing.h"
#include "practice/lesson_rules.h"
#include "practice/lessons.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/files.h"
#include "settings/game_screen.h"
#include "settings/settings.h"

namespace {
// Plays the lessons as a player would, from what the card asks and the fight shows, pressing
// player one's keys as they are bound. Called from the lessons' frame hook.
struct Pupil {
    int64_t lesson = -1;
    int64_t step = 0;
    int64_t waitUntil = 0;
    size_t comboNext = 0; // attacks of the combo started
    std::vector<int64_t> combo;
    std::vector<int64_t> lessonsSeen; // each lesson (and the closing) once, in order
    std::vector<int64_t> passedSeen;  // lessons whose "Well done!" showed
    int64_t stopAt = kLessonCount + 1; // the pupil presses Escape once this lesson shows
    int64_t startDelay = 5;            // frames the pupil reads each card before it plays

    static int64_t towards() {
        const Controls& k = playerSetups[0].keyBindings.primary;
        return playerOne.facing == 1 ? k.right : k.left;
    }
    static int64_t away() {
        const Controls& k = playerSetups[0].keyBindings.primary;
        return playerOne.facing == 1 ? k.left : k.right;
    }
    // A direction held with the neutral key, or the heavy key, from `delay` frames on.
    static void pressAttack(int64_t stance, int64_t delay) {
        const Controls& k = playerSetups[0].keyBindings.primary;
        if (stance == 6) {
            scriptTapLater(delay, k.heavy, 3);
            return;
        }
        int64_t direction = stance == 2 ? towards() : stance == 4 ? away()
                          : stance == 3 ? k.up : stance == 5 ? k.down : 0;
        if (direction) scriptTapLater(delay, direction, 4);
        scriptTapLater(delay, k.neutral, 3);
    }

    void operator()(const LessonView& view) {
        if (view.lesson != lesson) {
            lesson = view.lesson;
            lessonsSeen.push_back(lesson);
            step = 0;
            comboNext = 0;
            waitUntil = view.frame + startDelay;
            if (lesson == stopAt) scriptTapLater(3, kKeyEscape);
        }
        if (view.passed && (passedSeen.empty() || passedSeen.back() != lesson))
            passedSeen.push_back(lesson);
        if (view.passed || lesson >= kLessonCount || lesson == stopAt || view.frame < waitUntil)
            return;
        const Controls& k = playerSetups[0].keyBindings.primary;
        int64_t wait = 0;
        switch (lesson) {
        case kLessonWalk:
            scriptTapLater(1, step % 2 == 0 ? towards() : away(), 20);
            wait = 25;
            break;
        case kLessonJump:
            scriptTapLater(1, k.jump, 2);
            wait = 80;
            break;
        case kLessonNeutral:
            pressAttack(1, 1);
            wait = 60;
            break;
        case kLessonDirections: {
            const int64_t stances[4] = {2, 4, 3, 5};
            pressAttack(stances[step % 4], 1);
            wait = 60;
            break;
        }
        case kLessonHeavy:
            pressAttack(6, 1);
            wait = 80;
            break;
        case kLessonCombo:
            wait = playCombo();
            break;
        default: break;
        }
        waitUntil = view.frame + wait;
        ++step;
    }

    // Walks up to the dummy, starts the combo and presses each next attack once the last one
    // has touched; returns the frames to wait.
    int64_t playCombo() {
        if (combo.empty()) combo = comboStances(lessonCombo(playerOne.fighterClass));
        if (comboNext == 0) {
            if (playerOne.attacking || playerOne.cooldown > 0) return 1;
            if (std::fabs(playerTwo.position.x - playerOne.position.x) > 230) {
                scriptTapLater(1, towards(), 2);
                return 2;
            }
            pressAttack(combo[0], 1);
            comboNext = 1;
            return 3;
        }
        if (!playerOne.attacking) {
            comboNext = 0; // the chain broke: start again
            return 1;
        }
        if (comboNext < combo.size() && playerOne.comboStep == int64_t(comboNext) &&
            playerOne.hitLanded) {
            pressAttack(combo[comboNext], 1);
            ++comboNext;
            return 3;
        }
        return 1;
    }
};

// The text drawn on each row, glyphs in order of x.
std::map<int64_t, std::string> rowsOf(const std::vector<PlacedGlyph>& glyphs) {
    std::map<int64_t, std::map<int64_t, char>> cells;
    for (const PlacedGlyph& g : glyphs) {
        char c = char(g.cell + 32);
        int64_t line = c == ',' || c == ';' ? g.y - 3 : g.y; // drawn lower on their line
        cells[line][g.x] = c;
    }
    std::map<int64_t, std::string> rows;
    for (const auto& [y, row] : cells)
        for (const auto& [x, c] : row) rows[y] += c;
    return rows;
}

bool shows(const std::map<int64_t, std::string>& rows, const std::string& text) {
    for (const auto& [y, row] : rows)
        if (row.find(text) != std::string::npos) return true;
    return false;
}

std::string settingsText() {
    std::string text;
    readWholeFile(settingsPath, text);
    return text;
}

// The small game directory: classes without attacks or pictures, as in every build.
struct SmallLessons : GameDirTest {
    Pupil pupil;
    std::vector<std::string> screens;
    void TearDown() override {
        lessonFrameHook = nullptr;
        screenOpenedHook = nullptr;
        recordGlyphs(nullptr);
        endGame();
        GameDirTest::TearDown();
    }
    void startUp() {
        options.desktopWidth = 1280;
        options.desktopHeight = 720;
        setHeadless(options);
        startUpGame(game);
        screenOpenedHook = [this](const std::string& name) { screens.push_back(name); };
        lessonFrameHook = [this](const LessonView& view) { pupil(view); };
    }
};
} // namespace

// Walking and jumping are taught; the attack lessons, which the class cannot be taught, count
// as passed; then the closing message, and back. Every lesson is kept in the settings file.
TEST_F(SmallLessons, WalkAndJumpArePassedAndLessonsWithoutAttacksCountAsPassed) {
    startUp();
    ASSERT_EQ(settings.lessonsPassed, 0);
    runLessons(game);
    EXPECT_EQ(screens, std::vector<std::string>{"lessons"});
    EXPECT_EQ(pupil.lessonsSeen, (std::vector<int64_t>{kLessonWalk, kLessonJump, kLessonCount}));
    EXPECT_EQ(pupil.passedSeen, (std::vector<int64_t>{kLessonWalk, kLessonJump}));
    EXPECT_EQ(settings.lessonsPassed, 63);
    EXPECT_NE(settingsText().find("\"LessonsPassed\": 63"), std::string::npos);
    // All passed: the next time starts from the first again.
    pupil = Pupil{};
    pupil.stopAt = kLessonJump;
    runLessons(game);
    ASSERT_FALSE(pupil.lessonsSeen.empty());
    EXPECT_EQ(pupil.lessonsSeen.front(), kLessonWalk);
    EXPECT_EQ(settings.lessonsPassed, 63);
}

// Escape in the middle of a lesson goes back at once, keeping the lessons passed before it;
// the next time starts at the lesson left. A settings file from before the lessons has none
// passed, and keeps its other settings when the lessons are written.
TEST_F(SmallLessons, EscapeLeavesMidLessonAndTheNextTimeStartsThere) {
    ASSERT_TRUE(replaceFileAtomically("settings.txt", R"({"SoundVolume": 37, "MusicVolume": 0})"));
    startUp();
    EXPECT_EQ(settings.soundVolume, 37);
    pupil.stopAt = kLessonJump;
    int64_t frames = 0;
    lessonFrameHook = [&](const LessonView& view) {
        pupil(view);
        frames = view.frame;
    };
    runLessons(game);
    EXPECT_EQ(pupil.lessonsSeen, (std::vector<int64_t>{kLessonWalk, kLessonJump}));
    EXPECT_LT(frames, 600); // gone within the fade after the Escape, not at the lessons' end
    EXPECT_EQ(settings.lessonsPassed, 1);
    std::string text = settingsText();
    EXPECT_NE(text.find("\"LessonsPassed\": 1"), std::string::npos);
    EXPECT_NE(text.find("\"SoundVolume\": 37"), std::string::npos);

    settings.lessonsPassed = 0;
    ASSERT_EQ(loadSettings(), 1);
    pupil = Pupil{};
    pupil.stopAt = kLessonJump;
    runLessons(game);
    EXPECT_EQ(pupil.lessonsSeen, (std::vector<int64_t>{kLessonJump}));
}

// "Well done!" shows for 1.5 s of game time at every frame rate.
TEST_F(SmallLessons, WellDoneLastsTheSameTimeAtEveryFrameRate) {
    for (double factor : {1.0, 0.5, 0.25}) {
        SCOPED_TRACE(factor);
        std::filesystem::remove("settings.txt");
        options.fixedFrameFactor = factor;
        startUp();
        pupil = Pupil{};
        pupil.stopAt = kLessonJump;
        int64_t wellDoneFrames = 0;
        lessonFrameHook = [&](const LessonView& view) {
            pupil(view);
            if (view.lesson == kLessonWalk && view.passed) ++wellDoneFrames;
        };
        runLessons(game);
        EXPECT_NEAR(double(wellDoneFrames), 1500 / (20 * factor), 1.0);
        endGame();
    }
}

// The card names the key player one has now: a rebound left key by its new name, and a game
// controller by its stick and buttons.
TEST_F(SmallLessons, TheCardNamesTheKeysBoundNow) {
    ASSERT_TRUE(replaceFileAtomically(
        "settings.txt", R"({"player1right": {"left": "Z", "right": "Right", "up": "Up",
                           "down": "Down", "neutral": "P", "heavy": "O", "jump": "Space"}})"));
    options.controllerCount = 1;
    startUp();
    playerSetups[0].padIndex = -1;
    std::vector<PlacedGlyph> glyphs;
    recordGlyphs(&glyphs);
    pupil.stopAt = kLessonJump;
    std::map<int64_t, std::string> walkCard, jumpCard;
    lessonFrameHook = [&](const LessonView& view) {
        pupil(view);
        if (view.lesson == kLessonWalk && !view.passed && walkCard.empty()) walkCard = rowsOf(glyphs);
        if (view.lesson == kLessonJump && jumpCard.empty()) jumpCard = rowsOf(glyphs);
        glyphs.clear();
    };
    runLessons(game);
    EXPECT_TRUE(shows(walkCard, "Lesson 1 of 6: Walk"));
    EXPECT_TRUE(shows(walkCard, "Hold [Z] to walk towards the dummy, then [Right] to walk away"));
    EXPECT_FALSE(shows(walkCard, "[Left]"));
    EXPECT_TRUE(shows(jumpCard, "Press [Space] to jump."));
    EXPECT_EQ(settings.lessonsPassed, 1); // the pupil walked with Z

    // With a controller, its stick and buttons.
    playerSetups[0].padIndex = 0;
    pupil = Pupil{};
    pupil.stopAt = kLessonJump;
    settings.lessonsPassed = 0;
    walkCard.clear();
    lessonFrameHook = [&](const LessonView& view) {
        if (view.frame == 10) walkCard = rowsOf(glyphs);
        glyphs.clear();
        if (view.frame == 12) scriptTapLater(1, kKeyEscape);
    };
    runLessons(game);
    EXPECT_TRUE(shows(walkCard, "Hold [stick left] to walk towards the dummy, then [stick right]"));
}

// The generated fighters: the real classes with their attacks and combos.
struct Lessons : JourneyTest {
    Pupil pupil;
    void TearDown() override {
        lessonFrameHook = nullptr;
        recordGlyphs(nullptr);
        JourneyTest::TearDown();
    }
};

// From the main menu through Tutorial and Lessons, a pupil passes all six lessons in order
// with the default keys, and the game comes back to the tutorial menu.
TEST_F(Lessons, EveryLessonIsPassedFromTheMainMenu) {
    if (IsSkipped()) return;
    using Screens = std::vector<std::string>;
    journey.on("main menu", 0, [] {
        for (int i = 0; i < 4; ++i) tap(25 + 3 * i, kKeyDown);
        tap(40, kKeyReturn);
    });
    journey.on("tutorial", 0, [] { tap(25, kKeyReturn); });
    journey.on("tutorial", 1, [] { tap(25, kKeyEscape); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    int64_t lastFrame = 0;
    lessonFrameHook = [&](const LessonView& view) {
        pupil(view);
        lastFrame = view.frame;
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(journey.screens, (Screens{"main menu", "tutorial", "lessons", "tutorial", "main menu"}));
    EXPECT_EQ(pupil.lessonsSeen, (std::vector<int64_t>{0, 1, 2, 3, 4, 5, kLessonCount}));
    EXPECT_EQ(pupil.passedSeen, (std::vector<int64_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_LT(lastFrame, 20000);
    EXPECT_EQ(settings.lessonsPassed, 63);
    EXPECT_NE(settingsText().find("\"LessonsPassed\": 63"), std::string::npos);
}

namespace {
struct LessonScreens : GeneratedGameTest {
    void TearDown() override {
        lessonFrameHook = nullptr;
        recordGlyphs(nullptr);
        GeneratedGameTest::TearDown();
    }
};
} // namespace

// Every card at 1280 x 720 and 1024 x 768, drawn over the real fight: kept as screenshots
// (QRX_KEEP_SCREENSHOTS), every letter on the screen, and the panel below the life gauges,
// their frames and portraits.
TEST_F(LessonScreens, EveryCardFitsBelowTheGauges) {
    if (IsSkipped()) return;
    for (auto [width, height] : {kCommonScreen, kSmallestScreen}) {
        std::string size = std::to_string(width) + "x" + std::to_string(height);
        SCOPED_TRACE(size);
        std::filesystem::remove("settings.txt"); // the screen size follows the desktop
        HeadlessOptions options;
        options.desktopWidth = width;
        options.desktopHeight = height;
        setHeadless(options);
        startUpGame(game);
        ASSERT_EQ(screenWidth, width);
        ASSERT_EQ(screenHeight, height);
        // Each gauge's frame (its sprite's full height) and portrait end above the panel.
        for (const Fighter* f : {&playerOne, &playerTwo}) {
            double y = f->lifeBar.y;
            EXPECT_LE(y - 150 + double(spriteHeight(hudBlock + 8)), double(lessonPanelTop()));
            EXPECT_LE(y - 75 + 150, double(lessonPanelTop()));
        }
        Pupil pupil;
        pupil.startDelay = 30; // the screen has cleared from black by then
        std::vector<PlacedGlyph> glyphs;
        recordGlyphs(&glyphs);
        std::vector<std::string> shots;
        std::map<int64_t, int64_t> firstFrame; // of each card
        bool wellDoneShot = false;
        int64_t lettersOff = 0;
        lessonFrameHook = [&](const LessonView& view) {
            pupil(view);
            int64_t card = view.lesson;
            if (!firstFrame.count(card)) firstFrame[card] = view.frame;
            std::string shot;
            if (view.frame == firstFrame[card] + 25 && !view.passed)
                shot = card < kLessonCount ? std::to_string(card + 1) : "closing";
            if (view.passed && !wellDoneShot) {
                wellDoneShot = true;
                shot = "well_done";
            }
            if (!shot.empty()) {
                shots.push_back("lesson_" + size + "_" + shot + ".png");
                scriptAdd({presentedFrames() + 1, kScriptScreenshot, 0, 0, shots.back()});
            }
            // The card's letters: those from the panel's top down to the combo display.
            for (const PlacedGlyph& g : glyphs) {
                if (g.y < lessonPanelTop() || g.y > lessonPanelTop() + 300) continue;
                if (g.x < 0 || g.x + 16 > screenWidth) ++lettersOff;
            }
            glyphs.clear();
        };
        runLessons(game);
        recordGlyphs(nullptr);
        EXPECT_EQ(pupil.passedSeen, (std::vector<int64_t>{0, 1, 2, 3, 4, 5}));
        EXPECT_EQ(lettersOff, 0);
        EXPECT_EQ(shots.size(), 8u);
        for (const std::string& shot : shots) EXPECT_TRUE(std::filesystem::exists(shot)) << shot;
        keepScreenshots(shots);
        lessonFrameHook = nullptr;
        endGame();
        clearHeadless();
    }
}

// Neutral attacks alone do not pass the directed attacks, and attacks that do not reach the
// dummy (where player one starts) do not pass the combo: both cards still say what is left.
TEST_F(Lessons, AttacksThatAreNotAskedForDoNotPass) {
    if (IsSkipped()) return;
    for (auto [passed, lesson] : {std::pair<int64_t, int64_t>{7, kLessonDirections}, {31, kLessonCombo}}) {
        SCOPED_TRACE(lesson);
        ASSERT_TRUE(replaceFileAtomically(
            "settings.txt", "{\"ScreenSize\": 1, \"LessonsPassed\": " + std::to_string(passed) + "}"));
        startUp();
        std::vector<PlacedGlyph> glyphs;
        recordGlyphs(&glyphs);
        std::vector<int64_t> seen;
        bool passedSeen = false;
        int64_t attacks = 0, touches = 0, waitUntil = 0;
        std::map<int64_t, std::string> card;
        lessonFrameHook = [&](const LessonView& view) {
            if (seen.empty() || seen.back() != view.lesson) seen.push_back(view.lesson);
            passedSeen = passedSeen || view.passed;
            card = rowsOf(glyphs);
            glyphs.clear();
            touches += playerOne.hitLanded ? 1 : 0;
            if (view.frame < waitUntil || attacks < 0) return;
            if (attacks == 6) {
                scriptTapLater(1, kKeyEscape);
                attacks = -1;
                return;
            }
            // The next attack only once the last one is over, its combo ended.
            if (playerOne.attacking || playerOne.cooldown > 0 || playerOne.comboStep > 0) return;
            scriptTapLater(1, playerSetups[0].keyBindings.primary.neutral, 1);
            ++attacks;
            waitUntil = view.frame + 40;
        };
        runLessons(game);
        recordGlyphs(nullptr);
        EXPECT_EQ(seen, std::vector<int64_t>{lesson});
        EXPECT_FALSE(passedSeen);
        EXPECT_EQ(attacks, -1);
        if (lesson == kLessonDirections) {
            EXPECT_TRUE(shows(card, "Still to do: side, back, up, down"));
        }
        if (lesson == kLessonCombo) {
            EXPECT_EQ(touches, 0);
            EXPECT_TRUE(shows(card, "Hits in a row: 0 of 3"));
        }
        lessonFrameHook = nullptr;
        endGame();
        clearHeadless();
    }
}

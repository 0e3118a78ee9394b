// The difficulty screen's keys: the arrows move when pressed, player one's own up and down keys
// when let go, once per press; nothing is chosen unseen while the screen still clears from
// black, but Back is taken at once.
#include "journey_fixture.h"

#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/difficulty_menu.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "input/player_setup.h"

namespace {
constexpr int64_t kP = 25, kO = 24; // player one's neutral and heavy keys
constexpr int64_t kY = 21, kH = 35; // player two's up and down, lent to player one below

using Sounds = std::vector<int64_t>;

struct DifficultyScreen : JourneyTest {
    Sounds sounds;
    void SetUp() override {
        JourneyTest::SetUp();
        if (IsSkipped()) return;
        startUp();
        menuSoundLog = &sounds;
    }
};

struct Tap {
    int64_t at; // frames after the screen opened (it clears from black in its first 20)
    int64_t code;
    int64_t frames;
};

struct KeysCase {
    const char* what;
    int64_t kept;               // highlighted on arrival (-1: "(go back)")
    bool ownKeys;               // player one's up and down are Y and H instead of the arrows
    std::vector<Tap> taps;
    int64_t result;             // what the screen gives
    std::vector<int64_t> heard; // the menu sounds in order
};

const int64_t kMove = kPoolMenuMove, kSelect = kPoolMenuSelect, kBack = kPoolMenuBack;

const KeysCase kCases[] = {
    {"an arrow moves as it goes down: Return while it is held takes the new entry", 0, false,
     {{25, kKeyDown, 30}, {35, kKeyReturn, 1}}, 1, {kMove, kSelect}},
    {"an arrow held moves once; each new press once more; Up comes back", 0, false,
     {{25, kKeyDown, 30}, {60, kKeyDown, 1}, {65, kKeyUp, 20}, {75, kKeyReturn, 1}}, 1,
     {kMove, kMove, kMove, kSelect}},
    {"the arrows stop at the ends without a sound", 2, false,
     {{25, kKeyDown, 1}, {28, kKeyDown, 1}, {31, kKeyUp, 1}, {34, kKeyReturn, 1}}, 2,
     {kMove, kMove, kSelect}},
    {"player one's own keys move when let go: Return while one is held keeps the entry", 0,
     true, {{25, kH, 30}, {35, kKeyReturn, 1}}, 0, {kSelect}},
    {"player one's own keys move once per press, however long it is", 0, true,
     {{25, kH, 30}, {60, kH, 1}, {65, kY, 20}, {90, kKeyReturn, 1}}, 1,
     {kMove, kMove, kMove, kSelect}},
    {"an arrow bound as player one's key moves on its press only, not again when let go", 0,
     false, {{25, kKeyDown, 10}, {40, kKeyDown, 10}, {55, kKeyReturn, 1}}, 2,
     {kMove, kMove, kSelect}},
    {"arrows move while the screen clears from black", 0, false,
     {{5, kKeyDown, 1}, {30, kKeyReturn, 1}}, 1, {kMove, kSelect}},
    {"Return and the attack key let go while it clears are dropped, and not taken later", 0,
     false, {{0, kKeyReturn, 3}, {5, kKeyReturn, 1}, {8, kP, 1}, {30, kKeyDown, 1},
     {35, kKeyReturn, 1}}, 1, {kMove, kSelect}},
    {"Escape while it clears goes back at once", 1, false, {{8, kKeyEscape, 1}}, -1, {kBack}},
    {"the heavy key while it clears goes back at once, and only once", 1, false,
     {{8, kO, 1}, {12, kKeyEscape, 1}}, -1, {kBack}},
    {"\"(go back)\" chosen gives -1 with the back sound", -1, false, {{25, kKeyReturn, 1}}, -1,
     {kBack}},
};
} // namespace

TEST_F(DifficultyScreen, KeysMoveChooseAndGoBackByTheirRules) {
    int opening = 0;
    for (const KeysCase& c : kCases) {
        SCOPED_TRACE(c.what);
        sounds.clear();
        Controls saved = playerSetups[0].keyBindings.primary;
        if (c.ownKeys) {
            playerSetups[0].keyBindings.primary.up = kY;
            playerSetups[0].keyBindings.primary.down = kH;
        }
        difficultySelection = c.kept;
        bool clearing = false, endless = false;
        // A screen that takes none of the keys would wait for ever: after 300 frames it is
        // made to fade out, and the case fails.
        int64_t frames = 0;
        menuFrameService = [&] {
            endless = endless || ++frames > 300;
            return !endless;
        };
        journey.on("difficulty", opening++, [&] {
            clearing = fadeActive && fadeSpeed < 0;
            for (const Tap& t : c.taps) tap(t.at, t.code, t.frames);
        });
        EXPECT_EQ(runDifficultyMenu(40, 40), c.result);
        menuFrameService = nullptr;
        EXPECT_FALSE(endless) << "the screen took none of the keys";
        EXPECT_TRUE(clearing); // the screen did open clearing from black
        EXPECT_EQ(sounds, Sounds(c.heard));
        EXPECT_EQ(difficultySelection, c.result); // kept for the next visit
        playerSetups[0].keyBindings.primary = saved;
    }
}

// The difficulty screen's keys: nothing is chosen or left unseen while the screen still clears
// from black, and the highlight moves when a key is let go, once per press.
#include "journey_fixture.h"

#include "input/keys.h"
#include "menus/difficulty_menu.h"
#include "menus/menu_framework.h"
#include "render/fade.h"

namespace {
constexpr int64_t kP = 25, kO = 24; // player one's neutral and heavy keys

using DifficultyScreen = JourneyTest;
using Sounds = std::vector<int64_t>;
} // namespace

// A Return (or Escape, or player one's attack keys) let go in the 20 frames the screen takes
// to clear is dropped, and not taken later either: the screen waits for a choice seen.
TEST_F(DifficultyScreen, KeysLetGoWhileItClearsFromBlackChooseNothing) {
    startUp();
    Sounds sounds;
    menuSoundLog = &sounds;
    bool clearing = false;
    difficultySelection = 0;
    journey.on("difficulty", 0, [&] {
        clearing = fadeActive && fadeSpeed < 0;
        tap(0, kKeyReturn, 3); // let go while the screen clears
        tap(5, kKeyReturn);    // and a second tap
        tap(8, kP);
        tap(11, kKeyEscape);
        tap(14, kO);
        tap(30, kKeyDown);   // seen: Medium...
        tap(35, kKeyReturn); // ...and chosen
    });
    EXPECT_EQ(runDifficultyMenu(40, 40), 1);
    EXPECT_TRUE(clearing); // the keys above did fall in the fade in
    EXPECT_EQ(sounds, (Sounds{kMenuMovePool, kMenuSelectPool}));
    EXPECT_EQ(difficultySelection, 1);
}

// Up and Down (player one's keys are the arrows) move when let go: a Return while one is still
// held chooses the entry as it was; each press moves once however long it is held.
TEST_F(DifficultyScreen, UpAndDownMoveWhenLetGoOncePerPress) {
    startUp();
    Sounds sounds;
    menuSoundLog = &sounds;
    difficultySelection = 0;
    journey.on("difficulty", 0, [] {
        tap(25, kKeyDown, 30); // held from frame 25 to 55
        tap(35, kKeyReturn);   // chosen while Down is still held: Easy
    });
    EXPECT_EQ(runDifficultyMenu(40, 40), 0);
    EXPECT_EQ(sounds, (Sounds{kMenuSelectPool}));

    sounds.clear();
    journey.on("difficulty", 1, [] {
        tap(25, kKeyDown, 30); // one step for a long press
        tap(60, kKeyDown);     // and one for a short one: Hard
        tap(65, kKeyUp, 20);   // Medium once let go...
        tap(75, kKeyReturn);   // ...but not yet here: Hard
    });
    EXPECT_EQ(runDifficultyMenu(40, 40), 2);
    EXPECT_EQ(sounds, (Sounds{kMenuMovePool, kMenuMovePool, kMenuSelectPool}));

    sounds.clear();
    journey.on("difficulty", 2, [] {
        tap(25, kKeyUp, 30); // from Hard, let go at 55: Medium
        tap(60, kKeyReturn);
    });
    EXPECT_EQ(runDifficultyMenu(40, 40), 1);
    EXPECT_EQ(sounds, (Sounds{kMenuMovePool, kMenuSelectPool}));
}

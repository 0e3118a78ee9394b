// The main menu through its real frame loop: moves, holds, the unavailable entry, Back.
#include "game_dir_fixture.h"

#include "input/keys.h"
#include "menus/main_menu.h"
#include "render/fade.h"

namespace {
struct MainMenuTest : GameDirTest {
    void TearDown() override {
        endGame();
        GameDirTest::TearDown();
    }
    int64_t run(int64_t highlighted = 0) {
        setHeadless(options);
        startUpGame();
        return runMainMenu(40, 40, highlighted);
    }
    void tap(int64_t frame, int64_t key, int64_t frames = 1) {
        scriptKeyTap(options.script, 3 + frame, key, frames);
    }
};
} // namespace

TEST_F(MainMenuTest, HoldingDownMovesOnceAndSelectReturnsTheEntry) {
    tap(10, kKeyDown, 30); // held for 30 frames: one move
    tap(60, kKeyReturn);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(fadeAlpha, 255); // left at full black; the next screen clears it
}

TEST_F(MainMenuTest, UpOnTheFirstEntryStaysThere) {
    tap(10, kKeyUp);
    tap(20, kKeyReturn);
    EXPECT_EQ(run(), 0);
}

TEST_F(MainMenuTest, PlayersKeysMoveTooAndTheLastEntryIsTheEnd) {
    for (int i = 0; i < 9; ++i) tap(10 + 4 * i, 35); // player two's down key (H)
    tap(60, kKeyReturn);
    EXPECT_EQ(run(), 6);
}

TEST_F(MainMenuTest, TheTutorialIsNotAvailableAndBackLeaves) {
    tap(10, kKeyReturn); // select the tutorial: nothing but the sound
    tap(30, kKeyEscape);
    tap(40, kKeyReturn); // during the fade out nothing counts any more
    EXPECT_EQ(run(4), 6);
}

TEST_F(MainMenuTest, TheHighlightedEntryIsSelectedFirst) {
    tap(10, 16); // player two's neutral key (Q) selects
    EXPECT_EQ(run(2), 2);
}

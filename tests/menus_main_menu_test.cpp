// The main menu through its real frame loop: moves, holds, the tutorial entry, Back, and
// the sounds each of them makes.
#include "game_dir_fixture.h"

#include "input/keys.h"
#include "menus/main_menu.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"

namespace {
using Sounds = std::vector<int64_t>;

struct MainMenuTest : GameDirTest {
    Sounds sounds;
    void TearDown() override {
        menuSoundLog = nullptr;
        endGame();
        GameDirTest::TearDown();
    }
    int64_t run(int64_t highlighted = 0) {
        setHeadless(options);
        startUpGame(game);
        menuSoundLog = &sounds;
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
    EXPECT_EQ(sounds, (Sounds{kPoolMenuMove, kPoolMenuSelect}));
    EXPECT_EQ(fadeAlpha, 255); // left at full black; the next screen clears it
}

TEST_F(MainMenuTest, UpOnTheFirstEntryStaysThereSilently) {
    tap(10, kKeyUp);
    tap(20, kKeyReturn);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(sounds, (Sounds{kPoolMenuSelect}));
}

TEST_F(MainMenuTest, PlayersKeysMoveTooAndTheLastEntryIsTheEnd) {
    for (int i = 0; i < 9; ++i) tap(10 + 4 * i, 35); // player two's down key (H)
    tap(60, kKeyReturn);
    EXPECT_EQ(run(), 7);
    EXPECT_EQ(sounds.size(), 8u); // seven moves to Exit, none past it, and the select
}

TEST_F(MainMenuTest, TheTutorialIsChosenLikeTheOtherEntries) {
    tap(10, kKeyReturn);
    tap(20, kKeyEscape); // during the fade out nothing counts any more
    EXPECT_EQ(run(4), kTutorialEntry);
    EXPECT_EQ(sounds, (Sounds{kPoolMenuSelect}));
}

TEST_F(MainMenuTest, BackLeavesOnce) {
    tap(10, kKeyEscape);
    tap(20, kKeyReturn);
    tap(30, kKeyEscape);
    EXPECT_EQ(run(4), 7);
    EXPECT_EQ(sounds, (Sounds{kPoolMenuBack}));
}

TEST_F(MainMenuTest, TheHighlightedEntryIsSelectedFirst) {
    tap(10, 16); // player two's neutral key (Q) selects
    EXPECT_EQ(run(2), 2);
}

TEST_F(MainMenuTest, EntriesAreDrawnInOrderAllAvailable) {
    std::vector<PlacedGlyph> glyphs;
    recordGlyphs(&glyphs);
    tap(10, kKeyEscape);
    EXPECT_EQ(run(kTutorialEntry), 7); // the tutorial highlighted: drawn as available
    recordGlyphs(nullptr);
    // The first letters of the entries' rows, 20 px apart from y = 160.
    std::string rows[8];
    for (const PlacedGlyph& g : glyphs)
        if (g.y >= 160 && g.y < 320 && (g.y - 160) % 20 == 0 && g.x >= 140 && g.x < 400)
            rows[(g.y - 160) / 20] += char(g.cell + 32);
    const char* const labels[8] = {"Player vs Player", "Player vs Bot", "View fighters", "Options",
                                   "Tutorial",         "Credits",       "Solo modes",    "Exit"};
    for (int i = 0; i < 8; ++i) EXPECT_NE(rows[i].find(labels[i]), std::string::npos) << i;
    std::string all;
    for (const PlacedGlyph& g : glyphs) all += char(g.cell + 32);
    EXPECT_EQ(all.find("Soon"), std::string::npos); // no entry is marked unavailable
}

// The credits page: its two columns, and leaving it once with Escape or a heavy key only.
#include "game_dir_fixture.h"

#include <algorithm>

#include "input/keys.h"
#include "menus/credits.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"

namespace {
struct CreditsTest : GameDirTest {
    std::vector<int64_t> sounds;
    std::vector<PlacedGlyph> glyphs;
    void TearDown() override {
        menuSoundLog = nullptr;
        recordGlyphs(nullptr);
        endGame();
        GameDirTest::TearDown();
    }
    // Frames presented until the page is left.
    int64_t run() {
        setHeadless(options);
        startUpGame(game);
        menuSoundLog = &sounds;
        recordGlyphs(&glyphs);
        int64_t before = presentedFrames();
        runCredits(40, 40);
        return presentedFrames() - before;
    }
    void tap(int64_t frame, int64_t key) { scriptKeyTap(options.script, 3 + frame, key); }
};
} // namespace

TEST_F(CreditsTest, ReturnAndNeutralKeysDoNothingAndEscapeLeavesOnce) {
    tap(45, kKeyReturn);
    tap(50, 25); // player one's attack key
    tap(55, 16); // player two's
    tap(100, kKeyEscape);
    tap(110, kKeyEscape); // while the screen darkens: ignored
    int64_t frames = run();
    EXPECT_GT(frames, 100); // Return and the attack keys did not leave
    EXPECT_LT(frames, 160);
    EXPECT_EQ(sounds, std::vector<int64_t>{kPoolMenuBack});
    EXPECT_EQ(fadeAlpha, 255);
}

TEST_F(CreditsTest, AHeavyKeyLeavesTooAndTheColumnsStartTogether) {
    tap(45, 17); // player two's heavy key (W)
    run();
    EXPECT_EQ(sounds, std::vector<int64_t>{kPoolMenuBack});
    // Headings in orange and details in violet; the right column starts at the same height.
    bool heading = false, detail = false, rightColumn = false;
    for (const PlacedGlyph& g : glyphs) {
        heading = heading || (g.tint == 0x0088FF && g.x >= 120 && g.y == 40);
        detail = detail || g.tint == 0xFF8080;
        rightColumn = rightColumn || (g.x >= 540 && g.x < 560 && g.y == 40);
    }
    EXPECT_TRUE(heading);
    EXPECT_TRUE(detail);
    EXPECT_TRUE(rightColumn);
}

// The fighter viewer and the stats panel: gauges with a stance's bonus or malus, rows of
// absent stats, the class cursor skipping classes not shown, combo rows, the frame data, the
// fighter on a narrow screen. (The viewer at every screen size is checked on the layout journey.)
#include "journey_fixture.h"
#include "shown_text.h"

#include <algorithm>
#include <array>

#include "data/fighter_class.h"
#include "input/keys.h"
#include "menus/class_selection.h"
#include "menus/fighter_viewer.h"
#include "menus/stats_panel.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "shell/startup.h"

namespace {
struct ViewerTest : JourneyTest {
    // The summed brightness of each 16 x 16 crescent cell of a gauge drawn at (100, 100).
    std::vector<int64_t> crescentCells(int64_t value, int64_t comparison) {
        fillScreen();
        drawGauge(value, 100, 100, comparison, false);
        Bitmap screen;
        EXPECT_TRUE(readScreen(screen));
        std::vector<int64_t> cells;
        for (int64_t i = 1; i <= 9; ++i) {
            int64_t sum = 0, left = 105 + 18 * i;
            for (int64_t y = 100; y < 116; ++y)
                for (int64_t x = left; x < left + 16; ++x) {
                    uint32_t p = screen.pixels[size_t(y * screen.width + x)];
                    sum += ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
                }
            cells.push_back(sum);
        }
        return cells;
    }
    static void fillScreen() {
        int64_t background = menuBackgroundSprite();
        drawSprite(background, 0, 0); // dark grey over the whole area of the gauge
    }
};
} // namespace

TEST_F(ViewerTest, GaugeShowsWhatTheStanceTakesAndGives) {
    options.nullRenderer = false;
    startUp();
    loadStatIcons();
    std::vector<int64_t> lowered = crescentCells(5, 3); // modifier -2 on 5
    int64_t empty = lowered[8];
    EXPECT_GT(lowered[0], empty * 2);
    EXPECT_GT(lowered[2], lowered[3] + 1000); // three bright...
    EXPECT_GT(lowered[3], empty);             // ...then two faded
    EXPECT_GT(lowered[4], empty);
    EXPECT_EQ(lowered[5], empty);             // and nothing after the value
    gaugePulse = 192;
    std::vector<int64_t> white = crescentCells(5, 7); // modifier +2: seven, two pulsing
    gaugePulse = -64;
    std::vector<int64_t> black = crescentCells(5, 7);
    EXPECT_EQ(white[4], black[4]); // the class's own five do not pulse
    EXPECT_GT(white[5], black[5] + 1000);
    EXPECT_GT(white[6], black[6] + 1000);
    EXPECT_EQ(white[7], empty);
    freeStatIcons();
}

TEST(StatsPanel, AbsentStatsLeaveNoRow) {
    FighterClass c;
    c.stat = Stat{};
    EXPECT_EQ(drawStatsPanel(c, 75, 150, 0, false), 412); // eleven rows
    c.stat->cut = -1;
    EXPECT_EQ(drawStatsPanel(c, 75, 150, 0, false), 372); // the rows below move up 40 px
    c.stat->pierce = c.stat->blunt = -1;
    EXPECT_EQ(drawStatsPanel(c, 75, 150, 0, true), 292);
}

TEST(ComboRows, DigitsFromTheUnitsUp) {
    EXPECT_EQ(comboStances(431), (std::vector<int64_t>{1, 3, 4}));
    EXPECT_EQ(comboStances(6), (std::vector<int64_t>{6}));
    EXPECT_TRUE(comboStances(0).empty());
}

TEST_F(ViewerTest, LeftWrapsOverClassesNotShown) {
    startUp();
    ASSERT_GE(classes.size(), 6u);
    classes[4]->notSelectable = 1; // the last but one, and the last is to be added
    viewerClassIndex = 0;
    journey.on("class selection", 0, [] {
        tap(25, kKeyLeft);  // from the first: wraps past nothing to the last shown class
        tap(28, kKeyLeft);  // skipping class 4
        tap(31, kKeyDown);  // a stance down
        tap(34, kKeyDown);
        tap(37, kKeyDown);
        tap(40, kKeyDown);  // no further than the last
        tap(50, kKeyEscape);
    });
    EXPECT_EQ(runClassSelection(fight, kViewerMode), -999);
    EXPECT_EQ(viewerClassIndex, 3);
    EXPECT_EQ(viewerStance, int64_t(classes[3]->stance.size()) - 1);
    classes[4]->notSelectable = 0;
}

// On a screen narrower than the selection screens' two fighters need, the viewer still shows
// its one fighter playing the idle animation, not the class's still picture, and the picture
// does not lie over the stance line.
TEST_F(ViewerTest, NarrowScreenShowsTheAnimatedFighter) {
    options.desktopWidth = 1024;
    options.desktopHeight = 768;
    options.nullRenderer = false;
    std::vector<std::string> shots;
    for (int i = 0; i < 4; ++i)
        shots.push_back("viewer-idle" + std::to_string(i) + "-1024x768.png");
    journey.on("main menu", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyDown);
        tap(31, kKeyReturn);
    });
    journey.on("class selection", 0, [&] {
        for (int i = 0; i < 3; ++i) tap(25 + 3 * i, kKeyRight); // the fourth class
        tap(36, kKeyDown);                                        // its second stance
        for (int i = 0; i < 4; ++i)
            scriptAdd({presentedFrames() + 45 + 8 * i, kScriptScreenshot, 0, 0, shots[size_t(i)]});
        tap(80, kKeyEscape);
    });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    EXPECT_EQ(run(), 0);
    keepScreenshots(shots);
    std::vector<Bitmap> frames(shots.size());
    bool alpha = false;
    for (size_t i = 0; i < shots.size(); ++i) ASSERT_TRUE(loadPng(shots[i], frames[i], alpha));
    auto rgb = [](const Bitmap& b, int64_t x, int64_t y) {
        uint32_t p = b.pixels[size_t(y * b.width + x)];
        return std::array<int64_t, 3>{(p >> 16) & 255, (p >> 8) & 255, p & 255};
    };
    auto count = [&](const Bitmap& b, int64_t x0, int64_t y0, int64_t x1, int64_t y1, auto test) {
        int64_t n = 0;
        for (int64_t y = y0; y < y1; ++y)
            for (int64_t x = x0; x < x1; ++x) n += test(rgb(b, x, y)) ? 1 : 0;
        return n;
    };
    auto lit = [](std::array<int64_t, 3> c) { return c[0] > 40 || c[1] > 40 || c[2] > 40; };
    // The fighter stands where it does on wide screens, and its pixels change as it moves.
    EXPECT_GT(count(frames[0], 440, 250, 720, 500, lit), 2000);
    int64_t changed = 0;
    for (size_t i = 1; i < frames.size(); ++i)
        for (int64_t y = 250; y < 500; ++y)
            for (int64_t x = 440; x < 720; ++x)
                changed += rgb(frames[i], x, y) != rgb(frames[i - 1], x, y);
    EXPECT_GT(changed, 200);
    // Between the stance line and the fighter, where the still picture could lie: only the
    // stat names' white and grey letters, nothing of any colour.
    auto coloured = [](std::array<int64_t, 3> c) {
        return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}) > 4;
    };
    EXPECT_EQ(count(frames[0], 330, 125, 460, 250, coloured), 0);
    // "Stance : Juggernaut" runs on past x = 325 uncovered: white letters on the dark
    // background, and nothing of any colour.
    auto white = [](std::array<int64_t, 3> c) { return c[0] > 200 && c[1] > 200 && c[2] > 200; };
    EXPECT_GT(count(frames[0], 325, 96, 420, 120, white), 40);
    EXPECT_EQ(count(frames[0], 100, 96, 420, 120, coloured), 0);
}

namespace {
constexpr int64_t kFrameDataKey = 33; // F

// The glyphs of each viewer frame: a frame starts with the class name at (100, 80).
std::vector<std::vector<PlacedGlyph>> viewerFrames(const std::vector<PlacedGlyph>& glyphs) {
    std::vector<std::vector<PlacedGlyph>> frames;
    for (const PlacedGlyph& g : glyphs) {
        if (g.x == 100 && g.y == 80) frames.emplace_back();
        if (!frames.empty()) frames.back().push_back(g);
    }
    return frames;
}
} // namespace

// F shows a line of frame data under each combo row and hides it again. Duelist in the Knight
// stance (strength 5, agility 6, weight 4): the first row's first attack is the thrust, frames
// of 3, 3 (the hit: stun 9), 2 and 4 ticks and recovery 12: startup 4 (the first frame stays
// one tick longer), active 3, the end at tick 13 with a wait of 12 / 1.6 = 7.5, 5 or less from
// tick 16: recovery 16 - 6 - 1 = 9; stun 9 x (4 + 5 + 10) / 10 = 17: advantage 17 - 11 = +6.
TEST_F(ViewerTest, FrameDataLineComesAndGoesWithF) {
    viewerFrameData = false;
    std::vector<PlacedGlyph> glyphs;
    journey.on("main menu", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyDown);
        tap(31, kKeyReturn);
    });
    journey.on("class selection", 0, [] {
        tap(25, kKeyRight); // Duelist
        tap(28, kKeyDown);  // Knight
        tap(40, kFrameDataKey);
        tap(60, kFrameDataKey);
        tap(80, kKeyEscape);
    });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    recordGlyphs(&glyphs);
    EXPECT_EQ(run(), 0);
    recordGlyphs(nullptr);
    std::vector<std::vector<PlacedGlyph>> frames = viewerFrames(glyphs);
    ASSERT_GT(frames.size(), 60u);
    // The combo column at 725 on a 1280 px screen; the first row's icons at y 106, the line
    // 36 px below them.
    std::string shown;
    for (const auto& frame : frames) {
        std::string line = textAt(frame, 142, 725);
        shown += line.rfind("4/3/9+6 ", 0) == 0 ? 'F' : line.empty() ? '-' : '?';
        EXPECT_EQ(textAt(frame, 58, 725), "F: frame data");
    }
    // Off, on for the twenty frames between the presses, off again.
    size_t on = shown.find('F');
    ASSERT_NE(on, std::string::npos) << shown;
    EXPECT_GT(on, 5u);
    EXPECT_EQ(shown.find_first_not_of('-'), on) << shown;
    EXPECT_EQ(shown.find_first_not_of('F', on), on + 20) << shown;
    EXPECT_EQ(shown.find_first_not_of('-', on + 20), std::string::npos) << shown;
    EXPECT_FALSE(viewerFrameData);
}

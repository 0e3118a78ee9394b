// HUD pictures: the life gauge fits the way the game slides its bars, icons and marks read.
#include <gtest/gtest.h>

#include <cmath>

#include "hud_images.h"

namespace {

float alphaAt(const Image& image, int x, int y) { return pixelAt(image, x, y).a; }

int opaqueCount(const Image& image) {
    int n = 0;
    for (const Color& c : image.pixels) n += c.a > 0.5f;
    return n;
}

// Mean absolute difference of every channel (0 for identical pictures).
float pictureDifference(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height) return 1.0f;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const Color p = a.pixels[i], q = b.pixels[i];
        sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b) + std::fabs(p.a - q.a);
    }
    return float(sum / double(a.pixels.size()));
}

Image flipVertically(const Image& image) {
    Image out = makeImage(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) pixelAt(out, x, image.height - 1 - y) = pixelAt(image, x, y);
    }
    return out;
}

// Where the game puts the right-hand gauge's pieces for a gauge at screen (x, y) = (0, 0),
// relative to the overlay's top left: the overlay at (x - 10, y - 150), the main bar's left
// edge at x + 110 + (400 - 2 × life) for life 0..200, its top at y - 30, the extra bar 40 px
// higher, the class icon at (x + 510, y - 75).
constexpr int kOverlayX = -10, kOverlayY = -150;
int barLeftForLife(int life) { return 110 + (400 - std::min(2 * life, 400)) - kOverlayX; }
constexpr int kBarTop = -30 - kOverlayY;
constexpr int kIconX = 510 - kOverlayX, kIconY = -75 - kOverlayY;

}  // namespace

TEST(LifeGauge, LayoutConstantsMatchWhereTheGameDrawsTheBars) {
    EXPECT_EQ(kGaugeWindowLeft, barLeftForLife(200));
    EXPECT_EQ(kGaugeWindowRight, barLeftForLife(0));
    EXPECT_EQ(kGaugeWindowRight - kGaugeWindowLeft, 400);  // 2 px per life point, 200 points
    EXPECT_EQ(kGaugeMainTop, kBarTop);
    EXPECT_EQ(kGaugeExtraTop, kBarTop - 40);
    EXPECT_EQ(kPortraitLeft, kIconX);
    EXPECT_EQ(kPortraitTop, kIconY);
}

TEST(LifeGauge, BarsFillTheWindowAtFullLifeWithoutHoles) {
    for (bool extra : {false, true}) {
        const Image bar = lifeBarImage(extra);
        EXPECT_EQ(bar.width, kBarWidth);
        EXPECT_EQ(bar.height, kBarHeight);
        // At full life the bar's left edge is at the window's left edge: it must be at least as
        // long as the window, and solid along it (the game tints it as one colour).
        EXPECT_GE(bar.width, kGaugeWindowRight - kGaugeWindowLeft);
        for (int y = 3; y < bar.height - 3; ++y) {
            for (int x = 12; x < kGaugeWindowRight - kGaugeWindowLeft; ++x) ASSERT_GT(alphaAt(bar, x, y), 0.95f) << x << "," << y;
        }
        // Light, so that the green, yellow and red tints read.
        double light = 0;
        for (const Color& c : bar.pixels) light += c.r + c.g + c.b;
        EXPECT_GT(light / (3.0 * bar.pixels.size()), 0.55) << extra;
    }
    EXPECT_GT(pictureDifference(lifeBarImage(false), lifeBarImage(true)), 0.01f);
}

TEST(LifeGauge, OverlayShowsTheBarsOnlyThroughItsWindows) {
    const Image hud = hudOverlayImage();
    ASSERT_EQ(hud.width, kHudWidth);
    ASSERT_EQ(hud.height, kHudHeight);
    for (int top : {kGaugeMainTop, kGaugeExtraTop}) {
        // Inside the window the bar below must show.
        for (int y = top + 3; y < top + kBarHeight - 3; ++y) {
            for (int x = kGaugeWindowLeft + 5; x < kGaugeWindowRight - 5; ++x) ASSERT_LT(alphaAt(hud, x, y), 0.05f) << x << "," << y;
        }
        // Left of the window the frame hides the bar's slanted end when the gauge shakes.
        for (int y = top + 3; y < top + kBarHeight - 3; ++y) EXPECT_GT(alphaAt(hud, kGaugeWindowLeft - 12, y), 0.9f) << y;
    }
    // The frame separates the two windows.
    const int between = (kGaugeExtraTop + kBarHeight + kGaugeMainTop) / 2;
    for (int x = kGaugeWindowLeft + 5; x < kGaugeWindowRight - 5; x += 7) EXPECT_GT(alphaAt(hud, x, between), 0.5f) << x;
    // Right of the portrait the bar that slid out of the window stays hidden.
    for (int y = kGaugeMainTop; y < kGaugeMainTop + kBarHeight; ++y) {
        for (int x = kPortraitLeft + kPortraitSize + 8; x < kHudWidth - 4; ++x) ASSERT_GT(alphaAt(hud, x, y), 0.9f) << x << "," << y;
    }
    // The portrait square is open so that the class icon drawn before the overlay shows.
    const int cx = kPortraitLeft + kPortraitSize / 2, cy = kPortraitTop + kPortraitSize / 2;
    for (int d = -kPortraitSize / 2 + 12; d < kPortraitSize / 2 - 12; d += 5) {
        EXPECT_LT(alphaAt(hud, cx + d, cy), 0.05f);
        EXPECT_LT(alphaAt(hud, cx, cy + d), 0.05f);
    }
}

TEST(HudMarks, CountdownDigitsAreDistinctAndSimilarInSize) {
    const Image three = counterImage(3), two = counterImage(2), one = counterImage(1);
    for (const Image* digit : {&three, &two, &one}) {
        EXPECT_GT(digit->height, 100);
        EXPECT_GT(opaqueCount(*digit), digit->width * digit->height / 20);
    }
    EXPECT_NEAR(double(three.height), double(one.height), 0.2 * three.height);
    EXPECT_GT(pictureDifference(three, two), 0.01f);
}

TEST(HudMarks, ComboIconsHaveTheirSizesAndTheArrowTurnsCleanly) {
    for (int kind = 0; kind < 3; ++kind) {
        for (int size : {188, 38}) {
            const Image icon = comboIcon(kind, size);
            EXPECT_NEAR(icon.width, size, size / 8) << kind;
            EXPECT_NEAR(icon.height, size, size / 8) << kind;
            EXPECT_GT(opaqueCount(icon), icon.width * icon.height / 6) << kind << " " << size;
        }
    }
    // The game turns the up arrow for the other directions: it must be square, symmetric left
    // to right, and clearly not symmetric top to bottom.
    const Image arrow = comboIcon(1, 188);
    EXPECT_EQ(arrow.width, arrow.height);
    // The disc's highlight comes from one side; the dark arrow on it must be symmetric.
    auto dark = [&](int x, int y) {
        const Color c = straightColor(arrow, x, y);
        return c.a > 0.5f && c.r + c.g + c.b < 0.9f;
    };
    int asymmetric = 0, darkPixels = 0;
    for (int y = 0; y < arrow.height; ++y) {
        for (int x = 0; x < arrow.width; ++x) {
            darkPixels += dark(x, y);
            asymmetric += dark(x, y) != dark(arrow.width - 1 - x, y);
        }
    }
    EXPECT_LT(asymmetric, darkPixels / 50);
    EXPECT_GT(pictureDifference(arrow, flipVertically(arrow)), 0.05f);
    // Its head is at the top: the widest row of the dark arrow lies in the upper half.
    int widestRow = 0, widest = 0;
    for (int y = 0; y < arrow.height; ++y) {
        int w = 0;
        for (int x = 0; x < arrow.width; ++x) w += dark(x, y);
        if (w > widest) widest = w, widestRow = y;
    }
    EXPECT_LT(widestRow, arrow.height / 2);
    EXPECT_GT(pictureDifference(comboIcon(0, 188), comboIcon(2, 188)), 0.01f);
}

TEST(HudMarks, StatIconsAreElevenDifferentPicturesOfOneSize) {
    const Image first = statIcon(0);
    for (int i = 0; i < 11; ++i) {
        const Image icon = statIcon(i);
        EXPECT_EQ(icon.width, first.width) << i;
        EXPECT_EQ(icon.height, first.height) << i;
        EXPECT_GT(opaqueCount(icon), icon.width * icon.height / 10) << i;
        for (int j = 0; j < i; ++j) EXPECT_GT(pictureDifference(icon, statIcon(j)), 0.02f) << i << " " << j;
    }
}

TEST(HudMarks, GaugeMarksFitTheirSpacingAndBloodShrinksFrameByFrame) {
    const Image crescent = gaugeCrescent(), dot = gaugeDot();
    // Crescents are drawn 18 px apart: wider ones would run into each other.
    EXPECT_LE(visibleBox(crescent).width, 18);
    EXPECT_GT(opaqueCount(crescent), 10);
    EXPECT_GT(opaqueCount(dot), 4);
    EXPECT_GT(opaqueCount(toBeAddedMark()), 100);
    // Frame 7 is shown first and largest; each later one is smaller.
    for (int f = 1; f < 7; ++f) EXPECT_LT(opaqueCount(bloodParticle(f)), opaqueCount(bloodParticle(f + 1))) << f;
    EXPECT_GT(opaqueCount(bloodParticle(1)), 0);
}

// The pair matrix's heat map: its colour scale and the picture written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <unistd.h>

#include "balance_heatmap.h"
#include "png_writer.h"

namespace {

float distance(Color a, Color b) {
    return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) +
                     (a.b - b.b) * (a.b - b.b));
}

const Color kWhite{1, 1, 1, 1};

// Pixels of the picture within a small distance of a colour.
int64_t pixelsNear(const Image& image, Color colour) {
    int64_t count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            count += distance(straightColor(image, x, y), colour) < 0.02f;
    return count;
}

Roster threeClasses() {
    Roster roster(3);
    roster[0] = {0, "Brawler", {"Street"}, true};
    roster[1] = {1, "Duelist", {"Fencer"}, true};
    roster[2] = {2, "Lancer", {"Guard"}, true};
    return roster;
}

} // namespace

TEST(BalanceHeatmap, ScaleIsWhiteAtHalfAndSaturatesTwentyPointsAway) {
    EXPECT_LT(distance(winRateColour(0.5), kWhite), 1e-6f);
    const Color high = winRateColour(0.7), low = winRateColour(0.3);
    EXPECT_GT(high.r, high.b + 0.3f); // red above 50 %
    EXPECT_GT(low.b, low.r + 0.3f);   // blue below
    EXPECT_LT(distance(winRateColour(0.95), high), 1e-6f);
    EXPECT_LT(distance(winRateColour(0.0), low), 1e-6f);
    // Half way to saturation is half way in colour, on either side.
    EXPECT_LT(distance(winRateColour(0.6), mix(kWhite, high, 0.5f)), 1e-5f);
    EXPECT_LT(distance(winRateColour(0.4), mix(kWhite, low, 0.5f)), 1e-5f);
    EXPECT_LT(distance(winRateColour(0.55), kWhite), distance(winRateColour(0.6), kWhite));
}

TEST(BalanceHeatmap, CellsTakeTheirRatesColours) {
    const Roster roster = threeClasses();
    HardFigures hard;
    hard.matches = 60;
    hard.classes.resize(3);
    hard.stances.resize(3);
    // Brawler beats Duelist 80 %, Duelist beats Lancer 65 %, Brawler and Lancer never met.
    hard.pairs.assign(3, std::vector<Rate>(3));
    hard.pairs[0][1] = {16, 20};
    hard.pairs[1][0] = {4, 20};
    hard.pairs[1][2] = {13, 20};
    hard.pairs[2][1] = {7, 20};
    const Image image = drawPairMatrix(roster, hard);
    ASSERT_EQ(image.width, kMatrixWidth);
    ASSERT_EQ(image.height, kMatrixHeight);
    // Each coloured cell covers thousands of pixels of its own colour (less its text).
    const int64_t cellArea = 5000;
    EXPECT_GT(pixelsNear(image, winRateColour(0.8)), cellArea);
    EXPECT_GT(pixelsNear(image, winRateColour(0.2)), cellArea);
    EXPECT_GT(pixelsNear(image, winRateColour(0.65)), cellArea);
    EXPECT_GT(pixelsNear(image, winRateColour(0.35)), cellArea);
    // Three grey mirror cells.
    EXPECT_GT(pixelsNear(image, rgb(178, 178, 178)), 3 * cellArea);
    // Nothing at 50 % here: white only in the legend and the two cells that were not played.
    const int64_t white = pixelsNear(image, kWhite);
    EXPECT_LT(white, 2 * cellArea);
}

TEST(BalanceHeatmap, WrittenPictureReadsBack) {
    const Roster roster = threeClasses();
    const HardFigures hard = hardFigures(roster, {});
    const auto path = std::filesystem::temp_directory_path() /
                      ("balance_tests_matrix-" + std::to_string(getpid()) + ".png");
    ASSERT_TRUE(writePairMatrix(path.string(), roster, hard));
    Image back;
    ASSERT_TRUE(readPng(path.string(), back));
    EXPECT_EQ(back.width, kMatrixWidth);
    EXPECT_EQ(back.height, kMatrixHeight);
    std::filesystem::remove(path);
    EXPECT_FALSE(writePairMatrix("/nonexistent-dir/matrix.png", roster, hard));
}

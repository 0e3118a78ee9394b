// Stage tiles: the sizes the game's stage table needs, seamless joins, a painted floor, the key.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game_dir.h"
#include "png_writer.h"
#include "stages.h"

namespace {

// What the game's stage table expects, stage by stage: tiles, tile width, vertical value.
struct ExpectedStage {
    int tiles;
    int width;
    int vertical;
};
constexpr ExpectedStage kExpected[3] = {{4, 750, 230}, {6, 1000, -520}, {5, 1000, -560}};

float colourDistance(const Color& a, const Color& b) {
    return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

// Mean colour difference between column xa of a and column xb of b.
float columnDifference(const Image& a, int xa, const Image& b, int xb) {
    double sum = 0;
    for (int y = 0; y < a.height; ++y) sum += colourDistance(pixelAt(a, xa, y), pixelAt(b, xb, y));
    return float(sum / a.height);
}

bool isKey(const Color& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

// The tiles of every stage as written by the build.
class StageTiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = generatedGameDir();
        if (dir.empty()) GTEST_SKIP() << "content not generated yet in " << QRX_GAME_DIR;
    }
    Image tile(int stage, int index) const {
        Image image;
        const std::string rel = "image/background" + std::to_string(stage) + "_" + std::to_string(index + 1) + ".png";
        EXPECT_TRUE(readPng(dir + "/" + rel, image)) << rel;
        return image;
    }
    std::string dir;
};

}  // namespace

TEST(StageLayout, TilesCoverTheFloorAndWhatTheCameraSeesAboveIt) {
    for (int s = 1; s <= kStageCount; ++s) {
        const StageLayout lay = stageLayout(s);
        const ExpectedStage& e = kExpected[s - 1];
        EXPECT_EQ(lay.tileCount, e.tiles) << s;
        EXPECT_EQ(lay.tileWidth, e.width) << s;
        EXPECT_EQ(lay.vertical, e.vertical) << s;
        // The feet stand at screen row height - 100 and a tile's top at vertical + height - 1080.
        EXPECT_EQ(lay.floorRow, 980 - e.vertical) << s;
        EXPECT_GE(lay.tileHeight, lay.floorRow + 150) << s;
    }
}

TEST(StageLayout, PaintingIsRepeatable) {
    const Image a = paintStageTile(1, 1);
    const Image b = paintStageTile(1, 1);
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    for (size_t i = 0; i < a.pixels.size(); ++i) ASSERT_EQ(colourDistance(a.pixels[i], b.pixels[i]), 0.0f) << i;
}

TEST_F(StageTiles, EveryTileHasItsStageSize) {
    for (int s = 1; s <= kStageCount; ++s) {
        const StageLayout lay = stageLayout(s);
        for (int t = 0; t < lay.tileCount; ++t) {
            const Image image = tile(s, t);
            EXPECT_EQ(image.width, lay.tileWidth) << s << "_" << t + 1;
            EXPECT_EQ(image.height, lay.tileHeight) << s << "_" << t + 1;
        }
        EXPECT_FALSE(std::filesystem::exists(dir + "/image/background" + std::to_string(s) + "_" +
                                             std::to_string(lay.tileCount + 1) + ".png"));
    }
}

TEST_F(StageTiles, NeighbouringTilesJoinWithoutASeam) {
    for (int s = 1; s <= kStageCount; ++s) {
        const StageLayout lay = stageLayout(s);
        Image left = tile(s, 0);
        for (int t = 1; t < lay.tileCount; ++t) {
            const Image right = tile(s, t);
            // Across the join the picture changes no more than between the most different
            // neighbouring columns inside the two tiles (an edge of the scene may fall on the
            // join), and far more than that when tiles are painted with their own offsets.
            const float across = columnDifference(left, left.width - 1, right, 0);
            float inside = 0;
            for (int x = 1; x < right.width; ++x) {
                inside = std::max(inside, columnDifference(left, x - 1, left, x));
                inside = std::max(inside, columnDifference(right, x - 1, right, x));
            }
            EXPECT_LE(across, inside + 0.01f) << "stage " << s << " tiles " << t << "/" << t + 1;
            // The neighbours come from one scene: a tile joined to a stranger differs all along.
            int rowsAlike = 0;
            for (int y = 0; y < left.height; ++y) {
                rowsAlike += colourDistance(pixelAt(left, left.width - 1, y), pixelAt(right, 0, y)) < 0.1f;
            }
            EXPECT_GT(rowsAlike, left.height * 3 / 4) << "stage " << s << " tiles " << t << "/" << t + 1;
            left = right;
        }
    }
}

TEST_F(StageTiles, NoAccidentalTransparencyAndAPaintedFloor) {
    for (int s = 1; s <= kStageCount; ++s) {
        const StageLayout lay = stageLayout(s);
        for (int t = 0; t < lay.tileCount; ++t) {
            const Image image = tile(s, t);
            // Tiles are loaded with the black key: a pure black pixel is a hole in the scene.
            int holes = 0;
            for (const Color& c : image.pixels) holes += isKey(c);
            EXPECT_EQ(holes, 0) << "stage " << s << " tile " << t + 1;
            // The floor under the feet is a surface: light enough to see the fighters' shadows
            // on, and no sky colour bleeding into it.
            double floorLight = 0;
            for (int y = lay.floorRow; y < lay.floorRow + 150; ++y) {
                for (int x = 0; x < image.width; x += 4) {
                    const Color c = straightColor(image, x, y);
                    floorLight += (c.r + c.g + c.b) / 3;
                }
            }
            floorLight /= 150.0 * (image.width / 4);
            EXPECT_GT(floorLight, 0.15) << "stage " << s << " tile " << t + 1;
            // The floor line is where the scene changes: the band above it differs from the
            // band below it.
            double change = 0;
            for (int x = 0; x < image.width; x += 4) {
                change += colourDistance(pixelAt(image, x, lay.floorRow - 30), pixelAt(image, x, lay.floorRow + 30));
            }
            EXPECT_GT(change / (image.width / 4), 0.03) << "stage " << s << " tile " << t + 1;
        }
    }
}

TEST_F(StageTiles, EachStageHasItsOwnLook) {
    // Mean colour of each stage's first tile: three scenes, three palettes.
    Color mean[3];
    for (int s = 1; s <= kStageCount; ++s) {
        const Image image = tile(s, 0);
        Color m{0, 0, 0, 1};
        for (const Color& c : image.pixels) m = Color{m.r + c.r, m.g + c.g, m.b + c.b, 1};
        const float n = float(image.pixels.size());
        mean[s - 1] = Color{m.r / n, m.g / n, m.b / n, 1};
    }
    EXPECT_GT(colourDistance(mean[0], mean[1]), 0.05f);
    EXPECT_GT(colourDistance(mean[1], mean[2]), 0.05f);
    EXPECT_GT(colourDistance(mean[0], mean[2]), 0.05f);
}

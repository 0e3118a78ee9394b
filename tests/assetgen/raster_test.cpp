// Rasteriser coverage, compositing, cropping, frame placement and PNG round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "frame_geometry.h"
#include "png_writer.h"
#include "raster.h"

namespace {

float totalCoverage(int w, int h, const Path& path) {
    float sum = 0;
    for (float c : coverageOf(w, h, path)) sum += c;
    return sum;
}

std::string scratchFile(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / "assetgen_tests";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

}  // namespace

TEST(Raster, CoverageEqualsAreaForFractionalShapes) {
    // A rectangle with fractional edges, a circle and a thin sliver: the summed coverage is the area.
    EXPECT_NEAR(totalCoverage(40, 40, {rectContour(3.25f, 4.5f, 10.5f, 7.75f)}), 10.5f * 7.75f, 0.01f);
    EXPECT_NEAR(totalCoverage(64, 64, {circleContour({32, 32}, 20)}), 3.14159f * 400, 400 * 0.015f);
    EXPECT_NEAR(totalCoverage(20, 20, {rectContour(2, 2, 0.3f, 10)}), 3.0f, 0.01f);
    // A diagonal triangle (half of a square).
    EXPECT_NEAR(totalCoverage(30, 30, {polygonContour({{2, 2}, {22, 2}, {2, 22}})}), 200.0f, 0.05f);
}

TEST(Raster, PartiallyCoveredPixelsAreAntiAliased) {
    const std::vector<float> mask = coverageOf(10, 4, {rectContour(2.5f, 0, 5, 4)});
    EXPECT_NEAR(mask[2], 0.5f, 1e-4f);   // left edge pixel half covered
    EXPECT_NEAR(mask[3], 1.0f, 1e-4f);
    EXPECT_NEAR(mask[7], 0.5f, 1e-4f);   // right edge
    EXPECT_NEAR(mask[8], 0.0f, 1e-4f);
}

TEST(Raster, OverlapsCountOnceAndHolesCut) {
    // Two overlapping squares of opposite orientation still form a union.
    Contour a = rectContour(0, 0, 10, 10);
    Contour b = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
    EXPECT_NEAR(totalCoverage(20, 20, {a, b}), 175.0f, 0.05f);
    // A ring: outer circle minus the inner one.
    Image ring = makeImage(50, 50);
    strokeCircle(ring, {25, 25}, 15, 4, solid(Color{1, 1, 1, 1}));
    EXPECT_NEAR(pixelAt(ring, 25, 25).a, 0.0f, 1e-4f);
    EXPECT_NEAR(pixelAt(ring, 40, 25).a, 1.0f, 1e-3f);
}

TEST(Raster, ShapesOutsideTheImageAreClipped) {
    Image image = makeImage(16, 16);
    fillRect(image, -30, -30, 40, 40, solid(Color{1, 0, 0, 1}));
    EXPECT_NEAR(pixelAt(image, 0, 0).a, 1.0f, 1e-4f);
    EXPECT_NEAR(pixelAt(image, 9, 9).a, 1.0f, 1e-4f);
    EXPECT_NEAR(pixelAt(image, 10, 10).a, 0.0f, 1e-4f);
    fillCircle(image, {100, 100}, 5, solid(Color{1, 1, 1, 1}));  // wholly outside: no effect
    EXPECT_NEAR(pixelAt(image, 15, 15).a, 0.0f, 1e-4f);
}

TEST(Raster, CapsuleHasRoundCapsAndFullWidth) {
    // A horizontal thick line from (10,10) to (30,10), 6 px wide: area = rectangle + two half discs.
    EXPECT_NEAR(totalCoverage(50, 30, {capsuleContour({10, 10}, {30, 10}, 6)}), 20 * 6 + 3.14159f * 9, 1.0f);
}

TEST(Raster, GradientsInterpolateBetweenTheirEnds) {
    const Paint p = linearGradient({0, 0}, Color{0, 0, 0, 1}, {10, 0}, Color{1, 1, 1, 1});
    EXPECT_NEAR(paintAt(p, 5, 3).r, 0.5f, 1e-4f);
    EXPECT_NEAR(paintAt(p, -5, 0).r, 0.0f, 1e-4f);
    const Paint r = radialGradient({0, 0}, 10, Color{1, 0, 0, 1}, Color{0, 0, 1, 1});
    EXPECT_NEAR(paintAt(r, 6, 8).b, 1.0f, 1e-4f);
}

TEST(Raster, CropToVisibleKeepsAMarginAndReportsTheOrigin) {
    Image image = makeImage(100, 80);
    fillRect(image, 20, 30, 10, 5, solid(Color{1, 1, 1, 1}));
    PixelBox box;
    const Image crop = cropToVisible(image, 1, &box);
    EXPECT_EQ(box.x, 19);
    EXPECT_EQ(box.y, 29);
    EXPECT_EQ(crop.width, 12);
    EXPECT_EQ(crop.height, 7);
}

TEST(FrameGeometry, PlacementFollowsTheFeetRule) {
    const FramePlacement p = placementFor(261, 130, 195);
    EXPECT_EQ(p.shiftX, 350450);
    EXPECT_EQ(p.shiftY, 425);
    EXPECT_TRUE(placementFits(261, 130));
    EXPECT_FALSE(placementFits(1200, 100));
}

TEST(FrameGeometry, WrittenFramePlacesTheFeetPoint) {
    Image canvas = makeImage(600, 400);
    fillRect(canvas, 250, 200, 101, 100, solid(Color{1, 1, 1, 1}));  // feet at the bottom centre (300.5, 300)
    const std::string dir = std::filesystem::path(scratchFile("x")).parent_path().string();
    FramePlacement p;
    ASSERT_TRUE(writeFramePicture(dir, "frame_probe", ".png", canvas, 300, 300, p));
    Image back;
    ASSERT_TRUE(readPng(dir + "/frame_probe.png", back));
    EXPECT_EQ(back.width, 103);  // 101 px plus the 1 px margins
    EXPECT_EQ(p.shiftX, placementFor(103, 51, 101).shiftX);
    EXPECT_EQ(p.shiftY, 620 - 101);
}

TEST(PngWriter, RoundTripKeepsSizeAndColours) {
    Image image = makeImage(7, 5);
    pixelAt(image, 3, 2) = Color{0.5f, 0.25f, 0.0f, 0.5f};  // premultiplied: straight (1, 0.5, 0)
    const std::string path = scratchFile("alpha.png");
    ASSERT_TRUE(writePng(path, image, PngMode::Alpha));
    Image back;
    ASSERT_TRUE(readPng(path, back));
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 5);
    const Color c = straightColor(back, 3, 2);
    EXPECT_NEAR(c.r, 1.0f, 0.01f);
    EXPECT_NEAR(c.g, 0.5f, 0.01f);
    EXPECT_NEAR(c.a, 0.5f, 0.01f);
}

TEST(PngWriter, ColourKeyModeKeepsSolidDarkPixelsVisible) {
    Image image = makeImage(3, 1);
    pixelAt(image, 0, 0) = Color{0, 0, 0, 1};  // solid black must not turn transparent
    pixelAt(image, 1, 0) = Color{0, 0, 0, 0};  // transparent becomes the black key
    pixelAt(image, 2, 0) = Color{1, 1, 1, 1};
    const std::string path = scratchFile("key.png");
    ASSERT_TRUE(writePng(path, image, PngMode::ColorKey));
    Image back;
    ASSERT_TRUE(readPng(path, back));
    const Color solidDark = straightColor(back, 0, 0);
    EXPECT_GT(solidDark.r + solidDark.g + solidDark.b, 0.0f);
    const Color key = straightColor(back, 1, 0);
    EXPECT_EQ(key.r + key.g + key.b, 0.0f);
    EXPECT_NEAR(straightColor(back, 2, 0).r, 1.0f, 1e-4f);
}

TEST(PngWriter, SameImageGivesSameBytes) {
    Image image = makeImage(64, 64);
    fillCircle(image, {32, 32}, 20, radialGradient({30, 30}, 25, rgb(255, 200, 100), rgb(20, 40, 200)));
    const std::string a = scratchFile("same_a.png"), b = scratchFile("same_b.png");
    ASSERT_TRUE(writePng(a, image, PngMode::Alpha));
    ASSERT_TRUE(writePng(b, image, PngMode::Alpha));
    EXPECT_EQ(std::filesystem::file_size(a), std::filesystem::file_size(b));
}

// Images and drawing: the four drawing modes, shapes, image copies, PNG round trips.
#include "headless_fixture.h"

#include <filesystem>

using DrawingTest = HeadlessScreen;

namespace {
uint32_t pixelAt(int64_t image, int64_t x, int64_t y) {
    const Bitmap* bitmap = imageBitmap(image);
    return bitmap->pixels[size_t(y * bitmap->width + x)];
}
} // namespace

TEST_F(DrawingTest, EachModeWritesWhatItShould) {
    ASSERT_TRUE(createImage(1, 4, 1, 32, RGBA(0, 0, 255, 255)));
    ASSERT_TRUE(beginDrawing(imageOutput(1)));
    setDrawingMode(kDrawPlain);
    fillBox(0, 0, 1, 1, RGBA(10, 20, 30, 0)); // plain colour is opaque whatever its alpha
    setDrawingMode(kDrawAlphaOnly);
    fillBox(1, 0, 1, 1, RGBA(255, 255, 255, 77)); // only the alpha changes
    setDrawingMode(kDrawExact);
    fillBox(2, 0, 1, 1, RGBA(1, 2, 3, 4));
    setDrawingMode(kDrawBlend);
    fillBox(3, 0, 1, 1, RGBA(255, 0, 0, 128)); // half red over opaque blue
    endDrawing();
    EXPECT_EQ(pixelAt(1, 0, 0), 0xFF0A141Eu);
    EXPECT_EQ(pixelAt(1, 1, 0), 0x4D0000FFu);
    EXPECT_EQ(pixelAt(1, 2, 0), 0x04010203u);
    uint32_t blended = pixelAt(1, 3, 0);
    EXPECT_EQ(blended >> 24, 255u);
    EXPECT_NEAR(double((blended >> 16) & 255), 128, 1);
    EXPECT_NEAR(double(blended & 255), 127, 1);
}

TEST_F(DrawingTest, BlendingOntoTransparencyKeepsTheColour) {
    ASSERT_TRUE(createImage(1, 1, 1, 32, 0));
    ASSERT_TRUE(beginDrawing(imageOutput(1)));
    setDrawingMode(kDrawBlend);
    fillBox(0, 0, 1, 1, RGBA(9, 9, 9, 108));
    fillBox(0, 0, 1, 1, RGBA(1, 1, 1, 28));
    endDrawing();
    uint32_t p = pixelAt(1, 0, 0);
    EXPECT_NEAR(double(p >> 24), 108 + 28 * (255 - 108) / 255.0, 1);
    EXPECT_GT(p & 255, 1u);
    EXPECT_LT(p & 255, 9u);
}

TEST_F(DrawingTest, ShapesStayInsideTheTarget) {
    ASSERT_TRUE(createImage(1, 9, 9, 32, 0));
    ASSERT_TRUE(beginDrawing(imageOutput(1)));
    fillCircle(4, 4, 2, RGB(255, 0, 0));
    fillEllipse(0, 0, 30, 1, RGB(0, 255, 0)); // reaches far past the edges
    fillBox(-5, 8, 100, 10, RGB(0, 0, 255));
    endDrawing();
    EXPECT_EQ(pixelAt(1, 4, 4), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(1, 6, 4), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(1, 6, 6), 0u); // the circle's corner is outside it
    EXPECT_EQ(pixelAt(1, 8, 0), 0xFF00FF00u);
    EXPECT_EQ(pixelAt(1, 0, 8), 0xFF0000FFu);
    EXPECT_EQ(beginDrawing(imageOutput(42)), 0);
    fillBox(0, 0, 1, 1, 0); // no target: nothing happens
}

TEST_F(DrawingTest, ImagesCopyWithAndWithoutAlphaAndGrabInside) {
    ASSERT_TRUE(createImage(1, 2, 1, 32, RGBA(255, 0, 0, 0)));
    ASSERT_TRUE(createImage(2, 4, 4, 32, RGBA(0, 0, 255, 255)));
    ASSERT_TRUE(beginDrawing(imageOutput(2)));
    drawImageAlpha(imageHandle(1), 0, 0); // wholly transparent: nothing changes
    drawImage(imageHandle(1), 0, 1);      // copied opaque
    endDrawing();
    EXPECT_EQ(pixelAt(2, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(2, 0, 1), 0xFFFF0000u);
    EXPECT_EQ(grabImage(2, 3, 0, 1, 2, 2), 1);
    EXPECT_EQ(imageWidth(3), 2);
    EXPECT_EQ(pixelAt(3, 1, 0), 0xFFFF0000u);
    EXPECT_EQ(grabImage(2, 4, 3, 3, 2, 2), 0); // reaches outside
    EXPECT_EQ(imageExists(4), 0);
}

TEST_F(DrawingTest, PngRoundTripKeepsPixelsAndAlpha) {
    ASSERT_TRUE(createImage(1, 3, 2, 32, RGBA(10, 200, 30, 128)));
    const Bitmap* bitmap = imageBitmap(1);
    ASSERT_TRUE(savePng("drawing_roundtrip.png", bitmap->width, bitmap->height,
                        bitmap->pixels.data()));
    ASSERT_EQ(loadImage(2, "drawing_roundtrip.png"), 1);
    EXPECT_EQ(imageDepth(2), 32);
    EXPECT_EQ(pixelAt(2, 2, 1), pixelAt(1, 2, 1));
    // A sprite loaded without the alpha flag is keyed: all opaque but its black.
    ASSERT_EQ(loadSprite(7, "drawing_roundtrip.png", 0), 1);
    EXPECT_EQ(spritePixelAlpha(7, 0, 0), 255);
    ASSERT_EQ(loadSprite(8, "drawing_roundtrip.png", kSpriteAlpha), 1);
    EXPECT_EQ(spritePixelAlpha(8, 0, 0), 128);
    std::filesystem::remove("drawing_roundtrip.png");
    // Broken files are refused, not crashed on.
    ASSERT_TRUE(replaceFileAtomically("broken.png", "\x89PNG\r\n\x1a\n garbage"));
    EXPECT_EQ(loadImage(3, "broken.png"), 0);
    EXPECT_EQ(loadSprite(9, "broken.png", 8), 0);
    std::filesystem::remove("broken.png");
}

TEST_F(DrawingTest, DrawingIntoASpriteKeysItsColourAndUploads) {
    ASSERT_TRUE(createSprite(1, 3, 1));
    setSpriteTransparentColour(1, RGB(0, 255, 0));
    ASSERT_TRUE(beginDrawing(spriteOutput(1)));
    fillBox(0, 0, 1, 1, RGB(0, 255, 0)); // the key colour: transparent after drawing
    fillBox(1, 0, 1, 1, RGB(0, 0, 0));   // black is no longer the key
    DrawingBuffer buffer = drawingBuffer();
    ASSERT_EQ(buffer.width, 3);
    buffer.pixels[2] = 0xFFFFFFFFu;      // direct pixel work
    endDrawing();
    EXPECT_EQ(spritePixelAlpha(1, 0, 0), 0);
    EXPECT_EQ(spritePixelAlpha(1, 1, 0), 255);
    clearScreen(RGB(0, 0, 255));
    drawSpriteBlended(1, 0, 0);
    EXPECT_EQ(screenPixel(0, 0), 0x0000FFu);
    EXPECT_EQ(screenPixel(1, 0), 0u);
    EXPECT_EQ(screenPixel(2, 0), 0xFFFFFFu);
}

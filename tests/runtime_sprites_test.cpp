// Sprites: pixel-exact touching with zoom and mirroring, tinted display, clip and zoom, culling.
#include "headless_fixture.h"
#include "runtime/blend.h"
#include "runtime/stretch.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using SpriteTest = HeadlessScreen;

TEST_F(SpriteTest, TouchFollowsDisplayedSizeAndNeedsMasks) {
    makeDotSprite(1, 4, 4, {{3, 3}});
    makeDotSprite(2, 1, 1, {{0, 0}});
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 3, 3), 1);
    EXPECT_EQ(spritesTouch(2, 3, 3, 1, 0, 0), 1);
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 2, 2), 0); // overlapping rectangles, transparent there
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 4, 4), 0); // rectangles apart
    // Zoomed to twice the size, the opaque pixel covers displayed pixels 6 and 7.
    zoomSprite(1, 8, 8);
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 3, 3), 0);
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 6, 6), 1);
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 7, 7), 1);
    EXPECT_EQ(spritesTouch(1, 10, 20, 2, 17, 27), 1);
    // Shrunk to half, displayed pixel 1 maps back to own pixel 2 (truncating): the dot at
    // own pixel 3 is never sampled, one at 2 is.
    zoomSprite(1, 2, 2);
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 1, 1), 0);
    makeDotSprite(4, 4, 4, {{2, 2}});
    zoomSprite(4, 2, 2);
    EXPECT_EQ(spritesTouch(4, 0, 0, 2, 1, 1), 1);
    EXPECT_EQ(spritesTouch(4, 0, 0, 2, 0, 0), 0);
    // Without the mask flag a sprite never touches.
    makeDotSprite(3, 4, 4, {{3, 3}}, kSpriteAlpha);
    EXPECT_EQ(spritesTouch(3, 0, 0, 2, 3, 3), 0);
}

TEST_F(SpriteTest, MirroredSpriteTouchesAndDrawsMirrored) {
    makeDotSprite(1, 4, 1, {{0, 0}});
    makeDotSprite(2, 1, 1, {{0, 0}});
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 0, 0), 1);
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 3, 0), 0);
    transformSprite(1, 3, 0, 0, 0, 0, 0, 3, 0); // mirrored left to right
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 0, 0), 0);
    EXPECT_EQ(spritesTouch(1, 0, 0, 2, 3, 0), 1);

    clearScreen(0);
    drawSpriteBlended(1, 10, 5);
    EXPECT_EQ(screenPixel(13, 5), 0xFFFFFFu);
    EXPECT_EQ(screenPixel(10, 5), 0u);
    transformSprite(1, 0, 0, 3, 0, 3, 0, 0, 0); // plain again
    clearScreen(0);
    drawSpriteBlended(1, 10, 5);
    EXPECT_EQ(screenPixel(10, 5), 0xFFFFFFu);
    EXPECT_EQ(screenPixel(13, 5), 0u);
}

TEST_F(SpriteTest, TintDrawsASilhouetteWithTheSpritesShape) {
    ASSERT_TRUE(createSprite(1, 2, 1, kSpriteAlpha));
    ASSERT_TRUE(beginDrawing(spriteOutput(1)));
    setDrawingMode(kDrawExact);
    fillBox(0, 0, 1, 1, RGBA(255, 0, 0, 255));
    endDrawing();
    clearScreen(RGB(0, 0, 255));
    drawSpriteBlended(1, 10, 10, 255, RGB(0, 255, 0));
    EXPECT_EQ(screenPixel(10, 10), 0x00FF00u);       // the tint replaces the red
    EXPECT_EQ(screenPixel(11, 10), 0x0000FFu);       // transparent stays transparent
    clearScreen(0);
    drawSpriteBlended(1, 10, 10, 128, RGB(0, 255, 0));
    uint32_t half = screenPixel(10, 10);
    EXPECT_NEAR(double((half >> 8) & 255), 128, 2); // intensity scales the alpha
    EXPECT_EQ(half & 0xFF00FFu, 0u);
    clearScreen(0);
    drawSpriteBlended(1, 10, 10); // no tint: its own colour
    EXPECT_EQ(screenPixel(10, 10), 0xFF0000u);
    clearScreen(RGB(0, 0, 255));
    drawSpriteBlended(1, 10, 10, 0);                // no intensity, tinted or not: unchanged
    drawSpriteBlended(1, 10, 10, 0, RGB(0, 255, 0));
    EXPECT_EQ(screenPixel(10, 10), 0x0000FFu);
}

TEST_F(SpriteTest, OpaqueDisplayReplacesAndKeyedPixelsShowBlack) {
    ASSERT_TRUE(createSprite(1, 2, 1)); // keyed on black: starts wholly transparent
    EXPECT_EQ(spritePixelAlpha(1, 0, 0), 0);
    ASSERT_TRUE(beginDrawing(spriteOutput(1)));
    fillBox(0, 0, 1, 1, RGB(200, 100, 50));
    endDrawing();
    EXPECT_EQ(spritePixelAlpha(1, 0, 0), 255);
    EXPECT_EQ(spritePixelAlpha(1, 1, 0), 0);
    clearScreen(RGB(255, 255, 255));
    drawSprite(1, 0, 0);
    EXPECT_EQ(screenPixel(0, 0), 0xC86432u);
    EXPECT_EQ(screenPixel(1, 0), 0u); // not blended: the transparent pixel is black
    clearScreen(RGB(255, 255, 255));
    drawSpriteBlended(1, 0, 0);
    EXPECT_EQ(screenPixel(1, 0), 0xFFFFFFu);
}

TEST_F(SpriteTest, ClipAndZoomResetAndEdges) {
    ASSERT_TRUE(createSprite(1, 10, 6));
    EXPECT_EQ(spriteWidth(1), 10);
    zoomSprite(1, 20, 30);
    EXPECT_EQ(spriteWidth(1), 20);
    EXPECT_EQ(spriteHeight(1), 30);
    zoomSprite(1, -1, -1);
    EXPECT_EQ(spriteWidth(1), 10);
    EXPECT_EQ(spriteHeight(1), 6);
    clipSprite(1, 2, 1, 4, 3);
    EXPECT_EQ(spriteWidth(1), 4);
    EXPECT_EQ(spriteHeight(1), 3);
    clipSprite(1, 8, 4, 5, 5); // cut at the sprite's edge
    EXPECT_EQ(spriteWidth(1), 2);
    EXPECT_EQ(spriteHeight(1), 2);
    clipSprite(1, -1, -1, -1, -1);
    EXPECT_EQ(spriteWidth(1), 10);
    EXPECT_EQ(spriteHeight(1), 6);
    // Absent sprites answer 0 and ignore actions.
    zoomSprite(99, 5, 5);
    EXPECT_EQ(spriteWidth(99), 0);
    EXPECT_EQ(spriteExists(99), 0);
}

TEST_F(SpriteTest, ClippedSpriteShowsOnlyItsRectangle) {
    makeDotSprite(1, 4, 1, {{0, 0}, {2, 0}});
    clipSprite(1, 2, 0, 2, 1);
    clearScreen(0);
    drawSpriteBlended(1, 0, 0);
    EXPECT_EQ(screenPixel(0, 0), 0xFFFFFFu); // own pixel 2
    EXPECT_EQ(screenPixel(1, 0), 0u);
    EXPECT_EQ(screenPixel(2, 0), 0u);        // nothing beyond the clip
}

TEST_F(SpriteTest, IdsPickedFreedAndReplaced) {
    int64_t picked = createSprite(-1, 3, 3);
    EXPECT_GT(picked, 1000);
    EXPECT_EQ(spriteExists(picked), 1);
    ASSERT_EQ(createSprite(5, 3, 3), 1);
    ASSERT_EQ(createSprite(5, 7, 2), 1); // the old sprite 5 is replaced
    EXPECT_EQ(spriteWidth(5), 7);
    freeSprite(-1);
    EXPECT_EQ(spriteExists(5), 0);
    EXPECT_EQ(spriteExists(picked), 0);
    EXPECT_EQ(loadSprite(6, "no/such/file.png", 8), 0);
    EXPECT_EQ(spriteExists(6), 0);
}

TEST_F(SpriteTest, SpritesSurviveANewScreen) {
    makeDotSprite(1, 2, 2, {{0, 0}});
    ASSERT_TRUE(openWindow(1, 0, 0, 32, 32, "test", kWindowBorderless));
    ASSERT_TRUE(openWindowedScreen(windowHandle(1), 0, 0, 32, 32, 0, 0, 0, 0));
    clearScreen(0);
    drawSpriteBlended(1, 3, 3);
    EXPECT_EQ(screenPixel(3, 3), 0xFFFFFFu);
}

TEST_F(SpriteTest, LoadedSpritesKeepOnlyTheirAlphaAndReadTheirFileWhenNeeded) {
    ASSERT_TRUE(createImage(1, 4, 2, 32, RGBA(0, 200, 0, 255)));
    ASSERT_TRUE(beginDrawing(imageOutput(1)));
    setDrawingMode(kDrawExact);
    fillBox(0, 0, 1, 1, RGBA(0, 0, 0, 0));
    endDrawing();
    const Bitmap* image = imageBitmap(1);
    ASSERT_TRUE(savePng("sprite_loaded.png", image->width, image->height, image->pixels.data()));
    ASSERT_EQ(loadSprite(2, "sprite_loaded.png", kSpriteAlpha | kSpriteMask), 1);
    EXPECT_EQ(spriteCpuBytes(), 4 * 2); // one byte of alpha per pixel
    EXPECT_EQ(spritePixelAlpha(2, 0, 0), 0);
    EXPECT_EQ(spritePixelAlpha(2, 1, 0), 255);
    // A new screen uploads it again from its file.
    ASSERT_TRUE(openWindow(1, 0, 0, 32, 32, "test", kWindowBorderless));
    ASSERT_TRUE(openWindowedScreen(windowHandle(1), 0, 0, 32, 32, 0, 0, 0, 0));
    clearScreen(0);
    drawSpriteBlended(2, 0, 0);
    EXPECT_EQ(screenPixel(1, 0), 0x00C800u);
    EXPECT_EQ(screenPixel(0, 0), 0u);
    // Drawing into it brings its colours back; it then keeps them.
    ASSERT_TRUE(beginDrawing(spriteOutput(2)));
    fillBox(3, 1, 1, 1, RGB(255, 0, 0));
    endDrawing();
    clearScreen(0);
    drawSpriteBlended(2, 0, 0);
    EXPECT_EQ(screenPixel(2, 1), 0x00C800u);
    EXPECT_EQ(screenPixel(3, 1), 0xFF0000u);
    std::remove("sprite_loaded.png");
}

namespace {
int64_t visiblePixels(int64_t sprite) {
    int64_t visible = 0;
    for (int64_t y = 0; y < spriteOwnHeight(sprite); ++y)
        for (int64_t x = 0; x < spriteOwnWidth(sprite); ++x) visible += spritePixelAlpha(sprite, x, y) != 0;
    return visible;
}
} // namespace

TEST_F(SpriteTest, AlphaSpritesKeepTheirBlackPixelsOnANewScreen) {
    // Opaque black on the left, transparent on the right, opaque white at the bottom right.
    ASSERT_TRUE(createImage(1, 4, 2, 32, RGBA(0, 0, 0, 255)));
    ASSERT_TRUE(beginDrawing(imageOutput(1)));
    setDrawingMode(kDrawExact);
    fillBox(2, 0, 2, 2, RGBA(0, 0, 0, 0));
    fillBox(3, 1, 1, 1, RGBA(255, 255, 255, 255));
    endDrawing();
    const Bitmap* image = imageBitmap(1);
    ASSERT_TRUE(savePng("black_alpha.png", image->width, image->height, image->pixels.data()));
    ASSERT_EQ(loadSprite(2, "black_alpha.png", kSpriteAlpha), 1);
    ASSERT_EQ(loadSprite(3, "black_alpha.png"), 1); // keyed on black
    EXPECT_EQ(visiblePixels(2), 5);
    EXPECT_EQ(visiblePixels(3), 1);
    // The screen is opened again (a new screen size): the textures come from the file again.
    ASSERT_TRUE(openWindowedScreen(windowHandle(1), 0, 0, 32, 24, 0, 0, 0, 0));
    EXPECT_EQ(visiblePixels(2), 5);
    EXPECT_EQ(visiblePixels(3), 1);
    clearScreen(RGB(0, 0, 255));
    drawSpriteBlended(2, 0, 0);
    EXPECT_EQ(screenPixel(0, 0), 0u);        // black stays black
    EXPECT_EQ(screenPixel(2, 0), 0x0000FFu); // transparent shows the screen
    drawSpriteBlended(3, 0, 4);
    EXPECT_EQ(screenPixel(0, 4), 0x0000FFu); // keyed black is transparent
    EXPECT_EQ(screenPixel(3, 5), 0xFFFFFFu);
    std::remove("black_alpha.png");
}

// Many sprites loaded at once (their files decoded on every core) are the sprites loadSprite
// makes one by one: the same sizes, pixels, keying and masks; a file that fails is left out.
TEST_F(SpriteTest, SpritesLoadedTogetherAreThoseLoadedOneByOne) {
    std::vector<SpriteFile> files;
    for (int64_t i = 0; i < 12; ++i) {
        int64_t width = 3 + i, height = 2 + i % 4;
        ASSERT_TRUE(createImage(1, width, height, 32, RGBA(10 * i, 200, 0, 255)));
        ASSERT_TRUE(beginDrawing(imageOutput(1)));
        setDrawingMode(kDrawExact);
        fillBox(0, 0, 1, 1, RGBA(0, 0, 0, 0));       // transparent
        fillBox(1, 0, 1, 1, RGBA(0, 0, 0, 255));     // black: the key of a keyed sprite
        fillBox(2, 1, 1, 1, RGBA(90, 90, 90, 100));  // half transparent
        endDrawing();
        const Bitmap* image = imageBitmap(1);
        std::string path = "together" + std::to_string(i) + ".png";
        ASSERT_TRUE(savePng(path, image->width, image->height, image->pixels.data()));
        int64_t flags = i % 3 == 0 ? 0 : i % 3 == 1 ? kSpriteAlpha : kSpriteAlpha | kSpriteMask;
        files.push_back({100 + i, path, flags});
    }
    files.push_back({200, "no/such/picture.png", 0});
    EXPECT_EQ(loadSprites(files), 12);
    EXPECT_EQ(spriteExists(200), 0);
    for (int64_t i = 0; i < 12; ++i) {
        const SpriteFile& file = files[size_t(i)];
        ASSERT_EQ(loadSprite(300 + i, file.path, file.flags), 1);
        ASSERT_EQ(spriteOwnWidth(100 + i), spriteOwnWidth(300 + i));
        ASSERT_EQ(spriteOwnHeight(100 + i), spriteOwnHeight(300 + i));
        EXPECT_EQ(spriteFlags(100 + i), spriteFlags(300 + i));
        for (int64_t y = 0; y < spriteOwnHeight(100 + i); ++y)
            for (int64_t x = 0; x < spriteOwnWidth(100 + i); ++x)
                EXPECT_EQ(spritePixelAlpha(100 + i, x, y), spritePixelAlpha(300 + i, x, y));
        auto shown = [](int64_t sprite) { // blended, and copied below
            clearScreen(RGB(0, 0, 255));
            drawSpriteBlended(sprite, 0, 0);
            drawSprite(sprite, 0, 10);
            std::vector<uint32_t> pixels;
            for (int64_t y = 0; y < 20; ++y)
                for (int64_t x = 0; x < 16; ++x) pixels.push_back(screenPixel(x, y));
            return pixels;
        };
        EXPECT_EQ(shown(100 + i), shown(300 + i)) << file.path;
        std::remove(file.path.c_str());
    }
    EXPECT_EQ(loadSprites({}), 0);
}

// A sprite keeps its last few tints: drawn in turn in more tints than it keeps, and again in
// the first, it shows each tint as drawn alone on a fresh sprite.
TEST_F(SpriteTest, TintsDrawnInTurnShowAsEachAlone) {
    auto makeSprite = [](int64_t id) {
        ASSERT_TRUE(createSprite(id, 2, 1, kSpriteAlpha));
        ASSERT_TRUE(beginDrawing(spriteOutput(id)));
        setDrawingMode(kDrawExact);
        fillBox(0, 0, 1, 1, RGBA(255, 0, 0, 255));
        fillBox(1, 0, 1, 1, RGBA(255, 0, 0, 0));
        endDrawing();
    };
    makeSprite(1);
    const int64_t tints[][2] = {{RGB(0, 255, 0), 128}, {RGB(255, 255, 0), 128},
                                {RGB(255, 0, 0), 40},  {RGB(0, 255, 0), 200},
                                {RGB(0, 255, 0), 128}, {RGB(255, 255, 0), 128}};
    for (int round = 0; round < 3; ++round)
        for (const auto& [tint, intensity] : tints) {
            clearScreen(RGB(0, 0, 90));
            drawSpriteBlended(1, 10, 10, intensity, tint);
            uint32_t kept = screenPixel(10, 10);
            freeSprite(2);
            makeSprite(2);
            clearScreen(RGB(0, 0, 90));
            drawSpriteBlended(2, 10, 10, intensity, tint);
            EXPECT_EQ(kept, screenPixel(10, 10)) << "tint " << tint << " at " << intensity;
            EXPECT_EQ(screenPixel(11, 10), 0x00005Au); // transparent stays transparent
        }
}

namespace {
// A picture of every kind of pixel: colours that change from pixel to pixel, alphas from
// transparent to opaque, transparent margins (the top row, the last column) and a transparent
// column inside; drawn into a sprite or an image.
void drawPattern(int64_t output, int64_t width, int64_t height) {
    ASSERT_TRUE(beginDrawing(output));
    setDrawingMode(kDrawExact);
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x)
            fillBox(x, y, 1, 1,
                    RGBA(37 * x + 11 * y, 255 - 29 * y, 90 * (x ^ y), x == 2 || x == 6 || y == 0 ? 0 : 40 * x + 23 * y + 15));
    endDrawing();
}

struct ScaledDraw {
    const char* what;
    int64_t sprite;
    int64_t clipX, clipY, clipWidth, clipHeight; // -1: the whole picture
    int64_t width, height;                       // displayed size
    int64_t x, y;
    int64_t intensity; // -1: drawn opaque (drawSprite)
    int64_t tint;
    double angle = 0; // degrees clockwise
};

// The screen after one draw on a screen of the given size, cleared first to a colour, read
// within the test screen's rectangle at (offset, offset).
std::vector<uint32_t> drawnScreen(const ScaledDraw& d, int64_t screenWidth, int64_t screenHeight,
                                  int64_t offset) {
    EXPECT_TRUE(openWindowedScreen(windowHandle(1), 0, 0, screenWidth, screenHeight, 0, 0, 0, 0));
    clipSprite(d.sprite, d.clipX, d.clipY, d.clipWidth, d.clipHeight);
    zoomSprite(d.sprite, d.width, d.height);
    rotateSprite(d.sprite, d.angle, 0);
    clearScreen(RGB(30, 160, 220));
    if (d.intensity < 0) drawSprite(d.sprite, d.x + offset, d.y + offset);
    else drawSpriteBlended(d.sprite, d.x + offset, d.y + offset, d.intensity, d.tint);
    Bitmap screen;
    EXPECT_TRUE(readScreen(screen));
    std::vector<uint32_t> seen;
    for (int64_t y = 0; y < HeadlessScreen::kHeight; ++y)
        for (int64_t x = 0; x < HeadlessScreen::kWidth; ++x)
            seen.push_back(screen.pixels[size_t((y + offset) * screen.width + x + offset)]);
    return seen;
}
} // namespace

// A sprite turned by quarter turns, enlarged or not, faded or tinted, across an edge or not, is
// drawn as SDL's renderer turns it.
TEST_F(SpriteTest, TurnedSpritesDrawAsSdlTurnsThem) {
    ASSERT_TRUE(createSprite(1, 7, 5, kSpriteAlpha | kSpriteMask));
    drawPattern(spriteOutput(1), 7, 5);
    const int64_t w = kWidth;
    const ScaledDraw draws[] = {
        {"half a turn", 1, -1, -1, -1, -1, 30, 20, 10, 10, 255, kNoTint, 180},
        {"half a turn back, odd sides, faded", 1, -1, -1, -1, -1, 31, 22, 9, 8, 140, kNoTint, -180},
        {"a quarter, even sides", 1, -1, -1, -1, -1, 30, 20, 10, 10, 200, kNoTint, 90},
        {"a quarter, odd sides", 1, -1, -1, -1, -1, 31, 21, 10, 10, 200, kNoTint, 90},
        {"a quarter back", 1, -1, -1, -1, -1, 20, 30, 10, 10, 200, kNoTint, -90},
        {"three quarters", 1, -1, -1, -1, -1, 31, 21, 10, 10, 255, kNoTint, 270},
        {"its own size, half a turn", 1, -1, -1, -1, -1, 7, 5, 10, 10, 255, kNoTint, 180},
        {"its clip, square, a quarter", 1, 1, 0, 5, 5, 47, 47, 3, 1, 77, kNoTint, 90},
        {"tinted, across the edge", 1, -1, -1, -1, -1, 40, 30, -9, 25, 120, RGB(255, 40, 0), 180},
        {"a quarter across the corner", 1, -1, -1, -1, -1, 34, 26, w - 20, -7, 255, kNoTint, -90},
        {"sides an odd number apart (SDL's own)", 1, -1, -1, -1, -1, 33, 26, 10, 10, 255, kNoTint, 90},
    };
    for (const ScaledDraw& d : draws) {
        drawThroughSdlOnly(true);
        std::vector<uint32_t> reference = drawnScreen(d, kWidth, kHeight, 0);
        drawThroughSdlOnly(false);
        EXPECT_EQ(drawnScreen(d, kWidth, kHeight, 0), reference) << d.what;
    }
    rotateSprite(1, 0, 0);
}

// A sprite enlarged across the screen's edges or on it is drawn, pixel for pixel, as SDL's
// renderer draws it wholly on a larger screen, while only its part on the screen is stretched.
TEST_F(SpriteTest, EnlargedSpritesAcrossTheEdgesDrawAsOnALargerScreen) {
    ASSERT_TRUE(createSprite(1, 7, 5, kSpriteAlpha | kSpriteMask));
    drawPattern(spriteOutput(1), 7, 5);
    // The same picture loaded from a file keeps only its alpha until it is drawn this way.
    ASSERT_TRUE(createImage(1, 7, 5, 32, 0));
    drawPattern(imageOutput(1), 7, 5);
    const Bitmap* image = imageBitmap(1);
    ASSERT_TRUE(savePng("enlarged.png", image->width, image->height, image->pixels.data()));
    ASSERT_EQ(loadSprite(2, "enlarged.png", kSpriteAlpha | kSpriteMask), 1);
    const int64_t w = kWidth, h = kHeight;
    const ScaledDraw draws[] = {
        {"across the left edge", 1, -1, -1, -1, -1, 40, 33, -17, 6, 255, kNoTint},
        {"across the right edge", 1, -1, -1, -1, -1, 41, 30, w - 23, 9, 200, kNoTint},
        {"across the top edge", 1, -1, -1, -1, -1, 35, 44, 12, -29, 255, kNoTint},
        {"across the bottom edge", 1, -1, -1, -1, -1, 50, 27, 3, h - 5, 255, kNoTint},
        {"across the top left corner", 1, -1, -1, -1, -1, 90, 61, -55, -40, 128, kNoTint},
        {"across the bottom right corner", 1, -1, -1, -1, -1, 77, 52, w - 30, h - 20, 255, kNoTint},
        {"over the whole screen", 1, -1, -1, -1, -1, 7 * 20, 5 * 20, -40, -5, 25, kNoTint},
        {"shrunk across an edge", 1, -1, -1, -1, -1, 5, 3, -2, 10, 255, kNoTint},
        {"opaque, over the whole screen", 1, -1, -1, -1, -1, 131, 97, -37, -24, -1, kNoTint},
        {"tinted silhouette", 1, -1, -1, -1, -1, 60, 45, -20, h - 30, 180, RGB(255, 40, 0)},
        {"its clip only", 1, 2, 1, 4, 3, 70, 48, w - 45, -13, 255, kNoTint},
        {"loaded from a file", 2, -1, -1, -1, -1, 66, 71, -11, -29, 255, kNoTint},
        {"wholly on the screen", 1, -1, -1, -1, -1, 30, 20, 10, 10, 255, kNoTint},
        {"faded, wholly on the screen", 1, -1, -1, -1, -1, 33, 24, 4, 7, 150, kNoTint},
        {"opaque, wholly on the screen", 1, -1, -1, -1, -1, 29, 21, 12, 3, -1, kNoTint},
        {"tinted, wholly on the screen", 1, 1, 0, 5, 5, 26, 31, 8, 2, 90, RGB(200, 20, 240)},
        {"faded to 1, across the left edge", 1, -1, -1, -1, -1, 60, 40, -25, 3, 1, kNoTint},
        {"faded to 254, across the right edge", 1, -1, -1, -1, -1, 55, 47, w - 30, -4, 254, kNoTint},
        {"faded, over the whole screen", 1, -1, -1, -1, -1, 7 * 20, 5 * 20, -50, -8, 97, kNoTint},
        {"tinted, over the whole screen", 1, -1, -1, -1, -1, 7 * 20, 5 * 20, -45, -3, 255, RGB(20, 230, 90)},
        {"tinted and faded, across the top", 1, -1, -1, -1, -1, 49, 62, 5, -41, 60, RGB(250, 250, 250)},
        {"faded, loaded from a file", 2, 1, 1, 5, 4, 90, 80, -20, -30, 140, kNoTint},
        {"shrunk and faded across an edge", 1, -1, -1, -1, -1, 6, 4, w - 3, 20, 77, kNoTint},
    };
    const int64_t margin = 200; // the larger screen holds every draw whole
    for (const ScaledDraw& d : draws) {
        int64_t before = scaledPixelCount();
        std::vector<uint32_t> clipped = drawnScreen(d, w, h, 0);
        int64_t stretched = scaledPixelCount() - before;
        drawThroughSdlOnly(true); // the reference: SDL's own stretch of the whole picture
        EXPECT_EQ(clipped, drawnScreen(d, w + 2 * margin, h + 2 * margin, margin)) << d.what;
        drawThroughSdlOnly(false);
        // Only what lands on the screen is stretched (the whole of it when it fits); blended,
        // not even the transparent margins.
        int64_t shownWidth = std::min(d.x + d.width, w) - std::max<int64_t>(d.x, 0);
        int64_t shownHeight = std::min(d.y + d.height, h) - std::max<int64_t>(d.y, 0);
        if (d.intensity < 0) {
            EXPECT_EQ(stretched, shownWidth * shownHeight) << d.what;
        } else {
            EXPECT_LE(stretched, shownWidth * shownHeight) << d.what;
        }
        // The top row transparent, a twentyfold picture over the screen skips its top rows.
        if (d.width == 7 * 20) {
            EXPECT_LT(stretched, w * h) << d.what;
        }
    }
    std::remove("enlarged.png");
}

// The software renderer's blend of a pixel, against SDL's own blit of random pixels: every
// source alpha on every row, random screens, with and without alpha, under modulations that
// take either of SDL's paths.
TEST_F(SpriteTest, BlendedPixelsAreSdlsOwn) {
    const int64_t width = 256, height = 24;
    std::mt19937 random(77);
    std::vector<uint32_t> source(size_t(width * height)), screen(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        source[i] = (random() & 0x00FFFFFFu) | uint32_t(i % 256) << 24;
        screen[i] = random();
    }
    struct Case {
        const char* what;
        BlendModulation modulation;
    };
    const Case cases[] = {
        {"no modulation", {}},
        {"alpha 0", {255, 255, 255, 0}},
        {"alpha 1", {255, 255, 255, 1}},
        {"alpha 128", {255, 255, 255, 128}},
        {"alpha 254", {255, 255, 255, 254}},
        {"colour only", {200, 100, 50, 255}},
        {"one channel", {255, 254, 255, 255}},
        {"black, faded", {0, 0, 0, 33}},
        {"colour and alpha", {17, 255, 240, 77}},
    };
    for (bool keepsAlpha : {true, false})
        for (const Case& c : cases)
            EXPECT_EQ(blendDisagreements(source, screen, width, height, c.modulation, keepsAlpha), 0)
                << c.what << (keepsAlpha ? " on ARGB8888" : " on RGB888");
    EXPECT_TRUE(blendMatchesRenderer(true));
    EXPECT_TRUE(blendMatchesRenderer(false));
}

// Stretched and blended in one pass, a window gives the pixels of the window stretched alone
// (mirrored if asked) and then blended pixel by pixel; its transparent runs are not computed.
TEST(StretchBlend, OnePassIsTheStretchThenTheBlend) {
    // 6 x 4: the left two columns and the top row transparent, the rest of every alpha but
    // for a block of one colour (columns 3-5 of rows 2-3), as inside a filled shape.
    std::vector<uint32_t> picture(24);
    std::mt19937 random(5);
    for (int64_t y = 0; y < 4; ++y)
        for (int64_t x = 0; x < 6; ++x)
            picture[size_t(y * 6 + x)] = x < 2 || y == 0 ? 0u
                                         : x >= 3 && y >= 2 ? 0xC0A08060u
                                         : (random() & 0x00FFFFFFu) | uint32_t(40 * x + 50 * y) << 24;
    StretchSource source{picture.data(), 6, 4, 6};
    // The same alphas in one colour (a tint's silhouette), stretched as one: its alpha alone.
    std::vector<uint32_t> silhouette(picture.size());
    for (size_t i = 0; i < picture.size(); ++i) silhouette[i] = (picture[i] & 0xFF000000u) | 0x00C81E5Au;
    StretchSource wholeSilhouette{silhouette.data(), 6, 4, 6};
    StretchSource oneColour{silhouette.data(), 6, 4, 6, true, 0x00C81E5Au};
    struct Window {
        const char* what;
        int64_t outWidth, outHeight, x, y, width, height;
        BlendModulation modulation;
        bool keepsAlpha;
        StretchMirror mirror = {};
        bool silhouette = false;
    };
    const Window windows[] = {
        {"the whole output", 60, 40, 0, 0, 60, 40, {}, true},
        {"a window inside, faded", 90, 70, 13, 9, 50, 41, {255, 255, 255, 99}, true},
        {"its right part, tinted, no alpha", 77, 33, 40, 2, 37, 30, {30, 200, 90, 255}, false},
        {"shrunk", 4, 3, 0, 0, 4, 3, {255, 255, 255, 200}, false},
        {"enlarged 100 times, faded", 600, 400, 0, 0, 600, 400, {255, 255, 255, 140}, false},
        {"enlarged 100 times, as it is", 600, 400, 50, 50, 550, 350, {}, true},
        {"enlarged 100 times, tinted", 600, 400, 0, 0, 600, 400, {200, 90, 255, 255}, true},
        {"mirrored across, a window inside", 90, 70, 40, 9, 50, 41, {}, true, {true, false}},
        {"mirrored down, faded, no alpha", 77, 33, 40, 2, 37, 30, {255, 255, 255, 99}, false, {false, true}},
        {"mirrored both ways, shared among the cores", 700, 400, 0, 0, 700, 400, {}, true, {true, true}},
        {"one colour, faded, mirrored", 90, 70, 40, 9, 50, 41, {255, 255, 255, 99}, true, {true, false}, true},
        {"one colour, shrunk, no alpha", 4, 3, 0, 0, 4, 3, {255, 255, 255, 200}, false, {}, true},
    };
    for (const Window& w : windows) {
        std::vector<uint32_t> screen(size_t(w.width * w.height));
        for (uint32_t& p : screen) p = random();
        std::vector<uint32_t> whole(size_t(w.outWidth * w.outHeight)), stretched(screen.size()), expected = screen;
        stretchWindow(w.silhouette ? wholeSilhouette : source, w.outWidth, w.outHeight, 0, 0, w.outWidth,
                      w.outHeight, whole.data(), w.outWidth);
        for (int64_t y = 0; y < w.height; ++y)
            for (int64_t x = 0; x < w.width; ++x) {
                int64_t across = w.mirror.across ? w.outWidth - 1 - (w.x + x) : w.x + x;
                int64_t down = w.mirror.down ? w.outHeight - 1 - (w.y + y) : w.y + y;
                stretched[size_t(y * w.width + x)] = whole[size_t(down * w.outWidth + across)];
            }
        int64_t visible = 0;
        for (size_t i = 0; i < screen.size(); ++i) {
            expected[i] = blendPixel(stretched[i], screen[i], w.modulation, w.keepsAlpha);
            visible += stretched[i] >> 24 != 0;
        }
        int64_t computed = stretchBlendWindow(w.silhouette ? oneColour : source, w.outWidth, w.outHeight, w.x, w.y, w.width, w.height,
                                              screen.data(), w.width, w.modulation, w.keepsAlpha, w.mirror);
        EXPECT_EQ(screen, expected) << w.what;
        EXPECT_GE(computed, visible) << w.what;
        EXPECT_LT(computed, w.width * w.height) << w.what; // the transparent columns and row skipped
    }
}

// A sprite drawn blended at its own size is handed to the software blender only where it has
// visible pixels, its opaque runs copied, and the screen ends up as SDL blends it whole (the
// reference: the same draw as a plain quad, which SDL copies in one piece).
TEST_F(SpriteTest, BlendedSpritesDrawOnlyTheirVisiblePartsToTheSameScreen) {
    // 60 x 40: transparent but for an opaque block (50 columns, rows 8-23), a translucent
    // gradient below it with a transparent gap of 40 columns, and one faint pixel at the far
    // corner; every colour different.
    constexpr int64_t w = 60, h = 40;
    for (int64_t id : {1, 3}) { // 3: the reference's copy
        ASSERT_TRUE(createSprite(id, w, h, kSpriteAlpha));
        ASSERT_TRUE(beginDrawing(spriteOutput(id)));
        setDrawingMode(kDrawExact);
        fillBox(0, 0, w, h, RGBA(0, 0, 0, 0));
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x) {
                int64_t alpha = y >= 8 && y < 24 && x >= 5 && x < 55 ? 255
                                : y >= 28 && y < 36 && (x < 10 || x >= 50) ? 20 + 7 * x % 230
                                : x == w - 1 && y == h - 1 ? 3 : 0;
                if (alpha) fillBox(x, y, 1, 1, RGBA(17 * x, 255 - 6 * y, 11 * (x + y), alpha));
            }
        endDrawing();
    }
    struct Case {
        int64_t x, y, intensity, tint;
        int64_t clipX, clipY, clipWidth, clipHeight;
        bool tintOver = false; // the sprite, then the tint over it (as a gauge is drawn)
    };
    const Case cases[] = {
        {2, 3, 255, kNoTint, -1, -1, -1, -1},          // opaque parts copied
        {-7, -5, 255, kNoTint, -1, -1, -1, -1},        // across the top-left edge
        {20, 30, 128, kNoTint, -1, -1, -1, -1},        // across the bottom-right edge, faded
        {1, 1, 128, RGB(0, 255, 0), -1, -1, -1, -1},   // a tint, as the gauges
        {4, 2, 255, RGB(255, 0, 0), -1, -1, -1, -1},   // a tint at full intensity
        {3, 3, 255, kNoTint, 7, 6, 40, 26},            // clipped into the block and the gap
        {1, 2, 128, RGB(0, 255, 0), -1, -1, -1, -1, true},  // the tint over it, in one pass
        {-9, 20, 77, RGB(255, 40, 9), 2, 4, 50, 33, true},  // clipped, across the left edge
    };
    auto drawn = [&](const Case& c, bool whole) {
        int64_t id = whole ? 3 : 1;
        clipSprite(id, c.clipX, c.clipY, c.clipWidth, c.clipHeight);
        int64_t cw = spriteWidth(id) - 1, ch = spriteHeight(id) - 1;
        if (whole) transformSprite(id, 0, 0, double(cw), 0, double(cw), double(ch), 0, double(ch));
        // A screen of every colour, so that an untouched pixel shows.
        clearScreen(0);
        for (int64_t y = 0; y < kHeight; y += 4)
            for (int64_t x = 0; x < kWidth; x += 4) {
                EXPECT_TRUE(createSprite(2, 4, 4, 0));
                EXPECT_TRUE(beginDrawing(spriteOutput(2)));
                fillBox(0, 0, 4, 4, RGB(9 * x, 200 - 3 * y, 5 * (x + y)));
                endDrawing();
                drawSprite(2, x, y);
            }
        if (c.tintOver && !whole) {
            drawSpriteWithTintOver(id, c.x, c.y, c.intensity, c.tint);
        } else {
            if (c.tintOver) drawSpriteBlended(id, c.x, c.y); // the reference's first draw
            drawSpriteBlended(id, c.x, c.y, c.intensity, c.tint);
        }
        std::vector<uint32_t> seen;
        for (int64_t y = 0; y < kHeight; ++y)
            for (int64_t x = 0; x < kWidth; ++x) seen.push_back(screenPixel(x, y));
        return seen;
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> reference = drawn(c, true);
        int64_t before = blendedPixelCount();
        std::vector<uint32_t> parts = drawn(c, false);
        int64_t blended = blendedPixelCount() - before;
        EXPECT_EQ(parts, reference) << "at " << c.x << ", " << c.y << " intensity " << c.intensity;
        // Never the whole picture: its transparent rows and the gap are left out, and at full
        // intensity without a tint its opaque block too.
        int64_t area = spriteWidth(1) * spriteHeight(1);
        EXPECT_GT(blended, 0);
        EXPECT_LT(blended, c.intensity == 255 && c.tint == kNoTint ? area / 3 : area * 3 / 4);
    }
}

// Images and drawing: the four drawing modes, shapes, image copies, PNG round trips.
#include "headless_fixture.h"
#include "png_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <sys/resource.h>

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
    // While decoded files are reused, a file's second read takes its first's pixels (a frame's
    // picture serves its sprite and its hit mask); a third, or any read outside, reads the file.
    auto saveGreen = [](int64_t green) {
        uint32_t pixel = 0xFF000000u | uint32_t(green) << 8;
        return savePng("drawing_roundtrip.png", 1, 1, &pixel);
    };
    auto greenRead = [] {
        Bitmap read;
        bool hasAlpha = false;
        return loadPng("drawing_roundtrip.png", read, hasAlpha) ? int64_t(read.pixels[0] >> 8 & 255) : -1;
    };
    ASSERT_TRUE(saveGreen(10));
    {
        ReusingDecodedPngs reusing;
        EXPECT_EQ(greenRead(), 10);
        ASSERT_TRUE(saveGreen(20));
        {
            ReusingDecodedPngs nested;
        }
        EXPECT_EQ(greenRead(), 10); // still reusing after the nested scope
        EXPECT_EQ(greenRead(), 20);
        ASSERT_TRUE(saveGreen(30));
    }
    EXPECT_EQ(greenRead(), 30); // what was kept went with the scope
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

namespace {
bool writeBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
} // namespace

TEST_F(DrawingTest, PngFilesThatLieOrEndEarlyAreRefused) {
    ASSERT_EQ(lyingPng(1, 1).size(), 69u);
    for (auto [width, height] : {std::pair{16384u, 16384u}, {8193u, 8u}, {8u, 8193u},
                                 {8192u, 8192u}, {4000u, 4000u}, {1000u, 1000u}}) {
        ASSERT_TRUE(writeBytes("lying.png", lyingPng(width, height)));
        Bitmap bitmap;
        bool alpha = false;
        EXPECT_FALSE(loadPng("lying.png", bitmap, alpha)) << width << " x " << height;
        EXPECT_EQ(loadImage(1, "lying.png"), 0);
    }
    // A real picture cut anywhere fails cleanly (libpng's error paths: no leak, no crash).
    std::vector<uint32_t> pixels(size_t(37 * 23));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint32_t(i * 2654435761u) | 0xFF000000u;
    ASSERT_TRUE(savePng("whole.png", 37, 23, pixels.data()));
    std::string whole;
    ASSERT_TRUE(readWholeFile("whole.png", whole));
    Bitmap bitmap;
    bool alpha = false;
    ASSERT_TRUE(loadPng("whole.png", bitmap, alpha));
    EXPECT_EQ(bitmap.pixels, pixels);
    for (size_t cut = 0; cut < whole.size(); cut += cut < 64 ? 1 : 97) {
        ASSERT_TRUE(writeBytes("cut.png", whole.substr(0, cut)));
        EXPECT_FALSE(loadPng("cut.png", bitmap, alpha)) << "cut at " << cut;
    }
    EXPECT_FALSE(loadPng("cut.png", bitmap, alpha));
    std::remove("lying.png");
    std::remove("whole.png");
    std::remove("cut.png");
}

#if !defined(__SANITIZE_ADDRESS__) // the sanitizer reserves terabytes of address space
// With room for 48 MB more, a 69-byte header declaring 4000 x 4000 pixels (64 MB) is refused
// without trying to allocate them; so are 57-byte files whose text, profile or unknown chunk
// declares 2 GiB.
TEST(PngLimits, ALyingHeaderAllocatesNothing) {
    ASSERT_TRUE(writeBytes("lying_header.png", lyingPng(4000, 4000)));
    for (const char* type : {"tEXt", "zTXt", "iCCP", "quRx"})
        ASSERT_TRUE(writeBytes(std::string("lying_") + type + ".png", hugeChunkPng(type)));
    EXPECT_EXIT(
        {
            long pages = 0;
            std::FILE* statm = std::fopen("/proc/self/statm", "r");
            if (!statm || std::fscanf(statm, "%ld", &pages) != 1) std::_Exit(2);
            std::fclose(statm);
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = rlim_t(pages) * 4096 + (48u << 20);
            if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(3);
            Bitmap bitmap;
            bool alpha = false;
            for (const char* file : {"lying_header.png", "lying_tEXt.png", "lying_zTXt.png",
                                     "lying_iCCP.png", "lying_quRx.png"})
                if (loadPng(file, bitmap, alpha)) std::_Exit(4);
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
    std::remove("lying_header.png");
    for (const char* type : {"tEXt", "zTXt", "iCCP", "quRx"}) std::remove((std::string("lying_") + type + ".png").c_str());
}
#endif

// Shading the screen gives, pixel for pixel, what drawing a black picture of that opacity over
// it gives (the fades used to draw such a picture, the size of the screen, every frame), also
// now that the software screen is shaded through a table rather than by the renderer's fill.
TEST_F(DrawingTest, ShadingTheScreenEqualsABlackPictureDrawnOverIt) {
    ASSERT_TRUE(createSprite(1, kWidth, kHeight, kSpriteAlpha));
    ASSERT_TRUE(beginDrawing(spriteOutput(1)));
    setDrawingMode(kDrawExact);
    for (int64_t y = 0; y < kHeight; ++y)
        for (int64_t x = 0; x < kWidth; ++x)
            fillBox(x, y, 1, 1, RGBA(x * 4, y * 5, (x * y) & 255, 255));
    endDrawing();
    makeDotSprite(2, kWidth, kHeight, {});
    ASSERT_TRUE(beginDrawing(spriteOutput(2)));
    setDrawingMode(kDrawExact);
    fillBox(0, 0, kWidth, kHeight, RGBA(0, 0, 0, 255));
    endDrawing();
    auto shaded = [](bool withPicture, int64_t opacity) {
        drawSprite(1, 0, 0);
        if (withPicture) drawSpriteBlended(2, 0, 0, opacity);
        else shadeScreen(opacity);
        Bitmap screen;
        EXPECT_TRUE(readScreen(screen));
        for (uint32_t& p : screen.pixels) p &= 0xFFFFFFu;
        return screen.pixels;
    };
    for (int64_t opacity = 0; opacity <= 255; ++opacity) // the fade's every step
        EXPECT_EQ(shaded(true, opacity), shaded(false, opacity)) << "opacity " << opacity;
    std::vector<uint32_t> dark = shaded(false, 255);
    EXPECT_EQ(std::count(dark.begin(), dark.end(), 0u), kWidth * kHeight);
}

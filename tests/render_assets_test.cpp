// Shared pictures: mirroring, portraits, image sequences, stat icons and the deferred queue.
#include "headless_fixture.h"

#include <filesystem>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/sprite_numbers.h"
#include "render/frame_images.h"
#include "render/sprite_assets.h"
#include "runtime/parallel.h"
#include "settings/pacing.h"

namespace {
void writePng(const std::string& path, int64_t width, int64_t height, uint32_t fill,
              int64_t markX = -1, uint32_t mark = 0) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<uint32_t> pixels(size_t(width * height), fill);
    if (markX >= 0)
        for (int64_t y = 0; y < height; ++y) pixels[size_t(y * width + markX)] = mark;
    ASSERT_TRUE(savePng(path, width, height, pixels.data()));
}

struct AssetsTest : HeadlessScreen {
    std::filesystem::path home;
    void SetUp() override {
        HeadlessScreen::SetUp();
        home = std::filesystem::current_path();
        std::filesystem::remove_all("assets_test");
        std::filesystem::create_directories("assets_test");
        std::filesystem::current_path("assets_test");
        nextSpriteNumber = 1;
        resetSpriteAssets();
        clearMessageBoxLog();
    }
    void TearDown() override {
        clearImageQueue();
        setImageQueueClock(nullptr);
        resetSpriteAssets();
        std::filesystem::current_path(home);
        std::filesystem::remove_all("assets_test");
        HeadlessScreen::TearDown();
    }
};
} // namespace

TEST_F(AssetsTest, MirrorImageFlipsRowsAndRefusesEightBits) {
    ASSERT_TRUE(createImage(1, 3, 2, 32, 0));
    Bitmap* b = imageBitmap(1);
    for (size_t i = 0; i < b->pixels.size(); ++i) b->pixels[i] = uint32_t(i + 1);
    int64_t mirrored = mirrorImage(1);
    ASSERT_NE(mirrored, 0);
    EXPECT_EQ(imageBitmap(mirrored)->pixels, (std::vector<uint32_t>{3, 2, 1, 6, 5, 4}));
    ASSERT_TRUE(createImage(2, 1, 3, 24, RGB(1, 2, 3)));
    int64_t narrow = mirrorImage(2);
    EXPECT_EQ(imageBitmap(narrow)->pixels, imageBitmap(2)->pixels);
    ASSERT_TRUE(createImage(3, 4, 4, 8, 0));
    EXPECT_EQ(mirrorImage(3), 0);
    EXPECT_EQ(mirrorImage(99), 0);
}

TEST_F(AssetsTest, MirroredSpritePairAndMissingFileMessage) {
    writePng("image/bar.png", 4, 2, 0x00000000u, 0, 0xFFFF0000u);
    loadMirroredSprite(10, "image/bar.png");
    EXPECT_EQ(spritePixelAlpha(10, 0, 0), 255);
    EXPECT_EQ(spritePixelAlpha(10, 3, 0), 0);
    EXPECT_EQ(spritePixelAlpha(11, 3, 1), 255);
    EXPECT_EQ(spritePixelAlpha(11, 0, 1), 0);
    loadMirroredSprite(20, "image\\missing.png");
    EXPECT_EQ(messageBoxLog(), "error for : image\\missing.png\n");
    EXPECT_EQ(spriteExists(20), 0);
    EXPECT_EQ(spriteExists(21), 0);
}

TEST_F(AssetsTest, PortraitIsTheSquareAt175OfTheClassPicture) {
    // A 500 x 500 picture, black but for a white column at x = 175 (the portrait's first).
    writePng("image/class.png", 500, 500, 0xFF000000u, 175, 0xFFFFFFFFu);
    FighterClass c;
    c.pictureSprite = 40;
    c.portraitSprite = 41;
    c.iconPath = "image/class.png";
    makePortrait(c);
    ASSERT_EQ(spriteExists(41), 1);
    EXPECT_EQ(spriteWidth(41), 150);
    EXPECT_EQ(spritePixelAlpha(41, 0, 10), 255);  // the column, white
    EXPECT_EQ(spritePixelAlpha(41, 1, 10), 0);    // black is transparent
    EXPECT_EQ(spriteExists(40), 0);               // the portrait does not load the picture
    makePortrait(c);                               // once only
    loadClassPicture(c);
    EXPECT_EQ(spriteExists(40), 1);
    freeClassPicture(c);
    EXPECT_EQ(spriteExists(40), 0);
    FighterClass noPicture;
    makePortrait(noPicture); // nothing to do
}

TEST_F(AssetsTest, PortraitFailuresEndTheProgram) {
    writePng("image/small.png", 300, 300, 0xFF202020u);
    FighterClass small;
    small.pictureSprite = 1;
    small.portraitSprite = 2;
    small.iconPath = "image/small.png";
    EXPECT_EXIT(makePortrait(small), testing::ExitedWithCode(1), "Error: cannot grab image");
    FighterClass missing = small;
    missing.iconPath = "image/none.png";
    EXPECT_EXIT(makePortrait(missing), testing::ExitedWithCode(1), "Error: cannot load image");
}

TEST_F(AssetsTest, ImageSequencesNumberTheirFramesFromOne) {
    for (int i = 1; i <= 7; ++i) writePng("image/hurt" + std::to_string(i) + ".png", i, 1, 0xFFFFFFFFu);
    nextSpriteNumber = 50;
    ImageSequence s = createImageSequence("image\\hurt", "hurt", 6, 5, 2);
    ASSERT_EQ(s.frames.size(), 7u);
    EXPECT_EQ(s.frames.front(), 50);
    EXPECT_EQ(spriteWidth(s.frames[0]), 1);
    EXPECT_EQ(spriteWidth(s.frames[6]), 7);
    EXPECT_EQ(s.offsets.size(), 7u);
    setSequenceOption(s, 4, 0.5, 0);
    setSequenceOption(s, 2, 2.0, 0); // shares the value with flag 4: the last call wins
    setSequenceOption(s, 32, 0.95, 0.9);
    EXPECT_EQ(s.options, 2 | 4 | 32);
    EXPECT_DOUBLE_EQ(s.fade, 2.0);
    EXPECT_DOUBLE_EQ(s.optionY, 0.9);
    ImageSequence gaps = createImageSequence("image/none", "none", 2, 1, 1);
    EXPECT_EQ(gaps.frames.size(), 3u);
    EXPECT_EQ(spriteExists(gaps.frames[0]), 0);
}

TEST_F(AssetsTest, StatIconsAreCentredAndFreed) {
    writePng("image/icon_life_mini.png", 10, 4, 0xFFFFFFFFu);
    loadStatIcons();
    int64_t life = statIconBlock + 5;
    ASSERT_EQ(spriteExists(life), 1);
    EXPECT_EQ(crescentSprite, statIconBlock + 13);
    clearScreen(0);
    drawStatIcon(5, 20, 10);
    EXPECT_EQ(screenPixel(15, 10), 0xFFFFFFu);
    EXPECT_EQ(screenPixel(14, 10), 0u);
    EXPECT_EQ(screenPixel(24, 10), 0xFFFFFFu);
    drawStatIcon(12, 0, 0); // any other index draws nothing
    freeStatIcons();
    EXPECT_EQ(spriteExists(life), 0);
}

TEST_F(AssetsTest, FrameImagesLoadWithMasksAndMirroredHitMasks) {
    writePng("image/f/punch.png", 6, 3, 0xFFFFFFFFu);
    writePng("image/f/punchhurt.png", 6, 3, 0x00000000u, 5, 0xFFFFFFFFu);
    Frame frame;
    frame.path = "image/f/punch";
    frame.sprite = 70;
    frame.hurtSpriteA = 71;
    frame.hurtSpriteB = 72;
    loadFrameImages(frame);
    EXPECT_TRUE(frame.loaded);
    EXPECT_EQ(spriteFlags(70), kLoadAlphaMask); // the body can be hit pixel by pixel
    EXPECT_EQ(spritesTouch(70, 0, 0, 71, 0, 0), 1);
    EXPECT_EQ(spritePixelAlpha(71, 5, 0), 255);
    EXPECT_EQ(spritePixelAlpha(72, 0, 0), 255); // the mirrored mask
    EXPECT_EQ(spritePixelAlpha(72, 5, 0), 0);
    Frame noMask;
    noMask.path = "image/f/kick";
    noMask.sprite = 80;
    noMask.hurtSpriteA = 81;
    noMask.hurtSpriteB = 82;
    loadFrameImages(noMask);
    EXPECT_EQ(noMask.hurtSpriteA, 0);
    EXPECT_EQ(noMask.hurtSpriteB, 0);
}

namespace {
double fakeNow = 0;
double fakeClock() {
    fakeNow += 1.5; // every reading of the clock: 1.5 ms later
    return fakeNow;
}
} // namespace

TEST_F(AssetsTest, DeferredQueueKeepsItsBudgetAndAlwaysLoadsOne) {
    applyFpsMode(6); // 10 ms frames: half of one, 5 ms, capped at a budget of 4 ms
    setImageQueueClock(fakeClock);
    // Entries load a batch at a time, one for each core.
    const int64_t batch = int64_t(coreCount());
    std::vector<Frame> frames(size_t(7 * batch + 1));
    for (Frame& f : frames) queueFrameImages(&f);
    // Each batch takes 1.5 ms on this clock: a third would end at 4.5 ms, past the budget.
    EXPECT_EQ(loadQueuedImages(999), 2 * batch);
    EXPECT_EQ(queuedImageCount(), 5 * batch + 1);
    EXPECT_EQ(loadQueuedImages(1), 1);
    EXPECT_TRUE(frames[size_t(2 * batch)].loaded);
    EXPECT_FALSE(frames[size_t(2 * batch + 1)].loaded);
    // A frame within its budget loads one batch, a second only when it fits; past it, none.
    EXPECT_EQ(loadQueuedImages(999, 3.6), batch);
    EXPECT_EQ(loadQueuedImages(999, 0.9), 2 * batch);
    EXPECT_EQ(loadQueuedImages(999, 4.0), 0);
    // The budget stays the one of the first call, whatever the frame rate becomes.
    applyFpsMode(10);
    EXPECT_EQ(loadQueuedImages(999), 2 * batch); // the last ones
    EXPECT_EQ(queuedImageCount(), 0);
    applyFpsMode(6);
    EXPECT_EQ(loadQueuedImages(0), 0);
    clearImageQueue();
    EXPECT_EQ(loadQueuedImages(5), 0);
}

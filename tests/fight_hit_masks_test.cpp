// Hit masks as plain bit rows: the word-wise touch test against a pixel-by-pixel one, mirroring,
// files that cannot be read, and, on the generated content, the same answers as the sprites the
// game loads and tests today.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "fight/hit_masks.h"
#include "game_dir_fixture.h"
#include "png_fixture.h"
#include "render/fighter_drawing.h"
#include "render/frame_images.h"
#include "runtime/runtime.h"

namespace {
// The answer pixel by pixel, as the sprites' test finds it.
bool touchByPixels(const HitMask& a, int64_t xA, int64_t yA, const HitMask& b, int64_t xB,
                   int64_t yB) {
    for (int64_t y = 0; y < a.height; ++y)
        for (int64_t x = 0; x < a.width; ++x)
            if (hitMaskSolid(a, x, y) && hitMaskSolid(b, x + xA - xB, y + yA - yB)) return true;
    return false;
}

HitMask maskOfDots(int64_t width, int64_t height,
                   std::initializer_list<std::pair<int64_t, int64_t>> dots) {
    std::vector<uint32_t> pixels(size_t(width * height), 0);
    for (auto [x, y] : dots)
        pixels[size_t(y * width + x)] = 0xFFFFFFFFu;
    return hitMaskFromPixels(width, height, pixels.data());
}

// A mask whose pixels are solid with the given chance (per thousand), from a fixed seed.
HitMask sparseMask(int64_t width, int64_t height, int perThousand, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels(size_t(width * height), 0);
    for (uint32_t& p : pixels)
        if (int(random() % 1000) < perThousand) p = 0x01000000u; // the faintest alpha is solid
    return hitMaskFromPixels(width, height, pixels.data());
}

// A scratch directory of hand-made files, left behind clean.
struct HitMaskFiles : testing::Test {
    std::filesystem::path home;
    void SetUp() override {
        home = std::filesystem::current_path();
        std::filesystem::remove_all("hit_masks_test");
        std::filesystem::create_directories("hit_masks_test/image");
        std::filesystem::current_path("hit_masks_test");
        clearHitMasks();
    }
    void TearDown() override {
        clearHitMasks();
        freeSprite(-1);
        std::filesystem::current_path(home);
        std::filesystem::remove_all("hit_masks_test");
    }
};

// Zlib data of stored (uncompressed) deflate blocks, for hand-made PNG files of other formats
// than the runtime writes.
std::string storedZlib(const std::string& data) {
    std::string out("\x78\x01", 2);
    size_t at = 0;
    do {
        size_t length = std::min<size_t>(data.size() - at, 65535);
        bool last = at + length == data.size();
        out += char(last ? 1 : 0);
        out += char(length & 255);
        out += char(length >> 8);
        out += char(~length & 255);
        out += char((~length >> 8) & 255);
        out += data.substr(at, length);
        at += length;
    } while (at < data.size());
    uint32_t s1 = 1, s2 = 0;
    for (unsigned char c : data) {
        s1 = (s1 + c) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    return out + bigEndian32((s2 << 16) | s1);
}

// A PNG of one colour type: rows are given without their filter bytes; extra chunks (PLTE, tRNS)
// come before the data.
std::string pngOf(uint32_t width, uint32_t height, char colourType, const std::string& rows,
                  size_t rowBytes, const std::string& extra = "") {
    std::string header = bigEndian32(width) + bigEndian32(height) + std::string(1, '\x08') +
                         std::string(1, colourType) + std::string("\0\0\0", 3);
    std::string filtered;
    for (size_t y = 0; y < height; ++y)
        filtered += '\0' + rows.substr(y * rowBytes, rowBytes);
    return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) + extra +
           pngChunk("IDAT", storedZlib(filtered)) + pngChunk("IEND", "");
}
} // namespace

TEST(FightHitMasks, PixelsAreSolidWhereAlphaIsNotZero) {
    const uint32_t pixels[6] = {0x00FFFFFFu, 0x01000000u, 0x80FF0000u,
                                0xFF000000u, 0x00000000u, 0xFFFFFFFFu};
    HitMask mask = hitMaskFromPixels(3, 2, pixels);
    EXPECT_EQ(mask.width, 3);
    EXPECT_EQ(mask.height, 2);
    EXPECT_EQ(mask.words, 1);
    EXPECT_FALSE(hitMaskSolid(mask, 0, 0)); // white but fully transparent
    EXPECT_TRUE(hitMaskSolid(mask, 1, 0));  // black at the faintest alpha
    EXPECT_TRUE(hitMaskSolid(mask, 2, 0));
    EXPECT_TRUE(hitMaskSolid(mask, 0, 1)); // opaque black: no colour key
    EXPECT_FALSE(hitMaskSolid(mask, 1, 1));
    EXPECT_TRUE(hitMaskSolid(mask, 2, 1));
    EXPECT_FALSE(hitMaskSolid(mask, -1, 0));
    EXPECT_FALSE(hitMaskSolid(mask, 3, 0));
    EXPECT_FALSE(hitMaskSolid(mask, 0, 2));
    EXPECT_EQ(hitMaskFromPixels(0, 5, pixels).bits.size(), 0u);
}

TEST(FightHitMasks, RowsArePaddedToWholeWords) {
    HitMask mask = maskOfDots(130, 2, {{129, 0}, {0, 1}});
    EXPECT_EQ(mask.words, 3);
    ASSERT_EQ(mask.bits.size(), 6u);
    EXPECT_EQ(mask.bits[2], uint64_t(2)); // column 129: bit 1 of the third word
    EXPECT_EQ(mask.bits[3], uint64_t(1));
}

TEST(FightHitMasks, SinglePixelsAtWordBoundaries) {
    for (int64_t column : {0, 1, 62, 63, 64, 65, 126, 127, 128, 199}) {
        SCOPED_TRACE(column);
        HitMask wide = maskOfDots(200, 3, {{column, 1}});
        HitMask dot = maskOfDots(1, 1, {{0, 0}});
        EXPECT_TRUE(masksTouch(wide, 0, 0, dot, column, 1));
        EXPECT_TRUE(masksTouch(dot, column, 1, wide, 0, 0));
        EXPECT_TRUE(masksTouch(wide, 1000, -7, dot, 1000 + column, -6));
        for (int64_t dx : {-1, 1})
            for (int64_t dy : {-1, 0, 1}) {
                EXPECT_FALSE(masksTouch(wide, 0, 0, dot, column + dx, 1 + dy));
                EXPECT_FALSE(masksTouch(dot, column + dx, 1 + dy, wide, 0, 0));
            }
        EXPECT_FALSE(masksTouch(wide, 0, 0, dot, column, 0));
        EXPECT_FALSE(masksTouch(wide, 0, 0, dot, column, 2));
        // Two wide masks whose single pixels meet only at one offset.
        HitMask other = maskOfDots(150, 1, {{70, 0}});
        EXPECT_TRUE(masksTouch(wide, 0, 0, other, column - 70, 1));
        EXPECT_FALSE(masksTouch(wide, 0, 0, other, column - 69, 1));
        EXPECT_FALSE(masksTouch(wide, 0, 0, other, column - 71, 1));
    }
}

TEST(FightHitMasks, NegativePlacesAndEdges) {
    HitMask a = maskOfDots(10, 10, {{0, 0}, {9, 9}});
    HitMask b = maskOfDots(5, 5, {{4, 4}, {0, 0}});
    EXPECT_TRUE(masksTouch(a, -20, -30, b, -24, -34));  // b's last pixel on a's first
    EXPECT_TRUE(masksTouch(a, -20, -30, b, -11, -21));  // b's first pixel on a's last
    EXPECT_FALSE(masksTouch(a, -20, -30, b, -25, -34)); // rectangles side by side
    EXPECT_FALSE(masksTouch(a, -20, -30, b, -10, -21));
    EXPECT_FALSE(masksTouch(a, -20, -30, b, -18, -28)); // overlapping, no common pixel
    HitMask empty;
    EXPECT_FALSE(masksTouch(empty, 0, 0, a, 0, 0));
    EXPECT_FALSE(masksTouch(a, 0, 0, empty, 0, 0));
}

// Every offset within reach, masks from 1 to 200 pixels wide: the word-wise answer is the
// pixel-by-pixel one.
TEST(FightHitMasks, WordWiseTestAgreesWithPixelByPixel) {
    const int64_t widths[] = {1, 7, 63, 64, 65, 129, 200};
    uint32_t seed = 1;
    int64_t touches = 0, misses = 0;
    for (int64_t wA : widths)
        for (int64_t wB : {int64_t(1), int64_t(64), int64_t(70), int64_t(130)}) {
            HitMask a = sparseMask(wA, 6, 25, seed++);
            HitMask b = sparseMask(wB, 5, 40, seed++);
            for (int64_t dy = -6; dy <= 7; ++dy)
                for (int64_t dx = -wB - 1; dx <= wA + 1; ++dx) {
                    bool expected = touchByPixels(a, -3, 11, b, dx - 3, dy + 11);
                    ASSERT_EQ(masksTouch(a, -3, 11, b, dx - 3, dy + 11), expected)
                        << wA << " " << wB << " at " << dx << "," << dy;
                    ASSERT_EQ(masksTouch(b, dx - 3, dy + 11, a, -3, 11), expected);
                    (expected ? touches : misses) += 1;
                }
        }
    EXPECT_GT(touches, 1000);
    EXPECT_GT(misses, 1000);
}

TEST(FightHitMasks, MirroringExchangesLeftAndRight) {
    HitMask mask = maskOfDots(130, 2, {{0, 0}, {63, 1}, {64, 0}, {100, 1}});
    HitMask mirrored = mirroredHitMask(mask);
    EXPECT_EQ(mirrored.width, 130);
    EXPECT_EQ(mirrored.words, 3);
    for (int64_t y = 0; y < 2; ++y)
        for (int64_t x = 0; x < 130; ++x)
            EXPECT_EQ(hitMaskSolid(mirrored, x, y), hitMaskSolid(mask, 129 - x, y)) << x;
    EXPECT_EQ(mirroredHitMask(mirrored).bits, mask.bits);
    // The padding of the last word stays clear.
    EXPECT_EQ(mirrored.bits[2] >> 2, uint64_t(0));
    EXPECT_EQ(mirrored.bits[5] >> 2, uint64_t(0));
}

TEST_F(HitMaskFiles, FilesAreReadOnceWithTheirMirroredCopy) {
    std::vector<uint32_t> pixels(70 * 3, 0);
    pixels[1 * 70 + 2] = 0xFF000000u;
    ASSERT_TRUE(savePng("image/punchhurt.png", 70, 3, pixels.data()));
    const HitMask* plain = hitMaskOfFile("image/punchhurt.png", false);
    const HitMask* mirrored = hitMaskOfFile("image/punchhurt.png", true);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(mirrored, nullptr);
    EXPECT_TRUE(hitMaskSolid(*plain, 2, 1));
    EXPECT_TRUE(hitMaskSolid(*mirrored, 67, 1));
    EXPECT_EQ(hitMaskFileCount(), 1);
    // Rewriting the file changes nothing until the masks are forgotten.
    std::filesystem::remove("image/punchhurt.png");
    EXPECT_EQ(hitMaskOfFile("image/punchhurt.png", false), plain);
    EXPECT_EQ(hitMaskFileCount(), 1);
    clearHitMasks();
    EXPECT_EQ(hitMaskFileCount(), 0);
    EXPECT_EQ(hitMaskOfFile("image/punchhurt.png", false), nullptr);
}

TEST_F(HitMaskFiles, MissingOrUnreadableFilesGiveNothing) {
    ASSERT_TRUE(replaceFileAtomically("image/empty.png", ""));
    ASSERT_TRUE(replaceFileAtomically("image/text.png", "not a picture at all"));
    ASSERT_TRUE(replaceFileAtomically("image/lying.png", lyingPng(64, 64)));
    ASSERT_TRUE(replaceFileAtomically("image/huge.png", lyingPng(100000, 100000)));
    std::string whole = pngOf(2, 2, '\x06', std::string(16, '\xFF'), 8);
    ASSERT_TRUE(replaceFileAtomically("image/cut.png", whole.substr(0, whole.size() - 20)));
    std::filesystem::create_directories("image/folder.png");
    for (const char* path :
         {"image/none.png", "image/empty.png", "image/text.png", "image/lying.png",
          "image/huge.png", "image/cut.png", "image/folder.png", ""})
        for (bool mirrored : {false, true}) {
            EXPECT_EQ(hitMaskOfFile(path, mirrored), nullptr) << path;
        }
    // Failures are remembered too: each file is tried once.
    EXPECT_EQ(hitMaskFileCount(), 8);

    Frame frame;
    EXPECT_EQ(frameBodyMask(frame, 0), nullptr); // no path at all
    frame.path = "image/none";
    frame.hurtShift = Vec2{0, 0};
    EXPECT_EQ(frameBodyMask(frame, 0), nullptr);
    EXPECT_EQ(frameHitMask(frame, 1), nullptr);
    Animation animation;
    animation.frames = {frame};
    animation.frames[0].cloneHurt = -1;
    EXPECT_EQ(frameHitMask(animation, 0, 0), nullptr);
    EXPECT_EQ(frameHitMask(animation, 1, 0), nullptr);
    EXPECT_EQ(frameHitMask(animation, -1, 0), nullptr);
}

// A frame's files by its path, and a shared hit mask found at the frame that owns it.
TEST_F(HitMaskFiles, FramesFindTheirPicturesAndSharedMasks) {
    std::vector<uint32_t> pixels(4 * 2, 0xFF000000u);
    ASSERT_TRUE(savePng("image/p1.png", 4, 2, pixels.data()));
    ASSERT_TRUE(savePng("image/p1hurt.png", 4, 2, pixels.data()));
    ASSERT_TRUE(savePng("image/p2.png", 3, 2, pixels.data()));
    ASSERT_TRUE(savePng("image/p2hurt.png", 3, 2, pixels.data()));
    Animation animation;
    animation.frames.resize(5);
    Frame& owner = animation.frames[0];
    owner.clone = owner.cloneHurt = -1;
    owner.path = "image/p1";
    owner.hurtShift = Vec2{0, 0};
    Frame& plain = animation.frames[1]; // its own picture, no mask
    plain.clone = plain.cloneHurt = -1;
    plain.path = "image/p2";
    Frame& sharer = animation.frames[2]; // the owner's mask under another picture
    sharer.clone = -1;
    sharer.cloneHurt = 0;
    sharer.path = "image/p2";
    sharer.hurtShift = owner.hurtShift;
    Frame& chained = animation.frames[3]; // the sharer's, so the owner's
    chained.clone = chained.cloneHurt = 2;
    chained.path = sharer.path;
    chained.hurtShift = owner.hurtShift;
    Frame& unlinked = animation.frames[4]; // a reference that linked nothing
    unlinked.clone = -1;
    unlinked.cloneHurt = 9;
    unlinked.path = "image/p2";

    EXPECT_EQ(frameBodyMask(owner, 0)->width, 4);
    EXPECT_EQ(frameBodyMask(sharer, 1)->width, 3);
    EXPECT_EQ(frameBodyMask(chained, 0), frameBodyMask(sharer, 0));
    EXPECT_EQ(frameHitMaskPath(animation, 0), "image/p1hurt.png");
    EXPECT_EQ(frameHitMaskPath(animation, 1), "");
    EXPECT_EQ(frameHitMaskPath(animation, 2), "image/p1hurt.png");
    EXPECT_EQ(frameHitMaskPath(animation, 3), "image/p1hurt.png");
    EXPECT_EQ(frameHitMaskPath(animation, 4), "");
    EXPECT_EQ(frameHitMask(animation, 3, 1), hitMaskOfFile("image/p1hurt.png", true));
    EXPECT_EQ(frameHitMask(animation, 1, 0), nullptr);
    EXPECT_EQ(frameHitMask(plain, 0), nullptr);
    // Knowing only the frame, a sharer is read by its own picture's file.
    EXPECT_EQ(frameHitMask(sharer, 0), hitMaskOfFile("image/p2hurt.png", false));
}

// Pictures of other formats and odd alphas are solid exactly where the game's sprites are.
TEST_F(HitMaskFiles, SolidWhereTheGamesSpritesAreOpaque) {
    std::string rgb;
    for (int i = 0; i < 6; ++i)
        rgb += std::string{char(i * 40), 0, char(255 - i)};
    std::string palette = pngChunk("PLTE", std::string("\0\0\0\xFF\xFF\xFF\x10\x20\x30", 9));
    std::string paletteAlpha = pngChunk("tRNS", std::string("\x00\x01", 2)); // index 2 opaque
    std::string grey = std::string("\0\0\x40\x01\x80\0\xFF\xFF\0\xFF\x10\x02", 12);
    std::string rgba;
    for (uint32_t p :
         {0x00000000u, 0x01000000u, 0x00FFFFFFu, 0xFF000000u, 0x7F102030u, 0xFEFFFFFFu})
        rgba += std::string{char(p >> 16), char(p >> 8), char(p), char(p >> 24)};
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"rgb", pngOf(3, 2, '\x02', rgb, 9)},
        {"palette", pngOf(3, 2, '\x03', std::string("\0\1\2\2\1\0", 6), 3, palette + paletteAlpha)},
        {"grey", pngOf(3, 2, '\x04', grey, 6)},
        {"rgba", pngOf(3, 2, '\x06', rgba, 12)},
    };
    int64_t sprite = 900;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = std::string("image/") + c.name;
        ASSERT_TRUE(replaceFileAtomically(path + ".png", c.bytes));
        ASSERT_TRUE(replaceFileAtomically(path + "hurt.png", c.bytes));
        Frame frame;
        frame.path = path;
        frame.sprite = sprite;
        frame.hurtSpriteA = sprite + 1;
        frame.hurtSpriteB = sprite + 2;
        frame.hurtShift = Vec2{0, 0};
        sprite += 3;
        loadFrameImages(frame);
        ASSERT_EQ(spriteExists(frame.sprite), 1);
        ASSERT_EQ(spriteExists(frame.hurtSpriteB), 1);
        const HitMask* body = frameBodyMask(frame, 0);
        const HitMask* mask = frameHitMask(frame, 0);
        const HitMask* mirrored = frameHitMask(frame, 1);
        ASSERT_TRUE(body && mask && mirrored);
        for (int64_t y = 0; y < 2; ++y)
            for (int64_t x = 0; x < 3; ++x) {
                EXPECT_EQ(hitMaskSolid(*body, x, y), spritePixelAlpha(frame.sprite, x, y) != 0);
                EXPECT_EQ(hitMaskSolid(*mask, x, y),
                          spritePixelAlpha(frame.hurtSpriteA, x, y) != 0);
                EXPECT_EQ(hitMaskSolid(*mirrored, x, y),
                          spritePixelAlpha(frame.hurtSpriteB, x, y) != 0);
            }
    }
    // The cases hold both kinds of pixel.
    EXPECT_TRUE(hitMaskSolid(*hitMaskOfFile("image/palette.png", false), 1, 0));
    EXPECT_FALSE(hitMaskSolid(*hitMaskOfFile("image/palette.png", false), 0, 0));
    EXPECT_TRUE(hitMaskSolid(*hitMaskOfFile("image/rgb.png", false), 0, 0)); // no alpha: all solid
}

namespace {
// The generated game's data loaded, and the pictures of every class's frames loaded as the
// game loads them before a match: slots, follow-ups and wind in order, then the hit reactions.
struct HitMasksOnContent : GeneratedGameTest {
    struct MaskFrame {
        const Animation* animation = nullptr;
        int64_t index = 0;
    };
    std::vector<MaskFrame> maskFrames; // frames whose hit mask the game loaded
    std::vector<const Frame*> bodies;  // frames whose picture the game loaded

    void SetUp() override {
        GeneratedGameTest::SetUp();
        if (IsSkipped()) return;
        HeadlessOptions options;
        setHeadless(options);
        ASSERT_TRUE(initSprites());
        ASSERT_TRUE(openWindow(1, 0, 0, 64, 48, "test", kWindowBorderless));
        ASSERT_TRUE(openWindowedScreen(windowHandle(1), 0, 0, 64, 48, 0, 0, 0, 0));
        ASSERT_TRUE(loadGameData("data.json"));
        finishAnimations();
        clearHitMasks();
        std::set<int64_t> bodySprites;
        auto noteBody = [&](const Frame& frame) {
            if (frame.sprite != 0 && spriteExists(frame.sprite) &&
                bodySprites.insert(frame.sprite).second)
                bodies.push_back(&frame);
        };
        for (auto& c : classes) {
            for (const Animation* a : classAnimations(*c, true, true))
                for (size_t i = 0; i < a->frames.size(); ++i) {
                    Frame& frame = const_cast<Frame&>(a->frames[i]);
                    loadFrameImages(frame);
                    noteBody(frame);
                    if (frame.hurtSpriteA != 0 && spriteExists(frame.hurtSpriteA))
                        maskFrames.push_back({a, int64_t(i)});
                }
            for (Frame& frame : c->hit) {
                loadFrameImages(frame);
                noteBody(frame);
            }
        }
    }
    void TearDown() override {
        clearHitMasks();
        clearGameData();
        GeneratedGameTest::TearDown();
    }
    static int64_t maskSprite(const Frame& frame, int64_t facing) {
        return facing == 1 ? frame.hurtSpriteB : frame.hurtSpriteA;
    }
};
} // namespace

// Every picture the game loaded, pixel for pixel, and no mask where the game has none.
TEST_F(HitMasksOnContent, MasksHoldTheSpritesOpaquePixels) {
    ASSERT_GT(maskFrames.size(), 50u);
    ASSERT_GT(bodies.size(), 100u);
    for (const Frame* frame : bodies) {
        const HitMask* body = frameBodyMask(*frame, 0);
        ASSERT_NE(body, nullptr) << frame->path;
        ASSERT_EQ(body->width, spriteOwnWidth(frame->sprite));
        ASSERT_EQ(body->height, spriteOwnHeight(frame->sprite));
        for (int64_t y = 0; y < body->height; ++y)
            for (int64_t x = 0; x < body->width; ++x)
                ASSERT_EQ(hitMaskSolid(*body, x, y), spritePixelAlpha(frame->sprite, x, y) != 0)
                    << frame->path << " " << x << "," << y;
    }
    int64_t withMask = 0;
    for (auto& c : classes)
        for (const Animation* a : classAnimations(*c, true, true))
            for (size_t i = 0; i < a->frames.size(); ++i) {
                const Frame& frame = a->frames[i];
                bool gameHasOne = frame.hurtSpriteA != 0 && spriteExists(frame.hurtSpriteA);
                for (int64_t facing : {0, 1}) {
                    const HitMask* mask = frameHitMask(*a, int64_t(i), facing);
                    ASSERT_EQ(mask != nullptr, gameHasOne) << a->name << " " << i;
                    // In this content every sharer shows its owner's picture: both forms agree.
                    ASSERT_EQ(frameHitMask(frame, facing), mask) << a->name << " " << i;
                    if (!mask) continue;
                    int64_t sprite = maskSprite(frame, facing);
                    ASSERT_EQ(mask->width, spriteOwnWidth(sprite));
                    ASSERT_EQ(mask->height, spriteOwnHeight(sprite));
                    for (int64_t y = 0; y < mask->height; ++y)
                        for (int64_t x = 0; x < mask->width; ++x)
                            ASSERT_EQ(hitMaskSolid(*mask, x, y),
                                      spritePixelAlpha(sprite, x, y) != 0);
                }
                withMask += gameHasOne;
            }
    EXPECT_GT(withMask, 50);
}

// The test that the fight relies on: for every frame with a hit mask, both facings, against
// bodies of every class in both facings, at offsets along every edge, partly over and clear of
// each other, the bit masks answer as the sprites do.
TEST_F(HitMasksOnContent, TouchesAnswerAsTheSpritesDo) {
    ASSERT_FALSE(maskFrames.empty());
    ASSERT_FALSE(bodies.empty());
    std::mt19937 random(20240611);
    auto pick = [&](int64_t low, int64_t high) {
        return low + int64_t(random() % uint32_t(high - low + 1));
    };
    int64_t touches = 0, misses = 0, calls = 0;
    for (size_t m = 0; m < maskFrames.size(); ++m) {
        const Animation& animation = *maskFrames[m].animation;
        const Frame& frame = animation.frames[size_t(maskFrames[m].index)];
        for (int64_t facing : {0, 1}) {
            const HitMask* mask = frameHitMask(animation, maskFrames[m].index, facing);
            ASSERT_NE(mask, nullptr);
            int64_t sprite = maskSprite(frame, facing);
            for (size_t j = 0; j < 6; ++j) {
                const Frame& bodyFrame =
                    *bodies[(m * 7 + j * 53 + size_t(facing) * 11) % bodies.size()];
                for (int64_t bodyFacing : {0, 1}) {
                    const HitMask* body = frameBodyMask(bodyFrame, bodyFacing);
                    ASSERT_NE(body, nullptr);
                    orientFrameSprite(bodyFrame.sprite, bodyFacing);
                    int64_t wA = mask->width, hA = mask->height, wB = body->width,
                            hB = body->height;
                    // The mask somewhere on the screen (negative places too), the body around it.
                    int64_t xA = pick(-300, 1500), yA = pick(-200, 700);
                    std::vector<std::pair<int64_t, int64_t>> offsets;
                    for (int k = 0; k < 24; ++k)
                        offsets.push_back({pick(-wB, wA), pick(-hB, hA)});
                    for (int64_t dx : {-wB - 1, -wB, -wB + 1, wA - 1, wA, wA + 1})
                        offsets.push_back({dx, pick(-hB, hA)});
                    for (int64_t dy : {-hB - 1, -hB, -hB + 1, hA - 1, hA, hA + 1})
                        offsets.push_back({pick(-wB, wA), dy});
                    offsets.push_back({-wB + 1, -hB + 1});
                    offsets.push_back({wA - 1, hA - 1});
                    offsets.push_back({-wB + 1, hA - 1});
                    offsets.push_back({wA - 1, -hB + 1});
                    for (auto [dx, dy] : offsets) {
                        bool sprites =
                            spritesTouch(sprite, xA, yA, bodyFrame.sprite, xA + dx, yA + dy) != 0;
                        bool masks = masksTouch(*mask, xA, yA, *body, xA + dx, yA + dy);
                        ASSERT_EQ(masks, sprites)
                            << animation.name << " frame " << maskFrames[m].index << " facing "
                            << facing << " body " << bodyFrame.path << " facing " << bodyFacing
                            << " at " << dx << "," << dy;
                        ASSERT_EQ(masksTouch(*body, xA + dx, yA + dy, *mask, xA, yA), masks);
                        (masks ? touches : misses) += 1;
                        ++calls;
                    }
                }
            }
        }
    }
    std::printf("%lld placements: %lld touch, %lld do not\n", (long long)calls, (long long)touches,
                (long long)misses);
    EXPECT_GT(touches, calls / 20);
    EXPECT_GT(misses, calls / 20);
}

// Timings, run by hand: nanoseconds per call of both tests on attack masks against bodies,
// at placements where the mask lies over the body (the frames the fight tests most).
TEST_F(HitMasksOnContent, DISABLED_Timings) {
    std::mt19937 random(7);
    struct Placement {
        const HitMask* mask;
        int64_t maskSprite;
        const HitMask* body;
        int64_t bodySprite;
        int64_t bodyFacing;
        int64_t dx, dy;
    };
    std::vector<Placement> placements;
    for (size_t i = 0; i < 4000; ++i) {
        const MaskFrame& m = maskFrames[random() % maskFrames.size()];
        const Frame& frame = m.animation->frames[size_t(m.index)];
        int64_t facing = random() % 2, bodyFacing = random() % 2;
        const Frame& bodyFrame = *bodies[random() % bodies.size()];
        const HitMask* mask = frameHitMask(*m.animation, m.index, facing);
        const HitMask* body = frameBodyMask(bodyFrame, bodyFacing);
        int64_t dx =
            -int64_t(random() % uint32_t(std::max<int64_t>(1, body->width - mask->width / 2)));
        int64_t dy =
            -int64_t(random() % uint32_t(std::max<int64_t>(1, body->height - mask->height / 2)));
        placements.push_back(
            {mask, maskSprite(frame, facing), body, bodyFrame.sprite, bodyFacing, dx, dy});
    }
    using Clock = std::chrono::steady_clock;
    int64_t agree = 0, touching = 0;
    const int rounds = 50;
    auto start = Clock::now();
    for (int r = 0; r < rounds; ++r)
        for (const Placement& p : placements)
            touching += masksTouch(*p.mask, 400, 300, *p.body, 400 + p.dx, 300 + p.dy);
    double maskNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                    double(rounds * placements.size());
    std::vector<char> sprites(placements.size());
    start = Clock::now();
    for (size_t i = 0; i < placements.size(); ++i) {
        const Placement& p = placements[i];
        orientFrameSprite(p.bodySprite, p.bodyFacing);
        sprites[i] =
            spritesTouch(p.maskSprite, 400, 300, p.bodySprite, 400 + p.dx, 300 + p.dy) != 0;
    }
    double spriteNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                      double(placements.size());
    for (size_t i = 0; i < placements.size(); ++i) {
        const Placement& p = placements[i];
        agree += bool(sprites[i]) == masksTouch(*p.mask, 400, 300, *p.body, 400 + p.dx, 300 + p.dy);
    }
    std::printf("masksTouch %.1f ns, spritesTouch (with orienting) %.1f ns per call; %lld of %zu "
                "touch\n",
                maskNs, spriteNs, (long long)(touching / rounds), placements.size());
    EXPECT_EQ(agree, int64_t(placements.size()));
}

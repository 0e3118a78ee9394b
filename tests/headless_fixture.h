// A headless screen for runtime tests: the real runtime, a small software surface, no device.
#pragma once

#include <gtest/gtest.h>

#include "runtime/runtime.h"

struct HeadlessScreen : testing::Test {
    static constexpr int64_t kWidth = 64;
    static constexpr int64_t kHeight = 48;

    void SetUp() override {
        HeadlessOptions options;
        options.controllerCount = 1;
        setHeadless(options);
        ASSERT_TRUE(initKeyboard());
        ASSERT_TRUE(initSound());
        ASSERT_TRUE(initSprites());
        initControllers();
        ASSERT_TRUE(openWindow(1, 0, 0, kWidth, kHeight, "test", kWindowBorderless));
        ASSERT_TRUE(openWindowedScreen(windowHandle(1), 0, 0, kWidth, kHeight, 0, 0, 0, 0));
    }
    void TearDown() override {
        endRuntime();
        clearHeadless();
    }

    static uint32_t screenPixel(int64_t x, int64_t y) {
        Bitmap screen;
        EXPECT_TRUE(readScreen(screen));
        return screen.pixels[size_t(y * screen.width + x)] & 0xFFFFFFu;
    }

    // A sprite of the given size whose listed pixels are opaque white, the rest transparent.
    static void makeDotSprite(int64_t id, int64_t width, int64_t height,
                              std::initializer_list<std::pair<int64_t, int64_t>> dots,
                              int64_t flags = kSpriteAlpha | kSpriteMask) {
        ASSERT_TRUE(createSprite(id, width, height, flags));
        ASSERT_TRUE(beginDrawing(spriteOutput(id)));
        setDrawingMode(kDrawExact);
        for (auto [x, y] : dots) fillBox(x, y, 1, 1, RGBA(255, 255, 255, 255));
        endDrawing();
    }
};

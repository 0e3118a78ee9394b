// Numbers, text and files of the runtime.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "runtime/runtime.h"

TEST(RandomNumbers, ZeroMaximumAndInclusiveRange) {
    seedRandom(7);
    bool sawMax = false, sawMin = false;
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(randomInt(0), 0);
        int64_t r = randomInt(3);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 3);
        sawMax |= r == 3;
        sawMin |= r == 0;
        int64_t range = randomRange(12, 10);
        ASSERT_GE(range, 10);
        ASSERT_LE(range, 12);
    }
    EXPECT_TRUE(sawMax);
    EXPECT_TRUE(sawMin);
    EXPECT_EQ(randomInt(-5), 0);
}

TEST(RandomNumbers, SameSeedSameSequence) {
    seedRandom(99);
    std::vector<int64_t> first;
    for (int i = 0; i < 20; ++i) first.push_back(randomInt(1000));
    seedRandom(99);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(randomInt(1000), first[size_t(i)]);
}

// A generator on a state of its own (a fight's) draws exactly what the game's draws from the
// same seed, and drawing from it leaves the game's generator where it stood.
TEST(RandomNumbers, OwnStateDrawsTheGamesSequence) {
    seedRandom(42);
    RandomState own{};
    seedRandom(own, 42);
    EXPECT_EQ(own, randomState());
    for (int i = 0; i < 200; ++i) {
        int64_t max = i % 7 == 0 ? 0 : (i * 37) % 1001;
        ASSERT_EQ(randomInt(own, max), randomInt(max)) << "draw " << i;
        ASSERT_EQ(randomRange(own, 110, 90), randomRange(110, 90)) << "draw " << i;
    }
    EXPECT_EQ(own, randomState());
    RandomState before = randomState();
    for (int i = 0; i < 50; ++i) randomInt(own, 1000);
    EXPECT_EQ(randomState(), before);
    EXPECT_NE(own, before);
    EXPECT_EQ(randomInt(own, -3), 0);
}

TEST(Conversions, TruncateRoundAndSign) {
    EXPECT_EQ(truncateToInt(2.9), 2);
    EXPECT_EQ(truncateToInt(-2.9), -2);
    EXPECT_EQ(truncateToInt(INFINITY), 0);
    EXPECT_EQ(truncateToInt(-INFINITY), 0);
    EXPECT_EQ(truncateToInt(NAN), 0);
    EXPECT_EQ(roundToInt(2.5), 2);
    EXPECT_EQ(roundToInt(3.5), 4);
    EXPECT_EQ(roundToInt(-2.5), -2);
    EXPECT_EQ(roundToInt(5.7), 6);
    EXPECT_EQ(sign(-0.1), -1);
    EXPECT_EQ(sign(0.0), 0);
    EXPECT_EQ(sign(4.0), 1);
}

TEST(TextHelpers, PiecesAndReplacements) {
    EXPECT_EQ(trim("  space "), "space");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(substring("Quarrelix", 1, 5), "Quarr");
    EXPECT_EQ(substring("abc", 3, 10), "c");
    EXPECT_EQ(substring("abc", 4, 1), "");
    EXPECT_EQ(fieldOfText("a,b,,d", 2, ','), "b");
    EXPECT_EQ(fieldOfText("a,b,,d", 3, ','), "");
    EXPECT_EQ(fieldOfText("a,b,,d", 4, ','), "d");
    EXPECT_EQ(fieldOfText("a,b,,d", 5, ','), "");
    EXPECT_EQ(replaceText("aXbXc", "X", "--"), "a--b--c");
    EXPECT_EQ(upperCase("Left shift"), "LEFT SHIFT");
    EXPECT_EQ(floatToText(1.25, 1), "1.2");
    EXPECT_EQ(firstCharCode("é"), 0xE9);
    EXPECT_EQ(firstCharCode(""), 0);
}

TEST(Files, SizesPathsAndTextFiles) {
    std::filesystem::create_directories("files_test_dir");
    EXPECT_EQ(fileSize("files_test_dir"), -2);
    EXPECT_EQ(fileSize("files_test_dir/missing.txt"), -1);
    ASSERT_EQ(createFile(3, "files_test_dir\\out.txt"), 1); // '\' means '/'
    EXPECT_EQ(writeText(3, "hello"), 1);
    EXPECT_EQ(closeFile(3), 1);
    EXPECT_EQ(fileSize("files_test_dir/out.txt"), 5);
    EXPECT_EQ(writeText(3, "closed"), 0);
    EXPECT_EQ(createFile(4, "files_test_dir"), 0);
    EXPECT_TRUE(replaceFileAtomically("files_test_dir/out.txt", "replaced"));
    std::string contents;
    ASSERT_TRUE(readWholeFile("files_test_dir/out.txt", contents));
    EXPECT_EQ(contents, "replaced");
    EXPECT_FALSE(std::filesystem::exists("files_test_dir/out.txt.tmp"));
    // A target that cannot be written keeps nothing half-written behind.
    EXPECT_FALSE(replaceFileAtomically("files_test_dir/no/such/dir.txt", "x"));
    std::filesystem::remove_all("files_test_dir");
}

// Sound pools: finding their files, the variant table, and playing with pan, volume and pitch.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "data/sound_library.h"
#include "render/pool_sounds.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/settings.h"
#include "ogg_fixture.h"
#include "wav_fixture.h"

namespace {
std::string wavBytes(int64_t rate, int64_t frames) {
    return wavFile(rate, frames, [](int64_t i) { return i % 50 * 300; });
}

// A short Ogg Vorbis file (mono, 0.1 s of a quiet ramp).
std::string oggBytes(int64_t rate) {
    return oggFile(1, rate, rate / 10, 0.3f, [](int, int64_t i) { return float(i % 100) / 1000.0f; });
}

struct SoundLibraryTest : testing::Test {
    std::filesystem::path home;
    void SetUp() override {
        home = std::filesystem::current_path();
        std::filesystem::remove_all("sound_library_test");
        std::filesystem::create_directories("sound_library_test/sound");
        std::filesystem::current_path("sound_library_test");
        setHeadless(HeadlessOptions{});
        initSound();
        clearSoundLibrary();
        settings.soundVolume = 50;
        settings.soundStereo = 60;
        settings.soundVariation = 1;
        screenWidth = 1280;
    }
    void TearDown() override {
        clearSoundLibrary();
        endRuntime();
        clearHeadless();
        std::filesystem::current_path(home);
        std::filesystem::remove_all("sound_library_test");
    }
    static void file(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(replaceFileAtomically("sound/" + name, bytes));
    }
    // Loads pools given as JSON text of the "soundPool" array's elements.
    static void pools(const std::string& elements) {
        ASSERT_EQ(parseJson(5, "[" + elements + "]"), 1);
        for (int64_t i = 0; i < jsonArraySize(jsonRoot(5)); ++i)
            soundPools.push_back(readSoundPool(jsonElement(jsonRoot(5), i)));
        freeJson(5);
    }
};
} // namespace

TEST_F(SoundLibraryTest, NumberedVariantsStopAtTheFirstGap) { // and pass over broken ones
    file("punch1.wav", wavBytes(22050, 100));
    file("punch2.wav", wavBytes(44100, 100));
    file("punch4.wav", wavBytes(22050, 100));
    EXPECT_EQ(loadPoolSounds("punch", 7), ".wav");
    EXPECT_EQ(variantCount(7), 1);
    EXPECT_EQ(poolBase(7), 2048);
    EXPECT_EQ(soundExists(2048), 1);
    EXPECT_EQ(soundExists(2049), 1);
    EXPECT_EQ(soundExists(2050), 0);
    // A file that cannot be played is passed over with a word; the ones after it still load.
    file("kick1.wav", wavBytes(22050, 100));
    file("kick2.wav", "RIFF\x04\0\0\0WAVE but no chunks");
    file("kick3.wav", wavBytes(44100, 100));
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadPoolSounds("kick", 8), ".wav");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("kick2.wav cannot be played"), std::string::npos);
    EXPECT_EQ(variantCount(8), 1);
    EXPECT_EQ(getSoundFrequency(poolBase(8) + 1), 44100);
}

TEST_F(SoundLibraryTest, SingleWavComesBeforeEverythingElse) {
    file("x.wav", wavBytes(22050, 50));
    file("x1.ogg", oggBytes(22050));
    EXPECT_EQ(loadPoolSounds("x", 3), ".wav");
    EXPECT_EQ(variantCount(3), 0);
    EXPECT_EQ(getSoundFrequency(poolBase(3)), 22050);
    // Ogg files are used when there is no WAV at all.
    file("y1.ogg", oggBytes(32000));
    file("y2.ogg", oggBytes(32000));
    EXPECT_EQ(loadPoolSounds("y", 4), ".ogg");
    EXPECT_EQ(variantCount(4), 1);
    EXPECT_EQ(getSoundFrequency(poolBase(4) + 1), 32000);
    // An empty file is no file.
    file("z.wav", "");
    file("z1.wav", wavBytes(8000, 10));
    EXPECT_EQ(loadPoolSounds("z", 5), ".wav");
    EXPECT_EQ(getSoundFrequency(poolBase(5)), 8000);
}

TEST_F(SoundLibraryTest, PoolsWithoutFilesPlaySilence) {
    pools(R"({"id": 0, "name": "empty"}, {"id": 1, "name": "nothing here", "volume": 0})");
    EXPECT_EQ(soundPools[1].extension, "");
    EXPECT_EQ(soundPools[1].volume, 100);
    EXPECT_EQ(soundExists(poolBase(1)), 1);
    EXPECT_EQ(soundLengthFrames(poolBase(1)), 4);
    playPoolSound(1, 100, 1, 1.3, 1.0); // never fails
    EXPECT_EQ(soundStatus(poolBase(1)), 1);
    // Ids outside 0-254 own no slots and play nothing.
    pools(R"({"id": 255, "name": "far"}, {"id": -3, "name": "negative"})");
    EXPECT_EQ(poolBase(255), -1);
    EXPECT_EQ(playPoolVariant(255, 0, 100), -1);
    playPoolSound(2, 0, 1, 1.0, 1.0);
    playPoolSound(99, 0, 1, 1.0, 1.0);
}

TEST_F(SoundLibraryTest, PanFollowsTheScreenPositionAndVolumeTheSettings) {
    file("hit.wav", wavBytes(22050, 2000));
    pools(R"({"id": 0}, {"id": 1, "name": "hit"})");
    int64_t slot = poolBase(1);
    playPoolVariant(1, 0, 100);
    EXPECT_EQ(getSoundPan(slot), -60);
    playPoolVariant(1, 640, 100);
    EXPECT_EQ(getSoundPan(slot), 0);
    playPoolVariant(1, 1279, 100);
    EXPECT_EQ(getSoundPan(slot), 59);
    EXPECT_EQ(getSoundVolume(slot), 50); // 50% of the setting x pool volume 100
    setSoundPan(slot, 12);
    playPoolVariant(1, kNoStereo, 100);
    EXPECT_EQ(getSoundPan(slot), 12); // no place: the pan is left alone
    settings.soundVolume = 100;
    playPoolVariant(1, 0, 300);
    EXPECT_EQ(getSoundVolume(slot), 100);
}

TEST_F(SoundLibraryTest, PitchChangesOnlyWhenAsked) {
    file("ring.wav", wavBytes(22050, 2000));
    pools(R"({"id": 0}, {"id": 1, "name": "ring"})");
    int64_t slot = poolBase(1);
    settings.soundVariation = 0;
    for (int i = 0; i < 20; ++i) {
        playPoolSound(1, 0, 1, 1.0, 1.0);
        EXPECT_EQ(getSoundFrequency(slot), 22050);
    }
    playPoolSound(1, 0, 0, 2.0, 1.0);
    EXPECT_EQ(getSoundFrequency(slot), 44100);
    settings.soundVariation = 1;
    seedRandom(1);
    bool varied = false;
    for (int i = 0; i < 20; ++i) {
        playPoolSound(1, 0, 1, 1.0, 1.0);
        int64_t f = getSoundFrequency(slot);
        EXPECT_GE(f, 22050 * 80 / 100);
        EXPECT_LE(f, 22050 * 120 / 100);
        varied |= f != 22050;
    }
    EXPECT_TRUE(varied);
}

TEST_F(SoundLibraryTest, ChainedPoolsPlayTogetherAtTheirVolume) {
    file("a.wav", wavBytes(22050, 2000));
    file("b.wav", wavBytes(22050, 2000));
    settings.soundVolume = 100;
    pools(R"({"id": 0}, {"id": 1, "name": "b", "volume": 80},
             {"id": 2, "name": "a", "next": 1, "nextVolume": 0.5},
             {"id": 3, "name": "a", "next": 9})");
    EXPECT_EQ(soundPools[2].next, 1);
    EXPECT_FLOAT_EQ(soundPools[2].nextVolume, 0.5f);
    EXPECT_EQ(soundPools[3].next, 0); // a later or missing pool cannot be chained
    playPoolSound(2, 0, 0, 1.0, 1.0);
    EXPECT_EQ(getSoundVolume(poolBase(2)), 100);
    EXPECT_EQ(soundStatus(poolBase(1)), 1);
    EXPECT_EQ(getSoundVolume(poolBase(1)), 40); // 80 x 0.5
}

TEST_F(SoundLibraryTest, VariantsStillSoundingAreSkipped) {
    file("v1.wav", wavBytes(22050, 20000));
    file("v2.wav", wavBytes(22050, 20000));
    pools(R"({"id": 0}, {"id": 1, "name": "v"})");
    advanceSilentMixer(1000); // the silent warm-up plays have ended
    int64_t first = playPoolVariant(1, 0, 100);
    int64_t second = playPoolVariant(1, 0, 100);
    EXPECT_NE(first, second);
    EXPECT_EQ(soundStatus(first), 1);
    EXPECT_EQ(soundStatus(second), 1);
}

TEST_F(SoundLibraryTest, ClassesAndMaterialsResolveWithinTheirLists) {
    pools(R"({"id": 0}, {"id": 1}, {"id": 2})");
    ASSERT_EQ(parseJson(6, R"({"light": 2, "medium": 3, "heavy": -1, "blocked": 1,
                               "heavyThreshold": 12})"), 1);
    soundClasses.push_back(readSoundClass(jsonRoot(6)));
    soundClasses.push_back(readSoundClass(jsonRoot(6)));
    const SoundClass& c = soundClasses[0];
    EXPECT_EQ(c.light, 2);
    EXPECT_EQ(c.medium, 0);
    EXPECT_EQ(c.heavy, 0);
    EXPECT_EQ(c.blocked, 1);
    EXPECT_EQ(c.heavyThreshold, 12);
    ASSERT_EQ(parseJson(7, R"({"cut": 1, "pierce": 2, "blunt": 0})"), 1);
    SoundMaterial m = readSoundMaterial(jsonRoot(7));
    EXPECT_EQ(m.cut, 1);
    EXPECT_EQ(m.pierce, 0);
    freeJson(-1);
}

TEST_F(SoundLibraryTest, HugeVolumesAndVariationsStayInRange) {
    file("a.wav", wavBytes(22050, 2000));
    file("b.wav", wavBytes(22050, 2000));
    settings.soundVolume = 100;
    // A pool volume near the integer limit, and a chain of three pools.
    pools(R"({"id": 0}, {"id": 1, "name": "b", "volume": 100000000000000000},
             {"id": 2, "name": "a", "next": 1}, {"id": 3, "name": "a", "next": 2})");
    playPoolVariant(1, 0, soundPools[1].volume);
    EXPECT_EQ(getSoundVolume(poolBase(1)), 100);
    playPoolVariant(1, 0, -soundPools[1].volume);
    EXPECT_EQ(getSoundVolume(poolBase(1)), 0);
    // Every pool of the chain still varies its pitch, however large the setting in memory.
    settings.soundVariation = int64_t(1) << 32;
    seedRandom(3);
    bool varied = false;
    for (int i = 0; i < 20; ++i) {
        playPoolSound(3, 0, int64_t(1) << 32, 1.0, 1.0);
        int64_t f = getSoundFrequency(poolBase(1));
        EXPECT_GE(f, 22050 * 80 / 100);
        EXPECT_LE(f, 22050 * 120 / 100);
        varied |= f != 22050;
    }
    EXPECT_TRUE(varied);
}

// Sounds: loading, the volume law and pan clamps, playback rate, channels and the mixer.
#include "headless_fixture.h"
#include "wav_fixture.h"

#include <cmath>
#include <cstring>

using SoundTest = HeadlessScreen;

namespace {
std::string makeWav(int64_t rate, int64_t frames, int16_t value) {
    return wavFile(rate, frames, [value](int64_t) { return value; });
}
} // namespace

TEST_F(SoundTest, VolumeFollowsTheDecibelLawAndPanClamps) {
    EXPECT_NEAR(20 * std::log10(gainOf(50, 0).left), -6.02, 0.01);
    EXPECT_NEAR(20 * std::log10(gainOf(1, 0).left), -40.0, 0.01);
    EXPECT_EQ(gainOf(0, 0).left, 0.0);
    EXPECT_EQ(gainOf(100, 100).left, 0.0); // fully right
    EXPECT_EQ(gainOf(100, 100).right, 1.0);
    EXPECT_EQ(gainOf(100, -100).right, 0.0);

    auto wav = makeWav(22050, 100, 1000);
    ASSERT_EQ(loadSoundFromMemory(1, wav.data(), int64_t(wav.size())), 1);
    setSoundPan(1, 250);
    EXPECT_EQ(getSoundPan(1), 100);
    setSoundPan(1, -300);
    EXPECT_EQ(getSoundPan(1), -100);
    setSoundVolume(1, -5);
    EXPECT_EQ(getSoundVolume(1), 0);
    setSoundVolume(1, 150);
    EXPECT_EQ(getSoundVolume(1), 100);
}

TEST_F(SoundTest, MixerAppliesVolumeAndPan) {
    auto wav = makeWav(kMixRate, 1000, 10000);
    ASSERT_EQ(loadSoundFromMemory(1, wav.data(), int64_t(wav.size())), 1);
    setSoundVolume(1, 50);
    setSoundPan(1, 100);
    playSound(1);
    int16_t out[20];
    mixSounds(out, 10);
    EXPECT_EQ(out[0], 0);                // left silent
    EXPECT_NEAR(out[1], 5000, 1);        // right at half amplitude
}

TEST_F(SoundTest, FrequencyChangesHowLongASoundPlays) {
    auto wav = makeWav(22050, 2205, 100); // 100 ms at its own rate
    ASSERT_EQ(loadSoundFromMemory(1, wav.data(), int64_t(wav.size())), 1);
    EXPECT_EQ(getSoundFrequency(1), 22050);
    EXPECT_EQ(soundStatus(1), 0);
    playSound(1);
    EXPECT_EQ(soundStatus(1), 1);
    advanceSilentMixer(90);
    EXPECT_EQ(soundStatus(1), 1);
    advanceSilentMixer(20);
    EXPECT_EQ(soundStatus(1), 0);
    setSoundFrequency(1, 44100); // twice the rate: done in 50 ms
    EXPECT_EQ(getSoundFrequency(1), 44100);
    playSound(1);
    advanceSilentMixer(45);
    EXPECT_EQ(soundStatus(1), 1);
    advanceSilentMixer(10);
    EXPECT_EQ(soundStatus(1), 0);
}

TEST_F(SoundTest, LoopingPositionChannelsAndStatus) {
    auto wav = makeWav(kMixRate, 441, 100); // 10 ms
    ASSERT_EQ(loadSoundFromMemory(1, wav.data(), int64_t(wav.size())), 1);
    playSound(1, kSoundLoop);
    advanceSilentMixer(100);
    EXPECT_EQ(soundStatus(1), 1);
    int64_t channel = playSound(1, kSoundNewChannel, 30);
    EXPECT_GE(channel, 1);
    EXPECT_EQ(soundStatus(1, channel), 1);
    EXPECT_EQ(getSoundVolume(1, channel), 30);
    EXPECT_EQ(getSoundVolume(1), 100); // the sound's own channel keeps its volume
    advanceSilentMixer(20);
    EXPECT_EQ(soundStatus(1, channel), 0); // the extra channel played once
    pauseSound(1);
    EXPECT_EQ(soundStatus(1), 2);
    resumeSound(1);
    EXPECT_EQ(soundStatus(1), 1);
    stopSound(-1);
    EXPECT_EQ(soundStatus(1), 0);
    setSoundPosition(1, 5, 1); // milliseconds: half way
    playSound(1);
    advanceSilentMixer(6);
    EXPECT_EQ(soundStatus(1), 0);
    EXPECT_EQ(soundStatus(77), 3);
    freeSound(1);
    EXPECT_EQ(soundExists(1), 0);
}

TEST_F(SoundTest, TheSilentEightBitWavAndBadDataLoadSafely) {
    // 48 bytes: one channel, 8 bits, 44100 Hz, four samples of silence.
    const uint8_t silent[48] = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E',
                                'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                0x44, 0xAC, 0, 0, 0x44, 0xAC, 0, 0, 1, 0, 8, 0,
                                'd', 'a', 't', 'a', 4, 0, 0, 0, 0x80, 0x80, 0x80, 0x80};
    ASSERT_EQ(loadSoundFromMemory(2, silent, 48), 1);
    EXPECT_EQ(soundLengthFrames(2), 4);
    EXPECT_EQ(playSound(2, 0, 0), 1);
    const char garbage[] = "RIFFxxxxWAVEnothing here at all";
    EXPECT_EQ(loadSoundFromMemory(3, garbage, sizeof garbage), 0);
    EXPECT_EQ(loadSoundFromMemory(3, "OggS and nothing", 16), 0);
    EXPECT_EQ(loadSound(3, "no/such.ogg"), 0);
    EXPECT_EQ(soundExists(3), 0);
}

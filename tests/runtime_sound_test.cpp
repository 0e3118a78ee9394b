// Sounds: loading, the volume law and pan clamps, playback rate, channels and the mixer.
#include "headless_fixture.h"
#include "wav_fixture.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

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

namespace {
void putLittleEndian32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = char((value >> (8 * i)) & 255);
}

uint32_t littleEndian32Of(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + size_t(i)]);
    return value;
}

int64_t loadBytes(int64_t id, const std::string& bytes) {
    return loadSoundFromMemory(id, bytes.data(), int64_t(bytes.size()));
}

// The Ogg page checksum (polynomial 0x04C11DB7, not reflected, starting at 0) over a page
// whose checksum field is zero.
uint32_t oggChecksum(const std::string& page) {
    uint32_t crc = 0;
    for (unsigned char byte : page) {
        crc ^= uint32_t(byte) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// Where each Ogg page of a file starts.
std::vector<size_t> oggPageStarts(const std::string& ogg) {
    std::vector<size_t> starts;
    for (size_t at = 0; at + 27 <= ogg.size();) {
        starts.push_back(at);
        size_t segments = uint8_t(ogg[at + 26]), body = 0;
        for (size_t i = 0; i < segments; ++i) body += uint8_t(ogg[at + 27 + i]);
        at += 27 + segments + body;
    }
    return starts;
}
} // namespace

TEST_F(SoundTest, WavFilesWhoseChunksLieAreRefused) {
    auto wav = makeWav(22050, 100, 1000); // 44-byte header, then 200 bytes of samples
    ASSERT_EQ(loadBytes(1, wav), 1);
    // An empty data chunk: nothing to play (and no buffer to copy from).
    std::string empty = wav.substr(0, 44);
    putLittleEndian32(empty, 40, 0);
    EXPECT_EQ(loadBytes(2, empty), 0);
    // One byte of 16-bit samples: SDL drops the partial frame and leaves nothing either.
    std::string oneByte = wav.substr(0, 45);
    putLittleEndian32(oneByte, 40, 1);
    EXPECT_EQ(loadBytes(2, oneByte), 0);
    // 48 bytes declaring a data chunk of almost 4 GB: refused before anything is allocated.
    std::string lying = wav.substr(0, 48);
    putLittleEndian32(lying, 40, 0xFFFFFFF0u);
    EXPECT_EQ(loadBytes(2, lying), 0);
    // A file cut in the middle of its samples.
    EXPECT_EQ(loadBytes(2, wav.substr(0, 144)), 0);
    // A format chunk reaching beyond the file.
    std::string format = wav;
    putLittleEndian32(format, 16, 0x7FFFFFF0u);
    EXPECT_EQ(loadBytes(2, format), 0);
    // The samples before their format.
    std::string backwards = wav.substr(0, 12) + wav.substr(36) + wav.substr(12, 24);
    EXPECT_EQ(loadBytes(2, backwards), 0);
    EXPECT_EQ(soundExists(2), 0);
    // A chunk the game does not know, padded to an even length, is stepped over.
    std::string extra = wav.substr(0, 36) + std::string("LIST\x03\0\0\0abc\0", 12) + wav.substr(36);
    EXPECT_EQ(loadBytes(3, extra), 1);
    EXPECT_EQ(soundLengthFrames(3), 100);
}

TEST_F(SoundTest, OggFilesCutShortOrLyingAreRefused) {
    std::string ogg;
    if (!readWholeFile(std::string(QRX_GAME_DIR) + "/sound/counter.ogg", ogg))
        GTEST_SKIP() << "no generated sounds";
    ASSERT_EQ(loadBytes(1, ogg), 1);
    int64_t frames = soundLengthFrames(1);
    EXPECT_GT(frames, 0);
    std::vector<size_t> pages = oggPageStarts(ogg);
    ASSERT_GE(pages.size(), 3u);
    // Cut anywhere: within a page, or where a page begins (the stream never ends).
    for (size_t cut : {ogg.size() / 2, ogg.size() - 1, pages.back(), pages[2], size_t(30)})
        EXPECT_EQ(loadBytes(2, ogg.substr(0, cut)), 0) << "cut at " << cut;
    // Garbage behind a real page, or after the end.
    EXPECT_EQ(loadBytes(2, ogg.substr(0, pages[1]) + std::string(4000, '\x5A')), 0);
    EXPECT_EQ(loadBytes(2, ogg + "trailing"), 0);
    // The last page claiming a length of hours (its checksum made right again).
    std::string hours = ogg;
    size_t last = pages.back();
    for (int i = 0; i < 8; ++i) hours[last + 6 + size_t(i)] = char(i == 4 ? 1 : 0); // 2^32 frames
    putLittleEndian32(hours, last + 22, 0);
    putLittleEndian32(hours, last + 22, oggChecksum(hours.substr(last)));
    EXPECT_EQ(loadBytes(2, hours), 0);
    EXPECT_EQ(soundExists(2), 0);
    // The checksum helper is right: the unchanged last page checks out.
    std::string page = ogg.substr(last);
    uint32_t stored = littleEndian32Of(page, 22);
    putLittleEndian32(page, 22, 0);
    EXPECT_EQ(oggChecksum(page), stored);
}

// Music is decoded on a thread of its own from the moment it is loaded. It must play, end and
// loop as the same file decoded whole does, sample for sample, and a game that frees it or
// ends while it is still decoding must neither wait long nor crash.
TEST_F(SoundTest, MusicDecodedBesideTheGameSoundsAsTheWholeFile) {
    std::string path = std::string(QRX_GAME_DIR) + "/music/Merlok v02 loop.ogg";
    std::string ogg;
    if (!readWholeFile(path, ogg)) GTEST_SKIP() << "no generated music";
    ASSERT_GT(ogg.size(), size_t(256 << 10)) << "a file this short is decoded at once";
    ASSERT_EQ(loadSound(1, path), 1);
    ASSERT_EQ(loadBytes(2, ogg), 1);
    ASSERT_EQ(soundLengthFrames(1), soundLengthFrames(2));
    ASSERT_EQ(soundChannelCount(1), soundChannelCount(2));

    // Both end at the same moment.
    playSound(1);
    playSound(2);
    double lengthMs = 1000.0 * double(soundLengthFrames(2)) / double(getSoundFrequency(2));
    advanceSilentMixer(lengthMs - 5);
    EXPECT_EQ(soundStatus(1), 1);
    EXPECT_EQ(soundStatus(2), 1);
    advanceSilentMixer(10);
    EXPECT_EQ(soundStatus(1), 0);
    EXPECT_EQ(soundStatus(2), 0);

    // Once decoded (far faster than it plays), mixed alone from the start, the middle and
    // across the loop point: the same samples.
    for (int i = 0; i < 5000 && soundFramesReady(1) < soundLengthFrames(1); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(soundFramesReady(1), soundLengthFrames(1));
    auto mixAlone = [](int64_t id, int64_t from) {
        stopSound(-1);
        setSoundPosition(id, from, 0);
        playSound(id, kSoundLoop);
        std::vector<int16_t> out(2 * 4096);
        mixSounds(out.data(), 4096);
        stopSound(id);
        return out;
    };
    int64_t frames = soundLengthFrames(2);
    for (int64_t from : {int64_t(0), frames / 2, frames - 1000})
        EXPECT_EQ(mixAlone(1, from), mixAlone(2, from)) << "from frame " << from;

    // Freed, loaded again and ended while decoding.
    freeSound(1);
    ASSERT_EQ(loadSound(1, path), 1);
    ASSERT_EQ(loadSound(3, path), 1);
    freeSound(3);
}

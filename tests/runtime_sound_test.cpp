// Sounds: loading, the volume law and pan clamps, playback rate, channels and the mixer.
#include "headless_fixture.h"
#include "ogg_fixture.h"
#include "wav_fixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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
    EXPECT_EQ(soundLoadProblem(), "its data runs past the end of the file: it was cut short");
    // A recording streamed with its length unknown (0xFFFFFFFF): what the file holds plays.
    std::string streamed = wav;
    putLittleEndian32(streamed, 4, 0xFFFFFFFFu);
    putLittleEndian32(streamed, 40, 0xFFFFFFFFu);
    EXPECT_EQ(loadBytes(4, streamed), 1);
    EXPECT_EQ(soundLengthFrames(4), 100);
    freeSound(4);
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
    // Bytes after the stream's end (a tag some tools append) are left out: it plays.
    EXPECT_EQ(loadBytes(3, ogg + "trailing"), 1);
    EXPECT_EQ(soundLengthFrames(3), frames);
    freeSound(3);
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

namespace {
// An Ogg Vorbis file of `channels` channels at 48 kHz in which only channel `active` sounds: a
// 1 kHz tone at half scale.
std::string toneOgg(int channels, int active, int64_t frames) {
    return oggFile(channels, 48000, frames, 0.5f, [active](int c, int64_t i) {
        return c == active ? 0.5f * std::sin(2 * 3.14159265f * 1000 * float(i) / 48000) : 0.0f;
    });
}

// The loudest sample of each side over the first frames the mixer gives for sound 1.
std::pair<int, int> peaks(int64_t frames) {
    std::vector<int16_t> out(size_t(frames) * 2);
    playSound(1);
    mixSounds(out.data(), frames);
    stopSound(1);
    int left = 0, right = 0;
    for (int64_t f = 0; f < frames; ++f) {
        left = std::max(left, std::abs(int(out[size_t(2 * f)])));
        right = std::max(right, std::abs(int(out[size_t(2 * f + 1)])));
    }
    return {left, right};
}
} // namespace

// Ogg files of 3 to 8 channels are mixed down to stereo by Vorbis's channel order: front left
// and right to their sides, the centre to both, surrounds and rears to their side, the low
// frequencies to both; a sound of one channel is heard where that channel stands.
TEST_F(SoundTest, OggOfManyChannelsIsMixedDownToStereo) {
    enum Side { kLeft, kRight, kBoth };
    struct Case { int channels, active; Side side; };
    const Case cases[] = {{3, 0, kLeft}, {3, 1, kBoth}, {3, 2, kRight}, {4, 2, kLeft},
                          {4, 3, kRight}, {5, 1, kBoth}, {5, 4, kRight}, {6, 5, kBoth},
                          {6, 3, kLeft},  {7, 5, kBoth}, {8, 6, kRight}, {8, 7, kBoth}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels, channel " + std::to_string(c.active));
        std::string ogg = toneOgg(c.channels, c.active, 9600);
        ASSERT_FALSE(ogg.empty());
        ASSERT_EQ(loadBytes(1, ogg), 1) << soundLoadProblem();
        EXPECT_EQ(soundChannelCount(1), 2);
        auto [left, right] = peaks(4800);
        // A half-scale tone: a side it reaches holds a good part of it, the other almost none.
        if (c.side != kRight) EXPECT_GT(left, 2000);
        if (c.side != kLeft) EXPECT_GT(right, 2000);
        if (c.side == kLeft) EXPECT_LT(right, 300);
        if (c.side == kRight) EXPECT_LT(left, 300);
        if (c.side == kBoth) EXPECT_NEAR(left, right, 300);
        EXPECT_LE(std::max(left, right), 16384 + 1000); // no side louder than the tone
        freeSound(1);
    }
}

// A 64-bit float WAV plays as its values say; float samples of another width are refused with
// the reason; a file that cannot be played says so on standard error with its name.
TEST_F(SoundTest, WavOfFloatSamplesPlaysOrSaysWhy) {
    auto floatWav = [](int bits, const std::vector<double>& values) {
        const uint32_t frameBytes = uint32_t(bits / 8);
        std::string wav = "RIFF" + std::string(4, '\0') + "WAVEfmt " + std::string(20, '\0') + "data" +
                          std::string(4, '\0');
        putLittleEndian32(wav, 4, uint32_t(36 + values.size() * frameBytes));
        putLittleEndian32(wav, 16, 16);
        wav[20] = 3; // IEEE float
        wav[22] = 1; // mono
        putLittleEndian32(wav, 24, 48000);
        putLittleEndian32(wav, 28, 48000 * frameBytes);
        wav[32] = char(frameBytes);
        wav[34] = char(bits);
        putLittleEndian32(wav, 40, uint32_t(values.size() * frameBytes));
        for (double v : values) {
            if (bits == 64) wav.append(reinterpret_cast<const char*>(&v), 8);
            else wav.append(std::string(size_t(frameBytes), '\0'));
        }
        return wav;
    };
    const std::vector<double> values(480, -0.25);
    ASSERT_EQ(loadBytes(1, floatWav(64, values)), 1) << soundLoadProblem();
    EXPECT_EQ(soundLengthFrames(1), 480);
    std::vector<int16_t> out(2 * 4);
    playSound(1);
    mixSounds(out.data(), 4);
    EXPECT_NEAR(out[2], -0.25 * 32767, 2); // centred: the value on both sides
    EXPECT_NEAR(out[3], -0.25 * 32767, 2);
    freeSound(1);
    EXPECT_EQ(loadBytes(1, floatWav(16, values)), 0);
    EXPECT_EQ(soundLoadProblem(), "16-bit float samples cannot be played: save it as 16-bit");

    // Through a file: one line naming it, and the inspector's check gives the same reason.
    std::string broken = floatWav(16, values);
    std::FILE* file = std::fopen("float16.wav", "wb");
    ASSERT_TRUE(file);
    std::fwrite(broken.data(), 1, broken.size(), file);
    std::fclose(file);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadSound(1, "float16.wav"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quarrelix: the sound float16.wav cannot be played: " + soundLoadProblem() + "\n");
    EXPECT_EQ(soundFileProblem("float16.wav"), soundLoadProblem());
    EXPECT_EQ(soundFileProblem("no-such.wav"), "the file is missing");
    std::remove("float16.wav");
}

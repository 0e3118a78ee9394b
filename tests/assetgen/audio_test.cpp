// WAV and Ogg output, hit sound character, loop seams of the music.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "audio_io.h"
#include "music.h"
#include "sound_ids.h"
#include "sounds.h"
#include "synth.h"

namespace {

std::string scratchFile(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / "assetgen_tests";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

double rms(const AudioBuffer& a) {
    double sum = 0;
    for (float s : a.samples) sum += double(s) * s;
    return std::sqrt(sum / double(std::max<size_t>(1, a.samples.size())));
}

AudioBuffer sine(int rate, int channels, double seconds, double freq) {
    AudioBuffer a = makeAudio(rate, channels, size_t(seconds * rate));
    for (size_t i = 0; i < frameCount(a); ++i) {
        for (int c = 0; c < channels; ++c) a.samples[i * size_t(channels) + size_t(c)] = 0.5f * sineWave(freq * double(i) / rate);
    }
    return a;
}

// Largest sample-to-sample step (over all channels) inside the buffer.
float largestStep(const AudioBuffer& a) {
    float step = 0;
    const size_t ch = size_t(a.channels);
    for (size_t i = ch; i < a.samples.size(); ++i) step = std::max(step, std::fabs(a.samples[i] - a.samples[i - ch]));
    return step;
}

}  // namespace

TEST(Wav, HeaderDescribes16BitPcm) {
    const AudioBuffer a = sine(22050, 1, 0.1, 440);
    const std::string path = scratchFile("tone.wav");
    ASSERT_TRUE(writeWav(path, a));
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 44 + frameCount(a) * 2);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(bytes[20], 1);    // PCM
    EXPECT_EQ(bytes[22], 1);    // mono
    EXPECT_EQ(bytes[34], 16);   // bits per sample
    AudioBuffer back;
    ASSERT_TRUE(readWav(path, back));
    EXPECT_EQ(back.sampleRate, 22050);
    EXPECT_EQ(frameCount(back), frameCount(a));
    EXPECT_NEAR(back.samples[100], a.samples[100], 1e-4f);
}

TEST(Ogg, DecodesToTheEncodedLength) {
    const AudioBuffer a = sine(44100, 2, 1.3, 330);
    const std::string path = scratchFile("tone.ogg");
    ASSERT_TRUE(writeOgg(path, a, 0.3f));
    AudioBuffer back;
    ASSERT_TRUE(readOgg(path, back));
    EXPECT_EQ(back.channels, 2);
    EXPECT_EQ(back.sampleRate, 44100);
    EXPECT_EQ(frameCount(back), frameCount(a));
    EXPECT_NEAR(rms(back), rms(a), 0.02);
}

TEST(Mixing, WrappedNotesContinueAtTheStart) {
    AudioBuffer loop = makeAudio(1000, 1, 100);
    AudioBuffer note = makeAudio(1000, 1, 30);
    for (float& s : note.samples) s = 1.0f;
    mixInto(loop, note, 90, 1.0f, 0.0f, true);
    EXPECT_FLOAT_EQ(loop.samples[95], 1.0f);
    EXPECT_FLOAT_EQ(loop.samples[5], 1.0f);    // the tail wrapped round
    EXPECT_FLOAT_EQ(loop.samples[25], 0.0f);
    AudioBuffer once = makeAudio(1000, 1, 100);
    mixInto(once, note, 90, 1.0f, 0.0f, false);
    EXPECT_FLOAT_EQ(once.samples[5], 0.0f);
}

TEST(HitSounds, StrengthsGrowLouderAndLonger) {
    for (int m = 0; m < kMaterialCount; ++m) {
        for (int d = kDamageCut; d <= kDamageBlunt; ++d) {
            const AudioBuffer blocked = synthesizePool(hitPool(m, d, kStrengthBlocked), 0);
            const AudioBuffer heavy = synthesizePool(hitPool(m, d, kStrengthHeavy), 0);
            EXPECT_GT(durationSeconds(heavy), durationSeconds(blocked)) << m << " " << d;
            EXPECT_GT(peakOf(heavy), peakOf(blocked)) << m << " " << d;
            EXPECT_LE(peakOf(heavy), 1.0f);
        }
    }
}

TEST(HitSounds, VariantsDifferAndRepeatExactly) {
    const int pool = hitPool(kMaterialFlesh, kDamageBlunt, kStrengthLight);
    const AudioBuffer a = synthesizePool(pool, 0);
    const AudioBuffer b = synthesizePool(pool, 1);
    EXPECT_NE(a.samples, b.samples);
    EXPECT_EQ(a.samples, synthesizePool(pool, 0).samples);
}

TEST(HitSounds, MaterialsSoundDifferent) {
    // Metal rings longest: more energy late in the sound than flesh.
    auto tailEnergy = [](const AudioBuffer& a) {
        double sum = 0;
        for (size_t i = size_t(0.15 * a.sampleRate); i < a.samples.size(); ++i) sum += double(a.samples[i]) * a.samples[i];
        return sum;
    };
    const AudioBuffer metal = synthesizePool(hitPool(kMaterialMetal, kDamageCut, kStrengthMedium), 0);
    const AudioBuffer flesh = synthesizePool(hitPool(kMaterialFlesh, kDamageCut, kStrengthMedium), 0);
    EXPECT_GT(tailEnergy(metal), 2.0 * tailEnergy(flesh));
}

TEST(Music, LoopsJoinWithoutAClick) {
    // The desktop stage's loop: the step from the last sample to the first is no larger than
    // the steps inside the music.
    for (const MusicTrack& track : musicTracks()) {
        if (track.file != "music/Quarrelix menu v04.ogg") continue;
        const AudioBuffer a = renderMusic(track);
        ASSERT_TRUE(track.looped);
        EXPECT_GE(durationSeconds(a), 30.0);
        EXPECT_LE(durationSeconds(a), 90.0);
        const size_t ch = size_t(a.channels);
        float seam = 0;
        for (size_t c = 0; c < ch; ++c) seam = std::max(seam, std::fabs(a.samples[c] - a.samples[a.samples.size() - ch + c]));
        EXPECT_LE(seam, largestStep(a));
        // The start is not silent: the loop's tails were carried round into it.
        EXPECT_GT(std::fabs(a.samples[0]) + std::fabs(a.samples[1]), 0.0f);
    }
}

TEST(Music, JingleLengthsFitTheirMoments) {
    for (const MusicTrack& track : musicTracks()) {
        if (track.file == "sound/counter.ogg") {
            EXPECT_NEAR(durationSeconds(renderMusic(track)), 3.0, 0.01);
        }
    }
}

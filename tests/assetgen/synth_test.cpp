// The synth toolkit: pitch, filters, envelopes, saturation, effects and drum voices.
#include <gtest/gtest.h>

#include <cmath>

#include "synth.h"

namespace {

constexpr int kRate = 44100;

AudioBuffer tone(double freq, double seconds) {
    AudioBuffer a = makeAudio(kRate, 1, size_t(seconds * kRate));
    for (size_t i = 0; i < a.samples.size(); ++i) a.samples[i] = 0.5f * sineWave(freq * double(i) / kRate);
    return a;
}

// RMS of the buffer after running it through the filter (the first 50 ms skipped: settling).
double filteredRms(AudioBuffer a, FilterKind kind, double cutoff) {
    Biquad f;
    setBiquad(f, kind, kRate, cutoff, 0.707);
    double sum = 0;
    size_t n = 0;
    for (size_t i = 0; i < a.samples.size(); ++i) {
        const float y = runBiquad(f, a.samples[i]);
        if (i < size_t(kRate / 20)) continue;
        sum += double(y) * y;
        ++n;
    }
    return std::sqrt(sum / double(n));
}

double rms(const AudioBuffer& a) {
    double sum = 0;
    for (float s : a.samples) sum += double(s) * s;
    return std::sqrt(sum / double(std::max<size_t>(1, a.samples.size())));
}

// Sign changes per second: high for hissing sounds, low for thumps.
double zeroCrossingRate(const AudioBuffer& a) {
    int n = 0;
    for (size_t i = 1; i < a.samples.size(); ++i) n += (a.samples[i - 1] < 0) != (a.samples[i] < 0);
    return n / durationSeconds(a);
}

}  // namespace

TEST(Synth, NotesAreEqualTemperedFromA440) {
    EXPECT_NEAR(noteFrequency(69), 440.0, 1e-9);
    EXPECT_NEAR(noteFrequency(81), 880.0, 1e-9);
    EXPECT_NEAR(noteFrequency(60), 261.6256, 1e-3);
}

TEST(Synth, FiltersPassTheirBandAndCutTheOther) {
    const double sine = rms(tone(200, 0.3));
    EXPECT_NEAR(filteredRms(tone(200, 0.3), FilterKind::LowPass, 2000), sine, 0.05 * sine);
    EXPECT_LT(filteredRms(tone(8000, 0.3), FilterKind::LowPass, 800), 0.05 * sine);  // more than 26 dB down
    EXPECT_NEAR(filteredRms(tone(8000, 0.3), FilterKind::HighPass, 800), sine, 0.05 * sine);
    EXPECT_LT(filteredRms(tone(100, 0.3), FilterKind::HighPass, 2000), 0.05 * sine);
    EXPECT_GT(filteredRms(tone(1000, 0.3), FilterKind::BandPass, 1000), 0.6 * sine);
    EXPECT_LT(filteredRms(tone(100, 0.3), FilterKind::BandPass, 3000), 0.2 * sine);
}

TEST(Synth, SweepableFilterSplitsLowAndHigh) {
    SvFilter f;
    double low = 0, high = 0;
    for (int i = 0; i < kRate / 5; ++i) {
        const SvOutput o = runSvf(f, 0.5f * sineWave(6000.0 * i / kRate), kRate, 500, 0.7);
        if (i > kRate / 20) low += std::fabs(o.low), high += std::fabs(o.high);
    }
    EXPECT_GT(high, 10 * low);
}

TEST(Synth, EnvelopesRiseHoldAndFall) {
    EXPECT_NEAR(adsr(0, 0.01, 0.1, 0.5f, 0.2, 1.0), 0.0f, 1e-6);
    EXPECT_NEAR(adsr(0.01, 0.01, 0.1, 0.5f, 0.2, 1.0), 1.0f, 0.02);
    EXPECT_NEAR(adsr(0.6, 0.01, 0.1, 0.5f, 0.2, 1.0), 0.5f, 0.01);    // sustained while held
    EXPECT_LT(adsr(1.1, 0.01, 0.1, 0.5f, 0.2, 1.0), 0.5f);            // releasing
    EXPECT_NEAR(adsr(1.3, 0.01, 0.1, 0.5f, 0.2, 1.0), 0.0f, 1e-3);    // released
    EXPECT_NEAR(percussive(0.005, 0.005, 0.1), 1.0f, 0.02);
    EXPECT_NEAR(percussive(0.105, 0.005, 0.1), std::exp(-1.0f), 0.03);
    for (double t = 0.01; t < 0.5; t += 0.01) EXPECT_LE(percussive(t + 0.01, 0.005, 0.1), percussive(t, 0.005, 0.1));
}

TEST(Synth, OscillatorsStayInRangeWithoutOffset) {
    const double dt = 440.0 / kRate;
    double sawSum = 0, squareSum = 0;
    const int n = int(1.0 / dt) * 20;  // whole periods
    for (int i = 0; i < n; ++i) {
        const double phase = i * dt;
        const float saw = sawWave(phase, dt), square = squareWave(phase, dt), tri = triangleWave(phase);
        ASSERT_LE(std::fabs(saw), 1.1f);
        ASSERT_LE(std::fabs(square), 1.1f);
        ASSERT_LE(std::fabs(tri), 1.0f + 1e-6f);
        sawSum += saw;
        squareSum += square;
    }
    EXPECT_LT(std::fabs(sawSum / n), 0.02);
    EXPECT_LT(std::fabs(squareSum / n), 0.02);
}

TEST(Synth, SoftClipNeverReachesFullScaleAndKeepsQuietSignals) {
    EXPECT_NEAR(softClip(0.05f), 0.05f, 0.005f);
    EXPECT_NEAR(softClip(-0.05f), -0.05f, 0.005f);
    float previous = softClip(-10.0f);
    for (float x = -10.0f; x <= 10.0f; x += 0.05f) {
        const float y = softClip(x);
        ASSERT_LE(std::fabs(y), 1.0f) << x;
        ASSERT_GE(y, previous) << x;  // never folds back
        EXPECT_NEAR(y, -softClip(-x), 1e-6f);
        previous = y;
    }
}

TEST(Synth, EdgesFadeAndNormalisingHitsTheTarget) {
    AudioBuffer a = tone(300, 0.2);
    for (float& s : a.samples) s += 0.3f;  // start and end far from zero
    fadeEdges(a, 5, 10);
    EXPECT_NEAR(a.samples.front(), 0.0f, 1e-3f);
    EXPECT_NEAR(a.samples.back(), 0.0f, 1e-3f);
    normalizeAudio(a, 0.8f);
    EXPECT_NEAR(peakOf(a), 0.8f, 1e-5f);
    AudioBuffer silence = makeAudio(kRate, 1, 100);
    normalizeAudio(silence, 0.8f);
    EXPECT_EQ(peakOf(silence), 0.0f);
}

TEST(Synth, EchoAndReverbLeaveATailAfterAClick) {
    AudioBuffer a = makeAudio(kRate, 2, kRate);
    a.samples[0] = a.samples[1] = 1.0f;
    AudioBuffer echoed = a;
    addEcho(echoed, 0.1, 0.5f, 0.5f);
    const size_t at = size_t(0.1 * kRate) * 2;
    EXPECT_GT(std::fabs(echoed.samples[at]) + std::fabs(echoed.samples[at + 1]), 0.1f);
    EXPECT_NEAR(echoed.samples[at / 2], 0.0f, 1e-6f);  // nothing before the delay
    AudioBuffer room = a;
    addReverb(room, 0.5f, 0.6f, 0.4f);
    ASSERT_EQ(room.samples.size(), a.samples.size());
    double late = 0;
    for (size_t i = size_t(0.05 * kRate) * 2; i < size_t(0.3 * kRate) * 2; ++i) {
        ASSERT_TRUE(std::isfinite(room.samples[i]));
        late += std::fabs(room.samples[i]);
    }
    EXPECT_GT(late, 0.1);
}

TEST(Synth, DrumVoicesSitWhereTheyBelong) {
    Rng rng = makeRng(7);
    const AudioBuffer kick = kickDrum(kRate, 1.0f, 1.0f);
    const AudioBuffer hat = hiHat(kRate, rng, false);
    const AudioBuffer openHat = hiHat(kRate, rng, true);
    const AudioBuffer snare = snareDrum(kRate, rng, 1.0f, 0.6f);
    for (const AudioBuffer* voice : {&kick, &hat, &openHat, &snare}) {
        EXPECT_GT(peakOf(*voice), 0.05f);
        EXPECT_LE(peakOf(*voice), 1.0f);
        EXPECT_LT(durationSeconds(*voice), 3.0);
    }
    // A kick is a low thump and a hi-hat a hiss: their zero crossings differ by far.
    EXPECT_GT(zeroCrossingRate(hat), 10 * zeroCrossingRate(kick));
    EXPECT_GT(zeroCrossingRate(snare), 3 * zeroCrossingRate(kick));
    EXPECT_GT(durationSeconds(openHat), durationSeconds(hat));
    EXPECT_GT(zeroCrossingRate(tomDrum(kRate, 200)), zeroCrossingRate(tomDrum(kRate, 80)));
}

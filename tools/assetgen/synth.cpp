// Synth toolkit: oscillators, envelopes, filters, noise, reverb and drum voices.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

double fractional(double phase) { return phase - std::floor(phase); }

// polyBLEP residual that removes the aliasing step of a discontinuity at phase 0.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// A damped comb filter of the reverb network.
struct Comb {
    std::vector<float> line;
    size_t at = 0;
    float store = 0;
};

struct AllPass {
    std::vector<float> line;
    size_t at = 0;
};

float runComb(Comb& c, float x, float feedback, float damp) {
    const float out = c.line[c.at];
    c.store = out * (1.0f - damp) + c.store * damp;
    c.line[c.at] = x + c.store * feedback;
    c.at = (c.at + 1) % c.line.size();
    return out;
}

float runAllPass(AllPass& a, float x) {
    const float delayed = a.line[a.at];
    const float out = -x + delayed;
    a.line[a.at] = x + delayed * 0.5f;
    a.at = (a.at + 1) % a.line.size();
    return out;
}

}  // namespace

double noteFrequency(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

float sineWave(double phase) { return float(std::sin(kTwoPi * phase)); }

float triangleWave(double phase) {
    const double p = fractional(phase);
    return float(p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p);
}

float sawWave(double phase, double dt) {
    const double p = fractional(phase);
    return float(2.0 * p - 1.0 - polyBlep(p, dt));
}

float squareWave(double phase, double dt, double pulseWidth) {
    const double p = fractional(phase);
    double v = p < pulseWidth ? 1.0 : -1.0;
    v += polyBlep(p, dt);
    v -= polyBlep(fractional(p + 1.0 - pulseWidth), dt);
    return float(v);
}

float adsr(double t, double attack, double decay, float sustain, double release, double held) {
    if (t < 0) return 0;
    auto level = [&](double u) -> double {
        if (u < attack) return u / std::max(attack, 1e-6);
        if (u < attack + decay) return 1.0 - (1.0 - sustain) * (u - attack) / std::max(decay, 1e-6);
        return sustain;
    };
    if (t < held) return float(level(t));
    const double r = t - held;
    if (r >= release) return 0;
    return float(level(held) * (1.0 - r / std::max(release, 1e-6)));
}

float percussive(double t, double attack, double decayTau) {
    if (t < 0) return 0;
    if (t < attack) return float(t / attack);
    return float(std::exp(-(t - attack) / decayTau));
}

void setBiquad(Biquad& f, FilterKind kind, double sampleRate, double freq, double q, double gainDb) {
    freq = std::clamp(freq, 10.0, sampleRate * 0.45);
    const double w = kTwoPi * freq / sampleRate;
    const double cw = std::cos(w), sw = std::sin(w);
    const double alpha = sw / (2.0 * q);
    double b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
    switch (kind) {
        case FilterKind::LowPass:
            b0 = (1 - cw) / 2, b1 = 1 - cw, b2 = (1 - cw) / 2;
            a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
            break;
        case FilterKind::HighPass:
            b0 = (1 + cw) / 2, b1 = -(1 + cw), b2 = (1 + cw) / 2;
            a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
            break;
        case FilterKind::BandPass:
            b0 = alpha, b1 = 0, b2 = -alpha;
            a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
            break;
        case FilterKind::Peak: {
            const double a = std::pow(10.0, gainDb / 40.0);
            b0 = 1 + alpha * a, b1 = -2 * cw, b2 = 1 - alpha * a;
            a0 = 1 + alpha / a, a1 = -2 * cw, a2 = 1 - alpha / a;
            break;
        }
    }
    f.b0 = b0 / a0, f.b1 = b1 / a0, f.b2 = b2 / a0, f.a1 = a1 / a0, f.a2 = a2 / a0;
}

float runBiquad(Biquad& f, float x) {
    const double y = f.b0 * x + f.b1 * f.x1 + f.b2 * f.x2 - f.a1 * f.y1 - f.a2 * f.y2;
    f.x2 = f.x1, f.x1 = x;
    f.y2 = f.y1, f.y1 = y;
    return float(y);
}

SvOutput runSvf(SvFilter& f, float x, double sampleRate, double cutoff, double q) {
    // Chamberlin filter, run twice per sample for stability at high cutoffs.
    const double fc = std::clamp(cutoff, 20.0, sampleRate * 0.2);
    const double g = 2.0 * std::sin(3.141592653589793 * fc / (2.0 * sampleRate));
    const double damp = 1.0 / std::max(q, 0.5);
    double high = 0;
    for (int i = 0; i < 2; ++i) {
        f.low += g * f.band;
        high = x - f.low - damp * f.band;
        f.band += g * high;
    }
    return SvOutput{float(f.low), float(f.band), float(high)};
}

void setOnePole(OnePole& f, double sampleRate, double cutoff) { f.a = std::exp(-kTwoPi * cutoff / sampleRate); }

float runOnePole(OnePole& f, float x) {
    f.y = x * (1.0 - f.a) + f.y * f.a;
    return float(f.y);
}

float softClip(float x) { return float(std::tanh(x)); }

void addReverb(AudioBuffer& audio, float mix, float size, float damping) {
    const double scale = audio.sampleRate / 44100.0;
    static const int kCombs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int kAllPasses[4] = {556, 441, 341, 225};
    const float feedback = 0.7f + 0.28f * size;
    const size_t frames = frameCount(audio);
    const int channels = audio.channels;
    for (int ch = 0; ch < channels; ++ch) {
        std::vector<Comb> combs(8);
        std::vector<AllPass> passes(4);
        const int spread = ch * 23;  // decorrelates the two sides
        for (int i = 0; i < 8; ++i) combs[size_t(i)].line.assign(size_t((kCombs[i] + spread) * scale), 0.0f);
        for (int i = 0; i < 4; ++i) passes[size_t(i)].line.assign(size_t((kAllPasses[i] + spread) * scale), 0.0f);
        for (size_t i = 0; i < frames; ++i) {
            float& s = audio.samples[i * size_t(channels) + size_t(ch)];
            const float in = s * 0.015f;
            float out = 0;
            for (Comb& c : combs) out += runComb(c, in, feedback, damping);
            for (AllPass& a : passes) out = runAllPass(a, out);
            s = s * (1.0f - mix * 0.5f) + out * mix * 3.0f;
        }
    }
}

void addEcho(AudioBuffer& audio, double delaySeconds, float feedback, float mix) {
    const size_t delay = size_t(delaySeconds * audio.sampleRate) * size_t(audio.channels);
    if (delay == 0) return;
    std::vector<float> wet(audio.samples.size(), 0.0f);
    for (size_t i = delay; i < audio.samples.size(); ++i) wet[i] = (audio.samples[i - delay] + wet[i - delay]) * feedback;
    for (size_t i = 0; i < audio.samples.size(); ++i) audio.samples[i] += wet[i] * mix;
}

void mixInto(AudioBuffer& dst, const AudioBuffer& src, long offset, float gain, float pan, bool wrap) {
    const long frames = long(frameCount(dst));
    if (frames == 0) return;
    const long srcFrames = long(frameCount(src));
    const float left = gain * std::sqrt(0.5f * (1.0f - pan));
    const float right = gain * std::sqrt(0.5f * (1.0f + pan));
    for (long i = 0; i < srcFrames; ++i) {
        long at = offset + i;
        if (wrap) {
            at %= frames;
            if (at < 0) at += frames;
        } else if (at < 0 || at >= frames) {
            continue;
        }
        const size_t d = size_t(at) * size_t(dst.channels);
        if (dst.channels == 1) {
            float s = src.samples[size_t(i) * size_t(src.channels)];
            if (src.channels == 2) s = 0.5f * (s + src.samples[size_t(i) * 2 + 1]);
            dst.samples[d] += s * gain;
        } else if (src.channels == 1) {
            const float s = src.samples[size_t(i)];
            dst.samples[d] += s * left * 1.41421356f;
            dst.samples[d + 1] += s * right * 1.41421356f;
        } else {
            dst.samples[d] += src.samples[size_t(i) * 2] * gain;
            dst.samples[d + 1] += src.samples[size_t(i) * 2 + 1] * gain;
        }
    }
}

void fadeEdges(AudioBuffer& audio, double fadeInMs, double fadeOutMs) {
    const size_t frames = frameCount(audio);
    const size_t in = std::min(frames, size_t(fadeInMs * audio.sampleRate / 1000.0));
    const size_t out = std::min(frames, size_t(fadeOutMs * audio.sampleRate / 1000.0));
    for (size_t i = 0; i < frames; ++i) {
        float g = 1.0f;
        if (i < in) g *= float(i) / float(in);
        if (i + out >= frames && out > 0) g *= float(frames - 1 - i) / float(out);
        for (int c = 0; c < audio.channels; ++c) audio.samples[i * size_t(audio.channels) + size_t(c)] *= g;
    }
}

AudioBuffer kickDrum(int sampleRate, float tone, float punch) {
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * 0.45));
    double phase = 0;
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double freq = (48.0 + 110.0 * std::exp(-t / 0.035)) * tone;
        phase += freq / sampleRate;
        const float body = sineWave(phase) * percussive(t, 0.001, 0.16);
        const float click = float(std::exp(-t / 0.004)) * punch * sineWave(phase * 3.1);
        out.samples[i] = softClip(1.6f * (body + 0.5f * click)) * 0.9f;
    }
    return out;
}

AudioBuffer snareDrum(int sampleRate, Rng& rng, float tone, float snappy) {
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * 0.35));
    Biquad band;
    setBiquad(band, FilterKind::BandPass, sampleRate, 3200.0 * tone, 0.7);
    Biquad high;
    setBiquad(high, FilterKind::HighPass, sampleRate, 1200.0, 0.7);
    double phase = 0;
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        phase += (185.0 * tone + 60.0 * std::exp(-t / 0.02)) / sampleRate;
        const float body = (sineWave(phase) + 0.4f * sineWave(phase * 1.6)) * percussive(t, 0.001, 0.05);
        const float n = noiseSample(rng);
        const float rattle = runBiquad(high, runBiquad(band, n) * 2.0f) * percussive(t, 0.001, 0.09) * snappy;
        out.samples[i] = softClip(0.8f * body + 1.4f * rattle) * 0.85f;
    }
    return out;
}

AudioBuffer hiHat(int sampleRate, Rng& rng, bool open) {
    const double length = open ? 0.35 : 0.07;
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * length));
    Biquad high;
    setBiquad(high, FilterKind::HighPass, sampleRate, 7000.0, 0.8);
    Biquad peak;
    setBiquad(peak, FilterKind::Peak, sampleRate, 10000.0, 1.0, 6.0);
    // Metallic partials (square waves at inharmonic ratios) under the noise.
    static const double kRatios[6] = {2.0, 3.0, 4.16, 5.43, 6.79, 8.21};
    double phases[6] = {0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        float metal = 0;
        for (int k = 0; k < 6; ++k) {
            phases[k] += 400.0 * kRatios[k] / sampleRate;
            metal += phases[k] - std::floor(phases[k]) < 0.5 ? 1.0f : -1.0f;
        }
        const float x = 0.6f * noiseSample(rng) + 0.08f * metal;
        out.samples[i] = runBiquad(peak, runBiquad(high, x)) * percussive(t, 0.0005, open ? 0.12 : 0.022) * 0.7f;
    }
    return out;
}

AudioBuffer handClap(int sampleRate, Rng& rng) {
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * 0.3));
    Biquad band;
    setBiquad(band, FilterKind::BandPass, sampleRate, 1400.0, 1.2);
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        // Three quick slaps then the room tail.
        float env = 0;
        for (int k = 0; k < 3; ++k) env = std::max(env, percussive(t - 0.011 * k, 0.0005, 0.006));
        env = std::max(env, 0.6f * percussive(t - 0.033, 0.001, 0.06));
        out.samples[i] = runBiquad(band, noiseSample(rng)) * env * 2.5f;
    }
    return out;
}

AudioBuffer tomDrum(int sampleRate, float pitchHz) {
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * 0.5));
    double phase = 0;
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        phase += pitchHz * (1.0 + 0.6 * std::exp(-t / 0.03)) / sampleRate;
        out.samples[i] = softClip(1.4f * sineWave(phase) * percussive(t, 0.001, 0.18)) * 0.8f;
    }
    return out;
}

AudioBuffer shaker(int sampleRate, Rng& rng) {
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * 0.09));
    Biquad band;
    setBiquad(band, FilterKind::BandPass, sampleRate, 6500.0, 1.5);
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        out.samples[i] = runBiquad(band, noiseSample(rng)) * percussive(t, 0.015, 0.025) * 1.3f;
    }
    return out;
}

AudioBuffer crashCymbal(int sampleRate, Rng& rng, double seconds) {
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * seconds));
    Biquad high;
    setBiquad(high, FilterKind::HighPass, sampleRate, 4500.0, 0.6);
    Biquad peak;
    setBiquad(peak, FilterKind::Peak, sampleRate, 8000.0, 0.8, 5.0);
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        out.samples[i] = runBiquad(peak, runBiquad(high, noiseSample(rng))) * percussive(t, 0.002, seconds * 0.3) * 0.6f;
    }
    return out;
}

AudioBuffer frameDrum(int sampleRate, Rng& rng, float pitchHz, bool slap) {
    AudioBuffer out = makeAudio(sampleRate, 1, size_t(sampleRate * 0.5));
    Biquad band;
    setBiquad(band, FilterKind::BandPass, sampleRate, slap ? 2200.0 : 700.0, 1.0);
    double phase = 0;
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        phase += pitchHz * (1.0 + 0.3 * std::exp(-t / 0.02)) / sampleRate;
        const float thump = sineWave(phase) * percussive(t, 0.002, slap ? 0.05 : 0.2);
        const float skin = runBiquad(band, noiseSample(rng)) * percussive(t, 0.001, slap ? 0.04 : 0.015);
        out.samples[i] = (slap ? 0.4f : 1.0f) * thump + (slap ? 1.6f : 0.6f) * skin;
    }
    return out;
}

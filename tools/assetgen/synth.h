// Synth toolkit: oscillators, envelopes, filters, noise, reverb and drum voices.
#pragma once

#include <vector>

#include "audio_io.h"
#include "rng.h"

constexpr double kTwoPi = 6.283185307179586;

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz).
double noteFrequency(double midiNote);

// Waveforms of a phase in cycles (any real number); band-limited where it matters.
float sineWave(double phase);
float triangleWave(double phase);
// Sawtooth and square with polyBLEP smoothing; dt is the phase step per sample (cycles).
float sawWave(double phase, double dt);
float squareWave(double phase, double dt, double pulseWidth = 0.5);

// Envelopes; t and all times in seconds.
// Attack-decay-sustain-release for a note held `held` seconds.
float adsr(double t, double attack, double decay, float sustain, double release, double held);
// Linear attack then exponential decay with the given time constant.
float percussive(double t, double attack, double decayTau);

// Biquad filter (RBJ cookbook), direct form I; set up once, run per sample.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};
enum class FilterKind { LowPass, HighPass, BandPass, Peak };
void setBiquad(Biquad& f, FilterKind kind, double sampleRate, double freq, double q, double gainDb = 0);
float runBiquad(Biquad& f, float x);

// State-variable filter whose cutoff may change every sample (sweeps). Returns low, band and
// high outputs of the same input.
struct SvFilter {
    double low = 0, band = 0;
};
struct SvOutput {
    float low;
    float band;
    float high;
};
SvOutput runSvf(SvFilter& f, float x, double sampleRate, double cutoff, double q);

// One-pole low pass smoothing (coefficient from a cutoff in Hz).
struct OnePole {
    double y = 0;
    double a = 0;
};
void setOnePole(OnePole& f, double sampleRate, double cutoff);
float runOnePole(OnePole& f, float x);

// Soft saturation to add weight without hard clipping.
float softClip(float x);

// Stereo room reverb (comb and all-pass network) added to the buffer; mix 0..1, size 0..1.
void addReverb(AudioBuffer& audio, float mix, float size, float damping);
// Feedback echo of the given delay, in place.
void addEcho(AudioBuffer& audio, double delaySeconds, float feedback, float mix);
// Adds src into dst at a frame offset with a gain and a stereo pan (-1 left .. 1 right); a mono
// source is spread by the pan, a stereo one keeps its channels. Frames past the end wrap around
// when wrap is set (for seamless loops) or are dropped.
void mixInto(AudioBuffer& dst, const AudioBuffer& src, long offset, float gain, float pan, bool wrap);
// Fades the first and last milliseconds to avoid clicks at the edges of one-shot sounds.
void fadeEdges(AudioBuffer& audio, double fadeInMs, double fadeOutMs);

// Drum and percussion voices, mono, rendered at the sample rate; `tone` shifts their pitch
// (1 = natural) and rng gives each hit its own noise.
AudioBuffer kickDrum(int sampleRate, float tone, float punch);
AudioBuffer snareDrum(int sampleRate, Rng& rng, float tone, float snappy);
AudioBuffer hiHat(int sampleRate, Rng& rng, bool open);
AudioBuffer handClap(int sampleRate, Rng& rng);
AudioBuffer tomDrum(int sampleRate, float pitchHz);
AudioBuffer shaker(int sampleRate, Rng& rng);
AudioBuffer crashCymbal(int sampleRate, Rng& rng, double seconds);
// A hand frame drum (deep thump with a skin slap), for the folk tunes.
AudioBuffer frameDrum(int sampleRate, Rng& rng, float pitchHz, bool slap);

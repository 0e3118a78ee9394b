// Music and jingles: a small sequencer, synthesised instruments and the game's tunes.
#include "music.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "rng.h"
#include "synth.h"

namespace {

constexpr double kRate = kMusicRate;

enum Piece { kMenu, kDesktop, kCollege, kClub, kClubIntro, kCounter, kVictory, kDefeat };

enum class Voice { Pluck, Bass, Lead, Pad, Bell, Flute, Brass, EPiano, Power, Lute };

// The song being mixed: a stereo buffer, the tempo grid and whether notes wrap round.
struct Mix {
    AudioBuffer audio;
    double secondsPerStep = 0.125;  // one sixteenth (or one eighth in 6/8 tunes)
    bool wrap = true;
    double swing = 0;               // delay of every odd step, as a fraction of a step
};

Mix makeMix(double seconds, double secondsPerStep, bool wrap) {
    Mix m;
    m.audio = makeAudio(kMusicRate, 2, size_t(seconds * kRate));
    m.secondsPerStep = secondsPerStep;
    m.wrap = wrap;
    return m;
}

long stepOffset(const Mix& m, double step) {
    double s = step;
    if (m.swing > 0 && (long(std::floor(step)) % 2) == 1) s += m.swing;
    return long(std::lround(s * m.secondsPerStep * kRate));
}

// Renders one note of an instrument (mono) lasting `held` seconds plus its release.
AudioBuffer renderNote(Voice voice, double midi, double held, Rng& rng) {
    const double f = noteFrequency(midi);
    double release = 0.08;
    switch (voice) {
        case Voice::Pad: release = 0.6; break;
        case Voice::Pluck: case Voice::Lute: release = 0.9; break;
        case Voice::Bell: case Voice::EPiano: release = 1.0; break;
        case Voice::Flute: case Voice::Brass: release = 0.12; break;
        default: break;
    }
    const double total = held + release;
    AudioBuffer out = makeAudio(kMusicRate, 1, size_t(total * kRate) + 1);
    const double dt = f / kRate;
    if (voice == Voice::Pluck || voice == Voice::Lute) {
        // Karplus-Strong string: a noise burst circulating in a damped delay line.
        const size_t period = std::max<size_t>(2, size_t(kRate / f));
        std::vector<float> line(period);
        for (float& s : line) s = noiseSample(rng);
        OnePole tone;
        setOnePole(tone, kRate, voice == Voice::Lute ? 2500 : 5000);
        for (int k = 0; k < 2; ++k) {
            for (float& s : line) s = runOnePole(tone, s);
        }
        const float damping = voice == Voice::Lute ? 0.996f : 0.994f;
        size_t at = 0;
        float last = 0;
        for (size_t i = 0; i < out.samples.size(); ++i) {
            const double t = double(i) / kRate;
            const float cur = line[at];
            const float next = line[(at + 1) % period];
            line[at] = damping * 0.5f * (cur + next);
            at = (at + 1) % period;
            last = cur;
            const float env = t < held ? 1.0f : float(std::max(0.0, 1.0 - (t - held) / release));
            out.samples[i] = last * env * 0.9f;
        }
    } else {
        double phase = 0, phase2 = 0.31, phase3 = 0.67, mod = 0;
        SvFilter filter;
        for (size_t i = 0; i < out.samples.size(); ++i) {
            const double t = double(i) / kRate;
            float s = 0;
            switch (voice) {
                case Voice::Bass: {
                    phase += dt;
                    const float env = adsr(t, 0.005, 0.2, 0.7f, 0.06, held);
                    const double cutoff = 180 + 1400 * std::exp(-t / 0.09);
                    const float raw = 0.6f * sawWave(phase, dt) + 0.6f * sineWave(phase * 0.5);
                    s = env * runSvf(filter, raw, kRate, cutoff, 1.2).low * 1.2f;
                    break;
                }
                case Voice::Lead: {
                    const double vib = 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.3);
                    phase += dt * vib;
                    phase2 += dt * vib * 1.004;
                    const float env = adsr(t, 0.01, 0.15, 0.75f, 0.08, held);
                    const float raw = 0.5f * squareWave(phase, dt, 0.35) + 0.4f * sawWave(phase2, dt);
                    s = env * runSvf(filter, raw, kRate, 1800 + 2500 * std::exp(-t / 0.2), 1.0).low * 0.6f;
                    break;
                }
                case Voice::Pad: {
                    phase += dt;
                    phase2 += dt * 1.006;
                    phase3 += dt * 0.994;
                    const float env = adsr(t, 0.35, 0.5, 0.8f, release, held);
                    const float raw = (sawWave(phase, dt) + sawWave(phase2, dt) + sawWave(phase3, dt)) / 3.0f;
                    s = env * runSvf(filter, raw, kRate, 900 + 400 * std::sin(kTwoPi * 0.2 * t), 0.8).low * 0.7f;
                    break;
                }
                case Voice::Bell: {
                    mod += f * 3.5 / kRate;
                    phase += dt;
                    const double env = percussive(t, 0.002, 0.5) * (t < held ? 1.0 : std::max(0.0, 1.0 - (t - held) / release));
                    s = float(env) * sineWave(phase + 1.2 * env * sineWave(mod) / kTwoPi) * 0.6f;
                    break;
                }
                case Voice::EPiano: {
                    mod += f * 1.0 / kRate;
                    phase += dt;
                    const double env = percussive(t, 0.003, 0.9) * (t < held ? 1.0 : std::max(0.0, 1.0 - (t - held) / 0.25));
                    const double index = 1.6 * std::exp(-t / 0.25);
                    s = float(env) * sineWave(phase + index * sineWave(mod) / kTwoPi) * 0.55f;
                    break;
                }
                case Voice::Flute: {
                    const double vib = 1.0 + 0.006 * std::sin(kTwoPi * 5.0 * t) * std::min(1.0, t / 0.25);
                    phase += dt * vib;
                    const float env = adsr(t, 0.05, 0.1, 0.85f, release, held);
                    const float breath = noiseSample(rng) * 0.06f;
                    s = env * (sineWave(phase) + 0.18f * sineWave(phase * 2) + 0.06f * sineWave(phase * 3) + breath) * 0.55f;
                    break;
                }
                case Voice::Brass: {
                    phase += dt;
                    phase2 += dt * 1.003;
                    const float env = adsr(t, 0.04, 0.2, 0.8f, release, held);
                    const double cutoff = 500 + 2600 * std::min(1.0, t / 0.06) * (0.6 + 0.4 * std::exp(-t / 0.3));
                    const float raw = 0.5f * (sawWave(phase, dt) + sawWave(phase2, dt));
                    s = env * runSvf(filter, raw, kRate, cutoff, 0.9).low * 0.8f;
                    break;
                }
                case Voice::Power: {
                    // Overdriven fifth: root and fifth saws through a drive and a low pass.
                    phase += dt;
                    phase2 += dt * 1.4983;
                    phase3 += dt * 0.5;
                    const float env = adsr(t, 0.005, 0.3, 0.6f, 0.05, held);
                    const float raw = sawWave(phase, dt) + 0.8f * sawWave(phase2, dt * 1.5) + 0.6f * sawWave(phase3, dt * 0.5);
                    s = env * runSvf(filter, softClip(raw * 2.5f), kRate, 2600, 0.8).low * 0.35f;
                    break;
                }
                default:
                    break;
            }
            out.samples[i] = s;
        }
    }
    return out;
}

void note(Mix& m, Voice v, double step, double midi, double steps, float gain, float pan, Rng& rng) {
    const AudioBuffer n = renderNote(v, midi, steps * m.secondsPerStep, rng);
    mixInto(m.audio, n, stepOffset(m, step), gain, pan, m.wrap);
}

void hit(Mix& m, const AudioBuffer& sample, double step, float gain, float pan) {
    mixInto(m.audio, sample, stepOffset(m, step), gain, pan, m.wrap);
}

// Runs a drum pattern string over `bars` bars: one character per step, '.' rest, other
// characters look up a sample and its gain.
struct DrumKit {
    std::map<char, std::vector<AudioBuffer>> samples;
    std::map<char, float> gains;
    std::map<char, float> pans;
};

void drumPattern(Mix& m, const DrumKit& kit, const std::string& pattern, int firstBar, int bars, int stepsPerBar, Rng& rng) {
    for (int b = firstBar; b < firstBar + bars; ++b) {
        for (int s = 0; s < int(pattern.size()) && s < stepsPerBar; ++s) {
            const char c = pattern[size_t(s)];
            auto it = kit.samples.find(c);
            if (it == kit.samples.end() || it->second.empty()) continue;
            const AudioBuffer& sample = it->second[size_t(randomInt(rng, int(it->second.size())))];
            const float human = float(uniform(rng, 0.85, 1.0));
            hit(m, sample, double(b * stepsPerBar + s), kit.gains.at(c) * human, kit.pans.count(c) ? kit.pans.at(c) : 0.0f);
        }
    }
}

// A chord: root (MIDI) and intervals from it.
struct Chord {
    int root;
    std::vector<int> tones;
};

Chord minor(int root) { return {root, {0, 3, 7}}; }
Chord major(int root) { return {root, {0, 4, 7}}; }
Chord minor7(int root) { return {root, {0, 3, 7, 10}}; }
Chord dom7(int root) { return {root, {0, 4, 7, 10}}; }
Chord major7(int root) { return {root, {0, 4, 7, 11}}; }

bool inChord(const Chord& c, int midi) {
    for (int t : c.tones) {
        if (((midi - c.root - t) % 12 + 12) % 12 == 0) return true;
    }
    return false;
}

bool inScale(const std::vector<int>& scale, int tonic, int midi) {
    const int d = ((midi - tonic) % 12 + 12) % 12;
    return std::find(scale.begin(), scale.end(), d) != scale.end();
}

// Nearest chord tone to `from` within the range.
int nearestChordTone(const Chord& c, int from, int lo, int hi) {
    for (int d = 0; d < 12; ++d) {
        if (from + d <= hi && inChord(c, from + d)) return from + d;
        if (from - d >= lo && inChord(c, from - d)) return from - d;
    }
    return from;
}

int scaleStep(const std::vector<int>& scale, int tonic, int from, int steps, int lo, int hi) {
    int n = from;
    const int dir = steps > 0 ? 1 : -1;
    for (int k = 0; k < std::abs(steps); ++k) {
        do {
            n += dir;
        } while (!inScale(scale, tonic, n));
    }
    if (n > hi || n < lo) return scaleStep(scale, tonic, from, -steps, lo, hi);
    return n;
}

struct MelodyNote {
    double step;
    int midi;
    double length;
};

// A motif-based melody: a two-bar rhythm repeated with pitches following the chords; the
// third pair of bars answers with a new rhythm and the phrase closes on the chord root.
std::vector<MelodyNote> composeMelody(Rng& rng, const std::vector<Chord>& chords, const std::vector<int>& scale, int tonic,
                                      int stepsPerBar, int lo, int hi, double density) {
    auto makeRhythm = [&](int bars) {
        std::vector<std::pair<int, int>> r;  // (step, length)
        int s = 0;
        const int total = bars * stepsPerBar;
        while (s < total) {
            const int grid = stepsPerBar % 3 == 0 ? 3 : 4;
            int len;
            const double u = uniform(rng);
            if (s % grid == 0) {
                len = u < density ? grid / (grid == 4 ? 2 : 3) : (u < density + 0.3 ? grid : grid * 2);
            } else {
                len = 1 + (u < 0.5 ? 1 : 0);
            }
            len = std::max(1, std::min(len, total - s));
            const bool rest = uniform(rng) < 0.12 && s % stepsPerBar != 0;
            if (!rest) r.push_back({s, len});
            s += len;
        }
        return r;
    };
    const auto rhythmA = makeRhythm(2);
    const auto rhythmB = makeRhythm(2);
    std::vector<int> contour;  // scale-step moves reused by repeats of the motif
    for (size_t i = 0; i < rhythmA.size() + rhythmB.size() + 8; ++i) contour.push_back(randomInt(rng, 5) - 2);
    std::vector<MelodyNote> out;
    int current = nearestChordTone(chords[0], (lo + hi) / 2, lo, hi);
    const int bars = int(chords.size());
    for (int pair = 0; pair * 2 < bars; ++pair) {
        const bool answer = pair % 4 == 2;
        const auto& rhythm = answer ? rhythmB : rhythmA;
        for (size_t k = 0; k < rhythm.size(); ++k) {
            const int step = pair * 2 * stepsPerBar + rhythm[k].first;
            const int bar = std::min(bars - 1, step / stepsPerBar);
            const Chord& chord = chords[size_t(bar)];
            const bool strong = rhythm[k].first % (stepsPerBar / 2) == 0;
            int midi;
            if (strong) {
                midi = nearestChordTone(chord, scaleStep(scale, tonic, current, contour[k % contour.size()], lo, hi), lo, hi);
            } else {
                const int move = contour[(k + size_t(pair)) % contour.size()];
                midi = move == 0 ? current : scaleStep(scale, tonic, current, move, lo, hi);
            }
            double length = rhythm[k].second;
            // Phrase ends (every 8 bars) settle on the chord root, held.
            const bool phraseEnd = (pair % 4 == 3) && k + 1 == rhythm.size();
            if (phraseEnd) {
                midi = nearestChordTone(Chord{chord.root, {0}}, midi, lo, hi);
                length = std::max(length, double(stepsPerBar * 2 - rhythm[k].first));
            }
            out.push_back({double(step), midi, length * 0.92});
            current = midi;
        }
    }
    return out;
}

// Reverb over a looped buffer: the tail at the end continues into the start.
void loopReverb(AudioBuffer& audio, float mix, float size) {
    AudioBuffer twice = audio;
    twice.samples.insert(twice.samples.end(), audio.samples.begin(), audio.samples.end());
    addReverb(twice, mix, size, 0.4f);
    std::copy(twice.samples.begin() + long(audio.samples.size()), twice.samples.end(), audio.samples.begin());
}

void finish(Mix& m, float reverbMix, float size, float peak) {
    if (m.wrap) {
        loopReverb(m.audio, reverbMix, size);
    } else {
        addReverb(m.audio, reverbMix, size, 0.4f);
    }
    if (m.wrap) {
        // Kicks and plucks leave a small constant offset that wastes headroom; a loop has no
        // edges, so taking each channel's mean off is seamless (one-shots fade to zero instead).
        const size_t ch = size_t(m.audio.channels);
        for (size_t c = 0; c < ch; ++c) {
            double sum = 0;
            for (size_t i = c; i < m.audio.samples.size(); i += ch) sum += m.audio.samples[i];
            const float mean = float(sum / double(frameCount(m.audio)));
            for (size_t i = c; i < m.audio.samples.size(); i += ch) m.audio.samples[i] -= mean;
        }
    }
    // Gentle bus compression: soft clip the loudest peaks, then set the level.
    normalizeAudio(m.audio, 1.0f);
    for (float& s : m.audio.samples) s = softClip(s * 1.3f) / std::tanh(1.3f);
    normalizeAudio(m.audio, peak);
}

DrumKit standardKit(Rng& rng, float kickTone, float snareTone) {
    DrumKit kit;
    kit.samples['k'] = {kickDrum(kMusicRate, kickTone, 0.6f)};
    kit.samples['s'] = {snareDrum(kMusicRate, rng, snareTone, 1.0f), snareDrum(kMusicRate, rng, snareTone, 0.9f)};
    kit.samples['h'] = {hiHat(kMusicRate, rng, false), hiHat(kMusicRate, rng, false)};
    kit.samples['o'] = {hiHat(kMusicRate, rng, true)};
    kit.samples['c'] = {handClap(kMusicRate, rng)};
    kit.samples['t'] = {tomDrum(kMusicRate, 110)};
    kit.samples['T'] = {tomDrum(kMusicRate, 160)};
    kit.samples['x'] = {shaker(kMusicRate, rng)};
    kit.samples['C'] = {crashCymbal(kMusicRate, rng, 1.6)};
    kit.gains = {{'k', 0.9f}, {'s', 0.6f}, {'h', 0.28f}, {'o', 0.3f}, {'c', 0.5f}, {'t', 0.5f}, {'T', 0.5f}, {'x', 0.25f}, {'C', 0.35f}};
    kit.pans = {{'h', 0.3f}, {'o', 0.3f}, {'x', -0.35f}, {'t', -0.3f}, {'T', 0.3f}, {'C', -0.2f}};
    return kit;
}

// Arpeggiates each bar's chord in sixteenths.
void arpeggio(Mix& m, Voice v, const std::vector<Chord>& chords, int stepsPerBar, int octave, const std::vector<int>& order,
              float gain, float pan, Rng& rng, int firstBar = 0) {
    for (size_t b = 0; b < chords.size(); ++b) {
        const Chord& c = chords[b];
        for (int s = 0; s < stepsPerBar; ++s) {
            const int idx = order[size_t(s) % order.size()];
            const int tone = c.tones[size_t(idx) % c.tones.size()] + 12 * (idx / int(c.tones.size()));
            note(m, v, double((firstBar + int(b)) * stepsPerBar + s), c.root + octave + tone, 1.2, gain, pan, rng);
        }
    }
}

void padChords(Mix& m, Voice v, const std::vector<Chord>& chords, int stepsPerBar, int octave, float gain, Rng& rng) {
    for (size_t b = 0; b < chords.size(); ++b) {
        for (size_t k = 0; k < chords[b].tones.size(); ++k) {
            note(m, v, double(int(b) * stepsPerBar), chords[b].root + octave + chords[b].tones[k], stepsPerBar * 0.98, gain,
                 k % 2 == 0 ? -0.4f : 0.4f, rng);
        }
    }
}

void melodyLine(Mix& m, Voice v, const std::vector<MelodyNote>& melody, float gain, float pan, Rng& rng, int octave = 0) {
    for (const MelodyNote& n : melody) note(m, v, n.step, n.midi + octave, n.length, gain, pan, rng);
}

std::vector<Chord> repeatChords(const std::vector<Chord>& progression, int bars) {
    std::vector<Chord> out;
    for (int b = 0; b < bars; ++b) out.push_back(progression[size_t(b) % progression.size()]);
    return out;
}

// ------------------------------------------------------------------ the tunes

// Menu: D minor, 120 bpm, hopeful and tense — arpeggios, pad, bell melody, steady drums.
AudioBuffer menuTheme() {
    Rng rng = makeRng(101);
    const double bpm = 120;
    const int bars = 24, spb = 16;
    Mix m = makeMix(bars * 4 * 60.0 / bpm, 15.0 / bpm, true);
    const auto chords = repeatChords({minor(50), major(46), major(53), major(48), minor(50), major(46), minor(43), major(45)}, bars);
    const std::vector<int> scale = {0, 2, 3, 5, 7, 8, 10};
    padChords(m, Voice::Pad, chords, spb, 12, 0.16f, rng);
    arpeggio(m, Voice::Pluck, chords, spb, 24, {0, 1, 2, 3, 2, 1, 0, 1}, 0.22f, 0.35f, rng);
    for (int b = 0; b < bars; ++b) {
        for (int s : {0, 3, 6, 8, 11, 14}) note(m, Voice::Bass, double(b * spb + s), chords[size_t(b)].root - 12, 2, 0.5f, 0, rng);
    }
    auto melody = composeMelody(rng, chords, scale, 50, spb, 69, 86, 0.45);
    // The melody rests for the first eight bars, then plays twice with a brass double.
    std::vector<MelodyNote> later;
    for (const MelodyNote& n : melody) {
        if (n.step >= 8 * spb) later.push_back(n);
    }
    melodyLine(m, Voice::Bell, later, 0.3f, -0.15f, rng);
    melodyLine(m, Voice::Brass, later, 0.14f, 0.15f, rng, -12);
    DrumKit kit = standardKit(rng, 1.0f, 1.0f);
    drumPattern(m, kit, "k.......k.k.....", 0, 4, spb, rng);
    drumPattern(m, kit, "k...s...k.k.s...", 4, 20, spb, rng);
    drumPattern(m, kit, "h.h.h.h.h.h.h.ho", 4, 20, spb, rng);
    for (int b = 8; b < bars; b += 8) hit(m, kit.samples['C'][0], double(b * spb), 0.3f, -0.2f);
    finish(m, 0.22f, 0.6f, 0.85f);
    return m.audio;
}

// Desktop stage: A minor rock at 140 bpm — power chords, driving bass, square lead.
AudioBuffer desktopTheme() {
    Rng rng = makeRng(202);
    const double bpm = 140;
    const int bars = 32, spb = 16;
    Mix m = makeMix(bars * 4 * 60.0 / bpm, 15.0 / bpm, true);
    const auto chords = repeatChords({minor(45), major(41), major(48), major(43), minor(45), major(41), major(43), major(40)}, bars);
    const std::vector<int> scale = {0, 2, 3, 5, 7, 8, 10};
    for (int b = 0; b < bars; ++b) {
        const int root = chords[size_t(b)].root;
        // Power chords: a stab pattern, full bars in the chorus half.
        if (b >= 16) {
            note(m, Voice::Power, double(b * spb), root, 6, 0.45f, -0.5f, rng);
            note(m, Voice::Power, double(b * spb + 6), root, 4, 0.42f, 0.5f, rng);
            note(m, Voice::Power, double(b * spb + 10), root, 6, 0.45f, -0.5f, rng);
        } else {
            for (int s : {0, 6, 12}) note(m, Voice::Power, double(b * spb + s), root, 2, 0.38f, s == 6 ? 0.5f : -0.5f, rng);
        }
        for (int s = 0; s < spb; s += 2) {
            note(m, Voice::Bass, double(b * spb + s), root - 12 + (s == 14 ? 7 : 0), 1.6, 0.55f, 0, rng);
        }
    }
    auto melody = composeMelody(rng, chords, scale, 45, spb, 64, 81, 0.55);
    std::vector<MelodyNote> verse, chorus;
    for (const MelodyNote& n : melody) (n.step < 16 * spb ? verse : chorus).push_back(n);
    melodyLine(m, Voice::Lead, verse, 0.32f, 0.1f, rng);
    melodyLine(m, Voice::Lead, chorus, 0.3f, -0.2f, rng, 12);
    melodyLine(m, Voice::Lead, chorus, 0.22f, 0.2f, rng);
    arpeggio(m, Voice::Pluck, std::vector<Chord>(chords.begin() + 16, chords.end()), spb, 24, {0, 2, 1, 2}, 0.14f, 0.45f, rng, 16);
    DrumKit kit = standardKit(rng, 1.1f, 1.05f);
    drumPattern(m, kit, "k.....k.k...s...", 0, 1, spb, rng);
    drumPattern(m, kit, "k...s...k.k.s...", 1, 14, spb, rng);
    drumPattern(m, kit, "k...s...k.k.s.TT", 15, 1, spb, rng);
    drumPattern(m, kit, "k...s.k.k.k.s..s", 16, 15, spb, rng);
    drumPattern(m, kit, "k...s...k.s.t.TT", 31, 1, spb, rng);
    drumPattern(m, kit, "h.h.h.h.h.h.h.h.", 0, 16, spb, rng);
    drumPattern(m, kit, "o.h.o.h.o.h.o.h.", 16, 16, spb, rng);
    hit(m, kit.samples['C'][0], 0, 0.35f, 0.2f);
    hit(m, kit.samples['C'][0], 16.0 * spb, 0.4f, -0.2f);
    finish(m, 0.15f, 0.5f, 0.85f);
    return m.audio;
}

// College stage: laid-back funk at 96 bpm in E dorian — electric piano, bass, swung hats, flute.
AudioBuffer collegeTheme() {
    Rng rng = makeRng(303);
    const double bpm = 96;
    const int bars = 20, spb = 16;
    Mix m = makeMix(bars * 4 * 60.0 / bpm, 15.0 / bpm, true);
    m.swing = 0.28;
    const auto chords = repeatChords({minor7(52), dom7(45), minor7(52), dom7(45), major7(43), minor7(54), minor7(52), dom7(45)}, bars);
    const std::vector<int> scale = {0, 2, 3, 5, 7, 9, 10};
    for (int b = 0; b < bars; ++b) {
        const Chord& c = chords[size_t(b)];
        for (int s : {0, 7, 10}) {
            for (size_t k = 1; k < c.tones.size(); ++k) {
                note(m, Voice::EPiano, double(b * spb + s), c.root + 12 + c.tones[k], s == 0 ? 5 : 2, 0.14f, k % 2 ? -0.3f : 0.3f, rng);
            }
        }
        // Syncopated bass with octave pops.
        const int r = c.root - 12;
        const int line[8][2] = {{0, 0}, {3, 12}, {6, 0}, {8, 7}, {10, 10}, {11, 12}, {13, 0}, {14, 3}};
        for (const auto& nt : line) note(m, Voice::Bass, double(b * spb + nt[0]), r + nt[1], 1.5, 0.55f, 0, rng);
    }
    auto melody = composeMelody(rng, chords, scale, 52, spb, 71, 88, 0.5);
    std::vector<MelodyNote> later;
    for (const MelodyNote& n : melody) {
        if (n.step >= 4 * spb) later.push_back(n);
    }
    melodyLine(m, Voice::Flute, later, 0.3f, 0.15f, rng);
    DrumKit kit = standardKit(rng, 0.95f, 0.95f);
    drumPattern(m, kit, "k......k..k.....", 0, bars, spb, rng);
    drumPattern(m, kit, "....c.......c...", 0, bars, spb, rng);
    drumPattern(m, kit, "h.hhh.hoh.hhh.hh", 0, bars, spb, rng);
    drumPattern(m, kit, "..x...x...x...x.", 4, bars - 4, spb, rng);
    finish(m, 0.2f, 0.45f, 0.82f);
    return m.audio;
}

// Board game club: a folk tune in 6/8 (D dorian) — lute, flute, drone and frame drums.
void clubKit(DrumKit& kit, Rng& rng) {
    kit.samples['d'] = {frameDrum(kMusicRate, rng, 75, false), frameDrum(kMusicRate, rng, 80, false)};
    kit.samples['s'] = {frameDrum(kMusicRate, rng, 150, true), frameDrum(kMusicRate, rng, 160, true)};
    kit.samples['x'] = {shaker(kMusicRate, rng)};
    kit.samples['C'] = {crashCymbal(kMusicRate, rng, 2.0)};
    kit.gains = {{'d', 0.8f}, {'s', 0.45f}, {'x', 0.22f}, {'C', 0.3f}};
    kit.pans = {{'s', 0.25f}, {'x', -0.3f}};
}

AudioBuffer clubTheme() {
    Rng rng = makeRng(404);
    const double eighthsPerMinute = 330;
    const int bars = 48, spb = 6;
    Mix m = makeMix(bars * spb * 60.0 / eighthsPerMinute, 60.0 / eighthsPerMinute, true);
    const auto chords = repeatChords({minor(50), major(48), minor(50), major(48), major(53), major(48), minor(50), minor(45)}, bars);
    const std::vector<int> scale = {0, 2, 3, 5, 7, 9, 10};
    // Drone on D and A under everything.
    for (int b = 0; b < bars; b += 4) {
        note(m, Voice::Pad, double(b * spb), 38, spb * 4 * 0.98, 0.18f, -0.3f, rng);
        note(m, Voice::Pad, double(b * spb), 45, spb * 4 * 0.98, 0.12f, 0.3f, rng);
    }
    arpeggio(m, Voice::Lute, chords, spb, 12, {0, 1, 2, 3, 2, 1}, 0.3f, -0.25f, rng);
    for (int b = 0; b < bars; ++b) note(m, Voice::Bass, double(b * spb), chords[size_t(b)].root - 12, 5, 0.35f, 0, rng);
    auto melody = composeMelody(rng, chords, scale, 50, spb, 69, 88, 0.35);
    std::vector<MelodyNote> later;
    for (const MelodyNote& n : melody) {
        if (n.step >= 8 * spb) later.push_back(n);
    }
    melodyLine(m, Voice::Flute, later, 0.34f, 0.2f, rng);
    // Second half: the tune an octave down on the lute too.
    std::vector<MelodyNote> echo;
    for (const MelodyNote& n : later) {
        if (n.step >= 32 * spb) echo.push_back(n);
    }
    melodyLine(m, Voice::Lute, echo, 0.18f, 0.4f, rng, -12);
    DrumKit kit;
    clubKit(kit, rng);
    drumPattern(m, kit, "d..s..", 0, 8, spb, rng);
    drumPattern(m, kit, "d.ds.s", 8, bars - 8, spb, rng);
    drumPattern(m, kit, "x.xx.x", 16, bars - 16, spb, rng);
    finish(m, 0.3f, 0.7f, 0.8f);
    return m.audio;
}

AudioBuffer clubIntro() {
    Rng rng = makeRng(505);
    const double eighthsPerMinute = 330;
    const int spb = 6;
    Mix m = makeMix(5.5, 60.0 / eighthsPerMinute, false);
    // A horn call over a drum roll that builds into the loop.
    const int call[][3] = {{0, 62, 3}, {3, 69, 3}, {6, 67, 2}, {8, 69, 1}, {9, 74, 9}};
    for (const auto& c : call) {
        note(m, Voice::Brass, c[0], c[1], c[2] * 0.95, 0.4f, -0.1f, rng);
        note(m, Voice::Brass, c[0], c[1] - 12, c[2] * 0.95, 0.25f, 0.1f, rng);
    }
    note(m, Voice::Pad, 0, 50, 18, 0.2f, 0, rng);
    note(m, Voice::Pad, 0, 57, 18, 0.15f, 0, rng);
    DrumKit kit;
    clubKit(kit, rng);
    drumPattern(m, kit, "d.....", 0, 2, spb, rng);
    drumPattern(m, kit, "d.sd.s", 2, 1, spb, rng);
    drumPattern(m, kit, "dsdsds", 3, 1, spb, rng);
    hit(m, kit.samples['C'][0], 24, 0.35f, 0);
    hit(m, kit.samples['d'][0], 24, 0.9f, 0);
    finish(m, 0.3f, 0.7f, 0.85f);
    fadeEdges(m.audio, 2, 400);
    return m.audio;
}

// Countdown for the fight intro: three ticks a second apart rising into a "go" swell.
AudioBuffer counterJingle() {
    Rng rng = makeRng(606);
    Mix m = makeMix(3.0, 0.125, false);
    DrumKit kit = standardKit(rng, 1.0f, 1.0f);
    for (int k = 0; k < 3; ++k) {
        hit(m, kit.samples['k'][0], k * 8.0, 0.8f, 0);
        hit(m, kit.samples['T'][0], k * 8.0, 0.5f, 0);
        note(m, Voice::Bell, k * 8.0, 76 + k * 2, 2, 0.35f, 0, rng);
        note(m, Voice::Brass, k * 8.0, 64 + k * 2, 3, 0.25f, 0, rng);
    }
    // Snare roll and a rising chord during the last second.
    for (int s = 0; s < 7; ++s) hit(m, kit.samples['s'][size_t(s % 2)], 16 + s, 0.25f + 0.05f * float(s), 0.1f);
    for (int t : {64, 67, 71, 76}) note(m, Voice::Brass, 17, t, 6.5, 0.12f, t % 2 ? -0.3f : 0.3f, rng);
    finish(m, 0.15f, 0.4f, 0.85f);
    fadeEdges(m.audio, 1, 30);
    return m.audio;
}

AudioBuffer victoryJingle() {
    Rng rng = makeRng(707);
    Mix m = makeMix(4.6, 60.0 / 132 / 2, false);  // eighths at 132 bpm
    const int line[][3] = {{0, 67, 1}, {1, 67, 1}, {2, 67, 1}, {3, 72, 3}, {6, 71, 1}, {7, 72, 1}, {8, 76, 2}, {10, 74, 2}, {12, 79, 10}};
    for (const auto& n : line) {
        note(m, Voice::Brass, n[0], n[1], n[2] * 0.92, 0.4f, -0.15f, rng);
        note(m, Voice::Bell, n[0], n[1] + 12, n[2] * 0.8, 0.18f, 0.2f, rng);
    }
    for (int t : {48, 55, 60, 64}) note(m, Voice::Pad, 12, t, 10, 0.18f, 0, rng);
    for (int t : {60, 64, 67}) note(m, Voice::Brass, 12, t, 10, 0.18f, t == 64 ? 0.3f : -0.3f, rng);
    DrumKit kit = standardKit(rng, 1.0f, 1.0f);
    for (int s : {0, 1, 2}) hit(m, kit.samples['s'][0], s, 0.3f, 0);
    hit(m, kit.samples['k'][0], 3, 0.8f, 0);
    hit(m, kit.samples['k'][0], 12, 0.9f, 0);
    hit(m, kit.samples['C'][0], 12, 0.45f, 0);
    finish(m, 0.25f, 0.6f, 0.85f);
    fadeEdges(m.audio, 1, 300);
    return m.audio;
}

AudioBuffer defeatJingle() {
    Rng rng = makeRng(808);
    Mix m = makeMix(4.8, 60.0 / 76 / 2, false);  // slow eighths
    const int line[][3] = {{0, 69, 2}, {2, 67, 2}, {4, 65, 2}, {6, 64, 3}, {9, 62, 7}};
    for (const auto& n : line) note(m, Voice::Flute, n[0], n[1], n[2] * 0.95, 0.38f, 0.1f, rng);
    for (int t : {50, 57, 62, 65}) note(m, Voice::Pad, 0, t, 8, 0.14f, 0, rng);
    for (int t : {46, 53, 58, 62}) note(m, Voice::Pad, 9, t, 7, 0.14f, 0, rng);
    note(m, Voice::Bass, 0, 38, 8, 0.4f, 0, rng);
    note(m, Voice::Bass, 9, 34, 7, 0.4f, 0, rng);
    hit(m, tomDrum(kMusicRate, 70), 9, 0.6f, 0);
    finish(m, 0.35f, 0.7f, 0.8f);
    fadeEdges(m.audio, 1, 600);
    return m.audio;
}

}  // namespace

std::vector<MusicTrack> musicTracks() {
    return {
        {"music/Quarrelix main v06 loop.ogg", kDesktop, true},
        {"music/Merlok v02 loop.ogg", kClub, true},
        {"music/Stick da being v05.ogg", kCollege, true},
        {"music/Quarrelix menu v04.ogg", kMenu, true},
        {"music/Merlok intro.ogg", kClubIntro, false},
        {"sound/counter.ogg", kCounter, false},
        {"sound/victory.ogg", kVictory, false},
        {"sound/defeat.ogg", kDefeat, false},
    };
}

AudioBuffer renderMusic(const MusicTrack& track) {
    switch (track.piece) {
        case kMenu: return menuTheme();
        case kDesktop: return desktopTheme();
        case kCollege: return collegeTheme();
        case kClub: return clubTheme();
        case kClubIntro: return clubIntro();
        case kCounter: return counterJingle();
        case kVictory: return victoryJingle();
        default: return defeatJingle();
    }
}

bool writeMusicTrack(const std::string& outDir, const MusicTrack& track) {
    // Quality 0.4 (about 128 kbit/s stereo) keeps the files small and the encoding quick.
    return writeOgg(outDir + "/" + track.file, renderMusic(track), 0.4f);
}

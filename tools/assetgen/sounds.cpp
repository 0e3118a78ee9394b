// Sound effects: the pool catalogue and the synthesis of every pool's variants.
#include "sounds.h"

#include <algorithm>
#include <cmath>

#include "sound_ids.h"
#include "synth.h"

namespace {

constexpr double kRate = kSoundRate;

AudioBuffer mono(double seconds) { return makeAudio(kSoundRate, 1, size_t(seconds * kRate)); }

// Adds a resonant mode (damped sine with a small downward glide) to the buffer.
void addMode(AudioBuffer& out, double start, double freq, double tau, float amp, double glide = 0.0) {
    double phase = 0;
    const size_t begin = size_t(start * kRate);
    for (size_t i = begin; i < out.samples.size(); ++i) {
        const double t = double(i - begin) / kRate;
        phase += freq * (1.0 + glide * std::exp(-t / 0.03)) / kRate;
        out.samples[i] += amp * sineWave(phase) * percussive(t, 0.0008, tau);
    }
}

// Adds noise through a band filter with an envelope (attack, decay time constant).
void addNoise(AudioBuffer& out, Rng& rng, double start, FilterKind kind, double freq, double q, double attack, double tau,
              float amp) {
    Biquad f;
    setBiquad(f, kind, kRate, freq, q);
    const size_t begin = size_t(start * kRate);
    for (size_t i = begin; i < out.samples.size(); ++i) {
        const double t = double(i - begin) / kRate;
        out.samples[i] += amp * runBiquad(f, noiseSample(rng)) * percussive(t, attack, tau);
    }
}

// Noise whose band-pass centre sweeps from f0 to f1 over the duration (whooshes, swishes).
void addSweep(AudioBuffer& out, Rng& rng, double start, double duration, double f0, double f1, double q, float amp) {
    SvFilter f;
    const size_t begin = size_t(start * kRate);
    const size_t end = std::min(out.samples.size(), begin + size_t(duration * kRate));
    for (size_t i = begin; i < end; ++i) {
        const double u = double(i - begin) / double(end - begin);
        const double freq = f0 * std::pow(f1 / f0, u);
        const float env = float(std::sin(3.14159265 * std::pow(u, 0.7)));
        out.samples[i] += amp * env * runSvf(f, noiseSample(rng), kRate, freq, q).band;
    }
}

// A low sine thump whose pitch drops quickly (body impacts).
void addThump(AudioBuffer& out, double start, double f0, double f1, double tau, float amp) {
    double phase = 0;
    const size_t begin = size_t(start * kRate);
    for (size_t i = begin; i < out.samples.size(); ++i) {
        const double t = double(i - begin) / kRate;
        phase += (f1 + (f0 - f1) * std::exp(-t / 0.025)) / kRate;
        out.samples[i] += amp * sineWave(phase) * percussive(t, 0.001, tau);
    }
}

// A simple FM bell (chimes, combo steps, menu).
void addBell(AudioBuffer& out, double start, double freq, double ratio, double index, double tau, float amp) {
    double carrier = 0, modulator = 0;
    const size_t begin = size_t(start * kRate);
    for (size_t i = begin; i < out.samples.size(); ++i) {
        const double t = double(i - begin) / kRate;
        modulator += freq * ratio / kRate;
        const double env = percussive(t, 0.002, tau);
        carrier += freq / kRate;
        out.samples[i] += amp * float(env) * sineWave(carrier + index * env * sineWave(modulator) / kTwoPi);
    }
}

void lowPassAll(AudioBuffer& out, double cutoff) {
    Biquad f;
    setBiquad(f, FilterKind::LowPass, kRate, cutoff, 0.707);
    for (float& s : out.samples) s = runBiquad(f, s);
}

void highPassAll(AudioBuffer& out, double cutoff) {
    Biquad f;
    setBiquad(f, FilterKind::HighPass, kRate, cutoff, 0.707);
    for (float& s : out.samples) s = runBiquad(f, s);
}

void saturate(AudioBuffer& out, float drive) {
    for (float& s : out.samples) s = softClip(s * drive) / std::tanh(drive);
}

// A short mono room so that hits sit in a space.
void room(AudioBuffer& out, float mix) {
    AudioBuffer wet = out;
    addReverb(wet, 1.0f, 0.35f, 0.45f);
    for (size_t i = 0; i < out.samples.size(); ++i) out.samples[i] = out.samples[i] * (1 - mix) + wet.samples[i] * mix;
}

// One hit: material colour, damage type character and strength scale.
AudioBuffer hitSound(int material, int damageType, int strength, int variant) {
    Rng rng = makeRng(uint64_t(1000 + material * 97 + damageType * 13 + strength * 5 + variant * 1009));
    const float power = 0.4f + 0.2f * float(strength);              // 0.4 blocked .. 1.0 heavy
    const double lengthScale = strength == kStrengthBlocked ? 0.6 : 0.7 + 0.3 * strength;
    AudioBuffer out = mono(0.25 + 0.35 * lengthScale);
    const double pitch = uniform(rng, 0.9, 1.12) * (1.15 - 0.1 * strength);
    // Material body.
    switch (material) {
        case kMaterialFlesh:
            addThump(out, 0, 180 * pitch, 70 * pitch, 0.05 + 0.03 * strength, 0.9f * power);
            addNoise(out, rng, 0, FilterKind::BandPass, 900 * pitch, 0.9, 0.001, 0.025 + 0.01 * strength, 1.6f * power);
            addNoise(out, rng, 0.004, FilterKind::LowPass, 2200, 0.7, 0.001, 0.012, 0.9f);
            break;
        case kMaterialCloth:
            addThump(out, 0, 140 * pitch, 60 * pitch, 0.045 + 0.02 * strength, 0.7f * power);
            addNoise(out, rng, 0, FilterKind::BandPass, 2600 * pitch, 0.6, 0.004, 0.05 + 0.02 * strength, 1.3f * power);
            addNoise(out, rng, 0.01, FilterKind::BandPass, 1200 * pitch, 1.0, 0.006, 0.04, 0.7f * power);
            break;
        case kMaterialWood:
            addMode(out, 0, 420 * pitch, 0.05 + 0.02 * strength, 0.7f, 0.15);
            addMode(out, 0, 1050 * pitch, 0.03 + 0.01 * strength, 0.45f, 0.1);
            addMode(out, 0, 1930 * pitch, 0.018, 0.3f);
            addNoise(out, rng, 0, FilterKind::BandPass, 1500 * pitch, 1.5, 0.0005, 0.01, 1.2f);
            addThump(out, 0, 160 * pitch, 90 * pitch, 0.04 + 0.02 * strength, 0.6f * power);
            break;
        default: {  // metal: inharmonic partials that ring
            const double f0 = (strength == kStrengthBlocked ? 520 : 700 - 60 * strength) * pitch;
            static const double kRatios[5] = {1.0, 2.76, 5.40, 8.93, 13.34};
            for (int k = 0; k < 5; ++k) {
                addMode(out, 0, f0 * kRatios[k] * uniform(rng, 0.99, 1.01), (0.25 + 0.12 * strength) / (1.0 + 0.4 * k),
                        0.45f / float(1 + k) * (0.6f + 0.4f * power));
            }
            addNoise(out, rng, 0, FilterKind::HighPass, 3000, 0.7, 0.0005, 0.02, 0.8f);
            addThump(out, 0, 200 * pitch, 110 * pitch, 0.04, 0.4f * power);
            break;
        }
    }
    // Damage type.
    if (damageType == kDamageCut) {
        // A slicing hiss that falls in pitch, plus a bright edge on hard materials.
        addSweep(out, rng, 0, 0.10 + 0.05 * strength, 9000 * pitch, 2500, 2.0, 0.9f * power);
        if (material >= kMaterialWood) addMode(out, 0.002, 3400 * pitch, 0.08 + 0.03 * strength, 0.18f);
    } else if (damageType == kDamagePierce) {
        // A sharp tick and a short stab of mid noise. The tick grows with the strength: at a
        // fixed level it set the peak of weak hits, and peak normalising then left a light
        // stab quieter than a blocked one.
        addNoise(out, rng, 0, FilterKind::HighPass, 4500, 0.8, 0.0002, 0.004, 0.5f + 0.4f * float(strength));
        addNoise(out, rng, 0.006, FilterKind::BandPass, 1800 * pitch, 3.0, 0.001, 0.02 + 0.008 * strength, 1.2f * power);
    } else {
        // Blunt: a heavier, lower thump with crunch on strong hits.
        addThump(out, 0, 120 * pitch, 45, 0.07 + 0.05 * strength, 1.0f * power);
        if (strength >= kStrengthMedium) {
            addNoise(out, rng, 0.003, FilterKind::BandPass, 400, 1.2, 0.001, 0.04 + 0.02 * strength, 1.0f * power);
        }
    }
    // Strength shaping.
    if (strength == kStrengthBlocked) {
        lowPassAll(out, material == kMaterialMetal ? 4500 : 1800);
        // The guard's dull knock.
        addThump(out, 0, 260 * pitch, 160 * pitch, 0.03, 0.5f);
    } else if (strength == kStrengthLight) {
        highPassAll(out, 120);
        // A touch of drive so that a light stab, all transient, is not quieter than a blocked one.
        saturate(out, 1.2f);
    } else if (strength == kStrengthHeavy) {
        // Weight: sub boom, drive and a little room.
        addThump(out, 0, 90, 38, 0.18, 0.9f);
        saturate(out, 2.0f);
        room(out, 0.22f);
    } else {
        saturate(out, 1.4f);
    }
    fadeEdges(out, 0.3, 20);
    normalizeAudio(out, 0.4f + 0.18f * float(strength));
    return out;
}

AudioBuffer whoosh(Rng& rng, double seconds, double f0, double f1, double q, float amp) {
    AudioBuffer out = mono(seconds + 0.05);
    addSweep(out, rng, 0, seconds, f0, f1, q, amp);
    addSweep(out, rng, seconds * 0.1, seconds * 0.8, f0 * 0.5, f1 * 0.7, q * 0.7, amp * 0.5f);
    return out;
}

AudioBuffer poolSound(int id, int variant) {
    Rng rng = makeRng(uint64_t(id) * 7919 + uint64_t(variant) * 104729 + 17);
    const double vary = uniform(rng, 0.92, 1.08);
    AudioBuffer out;
    if (id >= kPoolFirstHit && id < kPoolFirstHit + kMaterialCount * 3 * kStrengthCount) {
        const int k = id - kPoolFirstHit;
        return hitSound(k / 12, (k / 4) % 3 + 1, k % 4, variant);
    }
    switch (id) {
        case kPoolMenuMove:
            out = mono(0.09);
            addBell(out, 0, 1320, 2.0, 1.2, 0.025, 0.6f);
            addBell(out, 0, 660, 1.0, 0.5, 0.03, 0.3f);
            break;
        case kPoolMenuSelect:
            out = mono(0.45);
            addBell(out, 0, 784, 3.0, 2.0, 0.12, 0.5f);
            addBell(out, 0.07, 1175, 3.0, 2.0, 0.18, 0.5f);
            addBell(out, 0.07, 2350, 1.0, 0.5, 0.1, 0.15f);
            break;
        case kPoolMenuBack:
            out = mono(0.3);
            addBell(out, 0, 784, 1.5, 1.0, 0.06, 0.5f);
            addBell(out, 0.06, 523, 1.5, 1.0, 0.09, 0.5f);
            lowPassAll(out, 3000);
            break;
        case kPoolWhooshLight:
            out = whoosh(rng, 0.16 * vary, 900, 3800, 1.6, 1.0f);
            break;
        case kPoolWhooshHeavy:
            out = whoosh(rng, 0.30 * vary, 350, 1600, 1.3, 1.0f);
            addThump(out, 0.2, 120, 60, 0.05, 0.15f);
            break;
        case kPoolBladeSwing:
            out = whoosh(rng, 0.22 * vary, 1800, 7000, 2.5, 1.0f);
            addMode(out, 0.05, 3900 * vary, 0.12, 0.08f);
            addMode(out, 0.05, 5300 * vary, 0.09, 0.05f);
            break;
        case kPoolLandLight:
            out = mono(0.3);
            addThump(out, 0, 140 * vary, 60, 0.05, 0.8f);
            addNoise(out, rng, 0, FilterKind::BandPass, 1200, 0.8, 0.002, 0.05, 0.9f);
            addNoise(out, rng, 0.01, FilterKind::BandPass, 3500, 0.8, 0.01, 0.06, 0.35f);
            break;
        case kPoolLandHeavy:
            out = mono(0.6);
            addThump(out, 0, 110 * vary, 38, 0.16, 1.0f);
            addNoise(out, rng, 0, FilterKind::LowPass, 500, 0.8, 0.002, 0.12, 1.2f);
            addNoise(out, rng, 0.02, FilterKind::BandPass, 2500, 0.7, 0.02, 0.12, 0.4f);
            saturate(out, 1.8f);
            break;
        case kPoolJumpLight:
            out = whoosh(rng, 0.18 * vary, 600, 2600, 1.4, 0.9f);
            addNoise(out, rng, 0, FilterKind::BandPass, 800, 1.0, 0.001, 0.02, 0.6f);
            break;
        case kPoolJumpHeavy:
            out = whoosh(rng, 0.26 * vary, 300, 1400, 1.2, 1.0f);
            addThump(out, 0, 120, 70, 0.06, 0.7f);
            break;
        case kPoolSpearThrust:
            out = whoosh(rng, 0.14 * vary, 2500, 900, 2.0, 1.0f);
            addNoise(out, rng, 0.1, FilterKind::HighPass, 5000, 0.7, 0.0005, 0.01, 0.3f);
            break;
        case kPoolHammerSwing:
            out = whoosh(rng, 0.42 * vary, 180, 900, 1.1, 1.0f);
            addSweep(out, rng, 0.05, 0.35, 120, 400, 0.9, 0.6f);
            break;
        case kPoolDaggerFlick:
            out = whoosh(rng, 0.09 * vary, 3000, 9000, 3.0, 1.0f);
            addMode(out, 0.03, 6200 * vary, 0.05, 0.05f);
            break;
        case kPoolGrab:
            out = mono(0.3);
            addNoise(out, rng, 0, FilterKind::BandPass, 2200 * vary, 0.7, 0.01, 0.06, 1.0f);
            addNoise(out, rng, 0.06, FilterKind::BandPass, 1500 * vary, 0.7, 0.01, 0.05, 0.8f);
            addThump(out, 0, 180, 100, 0.03, 0.4f);
            break;
        case kPoolSlam:
            out = mono(0.8);
            addThump(out, 0, 100 * vary, 35, 0.2, 1.0f);
            addNoise(out, rng, 0, FilterKind::LowPass, 700, 0.8, 0.001, 0.15, 1.0f);
            addNoise(out, rng, 0.05, FilterKind::BandPass, 1800, 1.0, 0.01, 0.1, 0.3f);
            saturate(out, 2.2f);
            room(out, 0.25f);
            break;
        case kPoolDash:
            out = whoosh(rng, 0.12 * vary, 500, 1800, 1.2, 1.0f);
            addNoise(out, rng, 0, FilterKind::BandPass, 3000, 1.0, 0.001, 0.015, 0.4f);
            break;
        case kPoolSpinWhoosh: {
            out = mono(0.5);
            for (int k = 0; k < 3; ++k) addSweep(out, rng, 0.13 * k, 0.2, 700 + 300.0 * k, 2600 + 500.0 * k, 1.5, 0.9f);
            break;
        }
        case kPoolBladeRing:
            out = mono(0.9);
            addSweep(out, rng, 0, 0.2, 7000, 3000, 3.0, 0.6f);
            addMode(out, 0.01, 2350 * vary, 0.35, 0.25f);
            addMode(out, 0.01, 3780 * vary, 0.25, 0.18f);
            addMode(out, 0.01, 5910 * vary, 0.18, 0.1f);
            break;
        case kPoolBodyFall:
            out = mono(0.7);
            addThump(out, 0, 120 * vary, 40, 0.12, 1.0f);
            addThump(out, 0.12, 100 * vary, 40, 0.1, 0.6f);
            addNoise(out, rng, 0, FilterKind::BandPass, 1500, 0.8, 0.005, 0.08, 0.7f);
            room(out, 0.2f);
            break;
        case kPoolChargeUp: {
            out = mono(0.7);
            double phase = 0, mod = 0;
            for (size_t i = 0; i < out.samples.size(); ++i) {
                const double t = double(i) / kRate;
                const double f = 200 + 900 * t * t / 0.49;
                mod += f * 1.5 / kRate;
                phase += f / kRate;
                const float env = float(std::min(1.0, t / 0.5) * std::exp(-std::max(0.0, t - 0.55) / 0.04));
                out.samples[i] = 0.5f * env * sineWave(phase + 0.4 * sineWave(mod));
            }
            addSweep(out, rng, 0, 0.65, 400, 6000, 1.5, 0.4f);
            break;
        }
        case kPoolKnockOutBlunt:
            out = mono(1.8);
            addThump(out, 0, 110 * vary, 30, 0.45, 1.0f);
            addNoise(out, rng, 0, FilterKind::LowPass, 900, 0.8, 0.001, 0.2, 1.2f);
            addNoise(out, rng, 0.01, FilterKind::BandPass, 450, 1.5, 0.001, 0.08, 0.8f);
            addBell(out, 0.02, 98, 1.41, 3.0, 0.5, 0.35f);
            saturate(out, 2.5f);
            room(out, 0.4f);
            break;
        case kPoolKnockOutOther:
            out = mono(1.8);
            addSweep(out, rng, 0, 0.25, 9000, 1500, 2.0, 1.0f);
            addThump(out, 0.02, 100 * vary, 32, 0.35, 0.9f);
            addMode(out, 0.01, 1900, 0.6, 0.15f);
            addBell(out, 0.04, 123, 1.41, 2.5, 0.5, 0.3f);
            saturate(out, 2.0f);
            room(out, 0.4f);
            break;
        case kPoolComboStep:
            // The game lowers this to 0.4x for the first step and raises it per step.
            out = mono(0.5);
            addBell(out, 0, 1046, 2.0, 1.8, 0.12, 0.6f);
            addBell(out, 0, 1568, 3.0, 0.8, 0.09, 0.25f);
            addNoise(out, rng, 0, FilterKind::HighPass, 6000, 0.7, 0.0005, 0.01, 0.3f);
            break;
        default:
            out = mono(0.05);
            break;
    }
    fadeEdges(out, 0.5, 15);
    normalizeAudio(out, 0.8f);
    return out;
}

}  // namespace

std::vector<PoolSpec> soundPoolCatalogue() {
    std::vector<PoolSpec> pools(static_cast<size_t>(kPoolCount));
    for (int i = 0; i < kPoolCount; ++i) pools[size_t(i)].id = i;
    auto set = [&](int id, const std::string& name, int variants, int volume) {
        pools[size_t(id)].name = name;
        pools[size_t(id)].variants = variants;
        pools[size_t(id)].volume = volume;
    };
    set(0, "empty", 0, 100);
    set(kPoolMenuMove, "menu_move", 1, 70);
    set(kPoolMenuSelect, "menu_select", 1, 90);
    set(kPoolMenuBack, "menu_back", 1, 80);
    for (int m = 0; m < kMaterialCount; ++m) {
        for (int d = kDamageCut; d <= kDamageBlunt; ++d) {
            for (int s = 0; s < kStrengthCount; ++s) {
                const std::string name = std::string("hit_") + materialName(m) + "_" + damageTypeName(d) + "_" + strengthName(s);
                // Light and medium hits repeat most, so they get the most variants.
                const int variants = (s == kStrengthLight || s == kStrengthMedium) ? 3 : 2;
                set(hitPool(m, d, s), name, variants, s == kStrengthBlocked ? 80 : 100);
            }
        }
    }
    set(kPoolWhooshLight, "whoosh_light", 4, 70);
    set(kPoolWhooshHeavy, "whoosh_heavy", 3, 80);
    set(kPoolBladeSwing, "swing_blade", 4, 75);
    set(kPoolLandLight, "land_light", 3, 90);
    set(kPoolLandHeavy, "land_heavy", 2, 100);
    set(kPoolJumpLight, "jump_light", 3, 70);
    set(kPoolJumpHeavy, "jump_heavy", 2, 80);
    set(kPoolSpearThrust, "thrust_spear", 3, 75);
    set(kPoolHammerSwing, "swing_hammer", 2, 85);
    set(kPoolDaggerFlick, "flick_dagger", 4, 65);
    set(kPoolGrab, "grab", 2, 90);
    set(kPoolSlam, "slam", 2, 100);
    set(kPoolDash, "dash", 3, 70);
    set(kPoolSpinWhoosh, "whoosh_spin", 2, 80);
    set(kPoolBladeRing, "blade_ring", 2, 70);
    set(kPoolBodyFall, "body_fall", 2, 100);
    set(kPoolChargeUp, "charge_up", 1, 80);
    set(kPoolKnockOutBlunt, "knockout_blunt", 2, 100);
    set(kPoolKnockOutOther, "knockout_other", 2, 100);
    set(kPoolComboStep, "combo_step", 1, 100);
    return pools;
}

AudioBuffer synthesizePool(int poolId, int variant) { return poolSound(poolId, variant); }

std::string poolFileName(const PoolSpec& pool, int variant) {
    if (pool.variants <= 1) return pool.name + ".wav";
    return pool.name + std::to_string(variant + 1) + ".wav";
}

bool writeSounds(const std::string& outDir, int part) {
    bool ok = true;
    for (const PoolSpec& pool : soundPoolCatalogue()) {
        if (pool.id % kSoundJobCount != part || pool.variants == 0) continue;
        for (int v = 0; v < pool.variants; ++v) {
            ok &= writeWav(outDir + "/sound/" + poolFileName(pool, v), synthesizePool(pool.id, v));
        }
    }
    return ok;
}

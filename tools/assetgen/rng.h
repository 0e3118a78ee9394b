// Small seeded random generator so every generated file is the same on every run.
#pragma once

#include <cstdint>

struct Rng {
    uint64_t state = 0x9E3779B97F4A7C15ull;
};

// A generator seeded from a number; equal seeds give equal sequences on every platform.
inline Rng makeRng(uint64_t seed) {
    Rng rng;
    rng.state = seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    return rng;
}

// splitmix64: fast, well mixed and fully portable.
inline uint64_t nextU64(Rng& rng) {
    rng.state += 0x9E3779B97F4A7C15ull;
    uint64_t z = rng.state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Uniform in [0, 1).
inline double uniform(Rng& rng) { return double(nextU64(rng) >> 11) * (1.0 / 9007199254740992.0); }

// Uniform in [lo, hi).
inline double uniform(Rng& rng, double lo, double hi) { return lo + (hi - lo) * uniform(rng); }

// Uniform integer in [0, n) (n > 0).
inline int randomInt(Rng& rng, int n) { return int(nextU64(rng) % uint64_t(n)); }

// Uniform in [-1, 1): white noise sample.
inline float noiseSample(Rng& rng) { return float(uniform(rng) * 2.0 - 1.0); }

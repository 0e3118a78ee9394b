// The random generator (splitmix64-seeded xoshiro256**): the game's own, seeded from the clock
// on first use unless a test or tool fixed the seed, and the same algorithm on a state that a
// caller keeps (a fight keeps its own).
#include "runtime/numbers.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {
RandomState state{}; // the game's own generator (menus, sounds, choices at random)
bool seeded = false;

uint64_t splitmix(uint64_t& x) {
    uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

void seedFromClockOnce() {
    if (seeded) return;
    auto ticks = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    auto thread = uint64_t(std::hash<std::thread::id>{}(std::this_thread::get_id()));
    seedRandom(ticks ^ (thread << 17));
}

uint64_t nextRandom(RandomState& state) {
    uint64_t result = rotl(state[1] * 5, 7) * 9;
    uint64_t t = state[1] << 17;
    state[2] ^= state[0];
    state[3] ^= state[1];
    state[1] ^= state[2];
    state[0] ^= state[3];
    state[2] ^= t;
    state[3] = rotl(state[3], 45);
    return result;
}

uint64_t drawBelow(RandomState& state, int64_t max) {
    uint64_t span = uint64_t(max) + 1;
    // Rejection keeps the draw uniform for spans that do not divide 2^64.
    uint64_t limit = UINT64_MAX - UINT64_MAX % span;
    uint64_t r;
    do r = nextRandom(state);
    while (r >= limit);
    return r % span;
}
} // namespace

void seedRandom(RandomState& s, uint64_t seed) {
    for (uint64_t& word : s) word = splitmix(seed);
}

int64_t randomInt(RandomState& s, int64_t max) {
    if (max <= 0) return 0;
    return int64_t(drawBelow(s, max));
}

int64_t randomRange(RandomState& s, int64_t max, int64_t min) { return min + randomInt(s, max - min); }

void seedRandom(uint64_t seed) {
    seedRandom(state, seed);
    seeded = true;
}

RandomState randomState() {
    seedFromClockOnce();
    return state;
}

void setRandomState(const RandomState& saved) {
    state = saved;
    seeded = true;
}

int64_t randomInt(int64_t max) {
    if (max <= 0) return 0;
    seedFromClockOnce();
    return int64_t(drawBelow(state, max));
}

int64_t randomRange(int64_t max, int64_t min) { return min + randomInt(max - min); }

int64_t truncateToInt(double x) {
    if (!std::isfinite(x)) return 0;
    if (x >= 9.2e18) return INT64_MAX;
    if (x <= -9.2e18) return INT64_MIN;
    return int64_t(x);
}

int64_t roundToInt(double x) {
    if (!std::isfinite(x)) return 0;
    return truncateToInt(std::nearbyint(x)); // the default rounding mode is to-nearest-even
}

int64_t sign(double x) { return x > 0 ? 1 : (x < 0 ? -1 : 0); }

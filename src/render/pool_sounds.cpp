// Playing the sound pools.
#include "render/pool_sounds.h"

#include <algorithm>

#include "data/sound_library.h"
#include "runtime/numbers.h"
#include "runtime/sound.h"
#include "settings/game_screen.h"
#include "settings/settings.h"

namespace {
constexpr int64_t kMaxPoolVolume = 1000000; // percent; far louder than the 100 cap anyway

// Plays a variant of the pool, or the next one while it is still sounding: a sound is never cut
// off by its own repetition.
int64_t playVariantFrom(int64_t id, int64_t k, int64_t x, int64_t volume) {
    int64_t base = poolBase(id);
    if (base < 0) return -1;
    int64_t last = variantCount(id);
    int64_t slot = base + k;
    for (int64_t tries = 0; tries < last && soundExists(slot) && soundStatus(slot) == 1; ++tries) {
        k = k == last ? 0 : k + 1;
        slot = base + k;
    }
    if (!soundExists(slot)) return slot;
    // Both factors bounded first: a modded pool volume near the integer limit must not
    // overflow the product (percent x percent).
    int64_t product = std::clamp<int64_t>(settings.soundVolume, 0, 100) *
                      std::clamp<int64_t>(volume, -kMaxPoolVolume, kMaxPoolVolume);
    setSoundVolume(slot, std::min<int64_t>(100, product / 100));
    setSoundPosition(slot, 0, 0);
    if (x != kNoStereo && screenWidth > 0)
        setSoundPan(slot, (x * 2 * settings.soundStereo) / screenWidth - settings.soundStereo);
    playSound(slot, 0, -1);
    return slot;
}
} // namespace

int64_t playPoolVariant(int64_t id, int64_t x, int64_t volume) {
    if (poolBase(id) < 0) return -1;
    return playVariantFrom(id, randomInt(variantCount(id)), x, volume);
}

void playPoolSoundChoice(const PoolSoundChoice& c) {
    int64_t slot = playVariantFrom(c.poolId, c.variant, c.x, c.volume);
    if (slot < 0 || !soundExists(slot) || !c.setFrequency) return;
    if (c.pool <= 0 || c.pool >= int64_t(soundPools.size())) return;
    const SoundPool& p = soundPools[size_t(c.pool)];
    int64_t k = std::min({slot - poolBase(c.poolId), variantCount(c.poolId),
                          int64_t(p.frequencies.size()) - 1});
    if (k < 0) return;
    setSoundFrequency(slot, roundToInt(double(p.frequencies[size_t(k)]) * c.percent / 100.0 *
                                       c.pitchFactor));
}

void playPoolSound(int64_t pool, int64_t x, int64_t variation, double pitchFactor,
                   double volumeFactor, bool withChain) {
    std::vector<PoolSoundChoice> chosen;
    // Outside a fight the game's own generator draws.
    RandomState random = randomState();
    choosePoolSound(random, chosen, pool, x, variation != 0 && settings.soundVariation != 0, pitchFactor,
                    volumeFactor, withChain);
    setRandomState(random);
    for (const PoolSoundChoice& c : chosen) playPoolSoundChoice(c);
}

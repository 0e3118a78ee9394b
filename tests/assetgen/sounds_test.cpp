// Sound effects as shipped: every variant decodes, is clean, and strengths and pools sound right.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game_dir.h"
#include "sound_ids.h"
#include "sounds.h"

namespace {

double energyOf(const AudioBuffer& a) {
    double sum = 0;
    for (float s : a.samples) sum += double(s) * s;
    return sum;
}

double rmsOf(const AudioBuffer& a) { return std::sqrt(energyOf(a) / double(std::max<size_t>(1, a.samples.size()))); }

double meanOf(const AudioBuffer& a) {
    double sum = 0;
    for (float s : a.samples) sum += s;
    return sum / double(std::max<size_t>(1, a.samples.size()));
}

}  // namespace

TEST(SoundFiles, NamesFollowTheVariantRule) {
    PoolSpec single;
    single.name = "grab";
    single.variants = 1;
    EXPECT_EQ(poolFileName(single, 0), "grab.wav");
    PoolSpec several = single;
    several.variants = 3;
    EXPECT_EQ(poolFileName(several, 0), "grab1.wav");
    EXPECT_EQ(poolFileName(several, 2), "grab3.wav");
}

TEST(SoundFiles, EveryVariantOfEveryPoolDecodesCleanly) {
    const std::string dir = generatedGameDir();
    if (dir.empty()) GTEST_SKIP() << "content not generated yet in " << QRX_GAME_DIR;
    int files = 0;
    for (const PoolSpec& pool : soundPoolCatalogue()) {
        for (int v = 0; v < pool.variants; ++v) {
            const std::string path = dir + "/sound/" + poolFileName(pool, v);
            AudioBuffer a;
            ASSERT_TRUE(readWav(path, a)) << path;
            ++files;
            EXPECT_EQ(a.sampleRate, kSoundRate) << path;
            EXPECT_EQ(a.channels, 1) << path;
            EXPECT_GT(durationSeconds(a), 0.03) << path;
            EXPECT_LT(durationSeconds(a), 3.0) << path;
            // Not clipped: a sample at full scale means the synthesis overshot.
            EXPECT_LT(peakOf(a), 0.999f) << path;
            EXPECT_GT(rmsOf(a), 0.01) << path << " is nearly silent";
            EXPECT_LT(std::fabs(meanOf(a)), 0.01) << path << " has a DC offset";
            // Starts and ends at rest: no click when the mixer starts or stops it.
            EXPECT_LT(std::fabs(a.samples.front()), 0.05f) << path;
            EXPECT_LT(std::fabs(a.samples.back()), 0.05f) << path;
        }
        // No stale variant beyond the count the data gives.
        if (pool.variants > 1) {
            EXPECT_FALSE(std::filesystem::exists(dir + "/sound/" + pool.name + std::to_string(pool.variants + 1) + ".wav"))
                << pool.name;
        }
    }
    EXPECT_GT(files, 150);
}

TEST(HitSounds, EachStrengthIsLouderThanTheOneBelow) {
    // The game picks blocked, light, medium or heavy from the damage: players hear the step.
    for (int m = 0; m < kMaterialCount; ++m) {
        for (int d = kDamageCut; d <= kDamageBlunt; ++d) {
            double previous = 0;
            double previousLength = 0;
            for (int s = 0; s < kStrengthCount; ++s) {
                const AudioBuffer a = synthesizePool(hitPool(m, d, s), 0);
                const double e = energyOf(a);
                EXPECT_GT(e, previous * 1.1) << materialName(m) << " " << damageTypeName(d) << " " << strengthName(s);
                EXPECT_GE(durationSeconds(a), previousLength) << materialName(m) << " " << damageTypeName(d) << " "
                                                             << strengthName(s);
                previous = e;
                previousLength = durationSeconds(a);
            }
        }
    }
}

TEST(HitSounds, DamageTypesOfAMaterialSoundDifferent) {
    for (int m = 0; m < kMaterialCount; ++m) {
        const AudioBuffer cut = synthesizePool(hitPool(m, kDamageCut, kStrengthMedium), 0);
        const AudioBuffer blunt = synthesizePool(hitPool(m, kDamageBlunt, kStrengthMedium), 0);
        const AudioBuffer pierce = synthesizePool(hitPool(m, kDamagePierce, kStrengthMedium), 0);
        EXPECT_NE(cut.samples, blunt.samples) << materialName(m);
        EXPECT_NE(cut.samples, pierce.samples) << materialName(m);
        EXPECT_NE(pierce.samples, blunt.samples) << materialName(m);
    }
}

TEST(FixedPools, HeavyVersionsWeighMoreAndMenuSoundsAreShort) {
    auto first = [](int pool) { return synthesizePool(pool, 0); };
    EXPECT_GT(energyOf(first(kPoolLandHeavy)), energyOf(first(kPoolLandLight)));
    EXPECT_GT(energyOf(first(kPoolJumpHeavy)), energyOf(first(kPoolJumpLight)));
    EXPECT_GT(energyOf(first(kPoolWhooshHeavy)), energyOf(first(kPoolWhooshLight)));
    // Menu sounds answer a key press; a long one would smear fast scrolling.
    for (int pool : {kPoolMenuMove, kPoolMenuSelect, kPoolMenuBack}) EXPECT_LT(durationSeconds(first(pool)), 0.5) << pool;
    // The combo step is re-pitched per step: short, so that quick chains do not pile up.
    EXPECT_LT(durationSeconds(first(kPoolComboStep)), 0.6);
    // A knock-out ends the fight: longer than any single hit.
    const double heavyHit = durationSeconds(first(hitPool(kMaterialFlesh, kDamageBlunt, kStrengthHeavy)));
    EXPECT_GT(durationSeconds(first(kPoolKnockOutBlunt)), heavyHit);
    EXPECT_GT(durationSeconds(first(kPoolKnockOutOther)), heavyHit * 0.8);
}

TEST(FixedPools, EveryPoolWithFilesHasANameAndVariantsDiffer) {
    for (const PoolSpec& pool : soundPoolCatalogue()) {
        if (pool.id == 0) {
            EXPECT_EQ(pool.variants, 0);
            continue;
        }
        EXPECT_FALSE(pool.name.empty()) << pool.id;
        EXPECT_GE(pool.variants, 1) << pool.name;
        EXPECT_LE(pool.variants, 4) << pool.name;
        EXPECT_GT(pool.volume, 0) << pool.name;
        EXPECT_LE(pool.volume, 100) << pool.name;
        if (pool.variants > 1) EXPECT_NE(synthesizePool(pool.id, 0).samples, synthesizePool(pool.id, 1).samples) << pool.name;
    }
}

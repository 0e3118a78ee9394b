// Sound pools: loading their files, the variant table, and choosing what a pool plays.
#include "data/sound_library.h"

#include <array>

#include "data/json_fields.h"
#include "runtime/files.h"
#include "runtime/json.h"
#include "runtime/numbers.h"
#include "runtime/sound.h"

std::vector<SoundPool> soundPools;
std::vector<SoundClass> soundClasses;
std::vector<SoundMaterial> soundMaterials;

namespace {
constexpr int64_t kSlotsPerPool = 255;
std::array<uint8_t, 65536> variantTable{}; // at a pool's base: its last variant's index

// One channel of 8-bit silence at 44100 Hz: the sound of a pool without files.
constexpr uint8_t kSilentWav[48] = {
    'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
    16, 0, 0, 0, 1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x44, 0xAC, 0, 0,
    1, 0, 8, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 0x80, 0x80, 0x80, 0x80};

// Loads a file into a slot and plays it once silently, so that its first real play is ready.
bool loadVariant(int64_t slot, const std::string& path) {
    if (fileSize(path) <= 0 || !loadSound(slot, path)) return false;
    playSound(slot, 0, 0);
    return true;
}

std::string findPoolFiles(const std::string& name, int64_t base, const char* extension) {
    if (loadVariant(base, "sound/" + name + extension)) {
        variantTable[size_t(base)] = 0;
        return extension;
    }
    // The numbered files end at the first missing one; a file that cannot be played is passed
    // over (loadSound said why) and the next takes its slot.
    int64_t loaded = 0;
    for (int64_t k = 1; k <= 254; ++k) {
        std::string path = "sound/" + name + std::to_string(k) + extension;
        if (fileSize(path) <= 0) break;
        if (!loadVariant(base + loaded, path)) continue;
        variantTable[size_t(base)] = uint8_t(loaded);
        loaded += 1;
    }
    return loaded > 0 ? extension : "";
}

int64_t poolReference(const JsonNode* json, const char* key) {
    int64_t position = readIntegerField(json, key);
    // A reference outside the list means none.
    return position > 0 && position < int64_t(soundPools.size()) ? position : 0;
}
} // namespace

int64_t poolBase(int64_t id) {
    if (id < 0 || id > 254) return -1;
    return 256 * (id + 1);
}

int64_t variantCount(int64_t id) {
    int64_t base = poolBase(id);
    return base < 0 ? 0 : variantTable[size_t(base)];
}

std::string loadPoolSounds(const std::string& name, int64_t id) {
    int64_t base = poolBase(id);
    if (base < 0) return "";
    for (const char* extension : {".wav", ".ogg"}) {
        std::string found = findPoolFiles(name, base, extension);
        if (!found.empty()) return found;
    }
    loadSoundFromMemory(base, kSilentWav, sizeof kSilentWav);
    playSound(base, 0, 0);
    variantTable[size_t(base)] = 0;
    return "";
}

SoundPool readSoundPool(const JsonNode* json) {
    SoundPool pool;
    pool.id = readIntegerField(json, "id");
    pool.volume = readIntegerField(json, "volume");
    if (pool.volume == 0) pool.volume = 100;
    int64_t next = readIntegerField(json, "next");
    if (next != 0) {
        // Only an earlier pool can be chained: later ones are not read yet.
        pool.next = next > 0 && next < int64_t(soundPools.size()) ? next : 0;
        pool.nextVolume = readFloatField(json, "nextVolume");
        if (pool.nextVolume == 0.0f) pool.nextVolume = 1.0f;
    }
    pool.name = readTextField(json, "name");
    pool.extension = loadPoolSounds(pool.name, pool.id);
    int64_t base = poolBase(pool.id);
    if (base >= 0)
        for (int64_t k = 0; k <= variantCount(pool.id); ++k)
            if (soundExists(base + k)) pool.frequencies.push_back(getSoundFrequency(base + k));
    return pool;
}

SoundClass readSoundClass(const JsonNode* json) {
    SoundClass c;
    c.id = readIntegerField(json, "id");
    c.blocked = poolReference(json, "blocked");
    c.light = poolReference(json, "light");
    c.medium = poolReference(json, "medium");
    c.heavy = poolReference(json, "heavy");
    c.lightThreshold = readIntegerField(json, "lightThreshold");
    c.mediumThreshold = readIntegerField(json, "mediumThreshold");
    c.heavyThreshold = readIntegerField(json, "heavyThreshold");
    if (c.lightThreshold == 0) c.lightThreshold = 2;
    if (c.mediumThreshold == 0) c.mediumThreshold = 5;
    if (c.heavyThreshold == 0) c.heavyThreshold = 10;
    return c;
}

SoundMaterial readSoundMaterial(const JsonNode* json) {
    auto classReference = [&](const char* key) {
        int64_t position = readIntegerField(json, key);
        return position > 0 && position < int64_t(soundClasses.size()) ? position : 0;
    };
    SoundMaterial m;
    m.id = readIntegerField(json, "id");
    m.cut = classReference("cut");
    m.pierce = classReference("pierce");
    m.blunt = classReference("blunt");
    return m;
}

void makePlaceholderSoundPool() {
    soundPools.clear();
    SoundPool empty;
    empty.name = "empty";
    soundPools.push_back(empty);
}

void choosePoolSound(RandomState& random, std::vector<PoolSoundChoice>& chosen, int64_t pool, int64_t x,
                     int64_t variation, double pitchFactor, double volumeFactor, bool withChain) {
    if (pool <= 0 || pool >= int64_t(soundPools.size())) return;
    const SoundPool& p = soundPools[size_t(pool)];
    // Only "some variation or none" matters; a product repeated along a chain of pools could
    // overflow.
    variation = variation != 0 ? 1 : 0;
    int64_t base = poolBase(p.id);
    if (base >= 0) {
        PoolSoundChoice c;
        c.pool = pool;
        c.poolId = p.id;
        c.variant = randomInt(random, variantCount(p.id));
        c.x = x;
        c.volume = roundToInt(double(p.volume) * volumeFactor);
        c.pitchFactor = pitchFactor;
        // The loaded variants decide whether a pitch is drawn, as they decide what plays.
        c.setFrequency = soundExists(base + c.variant) && (variation != 0 || pitchFactor != 1.0) &&
                         !p.frequencies.empty();
        if (c.setFrequency && variation != 0)
            c.percent = double((randomInt(random, 40) + 80) + (randomInt(random, 40) + 80) +
                               (randomInt(random, 40) + 80)) / 3.0;
        chosen.push_back(c);
    }
    if (withChain && p.next > 0)
        choosePoolSound(random, chosen, p.next, x, variation, pitchFactor, volumeFactor * double(p.nextVolume));
}

void clearSoundLibrary() {
    soundPools.clear();
    soundClasses.clear();
    soundMaterials.clear();
    variantTable.fill(0);
}

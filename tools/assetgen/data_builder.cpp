// The one builder through which data.json is written, a function per section.
#include "data_builder.h"

#include <cstdio>
#include <fstream>

#include "sound_ids.h"

namespace {

Json poolJson(const PoolSpec& pool) {
    Json j = Json::object();
    j["id"] = pool.id;
    j["name"] = pool.name;
    j["volume"] = pool.volume;
    if (pool.next != 0) {
        j["next"] = pool.next;
        j["nextVolume"] = pool.nextVolume;
    }
    return j;
}

}  // namespace

void addSoundPools(DataBuilder& builder, const std::vector<PoolSpec>& pools) {
    for (const PoolSpec& pool : pools) {
        PoolSpec placed = pool;
        placed.id = int(builder.soundPool.size());
        builder.soundPool.push_back(poolJson(placed));
    }
}

int appendSoundPool(DataBuilder& builder, const PoolSpec& pool) {
    PoolSpec placed = pool;
    placed.id = int(builder.soundPool.size());
    builder.soundPool.push_back(poolJson(placed));
    return placed.id;
}

HitThresholds thresholdsFor(int material) {
    // Harder materials need more damage before a hit sounds heavy.
    switch (material) {
        case kMaterialWood:
            return HitThresholds{2, 6, 11};
        case kMaterialMetal:
            return HitThresholds{3, 6, 12};
        default:
            return HitThresholds{2, 5, 10};
    }
}

const char* materialName(int material) {
    static const char* kNames[kMaterialCount] = {"flesh", "cloth", "wood", "metal"};
    return material >= 0 && material < kMaterialCount ? kNames[material] : "unknown";
}

const char* damageTypeName(int damageType) {
    static const char* kNames[3] = {"cut", "pierce", "blunt"};
    return damageType >= 1 && damageType <= 3 ? kNames[damageType - 1] : "unknown";
}

const char* strengthName(int strength) {
    static const char* kNames[kStrengthCount] = {"blocked", "light", "medium", "heavy"};
    return strength >= 0 && strength < kStrengthCount ? kNames[strength] : "unknown";
}

void addSoundClasses(DataBuilder& builder) {
    builder.soundClass = Json::array();
    Json placeholder = Json::object();
    placeholder["id"] = 0;
    builder.soundClass.push_back(placeholder);
    for (int m = 0; m < kMaterialCount; ++m) {
        const HitThresholds t = thresholdsFor(m);
        for (int d = kDamageCut; d <= kDamageBlunt; ++d) {
            Json j = Json::object();
            j["id"] = int(builder.soundClass.size());
            j["blocked"] = hitPool(m, d, kStrengthBlocked);
            j["light"] = hitPool(m, d, kStrengthLight);
            j["medium"] = hitPool(m, d, kStrengthMedium);
            j["heavy"] = hitPool(m, d, kStrengthHeavy);
            j["lightThreshold"] = t.light;
            j["mediumThreshold"] = t.medium;
            j["heavyThreshold"] = t.heavy;
            builder.soundClass.push_back(j);
        }
    }
}

void addSoundMaterials(DataBuilder& builder) {
    builder.soundMaterial = Json::array();
    for (int m = 0; m < kMaterialCount; ++m) {
        Json j = Json::object();
        j["id"] = m;
        j["name"] = materialName(m);
        j["cut"] = soundClassId(m, kDamageCut);
        j["pierce"] = soundClassId(m, kDamagePierce);
        j["blunt"] = soundClassId(m, kDamageBlunt);
        builder.soundMaterial.push_back(j);
    }
}

void setLandingEffects(DataBuilder& builder, const Json& lightFront, const Json& lightBack, const Json& heavyFront,
                       const Json& heavyBack) {
    builder.effect = Json::object();
    builder.effect["LandLightFront"] = lightFront;
    builder.effect["LandLightBack"] = lightBack;
    builder.effect["LandHeavyFront"] = heavyFront;
    builder.effect["LandHeavyBack"] = heavyBack;
}

void setLoadingAnimations(DataBuilder& builder, const Json& animations) { builder.loading = animations; }

void addFighterClass(DataBuilder& builder, Json fighterClass) {
    fighterClass["id"] = int(builder.classes.size());
    builder.classes.push_back(std::move(fighterClass));
}

Json pictureFrame(const std::string& path, int length, int shiftX, int shiftY) {
    Json j = Json::object();
    j["length"] = length;
    j["clone"] = -1;
    j["path"] = path;
    j["shift"] = Json{{"x", shiftX}, {"y", shiftY}};
    return j;
}

Json animationJson(const std::string& name, const Json& frames, bool looped) {
    Json j = Json::object();
    j["name"] = name;
    j["looped"] = looped ? 1 : 0;
    j["frames"] = frames;
    return j;
}

std::string dataJsonText(const DataBuilder& builder) {
    // Sections in the order the game reads them.
    Json root = Json::object();
    root["soundPool"] = builder.soundPool;
    root["soundClass"] = builder.soundClass;
    root["soundMaterial"] = builder.soundMaterial;
    root["class"] = builder.classes;
    root["effect"] = builder.effect;
    root["loading"] = builder.loading;
    return root.dump(1) + "\n";
}

bool writeDataJson(const std::string& outDir, const DataBuilder& builder) {
    const std::string path = outDir + "/data.json";
    std::ofstream out(path, std::ios::binary);
    out << dataJsonText(builder);
    out.close();  // a full disk shows only when the buffer is flushed
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

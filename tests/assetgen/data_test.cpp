// Pool numbering, sound references, data.json structure and the generated content tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "data_builder.h"
#include "sound_ids.h"
#include "sounds.h"

namespace {

DataBuilder soundSections() {
    DataBuilder builder;
    addSoundPools(builder, soundPoolCatalogue());
    addSoundClasses(builder);
    addSoundMaterials(builder);
    return builder;
}

}  // namespace

TEST(SoundPools, IdsArePositionsAndFixedNumbersHoldTheirSounds) {
    const DataBuilder b = soundSections();
    ASSERT_EQ(b.soundPool.size(), size_t(kPoolCount));
    for (size_t i = 0; i < b.soundPool.size(); ++i) EXPECT_EQ(b.soundPool[i]["id"].get<int>(), int(i));
    auto name = [&](int id) { return b.soundPool[size_t(id)]["name"].get<std::string>(); };
    EXPECT_EQ(name(kPoolMenuMove), "menu_move");
    EXPECT_EQ(name(kPoolMenuSelect), "menu_select");
    EXPECT_EQ(name(kPoolMenuBack), "menu_back");
    EXPECT_EQ(name(55), "land_light");
    EXPECT_EQ(name(56), "land_heavy");
    EXPECT_EQ(name(57), "jump_light");
    EXPECT_EQ(name(58), "jump_heavy");
    EXPECT_EQ(name(69), "knockout_blunt");
    EXPECT_EQ(name(70), "knockout_other");
    EXPECT_EQ(name(71), "combo_step");
    // Every pool has its own file name.
    std::set<std::string> names;
    for (const auto& p : b.soundPool) names.insert(p["name"].get<std::string>());
    EXPECT_EQ(names.size(), b.soundPool.size());
}

TEST(SoundPools, AppendedPoolsFollowTheFixedOnes) {
    DataBuilder b = soundSections();
    PoolSpec extra;
    extra.name = "roar";
    EXPECT_EQ(appendSoundPool(b, extra), kPoolCount);
    EXPECT_EQ(b.soundPool.back()["id"].get<int>(), kPoolCount);
}

TEST(SoundClasses, EveryMaterialAndDamageTypeReachesItsOwnHitPools) {
    const DataBuilder b = soundSections();
    ASSERT_EQ(b.soundMaterial.size(), size_t(kMaterialCount));
    ASSERT_EQ(b.soundClass.size(), size_t(kSoundClassCount));
    std::set<int> seenPools;
    for (int m = 0; m < kMaterialCount; ++m) {
        const auto& material = b.soundMaterial[size_t(m)];
        EXPECT_EQ(material["id"].get<int>(), m);
        const char* keys[3] = {"cut", "pierce", "blunt"};
        for (int d = 0; d < 3; ++d) {
            const int cls = material[keys[d]].get<int>();
            ASSERT_GT(cls, 0);  // position 0 cannot be referred to
            ASSERT_LT(cls, int(b.soundClass.size()));
            const auto& c = b.soundClass[size_t(cls)];
            EXPECT_EQ(c["id"].get<int>(), cls);
            EXPECT_LT(c["lightThreshold"].get<int>(), c["mediumThreshold"].get<int>());
            EXPECT_LT(c["mediumThreshold"].get<int>(), c["heavyThreshold"].get<int>());
            const char* strengths[4] = {"blocked", "light", "medium", "heavy"};
            for (int s = 0; s < 4; ++s) {
                const int pool = c[strengths[s]].get<int>();
                ASSERT_GT(pool, 0);
                ASSERT_LT(pool, int(b.soundPool.size()));
                const std::string name = b.soundPool[size_t(pool)]["name"].get<std::string>();
                EXPECT_NE(name.find(materialName(m)), std::string::npos) << name;
                EXPECT_NE(name.find(keys[d]), std::string::npos) << name;
                EXPECT_NE(name.find(strengths[s]), std::string::npos) << name;
                seenPools.insert(pool);
            }
        }
    }
    EXPECT_EQ(seenPools.size(), size_t(kMaterialCount * 3 * 4));
    EXPECT_EQ(seenPools.count(kPoolMenuMove), 0u);
}

TEST(DataJson, SectionsComeInReadingOrder) {
    DataBuilder b = soundSections();
    setLandingEffects(b, Json::array(), Json::array(), Json::array(), Json::array());
    const Json root = Json::parse(dataJsonText(b));
    std::vector<std::string> keys;
    for (auto it = root.begin(); it != root.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"soundPool", "soundClass", "soundMaterial", "class", "effect", "loading"}));
    EXPECT_TRUE(root["effect"].contains("LandHeavyBack"));
}

// The content built into the game directory: every file the game loads is there.
class GameDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        dir = QRX_GAME_DIR;
        if (!std::filesystem::exists(dir + "/data.json")) GTEST_SKIP() << "content not generated yet in " << dir;
        std::ifstream in(dir + "/data.json");
        data = Json::parse(in);
    }
    bool exists(const std::string& rel) const { return std::filesystem::file_size(dir + "/" + rel) > 0; }
    std::string dir;
    Json data;
};

TEST_F(GameDirectory, FixedFilesExist) {
    std::vector<std::string> files = {"image/letter_white.png", "image/bar.png", "image/bar_big.png", "image/HUD.png",
                                      "image/counterThree.png", "image/counterTwo.png", "image/counterOne.png",
                                      "image/comboNeutral.png", "image/comboUp.png", "image/comboHeavy.png",
                                      "image/comboNeutral_small.png", "image/comboNUp_small.png", "image/comboHeavy_small.png",
                                      "image/tobeadded.png", "image/dot.png", "image/crescent.png",
                                      "sound/counter.ogg", "sound/victory.ogg", "sound/defeat.ogg",
                                      "music/Quarrelix menu v04.ogg", "music/Quarrelix main v06 loop.ogg",
                                      "music/Stick da being v05.ogg", "music/Merlok v02 loop.ogg", "music/Merlok intro.ogg"};
    for (int i = 1; i <= 7; ++i) files.push_back("image/hurt" + std::to_string(i) + ".png");
    for (const char* s : {"strength", "agility", "speed", "weight", "stamina", "life", "cut", "pierce", "blunt", "range", "difficulty"}) {
        files.push_back(std::string("image/icon_") + s + "_mini.png");
    }
    const int tiles[3] = {4, 6, 5};
    for (int s = 0; s < 3; ++s) {
        for (int t = 1; t <= tiles[s]; ++t) files.push_back("image/background" + std::to_string(s + 1) + "_" + std::to_string(t) + ".png");
    }
    for (const std::string& f : files) EXPECT_TRUE(std::filesystem::exists(dir + "/" + f) && exists(f)) << f;
}

TEST_F(GameDirectory, EveryPoolAndFramePictureHasItsFiles) {
    for (const auto& pool : data["soundPool"]) {
        const int id = pool["id"].get<int>();
        if (id == 0) continue;
        const std::string name = pool["name"].get<std::string>();
        const bool found = std::filesystem::exists(dir + "/sound/" + name + ".wav") ||
                           std::filesystem::exists(dir + "/sound/" + name + "1.wav");
        EXPECT_TRUE(found) << name;
    }
    int frames = 0;
    auto checkAnimation = [&](const Json& animation) {
        for (const auto& frame : animation["frames"]) {
            if (frame.value("clone", 0) != -1) continue;
            EXPECT_TRUE(exists(frame["path"].get<std::string>() + ".png")) << frame["path"];
            ++frames;
        }
    };
    for (const char* list : {"LandLightFront", "LandLightBack", "LandHeavyFront", "LandHeavyBack"}) {
        ASSERT_GE(data["effect"][list].size(), 1u) << list;
        for (const auto& a : data["effect"][list]) checkAnimation(a);
    }
    ASSERT_GE(data["loading"].size(), 1u);
    for (const auto& a : data["loading"]) checkAnimation(a);
    EXPECT_GT(frames, 0);
}

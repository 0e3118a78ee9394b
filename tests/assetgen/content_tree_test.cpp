// data.json as shipped: ids, every reference in range, every file it names present and readable.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "game_dir.h"
#include "png_writer.h"
#include "sounds.h"

namespace {

class ContentTree : public ::testing::Test {
protected:
    void SetUp() override {
        dir = generatedGameDir();
        if (dir.empty()) GTEST_SKIP() << "content not generated yet in " << QRX_GAME_DIR;
        data = generatedData(dir);
        ASSERT_FALSE(data.is_discarded());
    }
    // Visits every frame of every animation anywhere in the file (classes with their
    // follow-ups, hit lists and wind tables, landing effects, loading animations).
    void eachFrame(const std::function<void(const Json& frame, const std::string& where)>& visit) const {
        std::function<void(const Json&, const std::string&)> walk = [&](const Json& node, const std::string& where) {
            if (node.is_object()) {
                if (node.contains("frames") && node["frames"].is_array()) {
                    for (const Json& f : node["frames"]) visit(f, where);
                }
                if (node.contains("path") && node.contains("length")) visit(node, where);  // a bare frame (hit lists)
                for (auto it = node.begin(); it != node.end(); ++it) {
                    if (it.key() != "frames") walk(it.value(), where + "/" + it.key());
                }
            } else if (node.is_array()) {
                for (size_t i = 0; i < node.size(); ++i) walk(node[i], where + "/" + std::to_string(i));
            }
        };
        walk(data["class"], "class");
        walk(data["effect"], "effect");
        walk(data["loading"], "loading");
    }
    bool poolHasFiles(int id) const {
        const std::string name = data["soundPool"][size_t(id)]["name"].get<std::string>();
        return std::filesystem::exists(dir + "/sound/" + name + ".wav") || std::filesystem::exists(dir + "/sound/" + name + "1.wav");
    }
    std::string dir;
    Json data;
};

}  // namespace

TEST_F(ContentTree, IdsEqualPositionsInEveryList) {
    for (const char* list : {"soundPool", "soundClass", "soundMaterial", "class"}) {
        ASSERT_TRUE(data[list].is_array()) << list;
        ASSERT_GT(data[list].size(), 0u) << list;
        for (size_t i = 0; i < data[list].size(); ++i) EXPECT_EQ(data[list][i]["id"].get<int>(), int(i)) << list;
    }
}

TEST_F(ContentTree, SoundReferencesPointAtPoolsThatHaveFiles) {
    const int pools = int(data["soundPool"].size());
    const int classes = int(data["soundClass"].size());
    for (const Json& pool : data["soundPool"]) {
        const int next = pool.value("next", 0);
        EXPECT_GE(next, 0);
        EXPECT_LT(next, pools);
        if (pool["id"].get<int>() > 0) EXPECT_TRUE(poolHasFiles(pool["id"].get<int>())) << pool["name"];
    }
    for (const Json& c : data["soundClass"]) {
        if (c["id"].get<int>() == 0) continue;
        for (const char* s : {"blocked", "light", "medium", "heavy"}) {
            const int pool = c[s].get<int>();
            EXPECT_GT(pool, 0);
            EXPECT_LT(pool, pools);
        }
    }
    for (const Json& m : data["soundMaterial"]) {
        for (const char* d : {"cut", "pierce", "blunt"}) {
            EXPECT_GT(m[d].get<int>(), 0) << m["name"];
            EXPECT_LT(m[d].get<int>(), classes) << m["name"];
        }
    }
    // Stances are made of materials that exist.
    for (const Json& cls : data["class"]) {
        for (const Json& stance : cls.value("stance", Json::array())) {
            for (const Json& m : stance["material"]) {
                EXPECT_GE(m.get<int>(), 0) << cls["name"];
                EXPECT_LT(m.get<int>(), int(data["soundMaterial"].size())) << cls["name"];
            }
        }
    }
    // Every frame sound is a pool that the game can play.
    int sounds = 0;
    eachFrame([&](const Json& frame, const std::string& where) {
        const int sound = frame.value("sound", 0);
        if (sound == 0) return;
        ++sounds;
        ASSERT_GT(sound, 0) << where;
        ASSERT_LT(sound, pools) << where;
        EXPECT_TRUE(poolHasFiles(sound)) << where;
    });
    EXPECT_GT(sounds, 20);
}

TEST_F(ContentTree, EveryPictureTheDataNamesIsThereAndFitsItsPlacement) {
    std::set<std::string> checked;
    int frames = 0;
    eachFrame([&](const Json& frame, const std::string& where) {
        if (frame.value("clone", -1) != -1 || !frame.contains("path")) return;
        ++frames;
        const std::string path = frame["path"].get<std::string>();
        if (!checked.insert(path).second) return;
        Image picture;
        ASSERT_TRUE(readPng(dir + "/" + path + ".png", picture)) << where << " " << path;
        // The two halves of the shift describe one feet point in this very picture: the feet
        // column u read from the left-facing half must give the right-facing half with the
        // file's width (a picture cropped differently from its data would stand off its feet).
        const int sx = frame["shift"]["x"].get<int>();
        const int u = 580 - sx % 1000;
        EXPECT_EQ(sx / 1000, 481 - picture.width + u) << where << " " << path;
        if (frame.contains("hurtShift") && frame.value("cloneHurt", -1) == -1) {
            Image mask;
            EXPECT_TRUE(readPng(dir + "/" + path + "hurt.png", mask)) << where << " " << path;
        }
    });
    EXPECT_GT(frames, 100);
    for (const Json& cls : data["class"]) {
        Image icon;
        ASSERT_TRUE(readPng(dir + "/" + cls["iconPath"].get<std::string>(), icon)) << cls["name"];
        // The menus cut a 150 px portrait at (175, 175) out of it.
        EXPECT_GE(icon.width, 325) << cls["name"];
        EXPECT_GE(icon.height, 325) << cls["name"];
    }
}

TEST_F(ContentTree, LandingEffectsAndLoadingAreComplete) {
    for (const char* list : {"LandLightFront", "LandLightBack", "LandHeavyFront", "LandHeavyBack"}) {
        ASSERT_TRUE(data["effect"][list].is_array()) << list;
        ASSERT_GE(data["effect"][list].size(), 1u) << list;
        for (const Json& a : data["effect"][list]) {
            EXPECT_GE(a["frames"].size(), 2u) << list;
            EXPECT_FALSE(a.value("looped", 0)) << list << ": a landing puff plays once";
        }
    }
    ASSERT_GE(data["loading"].size(), 1u);
    EXPECT_GE(data["loading"][0]["frames"].size(), 2u);
}

TEST_F(ContentTree, NoPictureLiesAroundThatNothingUses) {
    // A picture on disk that the data does not name is left over from an older generator (or
    // a path written wrongly in the data): either way something is off.
    std::set<std::string> named;
    eachFrame([&](const Json& frame, const std::string&) {
        if (!frame.contains("path")) return;
        named.insert(frame["path"].get<std::string>() + ".png");
        named.insert(frame["path"].get<std::string>() + "hurt.png");
    });
    for (const Json& cls : data["class"]) named.insert(cls["iconPath"].get<std::string>());
    int stray = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir + "/image")) {
        const std::string rel = std::filesystem::relative(entry.path(), dir).string();
        if (rel.rfind("image/fighter/", 0) != 0 && rel.rfind("image/effect/", 0) != 0) continue;
        if (entry.is_regular_file() && !named.count(rel)) {
            ADD_FAILURE() << rel << " is not named by data.json";
            if (++stray > 5) break;
        }
    }
}

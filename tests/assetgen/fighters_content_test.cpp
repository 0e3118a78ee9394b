// The generated roster in the game directory: data invariants, files, combos and reach.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "class_builder.h"
#include "data_builder.h"
#include "png_writer.h"
#include "sound_ids.h"

namespace {

const char* kSlots[13] = {"idle", "moveFront", "moveBack", "neutral", "side", "back", "up", "down", "heavy",
                          "death", "spawn", "jump", "land"};
const char* kFollowSlots[6] = {"neutral", "side", "back", "up", "down", "heavy"};

int typeOfSlot(const std::string& slot) {
    for (int i = 0; i < 13; ++i) {
        if (slot == kSlots[i]) return i + 1;
    }
    return 0;
}

// The stance codes of the combo list: 1 neutral, 2 side, 3 up, 4 back, 5 down, 6 heavy.
const Json* followUpFor(const Json& a, int code) {
    static const char* keys[7] = {"", "neutral", "side", "up", "back", "down", "heavy"};
    if (code < 1 || code > 6 || !a.contains(keys[code])) return nullptr;
    return &a[keys[code]];
}

bool hasFollowUp(const Json& a) {
    for (const char* k : kFollowSlots) {
        if (a.contains(k)) return true;
    }
    return false;
}

// The combo list as the game derives it: every chain of 2..5 attacks ending on a leaf.
std::vector<int> comboList(const Json& cls) {
    std::vector<int> list;
    std::function<void(const Json&, int, int, int)> walk = [&](const Json& a, int code, int depth, int scale) {
        for (int c = 1; c <= 6; ++c) {
            const Json* next = followUpFor(a, c);
            if (!next) continue;
            const int nextCode = code + c * scale;
            if (!hasFollowUp(*next)) list.push_back(nextCode);
            if (depth + 1 < 5) walk(*next, nextCode, depth + 1, scale * 10);
        }
    };
    for (int c = 1; c <= 6; ++c) {
        const Json* first = followUpFor(cls, c);
        if (first) walk(*first, c, 1, 10);
    }
    return list;
}

class Roster : public ::testing::Test {
protected:
    void SetUp() override {
        dir = QRX_GAME_DIR;
        if (!std::filesystem::exists(dir + "/data.json")) GTEST_SKIP() << "content not generated yet in " << dir;
        std::ifstream in(dir + "/data.json");
        data = Json::parse(in);
        ASSERT_GE(data["class"].size(), 6u);
    }
    // Every animation of a class (follow-ups and wind animations included) with its slot name.
    void eachAnimation(const Json& cls, const std::function<void(const Json&, const std::string&)>& visit) const {
        std::function<void(const Json&, const std::string&)> walk = [&](const Json& a, const std::string& slot) {
            visit(a, slot);
            for (const char* k : kFollowSlots) {
                if (a.contains(k)) walk(a[k], k);
            }
            if (a.contains("frontWind")) {
                for (const Json& w : a["frontWind"]) {
                    if (w.is_object()) walk(w, "wind");
                }
            }
        };
        for (const char* s : kSlots) {
            if (cls.contains(s)) walk(cls[s], s);
        }
        if (cls.contains("idleOther")) {
            for (const Json& a : cls["idleOther"]) walk(a, "idleOther");
        }
    }
    Image load(const std::string& rel) const {
        Image image;
        EXPECT_TRUE(readPng(dir + "/" + rel, image)) << rel;
        return image;
    }
    std::string dir;
    Json data;
};

TEST_F(Roster, ClassesSitInTheirPositionsWithEverySlot) {
    const Json& classes = data["class"];
    int playable = 0, toBeAdded = 0;
    for (size_t i = 0; i < classes.size(); ++i) {
        const Json& c = classes[i];
        EXPECT_EQ(c["id"].get<int>(), int(i));
        EXPECT_FALSE(c["description"].get<std::string>().empty());
        const Json& st = c["stat"];
        for (const char* k : {"strength", "agility", "speed", "weight", "endurence", "life"}) {
            EXPECT_GE(st[k].get<int>(), 0);
            EXPECT_LE(st[k].get<int>(), 10);
        }
        int damageKinds = 0;
        for (const char* k : {"cut", "pierce", "blunt"}) {
            EXPECT_GE(st[k].get<int>(), -1);
            EXPECT_LE(st[k].get<int>(), 10);
            damageKinds += st[k].get<int>() >= 0 ? 1 : 0;
        }
        EXPECT_GE(damageKinds, 1);
        EXPECT_GE(st["reach"].get<int>(), 1);
        EXPECT_LE(st["reach"].get<int>(), 5);
        EXPECT_GE(st["difficulty"].get<int>(), 1);
        EXPECT_LE(st["difficulty"].get<int>(), 10);
        ASSERT_GE(c["stance"].size(), 2u);
        EXPECT_LE(c["stance"].size(), 4u);
        for (size_t s = 0; s < c["stance"].size(); ++s) {
            const Json& stance = c["stance"][s];
            EXPECT_EQ(stance["id"].get<int>(), int(s));
            EXPECT_FALSE(stance["name"].get<std::string>().empty());
            EXPECT_GT(stance["specialTransparency"].get<int>(), 0);
            for (const Json& m : stance["material"]) {
                EXPECT_GE(m.get<int>(), 0);
                EXPECT_LT(m.get<int>(), kMaterialCount);
            }
        }
        Image picture = load(c["iconPath"].get<std::string>());
        EXPECT_EQ(picture.width, 500);
        EXPECT_EQ(picture.height, 500);
        if (c.value("toBeAdded", 0) != 0) {
            ++toBeAdded;
            continue;
        }
        ++playable;
        for (const char* s : kSlots) {
            ASSERT_TRUE(c.contains(s)) << c["name"] << " " << s;
            EXPECT_EQ(c[s]["type"].get<int>(), typeOfSlot(s)) << s;
            EXPECT_FALSE(c[s]["frames"].empty());
        }
        EXPECT_GE(c["idleOther"].size(), 1u);
        EXPECT_GE(c["hit"].size(), 3u);
        EXPECT_GE(comboList(c).size(), 8u) << c["name"];
    }
    EXPECT_GE(playable, 5);
    EXPECT_GE(toBeAdded, 1);
    // The game refuses to start without this table.
    EXPECT_TRUE(classes[1]["idle"].contains("frontWind"));
    EXPECT_EQ(classes[1]["idle"]["frontWind"].size(), classes[1]["idle"]["frames"].size());
}

// The debug overlay names the animation playing by its id: within a class no two share one.
TEST_F(Roster, AnimationIdsAreUniqueWithinEachClass) {
    for (const Json& c : data["class"]) {
        std::set<int> ids;
        int animations = 0;
        eachAnimation(c, [&](const Json& a, const std::string& slot) {
            ASSERT_TRUE(a.contains("id")) << c["name"] << " " << slot << " " << a.value("name", "");
            ++animations;
            EXPECT_TRUE(ids.insert(a["id"].get<int>()).second)
                << c["name"] << ": id " << a["id"] << " twice (" << slot << ")";
        });
        EXPECT_EQ(int(ids.size()), animations);
        EXPECT_EQ(ids.count(0), 0u) << c["name"] << ": 0 is what data without ids reads";
    }
}

TEST_F(Roster, FramesReferToFilesAndSharePicturesCorrectly) {
    for (const Json& c : data["class"]) {
        eachAnimation(c, [&](const Json& a, const std::string& slot) {
            const Json& frames = a["frames"];
            for (size_t f = 0; f < frames.size(); ++f) {
                const Json& fr = frames[f];
                EXPECT_GT(fr["length"].get<int>(), 0);
                const int clone = fr.value("clone", 0);
                if (clone == -1) {
                    const std::string path = fr["path"].get<std::string>();
                    EXPECT_TRUE(std::filesystem::exists(dir + "/" + path + ".png")) << path;
                    const int sx = fr["shift"]["x"].get<int>();
                    EXPECT_GE(sx / 1000, 0);
                    EXPECT_LE(sx / 1000, 999);
                    EXPECT_GE(sx % 1000, 0);
                } else {
                    EXPECT_GE(clone, 0);
                    EXPECT_LT(size_t(clone), f);
                    EXPECT_EQ(frames[size_t(clone)].value("clone", 0), -1);
                }
                const int cloneHurt = fr.value("cloneHurt", 0);
                ASSERT_TRUE(fr.contains("cloneHurt")) << "a frame without it borrows frame 0's mask";
                const bool ownMask = cloneHurt == -1 && fr.contains("hurtShift");
                const bool hasMask = ownMask || cloneHurt >= 0;
                if (cloneHurt >= 0) {
                    EXPECT_LT(size_t(cloneHurt), f);
                    EXPECT_TRUE(frames[size_t(cloneHurt)].contains("hurtShift"));
                }
                // Masks only where the frame hits or holds; damaging frames always have one.
                if (hasMask) EXPECT_TRUE(fr.value("damage", 0) > 0 || fr.value("catch", 0) != 0) << slot;
                if (fr.value("damage", 0) > 0) EXPECT_TRUE(hasMask) << slot;
                if (ownMask) {
                    const Json* own = clone == -1 ? &fr : &frames[size_t(clone)];
                    EXPECT_TRUE(std::filesystem::exists(dir + "/" + (*own)["path"].get<std::string>() + "hurt.png"));
                    const int hx = fr["hurtShift"]["x"].get<int>();
                    EXPECT_GE(hx / 1000, 0);
                    EXPECT_LE(hx / 1000, 999);
                    EXPECT_GE(hx % 1000, 0);
                }
                const int sound = fr.value("sound", 0);
                EXPECT_GE(sound, 0);
                EXPECT_LT(sound, int(data["soundPool"].size()));
                if (fr.value("damage", 0) > 0) {
                    EXPECT_GE(fr["damageType"].get<int>(), 1);
                    EXPECT_LE(fr["damageType"].get<int>(), 3);
                }
            }
            // A follow-up's type is that of its slot.
            for (const char* k : kFollowSlots) {
                if (a.contains(k)) EXPECT_EQ(a[k]["type"].get<int>(), typeOfSlot(k)) << k;
            }
        });
        for (const Json& fr : c.value("hit", Json::array())) {
            EXPECT_EQ(fr["clone"].get<int>(), -1);
            EXPECT_EQ(fr["cloneHurt"].get<int>(), -1);
            EXPECT_TRUE(std::filesystem::exists(dir + "/" + fr["path"].get<std::string>() + ".png"));
        }
    }
}

TEST_F(Roster, EveryFrameKeyOfTheFightIsUsedSomewhere) {
    std::set<std::string> used;
    for (const Json& c : data["class"]) {
        eachAnimation(c, [&](const Json& a, const std::string&) {
            if (a.contains("frontWind")) used.insert("frontWind");
            if (a.value("comboEnd", 0)) used.insert("comboEnd");
            if (a.value("recovery", 0)) used.insert("recovery");
            for (const Json& fr : a["frames"]) {
                for (auto it = fr.begin(); it != fr.end(); ++it) {
                    if (it.value().is_number_integer() && it.value().get<int>() == 0) continue;
                    used.insert(it.key());
                }
                if (fr.value("clone", -1) >= 0) used.insert("clone>=0");
                if (fr.value("cloneHurt", -1) >= 0) used.insert("cloneHurt>=0");
                if (fr.contains("movementDelta") && !fr.contains("movementDNeedCatch")) used.insert("movementDelta alone");
            }
        });
    }
    for (const char* key : {"canDoNext", "recovery", "stun", "shake", "pushInstant", "pushPower", "pushPowerDelta", "movement",
                            "movementDelta", "movementDNeedCatch", "movementDelta alone", "catch", "needCatch",
                            "moveTargetTo", "damageCut", "frontWind", "sound", "clone>=0", "cloneHurt>=0", "comboEnd",
                            "damage", "damageType", "hurtShift", "shadowShift"}) {
        EXPECT_TRUE(used.count(key)) << key;
    }
}

// Places the attacker facing left and a standing defender facing right `distance` px to its left
// (feet distance + 100 apart), moves the attacker by its frames' steps and tests the masks of the
// damaging frames against the defender's idle picture, pixel by pixel as the fight does.
struct TouchResult {
    bool touched = false;
    int tip = -100000;  // furthest mask pixel ahead of the starting feet, px
};

TouchResult touchAt(const std::string& dir, const Json& attack, const Json& defender, int distance, bool firstAttack) {
    TouchResult result;
    const Json& idle = defender["idle"]["frames"][0];
    Image body;
    if (!readPng(dir + "/" + idle["path"].get<std::string>() + ".png", body)) return result;
    const double ax = 0, dx = -distance;
    const int bodyLeft = int(std::lround(dx + idle["shift"]["x"].get<int>() / 1000.0));
    const int bodyTop = idle["shift"]["y"].get<int>();
    double x = ax;
    const Json& frames = attack["frames"];
    for (size_t f = 0; f < frames.size(); ++f) {
        const Json& fr = frames[f];
        if (fr.contains("movement")) x += fr["movement"]["x"].get<int>();
        if (fr.value("damage", 0) > 0) {
            const Json& own = fr.value("cloneHurt", -1) >= 0 ? frames[size_t(fr["cloneHurt"].get<int>())] : fr;
            const Json& picture = own.value("clone", -1) >= 0 ? frames[size_t(own["clone"].get<int>())] : own;
            Image mask;
            if (own.contains("hurtShift") && readPng(dir + "/" + picture["path"].get<std::string>() + "hurt.png", mask)) {
                const int left = int(std::lround(x)) + own["hurtShift"]["x"].get<int>() % 1000;
                const int top = own["hurtShift"]["y"].get<int>();
                for (int my = 0; my < mask.height; ++my) {
                    for (int mx = 0; mx < mask.width; ++mx) {
                        if (pixelAt(mask, mx, my).a < 0.5f) continue;
                        const int wx = left + mx, wy = top + my;
                        // Ahead of the starting feet (x + 580, facing left).
                        result.tip = std::max(result.tip, int(ax) + 580 - wx);
                        const int bx = wx - bodyLeft, by = wy - bodyTop;
                        if (bx < 0 || by < 0 || bx >= body.width || by >= body.height) continue;
                        if (pixelAt(body, body.width - 1 - bx, by).a >= 0.5f) result.touched = true;
                    }
                }
            }
        }
        if (fr.contains("movementDelta") && (f > 0 || !firstAttack)) {
            x += fr["movementDelta"]["x"].get<int>() * fr["length"].get<int>();
        }
    }
    return result;
}

TEST_F(Roster, MainAttacksTouchAStandingOpponentAndReachMatchesTheStatistic) {
    for (const Json& c : data["class"]) {
        if (c.value("toBeAdded", 0) != 0) continue;
        int touching = 0;
        std::vector<AttackReach> reaches;
        for (const char* slot : {"neutral", "side", "back", "up", "down", "heavy"}) {
            const TouchResult r = touchAt(dir, c[slot], c, 120, true);
            touching += r.touched ? 1 : 0;
            // Nothing reaches further than the window allows.
            EXPECT_LE(r.tip, 240) << c["name"] << " " << slot;
            reaches.push_back(AttackReach{slot, true, r.tip, r.tip});
        }
        EXPECT_GE(touching, 4) << c["name"];
        // The main attacks lie in the reach window, and the statistic ranks it.
        const double main = mainReach(reaches);
        EXPECT_GE(main, 180) << c["name"];
        EXPECT_NEAR(c["stat"]["reach"].get<int>(), reachStatFor(main), 0) << c["name"] << " " << main;
    }
}

TEST_F(Roster, FollowUpsReachWhereTheOpponentStillStands) {
    // After a touching blow the opponent has been pushed a little and the attacker has stepped
    // in: every follow-up must touch a standing body somewhere between 100 and 190 px ahead.
    for (const Json& c : data["class"]) {
        if (c.value("toBeAdded", 0) != 0) continue;
        std::function<void(const Json&)> walk = [&](const Json& a) {
            for (const char* k : kFollowSlots) {
                if (!a.contains(k)) continue;
                bool touched = false;
                for (int distance : {0, 30, 60, 90}) touched = touched || touchAt(dir, a[k], c, distance, false).touched;
                EXPECT_TRUE(touched) << c["name"] << " " << a[k]["name"];
                walk(a[k]);
            }
        };
        for (const char* slot : kFollowSlots) walk(c[slot]);
    }
}

}  // namespace

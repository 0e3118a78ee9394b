// The data file loader: reading rules, animations and frames, classes and combo lists.
#include <filesystem>
#include <gtest/gtest.h>

#include <cstdio>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/sound_library.h"
#include "data/sprite_numbers.h"
#include "runtime/runtime.h"

namespace {
struct DataTest : testing::Test {
    void SetUp() override {
        clearGameData();
        nextSpriteNumber = 1;
        setHeadless(HeadlessOptions{});
        initSound();
    }
    void TearDown() override {
        clearGameData();
        endRuntime();
        clearHeadless();
        std::remove("data_test.json");
        std::remove("data_broken.json");
    }
    // Loads a data file given as text.
    static void load(const std::string& text) {
        ASSERT_TRUE(replaceFileAtomically("data_test.json", text));
        ASSERT_TRUE(loadGameData("data_test.json"));
        finishAnimations();
    }
    static const Frame& frameOf(const Animation* a, size_t i) { return a->frames.at(i); }
};

// An attack animation with the given follow-ups (JSON text of animations, keyed by stance).
std::string attack(const std::string& followUps = "") {
    return R"({"attack": 1, "frames": [{"length": 2}])" + (followUps.empty() ? "" : ", " + followUps) + "}";
}
} // namespace

TEST_F(DataTest, IntegersTruncateAndWrongTypesGiveDefaults) {
    load(R"({"class": [{"id": 2.9, "name": 5, "toBeAdded": -2.9, "notSelectable": "yes",
                         "stat": {"strength": 7.9, "life": true, "reach": [1]},
                         "idle": {"frames": [{"length": 3.7, "movement": {"x": 3},
                                              "movementDelta": {"x": -1.5, "y": "2"}}]}}],
              "soundPool": {"not": "an array"}})");
    ASSERT_EQ(classes.size(), 1u);
    const FighterClass& c = *classes[0];
    EXPECT_EQ(c.id, 2);
    EXPECT_EQ(c.name, "");
    EXPECT_EQ(c.toBeAdded, -2);
    EXPECT_EQ(c.notSelectable, 0);
    ASSERT_TRUE(c.stat);
    EXPECT_EQ(c.stat->strength, 7);
    EXPECT_EQ(c.stat->life, 1);
    EXPECT_EQ(c.stat->reach, 0);
    EXPECT_TRUE(soundPools.empty()); // "soundPool" as an object reads as an empty array
    const Frame& f = frameOf(c.idle, 0);
    EXPECT_EQ(f.length, 3);
    ASSERT_TRUE(f.movement);
    EXPECT_EQ(f.movement->x, 3.0f);
    EXPECT_EQ(f.movement->y, 0.0f);
    ASSERT_TRUE(f.movementDelta);
    EXPECT_EQ(f.movementDelta->x, -1.0f);
    EXPECT_EQ(f.movementDelta->y, 0.0f);
    EXPECT_FALSE(f.pushPower); // absent stays empty, unlike (0, 0)
    EXPECT_EQ(c.moveFront, nullptr);
    EXPECT_TRUE(c.stance.empty());
    EXPECT_EQ(c.animationTable[kSlotIdle], c.idle);
}

TEST_F(DataTest, OnlyClassesGivesEmptySoundReferences) {
    load(R"({"class": [{"stance": [{"material": [0, 3, -1]}]}], "soundClass": [{"light": 0}]})");
    ASSERT_EQ(classes.size(), 1u);
    // No materials were loaded: every material reference is none.
    EXPECT_EQ(classes[0]->stance[0].material, (std::vector<int64_t>{-1, -1, -1}));
    EXPECT_EQ(soundClasses[0].light, 0);
    EXPECT_EQ(soundClasses[0].lightThreshold, 2);
    EXPECT_EQ(soundClasses[0].mediumThreshold, 5);
    EXPECT_EQ(soundClasses[0].heavyThreshold, 10);
}

// The message tells a missing file from one that cannot be read and from one that is not
// valid (what and where): a modder is sent the right way.
TEST_F(DataTest, BrokenFilesAreReportedAndLeaveNothing) {
    ASSERT_TRUE(replaceFileAtomically("data_broken.json", R"({"class": [{"name": "cut off)"));
    ASSERT_TRUE(replaceFileAtomically("data_latin1.json", "{\"class\": [{\"name\": \"Andr\xe9\"}]}"));
    std::filesystem::create_directory("data_directory.json");
    const std::pair<const char*, const char*> cases[] = {
        {"no_such_data.json", "Error: Failed to open the data file\n(do not move or delete it !)"},
        {"data_broken.json", "Error: Failed to open the data file\ndata_broken.json is not valid: "},
        {"data_latin1.json", "is not UTF-8 (Latin-1 or another 8-bit encoding?): save it as UTF-8"},
        {"data_latin1.json", "(line 1, column 26)"},
        {"data_directory.json", "data_directory.json is there but cannot be read"}};
    for (const auto& [file, says] : cases) {
        clearMessageBoxLog();
        EXPECT_FALSE(loadGameData(file));
        EXPECT_NE(messageBoxLog().find(says), std::string::npos) << messageBoxLog();
    }
    EXPECT_TRUE(classes.empty());
    std::filesystem::remove("data_latin1.json");
    std::filesystem::remove("data_directory.json");
}

TEST_F(DataTest, FramesClonePicturesAndReserveSpriteNumbers) {
    load(R"({"class": [{"idle": {"frames": [
        {"clone": -1, "path": "a", "shift": {"x": 350450, "y": 425}, "cloneHurt": -1,
         "hurtShift": {"x": 1, "y": 2}},
        {"clone": 0},
        {},
        {"clone": -1, "path": "d", "cloneHurt": -1},
        {"clone": 1, "cloneHurt": 0},
        {"clone": 9, "cloneHurt": -7},
        {"clone": 6}]}}]})");
    const Animation* idle = classes[0]->idle;
    // Class picture and portrait take 1 and 2; frame 0 takes 3 and its hit masks 4 and 5.
    EXPECT_EQ(classes[0]->pictureSprite, 1);
    EXPECT_EQ(classes[0]->portraitSprite, 2);
    EXPECT_EQ(frameOf(idle, 0).sprite, 3);
    EXPECT_EQ(frameOf(idle, 0).hurtSpriteA, 4);
    EXPECT_EQ(frameOf(idle, 0).hurtSpriteB, 5);
    // Frame 3 has its own picture but no hit mask: "cloneHurt" -1 without "hurtShift".
    EXPECT_EQ(frameOf(idle, 3).sprite, 6);
    EXPECT_EQ(frameOf(idle, 3).hurtSpriteA, 0);
    EXPECT_EQ(nextSpriteNumber, 7);
    // Shared pictures: explicit, by default (no key means frame 0) and through a chain.
    EXPECT_EQ(frameOf(idle, 1).sprite, 3);
    EXPECT_EQ(frameOf(idle, 1).path, "a");
    EXPECT_EQ(frameOf(idle, 1).shift->x, 350450.0f);
    EXPECT_EQ(frameOf(idle, 2).sprite, 3);
    EXPECT_EQ(frameOf(idle, 4).sprite, 3); // frame 1, which copied frame 0 before it
    EXPECT_EQ(frameOf(idle, 4).hurtSpriteA, 4);
    EXPECT_EQ(frameOf(idle, 4).hurtShift->y, 2.0f);
    // Out-of-range references share nothing; a reference to itself is harmless.
    EXPECT_EQ(frameOf(idle, 5).sprite, 0);
    EXPECT_EQ(frameOf(idle, 5).hurtSpriteA, 0);
    EXPECT_EQ(frameOf(idle, 6).sprite, 0);
}

TEST_F(DataTest, ACloneOfALaterCloneTakesItsValuesAsTheyStand) {
    load(R"({"loading": [{"frames": [{"clone": -1, "path": "p"}, {"clone": 2}, {"clone": 0}]}]})");
    const Animation* a = loadingAnimations.at(0);
    EXPECT_EQ(frameOf(a, 2).path, "p");
    EXPECT_EQ(frameOf(a, 1).path, ""); // frame 2 was still unresolved when frame 1 copied it
}

TEST_F(DataTest, WindTablesSplitTheirElementsByFrame) {
    load(R"({"class": [{"neutral": {"frames": [{}, {}, {}],
        "frontWind": [{"name": "w0"}, null, {"name": "w2"}, 0, {"name": "w4"}, {"name": "w5"},
                      {"name": "w6"}],
        "backWind": [{"name": "b"}]}}]})");
    const Animation* a = classes[0]->neutral;
    ASSERT_TRUE(a->frontWind);
    EXPECT_EQ(a->frontWind->frameCount, 3);
    EXPECT_EQ(a->frontWind->perFrame, 2);
    EXPECT_EQ(a->frontWind->entry(0, 0)->name, "w0");
    EXPECT_EQ(a->frontWind->entry(0, 1), nullptr);
    EXPECT_EQ(a->frontWind->entry(1, 0)->name, "w2");
    EXPECT_EQ(a->frontWind->entry(1, 1), nullptr);
    EXPECT_EQ(a->frontWind->entry(2, 1)->name, "w5");
    EXPECT_EQ(a->frontWind->entry(3, 0), nullptr);
    // The seventh element was ignored: it made no animation.
    for (const Animation* any : allAnimations) EXPECT_NE(any->name, "w6");
    // One element on three frames gives no entries per frame.
    ASSERT_TRUE(a->backWind);
    EXPECT_EQ(a->backWind->perFrame, 0);
    EXPECT_FALSE(classes[0]->idle);
}

TEST_F(DataTest, NestedFollowUpsAreListedAfterTheirParents) {
    load(R"({"class": [{"neutral": {"name": "1", "side": {"name": "2", "up": {"name": "3",
             "back": {"name": "4", "down": {"name": "5"}}}}}}]})");
    std::vector<std::string> names;
    for (const Animation* a : allAnimations) names.push_back(a->name);
    EXPECT_EQ(names, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(animationsFromFileCount(), 5);
    const Animation* first = classes[0]->neutral;
    EXPECT_EQ(first->followUps[1], first->side); // table order: neutral, side, back, up, ...
    EXPECT_EQ(first->side->followUps[3], first->side->up);
    EXPECT_EQ(followUpFor(first->side->up, 4)->name, "4");
    EXPECT_EQ(followUpFor(first, 7), nullptr);
}

TEST_F(DataTest, ComboListHoldsCompleteChainsOnly) {
    // neutral -> side (ends): combo 21. side -> up -> back -> down -> heavy: five attacks.
    // heavy has a follow-up that has one itself: 46 and 346 are complete, 6 alone is not.
    load(R"({"class": [{"neutral": )" + attack(R"("side": )" + attack()) + R"(,
        "side": )" + attack(R"("up": )" + attack(R"("back": )" + attack(R"("down": )" +
                    attack(R"("heavy": )" + attack())))) + R"(,
        "heavy": )" + attack(R"("back": )" + attack(R"("up": )" + attack())) + R"(,
        "up": )" + attack() + R"(}]})");
    const FighterClass* c = classes[0].get();
    EXPECT_TRUE(comboIsComplete(c, 21));
    EXPECT_TRUE(comboIsComplete(c, 65432));
    EXPECT_FALSE(comboIsComplete(c, 5432)); // its last animation still has a follow-up
    EXPECT_FALSE(comboIsComplete(c, 3));    // a single attack is no combo
    EXPECT_FALSE(comboIsComplete(c, 11));
    EXPECT_FALSE(comboIsComplete(c, 46));
    EXPECT_TRUE(comboIsComplete(c, 346));
    EXPECT_FALSE(comboIsComplete(nullptr, 21));
    EXPECT_EQ(c->comboList, (std::vector<int64_t>{21, 65432, 346}));
}

TEST_F(DataTest, AttacksWithoutFollowUpsGiveNoCombos) {
    load(R"({"class": [{"neutral": )" + attack() + R"(, "heavy": )" + attack() + "}]}");
    EXPECT_TRUE(classes[0]->comboList.empty());
}

TEST_F(DataTest, SelectableListAndRandomClasses) {
    load(R"({"class": [{"id": 0}, {"id": 1, "toBeAdded": 1}, {"id": 2, "notSelectable": 1},
                       {"id": 3}]})");
    buildSelectableList(1);
    EXPECT_EQ(selectableClasses, (std::vector<int64_t>{0, 3, -1, -2}));
    buildSelectableList(0);
    EXPECT_EQ(selectableClasses, (std::vector<int64_t>{0, 3}));
    seedRandom(3);
    bool sawNotSelectable = false;
    for (int i = 0; i < 300; ++i) {
        int64_t drawn = randomClassIndex(1);
        EXPECT_NE(drawn, 1); // to be added: never drawn
        sawNotSelectable |= drawn == 2;
    }
    EXPECT_TRUE(sawNotSelectable); // may be drawn; the assignment rejects it
    EXPECT_EQ(randomStanceIndex(classes[0].get()), 0);
}

TEST_F(DataTest, LandingEffectsAndLoadingAnimations) {
    load(R"({"effect": {"LandLightFront": [{}, {}], "LandHeavyBack": [5]},
              "loading": [{"looped": 1}]})");
    EXPECT_EQ(landLightFront.size(), 2u);
    EXPECT_EQ(landLightBack.size(), 0u);
    EXPECT_EQ(landHeavyBack.size(), 1u); // a non-object still makes a default record
    EXPECT_EQ(loadingAnimations.at(0)->looped, 1);
}

TEST_F(DataTest, PlaceholderAnimationsAreListedEachTime) {
    Animation* empty = makePlaceholderAnimation(nullptr, 0, 0, 0, "empty");
    EXPECT_EQ(empty->id, 0);
    makePlaceholderAnimation(empty, 1, 0, 0, "No name");
    EXPECT_EQ(empty->id, 1);
    EXPECT_EQ(empty->looped, 1);
    EXPECT_EQ(empty->name, "No name");
    EXPECT_EQ(allAnimations.size(), 2u);
    EXPECT_EQ(animationsFromFileCount(), 0);
}

TEST_F(DataTest, MembersOfTheWrongTypeAreAbsent) {
    // A follow-up, a vector, a wind table or a statistics record that is null, a number, a
    // text or an array is as if it were not there.
    load(R"({"class": [{"neutral": {"frames": [{"moveTargetTo": null, "movement": 3,
                                                "pushPower": "x", "shift": [1, 2],
                                                "clone": -1}],
                                    "side": null, "up": 0, "back": "", "down": [],
                                    "heavy": [{"frames": []}], "frontWind": 0,
                                    "backWind": {"0": {}}},
                        "idle": null, "jump": 5, "stat": 5,
                        "stance": [{"modificator": "x"}, {"modificator": null}]},
                       {"stat": [1], "side": {"side": null}}]})");
    ASSERT_EQ(classes.size(), 2u);
    const FighterClass& c = *classes[0];
    ASSERT_TRUE(c.neutral);
    EXPECT_FALSE(hasFollowUp(c.neutral));
    EXPECT_TRUE(c.comboList.empty()); // no phantom combo 21
    EXPECT_TRUE(classes[1]->comboList.empty());
    EXPECT_EQ(animationsFromFileCount(), 2); // the two attacks, nothing else
    const Frame& f = frameOf(c.neutral, 0);
    EXPECT_FALSE(f.moveTargetTo); // not (0, 0)
    EXPECT_FALSE(f.movement);
    EXPECT_FALSE(f.pushPower);
    EXPECT_FALSE(f.shift);
    EXPECT_FALSE(c.neutral->frontWind);
    EXPECT_FALSE(c.neutral->backWind);
    EXPECT_EQ(c.idle, nullptr);
    EXPECT_EQ(c.jump, nullptr);
    EXPECT_FALSE(c.stat);
    EXPECT_FALSE(classes[1]->stat);
    ASSERT_EQ(c.stance.size(), 2u);
    EXPECT_FALSE(c.stance[0].modificator);
    EXPECT_FALSE(c.stance[1].modificator);
}

namespace {
// A class whose first attack has `chain` follow-ups nested one in the other ("side" in
// "side"...). Three levels of the file lie above that attack: the root, "class" and the class.
std::string followUpChain(int64_t chain) {
    std::string text = R"({"class": [{"neutral": )";
    for (int64_t i = 0; i < chain; ++i) text += i + 1 < chain ? R"({"side": )" : "{}";
    text += std::string(size_t(chain - 1), '}');
    return text + "}]}";
}
int64_t chainLength(const Animation* a) {
    int64_t length = 0;
    for (; a; a = a->side) ++length;
    return length;
}
} // namespace

TEST_F(DataTest, FollowUpsNestedToTheLimitLoadAndDeeperIsRefused) {
    load(followUpChain(kJsonMaxDepth - 3));
    EXPECT_EQ(chainLength(classes.at(0)->neutral), kJsonMaxDepth - 3);
    clearGameData();
    clearMessageBoxLog();
    ASSERT_TRUE(replaceFileAtomically("data_broken.json", followUpChain(kJsonMaxDepth - 2)));
    EXPECT_FALSE(loadGameData("data_broken.json"));
    EXPECT_NE(messageBoxLog().find("Error: Failed to open the data file"), std::string::npos);
    EXPECT_TRUE(classes.empty());
    // 20 000 levels: refused the same way, without exhausting the stack.
    ASSERT_TRUE(replaceFileAtomically("data_broken.json", followUpChain(20000)));
    EXPECT_FALSE(loadGameData("data_broken.json"));
}

TEST_F(DataTest, ReadingAnimationsStopsAtTheNestingLimit) {
    // A document built in memory has no depth limit of its own: the reader keeps its own.
    const int64_t document = 7;
    ASSERT_EQ(createJson(document), 1);
    JsonNode* node = jsonRoot(document);
    for (int i = 0; i < 2000; ++i) {
        jsonSetObject(node);
        node = jsonAddMember(node, "side");
    }
    jsonSetObject(node);
    const Animation* a = readAnimation(jsonRoot(document));
    EXPECT_EQ(chainLength(a), kJsonMaxDepth);
    freeJson(document);
}

TEST_F(DataTest, StatisticsAreReadWithinTheirLimits) {
    load(R"({"class": [{"stat": {"life": 1e30, "strength": -1e30, "speed": 9223372036854775807,
                                 "weight": 42},
                        "stance": [{"modificator": {"life": 1e300}}]}]})");
    const FighterClass& c = *classes.at(0);
    ASSERT_TRUE(c.stat);
    EXPECT_EQ(c.stat->life, kStatLimit);
    EXPECT_EQ(c.stat->strength, -kStatLimit);
    EXPECT_EQ(c.stat->speed, kStatLimit);
    EXPECT_EQ(c.stat->weight, 42);
    EXPECT_EQ(c.stance.at(0).modificator->life, kStatLimit);
}

TEST_F(DataTest, FrameQuantitiesAreReadWithinTheirLimits) {
    load(R"({"class": [{"neutral": {"recovery": 1e30, "frames": [{"damage": 1e30,
        "damageCut": -1e30, "stun": 9223372036854775807, "shake": 1e300, "length": 1e30,
        "sound": 1e30}, {"damage": 12, "length": 3}]}}]})");
    const Animation* a = classes.at(0)->neutral;
    EXPECT_EQ(a->recovery, kFrameValueLimit);
    const Frame& f = frameOf(a, 0);
    EXPECT_EQ(f.damage, kFrameValueLimit);
    EXPECT_EQ(f.damageCut, -kFrameValueLimit);
    EXPECT_EQ(f.stun, kFrameValueLimit);
    EXPECT_EQ(f.shake, kFrameValueLimit);
    EXPECT_EQ(f.length, kFrameValueLimit);
    EXPECT_EQ(frameOf(a, 1).damage, 12);
    EXPECT_EQ(frameOf(a, 1).length, 3);
}

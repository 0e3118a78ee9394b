// Choosing classes and stances: selection codes, mirror and random choices, user counts.
#include <gtest/gtest.h>

#include <cstdio>

#include "game_fight.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "runtime/runtime.h"

namespace {
struct ClassChoiceTest : testing::Test {
    Fighter one, two;
    void SetUp() override {
        clearGameData();
        // Classes 0-4; class 1 is still to be added; class 3 has a single stance.
        ASSERT_TRUE(replaceFileAtomically("class_choice.json", R"({"class": [
            {"id": 0, "idle": {"name": "idle0"}, "stat": {"life": 1},
             "stance": [{"specialColor": 5, "modificator": {"life": 2}}, {"specialColor": 6},
                        {"specialColor": 7}]},
            {"id": 1, "toBeAdded": 1, "stance": [{}]},
            {"id": 2, "stance": [{"specialColor": 5}, {"specialColor": 9}]},
            {"id": 3, "idle": {"name": "idle3"}, "stance": [{"specialColor": 6}]},
            {"id": 4, "stance": [{}, {}, {}, {}]}]})"));
        ASSERT_TRUE(loadGameData("class_choice.json"));
        createFighter(one, 0, 1);
        createFighter(two, 0, 2);
        seedRandom(11);
    }
    void TearDown() override {
        clearGameData();
        std::remove("class_choice.json");
    }
    int64_t position(const Fighter& f) { return f.fighterClass ? f.fighterClass->id : -1; }
};
} // namespace

TEST_F(ClassChoiceTest, ChoosingCountsUsersAndSetsLife) {
    chooseClass(fight, one, classAt(0), 0);
    EXPECT_EQ(classAt(0)->userCount, 1);
    EXPECT_EQ(one.currentAnimation.name, "idle0");
    EXPECT_EQ(one.maxLife, 15 * (1 + 2) + 200); // class life plus the stance's modifier
    EXPECT_EQ(one.life, one.maxLife);
    one.currentAnimation.name = "playing";
    chooseClass(fight, one, classAt(0), 1); // the same class: counts and animation unchanged
    EXPECT_EQ(classAt(0)->userCount, 1);
    EXPECT_EQ(one.currentAnimation.name, "playing");
    EXPECT_EQ(one.maxLife, 15 * 1 + 200);
    chooseClass(fight, one, classAt(3), 0);
    EXPECT_EQ(classAt(0)->userCount, 0);
    EXPECT_EQ(classAt(3)->userCount, 1);
    one.botLevel = 3;
    chooseStance(one, 0);
    EXPECT_EQ(one.maxLife, 15 * 1 + 200); // a Hard bot gets one more of every stat
    chooseStance(one, 5); // a stance the class does not have becomes its first
    EXPECT_EQ(one.stanceIndex, 0);
    EXPECT_EQ(one.stance, &classAt(3)->stance[0]);
}

TEST_F(ClassChoiceTest, CodesCarryBothPlayersChoices) {
    applySelectionCode(fight, one, two, 200 + 10000 * 104);
    EXPECT_EQ(position(one), 0);
    EXPECT_EQ(one.stanceIndex, 2);
    EXPECT_EQ(position(two), 4);
    EXPECT_EQ(two.stanceIndex, 1);
    applySelectionCode(fight, one, two, 2 + 10000 * 0);
    EXPECT_EQ(two.useAlternateColor, 1); // both stances have special colour 5
    applySelectionCode(fight, one, two, 102 + 10000 * 100);
    EXPECT_EQ(two.useAlternateColor, 0);
}

TEST_F(ClassChoiceTest, RandomClassWithMirrorStanceFromTheCodeOfTheScreen) {
    // Player one: random class, random stance; player two: class 3 with player one's stance.
    for (int i = 0; i < 50; ++i) {
        applySelectionCode(fight, one, two, 9999 + 10000 * 9803);
        ASSERT_NE(position(one), 1); // never the class still to be added
        EXPECT_EQ(position(two), 3);
        EXPECT_EQ(two.stanceIndex, 0); // class 3 has one stance: its first
    }
}

TEST_F(ClassChoiceTest, MirrorClassTakesTheOtherPlayersClassAndStance) {
    applySelectionCode(fight, one, two, 98 + 10000 * 204);
    EXPECT_EQ(position(one), 4);
    EXPECT_EQ(one.stanceIndex, 2);
    applySelectionCode(fight, one, two, 300 + 10000 * 98);
    EXPECT_EQ(position(two), 0);
    EXPECT_EQ(two.stanceIndex, 0); // 300: stance value 3 of class 0 does not exist
    for (int i = 0; i < 30; ++i) {
        applySelectionCode(fight, one, two, 98 + 10000 * 98);
        EXPECT_EQ(position(one), position(two));
        EXPECT_EQ(one.stanceIndex, two.stanceIndex);
    }
    applySelectionCode(fight, one, two, 9800 + 10000 * 102); // player one takes player two's stance
    EXPECT_EQ(position(one), 0);
    EXPECT_EQ(one.stanceIndex, 1);
}

TEST_F(ClassChoiceTest, SameClassPlayersGetDifferentStancesWhenAsked) {
    chooseClass(fight, one, classAt(4), 2);
    int differentDraws = 0;
    for (int i = 0; i < 200; ++i) {
        assignRandomClassAndStance(fight, two, &one, 0, 1);
        if (two.fighterClass == one.fighterClass) {
            EXPECT_NE(two.stanceIndex, one.stanceIndex);
        }
        differentDraws += two.fighterClass == one.fighterClass;
        EXPECT_NE(position(two), 1);
    }
    EXPECT_GT(differentDraws, 0);
    // With the retry flag the stance number stays within the drawn class's stances.
    for (int i = 0; i < 100; ++i) {
        assignRandomClassAndStance(fight, two, &one, 1, 0);
        EXPECT_LT(two.stanceIndex, int64_t(two.fighterClass->stance.size()));
    }
}

TEST_F(ClassChoiceTest, RandomStanceAvoidsTheGivenOne) {
    chooseClass(fight, one, classAt(4), 0);
    for (int i = 0; i < 100; ++i) {
        assignRandomStance(one, 3);
        EXPECT_NE(one.stanceIndex, 3);
        EXPECT_LT(one.stanceIndex, 4);
    }
    chooseClass(fight, one, classAt(3), 0);
    assignRandomStance(one, 0); // a single stance: it is stance 0 whatever
    EXPECT_EQ(one.stanceIndex, 0);
    Fighter none;
    assignRandomStance(none, kAvoidNoStance); // no class: nothing happens
    EXPECT_EQ(none.fighterClass, nullptr);
}

TEST_F(ClassChoiceTest, OnlyUnselectableClassesNeverHang) {
    clearGameData();
    ASSERT_TRUE(replaceFileAtomically("class_choice.json",
                                      R"({"class": [{"notSelectable": 1}, {"toBeAdded": 1}]})"));
    ASSERT_TRUE(loadGameData("class_choice.json"));
    assignRandomClassAndStance(fight, one, nullptr, 0, 0);
    EXPECT_EQ(position(one), 0);
    applySelectionCode(fight, one, two, 99 + 10000 * 99);
    clearGameData();
    assignRandomClassAndStance(fight, one, nullptr, 0, 0);
    applySelectionCode(fight, one, two, 0);
}

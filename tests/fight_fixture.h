// Small hand-built fighter classes for the fight's tests: animations of frames without
// pictures, statistics chosen per test.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/stages.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "render/effects.h"
#include "settings/game_screen.h"

inline Animation* makeAnimation(int64_t type, std::initializer_list<int64_t> lengths,
                                int64_t looped = 0, int64_t attack = 0) {
    Animation* a = newAnimation();
    a->type = type;
    a->looped = looped;
    a->attack = attack;
    for (int64_t length : lengths) {
        Frame f;
        f.length = length;
        a->frames.push_back(f);
    }
    refreshFollowUpTables();
    return a;
}

struct FightTest : testing::Test {
    // Each test fights in a fight state of its own (ground line 0, a view 1080 wide), with the
    // names the tests give its players bound to it.
    FightContext context;
    FightState& fight = context.fight;
    Fighter& playerOne = fight.players[0];
    Fighter& playerTwo = fight.players[1];
    FighterClass* cls = nullptr;
    Stage stage;
    Fighter fighter;

    void SetUp() override {
        clearGameData();
        screenWidth = 1280;
        screenHeight = 720;
        screenHeightMinus720 = 0;
        screenWidthMinus200 = 1080;
        resetFightState(fight);
        clearEffects();
        classes.push_back(std::make_unique<FighterClass>());
        cls = classes.back().get();
        cls->stat = Stat{5, 5, 5, 5, 5, 5, 5, -1, -1, 3, 3};
        cls->stance.push_back(Stance{});
        cls->idle = makeAnimation(1, {5, 5}, 1);
        cls->moveFront = makeAnimation(2, {6, 6}, 1);
        cls->moveBack = makeAnimation(3, {6, 6}, 1);
        cls->jump = makeAnimation(12, {4, 4, 4, 4});
        cls->land = makeAnimation(13, {3});
        cls->neutral = makeAnimation(4, {3, 3, 3}, 0, 1);
        cls->side = makeAnimation(5, {3, 3}, 0, 1);
        cls->back = makeAnimation(6, {3, 3}, 0, 1);
        cls->up = makeAnimation(7, {3, 3}, 0, 1);
        cls->down = makeAnimation(8, {3, 3}, 0, 1);
        cls->heavy = makeAnimation(9, {4, 4}, 0, 1);
        fillTable();
        stage = makeStageForTests();
        createFighter(fighter, 0, 1);
        chooseClass(fight, fighter, cls, 0);
        fighter.position = {1000, 0};
        fighter.onGround = 1;
        fighter.life = fighter.maxLife;
        setAnimation(fight, fighter, cls->idle);
    }
    void TearDown() override {
        clearGameData();
        clearEffects();
    }
    void fillTable() {
        cls->animationTable = {cls->idle,  cls->moveFront, cls->moveBack, cls->neutral, cls->side,
                               cls->back,  cls->up,        cls->down,     cls->heavy,   cls->death,
                               cls->spawn, cls->jump,      cls->land};
    }
    static Stage makeStageForTests() {
        Stage s;
        s.width = 6000;
        s.leftLimit = 25;
        s.rightLimit = 5975;
        s.lastTile = -1;
        return s;
    }
    void setStats(Stat s) { cls->stat = s; chooseStance(fighter, 0); }
    // Runs updates at a frame factor, holding the given input counter each frame.
    void run(int updates, double f, std::initializer_list<InputCounter> held = {}) {
        for (int i = 0; i < updates; ++i) {
            for (InputCounter c : held)
                fighter.input[size_t(c)] = heldCounter(c == kInputLight || c == kInputHeavy ? 10 : 2, f);
            updateFighter(fight, fighter, &stage, f, f);
        }
    }
};

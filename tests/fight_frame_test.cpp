// The fight frame: hit-stop, knock-outs, the camera and the body push.
#include "fight_fixture.h"

#include "fight/bot.h"
#include "fight/fight_frame.h"
#include "match/fight_display.h"
#include "render/particles.h"
#include "render/sprite_assets.h"
#include "settings/settings.h"

namespace {
struct FrameTest : FightTest {
    void SetUp() override {
        FightTest::SetUp();
        // The second class of the list must have wind on its idle, as the real data does.
        classes.push_back(std::make_unique<FighterClass>());
        FighterClass* second = classes.back().get();
        second->idle = makeAnimation(1, {5}, 1);
        second->idle->frontWind = WindTable{1, 0, {}};
        for (Fighter* f : {&playerOne, &playerTwo}) {
            createFighter(*f, 0, f == &playerOne ? 1 : 2);
            chooseClass(fight, *f, cls, 0);
            f->onGround = 1;
            setAnimation(fight, *f, cls->idle);
        }
        playerOne.position = {2000, 0};
        playerTwo.position = {1500, 0};
        playerOne.facing = 0;
        playerTwo.facing = 1;
        playerTwo.side = 1;
        fight.leftPlayer = 1;
        context.stage = &stage;
        fight.focusX = 1200;
    }
    // The game's fight frame (stepped, shown, debug keys), on this test's fight.
    int64_t fightFrame(double timeFactor, double previousTimeFactor) {
        return ::fightFrame(context, timeFactor, previousTimeFactor);
    }
    void TearDown() override {
        removeBot(fight, playerOne);
        removeBot(fight, playerTwo);
        clearParticles();
        hurtSequence = ImageSequence{};
        context.stage = nullptr;
        FightTest::TearDown();
    }
};
} // namespace

TEST_F(FrameTest, HitStopHoldsTheFightersButNotTheBotsOrParticles) {
    fight.freezeTimer = 5;
    playerTwo.input[kInputRight] = 2;
    playerOne.botLevel = 1;
    switchBotOn(ensureBot(fight, playerOne, 1));
    playerOne.input[kInputLight] = 10;
    settings.particleEnabled = 1; // shown
    fight.setup.particles = 1; // sprayed
    hurtSequence = ImageSequence{};
    hurtSequence.frames = {900};
    hurtSequence.frameTime = 50;
    hurtSequence.frameStep = 1;
    emitParticle(hurtSequence, 0, 0, 10, 0, -1);
    fightFrame(1.0, 1.0);
    EXPECT_EQ(playerTwo.position.x, 1500.0f); // no update while frozen
    EXPECT_EQ(playerOne.input[kInputLight], 0); // the bot step ran and owns the input
    ASSERT_EQ(particles.size(), 1u);
    EXPECT_EQ(particles[0].position.x, 10.0f);
    EXPECT_FLOAT_EQ(fight.freezeTimer, 4.0f);
    fight.freezeTimer = 0;
    fightFrame(1.0, 1.0);
    EXPECT_GT(playerTwo.position.x, 1500.0f);
}

// Both out in one frame (a trade): the one with more life left wins, and an even trade goes
// to either side alike; under the first rules player two always lost.
TEST_F(FrameTest, BothOutInOneFrameFavoursNeitherPlayer) {
    playerOne.life = 0;
    EXPECT_EQ(fightFrame(1.0, 1.0), 1);
    playerOne.life = 10;
    playerTwo.life = -3;
    EXPECT_EQ(fightFrame(0.0, 0.0), 2);
    struct Case {
        int64_t rules, lifeOne, lifeTwo, loser;
    };
    for (Case c : {Case{2, 0, -3, 2}, Case{2, -3, 0, 1}, Case{1, -3, 0, 2}, Case{1, 0, -3, 2}}) {
        fight.setup.rules = c.rules;
        playerOne.life = c.lifeOne;
        playerTwo.life = c.lifeTwo;
        EXPECT_EQ(fightFrame(1.0, 1.0), c.loser) << c.rules << " " << c.lifeOne;
    }
    fight.setup.rules = kFightRules;
    int losers[3] = {0, 0, 0};
    seedRandom(fight.random, 7);
    for (int i = 0; i < 200; ++i) {
        playerOne.life = playerTwo.life = -5;
        losers[fightFrame(1.0, 1.0)] += 1;
    }
    EXPECT_GT(losers[1], 60);
    EXPECT_GT(losers[2], 60);
}

TEST_F(FrameTest, TheCameraFollowsHoldsAndStaysOnTheStage) {
    fight.viewWidth = 1080;
    // Close together: the camera follows the right fighter's body edge.
    fight.focusX = 1000;
    playerOne.position.x = 1800; // right edge 2250 beyond 1000 + 1080
    updateCamera(fight, stage);
    EXPECT_EQ(fight.focusX, 1800 - 1080 + 450);
    // Farther apart than the view: the outer fighter is held at the view's edge.
    fight.focusX = 1000;
    playerTwo.position.x = 700;
    playerOne.position.x = 2600;
    updateCamera(fight, stage);
    EXPECT_EQ(fight.focusX, 1000);
    EXPECT_EQ(playerOne.position.x, float(1000 + 1080 - 450));
    // Never beyond 0 nor beyond stage width - 200.
    playerTwo.position.x = -400;
    playerOne.position.x = -300;
    fight.focusX = 10;
    updateCamera(fight, stage);
    EXPECT_EQ(fight.focusX, 0);
    playerTwo.position.x = 5700;
    playerOne.position.x = 5800;
    fight.focusX = 5000;
    updateCamera(fight, stage);
    EXPECT_EQ(fight.focusX, 6000 - 1080 - 200);
    // Both in the air: the camera rises halfway towards the lower one each frame.
    fight.cameraY = 0;
    playerTwo.position.y = -300;
    playerOne.position.y = -100;
    updateCamera(fight, stage);
    EXPECT_EQ(fight.cameraY, -50);
    playerOne.position.y = 0;
    updateCamera(fight, stage);
    EXPECT_EQ(fight.cameraY, -25);
}

TEST_F(FrameTest, TheStrongerWalkerPushesTheOther) {
    playerTwo.fighterClass = nullptr; // give player two its own, weaker class
    classes.push_back(std::make_unique<FighterClass>(*cls));
    FighterClass* weak = classes.back().get();
    weak->stat->strength = 2;
    cls->stat->strength = 9; // walking costs the walker its weight: 9 - 5 against 2
    chooseClass(fight, playerTwo, weak, 0);
    setAnimation(fight, playerOne, cls->moveFront); // walking towards player two
    playerOne.position.x = 1600;
    playerTwo.position.x = 1500;
    playerTwo.facing = 1;
    playerOne.facing = 0;
    float before = playerTwo.position.x;
    bodyPush(playerOne, playerTwo, &stage, 1.0);
    EXPECT_LT(playerTwo.position.x, before); // pushed to the left
    // Equal shoves push nobody; attacking fighters are not pushed.
    chooseClass(fight, playerTwo, cls, 0);
    setAnimation(fight, playerTwo, cls->idle);
    before = playerTwo.position.x;
    bodyPush(playerOne, playerTwo, &stage, 1.0);
    EXPECT_EQ(playerTwo.position.x, before);
}

TEST_F(FrameTest, ARetreatIsNeverHeldButWalkingBackIntoTheOtherIs) {
    setAnimation(fight, playerOne, cls->moveBack);
    playerOne.previousPosition = {1600, 0};
    playerOne.position = {1610, 0}; // stepped away from player two at 1500
    playerTwo.position = {1500, 0};
    bodyPush(playerOne, playerTwo, &stage, 1.0);
    EXPECT_EQ(playerOne.position.x, 1610.0f);
    playerOne.previousPosition = {1600, 0};
    playerOne.position = {1590, 0}; // backed into player two
    bodyPush(playerOne, playerTwo, &stage, 1.0);
    EXPECT_EQ(playerOne.position.x, 1600.0f);
}

// A knocked-out fighter is not frozen where the last hit found it: it falls, plays its death
// to the last frame, its gauge empties and its flash fades; it takes no input and no hits.
TEST_F(FrameTest, AKnockOutInMidAirFallsAndEndsOnTheLastDeathFrame) {
    cls->death = makeAnimation(10, {3, 3, 3});
    playerTwo.life = playerTwo.maxLife;
    resetLifeGauge(playerTwo);
    const double full = playerTwo.lifeBar.mainShown; // player two's gauge is drawn from the left
    setAnimation(fight, playerTwo, cls->jump);
    playerTwo.position.y = -288;
    playerTwo.velocity.y = -10;
    playerTwo.falling = 1;
    playerTwo.onGround = 0;
    playerTwo.moveState.jumping = 1;
    playerTwo.life = -125; // the hit that knocked it out went far below 0
    playerTwo.damageFlash = 40;
    playerTwo.input[kInputRight] = 2;
    int64_t result = 0;
    bool landed = false;
    for (int i = 0; i < 500; ++i) {
        playerTwo.input[kInputLight] = 10; // keys still held: they do nothing now
        result = fightFrame(1.0, 1.0);
        landed = landed || playerTwo.position.y == 0.0f;
        if (!landed) {
            EXPECT_EQ(animationType(playerTwo), 10) << "frame " << i;
        }
    }
    EXPECT_EQ(result, 2);
    EXPECT_EQ(playerTwo.position.y, 0.0f); // on the ground, not floating
    EXPECT_EQ(animationType(playerTwo), 10);
    EXPECT_EQ(playerTwo.currentAnimation.frameIndex, 2);
    EXPECT_EQ(playerTwo.attacking, 0);
    EXPECT_EQ(playerTwo.lifeBar.mainTarget, 0); // empty, never beyond its end
    EXPECT_DOUBLE_EQ(playerTwo.lifeBar.mainShown, 0.0);
    EXPECT_GT(full, 0.0);
    EXPECT_EQ(playerTwo.damageFlash, 0);
    EXPECT_FALSE(playerTwo.lifeBar.shaking);
}

TEST_F(FrameTest, AKnockOutOnTheGroundPlaysTheDeathFromItsFirstFrame) {
    cls->death = makeAnimation(10, {2, 2, 2, 2});
    cls->hit.resize(2); // the knock-out hit brought a hit reaction with a long stun
    playerOne.life = 0;
    playerOne.hurtAnimIndex = 1;
    playerOne.cooldown = 60;
    playerOne.stunFrames = 3;
    std::vector<int64_t> shown;
    for (int i = 0; i < 30; ++i) {
        fightFrame(1.0, 1.0);
        if (shown.empty() || shown.back() != playerOne.currentAnimation.frameIndex)
            shown.push_back(playerOne.currentAnimation.frameIndex);
    }
    // Dying ends the reaction: the death plays from its first frame to its last, once.
    EXPECT_EQ(animationType(playerOne), 10);
    EXPECT_EQ(shown, (std::vector<int64_t>{0, 1, 2, 3}));
    EXPECT_EQ(playerOne.hurtAnimIndex, -1);
    EXPECT_EQ(playerOne.position.y, 0.0f);
}

// The fight frame: hit-stop, knock-outs, the camera and the body push.
#include "fight_fixture.h"

#include "app/settings.h"
#include "fight/bot.h"
#include "fight/fight_frame.h"
#include "render/particles.h"
#include "render/sprite_assets.h"

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
            createFighter(*f, "P", 0, f == &playerOne ? 1 : 2);
            chooseClass(*f, cls, 0);
            f->onGround = 1;
            setAnimation(*f, cls->idle);
        }
        playerOne.position = {2000, 0};
        playerTwo.position = {1500, 0};
        playerOne.facing = 0;
        playerTwo.facing = 1;
        playerTwo.side = 1;
        leftFighter = &playerTwo;
        rightFighter = &playerOne;
        globalFightContext.stage = &stage;
        focusX = 1200;
    }
    void TearDown() override {
        playerOneBot.reset();
        playerTwoBot.reset();
        clearParticles();
        hurtSequence = ImageSequence{};
        globalFightContext.stage = nullptr;
        FightTest::TearDown();
    }
};
} // namespace

TEST_F(FrameTest, HitStopHoldsTheFightersButNotTheBotsOrParticles) {
    freezeTimer = 5;
    playerTwo.input[kInputRight] = 2;
    playerOne.botLevel = 1;
    switchBotOn(ensureBot(playerOne, 1));
    playerOne.input[kInputLight] = 10;
    particleEnabled = 1;
    hurtSequence = ImageSequence{};
    hurtSequence.frames = {900};
    hurtSequence.frameTime = 50;
    hurtSequence.frameStep = 1;
    emitParticle(hurtSequence, 0, 0, 10, 0, -1);
    fightFrame(nullptr, 1.0, 1.0);
    EXPECT_EQ(playerTwo.position.x, 1500.0f); // no update while frozen
    EXPECT_EQ(playerOne.input[kInputLight], 0); // the bot step ran and owns the input
    ASSERT_EQ(particles.size(), 1u);
    EXPECT_EQ(particles[0].position.x, 10.0f);
    EXPECT_FLOAT_EQ(freezeTimer, 4.0f);
    freezeTimer = 0;
    fightFrame(nullptr, 1.0, 1.0);
    EXPECT_GT(playerTwo.position.x, 1500.0f);
}

TEST_F(FrameTest, BothOutInOneFrameGivesTwo) {
    playerOne.life = 0;
    EXPECT_EQ(fightFrame(nullptr, 1.0, 1.0), 1);
    playerTwo.life = -3;
    EXPECT_EQ(fightFrame(nullptr, 1.0, 1.0), 2);
    playerOne.life = 10;
    EXPECT_EQ(fightFrame(nullptr, 0.0, 0.0), 2);
}

TEST_F(FrameTest, TheCameraFollowsHoldsAndStaysOnTheStage) {
    viewWidth = 1080;
    // Close together: the camera follows the right fighter's body edge.
    focusX = 1000;
    playerOne.position.x = 1800; // right edge 2250 beyond 1000 + 1080
    updateCamera(stage);
    EXPECT_EQ(focusX, 1800 - 1080 + 450);
    // Farther apart than the view: the outer fighter is held at the view's edge.
    focusX = 1000;
    playerTwo.position.x = 700;
    playerOne.position.x = 2600;
    updateCamera(stage);
    EXPECT_EQ(focusX, 1000);
    EXPECT_EQ(playerOne.position.x, float(1000 + 1080 - 450));
    // Never beyond 0 nor beyond stage width - 200.
    playerTwo.position.x = -400;
    playerOne.position.x = -300;
    focusX = 10;
    updateCamera(stage);
    EXPECT_EQ(focusX, 0);
    playerTwo.position.x = 5700;
    playerOne.position.x = 5800;
    focusX = 5000;
    updateCamera(stage);
    EXPECT_EQ(focusX, 6000 - 1080 - 200);
    // Both in the air: the camera rises halfway towards the lower one each frame.
    cameraY = 0;
    playerTwo.position.y = -300;
    playerOne.position.y = -100;
    updateCamera(stage);
    EXPECT_EQ(cameraY, -50);
    playerOne.position.y = 0;
    updateCamera(stage);
    EXPECT_EQ(cameraY, -25);
}

TEST_F(FrameTest, TheStrongerWalkerPushesTheOther) {
    playerTwo.fighterClass = nullptr; // give player two its own, weaker class
    classes.push_back(std::make_unique<FighterClass>(*cls));
    FighterClass* weak = classes.back().get();
    weak->stat->strength = 2;
    cls->stat->strength = 9; // walking costs the walker its weight: 9 - 5 against 2
    chooseClass(playerTwo, weak, 0);
    setAnimation(playerOne, cls->moveFront); // walking towards player two
    playerOne.position.x = 1600;
    playerTwo.position.x = 1500;
    playerTwo.facing = 1;
    playerOne.facing = 0;
    float before = playerTwo.position.x;
    bodyPush(playerOne, playerTwo, &stage, 1.0);
    EXPECT_LT(playerTwo.position.x, before); // pushed to the left
    // Equal shoves push nobody; attacking fighters are not pushed.
    chooseClass(playerTwo, cls, 0);
    setAnimation(playerTwo, cls->idle);
    before = playerTwo.position.x;
    bodyPush(playerOne, playerTwo, &stage, 1.0);
    EXPECT_EQ(playerTwo.position.x, before);
}

TEST_F(FrameTest, ARetreatIsNeverHeldButWalkingBackIntoTheOtherIs) {
    setAnimation(playerOne, cls->moveBack);
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

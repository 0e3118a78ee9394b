// Hit resolution with hand-built frames and masks: damage once per attack, pushes on every
// touching frame, sounds by material and strength, shake, hit-stop and the combo marks.
#include "game_fight.h"
#include "headless_fixture.h"

#include <cmath>
#include <filesystem>
#include <unistd.h>

#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/sound_library.h"
#include "fight/class_choice.h"
#include "fight/fight_events.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "fight/hit_masks.h"
#include "fight/hits.h"
#include "render/pool_sounds.h"
#include "render/sprite_assets.h"
#include "runtime/images.h"
#include "settings/game_screen.h"
#include "settings/settings.h"

namespace {
// A solid picture of w x h pixels written as a PNG file.
void writeSolidPng(const std::string& path, int64_t w, int64_t h) {
    std::vector<uint32_t> pixels(size_t(w * h), 0xFFFFFFFFu);
    ASSERT_TRUE(savePng(path, w, h, pixels.data()));
}

struct HitTest : HeadlessScreen {
    Fighter a, d;
    FighterClass* cls = nullptr;
    Animation* attack = nullptr;
    Frame body; // the picture the defender shows
    std::string pictures = scratchPictures();
    static std::string scratchPictures() {
        auto dir = std::filesystem::temp_directory_path() /
                   ("qrx-hits-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        return dir.string();
    }

    void SetUp() override {
        HeadlessScreen::SetUp();
        clearGameData();
        screenWidth = 1280;
        screenHeight = 720;
        fight.setup = MatchSetup{};
        fight.setup.groundLine = 0;
        fight.setup.attackDelay = 1;
        resetFightState(fight);
        // Silent pools 0-71: the pool that played is the one whose slot is playing.
        makePlaceholderSoundPool();
        for (int64_t id = 1; id <= 71; ++id) {
            SoundPool pool;
            pool.id = id;
            pool.extension = loadPoolSounds("none", id);
            soundPools.push_back(pool);
        }
        stopSound(-1); // the silent warm-up plays are over
        soundClasses = {SoundClass{}, SoundClass{1, 10, 11, 12, 13, 2, 5, 10}};
        hurtSequence = ImageSequence{};
        hurtSequence.frames = {600, 601, 602};
        hurtSequence.frameTime = 5;
        hurtSequence.frameStep = 2;
        soundMaterials = {SoundMaterial{0, 1, 1, 1}};
        // The defender's body picture is 100 x 200 pixels, the attack's hit mask 20 x 20.
        clearHitMasks();
        writeSolidPng(pictures + "/bodyhurt.png", 1, 1); // never read: a body is no attack
        writeSolidPng(pictures + "/body.png", 100, 200);
        writeSolidPng(pictures + "/punchhurt.png", 20, 20);

        classes.push_back(std::make_unique<FighterClass>());
        cls = classes.back().get();
        cls->stat = Stat{5, 5, 5, 5, 0, 5, 0, 0, 0, 3, 3};
        Stance stance;
        stance.material = {0};
        cls->stance.push_back(stance);
        cls->idle = newAnimation();
        cls->idle->type = 1;
        cls->idle->frames.resize(1);
        attack = newAnimation();
        attack->type = 4;
        attack->attack = 1;
        Frame hit;
        hit.length = 5;
        hit.damage = 10;
        hit.damageType = 3;
        hit.hurtShift = Vec2{300300, 500};
        hit.path = pictures + "/punch";
        hit.cloneHurt = -1; // its own hit mask
        attack->frames = {hit, hit, hit};
        for (Fighter* f : {&a, &d}) {
            createFighter(*f, 0, f == &a ? 1 : 2);
            chooseClass(fight, *f, cls, 0);
        }
        // The attacker faces left at 1000: its mask covers x 1300-1320, y 500-520. The
        // defender faces right at 900: its body covers x 1250-1350, y 425-625.
        a.position = {1000, 0};
        a.facing = 0;
        d.position = {900, 0};
        d.facing = 1;
        d.side = 1;
        body.path = pictures + "/body";
        body.shift = Vec2{350450, 425};
        d.shownFrame = &body;
        setAnimation(fight, a, attack);
        a.attacking = 1;
        a.comboStep = 1;
        a.comboStance[0] = 1;
    }
    void TearDown() override {
        clearGameData();
        clearFightEvents(fight.events);
        clearHitMasks();
        std::filesystem::remove_all(pictures);
        hurtSequence = ImageSequence{};
        HeadlessScreen::TearDown();
    }
    Frame& frame() { return a.currentAnimation.frames[size_t(a.currentAnimation.frameIndex)]; }
    // Plays what the hit resolution queued, then asks whether the pool's slot sounds.
    static bool played(int64_t pool) {
        for (const PoolSoundChoice& c : fight.events.sounds) playPoolSoundChoice(c);
        fight.events.sounds.clear();
        return soundStatus(poolBase(pool)) == 1;
    }
    void setEndurance(int64_t e) {
        cls->stat->endurence = e;
        chooseStance(d, 0);
    }
};
} // namespace

TEST_F(HitTest, MasksTouchWhereTheyAreDrawnInBothFacings) {
    EXPECT_TRUE(maskTouches(a, d));
    d.position.x = 700; // the body now ends at 1150
    EXPECT_FALSE(maskTouches(a, d));
    // Facing right, the mirrored mask lies at x + 300 as well (the thousands of 300300).
    a.facing = 1;
    d.position.x = 900;
    EXPECT_TRUE(maskTouches(a, d));
    // Facing left, the defender's body is placed 100 px further right (x + 450).
    d.facing = 0;
    d.position.x = 800;
    EXPECT_TRUE(maskTouches(a, d));
    d.position.x = 900; // body 1350-1450: the mask at 1300-1320 misses it
    EXPECT_FALSE(maskTouches(a, d));
}

TEST_F(HitTest, OneDamagePerAttackButPushesOnEveryTouchingFrame) {
    setEndurance(0);
    for (Frame& f : a.currentAnimation.frames) f.pushPower = Vec2{10, 0};
    a.ticksThisUpdate = 1; // the attacker's frame ran one tick in its update
    int64_t life = d.life;
    for (int i = 0; i < 3; ++i) {
        a.currentAnimation.frameIndex = i;
        float before = d.position.x;
        resolveAttack(fight, &a, &d, 1.0);
        EXPECT_FLOAT_EQ(d.position.x - before, 10.0f); // every frame, no stat factors
        d.position.x = 900;
    }
    // Blunt: 10 x (2 x (0 + 5) + 5 + 100) / 100 = 11, once.
    EXPECT_EQ(life - d.life, 11);
    EXPECT_EQ(a.stats.hits, 1);
    EXPECT_EQ(a.stats.damage, 11);
    EXPECT_EQ(a.hitLanded, 1);
}

TEST_F(HitTest, DamageCutLetsTheSameAttackHitTwice) {
    setEndurance(0);
    int64_t life = d.life;
    resolveAttack(fight, &a, &d, 1.0);
    a.hitList.clear(); // what a "damageCut" frame does when it is reached
    resolveAttack(fight, &a, &d, 1.0);
    EXPECT_EQ(life - d.life, 22);
}

TEST_F(HitTest, EnduranceSoftensAndSmallHitsLandOnceInEPlusOne) {
    setEndurance(0);
    EXPECT_EQ(computeDamage(fight, a, d), 11);
    setEndurance(20);
    EXPECT_EQ(computeDamage(fight, a, d), 11 * 20 / 40);
    frame().damage = 1;
    frame().pureProjectileDamage = 1;
    setEndurance(19); // 1 x 20 / 39 = 0: one point with a chance of 1 in 20
    seedRandom(fight.random, 4);
    int ones = 0;
    for (int i = 0; i < 4000; ++i) ones += int(computeDamage(fight, a, d));
    EXPECT_NEAR(double(ones) / 4000, 1.0 / 20, 0.015);
    a.currentAnimation.attack = 0; // not an attack: nothing
    EXPECT_EQ(computeDamage(fight, a, d), 0);
}

TEST_F(HitTest, HitSoundsFollowTheThresholds) {
    // Damage exactly at the light threshold (2) sounds light, not blocked.
    queueMaterialSound(fight, 0, 3, 2, 0);
    EXPECT_TRUE(played(11));
    EXPECT_FALSE(played(10));
    stopSound(-1);
    queueMaterialSound(fight, 0, 3, 1, 0);
    EXPECT_TRUE(played(10));
    stopSound(-1);
    queueMaterialSound(fight, 0, 1, 5, 0);
    EXPECT_TRUE(played(12));
    stopSound(-1);
    queueMaterialSound(fight, 0, 2, 10, 0);
    EXPECT_TRUE(played(13));
    stopSound(-1);
    queueMaterialSound(fight, 7, 3, 10, 0); // no such material: silence
    queueMaterialSound(fight, -1, 3, 10, 0);
    EXPECT_FALSE(played(13));
}

TEST_F(HitTest, KnockOutSoundsAndShakesBeforeTheDamageShake) {
    setEndurance(0);
    d.life = 5;
    resolveAttack(fight, &a, &d, 1.0);
    EXPECT_LE(d.life, 0);
    EXPECT_TRUE(played(69)); // a blunt knock-out
    EXPECT_FLOAT_EQ(fight.screenShake.x, 50.0f + 11.0f);
    EXPECT_FLOAT_EQ(fight.screenShake.y, 50.0f + 11.0f);
    EXPECT_EQ(d.damageFlash, 22);
    EXPECT_FALSE(fight.events.blood.empty());
}

TEST_F(HitTest, RelativeDelayFreezesHalfTheDamage) {
    setEndurance(0);
    fight.setup.attackDelay = 3;
    frame().damage = 18; // 18 x 1.15 = 20
    resolveAttack(fight, &a, &d, 1.0);
    EXPECT_EQ(a.stats.damage, 20);
    EXPECT_FLOAT_EQ(fight.freezeTimer, 10.0f);
    EXPECT_FLOAT_EQ(fight.screenShake.x, 20.0f + 40.0f);
    fight.freezeTimer = 0;
    fight.setup.attackDelay = 2;
    a.hitList.clear();
    resolveAttack(fight, &a, &d, 1.0);
    EXPECT_FLOAT_EQ(fight.freezeTimer, 10.0f);
}

TEST_F(HitTest, ComboMarksWithoutTheirSoundWhenTheDisplayIsOff) {
    fight.setup.comboDisplay = 3;
    resolveAttack(fight, &a, &d, 1.0);
    EXPECT_EQ(a.comboTouched[0], 1.0);
    EXPECT_EQ(a.comboFlash[0], 1.0);
    EXPECT_EQ(a.comboMultiplier[0], 1.5); // then raised by the damaging touch
    EXPECT_EQ(a.comboShake[0], 20.0);
    EXPECT_FALSE(played(71));
    fight.setup.comboDisplay = 1;
    a.comboStep = 2;
    a.hitList.clear();
    resolveAttack(fight, &a, &d, 1.0);
    EXPECT_TRUE(played(71));
    EXPECT_EQ(a.stats.maxCombo, 2);
}

TEST_F(HitTest, StunPushesAndGrabs) {
    setEndurance(0);
    frame().stun = 10;
    frame().pushInstant = Vec2{10, -4};
    frame().moveTargetTo = Vec2{0, 0};
    cls->hit.resize(3);
    d.cooldown = 4;
    resolveAttack(fight, &a, &d, 1.0);
    // s = round(4 / 2 + 10) x (5 + 5 + 10) / (0 + 10) = 24
    EXPECT_DOUBLE_EQ(d.cooldown, 24.0);
    EXPECT_GE(d.hurtAnimIndex, 0);
    EXPECT_LT(d.hurtAnimIndex, 3);
    // Pulled to the attacker: its velocities cleared after the push.
    EXPECT_EQ(d.position.x, a.position.x);
    EXPECT_EQ(d.pushVelocity.x, 0.0f);
}

// A trade: both attacks touch in the same frame. Found against the same state and applied
// together, both land whichever fighter is player one, although each stuns the other out of
// its attack; one after the other, the first would cancel the second.
TEST_F(HitTest, ATradeHitsBothWhicheverPlayerComesFirst) {
    setEndurance(0);
    cls->hit.resize(1); // a stun plays a hit reaction: the stunned fighter's attack ends
    for (Frame& f : attack->frames) f.stun = 10;
    // The defender attacks too, facing right: its mask at 900 + 560 lies on the attacker's
    // body (facing left at 1000: x 1450-1550).
    Animation* counter = newAnimation();
    *counter = *attack;
    for (Frame& f : counter->frames) f.hurtShift = Vec2{560300, 500};
    struct Outcome {
        int64_t lostA, lostB;
        bool aAttacking, bAttacking;
    };
    auto trade = [&](bool even, bool aFirst) {
        for (Fighter* f : {&a, &d}) {
            f->life = f->maxLife;
            f->hitList.clear();
            f->hitLanded = 0;
            f->hurtAnimIndex = -1;
            f->cooldown = 0;
            f->shownFrame = &body;
            f->comboStep = 1;
        }
        setAnimation(fight, a, attack);
        setAnimation(fight, d, counter);
        a.attacking = d.attacking = 1;
        Fighter& one = aFirst ? a : d;
        Fighter& two = aFirst ? d : a;
        if (even) {
            resolveTrade(fight, one, two, 1.0);
        } else {
            resolveAttack(fight, &one, &two, 1.0);
            resolveAttack(fight, &two, &one, 1.0);
        }
        return Outcome{a.maxLife - a.life, d.maxLife - d.life, a.currentAnimation.attack != 0,
                       d.currentAnimation.attack != 0};
    };
    for (bool aFirst : {true, false}) {
        Outcome o = trade(true, aFirst);
        EXPECT_EQ(o.lostA, 11) << aFirst;
        EXPECT_EQ(o.lostB, 11) << aFirst;
        EXPECT_FALSE(o.aAttacking); // both stunned into their reaction
        EXPECT_FALSE(o.bAttacking);
        EXPECT_GE(a.hurtAnimIndex, 0);
        EXPECT_GE(d.hurtAnimIndex, 0);
    }
    // Resolved in turn, the one resolved first lands alone.
    Outcome first = trade(false, true);
    EXPECT_EQ(first.lostB, 11);
    EXPECT_EQ(first.lostA, 0);
    Outcome second = trade(false, false);
    EXPECT_EQ(second.lostA, 11);
    EXPECT_EQ(second.lostB, 0);
}

TEST_F(HitTest, NoTouchWhileStunnedOrWithoutAMask) {
    a.stunFrames = 1;
    EXPECT_FALSE(touchTest(fight, a, d));
    a.stunFrames = 0;
    frame().hurtShift.reset();
    EXPECT_FALSE(touchTest(fight, a, d));
    EXPECT_TRUE(a.hitList.empty());
    resolveAttack(fight, &a, &a, 1.0); // a fighter never hits itself
    resolveAttack(fight, nullptr, &d, 1.0);
}

// Knockback carries the defender the same distance at every frame rate: an impulse given once
// per hit ("pushInstant"), and the pushes of every touching frame ("pushPowerDelta" into the
// push velocity, "pushPower" straight onto the position), which count the ticks the frame
// touches for.
TEST_F(HitTest, KnockbackCarriesTheSameDistanceAtEveryRate) {
    setEndurance(0);
    struct Case {
        const char* name;
        std::optional<Vec2> Frame::*key;
        double expected; // pixels at 50 frames per second
    };
    // 4 x (5 + 20) / 20 x (20 - 5) / 20 = 3.75 a tick for the scaled pushes; the touching
    // frame of length 5 runs for 6 ticks (it ends when its time exceeds its length), within
    // which the defender stays under the mask.
    for (Case c : {Case{"pushInstant", &Frame::pushInstant, 3.75},
                   Case{"pushPowerDelta", &Frame::pushPowerDelta, 6 * 3.75},
                   Case{"pushPower", &Frame::pushPower, 6 * 4.0}}) {
        for (Frame& f : attack->frames) {
            f.pushInstant.reset();
            f.pushPowerDelta.reset();
            f.pushPower.reset();
        }
        attack->frames[0].*c.key = Vec2{4, 0};
        for (double fps : {50.0, 100.0, 144.0, 240.0}) {
            double f = 50.0 / fps;
            d.position = {900, 0};
            d.velocity = d.moveVelocity = d.pushVelocity = {};
            d.onGround = 1;
            d.life = d.maxLife;
            setAnimation(fight, a, attack);
            a.attacking = 1;
            a.hitList.clear();
            // The attacker plays its touching frame through and stands still meanwhile; the
            // defender slides.
            for (int i = 0; i < int(std::lround(100 / f)); ++i) {
                a.position = {1000, 0};
                updateFighter(fight, a, nullptr, f, f);
                a.position = {1000, 0};
                resolveTrade(fight, a, d, f);
                updateFighter(fight, d, nullptr, f, f);
            }
            double moved = double(d.position.x) - 900;
            EXPECT_NEAR(std::fabs(moved), c.expected, 0.02 * c.expected)
                << c.name << " at " << fps << " frames per second";
        }
    }
}

// A touch whose damage rounded down to nothing still sprays one drop: round(2 x 0) + 1.
TEST_F(HitTest, ATouchWithoutDamageSpraysOneDrop) {
    sprayBlood(fight, a, d, 0);
    EXPECT_EQ(fight.events.blood.size(), 1u);
    clearFightEvents(fight.events);
    sprayBlood(fight, a, d, 8); // round(2 x sqrt(16)) + 1
    EXPECT_EQ(fight.events.blood.size(), 9u);
}

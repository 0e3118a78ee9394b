// Frame data against the game itself: hand-worked figures for attacks of the generated classes,
// the computed timing against a fighter driven through the real update, and the advantage
// against a real exchange of blows.
#include "fight_fixture.h"
#include "game_dir_fixture.h"

#include <algorithm>
#include <string>

#include "fight/fight_frame.h"
#include "fight/frame_data.h"
#include "fight/hits.h"
#include "match/match.h"
#include "menus/fighter_viewer.h"

namespace {
const FighterClass* classNamed(const std::string& name) {
    for (const auto& c : classes)
        if (c->name == name) return c.get();
    return nullptr;
}

Stat classAndStance(const FighterClass& c, size_t stance) {
    return classStanceStat(c, stance < c.stance.size() ? &c.stance[stance] : nullptr);
}

// The generated content, loaded as the game loads it; skipped where it was not generated.
struct GeneratedFrameData : GeneratedGameTest {
    void SetUp() override {
        GeneratedGameTest::SetUp();
        if (IsSkipped()) return;
        HeadlessOptions options;
        options.nullRenderer = true;
        startTwoPlayerGame(options);
    }
};
} // namespace

// Each figure is worked out by hand from data.json. A tick is one update at 50 per second;
// the first frame stays its length + 1 ticks, later frames their length.
TEST_F(GeneratedFrameData, HandWorkedFiguresOfGeneratedAttacks) {
    const FighterClass* brawler = classNamed("Brawler");
    const FighterClass* dancer = classNamed("Dancer");
    const FighterClass* crusher = classNamed("Crusher");
    ASSERT_TRUE(brawler && dancer && crusher);
    const Stat neutral{};

    // Brawler, stance Street (no modifier): strength 7, agility 6, weight 5, blunt 7. The jab:
    // frames of 2, 3 (hit mask: damage 7 blunt, stun 9, canDoNext 1), 2 and 4 ticks;
    // recovery 12. Ticks 0-2 frame 0, 3-5 the hit, 6-7, 8-11; the animation ends at tick 12,
    // the recovery 12 / 1.6 = 7.5 ticks (8 rounded up) is 6.5 after that update, 5.5, then 4.5
    // at the start of tick 15: the next attack starts at 15. Recovery 15 - 5 - 1 = 9.
    // Damage 7 x (2 x (7 + 7) + 5 + 100) / 100 = 9; stun 9 x (5 + 7 + 10) / 10 = 19.
    // Follow-up: frame time 1 one tick after the hit frame began, tick 4. Advantage: the
    // defender acts at 3 + 19 + 1 = 23, the attacker at 15: 8.
    AttackFrameData jab = attackFrameData(*brawler->neutral, classAndStance(*brawler, 0), neutral);
    EXPECT_EQ(brawler->neutral->name, "jab");
    EXPECT_TRUE(jab.hasActiveFrames);
    EXPECT_EQ(jab.startup, 3);
    EXPECT_EQ(jab.active, 3);
    EXPECT_EQ(jab.recovery, 9);
    EXPECT_EQ(jab.recoveryWait, 8);
    EXPECT_EQ(jab.total, 15);
    EXPECT_EQ(jab.followUpFrom, 4);
    ASSERT_EQ(jab.frames.size(), 1u);
    EXPECT_EQ(jab.frames[0].frameIndex, 1);
    EXPECT_EQ(jab.frames[0].damage, 9);
    EXPECT_EQ(jab.frames[0].damageType, 3);
    EXPECT_EQ(jab.frames[0].stun, 19);
    EXPECT_EQ(jab.stunOnHit, 19);
    EXPECT_EQ(jab.advantageOnHit, 8);
    // Against a Brawler (endurance 6) the stun is 9 x 22 / 16 = 12 and the advantage 1.
    AttackFrameData jabOnBrawler =
        attackFrameData(*brawler->neutral, classAndStance(*brawler, 0), classAndStance(*brawler, 0));
    EXPECT_EQ(jabOnBrawler.stunOnHit, 12);
    EXPECT_EQ(jabOnBrawler.advantageOnHit, 1);
    // Stance Boxer (agility +1, speed +1, weight -1): recovery 12 / 1.7 = 7.06, so 4.06 at the
    // start of tick 15 as well (and 8 rounded up); damage 7 x (2 x 14 + 4 + 100) / 100 = 9; stun
    // 9 x 21 / 10 = 18.
    AttackFrameData boxer = attackFrameData(*brawler->neutral, classAndStance(*brawler, 1), neutral);
    EXPECT_EQ(boxer.total, 15);
    EXPECT_EQ(boxer.recoveryWait, 8);
    EXPECT_EQ(boxer.frames[0].damage, 9);
    EXPECT_EQ(boxer.stunOnHit, 18);

    // Dancer, stance Shadow: strength 3, agility 9, speed 9, weight 2, cut 6. The whirlwind
    // (a combo end: no recovery wait): 3, then five hits of 2 ticks (4 cut, stun 8; the fourth
    // and fifth share the second's and third's masks; canDoNext 1 on the last), then 4. Ticks
    // 0-3, hits at 4-5, 6-7, 8-9, 10-11, 12-13, then 14-17; ends at 18, next attack at 19.
    // Active 4-13: 10 ticks; recovery 19 - 13 - 1 = 5. Damage 4 x (2 x (6 + 9) + 3 + 100) /
    // 100 = 5; stun 8 x (2 + 3 + 10) / 10 = 12; advantage 12 - (19 - 4 - 1) = -2.
    AttackFrameData whirl = attackFrameData(*dancer->heavy, classAndStance(*dancer, 0), neutral);
    EXPECT_EQ(dancer->heavy->name, "whirlwind");
    EXPECT_EQ(whirl.startup, 4);
    EXPECT_EQ(whirl.active, 10);
    EXPECT_EQ(whirl.recovery, 5);
    EXPECT_EQ(whirl.recoveryWait, 0);
    EXPECT_EQ(whirl.total, 19);
    EXPECT_EQ(whirl.followUpFrom, 13);
    ASSERT_EQ(whirl.frames.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(whirl.frames[i].firstTick, 4 + 2 * int64_t(i));
        EXPECT_EQ(whirl.frames[i].ticks, 2);
        EXPECT_EQ(whirl.frames[i].damage, 5);
        EXPECT_EQ(whirl.frames[i].damageType, 1);
        EXPECT_EQ(whirl.frames[i].stun, 12);
    }
    EXPECT_EQ(whirl.advantageOnHit, -2);

    // Crusher, stance Smith: strength 9, agility 4, weight 8, blunt 9. The shoulder charge:
    // 4, 4, 4 (11 blunt, stun 16, canDoNext 1), 6; recovery 18. Ticks 0-4, 5-8, the hit at
    // 9-12, 13-18; ends at 19; wait 18 / 1.4 = 12.86 (13 rounded up), 11.86 after tick 19 ...
    // 4.86 at the start of tick 27. Recovery 27 - 12 - 1 = 14. Damage 11 x (2 x 18 + 8 + 100)
    // / 100 = 15; stun 16 x 27 / 10 = 43; advantage 43 - (27 - 9 - 1) = 26.
    AttackFrameData charge = attackFrameData(*crusher->back, classAndStance(*crusher, 0), neutral);
    EXPECT_EQ(crusher->back->name, "shoulder charge");
    EXPECT_EQ(charge.startup, 9);
    EXPECT_EQ(charge.active, 4);
    EXPECT_EQ(charge.recovery, 14);
    EXPECT_EQ(charge.recoveryWait, 13);
    EXPECT_EQ(charge.total, 27);
    EXPECT_EQ(charge.followUpFrom, 10);
    EXPECT_EQ(charge.frames[0].damage, 15);
    EXPECT_EQ(charge.stunOnHit, 43);
    EXPECT_EQ(charge.advantageOnHit, 26);
}

TEST_F(GeneratedFrameData, CombosFollowTheFollowUpsFromTheUnitsDigit) {
    const FighterClass* brawler = classNamed("Brawler");
    ASSERT_TRUE(brawler);
    // 51: the jab (1), then its down follow-up (5).
    std::vector<const Animation*> jabDown = comboAttacks(*brawler, 51);
    ASSERT_EQ(jabDown.size(), 2u);
    EXPECT_EQ(jabDown[0], brawler->neutral);
    EXPECT_EQ(jabDown[1], brawler->neutral->down);
    // The jab has no side follow-up: 21 stops after the jab.
    EXPECT_EQ(comboAttacks(*brawler, 21), (std::vector<const Animation*>{brawler->neutral}));
    // Every listed combo is complete.
    for (int64_t code : brawler->comboList)
        EXPECT_EQ(comboAttacks(*brawler, code).size(), comboStances(code).size()) << code;
    EXPECT_TRUE(comboAttacks(*brawler, 0).empty());
    EXPECT_DOUBLE_EQ(ticksAsFrames(15, 50), 15.0);
    EXPECT_DOUBLE_EQ(ticksAsFrames(15, 60), 18.0);
    EXPECT_DOUBLE_EQ(ticksAsFrames(15, 144), 43.2);
}

namespace {
// What the real fighter update did with an attack pressed once and nothing else.
struct Measured {
    std::vector<int64_t> activeTicks;              // ticks after which an active frame was current
    std::vector<std::pair<int64_t, int64_t>> runs; // per frame index seen: first tick, ticks
    int64_t nextAttack = -1;                       // first tick at which a press starts an attack
    int64_t chainAt = -1; // first tick at which a press chains after a hit (at the latest the end)
};

struct FrameDataMeasure : FightTest {
    // Starts `attack` (as the neutral attack) from idle and plays it out, probing in every
    // update with copies of the fighter: one presses the attack key (does an attack start?),
    // the other presses it as if the attack had hit (does the follow-up chain?).
    Measured measure(Animation* attack, const Animation* followUp) {
        cls->neutral = attack;
        fillTable();
        refreshFollowUpTables();
        setAnimation(fight, fighter, cls->idle);
        fighter.cooldown = 0;
        fighter.attacking = 0;
        fighter.input = {};
        fighter.input[kInputLight] = heldCounter(1, 1.0); // pressed for this update only
        updateFighter(fight, fighter, &stage, 1.0, 1.0);
        EXPECT_EQ(fighter.animationSource, attack);
        Measured m;
        m.runs.resize(attack->frames.size(), {-1, 0});
        for (int64_t tick = 0; tick < 400; ++tick) {
            if (tick > 0) {
                Fighter press = fighter;
                press.input[kInputLight] = heldCounter(1, 1.0);
                updateFighter(fight, press, &stage, 1.0, 1.0);
                if (m.nextAttack < 0 && press.animationStarts > fighter.animationStarts &&
                    press.animationSource == attack && press.attacking)
                    m.nextAttack = tick;
                Fighter chain = fighter;
                chain.hitLanded = 1;
                chain.hitList = {2};
                chain.input[kInputLight] = heldCounter(1, 1.0);
                updateFighter(fight, chain, &stage, 1.0, 1.0);
                if (m.chainAt < 0 && followUp && chain.animationSource == followUp)
                    m.chainAt = tick;
                updateFighter(fight, fighter, &stage, 1.0, 1.0);
            }
            if (fighter.attacking && fighter.animationSource == attack) {
                int64_t index = fighter.currentAnimation.frameIndex;
                auto& run = m.runs[size_t(index)];
                if (run.first < 0) run.first = tick;
                run.second += 1;
                if (attack->frames[size_t(index)].hurtShift) m.activeTicks.push_back(tick);
            }
        }
        return m;
    }
    // The measurement against the computation, for the fighter's statistics.
    void compare(Animation* attack, const Animation* followUp) {
        AttackFrameData data = attackFrameData(*attack, effectiveStat(fighter), Stat{});
        Measured m = measure(attack, followUp);
        ASSERT_FALSE(m.activeTicks.empty());
        ASSERT_TRUE(data.hasActiveFrames);
        int64_t first = m.activeTicks.front(), last = m.activeTicks.back();
        EXPECT_EQ(data.startup, first);
        EXPECT_EQ(data.active, last - first + 1);
        EXPECT_EQ(data.recovery, m.nextAttack - last - 1);
        EXPECT_EQ(data.total, m.nextAttack);
        for (const ActiveFrame& f : data.frames) {
            EXPECT_EQ(f.firstTick, m.runs[size_t(f.frameIndex)].first) << f.frameIndex;
            EXPECT_EQ(f.ticks, m.runs[size_t(f.frameIndex)].second) << f.frameIndex;
        }
        // Frames the computation leaves out were never current.
        for (size_t i = 0; i < attack->frames.size(); ++i) {
            bool listed = std::any_of(data.frames.begin(), data.frames.end(),
                                      [&](const ActiveFrame& f) { return f.frameIndex == int64_t(i); });
            if (attack->frames[i].hurtShift && !listed) {
                EXPECT_EQ(m.runs[i].second, 0) << i;
            }
        }
        if (followUp) {
            // Without a reachable canDoNext the follow-up still chains when the attack ends.
            int64_t end = m.runs.back().first >= 0 ? m.runs.back().first + m.runs.back().second : -1;
            EXPECT_EQ(m.chainAt, data.followUpFrom >= 0 ? data.followUpFrom : end);
        }
    }
    Animation* attackOf(std::initializer_list<int64_t> lengths, std::initializer_list<int64_t> masks,
                        int64_t recovery) {
        Animation* a = makeAnimation(4, lengths, 0, 1);
        a->recovery = recovery;
        for (int64_t i : masks) a->frames[size_t(i)].hurtShift = Vec2{0, 0};
        return a;
    }
};
} // namespace

TEST_F(FrameDataMeasure, ComputedTimingIsWhatTheUpdatePlays) {
    Animation* next = makeAnimation(4, {3, 3}, 0, 1);
    {
        SCOPED_TRACE("first frame of length 0, a skipped frame, canDoNext 3 on a later frame");
        Animation* a = attackOf({0, 2, 3, 0, 2, 1}, {1, 3, 4}, 30); // agility 5: 20 ticks
        a->frames[4].canDoNext = 3;
        a->neutral = next;
        compare(a, next);
        AttackFrameData d = attackFrameData(*a, effectiveStat(fighter), Stat{});
        EXPECT_EQ(d.startup, 1);   // frame 0 stays one tick
        EXPECT_EQ(d.frames.size(), 2u); // frame 3 is skipped: it never hits
        EXPECT_EQ(d.followUpFrom, 8); // frame 4 entered at 6 with frame time 1: 6 + 3 - 1
    }
    {
        SCOPED_TRACE("active from tick 0, canDoNext on the first frame, agility -3");
        setStats(Stat{5, -3, 5, 5, 5, 5, 5, -1, -1, 3, 3});
        Animation* a = attackOf({3, 4, 2}, {0}, 7); // 7 / 0.7 = 10 ticks
        a->frames[0].canDoNext = 2;
        a->neutral = next;
        compare(a, next);
        EXPECT_EQ(attackFrameData(*a, effectiveStat(fighter), Stat{}).followUpFrom, 2);
    }
    {
        SCOPED_TRACE("agility below -9 is held at -9; no canDoNext: the chain waits for the end");
        setStats(Stat{5, -15, 5, 5, 5, 5, 5, -1, -1, 3, 3});
        Animation* a = attackOf({2, 2}, {1}, 9); // 9 / 0.1 = 90 ticks
        a->neutral = next;
        compare(a, next);
        EXPECT_EQ(attackFrameData(*a, effectiveStat(fighter), Stat{}).recoveryWait, 90);
    }
    {
        SCOPED_TRACE("a combo end recovers at once; so does a recovery of 0");
        setStats(Stat{5, 10, 5, 5, 5, 5, 5, -1, -1, 3, 3});
        Animation* a = attackOf({1, 1, 2}, {1, 2}, 40);
        a->comboEnd = 1;
        compare(a, nullptr);
        Animation* b = attackOf({1, 3, 0}, {1}, 0);
        compare(b, nullptr);
    }
    {
        SCOPED_TRACE("negative lengths shorten the frames after them");
        setStats(Stat{5, 1, 5, 5, 5, 5, 5, -1, -1, 3, 3});
        Animation* a = attackOf({-2, 3, 2, 5}, {1, 3}, 13); // 13 / 1.1 = 11.8 ticks
        compare(a, nullptr);
        AttackFrameData d = attackFrameData(*a, effectiveStat(fighter), Stat{});
        EXPECT_EQ(d.frames[0].firstTick, 0);
        EXPECT_EQ(d.frames[0].ticks, 2);
    }
}

namespace {
// A real exchange on the generated content: the attacker strikes a standing defender and then
// presses its attack at every update once its attack is over (so that it does not chain); the
// defender presses at every update from the hit on. Each side's first new attack is taken in a
// run of its own, so that the first to act does not strike the other again before it acts.
struct Exchange {
    int64_t hit = -1;          // updates after the attack's start
    int64_t attackerNext = -1; // the attacker's next attack starts
    int64_t defenderNext = -1; // the defender's first attack starts
};

struct GeneratedExchange : GeneratedFrameData {
    Exchange exchange(FighterClass* attackerClass, FighterClass* defenderClass, float distance,
                      bool attackerPresses) {
        chooseClass(fight, playerOne, attackerClass, 0);
        chooseClass(fight, playerTwo, defenderClass, 0);
        resetMatch(game);
        // Hit-stop holds both fighters alike: off, so that the ticks count from the attack's start.
        fight.setup.attackDelay = 1;
        for (int i = 0; i < 600 && (animationType(playerOne) != 1 || animationType(playerTwo) != 1 ||
                                    !playerOne.onGround || !playerTwo.onGround);
             ++i)
            advanceFight(fight, game.stage, 1.0, 1.0);
        playerTwo.position.x = playerOne.position.x - distance;
        updateSideAndFacing(playerOne, playerTwo);
        advanceFight(fight, game.stage, 1.0, 1.0); // the shown pictures settle
        Exchange e;
        int64_t life = playerTwo.life;
        for (int64_t tick = 0; tick < 400; ++tick) {
            playerOne.input = {};
            playerTwo.input = {};
            if (tick == 0 || (attackerPresses && e.hit >= 0 && !playerOne.attacking))
                playerOne.input[kInputLight] = heldCounter(1, 1.0);
            if (!attackerPresses && e.hit >= 0) playerTwo.input[kInputLight] = heldCounter(1, 1.0);
            int64_t startsOne = playerOne.animationStarts, startsTwo = playerTwo.animationStarts;
            updateSideAndFacing(playerOne, playerTwo);
            advanceFight(fight, game.stage, 1.0, 1.0);
            if (tick == 0 && playerOne.animationSource != attackerClass->neutral) return e;
            if (e.hit < 0 && playerTwo.life < life) e.hit = tick;
            if (e.hit < 0 || tick == e.hit) continue;
            if (playerOne.animationStarts > startsOne && playerOne.attacking) {
                e.attackerNext = tick;
                return e;
            }
            if (playerTwo.animationStarts > startsTwo && playerTwo.attacking) {
                e.defenderNext = tick;
                return e;
            }
        }
        return e;
    }
};
} // namespace

// Who acts first after a hit, and by how many ticks, is the advantage on hit: a Brawler's jab
// leaves it ahead of a Lancer, a Duelist's thrust behind a Crusher.
TEST_F(GeneratedExchange, TheAdvantageOnHitIsWhoActsFirst) {
    FighterClass* brawler = const_cast<FighterClass*>(classNamed("Brawler"));
    FighterClass* lancer = const_cast<FighterClass*>(classNamed("Lancer"));
    FighterClass* crusher = const_cast<FighterClass*>(classNamed("Crusher"));
    FighterClass* duelist = const_cast<FighterClass*>(classNamed("Duelist"));
    ASSERT_TRUE(brawler && lancer && crusher && duelist);
    struct Case { FighterClass* attacker; FighterClass* defender; int64_t sign; };
    for (const Case& c : {Case{brawler, lancer, 1}, Case{duelist, crusher, -1}}) {
        SCOPED_TRACE(c.attacker->name + " on " + c.defender->name);
        AttackFrameData data = attackFrameData(*c.attacker->neutral, classAndStance(*c.attacker, 0),
                                               classAndStance(*c.defender, 0));
        // The nearest distance at which the first active frame is the one that hits.
        Exchange attacker;
        float distance = 0;
        for (distance = 60; distance < 600; distance += 10) {
            attacker = exchange(c.attacker, c.defender, distance, true);
            if (attacker.hit == data.startup) break;
        }
        ASSERT_EQ(attacker.hit, data.startup) << "no distance where the first active frame hits";
        Exchange defender = exchange(c.attacker, c.defender, distance, false);
        ASSERT_EQ(defender.hit, data.startup);
        ASSERT_GE(attacker.attackerNext, 0);
        ASSERT_GE(defender.defenderNext, 0);
        EXPECT_EQ(attacker.attackerNext, data.total);
        EXPECT_EQ(defender.defenderNext - attacker.attackerNext, data.advantageOnHit)
            << "at distance " << distance;
        EXPECT_EQ(data.advantageOnHit > 0 ? 1 : -1, c.sign);
    }
}

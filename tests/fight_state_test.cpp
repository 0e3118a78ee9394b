// The fight as one value: a restored state steps on exactly as the original did, whenever it is
// restored, and its hash tells equal fights from different ones.
#include "game_dir_fixture.h"

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_events.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "match/match.h"
#include "runtime/headless.h"
#include "shell/startup.h"

namespace {
// Hard bots of two classes on the generated content, set up by a real match of one fight frame
// (intro included), at 100 frames per second without drawing.
struct FightStateTest : GeneratedGameTest {
    double factor = 0.5;
    const Stage* stage = nullptr;

    void SetUp() override {
        GeneratedGameTest::SetUp();
        if (IsSkipped()) return;
        startUndrawnGame(factor);
        seedRandom(11);
        for (auto [fighter, position] : {std::pair{&playerOne, 4}, std::pair{&playerTwo, 1}}) {
            chooseClass(fight, *fighter, classAt(position), 0);
            BotController& bot = ensureBot(fight, *fighter, 3);
            bot.botLevelSetting = 3;
            switchBotOn(bot);
        }
        stage = &stageList[1];
        playOneFightFrame(&stageList[1]);
    }
    void TearDown() override {
        removeBot(fight, playerOne);
        removeBot(fight, playerTwo);
        GeneratedGameTest::TearDown();
    }
    int64_t step() { return stepFight(fight, stage, {}, factor, factor); }
    static bool midCombo() {
        for (const Fighter* f : {&playerOne, &playerTwo})
            if (f->comboStep >= 2 && f->attacking) return true;
        return false;
    }
};

// What a step set off, to compare a step with its re-run.
std::vector<int64_t> soundsOf(const FightEvents& events) {
    std::vector<int64_t> list;
    for (const PoolSoundChoice& s : events.sounds) {
        list.push_back(s.pool);
        list.push_back(s.variant);
        list.push_back(int64_t(s.percent * 1000));
    }
    list.push_back(int64_t(events.blood.size()));
    list.push_back(int64_t(events.effects.size()));
    return list;
}
} // namespace

// Every frame of a bot match, stepped, then restored and stepped again: the same state, the
// same sounds, blood and effects. The match runs to its knock-out and a second beyond.
TEST_F(FightStateTest, EveryStepRunsAgainTheSameFromItsRestoredState) {
    int64_t frames = 0, afterKnockOut = 0;
    while (afterKnockOut < 100 && frames < 20000) {
        FightState before = fight;
        int64_t result = step();
        uint64_t hash = fightHash(fight);
        std::vector<int64_t> events = soundsOf(fight.events);
        FightState after = fight;
        fight = before;
        ASSERT_EQ(step(), result) << "frame " << frames;
        ASSERT_EQ(fightHash(fight), hash) << "frame " << frames;
        ASSERT_EQ(soundsOf(fight.events), events) << "frame " << frames;
        fight = after;
        frames += 1;
        if (result != 0) afterKnockOut += 1;
    }
    EXPECT_LT(frames, 20000) << "no knock-out in 200 s of Hard bots";
    EXPECT_EQ(afterKnockOut, 100);
}

// A state saved in the middle of a combo and restored 1000 frames later plays the same next
// 300 frames; the fight it came back from had gone elsewhere.
TEST_F(FightStateTest, AStateSavedMidComboContinuesTheSameWhenRestoredLater) {
    int64_t frames = 0;
    while (!midCombo() && frames < 20000) {
        step();
        frames += 1;
    }
    ASSERT_TRUE(midCombo()) << "no combo in 200 s of Hard bots";
    FightState saved = fight;
    uint64_t savedHash = fightHash(fight);
    std::vector<uint64_t> hashes;
    for (int i = 0; i < 300; ++i) {
        step();
        hashes.push_back(fightHash(fight));
    }
    for (int i = 0; i < 1000; ++i) step();
    EXPECT_NE(fightHash(fight), savedHash);
    fight = saved;
    EXPECT_EQ(fightHash(fight), savedHash);
    EXPECT_TRUE(midCombo());
    for (size_t i = 0; i < hashes.size(); ++i) {
        step();
        ASSERT_EQ(fightHash(fight), hashes[i]) << "frame " << i << " after the restore";
    }
}

// A copy is a value: stepping the fight leaves it as it was, and any difference in the fight,
// the random generator's state included, changes the hash.
TEST_F(FightStateTest, CopiesStayAsTheyWereAndTheHashSeesEveryPart) {
    FightState copy = fight;
    uint64_t hash = fightHash(copy);
    for (int i = 0; i < 200; ++i) step();
    EXPECT_EQ(fightHash(copy), hash);
    EXPECT_NE(fightHash(fight), hash);
    auto differs = [&](auto change) {
        FightState changed = copy;
        change(changed);
        return fightHash(changed) != hash;
    };
    EXPECT_TRUE(differs([](FightState& s) { s.random[3] ^= 1; }));
    EXPECT_TRUE(differs([](FightState& s) { s.players[1].input[kInputJump] = 0.5; }));
    EXPECT_TRUE(differs([](FightState& s) { s.players[0].position.x += 0.001f; }));
    EXPECT_TRUE(differs([](FightState& s) { s.bots[0].thinkTimer += 1e-9; }));
    EXPECT_TRUE(differs([](FightState& s) { s.freezeTimer = 1; }));
    EXPECT_TRUE(differs([](FightState& s) { s.players[0].comboShake[4] = 1; }));
    EXPECT_TRUE(differs([](FightState& s) { s.leftPlayer = 1 - s.leftPlayer; }));
    EXPECT_TRUE(differs([](FightState& s) { s.players[1].hitList.push_back(1); }));
    EXPECT_TRUE(differs([](FightState& s) { s.frame += 1; }));
    EXPECT_FALSE(differs([](FightState&) {}));
}

// The players' names and jump-with-up are hashed from the match's set-up where the fighter
// record once held them: a fight hashes to the value it always had (this one's was taken from
// the fighter record), so that replays recorded then still verify.
TEST(FightHash, NamesAndJumpWithUpKeepTheirPlaceInTheHash) {
    FightState s;
    s.players[0].id = 1;
    s.players[1].id = 2;
    s.setup.names = {"Player one", "Player two"};
    s.setup.jumpWithUp = {1, 0};
    s.players[0].life = 305;
    s.players[1].life = 290;
    s.players[0].position = {1200, 775};
    s.players[1].position = {800.5f, 775};
    s.players[1].hitList = {1};
    s.bots[1].present = true;
    s.bots[1].botState = 2;
    s.freezeTimer = 2.5f;
    s.focusX = 900;
    s.viewWidth = 1080;
    s.frame = 77;
    s.random = {1, 2, 3, 4};
    EXPECT_EQ(fightHash(s), 0xab882eb85cf5d3c4ULL);
    FightState other = s;
    other.setup.jumpWithUp[1] = 1;
    EXPECT_NE(fightHash(other), fightHash(s));
    other = s;
    other.setup.names[0] = "Player 1";
    EXPECT_NE(fightHash(other), fightHash(s));
    // What a step set off is no part of the fight.
    other = s;
    other.events.blood.push_back({});
    other.events.effectsAdvance = true;
    EXPECT_EQ(fightHash(other), fightHash(s));
}

// Class and stance choice.
#include "fight/class_choice.h"

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"

namespace {
constexpr int64_t kMirror = 98;
constexpr int64_t kRandom = 99;
// Redraws give up after this many tries, so that a roster of only unselectable classes can
// never hang the game.
constexpr int kMaxDraws = 1000;

int64_t stanceCount(const Fighter& fighter) {
    return fighter.fighterClass ? int64_t(fighter.fighterClass->stance.size()) : 0;
}

void copyClassAndStance(const FightState& state, Fighter& to, const Fighter& from) {
    chooseClass(state, to, from.fighterClass, from.stanceIndex);
}
} // namespace

void chooseStance(Fighter& fighter, int64_t stanceIndex) {
    // A stance the class does not have (another class's stance number) becomes its first.
    if (stanceIndex < 0 || stanceIndex >= stanceCount(fighter)) stanceIndex = 0;
    fighter.stanceIndex = stanceIndex;
    fighter.stance = stanceCount(fighter) > 0 ? &fighter.fighterClass->stance[size_t(stanceIndex)]
                                              : nullptr;
    fighter.maxLife = maxLifeOf(fighter);
    fighter.life = fighter.maxLife;
}

void chooseClass(const FightState& state, Fighter& fighter, FighterClass* fighterClass, int64_t stanceIndex) {
    if (fighterClass != fighter.fighterClass) {
        if (fighter.fighterClass) --fighter.fighterClass->userCount;
        if (fighterClass) ++fighterClass->userCount;
        fighter.fighterClass = fighterClass;
        if (fighterClass && fighterClass->idle) setAnimation(state, fighter, fighterClass->idle);
    }
    chooseStance(fighter, stanceIndex);
}

void assignRandomStance(Fighter& player, int64_t avoidStance) {
    if (!player.fighterClass) return;
    int64_t stance = 0;
    if (stanceCount(player) >= 2) {
        stance = randomStanceIndex(player.fighterClass);
        for (int draw = 0; draw < kMaxDraws && stance == avoidStance; ++draw)
            stance = randomStanceIndex(player.fighterClass);
    }
    chooseStance(player, stance);
}

void assignRandomClassAndStance(const FightState& state, Fighter& player, const Fighter* otherPlayer,
                                int64_t sameClassRetry, int64_t differentStance) {
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        FighterClass* drawn = classAt(randomClassIndex(1));
        if (!drawn) return;
        chooseClass(state, player, drawn, 0);
        if (drawn->notSelectable || (otherPlayer && sameClassRetry &&
                                     drawn == otherPlayer->fighterClass)) {
            // Start again as a lone player with both flags off.
            otherPlayer = nullptr;
            sameClassRetry = differentStance = 0;
            continue;
        }
        if (!otherPlayer) {
            chooseStance(player, randomStanceIndex(drawn));
        } else if (sameClassRetry) {
            // The stance number is recorded; the stance itself is applied by a later change.
            player.stanceIndex = randomStanceIndex(drawn);
        } else {
            int64_t stance = randomStanceIndex(drawn);
            if (differentStance && stanceCount(player) > 1 && drawn == otherPlayer->fighterClass)
                for (int redraw = 0; redraw < kMaxDraws && stance == otherPlayer->stanceIndex; ++redraw)
                    stance = randomStanceIndex(drawn);
            chooseStance(player, stance);
        }
        return;
    }
}

void applySelectionCode(const FightState& state, Fighter& one, Fighter& two, int64_t code) {
    int64_t choiceOne = code % 10000, choiceTwo = code / 10000;
    int64_t classOne = choiceOne % 100, stanceOne = choiceOne / 100;
    int64_t classTwo = choiceTwo % 100, stanceTwo = choiceTwo / 100;
    auto apply = [&state](Fighter& player, int64_t classValue, int64_t stanceValue) {
        FighterClass* chosen = classValue < kMirror ? classAt(classValue) : nullptr;
        // A position outside the class list is taken as a random choice.
        if (!chosen) {
            assignRandomClassAndStance(state, player, nullptr, 0, 0);
            return;
        }
        chooseClass(state, player, chosen, stanceValue >= kMirror ? 0 : stanceValue);
        if (stanceValue == kRandom) assignRandomStance(player, kAvoidNoStance);
    };
    apply(one, classOne, stanceOne);
    apply(two, classTwo, stanceTwo);
    if (stanceTwo == kMirror) chooseStance(two, one.stanceIndex);
    if (classOne == kMirror && classTwo != kMirror) copyClassAndStance(state, one, two);
    if (classTwo == kMirror && classOne != kMirror) copyClassAndStance(state, two, one);
    if (stanceOne == kMirror && stanceTwo != kMirror) chooseStance(one, two.stanceIndex);
    if (stanceTwo == kMirror && stanceOne != kMirror) chooseStance(two, one.stanceIndex);
    if (classOne == kMirror && classTwo == kMirror) {
        assignRandomClassAndStance(state, one, nullptr, 0, 0);
        copyClassAndStance(state, two, one);
    }
    two.useAlternateColor = one.stance && two.stance &&
                            one.stance->specialColor == two.stance->specialColor;
}

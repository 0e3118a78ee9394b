// Lesson texts.
#include "practice/lesson_texts.h"

#include <algorithm>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "input/action_names.h"
#include "input/player_setup.h"
#include "menus/fighter_viewer.h"
#include "practice/lesson_rules.h"
#include "practice/lessons.h"

namespace {
const char* const kLessonNames[kLessonCount] = {"Walk", "Jump", "Neutral attack",
                                                "Side, back, up and down attacks",
                                                "Heavy attack", "Combo"};
const char* const kFooter = "Escape: back to the tutorial menu";

// The lessons teach player one, with player one's keys.
std::string key(const Fighter&, int64_t Controls::*action) {
    const PlayerSetup& keys = playerSetups[0];
    return "[" + actionName(keys.keyBindings, keys.padIndex, action) + "]";
}
// Facing left, the left key walks and attacks towards the opponent.
std::string towardsKey(const Fighter& one) {
    return key(one, one.facing == 1 ? &Controls::right : &Controls::left);
}
std::string awayKey(const Fighter& one) {
    return key(one, one.facing == 1 ? &Controls::left : &Controls::right);
}

std::string stanceName(int64_t stance) {
    switch (stance) {
    case 1: return "neutral";
    case 2: return "side";
    case 3: return "up";
    case 4: return "back";
    case 5: return "down";
    case 6: return "heavy";
    default: return "?";
    }
}

// The keys of one attack of a combo: a direction held with the neutral key, or the heavy key.
std::string attackKeys(const Fighter& one, int64_t stance) {
    std::string neutral = key(one, &Controls::neutral);
    switch (stance) {
    case 1: return neutral;
    case 2: return towardsKey(one) + " + " + neutral;
    case 3: return key(one, &Controls::up) + " + " + neutral;
    case 4: return awayKey(one) + " + " + neutral;
    case 5: return key(one, &Controls::down) + " + " + neutral;
    case 6: return key(one, &Controls::heavy);
    default: return "?";
    }
}

const char* doneOrNot(bool done) { return done ? "done" : "not yet"; }

void addLessonLines(LessonCard& card, const LessonWatch& watch, const Fighter& one) {
    const FighterClass* c = one.fighterClass;
    switch (watch.lesson) {
    case kLessonWalk:
        card.lines = {"Hold " + towardsKey(one) + " to walk towards the dummy, then " +
                          awayKey(one) + " to walk away from it.",
                      std::string("Towards the dummy: ") +
                          doneOrNot(watch.towards >= kLessonWalkDistance) +
                          "    Away from it: " + doneOrNot(watch.away >= kLessonWalkDistance)};
        break;
    case kLessonJump: {
        std::string line = "Press " + key(one, &Controls::jump) + " to jump.";
        if (playerSetups[0].jumpWithUp) line += " " + key(one, &Controls::up) + " jumps too.";
        card.lines = {line, "You come down by yourself."};
        break;
    }
    case kLessonNeutral:
        card.lines = {"Press " + key(one, &Controls::neutral) +
                      " with no direction held for the neutral attack."};
        break;
    case kLessonDirections: {
        card.lines = {"Hold a direction and press " + key(one, &Controls::neutral) + ":"};
        const char* const notes[] = {"", "", " (towards the dummy)", "", " (away from it)", ""};
        for (int64_t stance : {2, 4, 3, 5})
            if (attackForStance(c, stance))
                card.lines.push_back(attackKeys(one, stance) + ": " + stanceName(stance) +
                                     " attack" + notes[stance]);
        std::string left;
        for (int64_t stance : directionStancesLeft(watch, c))
            left += (left.empty() ? "" : ", ") + stanceName(stance);
        card.lines.push_back("Still to do: " + (left.empty() ? std::string("nothing") : left));
        break;
    }
    case kLessonHeavy:
        card.lines = {"Press " + key(one, &Controls::heavy) + " for the heavy attack."};
        break;
    case kLessonCombo: {
        std::vector<int64_t> stances = comboStances(lessonCombo(c));
        std::string keys;
        for (int64_t stance : stances) keys += (keys.empty() ? "" : ", then ") + attackKeys(one, stance);
        card.lines = {"Walk up to the dummy and chain this combo:", keys,
                      "Press each next attack while the last one hits.",
                      "Hits in a row: " + std::to_string(std::min<int64_t>(watch.longestChain, 3)) +
                          " of 3"};
        card.combo = stances;
        card.comboFacing = double(one.facing);
        card.comboAfterLine = 1;
        break;
    }
    default: break;
    }
}
} // namespace

std::string lessonTitle(int64_t lesson) {
    if (lesson < 0 || lesson >= kLessonCount) return "Lessons";
    return "Lesson " + std::to_string(lesson + 1) + " of " + std::to_string(kLessonCount) + ": " +
           kLessonNames[lesson];
}

LessonCard lessonCard(const LessonWatch& watch, const Fighter& one, bool passed) {
    LessonCard card;
    card.title = lessonTitle(watch.lesson);
    card.footer = kFooter;
    if (passed) card.lines = {"Well done!"};
    else addLessonLines(card, watch, one);
    return card;
}

LessonCard closingCard() {
    LessonCard card;
    card.title = "Lessons passed";
    card.lines = {"Well done! You have passed all six lessons.",
                  "Try them out against the bot: Player vs Bot in the main menu."};
    return card;
}

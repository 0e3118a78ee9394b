// Lesson rules.
#include "practice/lesson_rules.h"

#include <algorithm>

#include "data/fighter_class.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "practice/lessons.h"

namespace {
constexpr int64_t kDirectionStances[4] = {2, 4, 3, 5}; // side, back, up, down
constexpr int64_t kWalkFront = 2, kWalkBack = 3;       // animation types of the walk

int64_t digitCount(int64_t code) {
    int64_t digits = 0;
    for (; code > 0; code /= 10) ++digits;
    return digits;
}
} // namespace

LessonWatch startLesson(int64_t lesson, const Fighter& one) {
    LessonWatch watch;
    watch.lesson = lesson;
    watch.lastX = one.position.x;
    return watch;
}

void watchLesson(LessonWatch& watch, const Fighter& one, const Fighter& dummy) {
    double x = one.position.x;
    double moved = x - watch.lastX;
    watch.lastX = x;
    int64_t type = animationType(one);
    // Walking: a direction held on the ground (the walk animations show it; a class without
    // them walks all the same).
    bool walking = (one.moveState.walkStarted || type == kWalkFront || type == kWalkBack) &&
                   one.onGround && !one.attacking;
    if (walking) {
        // Towards is the dummy's side of where player one stood before the step.
        double before = x - moved;
        double towardsSign = dummy.position.x >= before ? 1 : -1;
        if (moved * towardsSign > 0) watch.towards += moved * towardsSign;
        else watch.away -= moved * towardsSign;
    }
    if (one.moveState.jumping) watch.jumped = true;
    else if (watch.jumped && one.onGround) watch.landed = true;
    int64_t stance = one.attacking ? stanceOfType(type) : 0;
    if (stance >= 1 && stance <= 6) watch.stanceSeen[size_t(stance)] = true;
    watch.longestChain = std::max(watch.longestChain, touchingChain(one));
}

bool lessonDone(const LessonWatch& watch, const FighterClass* fighterClass) {
    if (!lessonPossible(watch.lesson, fighterClass)) return true;
    switch (watch.lesson) {
    case kLessonWalk:
        return watch.towards >= kLessonWalkDistance && watch.away >= kLessonWalkDistance;
    case kLessonJump: return watch.landed;
    case kLessonNeutral: return watch.stanceSeen[1];
    case kLessonDirections: return directionStancesLeft(watch, fighterClass).empty();
    case kLessonHeavy: return watch.stanceSeen[6];
    case kLessonCombo: return watch.longestChain >= 3;
    default: return true;
    }
}

bool lessonPossible(int64_t lesson, const FighterClass* c) {
    switch (lesson) {
    case kLessonWalk:
    case kLessonJump: return true;
    case kLessonNeutral: return attackForStance(c, 1) != nullptr;
    case kLessonDirections:
        return std::any_of(std::begin(kDirectionStances), std::end(kDirectionStances),
                           [&](int64_t stance) { return attackForStance(c, stance) != nullptr; });
    case kLessonHeavy: return attackForStance(c, 6) != nullptr;
    case kLessonCombo: return lessonCombo(c) != 0;
    default: return false;
    }
}

std::vector<int64_t> directionStancesLeft(const LessonWatch& watch, const FighterClass* c) {
    std::vector<int64_t> left;
    for (int64_t stance : kDirectionStances)
        if (attackForStance(c, stance) && !watch.stanceSeen[size_t(stance)]) left.push_back(stance);
    return left;
}

int64_t lessonCombo(const FighterClass* c) {
    if (!c) return 0;
    int64_t longer = 0;
    for (int64_t code : c->comboList) {
        if (digitCount(code) == 3) return code;
        if (digitCount(code) > 3 && longer == 0) longer = code;
    }
    return longer;
}

int64_t touchingChain(const Fighter& f) {
    if (f.comboStep <= 0) return 0;
    size_t current = size_t(std::min<int64_t>(f.comboStep, kComboSteps) - 1);
    return f.comboTouched[current] > 0 ? f.comboStep : f.comboStep - 1;
}

int64_t firstLessonToTake(int64_t passedMask) {
    for (int64_t lesson = 0; lesson < kLessonCount; ++lesson)
        if ((passedMask & (int64_t(1) << lesson)) == 0) return lesson;
    return 0;
}

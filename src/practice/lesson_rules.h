// What each lesson asks for and how it is seen to be done, from the fight state alone.
//
// 1 Walk: player one walks on the ground (a direction held, or its walk animations playing)
//   at least kLessonWalkDistance pixels towards the dummy and as far away from it, counted
//   frame by frame, in any order.
// 2 Jump: player one left the ground in a jump and stood on the ground again.
// 3 Neutral attack: an attack animation of stance 1 played (a first attack or a follow-up).
// 4 Side, back, up and down attacks: an attack animation of each of those stances played;
//   stances the class has no attack for are not asked for.
// 5 Heavy attack: an attack animation of stance 6 played.
// 6 Combo: a third chained attack touched the dummy (the combo counter at 3 or more with its
//   current step touched); chaining needs every earlier step to have touched, so this is three
//   touching attacks in a row, as the combo display counts them.
// A lesson the class cannot be taught (no attack for it, no combo of three) is passed at once.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct Fighter;
struct FighterClass;

enum LessonNumber { kLessonWalk, kLessonJump, kLessonNeutral, kLessonDirections, kLessonHeavy,
                    kLessonCombo };

constexpr double kLessonWalkDistance = 100; // pixels each way

// What a lesson has seen so far.
struct LessonWatch {
    int64_t lesson = 0;
    double lastX = 0;      // player one's x at the last frame (pixels)
    double towards = 0;    // pixels walked towards the dummy
    double away = 0;       // pixels walked away from it
    bool jumped = false;   // left the ground in a jump
    bool landed = false;   // and stood on the ground again
    std::array<bool, 7> stanceSeen{}; // by stance code 1-6 (0 unused)
    int64_t longestChain = 0;         // touching attacks in a row, at best
};

LessonWatch startLesson(int64_t lesson, const Fighter& one);
// After each fight step: what player one did in it.
void watchLesson(LessonWatch& watch, const Fighter& one, const Fighter& dummy);
bool lessonDone(const LessonWatch& watch, const FighterClass* fighterClass);

// Whether the class has what a lesson teaches.
bool lessonPossible(int64_t lesson, const FighterClass* fighterClass);
// The stance codes (2 side, 4 back, 3 up, 5 down, in the order they are taught) the
// directions lesson asks for and has not seen yet.
std::vector<int64_t> directionStancesLeft(const LessonWatch& watch,
                                            const FighterClass* fighterClass);
// The combo the combo lesson shows: the class's first combo of exactly three attacks, else its
// first longer one; 0 when it has none.
int64_t lessonCombo(const FighterClass* fighterClass);
// Touching attacks in a row in the fighter's combo as it stands.
int64_t touchingChain(const Fighter& fighter);
// The lesson to start from: the first not passed in the mask (bit n: lesson n + 1); all
// passed, the first again.
int64_t firstLessonToTake(int64_t passedMask);

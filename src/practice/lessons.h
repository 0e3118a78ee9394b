// The lessons: a guided first fight, one move at a time, against a passive dummy.
#pragma once

#include <cstdint>
#include <functional>

#include "settings/settings.h" // kLessonCount

struct FightContext;

// Runs the lessons in the context's fight, from the first one not yet passed until the last
// is passed or Escape.
void runLessons(FightContext& context);

// What the lessons show in a frame, for tests: the lesson (0 to 5; kLessonCount for the
// closing message), whether it has been passed (its "Well done!" showing), and the frames
// shown since the lessons began.
struct LessonView {
    int64_t lesson = 0;
    bool passed = false;
    int64_t frame = 0;
};
// Called once each frame is drawn, before it is shown: tests look at the lessons there.
extern std::function<void(const LessonView&)> lessonFrameHook;

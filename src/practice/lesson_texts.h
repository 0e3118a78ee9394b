// What each lesson says: its title and what to press, naming player one's own keys (or
// controller), and what is still to do.
#pragma once

#include <cstdint>
#include <string>

#include "practice/lesson_drawing.h"

struct Fighter;
struct LessonWatch;

std::string lessonTitle(int64_t lesson); // "Lesson 1 of 6: Walk"
// The card of a lesson under way, or just passed ("Well done!").
LessonCard lessonCard(const LessonWatch& watch, const Fighter& one, bool passed);
LessonCard closingCard(); // after the last lesson

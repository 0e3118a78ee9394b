// The lessons: a guided first fight, one move at a time, against a passive dummy.
#pragma once

// Runs the lessons from the first one not yet passed until the last is passed or Escape.
void runLessons();

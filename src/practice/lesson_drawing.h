// The lessons' card over the fight: a dark panel under the life gauges with the lesson's
// title, what to press and what is still to do, and the combo to chain as its icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LessonCard {
    std::string title;              // drawn orange
    std::vector<std::string> lines; // wrapped to the panel's width
    std::vector<int64_t> combo;     // stance codes (1-6) shown as icons, first attack first
    double comboFacing = 1;         // 1 facing right, 0 left: where side and back arrows point
    int64_t comboAfterLine = 0;     // the icons go after this many lines
    std::string footer;             // drawn dim at the bottom
};

// The panel's place (pixels): centred, below the life gauges and their portraits.
int64_t lessonPanelTop();
int64_t lessonPanelWidth();
// Characters that fit on one line of the panel.
int64_t lessonLineLength();
// The lines a text is wrapped into (at spaces; a word longer than a line is cut).
std::vector<std::string> wrapLessonLine(const std::string& text, int64_t length);

// The panel's sprite is made anew for each run of the lessons and freed after it.
void beginLessonDrawing();
void endLessonDrawing();
void drawLessonCard(const LessonCard& card);

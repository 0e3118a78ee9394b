// What a frame placed where, for the layout test: every line of text and every picture that
// carries information, as a rectangle in screen pixels with its role. Nothing is kept unless
// a list is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class LayoutRole {
    Text,     // a line of text
    Picture,  // an icon, a stage's picture, a symbol
    Portrait, // a class's picture or portrait
    Gauge,    // a life gauge or a stat gauge
    Panel,    // a backing behind other things: may lie under them but not under another panel
};

struct LaidOut {
    LayoutRole role;
    int64_t x;
    int64_t y;
    int64_t width;
    int64_t height;
    std::string what; // the text itself, or what the picture shows
};

void recordLayout(std::vector<LaidOut>* list); // null stops recording
bool layoutRecording();
void noteLayout(LayoutRole role, int64_t x, int64_t y, int64_t width, int64_t height,
                const std::string& what);
// A sprite drawn at (x, y): the rectangle of its visible pixels.
void noteSpriteLayout(LayoutRole role, int64_t sprite, int64_t x, int64_t y, const std::string& what);
const char* layoutRoleName(LayoutRole role);

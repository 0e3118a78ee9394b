// The tutorial's own small menu, behind the main menu's Tutorial entry.
#pragma once

#include <cstdint>

constexpr int64_t kTutorialLessons = 0;
constexpr int64_t kTutorialTraining = 1;

// The entry kept between visits (-1 after "(go back)" or Back, shown as "(go back)").
extern int64_t tutorialSelection;

// kTutorialLessons, kTutorialTraining, or -1 to go back, once the screen has faded to black.
int64_t runTutorialMenu(int64_t textX, int64_t textY);

// The difficulty screen of a match against the bot.
#pragma once

#include <cstdint>

// The entry kept between visits: -1 after "(go back)" or Back, shown as "(go back)" next time.
extern int64_t difficultySelection;

// 0 Easy, 1 Medium, 2 Hard, or -1 to go back, once the screen has faded to black.
int64_t runDifficultyMenu(int64_t textX, int64_t textY);

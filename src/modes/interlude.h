// The screens between the fights of the arcade and of survival: a title, lines of text in the
// menus' fixed-width letters (so that spaces line columns up), the next opponent's portrait and
// what to press.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Interlude {
    std::string screenName; // as noted when the screen opens
    std::string header;     // e.g. "=======Arcade"
    std::vector<std::string> lines;
    int64_t portraitClassId = -1; // the next opponent's class, -1 for no portrait
    std::string goOn = "fight";   // what Return does, as its hint says
    std::string leave = "give up"; // what Escape does
};

// True when the player went on (Return or player one's neutral key), false when they left
// (Escape or player one's heavy key, or the window closed), once the screen is black.
bool runInterlude(int64_t textX, int64_t textY, const Interlude& screen);

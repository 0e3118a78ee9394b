// A screen of a few entries with "(go back)" last, in the style of the difficulty screen: player
// one moves with the arrows or their up/down keys, chooses with Return or their attack key and
// goes back with Escape or their heavy key; each entry but the last has a description beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ChoiceMenu {
    std::string screenName; // as noted when the screen opens
    std::string header;     // e.g. "=======Difficulty selection"
    std::vector<std::string> labels;       // the last one is "(go back)"
    std::vector<std::string> descriptions; // one per entry before the last
    std::vector<std::string> hints;        // what to press, under the entries
};

// The chosen entry, or -1 to go back, once the screen has faded to black. `kept` is the entry
// highlighted on arrival (-1 shows "(go back)", any other value outside the entries the first)
// and keeps the result for the next visit.
int64_t runChoiceMenu(int64_t textX, int64_t textY, const ChoiceMenu& menu, int64_t& kept);

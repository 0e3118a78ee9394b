// The selection screens' hint lines.
#include "menus/key_hints.h"

#include <algorithm>

#include "input/player_setup.h"
#include "input/action_names.h"
#include "render/text.h"

std::string keyFor(const PlayerSetup& player, int64_t Controls::*action) {
    return actionName(player.keyBindings, player.padIndex, action);
}

std::string keyPairFor(const PlayerSetup& player, int64_t Controls::*first, int64_t Controls::*second) {
    std::string a = keyFor(player, first), b = keyFor(player, second);
    size_t firstWordEnd = a.find(' ');
    if (firstWordEnd != std::string::npos &&
        b.compare(0, firstWordEnd + 1, a, 0, firstWordEnd + 1) == 0)
        return a + "/" + b.substr(firstWordEnd + 1);
    return a + "/" + b;
}

std::string eitherKey(const std::string& fixedKey, const std::string& playersKey) {
    return fixedKey == playersKey ? fixedKey : fixedKey + " or " + playersKey;
}

std::vector<std::string> classAndStanceHints(const PlayerSetup& player) {
    return {keyPairFor(player, &Controls::left, &Controls::right) + ": change class",
            keyPairFor(player, &Controls::up, &Controls::down) + ": change stance"};
}

int64_t hintBlockWidth(const std::vector<std::string>& lines) {
    size_t widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, line.size());
    return int64_t(widest) * kGlyphAdvance;
}

void drawHintLines(const std::vector<std::string>& lines, int64_t x, int64_t y, int64_t tint) {
    for (const std::string& line : lines) y = drawText(line, x, y, tint, 128);
}

// The main menu.
#include "menus/main_menu.h"

#include <algorithm>

#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"
#include "settings/settings.h"

namespace {
const char* const kLabels[kMainMenuEntries] = {"Player vs Player", " Player vs Bot  ",
                                                " View fighters  ", "    Options     ",
                                                "    Tutorial    ", "    Credits     ",
                                                "   Solo modes   ", "      Exit      "};
constexpr int64_t kExitEntry = 7;
} // namespace

int64_t runMainMenu(int64_t textX, int64_t textY, int64_t highlighted) {
    loadSettings();
    noteScreenOpened("main menu");
    int64_t selected = std::clamp<int64_t>(highlighted, 0, kMainMenuEntries - 1);
    int64_t chosen = -1;
    bool quit = false;
    MenuKeys keys;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, "=======Main Menu");
        for (int64_t i = 0; i < kMainMenuEntries; ++i)
            drawMenuEntry(textX + 100, textY + 120 + 20 * i, kLabels[i], i, selected, 0);
        drawText("==============", textX + 120, textY + 120 + 20 * kMainMenuEntries, kOrangeTint, 128);
        if (frozen) return;
        MenuInput input = readMenuInput(keys);
        int64_t moved = std::clamp<int64_t>(selected + input.move, 0, kMainMenuEntries - 1);
        if (moved != selected) {
            selected = moved;
            playMenuSound(kPoolMenuMove);
        }
        if (input.select) {
            playMenuSound(kPoolMenuSelect);
            chosen = selected;
            startFade();
        }
        if (input.back) {
            playMenuSound(kPoolMenuBack);
            quit = true;
            startFade();
        }
    });
    // Closing the window ends the program: the state loop's exit runs the shutdown.
    return !black || quit ? kExitEntry : chosen;
}

// The tutorial menu: lessons for a first fight, or the training room.
#include "menus/tutorial_menu.h"

#include "input/keys.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"

int64_t tutorialSelection = 0;

namespace {
constexpr int64_t kGoBackEntry = 2;
const char* const kLabels[] = {"    Lessons     ", "    Training    ", "   (go back)    "};
const char* const kDescriptions[] = {
    "Six short lessons: walk, jump, the attacks\\and a first combo.",
    "Practise against a dummy, with frame data,\\input history and hit boxes."};
} // namespace

int64_t runTutorialMenu(int64_t textX, int64_t textY) {
    noteScreenOpened("tutorial");
    int64_t highlighted = tutorialSelection == -1 ? kGoBackEntry : tutorialSelection;
    if (highlighted < 0 || highlighted > kGoBackEntry) highlighted = 0;
    int64_t result = -1;
    MenuKeys keys;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, "=======Tutorial");
        for (int64_t i = 0; i <= kGoBackEntry; ++i)
            drawMenuEntry(textX + 100, textY + 120 + 20 * i, kLabels[i], i, highlighted, 0);
        drawText("==============", textX + 120, textY + 120 + 20 * (kGoBackEntry + 1), kOrangeTint,
                 128);
        if (highlighted < kGoBackEntry)
            drawEntryDescription(kDescriptions[highlighted], textX + 500, textY + 120);
        if (frozen) return;
        MenuInput input = readMenuInput(keys);
        // While the screen still clears from black the choice cannot be seen (a Return tapped
        // twice on the screen before would choose here unseen); going back is always safe.
        if (fadeActive && fadeSpeed < 0) input.select = false;
        followEntryList(input, highlighted, kGoBackEntry, result);
    });
    tutorialSelection = result;
    return black ? result : -1;
}

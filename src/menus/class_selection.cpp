// The class selection screen.
#include "menus/class_selection.h"

#include "fight/fight_state.h"
#include "input/keys.h"
#include "menus/fighter_viewer.h"
#include "menus/menu_framework.h"
#include "menus/preview.h"
#include "menus/selection_panels.h"
#include "menus/stats_panel.h"
#include "render/fade.h"
#include "render/sprite_assets.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

int64_t runClassSelection(FightState& fight, int64_t mode) {
    noteScreenOpened("class selection");
    loadStatIcons();
    bool viewer = mode == kViewerMode;
    int64_t intensity = viewer ? 255 : 128;
    // The viewer's fighter stands 30 px right of player two's place, clear of the numbers
    // that Left Shift shows beside the gauges.
    makePreview(rightPreview, viewer ? 80 : double(screenWidth - 1000), -150, viewer ? 1 : 0,
                intensity, true);
    makePreview(leftPreview, 50, -150, 1, intensity,
                mode == kTwoPlayerMode && screenWidth > kWidePreviewScreen);
    bool backTaken = false;
    int64_t result = kNoSelection;
    bool black = runMenuFrames([&](double factor, bool frozen) {
        updateGaugePulse(factor);
        updateReturnHold();
        int64_t code = kNoSelection;
        if (mode == kTwoPlayerMode) code = twoPlayerPanels(fight, factor);
        else if (mode == kAgainstBotMode || mode == kSoloMode)
            code = singleCursorPanel(fight, factor, mode == kSoloMode);
        else viewerFrame(rightPreview, factor);
        if (code != kNoSelection && !fadeActive) {
            playMenuSound(kPoolMenuSelect);
            result = code;
            startFade();
        }
        if (!frozen && !backTaken && keyReleased(kKeyEscape)) {
            backTaken = true;
            playMenuSound(kPoolMenuBack);
            result = kNoSelection;
            startFade();
        }
    });
    freeStatIcons();
    clearPreviewClass(rightPreview);
    freeAllClassPictures();
    return black ? result : kNoSelection;
}

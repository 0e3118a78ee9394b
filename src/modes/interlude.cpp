// The screens between solo fights.
#include "modes/interlude.h"

#include "input/keys.h"
#include "input/player_setup.h"
#include "menus/class_carousel.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
constexpr int64_t kPortraitX = 720; // px from textX: the portrait stands right of the lines
constexpr int64_t kLinesTint = 0xFFFFFF;
} // namespace

bool runInterlude(int64_t textX, int64_t textY, const Interlude& screen) {
    noteScreenOpened(screen.screenName);
    const std::vector<std::string> hints = {
        eitherKey("Return", keyFor(playerSetups[0], &Controls::neutral)) + ": " + screen.goOn,
        eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) + ": " + screen.leave};
    bool goOn = false, chosen = false;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, screen.header);
        int64_t y = textY + 120;
        for (const std::string& line : screen.lines) y = drawText(line, textX + 100, y, kLinesTint, 128);
        drawHintLines(hints, textX + 100, y + 30, kHintGrey);
        if (screen.portraitClassId >= 0)
            drawClassSlot(screen.portraitClassId, textX + kPortraitX, textY + 145, true);
        if (frozen || chosen) return;
        bool select = keyReleased(kKeyReturn);
        select = playerKeyReleased(playerSetups[0], &Controls::neutral) || select;
        bool back = keyReleased(kKeyEscape);
        back = playerKeyReleased(playerSetups[0], &Controls::heavy) || back;
        // As on the menus: no choice while the screen still clears from black.
        if (fadeActive) select = false;
        if (select || back) {
            playMenuSound(select ? kPoolMenuSelect : kPoolMenuBack);
            goOn = select;
            chosen = true;
            startFade();
        }
    });
    freeAllClassPictures();
    return black && goOn;
}

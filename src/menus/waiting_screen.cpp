// The waiting screen.
#include "menus/waiting_screen.h"

#include <algorithm>

#include "fight/fighter.h"
#include "input/keys.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "input/player_setup.h"

bool runWaitingScreen(int64_t textX, int64_t textY, const std::string& screenName,
                      const std::string& title,
                      const std::function<std::vector<std::string>()>& lines,
                      const std::function<bool()>& poll,
                      const std::function<int64_t(int64_t x, int64_t y)>& drawBelow) {
    noteScreenOpened(screenName);
    bool done = false, cancelled = false;
    bool black = runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, title);
        int64_t y = textY + 120;
        for (const std::string& line : lines()) {
            drawPlainText(line, fittedTextX(line, textX + 100), y);
            y += kLineHeight + 2;
        }
        if (drawBelow) y += drawBelow(textX + 100, y);
        // The closing line and the hint stay under the status lines however many there are.
        y = std::max(y + 10, textY + 200);
        drawText("==============", textX + 120, y, kOrangeTint, 128);
        drawHintLines({eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) + ": cancel"},
                      textX + 100, y + 30, kHintGrey);
        // Polled from the first frame (the other side does not wait for the fade in) to the
        // moment something ends the wait; never again while the screen fades out.
        if (!done && !cancelled && poll()) {
            done = true;
            playMenuSound(kPoolMenuSelect);
            startFade();
        }
        if (frozen) return;
        bool back = keyReleased(kKeyEscape);
        back = playerKeyReleased(playerSetups[0], &Controls::heavy) || back;
        // A release while the screen clears from black was meant for the screen before.
        if (fadeActive && fadeSpeed < 0) back = false;
        if (back && !done && !cancelled) {
            cancelled = true;
            playMenuSound(kPoolMenuBack);
            startFade();
        }
    });
    return black && done;
}

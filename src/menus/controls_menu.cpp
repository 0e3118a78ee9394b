// The controls screen.
#include "menus/controls_menu.h"

#include <string>

#include "fight/fighter.h"
#include "input/bindings.h"
#include "input/controls.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
constexpr int64_t kRows = 10;
constexpr int64_t kJumpWithUpRow = 7;
constexpr int64_t kResetRow = 8;
constexpr int64_t kReturnRow = 9;
const char* const kLabels[kRows] = {"     Left       ", "     Right      ", "      Up        ",
                                    "     Down       ", "    Neutral     ", "     Heavy      ",
                                    "     Jump       ", "  Jump with Up  ", "Reset to default",
                                    "    Return      "};
// The action of each key row, in the rows' order.
int64_t Controls::* const kRowKeys[7] = {&Controls::left,    &Controls::right, &Controls::up,
                                         &Controls::down,    &Controls::neutral,
                                         &Controls::heavy,   &Controls::jump};
constexpr int64_t kGrey = RGB(128, 128, 128);
// The highlighted cell's colour: dark red, steady, where the entries on the left pulse orange,
// so that the key being pointed at stands apart from the row's label.
constexpr int64_t kHighlightedCell = RGB(128, 0, 0);

PlayerSetup& columnPlayer(int64_t column) { return playerSetups[size_t(column)]; }

// A cell's colour: highlighted, capturing (the chosen column and the other one), or plain.
int64_t cellColour(int64_t row, int64_t column, int64_t selectedRow, int64_t selectedColumn,
                   bool capturing) {
    if (capturing && row == selectedRow)
        return column == selectedColumn ? RGB(255, 128, 0) : RGB(128, 127, 255);
    if (row == selectedRow && column == selectedColumn) return kHighlightedCell;
    return kGrey;
}
} // namespace

int64_t runControlsMenu(int64_t textX, int64_t textY) {
    noteScreenOpened("controls");
    int64_t row = 0, column = 0;
    bool capturing = false, backTaken = false;
    bool latchUp = false, latchDown = false, latchLeft = false, latchRight = false;
    runMenuFrames([&](double, bool frozen) {
        drawMenuHeader(textX, textY, "=======Controls", kOptionsBanner);
        drawText("=======Left player===", textX + 400, textY + 100, column == 0 ? kOrangeTint : 0x808080, 128);
        drawText("                       ===Right player==", textX + 400, textY + 100,
                 column == 1 ? kOrangeTint : 0x808080, 128);
        for (int64_t i = 0; i < kRows; ++i) {
            int64_t y = textY + 120 + 20 * i;
            drawMenuEntry(textX + 100, y, kLabels[i], i, row, 0);
            for (int64_t c = 0; c < 2; ++c) {
                const PlayerSetup& player = columnPlayer(c);
                std::string value;
                if (i < 7) value = keyNameOf(player.keyBindings.primary.*kRowKeys[i]);
                else if (i == kJumpWithUpRow) value = player.jumpWithUp ? "Enabled" : "Disabled";
                else continue;
                // A mark before the highlighted cell, as its colour alone is easily missed.
                int64_t x = c == 0 ? textX + 500 : textX + 750;
                if (i == row && c == column) drawText(">", x - 20, y, kOrangeTint, 128);
                drawText(value, x, y, cellColour(i, c, row, column, capturing), 128);
            }
        }
        int64_t footerY = textY + 120 + 20 * kRows;
        drawText("==============", textX + 120, footerY, kOrangeTint, 128);
        drawText("N.B. The game may mix up AZERTY and QWERTY", textX + 120, footerY + 20, 0x808080, 128);
        if (frozen) return;
        if (capturing) {
            // Any named key is taken, Escape and Return included; an unnamed one is refused.
            int64_t code = captureKey();
            if (code != 0 && keyNameOf(code) != kUnknownKeyName) {
                playMenuSound(kPoolMenuSelect);
                columnPlayer(column).keyBindings.primary.*kRowKeys[row] = code;
                capturing = false;
            }
            return;
        }
        // Only the arrow keys move here: the players' keys are what is being changed.
        bool up = pressedOnce(keyDown(kKeyUp), latchUp);
        bool down = pressedOnce(keyDown(kKeyDown), latchDown);
        bool left = pressedOnce(keyDown(kKeyLeft), latchLeft);
        bool right = pressedOnce(keyDown(kKeyRight), latchRight);
        if (up || down) {
            row = ((row + (down ? 1 : 0) - (up ? 1 : 0)) % kRows + kRows) % kRows;
            playMenuSound(kPoolMenuMove);
        }
        if (left || right) {
            column = 1 - column;
            playMenuSound(kPoolMenuMove);
        }
        bool select = keyReleased(kKeyReturn);
        select = eitherPlayerKeyReleased(&Controls::neutral) || select;
        if (select && !fadeActive) {
            if (row < 7) {
                // Only a key let go from now on is taken, not one let go before.
                forgetKeyReleases();
                capturing = true;
            } else if (row == kJumpWithUpRow) {
                PlayerSetup& player = columnPlayer(column);
                player.jumpWithUp = player.jumpWithUp ? 0 : 1;
            } else if (row == kResetRow) {
                playMenuSound(kPoolMenuSelect);
                resetBindingsToDefault(playerSetups[0].keyBindings, playerSetups[1].keyBindings);
                playerSetups[0].jumpWithUp = playerSetups[1].jumpWithUp = 0;
            } else if (row == kReturnRow) {
                playMenuSound(kPoolMenuSelect);
                startFade();
            }
            return;
        }
        takeMenuBack(backTaken);
    });
    return 1;
}

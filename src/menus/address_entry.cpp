// The address entry screen.
#include "menus/address_entry.h"

#include <array>

#include "input/keys.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "render/fade.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

namespace {
constexpr int64_t kKeyBackspace = 14;
// Backspace held erases again after this long, then at this pace, in ms.
constexpr double kEraseRepeatDelayMs = 500;
constexpr double kEraseRepeatMs = 50;
constexpr double kTickMs = 20; // the frame factor counts ticks of 20 ms

// The keys that type, by the game's key code (the QWERTY positions; letters are looked up
// through the layout by keyDown when the settings follow it).
const std::array<char, 256>& typingTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        // Each run of keys from its first code; a space is a key that types nothing.
        auto run = [&](int64_t first, const char* keys) {
            for (int64_t i = 0; keys[i] != 0; ++i)
                if (keys[i] != ' ') t[size_t(first + i)] = keys[i];
        };
        run(2, "1234567890-");   // the digits' row and the key after them
        run(16, "qwertyuiop[]");
        run(30, "asdfghjkl:");   // the key of ";" types ":"
        run(44, "zxcvbnm .");    // "," types nothing
        run(71, "789-456 1230."); // the keypad, "+" typing nothing
        return t;
    }();
    return table;
}

// Where the typed text starts on the screen, from textX / textY, in px.
constexpr int64_t kFieldX = 100;
constexpr int64_t kFieldY = 160;

// The width of a line of text as drawText places it, in px: the punctuation kerning moves
// ".", "," and ";" 5 px to the left.
int64_t drawnWidth(const std::string& text) {
    int64_t width = 0;
    for (char c : text) width += kGlyphAdvance - (c == '.' || c == ',' || c == ';' ? 5 : 0);
    return width;
}
} // namespace

char addressCharacterOf(int64_t keyCode) {
    if (keyCode < 0 || keyCode > 255) return 0;
    return typingTable()[size_t(keyCode)];
}

bool runAddressEntry(int64_t textX, int64_t textY, std::string& address) {
    noteScreenOpened("join online");
    std::string typed = address.substr(0, kMaxAddressLength);
    std::array<bool, 256> wasDown{}; // each key types when it goes down, once per press
    bool firstFrame = true;
    bool eraseWasDown = false, erasePressed = false;
    double eraseHeldMs = 0, nextEraseMs = 0; // Backspace's hold and its next erasing, in ms
    bool accepted = false, leaving = false;
    const std::vector<std::string> hints = {"Type the address", "Backspace: erase",
                                            "Return: connect", "Escape: go back"};
    bool black = runMenuFrames([&](double frameFactor, bool frozen) {
        drawMenuHeader(textX, textY, "=======Join online");
        drawPlainText("Address of the host (port 7770 unless given as HOST:PORT):", textX + 100,
                      textY + 120);
        if (!typed.empty()) drawText(typed, textX + kFieldX, textY + kFieldY, kOrangeTint, 128);
        // The cursor pulses like a highlighted menu entry, 2 px after the last character.
        if (!leaving)
            drawText("_", textX + kFieldX + drawnWidth(typed) + 2, textY + kFieldY, kOrangeTint,
                     roundToInt(menuPulse));
        drawText("==============", textX + 120, textY + 200, kOrangeTint, 128);
        drawHintLines(hints, textX + 100, textY + 230, kHintGrey);
        if (frozen) return;
        // Keys held when the screen opens (the Return that chose "Join online") type nothing;
        // neither do keys pressed while the screen clears from black, before it can be seen.
        bool clearing = fadeActive && fadeSpeed < 0;
        for (int64_t code = 1; code < 256; ++code) {
            char c = addressCharacterOf(code);
            if (c == 0) continue;
            bool down = keyDown(code) != 0;
            bool fresh = down && !wasDown[size_t(code)] && !firstFrame;
            wasDown[size_t(code)] = down;
            if (fresh && !clearing && !leaving && typed.size() < kMaxAddressLength) typed += c;
        }
        // Backspace erases at its press (one seen on this screen), then again while held.
        bool erasing = keyDown(kKeyBackspace) != 0;
        if (!erasing) erasePressed = false;
        else if (!eraseWasDown && !firstFrame && !clearing) erasePressed = true;
        eraseWasDown = erasing;
        if (erasePressed && !leaving) {
            if (eraseHeldMs >= nextEraseMs && !typed.empty()) {
                typed.pop_back();
                nextEraseMs = nextEraseMs == 0 ? kEraseRepeatDelayMs : nextEraseMs + kEraseRepeatMs;
            }
            eraseHeldMs += frameFactor * kTickMs;
        } else {
            eraseHeldMs = nextEraseMs = 0;
        }
        firstFrame = false;
        // Return and Escape act when let go, like the menus' keys; their releases during the
        // fade in are read and dropped. Player one's keys do not act here: they type.
        bool select = keyReleased(kKeyReturn) != 0;
        bool back = keyReleased(kKeyEscape) != 0;
        if (clearing || leaving) return;
        if (select && !typed.empty()) {
            playMenuSound(kPoolMenuSelect);
            accepted = leaving = true;
            startFade();
        } else if (back) {
            playMenuSound(kPoolMenuBack);
            leaving = true;
            startFade();
        }
    });
    if (!black || !accepted) return false;
    address = typed;
    return true;
}

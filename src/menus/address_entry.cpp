// The address entry screen.
#include "menus/address_entry.h"

#include <array>
#include <cctype>
#include <cstring>

#include "input/controls.h"
#include "input/keys.h"
#include "input/player_setup.h"
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

const EntryKind kJoinEntry = {"join online", "=======Join online",
                               "Address of the host (port 7770 unless given as HOST:PORT):",
                               "Return: connect", kMaxAddressLength, false, ""};
const EntryKind kLobbyEntry = {"lobby address", "=======Lobby",
                                "Address of the lobby (port 7771 unless given as HOST:PORT):",
                                "Return: keep (empty: no lobby)", kMaxAddressLength, true, ""};

char addressCharacterOf(int64_t keyCode) {
    if (keyCode < 0 || keyCode > 255) return 0;
    return typingTable()[size_t(keyCode)];
}

namespace {
// Either player's controller: its four directions pressed since the last frame, then its
// confirm and back keys let go (as the menus take them, so that no release is left over for
// the screen before).
struct PadLatches {
    std::array<bool, 4> held{};
};
std::array<bool, 6> padPresses(PadLatches& latches) {
    static int64_t Controls::*const keys[6] = {&Controls::up,      &Controls::down,
                                              &Controls::left,    &Controls::right,
                                              &Controls::neutral, &Controls::heavy};
    std::array<bool, 6> pressed{};
    for (size_t k = 0; k < pressed.size(); ++k) {
        bool down = false;
        for (const PlayerSetup& player : playerSetups) {
            if (player.padIndex < 0) continue;
            if (k < 4) down = padActionDown(player.padIndex, keys[k]) || down;
            else pressed[k] = padActionReleased(player.padIndex, keys[k]) || pressed[k];
        }
        if (k < 4) pressed[k] = pressedOnce(down, latches.held[k]);
    }
    return pressed;
}

// The typed character as the kind takes it: upper case among its pickable ones, 0 when refused.
char takenCharacter(char c, const EntryKind& kind) {
    if (kind.pickable[0] == 0) return c;
    char upper = char(std::toupper(static_cast<unsigned char>(c)));
    return std::strchr(kind.pickable, upper) != nullptr ? upper : 0;
}

// The pickable character `step` places after `c` (wrapping round), the first for none.
char steppedCharacter(char c, int64_t step, const char* pickable) {
    const int64_t count = int64_t(std::strlen(pickable));
    const char* at = std::strchr(pickable, c);
    if (at == nullptr || c == 0) return pickable[0];
    return pickable[((at - pickable) + step + count) % count];
}
} // namespace

bool runAddressEntry(int64_t textX, int64_t textY, std::string& address, const EntryKind& kind) {
    noteScreenOpened(kind.screenName);
    std::string typed = address.substr(0, kind.maxLength);
    PadLatches pads;
    const bool picking = kind.pickable[0] != 0;
    std::array<bool, 256> wasDown{}; // each key types when it goes down, once per press
    bool firstFrame = true;
    bool eraseWasDown = false, erasePressed = false;
    double eraseHeldMs = 0, nextEraseMs = 0; // Backspace's hold and its next erasing, in ms
    bool accepted = false, leaving = false;
    std::vector<std::string> hints = {picking ? "Type it, or pick with a controller" : "Type the address",
                                      "Backspace: erase", kind.acceptHint, "Escape: go back"};
    bool black = runMenuFrames([&](double frameFactor, bool frozen) {
        drawMenuHeader(textX, textY, kind.title);
        drawPlainText(kind.prompt, textX + 100, textY + 120);
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
            if (fresh && !clearing && !leaving && typed.size() < kind.maxLength &&
                takenCharacter(c, kind) != 0)
                typed += takenCharacter(c, kind);
        }
        // A controller: up and down step the last character, right adds one, left erases.
        std::array<bool, 6> pad = padPresses(pads);
        if (picking && !clearing && !leaving && !firstFrame) {
            if ((pad[0] || pad[1]) && typed.empty()) typed += kind.pickable[0];
            else if (pad[0] || pad[1]) typed.back() = steppedCharacter(typed.back(), pad[0] ? -1 : 1, kind.pickable);
            if (pad[3] && typed.size() < kind.maxLength) typed += kind.pickable[0];
            if (pad[2] && !typed.empty()) typed.pop_back();
            if (pad[0] || pad[1] || pad[2] || pad[3]) playMenuSound(kPoolMenuMove);
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
        bool select = keyReleased(kKeyReturn) != 0 || (picking && pad[4]);
        bool back = keyReleased(kKeyEscape) != 0 || (picking && pad[5]);
        if (clearing || leaving) return;
        if (select && (!typed.empty() || kind.emptyAllowed)) {
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

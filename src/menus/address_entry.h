// The join screen's address entry: the player types the address of the computer that hosts.
#pragma once

#include <cstdint>
#include <string>

// What one entry screen asks for and takes.
struct EntryKind {
    const char* screenName; // for noteScreenOpened
    const char* title;      // the menu header
    const char* prompt;     // the line above the field
    const char* acceptHint; // "Return: connect"
    size_t maxLength;       // characters
    bool emptyAllowed;      // Return takes an empty field too (it clears a setting)
    // Characters a controller steps through with up and down, in order ("" none: typing only).
    // When given, a typed character counts only if it is one of them (after upper-casing).
    const char* pickable;
};
extern const EntryKind kJoinEntry;  // the host's address to join
extern const EntryKind kLobbyEntry; // the lobby's address, a setting

// Lets the player type, starting from `text`. True with the typed text in `text` on Return
// (only once it is not empty, unless the kind allows it); false on Escape or when the window
// closes, with `text` as it was. With pickable characters a controller types too: up and down
// change the last character, right adds one, left erases, its confirm and back keys act.
bool runAddressEntry(int64_t textX, int64_t textY, std::string& text, const EntryKind& kind = kJoinEntry);

// The character a key types on this screen, 0 for none: letters (lower case, following the
// keyboard's layout when the settings ask for it), digits and the keypad's, ".", "-", the
// key of ";" typing ":" (an address has no ";", and IPv6 needs ":"), "[" and "]".
char addressCharacterOf(int64_t keyCode);

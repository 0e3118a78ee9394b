// The join screen's address entry: the player types the address of the computer that hosts.
#pragma once

#include <cstdint>
#include <string>

// Lets the player type the host's address, starting from `address`. True with the typed text
// in `address` on Return (only once it is not empty); false on Escape or when the window
// closes, with `address` as it was.
bool runAddressEntry(int64_t textX, int64_t textY, std::string& address);

// The character a key types on this screen, 0 for none: letters (lower case, following the
// keyboard's layout when the settings ask for it), digits and the keypad's, ".", "-", the
// key of ";" typing ":" (an address has no ";", and IPv6 needs ":"), "[" and "]".
char addressCharacterOf(int64_t keyCode);

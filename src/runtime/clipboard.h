// The desktop's clipboard: the game puts text there for the player to paste elsewhere.
#pragma once

#include <string>

// True once `text` is on the clipboard. Headless, the clipboard is the game's own (nothing
// reaches the desktop) and always takes the text.
bool copyToClipboard(const std::string& text);
// What the game last put on the clipboard ("" nothing yet): what a test reads back.
const std::string& lastCopiedText();

// The clipboard, through SDL's.
#include "runtime/clipboard.h"

#include <SDL.h>

#include "runtime/headless.h"

namespace {
std::string copied;
}

bool copyToClipboard(const std::string& text) {
    if (!isHeadless() && SDL_SetClipboardText(text.c_str()) != 0) return false;
    copied = text;
    return true;
}

const std::string& lastCopiedText() { return copied; }

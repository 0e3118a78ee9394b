// The credits: a page of two columns naming the game's parts, what it is built on, and thanks.
#pragma once

#include <cstdint>

// Returns once the page has been left (Escape or a heavy key) and the screen is black.
void runCredits(int64_t textX, int64_t textY);

// The framed backdrop that every menu and the fight draw first: orange frames darkening
// inwards around a dark grey field, the size of the screen.
#pragma once

#include <cstdint>

// The backdrop's sprite, made when missing or of another size than the screen.
int64_t menuBackgroundSprite();
void resetMenuBackground(); // forgets its sprite number (a new run)

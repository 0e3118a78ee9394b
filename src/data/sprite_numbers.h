// Sprite numbers: the game hands out its own numbers of runtime sprites from one counter.
#pragma once

#include <cstdint>

extern int64_t nextSpriteNumber; // starts at 1

int64_t takeSpriteNumber();                 // one number
int64_t takeSpriteNumbers(int64_t count);   // a block: the first of count numbers

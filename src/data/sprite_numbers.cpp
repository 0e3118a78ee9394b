// The sprite number counter.
#include "data/sprite_numbers.h"

int64_t nextSpriteNumber = 1;

int64_t takeSpriteNumber() { return nextSpriteNumber++; }

int64_t takeSpriteNumbers(int64_t count) {
    int64_t first = nextSpriteNumber;
    nextSpriteNumber += count;
    return first;
}

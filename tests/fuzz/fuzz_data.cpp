// Fuzz target: a whole data.json through the game's loader, as quarrelix-data loads it.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedGameData(data, size));
}

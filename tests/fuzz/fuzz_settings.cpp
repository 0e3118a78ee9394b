// Fuzz target: settings.txt through the game's settings reader, saved and read back.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedSettings(data, size));
}

// Fuzz target: the JSON layer: parse, navigate, compose, and read the composed text back.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedJson(data, size));
}

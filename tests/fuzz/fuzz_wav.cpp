// Fuzz target: WAV files through the runtime's sound loading and a short mix.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedWav(data, size));
}

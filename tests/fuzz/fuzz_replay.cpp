// Fuzz target: a replay file through the replay reader, as it is and with its body sealed as
// the writer seals it; what reads is encoded and read back.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedReplay(data, size));
}

// Fuzz target: a datagram to the lobby through its decoder (what decodes is encoded again and
// must give the same bytes) and into a lobby that lives across inputs.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedLobby(data, size));
}

// Fuzz target: PNG files through the runtime's loadPng. libpng rejects a chunk whose CRC does
// not match, so a plain mutation almost never reaches the decoder: mutated inputs get their
// signature and chunk CRCs repaired before they run.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <zlib.h>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {
const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t readBigEndian(const uint8_t* at) {
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3];
}

void writeBigEndian(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value >> 24);
    at[1] = uint8_t(value >> 16);
    at[2] = uint8_t(value >> 8);
    at[3] = uint8_t(value);
}

// Chunks are length (4), type (4), data (length), CRC (4) of type and data. The walk stops at
// the first chunk that runs past the end: that one is left broken.
void repairPng(uint8_t* data, size_t size) {
    if (size < sizeof kSignature) return;
    // A mutated signature is refused in the first eight bytes and teaches the fuzzer nothing.
    std::memcpy(data, kSignature, sizeof kSignature);
    size_t at = sizeof kSignature;
    while (size - at >= 12) {
        uint32_t length = readBigEndian(data + at);
        if (length > size - at - 12) break;
        uLong crc = crc32(0L, data + at + 4, uInt(length) + 4);
        writeBigEndian(data + at + 8 + length, uint32_t(crc));
        at += size_t(length) + 12;
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedPng(data, size));
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    repairPng(data, size);
    return size;
}

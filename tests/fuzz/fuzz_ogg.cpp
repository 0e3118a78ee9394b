// Fuzz target: Ogg Vorbis files through the runtime's sound loading and a short mix. libogg
// drops a page whose checksum does not match, so a plain mutation almost never reaches the
// Vorbis decoder: mutated inputs get their page checksums repaired before they run.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "reader_feeds.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {
// Ogg's CRC-32: polynomial 0x04C11DB7, most significant bit first, no reflection, starting at
// zero, no final inversion.
uint32_t crcTable[256];

void makeCrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        crcTable[i] = r;
    }
}

uint32_t oggCrc(const uint8_t* data, size_t size) {
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ crcTable[((crc >> 24) ^ data[i]) & 0xFF];
    return crc;
}

// A page: "OggS", version, flags, granule position (8), serial (4), sequence (4), CRC (4,
// little-endian, computed with the field zeroed), segment count, segment table, body. libogg
// finds pages by their capture pattern, so every "OggS" whose page fits is repaired.
void repairOgg(uint8_t* data, size_t size) {
    size_t at = 0;
    while (size - at >= 27) {
        if (std::memcmp(data + at, "OggS", 4) != 0) {
            ++at;
            continue;
        }
        size_t segments = data[at + 26];
        size_t header = 27 + segments;
        if (size - at < header) break;
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s) body += data[at + 27 + s];
        if (size - at - header < body) {
            ++at;
            continue;
        }
        std::memset(data + at + 22, 0, 4);
        uint32_t crc = oggCrc(data + at, header + body);
        for (int i = 0; i < 4; ++i) data[at + 22 + size_t(i)] = uint8_t(crc >> (8 * i));
        at += header + body;
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeCrcTable();
    startFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return checkFeed(feedOgg(data, size));
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    repairOgg(data, size);
    return size;
}

// Hand-made PNG files for tests: chunks with their checksums, and headers that lie.
#pragma once

#include <cstdint>
#include <string>

// The PNG chunk checksum (the CRC-32 of zlib and gzip).
inline uint32_t pngChecksum(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

inline std::string bigEndian32(uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

inline std::string pngChunk(const std::string& type, const std::string& data) {
    return bigEndian32(uint32_t(data.size())) + type + data + bigEndian32(pngChecksum(type + data));
}

// A 69-byte PNG: a header declaring width x height (8-bit RGBA), then a few bytes of deflate
// data that hold hardly a row.
inline std::string lyingPng(uint32_t width, uint32_t height) {
    std::string header = bigEndian32(width) + bigEndian32(height) + std::string("\x08\x06\0\0\0", 5);
    std::string data("\x78\x9C\x63\x60\x00\x00\x00\x02\x00\x01\x00\x00", 12);
    return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", data) +
           pngChunk("IEND", "");
}

// 57 bytes: a 4 x 4 header, then a chunk of `type` declaring almost 2 GiB that is not there.
inline std::string hugeChunkPng(const std::string& type) {
    std::string header = bigEndian32(4) + bigEndian32(4) + std::string("\x08\x06\0\0\0", 5);
    return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) + bigEndian32(0x7FFFFFF0u) +
           type + std::string(16, 'x');
}

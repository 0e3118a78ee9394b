// Hashing: FNV-1a over 64 bits.
#include "runtime/hashing.h"

#include <cstdio>

#include "runtime/files.h"

namespace {
constexpr uint64_t kFnvPrime = 1099511628211ull;
}

uint64_t hashBytes(const void* data, size_t size, uint64_t seed) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    uint64_t hash = seed;
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= kFnvPrime;
    }
    return hash;
}

uint64_t hashText(const std::string& bytes, uint64_t seed) {
    return hashBytes(bytes.data(), bytes.size(), seed);
}

uint64_t hashFile(const std::string& path) {
    if (fileSize(path) < 0) return 0; // missing or a directory
    std::FILE* file = std::fopen(gamePath(path).c_str(), "rb");
    if (!file) return 0;
    uint64_t hash = kHashSeed;
    unsigned char buffer[65536]; // one piece at a time: a large file costs no memory
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) hash = hashBytes(buffer, got, hash);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? 0 : hash;
}

// Hashing: a fast 64-bit hash of bytes (FNV-1a) for checksums, content fingerprints and the
// fight state. Not for anything an adversary must not be able to forge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// FNV-1a's offset basis: the hash of no bytes.
constexpr uint64_t kHashSeed = 14695981039346656037ull;

// The hash of size bytes at data. Chains: hashBytes(b, hashBytes(a)) is the hash of a then b,
// so a value can be hashed piece by piece.
uint64_t hashBytes(const void* data, size_t size, uint64_t seed = kHashSeed);
uint64_t hashText(const std::string& bytes, uint64_t seed = kHashSeed);
// The hash of a whole file's bytes, read in pieces; 0 when it cannot be read (missing, a
// directory, a read error). An empty file hashes to kHashSeed.
uint64_t hashFile(const std::string& path);

// Compression: whole byte strings as zlib streams (RFC 1950: deflate with an Adler-32 check),
// for the game's own binary files.
#pragma once

#include <cstddef>
#include <string>

// Compresses at the best level. False only when zlib fails (out of memory).
bool deflateBytes(const std::string& bytes, std::string& compressed);

enum InflateResult {
    kInflated = 0,
    kInflateTooLarge = 1,  // the stream holds more than the limit
    kInflateDamaged = 2,   // not a zlib stream, or its check value does not match
    kInflateTruncated = 3, // the stream stops before its end
    kInflateTrailing = 4,  // bytes follow the end of the stream
};

// Inflates one whole zlib stream that makes at most maxBytes. Output past the limit is refused
// as soon as it appears, so a small hostile stream that would inflate to gigabytes costs at
// most maxBytes (plus a piece of 64 KB). bytes holds what was inflated, even on failure.
InflateResult inflateBytes(const std::string& compressed, size_t maxBytes, std::string& bytes);
const char* inflateResultText(InflateResult result); // e.g. "the compressed data stops early"

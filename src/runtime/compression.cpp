// Compression through zlib.
#include "runtime/compression.h"

#include <algorithm>
#include <climits>

#include <zlib.h>

namespace {
constexpr size_t kPiece = 65536; // bytes handed to and taken from zlib per call

// zlib counts in unsigned int: longer inputs are handed over a piece at a time.
uInt nextInput(z_stream& stream, const std::string& input, size_t& offset) {
    size_t count = std::min<size_t>(input.size() - offset, UINT_MAX / 2);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + offset));
    stream.avail_in = uInt(count);
    offset += count;
    return uInt(count);
}
} // namespace

bool deflateBytes(const std::string& bytes, std::string& compressed) {
    compressed.clear();
    z_stream stream{};
    if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK) return false;
    size_t offset = 0;
    nextInput(stream, bytes, offset);
    unsigned char piece[kPiece];
    int status = Z_OK;
    while (status == Z_OK || status == Z_BUF_ERROR) {
        if (stream.avail_in == 0 && offset < bytes.size()) nextInput(stream, bytes, offset);
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        int flush = offset < bytes.size() ? Z_NO_FLUSH : Z_FINISH;
        status = deflate(&stream, flush);
        compressed.append(reinterpret_cast<const char*>(piece), sizeof piece - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_out != 0 && stream.avail_in == 0 &&
            offset >= bytes.size())
            break; // cannot happen with Z_FINISH and room to write; never loop on it
    }
    deflateEnd(&stream);
    return status == Z_STREAM_END;
}

InflateResult inflateBytes(const std::string& compressed, size_t maxBytes, std::string& bytes) {
    bytes.clear();
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return kInflateDamaged;
    size_t offset = 0;
    nextInput(stream, compressed, offset);
    unsigned char piece[kPiece];
    InflateResult result = kInflateTruncated;
    for (;;) {
        if (stream.avail_in == 0 && offset < compressed.size()) nextInput(stream, compressed, offset);
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        int status = inflate(&stream, Z_NO_FLUSH);
        size_t made = sizeof piece - stream.avail_out;
        if (made > maxBytes - bytes.size()) {
            result = kInflateTooLarge;
            break;
        }
        bytes.append(reinterpret_cast<const char*>(piece), made);
        if (status == Z_STREAM_END) {
            result = stream.avail_in == 0 && offset >= compressed.size() ? kInflated
                                                                         : kInflateTrailing;
            break;
        }
        if (status == Z_OK) continue;
        if (status == Z_BUF_ERROR && made == 0 && stream.avail_in == 0 &&
            offset >= compressed.size()) {
            result = kInflateTruncated; // all input used and the stream has not ended
            break;
        }
        if (status == Z_BUF_ERROR) continue; // more room or input arrives on the next turn
        result = kInflateDamaged;             // Z_DATA_ERROR, Z_NEED_DICT, Z_MEM_ERROR
        break;
    }
    inflateEnd(&stream);
    return result;
}

const char* inflateResultText(InflateResult result) {
    switch (result) {
    case kInflated: return "inflated";
    case kInflateTooLarge: return "the compressed data holds more than it should";
    case kInflateDamaged: return "the compressed data is damaged";
    case kInflateTruncated: return "the compressed data stops early";
    case kInflateTrailing: return "bytes follow the compressed data";
    }
    return "the compressed data is damaged";
}

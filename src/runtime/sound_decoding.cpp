// Decoding WAV and Ogg Vorbis files for the mixer.
#include "runtime/sound_decoding.h"

#include <algorithm>
#include <cstring>

#include "runtime/internal.h"

namespace {
uint32_t littleEndian32(const unsigned char* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

size_t memoryRead(void* into, size_t size, size_t count, void* source) {
    auto* stream = static_cast<MemoryStream*>(source);
    size_t bytes = std::min(size * count, stream->size - stream->at);
    std::memcpy(into, stream->data + stream->at, bytes);
    stream->at += bytes;
    return size ? bytes / size : 0;
}

int memorySeek(void* source, ogg_int64_t offset, int whence) {
    auto* stream = static_cast<MemoryStream*>(source);
    int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? int64_t(stream->at)
                                                               : int64_t(stream->size);
    int64_t to = base + offset;
    if (to < 0 || to > int64_t(stream->size)) return -1;
    stream->at = size_t(to);
    return 0;
}

long memoryTell(void* source) { return long(static_cast<MemoryStream*>(source)->at); }

// Walks the Ogg pages: each must lie wholly within the file, the pages must fill it exactly
// and the last must end its stream. vorbisfile plays a cut file up to the cut without a word;
// a file that ends early is broken, and refused like one.
bool oggPagesFit(const unsigned char* bytes, int64_t size) {
    constexpr int64_t kPageHeader = 27; // bytes before the segment table
    bool ended = false;
    int64_t at = 0;
    while (at < size) {
        if (size - at < kPageHeader || std::memcmp(bytes + at, "OggS", 4) != 0) return false;
        int64_t segments = bytes[at + 26];
        if (size - at - kPageHeader < segments) return false;
        int64_t body = 0;
        for (int64_t i = 0; i < segments; ++i) body += bytes[at + kPageHeader + i];
        int64_t page = kPageHeader + segments + body;
        if (page > size - at) return false;
        ended = (bytes[at + 5] & 4) != 0; // the end-of-stream flag
        at += page;
    }
    return ended;
}
} // namespace

// Walks the RIFF chunks before SDL sees the file: SDL allocates what a chunk declares, so a
// 48-byte file declaring a 4 GB data chunk would cost 4 GB. Every chunk must lie within the
// file, the format chunk must come before the data chunk, which must hold at least a byte.
bool wavChunksFit(const unsigned char* bytes, int64_t size) {
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return false;
    bool format = false;
    for (int64_t at = 12; at + 8 <= size;) {
        int64_t length = littleEndian32(bytes + at + 4);
        if (length > size - at - 8) return false;
        if (std::memcmp(bytes + at, "fmt ", 4) == 0) format = true;
        if (std::memcmp(bytes + at, "data", 4) == 0) return format && length > 0;
        at += 8 + length + (length & 1); // chunks are padded to an even length
    }
    return false; // no data chunk
}

bool decodeWav(const void* bytes, int64_t size, SoundData& out) {
    SDL_RWops* source = SDL_RWFromConstMem(bytes, int(size));
    if (!source) return false;
    SDL_AudioSpec stored;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(source, 1, &stored, &buffer, &length)) return false;
    // SDL drops a partial last frame: a data chunk smaller than one frame leaves nothing.
    if (length == 0) {
        SDL_FreeWAV(buffer);
        return false;
    }
    int channels = stored.channels >= 2 ? 2 : 1;
    int64_t sourceSamples = int64_t(length) / std::max(SDL_AUDIO_BITSIZE(stored.format) / 8, 1);
    if (stored.channels == 0 || sourceSamples / stored.channels * channels > kMaxSoundSamples) {
        SDL_FreeWAV(buffer);
        return false;
    }
    SDL_AudioCVT convert;
    int built = SDL_BuildAudioCVT(&convert, stored.format, stored.channels, stored.freq, AUDIO_S16SYS,
                                  Uint8(channels), stored.freq);
    bool ok = built >= 0;
    if (ok) {
        std::vector<Uint8> work(size_t(length) * size_t(std::max(convert.len_mult, 1)));
        std::memcpy(work.data(), buffer, length);
        convert.buf = work.data();
        convert.len = int(length);
        if (built == 1) ok = SDL_ConvertAudio(&convert) == 0;
        else convert.len_cvt = int(length);
        // Whole frames of 16-bit samples only: a converted stream shorter than one frame
        // (a byte of 8-bit data, one sample of a stereo pair) plays nothing and is refused.
        size_t frames = ok ? size_t(convert.len_cvt) / (2 * size_t(channels)) : 0;
        ok = ok && frames > 0;
        if (ok) {
            out.channels = channels;
            out.rate = stored.freq;
            out.samples.resize(frames * size_t(channels));
            std::memcpy(out.samples.data(), work.data(), out.samples.size() * 2);
            out.ready = int64_t(frames);
        }
    }
    SDL_FreeWAV(buffer);
    return ok && !out.samples.empty() && out.rate > 0;
}

bool openOgg(OggDecoder& decoder, const void* bytes, int64_t size, SoundData& out) {
    if (!oggPagesFit(static_cast<const unsigned char*>(bytes), size)) return false;
    decoder.stream = {static_cast<const unsigned char*>(bytes), size_t(size), 0};
    ov_callbacks callbacks{memoryRead, memorySeek, nullptr, memoryTell};
    if (ov_open_callbacks(&decoder.stream, &decoder.file, nullptr, 0, callbacks) != 0) return false;
    decoder.open = true;
    vorbis_info* info = ov_info(&decoder.file, -1);
    if (!info || info->channels <= 0 || info->rate <= 0) return false;
    // The length the last page declares (any 64-bit value: compared by division, never
    // multiplied); the decoding holds to it.
    ogg_int64_t declared = ov_pcm_total(&decoder.file, -1);
    int channels = info->channels >= 2 ? 2 : 1;
    if (declared <= 0 || declared > kMaxSoundSamples / channels) return false;
    decoder.sourceChannels = info->channels;
    decoder.block.resize(4096 * size_t(info->channels));
    out.channels = channels;
    out.rate = info->rate;
    out.samples.assign(size_t(declared) * size_t(channels), 0);
    return true;
}

// Decodes the next block into the sound, up to its declared length.
OggBlock decodeOggBlock(OggDecoder& decoder, SoundData& out) {
    int section = 0;
    long read;
    do {
        read = ov_read(&decoder.file, reinterpret_cast<char*>(decoder.block.data()),
                       int(decoder.block.size() * 2), 0, 2, 1, &section);
    } while (read == OV_HOLE);
    if (read < 0) return OggBlock::kDamaged;
    if (read == 0) return OggBlock::kEnd;
    int64_t frames = std::min<int64_t>(read / 2 / decoder.sourceChannels,
                                       out.frames() - decoder.written);
    for (int64_t f = 0; f < frames; ++f)
        for (int64_t c = 0; c < out.channels; ++c)
            out.samples[size_t((decoder.written + f) * out.channels + c)] =
                decoder.block[size_t(f * decoder.sourceChannels + c)];
    decoder.written += frames;
    return decoder.written < out.frames() ? OggBlock::kMore : OggBlock::kEnd;
}

bool decodeOgg(const void* bytes, int64_t size, SoundData& out) {
    OggDecoder decoder;
    if (!openOgg(decoder, bytes, size, out)) return false;
    OggBlock step;
    while ((step = decodeOggBlock(decoder, out)) == OggBlock::kMore) {}
    if (step == OggBlock::kDamaged || decoder.written == 0) return false;
    out.samples.resize(size_t(decoder.written * out.channels)); // a stream shorter than declared
    out.ready = decoder.written;
    return true;
}

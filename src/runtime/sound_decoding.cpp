// Decoding WAV and Ogg Vorbis files for the mixer.
#include "runtime/sound_decoding.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

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

// Walks the Ogg pages: each must lie wholly within the file, and one must end the stream.
// vorbisfile plays a cut file up to the cut without a word; a file that ends early is broken,
// and refused like one. Bytes after the stream's end (a tag some tools append) are left out:
// the stream's length in bytes, or 0 with the reason.
int64_t oggStreamLength(const unsigned char* bytes, int64_t size, std::string& why) {
    constexpr int64_t kPageHeader = 27; // bytes before the segment table
    int64_t at = 0;
    while (at < size) {
        if (size - at < kPageHeader || std::memcmp(bytes + at, "OggS", 4) != 0) {
            why = at == 0 ? "it is not an Ogg file" : "it holds something else than Ogg pages";
            return 0;
        }
        int64_t segments = bytes[at + 26];
        int64_t body = 0;
        for (int64_t i = 0; i < segments && kPageHeader + i < size - at; ++i)
            body += bytes[at + kPageHeader + i];
        int64_t page = kPageHeader + segments + body;
        if (page > size - at) {
            why = "the file ends within an Ogg page: it was cut short";
            return 0;
        }
        at += page;
        if ((bytes[at - page + 5] & 4) != 0) return at; // the end-of-stream flag
    }
    why = "the file ends before its Ogg stream does: it was cut short";
    return 0;
}

// Front left and right of each of the channels Vorbis orders for 1 to 8 channels (its own
// channel map): centres to both sides, surrounds and rears to their side, the rear
// centre and the low frequencies to both at lower weights. Each side's weights sum to 1, so
// that full-scale channels never clip.
struct Downmix {
    float left[8], right[8];
};
Downmix downmixFor(int channels) {
    constexpr float kC = 0.7071f, kL = 0.5f;
    // Per channel: its weight to the left and to the right before scaling.
    static const std::vector<std::vector<std::pair<float, float>>> maps = {
        {},
        {{1, 1}},
        {{1, 0}, {0, 1}},
        {{1, 0}, {kC, kC}, {0, 1}},                                  // L C R
        {{1, 0}, {0, 1}, {kC, 0}, {0, kC}},                          // FL FR RL RR
        {{1, 0}, {kC, kC}, {0, 1}, {kC, 0}, {0, kC}},                // FL C FR RL RR
        {{1, 0}, {kC, kC}, {0, 1}, {kC, 0}, {0, kC}, {kL, kL}},      // ... LFE
        {{1, 0}, {kC, kC}, {0, 1}, {kC, 0}, {0, kC}, {kL, kL}, {kL, kL}}, // FL C FR SL SR RC LFE
        {{1, 0}, {kC, kC}, {0, 1}, {kC, 0}, {0, kC}, {kC, 0}, {0, kC}, {kL, kL}}, // ... RL RR LFE
    };
    Downmix mix{};
    const auto& map = maps[size_t(std::clamp(channels, 1, 8))];
    float leftSum = 0, rightSum = 0;
    for (const auto& [l, r] : map) leftSum += l, rightSum += r;
    for (size_t c = 0; c < map.size(); ++c) {
        mix.left[c] = map[c].first / leftSum;
        mix.right[c] = map[c].second / rightSum;
    }
    return mix;
}
} // namespace

// Walks the RIFF chunks before SDL sees the file: SDL allocates what a chunk declares, so a
// 48-byte file declaring a 4 GB data chunk would cost 4 GB. Every chunk before the data must
// lie within the file, the format chunk must come before the data chunk, which must hold at
// least a byte. A data chunk whose length was unknown when it was written (a recording
// streamed: 0xFFFFFFFF or 0) is taken as what the file holds.
bool wavLayout(const unsigned char* bytes, int64_t size, WavLayout& layout, std::string& why) {
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        why = "it is not a WAV file";
        return false;
    }
    for (int64_t at = 12; at + 8 <= size;) {
        int64_t length = littleEndian32(bytes + at + 4);
        bool data = std::memcmp(bytes + at, "data", 4) == 0;
        // A recorder that streams writes 0xFFFFFFFF (or 0) where it cannot know the length.
        bool unknown = data && (length == 0xFFFFFFFF || length == 0);
        if (length > size - at - 8 && !unknown) {
            why = data ? "its data runs past the end of the file: it was cut short"
                       : "a chunk runs past the end of the file";
            return false;
        }
        if (std::memcmp(bytes + at, "fmt ", 4) == 0 && length >= 16) {
            layout.formatAt = at + 8;
            layout.formatTag = bytes[at + 8] | bytes[at + 9] << 8;
            // WAVE_FORMAT_EXTENSIBLE: the sub-format's first two bytes are the format's tag.
            if (layout.formatTag == 0xFFFE && length >= 26) layout.formatTag = bytes[at + 32] | bytes[at + 33] << 8;
            layout.channels = bytes[at + 10] | bytes[at + 11] << 8;
            layout.rate = littleEndian32(bytes + at + 12);
            layout.bits = bytes[at + 22] | bytes[at + 23] << 8;
        }
        if (data) {
            if (layout.formatAt == 0) {
                why = "its data comes before its format";
                return false;
            }
            layout.dataAt = at + 8;
            layout.dataLength = unknown ? size - at - 8 : length;
            layout.truncated = unknown;
            if (layout.dataLength <= 0) {
                why = "it holds no sound";
                return false;
            }
            return true;
        }
        at += 8 + length + (length & 1); // chunks are padded to an even length
    }
    why = "it has no data chunk";
    return false;
}

namespace {
void putLittle(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i) & 0xFF);
}

// The file as SDL can read it, when it cannot as it is: the data's length as the file holds
// it, 64-bit float samples as 32-bit ones. "" when the file is fine as it is.
std::string wavForSdl(const unsigned char* bytes, const WavLayout& layout) {
    bool wideFloat = layout.formatTag == 3 && layout.bits == 64;
    if (!wideFloat && !layout.truncated) return "";
    const int64_t frameBytes = int64_t(layout.channels) * layout.bits / 8;
    const int64_t frames = frameBytes > 0 ? layout.dataLength / frameBytes : 0;
    const int outBits = wideFloat ? 32 : layout.bits;
    const uint32_t outFrame = uint32_t(layout.channels) * uint32_t(outBits) / 8;
    std::string out = "RIFF";
    putLittle(out, uint32_t(36 + frames * outFrame), 4);
    out += "WAVEfmt ";
    putLittle(out, 16, 4);
    putLittle(out, wideFloat ? 3 : layout.formatTag, 2);
    putLittle(out, uint32_t(layout.channels), 2);
    putLittle(out, layout.rate, 4);
    putLittle(out, layout.rate * outFrame, 4);
    putLittle(out, outFrame, 2);
    putLittle(out, uint32_t(outBits), 2);
    out += "data";
    putLittle(out, uint32_t(frames * outFrame), 4);
    const unsigned char* data = bytes + layout.dataAt;
    if (!wideFloat) {
        out.append(reinterpret_cast<const char*>(data), size_t(frames * outFrame));
        return out;
    }
    for (int64_t i = 0; i < frames * layout.channels; ++i) {
        double value;
        std::memcpy(&value, data + 8 * i, 8); // little-endian, as this machine
        float narrow = float(std::clamp(value, -1.0, 1.0));
        uint32_t word;
        std::memcpy(&word, &narrow, 4);
        putLittle(out, word, 4);
    }
    return out;
}
} // namespace

bool decodeWav(const void* bytes, int64_t size, SoundData& out, std::string& why) {
    WavLayout layout;
    if (!wavLayout(static_cast<const unsigned char*>(bytes), size, layout, why)) return false;
    if (layout.formatTag == 3 && layout.bits != 32 && layout.bits != 64) {
        why = std::to_string(layout.bits) + "-bit float samples cannot be played: save it as 16-bit";
        return false;
    }
    std::string rewritten = wavForSdl(static_cast<const unsigned char*>(bytes), layout);
    if (!rewritten.empty()) {
        bytes = rewritten.data();
        size = int64_t(rewritten.size());
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes, int(size));
    if (!source) {
        why = SDL_GetError();
        return false;
    }
    SDL_AudioSpec stored;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(source, 1, &stored, &buffer, &length)) {
        why = SDL_GetError();
        return false;
    }
    // SDL drops a partial last frame: a data chunk smaller than one frame leaves nothing.
    if (length == 0) {
        SDL_FreeWAV(buffer);
        why = "it holds less than one frame of sound";
        return false;
    }
    int channels = stored.channels >= 2 ? 2 : 1;
    int64_t sourceSamples = int64_t(length) / std::max(SDL_AUDIO_BITSIZE(stored.format) / 8, 1);
    if (stored.channels == 0 || sourceSamples / stored.channels * channels > kMaxSoundSamples) {
        SDL_FreeWAV(buffer);
        why = "it is longer than ten minutes";
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
    if (!ok) why = built < 0 ? SDL_GetError() : "it holds less than one frame of sound";
    SDL_FreeWAV(buffer);
    return ok && !out.samples.empty() && out.rate > 0;
}

bool openOgg(OggDecoder& decoder, const void* bytes, int64_t size, SoundData& out, std::string& why) {
    size = oggStreamLength(static_cast<const unsigned char*>(bytes), size, why);
    if (size == 0) return false;
    decoder.stream = {static_cast<const unsigned char*>(bytes), size_t(size), 0};
    ov_callbacks callbacks{memoryRead, memorySeek, nullptr, memoryTell};
    if (ov_open_callbacks(&decoder.stream, &decoder.file, nullptr, 0, callbacks) != 0) {
        why = "it is not an Ogg Vorbis stream, or a damaged one";
        return false;
    }
    decoder.open = true;
    vorbis_info* info = ov_info(&decoder.file, -1);
    if (!info || info->channels <= 0 || info->channels > 8 || info->rate <= 0) {
        why = "its channels or rate cannot be played (1 to 8 channels)";
        return false;
    }
    // The length the last page declares (any 64-bit value: compared by division, never
    // multiplied); the decoding holds to it.
    ogg_int64_t declared = ov_pcm_total(&decoder.file, -1);
    int channels = info->channels >= 2 ? 2 : 1;
    if (declared <= 0 || declared > kMaxSoundSamples / channels) {
        why = declared <= 0 ? "it declares no length" : "it is longer than ten minutes";
        return false;
    }
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
    if (decoder.sourceChannels <= 2) {
        for (int64_t f = 0; f < frames; ++f)
            for (int64_t c = 0; c < out.channels; ++c)
                out.samples[size_t((decoder.written + f) * out.channels + c)] =
                    decoder.block[size_t(f * decoder.sourceChannels + c)];
    } else {
        const Downmix mix = downmixFor(decoder.sourceChannels);
        for (int64_t f = 0; f < frames; ++f) {
            float left = 0, right = 0;
            const int16_t* in = &decoder.block[size_t(f * decoder.sourceChannels)];
            for (int c = 0; c < decoder.sourceChannels; ++c) {
                left += mix.left[c] * float(in[c]);
                right += mix.right[c] * float(in[c]);
            }
            int16_t* to = &out.samples[size_t((decoder.written + f) * 2)];
            to[0] = int16_t(std::lround(std::clamp(left, -32768.f, 32767.f)));
            to[1] = int16_t(std::lround(std::clamp(right, -32768.f, 32767.f)));
        }
    }
    decoder.written += frames;
    return decoder.written < out.frames() ? OggBlock::kMore : OggBlock::kEnd;
}

bool decodeOgg(const void* bytes, int64_t size, SoundData& out, std::string& why) {
    OggDecoder decoder;
    if (!openOgg(decoder, bytes, size, out, why)) return false;
    OggBlock step;
    while ((step = decodeOggBlock(decoder, out)) == OggBlock::kMore) {}
    if (step == OggBlock::kDamaged || decoder.written == 0) {
        why = "its Vorbis stream is damaged";
        return false;
    }
    out.samples.resize(size_t(decoder.written * out.channels)); // a stream shorter than declared
    out.ready = decoder.written;
    return true;
}

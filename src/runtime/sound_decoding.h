// Decoding sound files into the mixer's 16-bit samples: WAV through SDL, Ogg Vorbis through
// vorbisfile, either at once or block by block. Both readers check the file's own structure
// (chunks, pages) before a library reads it, so that nothing allocates what a damaged or
// hostile file merely declares. Inside the runtime only.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <vorbis/vorbisfile.h>

#include "runtime/sound.h"

struct SoundData {
    int64_t channels = 1;
    int64_t rate = kMixRate;
    std::vector<int16_t> samples; // interleaved, sized for the whole sound before it is stored
    // The frames that may be read. All of them, except while a long Ogg file is decoded on a
    // thread of its own: that thread writes only beyond this count and then moves it on.
    std::atomic<int64_t> ready{0};
    int64_t frames() const { return int64_t(samples.size()) / channels; }
    int64_t readyFrames() const { return ready.load(std::memory_order_acquire); }
};

// Sounds are decoded whole; no sound of the game comes near ten minutes of 48 kHz stereo
// (57.6 million samples, 115 MB), so anything claiming more is refused before it is decoded.
constexpr int64_t kMaxSoundSamples = 10 * 60 * 48000 * 2;
constexpr int64_t kMaxSoundFileBytes = 256 << 20; // bytes: a float WAV of that length fits

// Where a WAV file's format and data are, and what the format says.
struct WavLayout {
    int64_t formatAt = 0, dataAt = 0, dataLength = 0; // bytes
    bool truncated = false; // the data's length was unknown: it is what the file holds
    uint32_t formatTag = 0, channels = 0, rate = 0, bits = 0;
};
// Every chunk before the data lies within the file and a format chunk comes before a data
// chunk that is not empty (see sound_decoding.cpp); false with the reason otherwise.
bool wavLayout(const unsigned char* bytes, int64_t size, WavLayout& layout, std::string& why);
// The decoders say why they could not decode (in words for the player) when they return false.
bool decodeWav(const void* bytes, int64_t size, SoundData& out, std::string& why);

struct MemoryStream {
    const unsigned char* data;
    size_t size;
    size_t at;
};

// An Ogg Vorbis file being decoded, block by block, into a sound sized for the length the file
// declares. The bytes must stay where they are until the decoder is gone.
struct OggDecoder {
    MemoryStream stream{};
    OggVorbis_File file{};
    bool open = false;
    int sourceChannels = 0;
    int64_t written = 0; // frames
    std::vector<int16_t> block;
    OggDecoder() = default;
    OggDecoder(const OggDecoder&) = delete;
    OggDecoder& operator=(const OggDecoder&) = delete;
    ~OggDecoder() {
        if (open) ov_clear(&file);
    }
};

// Opens the file and sizes out for the length its last page declares.
bool openOgg(OggDecoder& decoder, const void* bytes, int64_t size, SoundData& out, std::string& why);
enum class OggBlock { kMore, kEnd, kDamaged };
OggBlock decodeOggBlock(OggDecoder& decoder, SoundData& out);
// The whole file at once; a stream shorter than declared keeps what it holds.
bool decodeOgg(const void* bytes, int64_t size, SoundData& out, std::string& why);

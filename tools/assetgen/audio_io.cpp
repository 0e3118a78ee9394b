// Sample buffers and their output as 16-bit WAV or Ogg Vorbis files.
#include "audio_io.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void putU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void putTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

uint32_t getU32(const std::vector<uint8_t>& in, size_t at) {
    return uint32_t(in[at]) | uint32_t(in[at + 1]) << 8 | uint32_t(in[at + 2]) << 16 | uint32_t(in[at + 3]) << 24;
}

uint16_t getU16(const std::vector<uint8_t>& in, size_t at) { return uint16_t(in[at] | in[at + 1] << 8); }

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();  // a full disk shows only when the buffer is flushed
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

AudioBuffer makeAudio(int sampleRate, int channels, size_t frames) {
    AudioBuffer audio;
    audio.sampleRate = sampleRate;
    audio.channels = channels;
    audio.samples.assign(frames * size_t(channels), 0.0f);
    return audio;
}

size_t frameCount(const AudioBuffer& audio) { return audio.samples.size() / size_t(std::max(1, audio.channels)); }

double durationSeconds(const AudioBuffer& audio) { return double(frameCount(audio)) / double(audio.sampleRate); }

float peakOf(const AudioBuffer& audio) {
    float peak = 0;
    for (float s : audio.samples) peak = std::max(peak, std::fabs(s));
    return peak;
}

void normalizeAudio(AudioBuffer& audio, float peak) {
    const float p = peakOf(audio);
    if (p < 1e-9f) return;
    const float gain = peak / p;
    for (float& s : audio.samples) s *= gain;
}

bool writeWav(const std::string& path, const AudioBuffer& audio) {
    const uint32_t dataBytes = uint32_t(audio.samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    putU32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, 16);
    putU16(out, 1);  // PCM
    putU16(out, uint16_t(audio.channels));
    putU32(out, uint32_t(audio.sampleRate));
    putU32(out, uint32_t(audio.sampleRate * audio.channels * 2));
    putU16(out, uint16_t(audio.channels * 2));
    putU16(out, 16);
    putTag(out, "data");
    putU32(out, dataBytes);
    for (float s : audio.samples) {
        const float c = std::clamp(s, -1.0f, 1.0f);
        putU16(out, uint16_t(int16_t(std::lround(c * 32767.0f))));
    }
    return writeBytes(path, out);
}

bool readWav(const std::string& path, AudioBuffer& audio) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    size_t at = 12;
    int channels = 0, bits = 0;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = getU32(bytes, at + 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 24 <= bytes.size()) {
            if (getU16(bytes, at + 8) != 1) return false;
            channels = getU16(bytes, at + 10);
            audio.sampleRate = int(getU32(bytes, at + 12));
            bits = getU16(bytes, at + 22);
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (channels == 0 || bits != 16 || at + 8 + size > bytes.size()) return false;
            audio.channels = channels;
            audio.samples.resize(size / 2);
            for (size_t i = 0; i < audio.samples.size(); ++i) {
                audio.samples[i] = float(int16_t(getU16(bytes, at + 8 + i * 2))) / 32768.0f;
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

bool writeOgg(const std::string& path, const AudioBuffer& audio, float quality) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, audio.channels, audio.sampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        std::fprintf(stderr, "vorbis encoder set-up failed for %s\n", path.c_str());
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "quarrelix-assets");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x51525801);  // fixed serial: same bytes on every run

    std::vector<uint8_t> out;
    auto appendPage = [&](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) appendPage(page);

    const size_t frames = frameCount(audio);
    const size_t chunk = 4096;
    size_t done = 0;
    bool ended = false;
    while (!ended) {
        const size_t n = std::min(chunk, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(n));
            for (size_t i = 0; i < n; ++i) {
                for (int c = 0; c < audio.channels; ++c) {
                    buffer[c][i] = std::clamp(audio.samples[(done + i) * size_t(audio.channels) + size_t(c)], -1.0f, 1.0f);
                }
            }
            vorbis_analysis_wrote(&dsp, int(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(page);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
        if (n == 0) ended = true;
    }
    while (ogg_stream_flush(&stream, &page) != 0) appendPage(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return writeBytes(path, out);
}

bool readOgg(const std::string& path, AudioBuffer& audio) {
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return false;
    const vorbis_info* info = ov_info(&file, -1);
    audio.sampleRate = int(info->rate);
    audio.channels = info->channels;
    audio.samples.clear();
    int section = 0;
    while (true) {
        float** pcm = nullptr;
        const long n = ov_read_float(&file, &pcm, 4096, &section);
        if (n <= 0) break;
        for (long i = 0; i < n; ++i) {
            for (int c = 0; c < audio.channels; ++c) audio.samples.push_back(pcm[c][i]);
        }
    }
    ov_clear(&file);
    return true;
}

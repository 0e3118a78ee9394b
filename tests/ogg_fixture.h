// Ogg Vorbis files made for tests with libvorbisenc: `channels` channels at `rate`, `frames`
// long, every sample given by a function of its channel and frame (-1 to 1).
#pragma once

#include <cstdint>
#include <string>

#include <vorbis/vorbisenc.h>

template <typename Sample>
std::string oggFile(int channels, int64_t rate, int64_t frames, float quality, Sample sample) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, long(rate), quality) != 0) return "";
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    std::string out;
    auto flushPages = [&](bool force) {
        ogg_page page;
        while (force ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            out.append(reinterpret_cast<char*>(page.header), size_t(page.header_len));
            out.append(reinterpret_cast<char*>(page.body), size_t(page.body_len));
        }
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    flushPages(true);
    float** buffer = vorbis_analysis_buffer(&dsp, int(frames));
    for (int c = 0; c < channels; ++c)
        for (int64_t i = 0; i < frames; ++i) buffer[c][i] = float(sample(c, i));
    vorbis_analysis_wrote(&dsp, int(frames));
    vorbis_analysis_wrote(&dsp, 0);
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            flushPages(false);
        }
    }
    flushPages(true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

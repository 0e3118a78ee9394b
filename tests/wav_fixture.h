// A mono 16-bit WAV file image for tests, every sample given by a function of its index.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

template <typename Sample> std::string wavFile(int64_t rate, int64_t frames, Sample sample) {
    std::string wav(44 + size_t(frames) * 2, '\0');
    auto put = [&](size_t at, uint32_t v, int bytes) { std::memcpy(&wav[at], &v, size_t(bytes)); };
    std::memcpy(&wav[0], "RIFF", 4);
    put(4, uint32_t(36 + frames * 2), 4);
    std::memcpy(&wav[8], "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, 1, 2); // PCM
    put(22, 1, 2); // one channel
    put(24, uint32_t(rate), 4);
    put(28, uint32_t(rate * 2), 4);
    put(32, 2, 2);
    put(34, 16, 2);
    std::memcpy(&wav[36], "data", 4);
    put(40, uint32_t(frames * 2), 4);
    for (int64_t i = 0; i < frames; ++i) {
        auto value = int16_t(sample(i));
        std::memcpy(&wav[44 + size_t(i) * 2], &value, 2);
    }
    return wav;
}

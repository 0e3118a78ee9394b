// Sample buffers and their output as 16-bit WAV or Ogg Vorbis files.
#pragma once

#include <string>
#include <vector>

// Interleaved floating point samples, nominally in -1..1.
struct AudioBuffer {
    int sampleRate = 44100;
    int channels = 1;
    std::vector<float> samples;
};

AudioBuffer makeAudio(int sampleRate, int channels, size_t frames);
size_t frameCount(const AudioBuffer& audio);
double durationSeconds(const AudioBuffer& audio);

// Scales the buffer so that its largest absolute sample is peak (no-op for silence).
void normalizeAudio(AudioBuffer& audio, float peak);
// Largest absolute sample.
float peakOf(const AudioBuffer& audio);

// 16-bit PCM WAV (samples clipped to -1..1). False with a message when the file cannot be written.
bool writeWav(const std::string& path, const AudioBuffer& audio);
// Ogg Vorbis through libvorbisenc at the given VBR quality (-0.1..1). Deterministic: fixed
// stream serial, no comments that change between runs.
bool writeOgg(const std::string& path, const AudioBuffer& audio, float quality);

// Readers for checks: a 16-bit PCM WAV, and an Ogg Vorbis file decoded whole.
bool readWav(const std::string& path, AudioBuffer& audio);
bool readOgg(const std::string& path, AudioBuffer& audio);

// Sounds: WAV and Ogg Vorbis decoded whole (music on a thread of its own, from its load), mixed
// by our own mixer with volume (the decibel law), pan, playback rate, position, looping and
// extra channels.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t kSoundLoop = 1;       // playSound flag: loop
constexpr int64_t kSoundNewChannel = 2; // playSound flag: play on a new channel
constexpr int64_t kMixRate = 44100;     // frames per second of the mixer's output

// 1 with a sound device; without one (no sound card, no sound server) the sound plays on the
// silent mixer instead, and soundIsOff() says why. Headless runs are always silent.
int64_t initSound();
// Why there is no sound device ("" while there is one, or in headless runs).
const std::string& soundIsOff();
// Without a device: the silent mixer catches up with the real clock, so that sounds end when
// they would have (called with each presented frame).
void advanceSilentSound();
// A file that is there but cannot be played is refused with one line on standard error that
// names it and says why (soundLoadProblem keeps the reason).
int64_t loadSound(int64_t soundId, const std::string& path);
int64_t loadSoundFromMemory(int64_t soundId, const void* data, int64_t size);
// Why the last load failed ("" after one that did not).
const std::string& soundLoadProblem();
// Why the file cannot be played, "" when it can: decoded as loadSound would, kept nowhere
// (the data inspector's check of the sound files).
std::string soundFileProblem(const std::string& path);
// Plays from the current position (a finished or stopped sound starts from the beginning).
// With kSoundNewChannel the sound plays again on a channel of its own, whose number (> 0) is
// returned; otherwise 1 on success. volume -1 keeps the sound's volume.
int64_t playSound(int64_t soundId, int64_t flags = 0, int64_t volume = -1);
void stopSound(int64_t soundId);   // -1: every sound; stops all channels and rewinds
void pauseSound(int64_t soundId);  // -1: every sound
void resumeSound(int64_t soundId); // -1: every sound; a paused sound goes on
// channel 0 is the sound's own channel; a channel number from playSound names that one only.
void setSoundVolume(int64_t soundId, int64_t volume, int64_t channel = 0); // -1: every sound
void setSoundPan(int64_t soundId, int64_t pan, int64_t channel = 0);
int64_t getSoundFrequency(int64_t soundId, int64_t channel = 0);
void setSoundFrequency(int64_t soundId, int64_t hertz, int64_t channel = 0);
void setSoundPosition(int64_t soundId, int64_t position, int64_t unit, int64_t channel = 0);
int64_t soundStatus(int64_t soundId, int64_t channel = 0); // 0 stopped 1 playing 2 paused 3 none
int64_t getSoundVolume(int64_t soundId, int64_t channel = 0);
int64_t getSoundPan(int64_t soundId, int64_t channel = 0);
int64_t soundLengthFrames(int64_t soundId);
// Frames decoded so far: all of them, but for music (long Ogg files), which is decoded on a
// thread of its own after loadSound returns and plays as far as it is decoded.
int64_t soundFramesReady(int64_t soundId);
int64_t soundChannelCount(int64_t soundId); // 1 mono, 2 stereo
void freeSound(int64_t soundId); // -1: every sound
int64_t soundExists(int64_t soundId);

// The gains of a volume and pan, as the mixer applies them (for tests).
struct StereoGain {
    double left = 0;
    double right = 0;
};
StereoGain gainOf(int64_t volume, int64_t pan);

// Mixes the next frames into interleaved 16-bit stereo (the device callback's work).
void mixSounds(int16_t* output, int64_t frames);
// Headless: the mixer runs for this much virtual time into a discarded buffer.
void advanceSilentMixer(double ms);

// The mixer. The audio callback is the only other thread, apart from the decoding of long Ogg
// files (music), which starts at load and goes on beside the game; every change to the sound
// table or to a voice from the game thread holds the audio device lock.
#include "runtime/sound.h"

#include <cstdio>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <system_error>
#include <memory>
#include <thread>
#include <vector>

#include "runtime/files.h"
#include "runtime/headless.h"
#include "runtime/internal.h"
#include "runtime/object_table.h"
#include "runtime/sound_decoding.h"
#include "runtime/timing.h"

namespace {
struct Voice {
    int64_t status = 0; // 0 stopped, 1 playing, 2 paused
    double position = 0; // in the sound's frames
    int64_t frequency = kMixRate;
    int64_t volume = 100;
    int64_t pan = 0;
    bool looping = false;
};

struct Sound {
    std::shared_ptr<const SoundData> data;
    Voice main;
    std::map<int64_t, Voice> channels; // extra channels started with kSoundNewChannel
};

ObjectTable<Sound> sounds;
// The sounds with a voice that may be playing: only voices started or resumed since they last
// stopped play, so the mixer looks at these few instead of the whole table at every frame.
std::vector<int64_t> maybePlaying;
SDL_AudioDeviceID device = 0;
int64_t nextChannel = 1;
double silentCarryFrames = 0;
std::string noDeviceReason;    // why the sound plays silent in a real window ("" with a device)
double silentClockMs = 0;      // the real clock when the silent mixer last caught up

struct AudioLock {
    AudioLock() {
        if (device) SDL_LockAudioDevice(device);
    }
    ~AudioLock() {
        if (device) SDL_UnlockAudioDevice(device);
    }
};

void audioCallback(void*, Uint8* stream, int bytes) {
    mixSounds(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

// The voice a channel argument names, or null.
Voice* voiceOf(Sound& sound, int64_t channel) {
    if (channel <= 0) return &sound.main;
    auto it = sound.channels.find(channel);
    return it == sound.channels.end() ? nullptr : &it->second;
}

template <typename F> void forVoices(int64_t soundId, int64_t channel, F action) {
    AudioLock lock;
    auto apply = [&](Sound& sound) {
        if (soundId == -1 || channel == 0) {
            action(sound, sound.main);
            if (soundId == -1)
                for (auto& [number, voice] : sound.channels) action(sound, voice);
        } else if (Voice* voice = voiceOf(sound, channel)) {
            action(sound, *voice);
        }
    };
    if (soundId == -1) {
        for (auto& [id, sound] : sounds.objects) apply(*sound);
    } else if (Sound* sound = sounds.find(soundId)) {
        apply(*sound);
    }
}

// Under the audio lock.
void notePlaying(int64_t soundId) {
    if (std::find(maybePlaying.begin(), maybePlaying.end(), soundId) == maybePlaying.end())
        maybePlaying.push_back(soundId);
}

void dropFinishedChannels(Sound& sound) {
    std::erase_if(sound.channels, [](const auto& entry) { return entry.second.status == 0; });
}

// Long Ogg files (music) are decoded on a thread of their own: the sound is stored at once, with
// its full length, and plays as far as it is decoded (hundreds of times faster than it plays).
constexpr int64_t kBackgroundDecodeBytes = 256 << 10;

struct BackgroundDecode {
    std::string bytes;
    OggDecoder decoder;
    std::shared_ptr<SoundData> data;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::thread thread;
    BackgroundDecode() = default;
    BackgroundDecode(const BackgroundDecode&) = delete;
    BackgroundDecode& operator=(const BackgroundDecode&) = delete;
    // Also at the end of the process (std::exit after a fatal error): stopped and waited for.
    ~BackgroundDecode() {
        stop = true;
        if (thread.joinable()) thread.join();
    }
};
std::vector<std::unique_ptr<BackgroundDecode>> backgroundDecodes;

void decodeRest(BackgroundDecode* job) {
    SoundData& out = *job->data;
    while (!job->stop.load(std::memory_order_relaxed) &&
           decodeOggBlock(job->decoder, out) == OggBlock::kMore)
        out.ready.store(job->decoder.written, std::memory_order_release);
    // Whatever could not be decoded (damage past the checks at load, or the end of the
    // program) stays silent: the sound is never waited for past this point.
    out.ready.store(out.frames(), std::memory_order_release);
    job->finished = true;
}

// Lets go of the decodes that are done (all: stops and waits for the others too).
void joinBackgroundDecodes(bool all) {
    std::erase_if(backgroundDecodes, [all](const std::unique_ptr<BackgroundDecode>& job) {
        return all || job->finished;
    });
}

int64_t storeSound(int64_t soundId, std::shared_ptr<SoundData> data) {
    auto sound = std::make_unique<Sound>();
    sound->main.frequency = data->rate;
    sound->data = std::move(data);
    AudioLock lock;
    return creationResult(soundId, sounds.store(soundId, std::move(sound)));
}

// Moves a voice on without producing samples (the silent mixer of headless runs).
void skipVoice(const SoundData& data, Voice& voice, int64_t frames) {
    double length = double(data.frames());
    voice.position += double(frames) * double(voice.frequency) / double(kMixRate);
    if (voice.position < length) return;
    if (voice.looping && length > 0) {
        voice.position = std::fmod(voice.position, length);
    } else {
        voice.status = 0;
        voice.position = 0;
    }
}

// Mixes one voice into the accumulator, or only moves it on when there is no accumulator.
void mixVoice(const SoundData& data, Voice& voice, int32_t* mix, int64_t frames) {
    int64_t length = data.frames();
    if (length <= 0) {
        voice.status = 0;
        return;
    }
    if (!mix) {
        skipVoice(data, voice, frames);
        return;
    }
    StereoGain gain = gainOf(voice.volume, voice.pan);
    double step = double(voice.frequency) / double(kMixRate);
    const int16_t* samples = data.samples.data();
    int64_t ready = data.readyFrames();
    for (int64_t f = 0; f < frames; ++f) {
        if (voice.position >= double(length)) {
            if (!voice.looping) {
                voice.status = 0;
                voice.position = 0;
                return;
            }
            voice.position = std::fmod(voice.position, double(length));
        }
        int64_t index = int64_t(voice.position);
        // Music still being decoded waits where its samples are not there yet (never in
        // practice: decoding runs far ahead of playing).
        if (ready < length && index + 1 >= ready) return;
        double fraction = voice.position - double(index);
        int64_t next = index + 1 < length ? index + 1 : (voice.looping ? 0 : index);
        double left, right;
        if (data.channels == 2) {
            left = samples[2 * index] + (samples[2 * next] - samples[2 * index]) * fraction;
            right = samples[2 * index + 1] +
                    (samples[2 * next + 1] - samples[2 * index + 1]) * fraction;
        } else {
            left = right = samples[index] + (samples[next] - samples[index]) * fraction;
        }
        mix[2 * f] += int32_t(left * gain.left);
        mix[2 * f + 1] += int32_t(right * gain.right);
        voice.position += step;
    }
}
} // namespace

StereoGain gainOf(int64_t volume, int64_t pan) {
    volume = std::clamp<int64_t>(volume, 0, 100);
    pan = std::clamp<int64_t>(pan, -100, 100);
    // 20 * log10(v / 100) dB of attenuation is an amplitude of v / 100.
    double amplitude = double(volume) / 100.0;
    StereoGain gain{amplitude, amplitude};
    if (pan > 0) gain.left *= double(100 - pan) / 100.0;
    if (pan < 0) gain.right *= double(100 + pan) / 100.0;
    return gain;
}

void mixSounds(int16_t* output, int64_t frames) {
    // Without an output the voices only move on: what nobody hears is not computed.
    std::vector<int32_t> mix(output ? size_t(frames) * 2 : 0, 0);
    int32_t* into = output ? mix.data() : nullptr;
    // Integer sums: the order the sounds are mixed in does not change a sample.
    std::erase_if(maybePlaying, [&](int64_t id) {
        Sound* sound = sounds.find(id);
        if (!sound) return true;
        if (sound->main.status == 1) mixVoice(*sound->data, sound->main, into, frames);
        bool playing = sound->main.status == 1;
        for (auto& [number, voice] : sound->channels) {
            if (voice.status == 1) mixVoice(*sound->data, voice, into, frames);
            playing = playing || voice.status == 1;
        }
        return !playing;
    });
    if (!output) return;
    for (size_t i = 0; i < mix.size(); ++i) output[i] = int16_t(std::clamp(mix[i], -32768, 32767));
}

const std::string& soundIsOff() { return noDeviceReason; }

void advanceSilentSound() {
    if (noDeviceReason.empty() || isHeadless()) return; // headless: the virtual clock mixes
    double now = wallTimeMs();
    // A stall (a debugger, a suspended machine) is not made up as hours of mixing.
    advanceSilentMixer(std::clamp(now - silentClockMs, 0.0, 1000.0));
    silentClockMs = now;
}

void advanceSilentMixer(double ms) {
    silentCarryFrames += ms * double(kMixRate) / 1000.0;
    auto frames = int64_t(silentCarryFrames);
    silentCarryFrames -= double(frames);
    if (frames > 0) mixSounds(nullptr, frames);
}

// No device to be had: the game plays on, silent, with its sounds timed on the real clock.
int64_t playSilent(const std::string& why) {
    noDeviceReason = why.empty() ? "no sound device" : why;
    silentClockMs = wallTimeMs();
    return 1;
}

int64_t initSound() {
    if (isHeadless()) { // silent: the mixer runs on the virtual clock
        if (headlessOptions().noSoundDevice) noDeviceReason = "no sound device (headless)";
        return 1;
    }
    if (device || !noDeviceReason.empty()) return 1;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return playSilent(SDL_GetError());
    SDL_AudioSpec want{}, have{};
    want.freq = int(kMixRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024; // about 23 ms: low latency for hits, safe against underruns
    want.callback = audioCallback;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) {
        std::string why = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return playSilent(why);
    }
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

namespace {
std::string lastProblem;

// The file's bytes, or "" with the reason.
std::string soundFileBytes(const std::string& path, std::string& why) {
    std::string bytes;
    int64_t size = fileSize(path);
    if (size <= 0) why = size == 0 ? "the file is empty" : "the file is missing";
    else if (size > kMaxSoundFileBytes) why = "the file is larger than 256 MB";
    else if (!readWholeFile(path, bytes)) why = "the file cannot be read";
    return bytes;
}

// The whole sound decoded from its bytes; false with the reason.
bool decodeSound(const void* data, int64_t size, SoundData& out, std::string& why) {
    if (!data || size < 12 || size > kMaxSoundFileBytes) {
        why = "it is too short or too long to be a sound";
        return false;
    }
    return std::memcmp(data, "RIFF", 4) == 0 ? decodeWav(data, size, out, why)
                                               : decodeOgg(data, size, out, why);
}

int64_t refuse(const std::string& path, const std::string& why) {
    lastProblem = why;
    std::fprintf(stderr, "quarrelix: the sound %s cannot be played: %s\n", path.c_str(), why.c_str());
    return 0;
}
} // namespace

const std::string& soundLoadProblem() { return lastProblem; }

std::string soundFileProblem(const std::string& path) {
    std::string why;
    std::string bytes = soundFileBytes(path, why);
    SoundData decoded;
    if (why.empty()) decodeSound(bytes.data(), int64_t(bytes.size()), decoded, why);
    return why;
}

int64_t loadSound(int64_t soundId, const std::string& path) {
    std::string why;
    std::string bytes = soundFileBytes(path, why);
    if (!why.empty()) {
        lastProblem = why;
        return 0; // a missing file is no news: callers look for the files there are
    }
    int64_t size = int64_t(bytes.size());
    if (size < kBackgroundDecodeBytes || std::memcmp(bytes.data(), "OggS", 4) != 0) {
        int64_t stored = loadSoundFromMemory(soundId, bytes.data(), size);
        return stored ? stored : refuse(path, lastProblem);
    }
    joinBackgroundDecodes(false);
    auto job = std::make_unique<BackgroundDecode>();
    job->bytes = std::move(bytes);
    job->data = std::make_shared<SoundData>();
    if (!openOgg(job->decoder, job->bytes.data(), size, *job->data, why)) return refuse(path, why);
    lastProblem.clear();
    int64_t stored = storeSound(soundId, job->data);
    if (!stored) return 0;
    try {
        job->thread = std::thread(decodeRest, job.get());
    } catch (const std::system_error&) { // no thread to be had: decoded here and now
        decodeRest(job.get());
        return stored;
    }
    backgroundDecodes.push_back(std::move(job));
    return stored;
}

int64_t loadSoundFromMemory(int64_t soundId, const void* data, int64_t size) {
    auto decoded = std::make_shared<SoundData>();
    lastProblem.clear();
    if (!decodeSound(data, size, *decoded, lastProblem)) return 0;
    return storeSound(soundId, std::move(decoded));
}

int64_t playSound(int64_t soundId, int64_t flags, int64_t volume) {
    AudioLock lock;
    Sound* sound = sounds.find(soundId);
    if (!sound) return 0;
    dropFinishedChannels(*sound);
    Voice* voice = &sound->main;
    int64_t result = 1;
    if (flags & kSoundNewChannel) {
        result = nextChannel++;
        Voice fresh = sound->main;
        fresh.position = 0;
        voice = &sound->channels.emplace(result, fresh).first->second;
    }
    if (volume >= 0) voice->volume = std::min<int64_t>(volume, 100);
    voice->looping = flags & kSoundLoop;
    voice->status = 1;
    notePlaying(soundId);
    return result;
}

void stopSound(int64_t soundId) {
    forVoices(soundId, 0, [](Sound& sound, Voice& voice) {
        voice.status = 0;
        voice.position = 0;
        sound.channels.clear();
    });
}

void pauseSound(int64_t soundId) {
    forVoices(soundId, -1 == soundId ? 0 : 0, [](Sound&, Voice& voice) {
        if (voice.status == 1) voice.status = 2;
    });
}

void resumeSound(int64_t soundId) {
    forVoices(soundId, 0, [](Sound&, Voice& voice) {
        if (voice.status == 2) voice.status = 1;
    });
    AudioLock lock;
    if (soundId != -1) notePlaying(soundId);
    else
        for (auto& [id, sound] : sounds.objects) notePlaying(id);
}

void setSoundVolume(int64_t soundId, int64_t volume, int64_t channel) {
    volume = std::clamp<int64_t>(volume, 0, 100);
    forVoices(soundId, channel, [&](Sound&, Voice& voice) { voice.volume = volume; });
}

void setSoundPan(int64_t soundId, int64_t pan, int64_t channel) {
    pan = std::clamp<int64_t>(pan, -100, 100);
    forVoices(soundId, channel, [&](Sound&, Voice& voice) { voice.pan = pan; });
}

void setSoundFrequency(int64_t soundId, int64_t hertz, int64_t channel) {
    // Beyond these rates a sound is inaudible or the resampler skips most of it.
    hertz = std::clamp<int64_t>(hertz, 100, 400000);
    forVoices(soundId, channel, [&](Sound&, Voice& voice) { voice.frequency = hertz; });
}

void setSoundPosition(int64_t soundId, int64_t position, int64_t unit, int64_t channel) {
    forVoices(soundId, channel, [&](Sound& sound, Voice& voice) {
        double frames = unit == 0 ? double(position)
                                  : double(position) * double(sound.data->rate) / 1000.0;
        voice.position = std::clamp(frames, 0.0, double(sound.data->frames()));
    });
}

namespace {
template <typename F> int64_t readVoice(int64_t soundId, int64_t channel, int64_t absent, F read) {
    AudioLock lock;
    Sound* sound = sounds.find(soundId);
    if (!sound) return absent;
    Voice* voice = voiceOf(*sound, channel);
    return voice ? read(*sound, *voice) : absent;
}
} // namespace

int64_t getSoundFrequency(int64_t soundId, int64_t channel) {
    return readVoice(soundId, channel, 0, [](Sound&, Voice& v) { return v.frequency; });
}
int64_t soundStatus(int64_t soundId, int64_t channel) {
    return readVoice(soundId, channel, 3, [](Sound&, Voice& v) { return v.status; });
}
int64_t getSoundVolume(int64_t soundId, int64_t channel) {
    return readVoice(soundId, channel, 0, [](Sound&, Voice& v) { return v.volume; });
}
int64_t getSoundPan(int64_t soundId, int64_t channel) {
    return readVoice(soundId, channel, 0, [](Sound&, Voice& v) { return v.pan; });
}
int64_t soundLengthFrames(int64_t soundId) {
    return readVoice(soundId, 0, 0, [](Sound& s, Voice&) { return s.data->frames(); });
}
int64_t soundFramesReady(int64_t soundId) {
    return readVoice(soundId, 0, 0, [](Sound& s, Voice&) { return s.data->readyFrames(); });
}
int64_t soundChannelCount(int64_t soundId) {
    return readVoice(soundId, 0, 0, [](Sound& s, Voice&) { return s.data->channels; });
}

void freeSound(int64_t soundId) {
    AudioLock lock;
    sounds.release(soundId);
}

int64_t soundExists(int64_t soundId) {
    AudioLock lock;
    return sounds.find(soundId) ? 1 : 0;
}

void endSound() {
    joinBackgroundDecodes(true);
    if (device) {
        SDL_CloseAudioDevice(device);
        device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    sounds.release(-1);
    maybePlaying.clear();
    nextChannel = 1;
    silentCarryFrames = 0;
    noDeviceReason.clear();
}

// Music and jingles: a small sequencer, synthesised instruments and the game's tunes.
#pragma once

#include <string>
#include <vector>

#include "audio_io.h"

constexpr int kMusicRate = 44100;  // Hz, stereo

// One music or jingle file.
struct MusicTrack {
    std::string file;   // path under the content directory, e.g. "music/Quarrelix menu v04.ogg"
    int piece = 0;      // which tune renderMusic makes
    bool looped = false;
};

std::vector<MusicTrack> musicTracks();
// Renders a track's samples. Looped tracks wrap their tails into their start so the last
// sample flows into the first.
AudioBuffer renderMusic(const MusicTrack& track);
bool writeMusicTrack(const std::string& outDir, const MusicTrack& track);

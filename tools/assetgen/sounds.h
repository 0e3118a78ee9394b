// Sound effects: the pool catalogue and the synthesis of every pool's variants.
#pragma once

#include <string>
#include <vector>

#include "audio_io.h"
#include "data_builder.h"

constexpr int kSoundRate = 44100;  // Hz, mono 16-bit files
constexpr int kSoundJobCount = 2;  // the pools are split into this many independent jobs

// Every pool the sound generator makes, in position order (position = id; 0 is the
// placeholder that has no file).
std::vector<PoolSpec> soundPoolCatalogue();

// The samples of one variant (0-based) of a pool.
AudioBuffer synthesizePool(int poolId, int variant);

// Writes the files of the pools whose id modulo kSoundJobCount equals part.
bool writeSounds(const std::string& outDir, int part);

// File name of a variant: sound/<name>.wav for single-variant pools, else <name><k>.wav.
std::string poolFileName(const PoolSpec& pool, int variant);

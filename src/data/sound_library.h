// Sound pools (a sound with its variants), sound classes (pools by hit strength) and sound
// materials (classes by damage type), and choosing what a pool plays: the variant and pitch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/numbers.h"

struct JsonNode;

struct SoundPool {
    int64_t id = 0;           // selects the pool's slots
    std::string name;         // base file name under "sound/"
    int64_t next = 0;         // position of a pool played together with this one, 0 none
    float nextVolume = 1.0f;
    std::vector<int64_t> frequencies; // native rate of each variant (Hz)
    int64_t volume = 100;     // percent
    std::string extension;    // ".wav", ".ogg", or "" for the silent fallback
};

struct SoundClass {
    int64_t id = 0;
    int64_t blocked = 0; // positions in soundPools, 0 none
    int64_t light = 0;
    int64_t medium = 0;
    int64_t heavy = 0;
    int64_t lightThreshold = 2;
    int64_t mediumThreshold = 5;
    int64_t heavyThreshold = 10;
};

struct SoundMaterial {
    int64_t id = 0;
    int64_t cut = 0; // positions in soundClasses, 0 none
    int64_t pierce = 0;
    int64_t blunt = 0;
};

extern std::vector<SoundPool> soundPools;
extern std::vector<SoundClass> soundClasses;
extern std::vector<SoundMaterial> soundMaterials;

constexpr int64_t kNoStereo = -9999; // playPoolSound's x for a sound without a place

// The first of a pool's 255 slots; -1 for an id that owns none (outside 0-254).
int64_t poolBase(int64_t id);
int64_t variantCount(int64_t id); // index of the pool's last variant

SoundPool readSoundPool(const JsonNode* json);
SoundClass readSoundClass(const JsonNode* json);
SoundMaterial readSoundMaterial(const JsonNode* json);
std::string loadPoolSounds(const std::string& name, int64_t id);
void makePlaceholderSoundPool(); // the pool list holding only pool 0 "empty"

// A pool sound with its random draws made: which variant and what pitch. Choosing draws from
// the random generator (the fight chooses within its step); playing draws nothing, so a choice
// can be played later, or never when a step is run again.
struct PoolSoundChoice {
    int64_t pool = 0;          // position in soundPools
    int64_t poolId = 0;
    int64_t variant = 0;       // the drawn variant (a busy one gives way to the next when played)
    int64_t x = kNoStereo;     // screen x for the stereo position
    int64_t volume = 100;      // percent of the pool's sound volume
    bool setFrequency = false; // with variation or a pitch factor
    double percent = 100;      // the drawn frequency variation
    double pitchFactor = 1.0;
};
// variation: 0 none; otherwise the pitch varies (the sound variation setting is the caller's).
// The variant and pitch are drawn from `random` (a fight's generator, or the game's).
void choosePoolSound(RandomState& random, std::vector<PoolSoundChoice>& chosen, int64_t pool, int64_t x,
                     int64_t variation, double pitchFactor, double volumeFactor,
                     bool withChain = true);
void clearSoundLibrary(); // the lists and the variant table (the sounds stay loaded)

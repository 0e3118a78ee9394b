// The one builder through which data.json is written, a function per section.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

using Json = nlohmann::ordered_json;

// One sound pool: its base file name under sound/ and how it is played.
struct PoolSpec {
    int id = 0;
    std::string name;   // files sound/<name>.wav, or sound/<name>1.wav ... when variants > 1
    int variants = 1;   // 0 for the placeholder at position 0 (no file)
    int volume = 100;   // percent
    int next = 0;       // pool played together with this one (0 none)
    float nextVolume = 1.0f;
};

// Thresholds of damage between the four strengths of one material (the damage below
// `light` sounds blocked, below `medium` light, below `heavy` medium, else heavy).
struct HitThresholds {
    int light = 2;
    int medium = 5;
    int heavy = 10;
};

// The sections of data.json under construction. Ids equal list positions in every list.
struct DataBuilder {
    Json soundPool = Json::array();
    Json soundClass = Json::array();
    Json soundMaterial = Json::array();
    Json classes = Json::array();  // filled by addFighterClasses (fighter generator)
    Json effect = Json::object();
    Json loading = Json::array();
};

// "soundPool": the pools in position order; ids must equal their positions.
void addSoundPools(DataBuilder& builder, const std::vector<PoolSpec>& pools);
// Appends one more pool after the fixed ones and returns its number (its position).
int appendSoundPool(DataBuilder& builder, const PoolSpec& pool);
// "soundClass": position 0 placeholder, then one class per material and damage type, each
// pointing at the four hit pools of that pair.
void addSoundClasses(DataBuilder& builder);
// "soundMaterial": flesh, cloth, wood, metal with their cut, pierce and blunt classes.
void addSoundMaterials(DataBuilder& builder);
// "effect": the four landing dust lists (each an array of animation objects).
void setLandingEffects(DataBuilder& builder, const Json& lightFront, const Json& lightBack, const Json& heavyFront,
                       const Json& heavyBack);
// "loading": animations shown while a class is prepared.
void setLoadingAnimations(DataBuilder& builder, const Json& animations);
// "class": the fighter classes (appended in order; the class's position is its id).
void addFighterClass(DataBuilder& builder, Json fighterClass);

// Thresholds used for a material's sound classes.
HitThresholds thresholdsFor(int material);
const char* materialName(int material);
const char* damageTypeName(int damageType);
const char* strengthName(int strength);

// Animation helpers shared by every generator that writes animations.
// A frame with a picture of its own ("clone": -1) at the given shift, lasting `length` ticks.
Json pictureFrame(const std::string& path, int length, int shiftX, int shiftY);
// An animation object with its name, frames and loop flag.
Json animationJson(const std::string& name, const Json& frames, bool looped);

// The whole file as text (stable key order: same bytes on every run).
std::string dataJsonText(const DataBuilder& builder);
bool writeDataJson(const std::string& outDir, const DataBuilder& builder);

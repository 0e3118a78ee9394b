// The fight stages: rows of background tiles, their limits, music and names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Stage {
    int64_t lastTile = 0;              // tile count - 1
    std::vector<int64_t> tileSprites;  // consecutive sprite numbers, one per tile
    std::vector<int64_t> tileVisible;  // per-tile marks, 0 at creation
    int64_t width = 0;                 // pixels: tile count x tile width
    double cameraX = 0;
    int64_t vertical = 0;              // places the tiles vertically on the screen
    int64_t leftLimit = 0;             // the fighters' positions stay within these
    int64_t rightLimit = 0;
    std::string tilePrefix;            // tile t is prefix + (t + 1) + ".png"
    int64_t musicSlot = 0;
    std::string musicFile;
    int64_t introSlot = 3;
    std::string introFile = "sound/counter.ogg";
    std::string name;
};

extern std::vector<Stage> stageList;

Stage makeStage(int64_t tileCount, int64_t tileWidth, const std::string& tilePrefix);
void buildStages(); // the three stages, their tile sprite numbers taken in order
void loadStageTiles(const Stage& stage);
void freeStageTiles(const Stage& stage);

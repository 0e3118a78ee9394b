// The three fight stages, painted as wide scenes and cut into seamless background tiles.
#pragma once

#include <string>

#include "raster.h"

constexpr int kStageCount = 3;

// Tile layout of a stage (1-based stage number as in the file names background<stage>_<tile>).
struct StageLayout {
    int tileCount = 0;
    int tileWidth = 0;
    int tileHeight = 0;
    int vertical = 0;   // the stage's vertical value in the game's stage table
    int floorRow = 0;   // tile row where the fighters' feet stand: 980 - vertical
};

StageLayout stageLayout(int stage);

// Paints the part of the stage's scene covered by tile `tile` (0-based).
Image paintStageTile(int stage, int tile);
// Writes image/background<stage>_1.png ... for every tile of the stage.
bool writeStageTiles(const std::string& outDir, int stage);

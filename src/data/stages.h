// The fight stages built for the game: their tiles, limits, music and names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/stage.h"

extern std::vector<Stage> stageList;

Stage makeStage(int64_t tileCount, int64_t tileWidth, const std::string& tilePrefix);
void buildStages(); // the three stages, their tile sprite numbers taken in order
void loadStageTiles(const Stage& stage);
void freeStageTiles(const Stage& stage);

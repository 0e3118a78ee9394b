// A stage's record: its width and the limits the fight keeps the fighters within (read by the
// fight), its background tiles and camera (drawn), its music and name.
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

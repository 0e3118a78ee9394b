// The stage list.
#include "data/stages.h"

#include "data/sprite_numbers.h"
#include "runtime/screen.h"
#include "runtime/sprites.h"

std::vector<Stage> stageList;

Stage makeStage(int64_t tileCount, int64_t tileWidth, const std::string& tilePrefix) {
    Stage stage;
    stage.lastTile = tileCount - 1;
    int64_t first = takeSpriteNumbers(tileCount);
    for (int64_t t = 0; t < tileCount; ++t) stage.tileSprites.push_back(first + t);
    stage.tileVisible.assign(size_t(tileCount), 0);
    stage.width = tileCount * tileWidth;
    stage.rightLimit = stage.width;
    stage.tilePrefix = tilePrefix;
    stage.name = "terrain " + std::to_string(stageList.size());
    return stage;
}

void buildStages() {
    stageList.clear();
    struct Row {
        int64_t tiles, tileWidth;
        const char* prefix;
        int64_t left, right, vertical, musicSlot;
        const char* music;
        int64_t introSlot;
        const char* intro;
        const char* name;
    };
    const Row rows[] = {
        {4, 750, "image/background1_", 25, 2975, 230, 2, "music/Quarrelix main v06 loop.ogg", 3,
         "sound/counter.ogg", "desktop"},
        {6, 1000, "image/background2_", 275, 5975, -520, 6, "music/Stick da being v05.ogg", 3,
         "sound/counter.ogg", "college"},
        {5, 1000, "image/background3_", 25, 4975, -560, 7, "music/Merlok v02 loop.ogg", 8,
         "music/Merlok intro.ogg", "board game club"}};
    for (const Row& row : rows) {
        Stage stage = makeStage(row.tiles, row.tileWidth, row.prefix);
        stage.leftLimit = row.left;
        stage.rightLimit = row.right;
        stage.vertical = row.vertical;
        stage.musicSlot = row.musicSlot;
        stage.musicFile = row.music;
        stage.introSlot = row.introSlot;
        stage.introFile = row.intro;
        stage.name = row.name;
        stageList.push_back(stage);
    }
}

void loadStageTiles(const Stage& stage) {
    if (drawingDiscarded()) return; // drawn by nobody
    std::vector<SpriteFile> missing;
    for (size_t t = 0; t < stage.tileSprites.size(); ++t)
        if (!spriteExists(stage.tileSprites[t])) // kept from the last match on this stage
            missing.push_back({stage.tileSprites[t], stage.tilePrefix + std::to_string(t + 1) + ".png", 0});
    loadSprites(missing);
}

void freeStageTiles(const Stage& stage) {
    for (int64_t sprite : stage.tileSprites) freeSprite(sprite);
}

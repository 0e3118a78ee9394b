// Fighter classes: statistics, stances, animations and the combos their attacks allow.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/animation.h"

struct Stat {
    int64_t strength = 0;
    int64_t agility = 0;
    int64_t speed = 0;
    int64_t weight = 0;
    int64_t endurence = 0;
    int64_t life = 0;
    int64_t cut = 0;
    int64_t pierce = 0;
    int64_t blunt = 0;
    int64_t reach = 0;
    int64_t difficulty = 0;
};

struct Stance {
    int64_t id = 0;
    std::string name;
    std::optional<Stat> modificator;
    std::vector<int64_t> material; // positions in soundMaterials; -1 for a bad reference
    int64_t specialColor = 0;
    int64_t specialTransparency = 0;
    int64_t alternateColor = 0;
    int64_t alternateTransparency = 0;
};

// Indices of a class's animation table.
enum AnimationSlot {
    kSlotIdle, kSlotMoveFront, kSlotMoveBack, kSlotNeutral, kSlotSide, kSlotBack, kSlotUp,
    kSlotDown, kSlotHeavy, kSlotDeath, kSlotSpawn, kSlotJump, kSlotLand, kSlotCount
};

struct FighterClass {
    int64_t id = 0;
    std::string name;
    int64_t pictureSprite = 0;
    std::string iconPath;
    int64_t portraitSprite = 0;
    std::string description;
    int64_t toBeAdded = 0;
    int64_t notSelectable = 0;
    Animation* idle = nullptr;
    std::vector<Animation*> idleOther;
    Animation* moveFront = nullptr;
    Animation* moveBack = nullptr;
    Animation* neutral = nullptr;
    Animation* side = nullptr;
    Animation* up = nullptr;
    Animation* back = nullptr;
    Animation* down = nullptr;
    Animation* heavy = nullptr;
    Animation* death = nullptr;
    Animation* spawn = nullptr;
    Animation* jump = nullptr;
    Animation* land = nullptr;
    std::optional<Stat> stat;
    std::vector<Stance> stance;
    std::vector<Frame> hit; // hit reaction frames
    std::vector<int64_t> comboList;
    std::array<Animation*, kSlotCount> animationTable{};
    int64_t userCount = 0;
    bool imagesPrepared = false; // the class's images were queued for a match once
};

extern std::vector<std::unique_ptr<FighterClass>> classes;
extern std::vector<int64_t> selectableClasses; // class ids, then the markers -1 and -2

std::unique_ptr<FighterClass> readClass(const JsonNode* json);
// Statistics are read within -kStatLimit..kStatLimit.
constexpr int64_t kStatLimit = 100000;
Stat readStat(const JsonNode* json);
Animation* attackForStance(const FighterClass* fighterClass, int64_t stanceCode);
bool comboIsComplete(const FighterClass* fighterClass, int64_t code);
std::vector<int64_t> deriveComboList(const FighterClass* fighterClass);
bool isSelectable(const FighterClass& fighterClass);
void buildSelectableList(int64_t withMarkers);
FighterClass* classAt(int64_t position); // null outside the list
int64_t randomClassIndex(int64_t excludeToBeAdded); // -1 when no class qualifies
int64_t randomStanceIndex(const FighterClass* fighterClass);

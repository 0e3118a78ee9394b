// Animations and their frames: pictures, durations and what each moment of an attack does.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/json_fields.h"

struct Animation;

struct Frame {
    int64_t sprite = 0; // own picture when clone is -1
    int64_t length = 0; // ticks of 20 ms
    int64_t hurtSpriteA = 0; // hit mask and its mirrored copy
    int64_t hurtSpriteB = 0;
    int64_t sound = 0;  // position in the sound pool list, played when the frame starts
    int64_t noRecSound = 0;
    int64_t damage = 0;
    int64_t damageCut = 0;
    int64_t pureProjectileDamage = 0;
    int64_t needCatch = 0;
    int64_t canDoNext = 0;
    std::optional<Vec2> movement;
    int64_t movementDNeedCatch = 0;
    std::optional<Vec2> movementDelta;
    int64_t freeMovement = 0;
    std::optional<Vec2> shift;
    std::optional<Vec2> hurtShift;
    std::optional<Vec2> pushPower;
    std::optional<Vec2> pushInstant;
    std::optional<Vec2> moveTargetTo;
    std::optional<Vec2> pushPowerDelta;
    int64_t stun = 0;
    int64_t damageType = 0; // 1 cut, 2 pierce, 3 blunt
    int64_t damageSide = 0;
    int64_t shake = 0;
    int64_t catchFrame = 0; // "catch": the frame is a grab
    int64_t clone = 0;      // -1: own picture; k: the picture of frame k
    int64_t cloneHurt = 0;  // -1: own hit masks; k: those of frame k
    std::optional<Vec2> shadowShift;
    std::string path;
    bool loaded = false;    // its images have been loaded (set by the sprite loader)
};

// Wind effects per frame: entry j of frame i is entries[i * perFrame + j] (null: none).
struct WindTable {
    int64_t frameCount = 0;
    int64_t perFrame = 0;
    std::vector<Animation*> entries;
    Animation* entry(int64_t frame, int64_t j) const;
};

// Follow-up table order: neutral, side, back, up, down, heavy.
constexpr int kFollowUpCount = 6;

struct Animation {
    std::vector<Frame> frames;
    int64_t id = 0;
    int64_t looped = 0;
    int64_t attack = 0;
    int64_t recovery = 0; // ticks
    int64_t comboEnd = 0;
    int64_t loopStart = 0;
    std::array<Animation*, kFollowUpCount> followUps{};
    Animation* neutral = nullptr;
    Animation* side = nullptr;
    Animation* back = nullptr;
    Animation* down = nullptr;
    Animation* up = nullptr;
    Animation* heavy = nullptr;
    std::optional<WindTable> frontWind;
    std::optional<WindTable> backWind;
    std::string name;
    int64_t type = 0;
    int64_t ungrounded = 0;
    int64_t frameIndex = 0; // the current frame when the record is a fighter's own copy
    int64_t listPosition = -1; // its position in allAnimations: its identity in a fight's hash
};

// Every animation record, in creation order (placeholders appear once per (re)initialisation).
extern std::vector<Animation*> allAnimations;
extern Animation* emptyAnimation;

// Frame lengths, damages, stuns, shakes and recoveries are read within this limit (ticks or
// points): far beyond any playable value, small enough for the fight's arithmetic.
constexpr int64_t kFrameValueLimit = 1000000;

Animation* readAnimation(const JsonNode* json); // null when json is absent
Frame readFrame(const JsonNode* json);
Animation* newAnimation(); // a record owned by the animation store, listed in allAnimations
Animation* makePlaceholderAnimation(Animation* record, int64_t looped, int64_t attack,
                                    int64_t recovery, const std::string& name);
Animation* followUpFor(const Animation* animation, int64_t stanceCode);
bool hasFollowUp(const Animation* animation);
void refreshFollowUpTables();
void linkClonedFrames();
int64_t animationsFromFileCount(); // records read from the data file, placeholders excluded
void clearAnimations();            // frees every record (tests, a new data load)

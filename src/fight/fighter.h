// The fighter record: one per player for the whole run, read by every part of the fight.
// Positions are world pixels (x right, y down); time is counted in ticks of 20 ms.
#pragma once

#include <array>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

#include "data/animation.h"
#include "data/json_fields.h"
#include "input/bindings.h"
#include "input/controls.h"

struct FightState;
struct FighterClass;
struct Stance;
struct Stat;

constexpr int kComboSteps = 5; // the combo tables hold five attacks

// The life gauge of the HUD; the fighter update writes its lengths (pixels).
struct LifeGauge {
    int64_t orientation = 0; // 0 drawn from the right (player one), 1 from the left
    double x = 0, y = 0;     // screen position
    int64_t mainTarget = 0, extraTarget = 0;
    double mainShown = 0, extraShown = 0; // slide towards the targets at 1 px per tick
    bool shaking = false;
    Vec2 shake;              // offset while shaking, drawn anew once per tick
    double flash = 0;
};

struct MoveState {
    int64_t walking = 0;
    int64_t walkStarted = 0;
    int64_t jumping = 0;
};

// What a match reports about a fighter (for the match runner and the balance report).
struct MatchStats {
    int64_t hits = 0;     // damaging touches landed
    int64_t damage = 0;   // total dealt
    int64_t maxCombo = 0; // the longest chain of touching attacks in one combo
};

struct Fighter {
    int64_t id = 0;
    Animation currentAnimation;             // the fighter's own copy of the animation playing
    const Animation* animationSource = nullptr; // the record it was copied from
    bool hasAnimation = false;
    float tickAccumulator = 0;
    int64_t frameTime = 0;   // whole ticks spent in the current frame
    // Whole ticks the last update added to the current frame's time: set by each update and
    // read by the same step's hit resolution, so nothing of it carries over to the next step.
    int64_t ticksThisUpdate = 0;
    double cooldown = 0;     // ticks of recovery left
    Vec2 position, previousPosition;
    Vec2 velocity, moveVelocity, pushVelocity;
    Vec2 screenPosition;
    float gravityThisUpdate = 0; // what gravity added to velocity y in this update (per tick)
    int64_t life = 0;
    int64_t maxLife = 0;
    int64_t attacking = 0;
    int64_t color = 0;         // the player's own colour (RGB)
    std::array<double, kInputCount> input{}; // ticks each action still counts as pressed
    MoveState moveState;
    FighterClass* fighterClass = nullptr;
    int64_t stanceIndex = 0;
    const Stance* stance = nullptr;
    int64_t useAlternateColor = 0; // player two's stance colour equals player one's
    int64_t side = 0;          // 1: the opponent is to the right
    int64_t facing = 0;        // 1 facing right, 0 facing left
    std::vector<int64_t> hitList; // fighters touched by the current attack
    int64_t hitLanded = 0;
    std::array<int64_t, kComboSteps> comboStance{};
    std::array<double, kComboSteps> comboShake{};
    std::array<double, kComboSteps> comboMultiplier{1, 1, 1, 1, 1};
    std::array<double, kComboSteps> comboTouched{};
    std::array<double, kComboSteps> comboFlash{};
    std::array<double, kComboSteps> comboEndBonus{};
    std::array<double, kComboSteps> comboFacing{};
    int64_t comboStep = 0;
    LifeGauge lifeBar;
    float regenTimer = 0;
    int64_t regenCount = 0;
    int64_t falling = 0;
    int64_t onGround = 0;
    int64_t stunFrames = 0;
    int64_t caught = 0;
    int64_t botLevel = 0;      // 0 human; 1, 2, 3 Easy, Medium, Hard
    int64_t damageFlash = 0;
    int64_t hurtAnimIndex = -1;
    int64_t hitStopFrameIndex = -1;
    int64_t movementApplied = 0;
    int64_t windEmitted = 0;
    // The picture the fighter shows, settled by the fight step and drawn as it is: what the
    // opponent's attacks can hit. The frame lies in the class data (its current frame's
    // original, or a hit reaction), so a copied state shares it.
    const Frame* shownFrame = nullptr;
    Vec2 tremble;              // a hit reaction's trembling offset this frame (pixels)
    std::array<std::array<double, 2>, kComboSteps> comboJitter{}; // icons' shake x, y (pixels)
    int64_t animationStarts = 0; // counts setAnimation calls: tells an update what it started
    MatchStats stats;
};

// Player 1's or 2's fighter as start-up makes it (its keys and name are the player's own: see
// PlayerSetup).
void createFighter(Fighter& fighter, int64_t color, int64_t player);

// Class statistics plus the stance's modifier, plus 1 each for a Hard bot.
Stat effectiveStat(const Fighter& fighter);
// A class's statistics plus a stance's modifier (null: none): a human player's effective ones.
Stat classStanceStat(const FighterClass& fighterClass, const Stance* stance);
int64_t maxLifeOf(const Fighter& fighter);     // 15 x life + 200
int64_t animationType(const Fighter& fighter); // 0 without an animation
const Frame* currentFrame(const Fighter& fighter); // null without frames
bool isAlive(const Fighter& fighter);
int64_t fighterColour(const Fighter& fighter); // the player's or the stance's colour (RGB)

// The picture's top-left corner for a frame (by its shift) shown at a position: one shift
// value holds both placements, facing right in its thousands (a fractional division), facing
// left in its last three digits.
Vec2 framePicturePlace(const std::optional<Vec2>& shift, Vec2 at, int64_t facing);

// Places the fighter for a new match at (x, 775), in its spawn animation, at full life.
void resetFighter(const FightState& state, Fighter& fighter, float x);
void resetLifeGauge(Fighter& fighter);

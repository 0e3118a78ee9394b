// Animated effects (wind trails, landing dust): frames of an animation played at a place.
#pragma once

#include <cstdint>
#include <vector>

#include "data/json_fields.h"

struct FightState;
struct Animation;

struct Effect {
    const Animation* animation = nullptr;
    Vec2 position;            // world position, placed as a fighter is
    int64_t facing = 0;
    int64_t colour = 0;       // tint, 0 none
    int64_t opacity = 255;
    int64_t intensity = 0;    // of the tint pass
    int64_t variant = 0;      // 0 front, 1 back
    int64_t layer = 0;        // 1 behind the fighters, 0 in front
    double tickAccumulator = 0;
    int64_t frameIndex = 0;
    int64_t tickCounter = 0;
    int64_t loopsLeft = 1;
    bool looping = false;
    bool active = true;
    bool visible = true;
};

extern std::vector<Effect> effects;

// A new effect; the front variant is drawn in front of the fighters, the back one behind.
const Effect* createEffect(const Animation* animation, Vec2 position, int64_t facing,
                           int64_t colour, int64_t opacity, int64_t intensity, int64_t variant);
void advanceEffects(double ticks); // then removes the finished ones
void drawEffects(const FightState& fight, int64_t layer);
void clearEffects();

// What a fight step sets off for the presentation: sounds to play, blood to spray and effects
// to show. The step makes every random draw for them; the presentation plays them after the
// step, so a step run again from a restored state neither draws differently nor sounds twice.
#pragma once

#include <cstdint>
#include <vector>

#include "data/json_fields.h"
#include "data/sound_library.h"

struct Animation;

// One drop of the blood spray: world position and velocity (pixels, per tick); its life is
// `lifeFactor` times the blood sequence's frame time.
struct BloodDrop {
    double x = 0, y = 0, vx = 0, vy = 0;
    double lifeFactor = 0;
};

// An animated effect (wind trail, landing dust) starting at a place, drawn like a fighter.
struct EffectStart {
    const Animation* animation = nullptr;
    Vec2 position;
    int64_t facing = 0;
    int64_t colour = 0;    // tint, 0 none
    int64_t opacity = 255;
    int64_t intensity = 0; // of the tint pass
    int64_t variant = 0;   // 0 front, 1 back
};

struct FightEvents {
    std::vector<PoolSoundChoice> sounds;
    std::vector<BloodDrop> blood;
    std::vector<EffectStart> effects;
    bool effectsAdvance = false;         // no hit-stop where the effects move on in the step
    bool playerOneAttackPressed = false; // for the debug strip
};

struct FightState;

void clearFightEvents(FightEvents& events);
// Chooses the pool sound now, from the fight's generator, and keeps it in the fight's events
// for the presentation (see choosePoolSound).
void queuePoolSound(FightState& state, int64_t pool, int64_t x, int64_t variation,
                    double pitchFactor, double volumeFactor, bool withChain = true);

// Particles (the blood spray and the like): images of a sequence flying with per-tick physics.
#pragma once

#include <cstdint>
#include <vector>

#include "data/json_fields.h"

struct FightState;
struct ImageSequence;

struct Particle {
    Vec2 position;      // world
    Vec2 velocity;      // per tick
    const ImageSequence* sequence = nullptr;
    double tickAccumulator = 0;
    int64_t frame = 0;  // counts down; below 0 the particle dies
    int64_t frameTimer = 0;
    int64_t alpha = 255;
    int64_t tint = -1;  // -1 none
    int64_t layer = 0;  // 1 behind the fighters, 0 in front
    bool alive = true;
};

extern std::vector<Particle> particles;

// Only while particles are enabled; returns the new particle or null.
Particle* emitParticle(const ImageSequence& sequence, double x, double y, double vx, double vy,
                       int64_t life);
void updateParticles(double ticks);
void drawParticles(const FightState& fight, int64_t layer);
void clearParticles();

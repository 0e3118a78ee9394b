// Particles.
#include "render/particles.h"

#include <algorithm>
#include <cmath>

#include "fight/fight_state.h"
#include "render/sprite_assets.h"
#include "runtime/numbers.h"
#include "runtime/sprites.h"
#include "settings/settings.h"

std::vector<Particle> particles;

Particle* emitParticle(const ImageSequence& sequence, double x, double y, double vx, double vy,
                       int64_t life) {
    if (!settings.particleEnabled || sequence.frames.empty()) return nullptr;
    Particle p;
    p.sequence = &sequence;
    auto frames = int64_t(sequence.frames.size());
    if (life == -1) {
        p.frame = 0;
        p.frameTimer = sequence.frameTime;
    } else {
        p.frame = life / frames;
        p.frameTimer = sequence.frameTime > 0 ? roundToInt(double(life % sequence.frameTime)) : 0;
    }
    size_t shown = size_t(std::clamp<int64_t>(p.frame, 0, frames - 1));
    double offset = shown < sequence.offsets.size() ? sequence.offsets[shown] : 0;
    p.position = {float(x - offset), float(y - offset)};
    p.velocity = {float(roundToInt(vx)), float(roundToInt(vy))};
    particles.push_back(p);
    return &particles.back();
}

void updateParticles(double ticks) {
    if (!settings.particleEnabled) return;
    for (Particle& p : particles) {
        const ImageSequence& s = *p.sequence;
        p.tickAccumulator += ticks;
        int64_t n = roundToInt(p.tickAccumulator);
        p.frameTimer -= s.frameStep * n;
        p.tickAccumulator -= double(n);
        if (p.frameTimer <= 0) {
            p.frame -= n;
            if (p.frame < 0) {
                p.alive = false;
                continue;
            }
            p.frameTimer = s.frameTime;
        }
        for (int64_t tick = 0; tick < n && p.alive; ++tick) {
            if (s.options & 2) {
                p.alpha = std::max<int64_t>(0, p.alpha - roundToInt(s.fade));
                if (p.alpha <= 0) p.alive = false;
            }
            if (s.options & 4) {
                p.alpha = std::min<int64_t>(255, std::max<int64_t>(0, roundToInt(double(p.alpha) * s.fade)));
                if (p.alpha <= 0) p.alive = false;
            }
            if ((s.options & 8) && tick == 0) p.tint = p.tint == -1 ? s.blinkColor : -1;
            if (s.options & 32) {
                p.velocity.x *= float(s.optionX);
                p.velocity.y *= float(s.optionY);
            }
            if (s.options & 16) {
                p.velocity.x += float(s.optionX) * float(sign(p.velocity.x));
                p.velocity.y += float(s.optionY);
            }
        }
        p.position.x += p.velocity.x * float(ticks);
        p.position.y += p.velocity.y * float(ticks);
    }
    std::erase_if(particles, [](const Particle& p) { return !p.alive; });
}

void drawParticles(const FightState& fight, int64_t layer) {
    for (const Particle& p : particles) {
        if (p.layer != layer || p.sequence->frames.empty()) continue;
        auto last = int64_t(p.sequence->frames.size()) - 1;
        int64_t sprite = p.sequence->frames[size_t(std::clamp<int64_t>(p.frame, 0, last))];
        int64_t x = roundToInt(p.position.x - float(fight.focusX) + fight.shakeOffset.x);
        int64_t y = roundToInt(p.position.y + fight.shakeOffset.y - float(fight.cameraY));
        drawSpriteBlended(sprite, x, y, p.alpha, p.tint >= 0 ? p.tint : kNoTint);
    }
}

void clearParticles() { particles.clear(); }

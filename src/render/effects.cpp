// The effects table.
#include "render/effects.h"

#include <algorithm>

#include "data/animation.h"
#include "fight/fight_state.h"
#include "render/fighter_drawing.h"
#include "render/frame_images.h"

std::vector<Effect> effects;

const Effect* createEffect(const Animation* animation, Vec2 position, int64_t facing,
                           int64_t colour, int64_t opacity, int64_t intensity, int64_t variant) {
    if (!animation || animation->frames.empty()) return nullptr;
    Effect e;
    e.animation = animation;
    e.position = position;
    e.facing = facing;
    e.colour = colour;
    e.opacity = opacity;
    e.intensity = intensity;
    e.variant = variant;
    e.layer = variant == 1 ? 1 : 0;
    e.looping = animation->looped != 0;
    effects.push_back(e);
    return &effects.back();
}

void advanceEffects(double ticks) {
    for (Effect& e : effects) {
        if (!e.active) continue;
        e.tickAccumulator += ticks;
        const auto& frames = e.animation->frames;
        auto last = int64_t(frames.size()) - 1;
        while (e.active && e.tickAccumulator >= 1.0) {
            e.tickAccumulator -= 1.0;
            e.tickCounter += 1;
            e.frameIndex = std::min(e.frameIndex, last);
            int64_t length = frames[size_t(e.frameIndex)].length;
            if (e.tickCounter <= length) continue;
            e.tickCounter -= length;
            if (e.frameIndex < last) {
                e.frameIndex += 1;
            } else if (e.looping && --e.loopsLeft > 0) {
                e.frameIndex = 0;
            } else {
                e.active = false;
            }
        }
    }
    std::erase_if(effects, [](const Effect& e) { return !e.active; });
}

void drawEffects(const FightState& fight, int64_t layer) {
    for (Effect& e : effects) {
        if (e.layer != layer || !e.visible || !e.active) continue;
        Frame& frame = const_cast<Frame&>(e.animation->frames[size_t(e.frameIndex)]);
        if (!frame.loaded) loadFrameImages(frame);
        Vec2 screen{e.position.x - float(fight.focusX), e.position.y};
        drawFramePicture(fight, frame, screen, e.facing, e.opacity, e.colour, e.intensity);
    }
}

void clearEffects() { effects.clear(); }

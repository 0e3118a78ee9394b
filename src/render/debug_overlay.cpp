// Debug overlay.
#include "render/debug_overlay.h"

#include <cmath>

#include "fight/fighter.h"
#include "render/fighter_drawing.h"
#include "render/text.h"
#include "runtime/numbers.h"
#include "runtime/sprites.h"
#include "runtime/text.h"

namespace {
std::string number(double value) { return floatToText(value, 2); }
} // namespace

void drawDebugOverlay(const Fighter& f, int64_t xShift) {
    const Frame* frame = currentFrame(f);
    if (!frame) return;
    double sx = f.screenPosition.x, sy = f.screenPosition.y;
    int64_t x = roundToInt(sx + 450);
    auto line = [&](double dy, const std::string& text) { drawPlainText(text, x, roundToInt(sy + dy)); };
    line(391, "Frame " + std::to_string(f.currentAnimation.id) + "[" +
                  std::to_string(f.currentAnimation.frameIndex) + "]");
    line(374, "Delta y : " + number(f.velocity.y));
    if (frame->movement)
        line(357, "Movement : " + number(frame->movement->x) + "/" + number(frame->movement->y));
    line(323, "animation : " + f.currentAnimation.name);
    line(295, "jumping : " + std::to_string(f.moveState.jumping));
    line(275, "gravity : " + number(f.gravityThisUpdate));
    line(255, "push : " + number(f.pushVelocity.y));
    line(235, "movement : " + number(f.velocity.y));
    if (f.currentAnimation.attack && frame->hurtShift) {
        int64_t mask = f.facing == 1 ? frame->hurtSpriteB : frame->hurtSpriteA;
        double offset = f.facing == 1 ? frame->hurtShift->x / 1000.0
                                      : std::fmod(double(frame->hurtShift->x), 1000.0);
        drawSpriteBlended(mask, roundToInt(sx + double(roundToInt(offset))),
                          roundToInt(sy + frame->hurtShift->y), 128);
    }
    if (f.shownFrame && f.shownFrame->sprite != 0) {
        // Where the hit test places the body: by its frame's shift, as it is drawn.
        Vec2 place = framePicturePlace(f.shownFrame->shift, f.screenPosition, f.facing);
        orientFrameSprite(f.shownFrame->sprite, f.facing);
        drawSpriteBlended(f.shownFrame->sprite, roundToInt(place.x), roundToInt(place.y), 128);
    }
    drawPlainText(std::to_string(roundToInt(sy)), roundToInt(sx), roundToInt(sy));
    drawPlainText(std::to_string(f.life) + "/" + std::to_string(f.maxLife),
                  roundToInt(sx + double(xShift) + 450), roundToInt(sy + 408));
}

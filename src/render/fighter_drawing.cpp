// Fighter drawing.
#include "render/fighter_drawing.h"

#include <cmath>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "render/frame_images.h"
#include "render/layout_record.h"
#include "render/life_bar.h"
#include "render/sprite_assets.h"
#include "runtime/colour.h"
#include "runtime/numbers.h"
#include "runtime/sprites.h"

#include <algorithm>

void orientFrameSprite(int64_t sprite, int64_t facing) {
    double w = double(spriteWidth(sprite)), h = double(spriteHeight(sprite));
    if (facing == 1)
        transformSprite(sprite, w - 1, 0, 0, 0, 0, h - 1, w - 1, h - 1);
    else
        transformSprite(sprite, 0, 0, w - 1, 0, w - 1, h - 1, 0, h - 1);
}

void drawFramePicture(const FightState& fight, const Frame& frame, Vec2 screen, int64_t facing, int64_t opacity,
                      int64_t tint, int64_t tintIntensity, const char* layoutWhat) {
    if (frame.sprite == 0 || !spriteExists(frame.sprite)) return;
    Vec2 place = framePicturePlace(frame.shift, screen, facing);
    int64_t x = roundToInt(place.x + fight.shakeOffset.x);
    int64_t y = roundToInt(place.y + fight.shakeOffset.y - float(fight.cameraY));
    orientFrameSprite(frame.sprite, facing);
    drawSpriteBlended(frame.sprite, x, y, opacity);
    if (tint != 0) drawSpriteBlended(frame.sprite, x, y, tintIntensity, tint);
    if (layoutWhat) noteSpriteLayout(LayoutRole::Portrait, frame.sprite, x, y, layoutWhat);
}

void ensureFrameLoaded(const Fighter& fighter) {
    Animation& own = const_cast<Animation&>(fighter.currentAnimation);
    if (!fighter.hasAnimation || own.frames.empty()) return;
    Frame& copy = own.frames[size_t(own.frameIndex)];
    if (copy.loaded && (copy.sprite == 0 || spriteExists(copy.sprite))) return;
    // The class's own frame is loaded (once for every fighter); the copy learns the outcome.
    const Animation* source = fighter.animationSource;
    if (source && own.frameIndex < int64_t(source->frames.size())) {
        Frame& original = const_cast<Frame&>(source->frames[size_t(own.frameIndex)]);
        if (!original.loaded || (original.sprite != 0 && !spriteExists(original.sprite)))
            loadFrameImages(original);
        copy.hurtSpriteA = original.hurtSpriteA;
        copy.hurtSpriteB = original.hurtSpriteB;
        copy.loaded = true;
    } else {
        loadFrameImages(copy);
    }
}

int64_t fighterTint(const Fighter& fighter) {
    int64_t colour = fighterColour(fighter);
    int64_t phase = fighter.damageFlash % 9;
    if (fighter.damageFlash != 0 && phase <= 5) {
        // The damage flash: light red, or purple for a fighter without a colour.
        return phase >= 3 && colour == 0 ? RGB(128, 0, 128) : RGB(255, 96, 96);
    }
    if (fighter.cooldown != 0) return RGB(12, 12, 12); // held in recovery or stun: near black
    return colour;
}

int64_t motionBrightness(const Frame& frame) {
    double b = 255;
    if (frame.movement) b -= std::fabs(frame.movement->x) + std::fabs(frame.movement->y);
    if (frame.movementDelta)
        b -= 3 * std::fabs(frame.movementDelta->x) + 3 * std::fabs(frame.movementDelta->y);
    return std::max<int64_t>(192, roundToInt(b));
}

int64_t lightened(int64_t colour, int64_t k) {
    if (colour == 0 || k <= 0) return colour;
    return RGB(std::min<int64_t>(255, redOf(colour) + k), std::min<int64_t>(255, greenOf(colour) + k),
               std::min<int64_t>(255, blueOf(colour) + k));
}

double shadowScale(const FightState& fight, const Fighter& fighter, const Frame* frame) {
    double lift = std::fabs(double(fighter.position.y) - double(groundLine(fight))) / 1000.0;
    double shift = frame && frame->shadowShift ? frame->shadowShift->y / 1000.0 : 0;
    return std::max(0.1, 1 - lift + shift);
}

void drawShadow(const FightState& fight, const Fighter& fighter, const Frame* frame) {
    if (!spriteExists(shadowSprite)) return;
    double scale = shadowScale(fight, fighter, frame);
    double shiftX = frame && frame->shadowShift ? frame->shadowShift->x : 0;
    zoomSprite(shadowSprite, roundToInt(300 * scale), roundToInt(40 * scale));
    double y = double(groundLine(fight)) + fight.shakeOffset.y - double(fight.cameraY) + (40 - 40 * scale) / 2 + 600;
    double base = fighter.screenPosition.x + fight.shakeOffset.x + (300 - 300 * scale) / 2;
    double x = fighter.facing == 1 ? base - shiftX + 330 : base + shiftX + 430;
    drawSpriteBlended(shadowSprite, roundToInt(x), roundToInt(y), roundToInt(scale * 128));
}

void drawFighter(const FightState& fight, const Fighter& fighter) {
    const Frame* frame = fighter.shownFrame;
    if (!frame) return;
    if (!frame->loaded || (frame->sprite != 0 && !spriteExists(frame->sprite)))
        loadFrameImages(const_cast<Frame&>(*frame));
    drawShadow(fight, fighter, frame);
    Vec2 at = fighter.screenPosition;
    at.x += fighter.tremble.x;
    at.y += fighter.tremble.y;
    int64_t b = motionBrightness(*frame);
    int64_t tint = lightened(fighterTint(fighter), 2 * std::max<int64_t>(0, 224 - b));
    drawFramePicture(fight, *frame, at, fighter.facing, b, tint, b);
    drawLifeBar(fighter);
}

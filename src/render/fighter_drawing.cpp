// Fighter drawing.
#include "render/fighter_drawing.h"

#include <cmath>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "render/frame_images.h"
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

Vec2 framePicturePlace(const std::optional<Vec2>& shift, Vec2 screen, int64_t facing) {
    double shiftX = shift ? shift->x : 0, shiftY = shift ? shift->y : 0;
    // One shift value holds both placements: facing right in its thousands (a fractional
    // division), facing left in its last three digits.
    double x = facing == 1 ? screen.x + shiftX / 1000.0 : screen.x + std::fmod(shiftX, 1000.0);
    return {float(x), float(screen.y + shiftY)};
}

void drawFramePicture(const Frame& frame, Vec2 screen, int64_t facing, int64_t opacity,
                      int64_t tint, int64_t tintIntensity) {
    if (frame.sprite == 0 || !spriteExists(frame.sprite)) return;
    Vec2 place = framePicturePlace(frame.shift, screen, facing);
    int64_t x = roundToInt(place.x + shakeOffset.x);
    int64_t y = roundToInt(place.y + shakeOffset.y - float(cameraY));
    orientFrameSprite(frame.sprite, facing);
    drawSpriteBlended(frame.sprite, x, y, opacity);
    if (tint != 0) drawSpriteBlended(frame.sprite, x, y, tintIntensity, tint);
}

void ensureFrameLoaded(Fighter& fighter) {
    Animation& own = fighter.currentAnimation;
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
    int64_t colour = fighter.color;
    if (fighter.stance && fighter.stance->specialColor != 0)
        colour = fighter.useAlternateColor ? fighter.stance->alternateColor
                                           : fighter.stance->specialColor;
    return colour;
}

const Frame* frameToDraw(Fighter& fighter) {
    FighterClass* c = fighter.fighterClass;
    bool reactions = c && !c->hit.empty();
    if (fighter.hurtAnimIndex >= 0) {
        // A hit reaction shows until the cooldown it brought has run out.
        if (fighter.cooldown <= 0 || !reactions) fighter.hurtAnimIndex = -1;
        else return &c->hit[size_t(std::min<int64_t>(fighter.hurtAnimIndex, int64_t(c->hit.size()) - 1))];
    } else if (freezeTimer > 0 && fighter.hitList.empty() && reactions) {
        // During hit-stop the one who was not hitting shows a reaction picked once.
        if (fighter.hitStopFrameIndex < 0)
            fighter.hitStopFrameIndex = randomInt(int64_t(c->hit.size()) - 1);
        return &c->hit[size_t(std::min<int64_t>(fighter.hitStopFrameIndex, int64_t(c->hit.size()) - 1))];
    } else {
        fighter.hitStopFrameIndex = -1;
    }
    ensureFrameLoaded(fighter);
    return currentFrame(fighter);
}

void drawFighter(Fighter& fighter) {
    const Frame* frame = frameToDraw(fighter);
    fighter.bodySprite = 0;
    if (!frame) return;
    if (!frame->loaded || (frame->sprite != 0 && !spriteExists(frame->sprite)))
        loadFrameImages(const_cast<Frame&>(*frame));
    fighter.bodySprite = frame->sprite;
    fighter.bodyShift = frame->shift;
    fighter.bodyDamageSide = frame->damageSide;
    drawFramePicture(*frame, fighter.screenPosition, fighter.facing, 255, fighterTint(fighter), 255);
}

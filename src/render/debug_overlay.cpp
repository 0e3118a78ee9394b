// The debug overlay and the position strip.
#include "render/debug_overlay.h"

#include <algorithm>
#include <cmath>

#include "data/sprite_numbers.h"
#include "data/stage.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "render/fighter_drawing.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "runtime/text.h"
#include "settings/settings.h"

namespace {
std::string number(double value) { return floatToText(value, 2); }
int64_t stripBlock = 0; // bar, camera marker, player one marker, player two marker
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

void buildDebugStrip(const Stage* stage) {
    if (stripBlock == 0) stripBlock = takeSpriteNumbers(4);
    int64_t barWidth = std::max<int64_t>(1, (stage ? stage->width : 3000) / 10);
    const int64_t sizes[4][2] = {{barWidth, 5}, {10, 10}, {10, 10}, {10, 10}};
    const int64_t colours[4] = {RGB(0, 100, 255), RGB(0, 255, 255), RGB(255, 255, 255),
                                RGB(255, 0, 255)};
    for (int i = 0; i < 4; ++i) {
        createSprite(stripBlock + i, sizes[i][0], sizes[i][1], kSpriteAlpha);
        if (beginDrawing(spriteOutput(stripBlock + i))) {
            fillBox(0, 0, sizes[i][0], sizes[i][1], colours[i]);
            endDrawing();
        }
    }
}

void freeDebugStrip() {
    if (stripBlock == 0) return;
    for (int i = 0; i < 4; ++i) freeSprite(stripBlock + i);
}

void drawDebugStrip(const FightState& fight, const Stage* stage, bool attackPressed) {
    const Fighter& left = leftFighter(fight);
    const Fighter& right = rightFighter(fight);
    drawPlainText("difference : " + std::to_string(roundToInt(right.position.x - left.position.x)),
                  400, 400);
    drawPlainText("leftX : " + std::to_string(roundToInt(left.position.x)), 400, 420);
    drawPlainText("RightX: " + std::to_string(roundToInt(right.position.x)), 400, 440);
    drawPlainText("Focus: " + std::to_string(fight.focusX), 400, 480);
    if (stripBlock == 0 || !spriteExists(stripBlock)) buildDebugStrip(stage);
    drawSpriteBlended(stripBlock, 365, 500);
    drawSpriteBlended(stripBlock + 1, (fight.focusX - 350) / 10 + 400, 500);
    drawSpriteBlended(stripBlock + 1, (fight.focusX + fight.viewWidth - 450) / 10 + 400, 500);
    drawSpriteBlended(stripBlock + 2, roundToInt(fight.players[0].position.x) / 10 + 400, 500);
    drawSpriteBlended(stripBlock + 3, roundToInt(fight.players[1].position.x) / 10 + 400, 500);
    if (attackPressed) drawPlainText("attack", 600, 600);
}

void resetDebugStrip() { stripBlock = 0; }

void setDebugMode(bool on) {
    settings.debugMode = on ? -1 : 0;
    if (!on) freeDebugStrip();
}

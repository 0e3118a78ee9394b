// The fight frame.
#include "fight/fight_frame.h"

#include <algorithm>
#include <cmath>

#include "app/game_screen.h"
#include "app/stages.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "render/effects.h"
#include "render/fighter_drawing.h"
#include "render/sprite_numbers.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
int64_t backdropSprite = 0;
} // namespace

void drawBackdrop() {
    if (backdropSprite == 0) backdropSprite = takeSpriteNumber();
    if (!spriteExists(backdropSprite) || spriteWidth(backdropSprite) != screenWidth ||
        spriteHeight(backdropSprite) != screenHeight) {
        createSprite(backdropSprite, screenWidth, screenHeight, kSpriteAlpha);
        if (beginDrawing(spriteOutput(backdropSprite))) {
            int64_t r = 255, g = 127, b = 0;
            for (int64_t i = 0; i < 20; ++i) {
                fillBox(8 * i, 8 * i, screenWidth - 16 * i, screenHeight - 16 * i, RGB(r, g, b));
                r = (r + 32) / 2;
                g = (g + 32) / 2;
                b = (b + 32) / 2;
            }
            fillBox(160, 160, screenWidth - 320, screenHeight - 320, RGB(32, 32, 32));
            endDrawing();
        }
    }
    drawSprite(backdropSprite, 0, 0);
}

void shakeStep(double timeFactor) {
    shakeOffset = {float(randomInt(roundToInt(screenShake.x))),
                   float(randomInt(roundToInt(screenShake.y)))};
    int64_t n = roundToInt(shakeAccumulator);
    for (int64_t i = 0; i < n; ++i) {
        screenShake.x *= 0.9f;
        screenShake.y *= 0.9f;
    }
    shakeAccumulator = shakeAccumulator - float(n) + float(timeFactor);
}

void updateCamera(const Stage& stage) {
    int64_t heightTarget = 0;
    Fighter& left = *leftFighter;
    Fighter& right = *rightFighter;
    double span = double(right.position.x + 450) - double(left.position.x + 350);
    if (isAlive(left)) {
        double leftEdge = left.position.x + 350;
        if (leftEdge < double(focusX)) {
            // Within reach of the view the camera follows; beyond it the fighter is held.
            if (span < double(viewWidth)) focusX = roundToInt(leftEdge);
            else left.position.x = float(focusX - 350);
        }
        if (left.position.y < 0) heightTarget = roundToInt(left.position.y);
    }
    if (isAlive(right)) {
        double rightEdge = right.position.x + 450;
        if (rightEdge > double(focusX + viewWidth)) {
            if (span < double(viewWidth)) focusX = roundToInt(right.position.x - float(viewWidth) + 450);
            else right.position.x = float(focusX + viewWidth - 450);
        }
        if (right.position.y < 0) {
            int64_t y = roundToInt(right.position.y);
            if (y > heightTarget) heightTarget = y;
        } else {
            heightTarget = 0;
        }
    }
    focusX = std::max<int64_t>(focusX, 0);
    if (focusX + viewWidth + 200 > stage.width) focusX = stage.width - viewWidth - 200;
    if (heightTarget > 0) heightTarget = 0;
    cameraY = (cameraY + heightTarget) / 2;
}

void drawStage(Stage& stage) {
    int64_t tiles = stage.lastTile + 1;
    if (tiles <= 0) return;
    int64_t tileWidth = stage.width / tiles;
    std::fill(stage.tileVisible.begin(), stage.tileVisible.end(), 0);
    int64_t first = std::max<int64_t>(0, focusX / tileWidth - 1);
    int64_t last = std::min((focusX + screenWidth) / tileWidth, stage.lastTile);
    for (int64_t i = first; i <= last; ++i) stage.tileVisible[size_t(i)] = 1;
    stage.cameraX = double(focusX);
    for (int64_t i = 0; i < tiles; ++i) {
        int64_t sprite = stage.tileSprites[size_t(i)];
        if (!stage.tileVisible[size_t(i)] || !spriteExists(sprite)) continue;
        drawSprite(sprite, roundToInt(double(i * tileWidth - focusX) + shakeOffset.x),
                   roundToInt(double(stage.vertical) + shakeOffset.y + double(screenHeight) -
                              1080.0 - double(cameraY)));
    }
}

void computeScreenPositions() {
    for (Fighter* f : {&playerOne, &playerTwo})
        f->screenPosition = {f->position.x - float(focusX), f->position.y};
}

int64_t fightFrame(FightContext* context, double timeFactor, double previousTimeFactor) {
    if (!context) context = &globalFightContext;
    Stage* stage = context->stage;
    drawBackdrop();
    shakeStep(timeFactor);
    freezeTimer = std::max(0.0f, freezeTimer - float(timeFactor));
    for (Fighter* f : {&playerOne, &playerTwo})
        if (isAlive(*f) && freezeTimer <= 0) updateFighter(*f, stage, timeFactor, previousTimeFactor);
    if (isAlive(playerOne) && isAlive(playerTwo) && rightFighter->position.x < leftFighter->position.x)
        std::swap(leftFighter, rightFighter);
    if (stage) {
        updateCamera(*stage);
        drawStage(*stage);
    }
    computeScreenPositions();
    int64_t result = 0;
    if (!isAlive(playerOne)) result = 1;
    if (!isAlive(playerTwo)) result = 2;
    if (freezeTimer <= 0) advanceEffects(timeFactor);
    drawEffects(1);
    bool oneOnTop = playerOne.attacking && !playerTwo.attacking;
    drawFighter(oneOnTop ? playerTwo : playerOne);
    drawFighter(oneOnTop ? playerOne : playerTwo);
    drawEffects(0);
    drawPlainText("Quarrelix project pre-alpha 0.1.0.5a", 0,
                  screenWidth > 1200 ? 0 : screenHeight - 32);
    return result;
}

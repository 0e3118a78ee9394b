// The fight frame.
#include "fight/fight_frame.h"

#include <algorithm>
#include <cmath>

#include "app/game_screen.h"
#include "app/stages.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "fight/debug_keys.h"
#include "fight/hits.h"
#include "fight/bot.h"
#include "app/settings.h"
#include "app/startup.h"
#include "data/fighter_class.h"
#include "input/keys.h"
#include "menus/menu_framework.h"
#include "render/combo_display.h"
#include "render/debug_overlay.h"
#include "render/particles.h"
#include "render/effects.h"
#include "render/fighter_drawing.h"
#include "render/sprite_numbers.h"
#include "render/text.h"
#include "runtime/runtime.h"

void drawBackdrop() { drawBackdropAround(0, 0, 0, 0); }

// The fight's backdrop is the menus' background picture.
void drawBackdropAround(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    int64_t backdropSprite = menuBackgroundSprite();
    // Only the parts outside the covered rectangle: copying a whole screen that the stage
    // paints over again costs a software screen much of its frame time.
    left = std::clamp<int64_t>(left, 0, screenWidth);
    right = std::clamp<int64_t>(right, left, screenWidth);
    top = std::clamp<int64_t>(top, 0, screenHeight);
    bottom = std::clamp<int64_t>(bottom, top, screenHeight);
    auto piece = [backdropSprite](int64_t x, int64_t y, int64_t w, int64_t h) {
        if (w <= 0 || h <= 0) return;
        clipSprite(backdropSprite, x, y, w, h);
        drawSprite(backdropSprite, x, y);
    };
    piece(0, 0, screenWidth, top);
    piece(0, bottom, screenWidth, screenHeight - bottom);
    piece(0, top, left, bottom - top);
    piece(right, top, screenWidth - right, bottom - top);
    clipSprite(backdropSprite, -1, -1, -1, -1);
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

void drawStageWithBackdrop(Stage* stage) {
    int64_t tiles = stage ? stage->lastTile + 1 : 0;
    if (tiles <= 0) {
        drawBackdrop();
        return;
    }
    int64_t tileWidth = stage->width / tiles;
    std::fill(stage->tileVisible.begin(), stage->tileVisible.end(), 0);
    int64_t first = std::max<int64_t>(0, focusX / tileWidth - 1);
    int64_t last = std::min((focusX + screenWidth) / tileWidth, stage->lastTile);
    for (int64_t i = first; i <= last; ++i) stage->tileVisible[size_t(i)] = 1;
    stage->cameraX = double(focusX);
    int64_t y = roundToInt(double(stage->vertical) + shakeOffset.y + double(screenHeight) - 1080.0 -
                           double(cameraY));
    // The tiles drawn form one row; what they leave uncovered shows the backdrop.
    int64_t left = 0, right = 0, height = INT64_MAX;
    bool whole = true;
    for (int64_t i = first; i <= last; ++i) {
        int64_t sprite = stage->tileSprites[size_t(i)];
        whole = whole && spriteExists(sprite);
        height = std::min(height, spriteHeight(sprite));
        int64_t x = roundToInt(double(i * tileWidth - focusX) + shakeOffset.x);
        if (i == first) left = x;
        right = x + spriteWidth(sprite);
    }
    if (whole && first <= last) drawBackdropAround(left, y, right, y + height);
    else drawBackdrop();
    for (int64_t i = first; i <= last; ++i) {
        int64_t sprite = stage->tileSprites[size_t(i)];
        if (!spriteExists(sprite)) continue;
        drawSprite(sprite, roundToInt(double(i * tileWidth - focusX) + shakeOffset.x), y);
    }
}

void computeScreenPositions() {
    for (Fighter* f : {&playerOne, &playerTwo})
        f->screenPosition = {f->position.x - float(focusX), f->position.y};
}

namespace {
// A grab holds the other fighter while the holder's mask touches it.
void catchTest(Fighter& holder, Fighter& held) {
    const Frame* frame = currentFrame(holder);
    if (frame && frame->catchFrame && isAlive(held)) {
        if (maskTouches(holder, held)) {
            held.caught = 1;
            held.velocity = held.moveVelocity = held.pushVelocity = {};
        } else {
            held.caught = 0;
        }
    } else {
        held.caught = 0;
    }
}

Vec2 bodyCentre(const Fighter& f) {
    return {float(roundToInt(f.position.x + (f.facing == 1 ? 450 : 525))),
            float(roundToInt(f.position.y + 525))};
}

int64_t shove(const Fighter& f) {
    Stat s = effectiveStat(f);
    int64_t type = animationType(f);
    return s.strength - (type == 2 || type == 3 ? s.weight : 0);
}
} // namespace

void bodyPush(Fighter& one, Fighter& two, const Stage* stage, double timeFactor) {
    if (!isAlive(one) || !isAlive(two) || (one.attacking && two.attacking)) return;
    Vec2 c1 = bodyCentre(one), c2 = bodyCentre(two);
    if (std::hypot(double(c1.x - c2.x), double(c1.y - c2.y)) >= 200) return;
    double dx = std::fabs(double(c1.x) - double(c2.x));
    // A fighter walking back is stopped only when its step brought it nearer the other: the
    // bodies may not pass through each other, but a retreat is never held in place.
    for (Fighter* f : {&one, &two}) {
        const Fighter& other = f == &one ? two : one;
        double now = std::fabs(double(f->position.x) - double(other.position.x));
        double before = std::fabs(double(f->previousPosition.x) - double(other.position.x));
        if (animationType(*f) == 3 && now < before) f->position.x = f->previousPosition.x;
    }
    double overlap = dx - 200;
    int64_t s1 = shove(one), s2 = shove(two);
    if (s1 == s2) return;
    Fighter& pusher = s1 > s2 ? one : two;
    Fighter& pushed = s1 > s2 ? two : one;
    double d = double(std::llabs(s1 - s2));
    if (animationType(pusher) != 2) return;
    double push = d / 5 * timeFactor * (200 - dx);
    double direction = pushed.position.x > pusher.position.x ? 1 : -1;
    pusher.position.x += float(direction * (push + overlap / 2));
    pushed.position.x += float(direction * push);
    if (animationType(pushed) == 3) pushed.position.x -= float(direction * overlap / 2);
    // Held at a stage limit, the pair is eased apart by the pusher.
    Vec2 before1 = one.position, before2 = two.position;
    applyStageLimits(one, stage);
    applyStageLimits(two, stage);
    if (before1.x != one.position.x || before2.x != two.position.x) {
        float half = std::fabs(one.position.x - two.position.x) / 2;
        pusher.position.x += pusher.position.x < pushed.position.x ? half : -half;
    }
}

int64_t fightFrame(FightContext* context, double timeFactor, double previousTimeFactor) {
    if (!context) context = &globalFightContext;
    Stage* stage = context->stage;
    // The backdrop is drawn with the stage (step 11): nothing is drawn before it.
    shakeStep(timeFactor);
    freezeTimer = std::max(0.0f, freezeTimer - float(timeFactor));
    const FighterClass* second = classAt(1);
    if (!second || !second->idle || !second->idle->frontWind)
        fatalError("failed", "u noob", kMessageNoIcon);
    bool oneAttackPressed = false;
    for (Fighter* f : {&playerOne, &playerTwo}) {
        // A knocked-out fighter takes no input but goes on falling, playing its death and
        // emptying its gauge.
        if (isAlive(*f)) {
            if (f == &playerOne) oneAttackPressed = f->input[kInputLight] != 0;
            Fighter& opponent = f == &playerOne ? playerTwo : playerOne;
            runBotStep(*f, opponent, timeFactor, stage);
        } else {
            f->input = {};
        }
        if (freezeTimer <= 0) updateFighter(*f, stage, timeFactor, previousTimeFactor);
    }
    catchTest(playerOne, playerTwo);
    catchTest(playerTwo, playerOne);
    if (isAlive(playerOne) && isAlive(playerTwo) && rightFighter->position.x < leftFighter->position.x)
        std::swap(leftFighter, rightFighter);
    if (freezeTimer <= 0) bodyPush(playerOne, playerTwo, stage, timeFactor);
    if (stage) updateCamera(*stage);
    drawStageWithBackdrop(stage);
    computeScreenPositions();
    int64_t result = 0;
    if (!isAlive(playerOne)) result = 1;
    if (!isAlive(playerTwo)) result = 2;
    updateParticles(timeFactor);
    drawParticles(1);
    if (freezeTimer <= 0) advanceEffects(timeFactor);
    drawEffects(1);
    bool oneOnTop = playerOne.attacking && !playerTwo.attacking;
    drawFighter(oneOnTop ? playerTwo : playerOne, timeFactor);
    drawFighter(oneOnTop ? playerOne : playerTwo, timeFactor);
    drawParticles(0);
    drawEffects(0);
    if (debugMode)
        for (Fighter* f : {&playerOne, &playerTwo})
            if (f->debug > 0) drawDebugOverlay(*f, 0);
    if (comboDisplay != 3)
        for (Fighter* f : {&playerOne, &playerTwo})
            if (isAlive(*f)) drawComboDisplay(*f, timeFactor);
    if (freezeTimer <= 0 && isAlive(playerOne) && isAlive(playerTwo)) {
        resolveAttack(&playerOne, &playerTwo, timeFactor);
        resolveAttack(&playerTwo, &playerOne, timeFactor);
    }
    if (debugMode && debugStripSwitch() > 0) drawDebugStrip(stage, oneAttackPressed);
    drawPlainText("Quarrelix project pre-alpha 0.1.0.5a", 0,
                  screenWidth > 1200 ? 0 : screenHeight - 32);
    if (debugMode && keyDown(kKeyLeftShift)) handleDebugKeys(context);
    return result;
}


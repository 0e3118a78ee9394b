// Drawing the fight and playing what its steps set off.
#include "render/fight_drawing.h"

#include <algorithm>

#include "data/stage.h"
#include "fight/fight_events.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "render/backdrop.h"
#include "render/combo_display.h"
#include "render/debug_overlay.h"
#include "render/effects.h"
#include "render/fighter_drawing.h"
#include "render/frame_images.h"
#include "render/particles.h"
#include "render/pool_sounds.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/settings.h"

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

void drawStageWithBackdrop(const FightState& fight, Stage* stage) {
    int64_t tiles = stage ? stage->lastTile + 1 : 0;
    if (tiles <= 0) {
        drawBackdrop();
        return;
    }
    int64_t tileWidth = stage->width / tiles;
    std::fill(stage->tileVisible.begin(), stage->tileVisible.end(), 0);
    int64_t first = std::max<int64_t>(0, fight.focusX / tileWidth - 1);
    int64_t last = std::min((fight.focusX + screenWidth) / tileWidth, stage->lastTile);
    for (int64_t i = first; i <= last; ++i) stage->tileVisible[size_t(i)] = 1;
    stage->cameraX = double(fight.focusX);
    int64_t y = roundToInt(double(stage->vertical) + fight.shakeOffset.y + double(screenHeight) - 1080.0 -
                           double(fight.cameraY));
    // The tiles drawn form one row; what they leave uncovered shows the backdrop.
    int64_t left = 0, right = 0, height = INT64_MAX;
    bool whole = true;
    for (int64_t i = first; i <= last; ++i) {
        int64_t sprite = stage->tileSprites[size_t(i)];
        whole = whole && spriteExists(sprite);
        height = std::min(height, spriteHeight(sprite));
        int64_t x = roundToInt(double(i * tileWidth - fight.focusX) + fight.shakeOffset.x);
        if (i == first) left = x;
        right = x + spriteWidth(sprite);
    }
    if (whole && first <= last) drawBackdropAround(left, y, right, y + height);
    else drawBackdrop();
    for (int64_t i = first; i <= last; ++i) {
        int64_t sprite = stage->tileSprites[size_t(i)];
        if (!spriteExists(sprite)) continue;
        drawSprite(sprite, roundToInt(double(i * tileWidth - fight.focusX) + fight.shakeOffset.x), y);
    }
}

void presentFightEvents(const FightEvents& events, double timeFactor) {
    for (const PoolSoundChoice& sound : events.sounds) playPoolSoundChoice(sound);
    updateParticles(timeFactor);
    for (const BloodDrop& d : events.blood)
        emitParticle(hurtSequence, d.x, d.y, d.vx, d.vy,
                     roundToInt(d.lifeFactor * double(hurtSequence.frameTime)));
    for (const EffectStart& e : events.effects)
        createEffect(e.animation, e.position, e.facing, e.colour, e.opacity, e.intensity, e.variant);
    if (events.effectsAdvance) advanceEffects(timeFactor);
}

void drawFight(const FightState& fight, Stage* stage) {
    drawStageWithBackdrop(fight, stage);
    drawParticles(fight, 1);
    drawEffects(fight, 1);
    bool oneOnTop = fight.players[0].attacking && !fight.players[1].attacking;
    drawFighter(fight, oneOnTop ? fight.players[1] : fight.players[0]);
    drawFighter(fight, oneOnTop ? fight.players[0] : fight.players[1]);
    drawParticles(fight, 0);
    drawEffects(fight, 0);
    if (settings.debugMode > 0) // 1: the hit masks and the strip shown
        for (const Fighter* f : {&fight.players[0], &fight.players[1]}) {
            ensureFrameLoaded(*f); // the hit mask the overlay shows
            drawDebugOverlay(*f, 0);
        }
    if (settings.comboDisplay != 3)
        for (const Fighter* f : {&fight.players[0], &fight.players[1]})
            if (isAlive(*f)) drawComboDisplay(*f);
    if (settings.debugMode > 0)
        drawDebugStrip(fight, stage, fight.events.playerOneAttackPressed);
    // Bottom left at every screen size: the top corners belong to the life gauges (at (0, 0) on
    // a screen wider than 1200 px the line would cover player two's portrait and upper bar).
    drawPlainText("Quarrelix project pre-alpha 0.1.0.5a", 0, screenHeight - 32);
}

void drawIntroFight(const FightState& fight, Stage* stage) {
    drawStageWithBackdrop(fight, stage);
    drawEffects(fight, 1);
    drawFighter(fight, fight.players[0]);
    drawFighter(fight, fight.players[1]);
    drawEffects(fight, 0);
}

void showFightStep(const FightState& fight, Stage* stage, double timeFactor) {
    presentFightEvents(fight.events, timeFactor);
    drawFight(fight, stage);
}

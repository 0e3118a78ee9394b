// Debug keys and the debug strip.
#include "app/debug_keys.h"

#include "app/settings.h"
#include "app/stages.h"
#include "app/startup.h"
#include "data/fighter_class.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "app/match.h"
#include "render/frame_images.h"
#include "render/sprite_numbers.h"
#include "render/text.h"
#include "runtime/runtime.h"

namespace {
int64_t stripBlock = 0; // bar, camera marker, player one marker, player two marker

void buildStrip(const Stage* stage) {
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

void freeStrip() {
    if (stripBlock == 0) return;
    for (int i = 0; i < 4; ++i) freeSprite(stripBlock + i);
}

// Player two's alternate colour after a change of class or stance by the debug keys.
void recomputeAlternateColour() {
    const Stance* one = playerOne.stance;
    const Stance* two = playerTwo.stance;
    playerTwo.useAlternateColor = one && two && two->specialColor != 0 &&
                                  two->specialColor == one->specialColor &&
                                  two->alternateColor != one->specialColor;
}

void nextClassOrStance(Fighter& fighter) {
    FighterClass* c = fighter.fighterClass;
    if (!c) return;
    if (keyDown(0x1D)) { // Left Control: the next stance
        int64_t count = int64_t(c->stance.size());
        chooseStance(fighter, count > 0 ? (fighter.stanceIndex + 1) % count : 0);
    } else {
        int64_t position = 0;
        for (size_t i = 0; i < classes.size(); ++i)
            if (classes[i].get() == c) position = int64_t(i);
        for (size_t step = 1; step <= classes.size(); ++step) {
            FighterClass* next = classAt((position + int64_t(step)) % int64_t(classes.size()));
            if (next && next->idle) {
                if (next != c) releaseClassImages(*c);
                chooseClass(fighter, next, 0);
                break;
            }
        }
    }
    recomputeAlternateColour();
}
} // namespace

int64_t debugStripSwitch() { return debugMode; }

void drawDebugStrip(const Stage* stage, bool attackPressed) {
    const Fighter& left = leftFighter();
    const Fighter& right = rightFighter();
    drawPlainText("difference : " + std::to_string(roundToInt(right.position.x - left.position.x)),
                  400, 400);
    drawPlainText("leftX : " + std::to_string(roundToInt(left.position.x)), 400, 420);
    drawPlainText("RightX: " + std::to_string(roundToInt(right.position.x)), 400, 440);
    drawPlainText("Focus: " + std::to_string(focusX), 400, 480);
    if (stripBlock == 0 || !spriteExists(stripBlock)) buildStrip(stage);
    drawSpriteBlended(stripBlock, 365, 500);
    drawSpriteBlended(stripBlock + 1, (focusX - 350) / 10 + 400, 500);
    drawSpriteBlended(stripBlock + 1, (focusX + viewWidth - 450) / 10 + 400, 500);
    drawSpriteBlended(stripBlock + 2, roundToInt(playerOne.position.x) / 10 + 400, 500);
    drawSpriteBlended(stripBlock + 3, roundToInt(playerTwo.position.x) / 10 + 400, 500);
    if (attackPressed) drawPlainText("attack", 600, 600);
}

void setDebugMode(bool on) {
    debugMode = on ? -1 : 0;
    playerOne.debug = playerTwo.debug = debugMode;
    if (!on) freeStrip();
}

void handleDebugKeys(FightContext* context) {
    bool bothAlive = isAlive(playerOne) && isAlive(playerTwo);
    if (keyReleased(0x13) && bothAlive) resetMatch(context);
    for (auto [key, fighter] : {std::pair{0x2F, &playerOne}, std::pair{0x30, &playerTwo}}) {
        if (!keyReleased(key) || !bothAlive) continue;
        BotController& bot = ensureBot(*fighter);
        if (bot.botState == 0) switchBotOn(bot);
        else switchBotOff(bot);
    }
    if (keyReleased(0x03) && bothAlive) {
        playerOne.life = playerOne.maxLife;
        playerTwo.life = playerTwo.maxLife;
    }
    if (keyReleased(0x20) && debugMode != 0) {
        debugMode = -debugMode;
        playerOne.debug = -playerOne.debug;
        playerTwo.debug = -playerTwo.debug;
        if (debugMode == 1) buildStrip(context ? context->stage : nullptr);
        else freeStrip();
    }
    if (keyReleased(0x0B)) showFps = showFps ? 0 : 1;
    if (keyDown(0x3E) && keyDown(0x38)) shutdownProgram(0);
    if (keyReleased(0x04) && isAlive(playerOne)) nextClassOrStance(playerOne);
    if (keyReleased(0x05) && isAlive(playerTwo)) nextClassOrStance(playerTwo);
    if (keyReleased(0x06)) slowMotion = slowMotion ? 0 : 1;
}

void resetDebugStrip() { stripBlock = 0; }

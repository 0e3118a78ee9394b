// The debug keys of the fight.
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
#include "render/debug_overlay.h"
#include "render/frame_images.h"
#include "runtime/runtime.h"

namespace {
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
                chooseClass(fight, fighter, next, 0);
                break;
            }
        }
    }
    recomputeAlternateColour();
}
} // namespace

void setDebugMode(bool on) {
    debugMode = on ? -1 : 0;
    playerOne.debug = playerTwo.debug = debugMode;
    if (!on) freeDebugStrip();
}

void handleDebugKeys(FightContext* context) {
    bool bothAlive = isAlive(playerOne) && isAlive(playerTwo);
    if (keyReleased(0x13) && bothAlive) resetMatch(context);
    for (auto [key, fighter] : {std::pair{0x2F, &playerOne}, std::pair{0x30, &playerTwo}}) {
        if (!keyReleased(key) || !bothAlive) continue;
        BotController& bot = ensureBot(fight, *fighter);
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
        if (debugMode == 1) buildDebugStrip(context ? context->stage : nullptr);
        else freeDebugStrip();
    }
    if (keyReleased(0x0B)) showFps = showFps ? 0 : 1;
    if (keyDown(0x3E) && keyDown(0x38)) shutdownProgram(0);
    if (keyReleased(0x04) && isAlive(playerOne)) nextClassOrStance(playerOne);
    if (keyReleased(0x05) && isAlive(playerTwo)) nextClassOrStance(playerTwo);
    if (keyReleased(0x06)) slowMotion = slowMotion ? 0 : 1;
}


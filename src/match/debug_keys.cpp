// The debug keys of the fight.
#include "match/debug_keys.h"

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "match/match.h"
#include "render/debug_overlay.h"
#include "render/frame_images.h"
#include "runtime/runtime.h"
#include "settings/pacing.h"
#include "settings/settings.h"

namespace {
// Player two's alternate colour after a change of class or stance by the debug keys.
void recomputeAlternateColour(FightState& state) {
    const Stance* one = state.players[0].stance;
    const Stance* two = state.players[1].stance;
    state.players[1].useAlternateColor = one && two && two->specialColor != 0 &&
                                  two->specialColor == one->specialColor &&
                                  two->alternateColor != one->specialColor;
}

void nextClassOrStance(FightState& state, Fighter& fighter) {
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
                chooseClass(state, fighter, next, 0);
                break;
            }
        }
    }
    recomputeAlternateColour(state);
}
} // namespace

void handleDebugKeys(FightContext& context) {
    FightState& state = context.fight;
    Fighter& one = state.players[0];
    Fighter& two = state.players[1];
    bool bothAlive = isAlive(one) && isAlive(two);
    if (keyReleased(0x13) && bothAlive) resetMatch(context);
    for (auto [key, fighter] : {std::pair{0x2F, &one}, std::pair{0x30, &two}}) {
        if (!keyReleased(key) || !bothAlive) continue;
        BotController& bot = ensureBot(state, *fighter);
        if (bot.botState == 0) switchBotOn(bot);
        else switchBotOff(bot);
    }
    if (keyReleased(0x03) && bothAlive) {
        one.life = one.maxLife;
        two.life = two.maxLife;
    }
    if (keyReleased(0x20) && settings.debugMode != 0) {
        settings.debugMode = -settings.debugMode;
        if (settings.debugMode == 1) buildDebugStrip(context.stage);
        else freeDebugStrip();
    }
    if (keyReleased(0x0B)) settings.showFps = settings.showFps ? 0 : 1;
    if (keyDown(0x3E) && keyDown(0x38)) shutdownProgram(0);
    if (keyReleased(0x04) && isAlive(one)) nextClassOrStance(state, one);
    if (keyReleased(0x05) && isAlive(two)) nextClassOrStance(state, two);
    if (keyReleased(0x06)) slowMotion = slowMotion ? 0 : 1;
}


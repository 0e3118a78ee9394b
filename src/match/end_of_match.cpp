// End of match.
#include "match/end_of_match.h"
#include "input/player_setup.h"

#include <algorithm>

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "input/controls.h"
#include "input/keys.h"
#include "match/fight_display.h"
#include "match/frame_loop.h"
#include "match/match.h"
#include "match/match_tape.h"
#include "match/music.h"
#include "match/rounds.h"
#include "menus/menu_framework.h"
#include "render/effects.h"
#include "render/fade.h"
#include "render/fight_drawing.h"
#include "render/frame_images.h"
#include "render/particles.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/pacing.h"
#include "settings/settings.h"

std::string winnerText(int64_t winner, int64_t matchMode) {
    if (matchMode == 1) return winner == 1 ? "You win !!!" : "You lose...";
    return "Winner is player " + std::to_string(winner);
}

int64_t countdownSeconds(double elapsedMs) {
    return std::max<int64_t>(0, roundToInt(5 - elapsedMs / 1000));
}

namespace {
// R first (the key the banner has always named), then letters away from the default keys.
constexpr int64_t kWatchAgainKeys[] = {kKeyR, 20, 33, 49, 50, 44, 45, 46, 22, 23, 37, 30, 31};

bool boundByAPlayer(int64_t code) {
    static int64_t Controls::* const kActions[] = {&Controls::up,      &Controls::down,
                                                   &Controls::right,   &Controls::left,
                                                   &Controls::neutral, &Controls::heavy,
                                                   &Controls::jump};
    for (const PlayerSetup& player : playerSetups)
        for (const Controls* c : {&player.keyBindings.primary, &player.keyBindings.secondary})
            for (int64_t Controls::*action : kActions)
                if (c->*action == code) return true;
    return false;
}
} // namespace

int64_t watchAgainKey() {
    for (int64_t code : kWatchAgainKeys)
        if (!boundByAPlayer(code)) return code;
    return 0;
}

void releaseMatch(FightState& fight) {
    // The classes' images and the stage's tiles stay: the next match most often brings the
    // same ones again, and its set-up lets go of those it does not use (releaseImagesNotFor).
    for (Fighter& f : fight.players) f.shownFrame = nullptr;
    clearEffects();
    clearParticles();
    clearImageQueue();
}

void loadEndOfMatchJingles(bool againstTheBot) {
    if (settings.musicVolume <= 0) return;
    if (!soundExists(kVictorySlot)) loadSound(kVictorySlot, "sound/victory.ogg");
    if (againstTheBot && !soundExists(kDefeatSlot)) loadSound(kDefeatSlot, "sound/defeat.ogg");
}

void endOfMatch(FightContext& context, int64_t loser, int64_t matchMode) {
    FightState& fight = context.fight;
    if (context.stage) stopStageMusic(*context.stage);
    if (loser == 1 || loser == 2) {
        int64_t winner = loser == 1 ? 2 : 1;
        if (settings.musicVolume > 0) {
            bool defeat = loser == 1 && matchMode == 1;
            int64_t slot = defeat ? kDefeatSlot : kVictorySlot;
            if (soundExists(slot) || loadSound(slot, defeat ? "sound/defeat.ogg" : "sound/victory.ogg"))
                playSound(slot, 0, settings.musicVolume);
        }
        double elapsed = 0;
        matchHooks.endCountdown.clear();
        std::string banner = winnerText(winner, matchMode);
        int64_t bannerColour = banner == "You lose..." ? RGB(0, 0, 255) : RGB(255, 136, 0);
        // Chosen once for the banner: the players' keys do not change while it shows.
        const int64_t watchKey = watchAgainKey();
        bool offerReplay = false;
        FrameLoop loop;
        loop.phase = FramePhase::EndOfMatch;
        loop.factor = loop.previous = nominalFrameFactor;
        loop.frame = [&](double& factor, double previous) {
            pollKeyboard();
            std::array<Actions, 2> actions = playerActions(fight);
            if (matchTape.playing && matchTape.controls) playbackControls(context);
            if (!tapeFrame(2, actions, factor)) return false;
            stepFight(fight, context.stage, actions, factor, previous);
            tapeAfterStep(fight);
            showFightStep(fight, context.stage, factor);
            if (fightDebugKeys(context) && matchTape.recording) matchTape.spoiled = true;
            drawRoundCounter(context);
            drawText(banner, 500, 490, bannerColour, 128);
            const std::string rule = "=====================================";
            drawText(rule, 500, 505, kOrangeTint, 128);
            drawText("| Back to the main menu in " + std::to_string(countdownSeconds(elapsed)) +
                         " seconds |",
                     500, 520, kOrangeTint, 128);
            drawText(rule, 500, 535, kOrangeTint, 128);
            offerReplay = matchTape.recording && !matchTape.playing && !matchTape.spoiled &&
                          watchKey != 0;
            if (offerReplay)
                drawText("| " + keyNameOf(watchKey) + " : watch this match again |", 500, 550,
                         kOrangeTint, 128);
            drawPlaybackMark();
            if (menuFrameService) menuFrameService();
            processWindowEvent();
            if (windowCloseRequested()) shutdownProgram(0);
            if (fadeActive) drawFade();
            return true;
        };
        loop.afterShown = [&](double) {
            matchHooks.endCountdown.push_back(countdownSeconds(elapsed));
            if (offerReplay && keyReleased(watchKey)) {
                matchTape.watchAgain = true;
                return false;
            }
            loadQueuedImages(999);
            return true;
        };
        loop.pace = [&](double start, double factor) {
            double next = pacedTapeFrame(start, factor, 0);
            elapsed += matchTape.playing ? factor * 20.0 : systemTimeMs() - start;
            return next;
        };
        // A replay's end of match lasts its recorded frames, faded or not.
        loop.goOn = [&](double nextFactor) {
            if (elapsed > 5000 && !fadeActive) startFade();
            return !(updateFade(nextFactor) == 1 && !matchTape.playing);
        };
        runFrameLoop(loop);
    }
    leaveMatchScreen(fight);
}

void leaveMatchScreen(FightState& fight) {
    if (settings.musicVolume > 0) {
        for (int64_t slot : {kDefeatSlot, kVictorySlot})
            if (soundExists(slot)) stopSound(slot); // kept decoded for the next match
        playMenuMusic();
    }
    releaseMatch(fight);
    // The next screen shows through the fade running back from black. (Darkening once more
    // here would make it reach black again in its first frames and leave it at once.)
    revealFromBlack();
    fight.focusX = 0;
}

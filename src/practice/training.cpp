// The training room: set-up, the dummy, the room's keys and its frame loop.
#include "practice/training.h"

#include <array>
#include <cmath>

#include "fight/bot.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "input/controls.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "match/frame_loop.h"
#include "match/match.h"
#include "practice/practice_fight.h"
#include "practice/training_panels.h"
#include "render/fade.h"
#include "render/fight_drawing.h"
#include "render/frame_images.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"

TrainingRoom trainingRoom;

namespace {
const char* const kBehaviourNames[kDummyBehaviourCount] = {
    "Stand", "Walk back and forth", "Jump", "Bot: Easy", "Bot: Medium", "Bot: Hard",
    "Play the recording"};

constexpr double kWalkTicks = 50;        // the dummy walks one way for 1 s, then back
constexpr double kKnockedOutTicks = 100; // a knock-out lies 2 s before both start again

int64_t botLevelOf(int64_t behaviour) {
    switch (behaviour) {
    case kDummyEasy: return 1;
    case kDummyMedium: return 2;
    case kDummyHard: return 3;
    default: return 0;
    }
}

// The dummy as the behaviour wants it: driven by the bot at its level, or by the room.
void applyBehaviour(FightState& fight, int64_t behaviour) {
    Fighter& playerTwo = fight.players[1];
    int64_t level = botLevelOf(behaviour);
    if (level > 0) {
        BotController& bot = ensureBot(fight, playerTwo, level);
        bot.botLevelSetting = level;
        switchBotOn(bot);
        restartThinking(bot);
    } else if (BotController* bot = botOf(fight, playerTwo)) {
        switchBotOff(*bot);
        removeBot(fight, playerTwo);
    }
    playerTwo.input = {};
}

void setBehaviour(FightState& fight, TrainingRoom& room, int64_t behaviour) {
    room.behaviour = behaviour;
    room.dummyTicks = 0;
    room.recording.playedTicks = 0;
    applyBehaviour(fight, behaviour);
}

// What the dummy presses this frame when the room drives it.
Actions dummyActions(TrainingRoom& room, const Fighter& playerTwo, double ticks) {
    Actions a;
    switch (room.behaviour) {
    case kDummyWalk:
        if (std::fmod(room.dummyTicks, 2 * kWalkTicks) < kWalkTicks) a.left = true;
        else a.right = true;
        break;
    case kDummyJump:
        a.jump = playerTwo.onGround != 0;
        break;
    case kDummyPlayback:
        a = playDummyStep(room.recording, ticks, playerTwo.facing);
        break;
    default:
        break;
    }
    room.dummyTicks += ticks;
    return a;
}

// The room's keys; returns true when a frame step was asked for while paused.
bool trainingKeys(FightContext& context, TrainingRoom& room) {
    FightState& fight = context.fight;
    if (keyReleased(kTrainingBehaviourKey)) {
        int64_t next = (room.behaviour + 1) % kDummyBehaviourCount;
        if (next == kDummyPlayback && room.recording.steps.empty()) next = kDummyStand;
        setBehaviour(fight, room, next);
    }
    if (keyReleased(kTrainingRecordKey)) {
        if (room.recording.recording) {
            room.recording.recording = false;
        } else {
            room.recording = DummyRecording{};
            room.recording.recording = true;
            // The dummy is player one's to drive while it is recorded.
            if (botLevelOf(room.behaviour) > 0 || room.behaviour == kDummyPlayback)
                setBehaviour(fight, room, kDummyStand);
        }
    }
    if (keyReleased(kTrainingPlayKey) && !room.recording.steps.empty()) {
        room.recording.recording = false;
        setBehaviour(fight, room, kDummyPlayback);
    }
    if (keyReleased(kTrainingRefillKey)) room.refill = !room.refill;
    if (keyReleased(kTrainingResetKey)) resetTrainingPositions(context);
    if (keyReleased(kTrainingPauseKey)) room.paused = !room.paused;
    if (keyReleased(kTrainingInputsKey)) room.panels.inputs = !room.panels.inputs;
    if (keyReleased(kTrainingFrameDataKey)) room.panels.frameData = !room.panels.frameData;
    if (keyReleased(kTrainingHitMasksKey)) room.panels.hitMasks = !room.panels.hitMasks;
    if (keyReleased(kTrainingDamageKey)) room.panels.damage = !room.panels.damage;
    if (keyReleased(kTrainingComboKey)) room.panels.combo = !room.panels.combo;
    return room.paused && keyReleased(kTrainingStepKey);
}

bool bothAtRest(const FightState& fight) {
    for (const Fighter& f : fight.players)
        if (!isFree(f) || f.attacking || f.cooldown > 0) return false;
    return true;
}

// One step of the fight with the room's watch around it.
void trainingStep(FightContext& context, TrainingRoom& room, Actions playerActions, double factor,
                  double previous) {
    FightState& fight = context.fight;
    Fighter& playerOne = fight.players[0];
    Fighter& playerTwo = fight.players[1];
    noteInput(room.history, playerActions);
    Actions dummy = dummyActions(room, playerTwo, factor);
    if (room.recording.recording) {
        // Player one drives the dummy and stands still itself.
        recordDummyStep(room.recording, playerActions, factor, playerTwo.facing);
        dummy = playerActions;
        playerActions = Actions{};
    }
    FighterSnapshot one = snapshotOf(playerOne), two = snapshotOf(playerTwo);
    bool updated = std::max(0.0f, fight.freezeTimer - float(factor)) <= 0;
    stepFight(fight, context.stage, {playerActions, dummy}, factor, previous);
    watchAttack(room.measure, one, playerOne, playerTwo, updated, factor);
    tallyCombo(room.tally, one, playerOne, two, playerTwo);
    if (!isAlive(playerOne) || !isAlive(playerTwo)) {
        room.knockedOutTicks += factor;
        if (room.knockedOutTicks >= kKnockedOutTicks) resetTrainingPositions(context);
    } else if (room.refill && !room.tally.running && bothAtRest(fight)) {
        for (Fighter& f : fight.players) f.life = std::max(f.life, f.maxLife);
    }
}

void endIfWindowClosed() {
    processWindowEvent();
    if (windowCloseRequested()) shutdownProgram(0);
}

} // namespace

const char* dummyBehaviourName(int64_t behaviour) {
    if (behaviour < 0 || behaviour >= kDummyBehaviourCount) return "";
    return kBehaviourNames[behaviour];
}

void resetTrainingPositions(FightContext& context) {
    FightState& fight = context.fight;
    resetMatch(context);
    for (Fighter& f : fight.players) setIdle(fight, f);
    if (BotController* bot = botOf(fight, fight.players[1])) {
        restartThinking(*bot);
    }
    trainingRoom.knockedOutTicks = 0;
    trainingRoom.tally = ComboTally{};
    trainingRoom.dummyTicks = 0;
    trainingRoom.recording.playedTicks = 0;
}

void runTrainingRoom(FightContext& context, Stage* stage) {
    FightState& fight = context.fight;
    TrainingRoom& room = trainingRoom;
    room.paused = false;
    room.history = InputHistory{};
    room.measure = AttackMeasure{};
    room.recording.recording = false;
    room.framesPerSecond = double(targetFps);
    if (room.behaviour == kDummyPlayback && room.recording.steps.empty()) room.behaviour = kDummyStand;
    if (BotController* bot = botOf(fight, fight.players[0])) { // player one is the player's own
        switchBotOff(*bot);
        removeBot(fight, fight.players[0]);
    }
    startPracticeFight(context, stage);
    resetTrainingPositions(context);
    applyBehaviour(fight, room.behaviour);
    revealFromBlack();
    matchHooks.fightFrames = 0;
    bool leaving = false;
    FrameLoop loop;
    loop.phase = FramePhase::Training;
    loop.factor = loop.previous = nominalFrameFactor;
    loop.frame = [&](double& factor, double previous) {
        pollKeyboard();
        endIfWindowClosed();
        Actions actions =
            pollActions(playerSetups[0].keyBindings, playerSetups[0].padIndex, playerSetups[0].jumpWithUp);
        bool step = !leaving && trainingKeys(context, room);
        if (!room.paused || step) {
            trainingStep(context, room, leaving ? Actions{} : actions, factor, previous);
            showFightStep(fight, stage, factor);
        } else {
            drawFight(fight, stage); // paused: the same picture, nothing moves on
        }
        drawTrainingPanels(fight, room);
        return true;
    };
    loop.beforeShown = [](double factor) {
        if (!fadeActive) return true;
        if (updateFade(factor) == 1) return false;
        drawFade();
        return true;
    };
    loop.afterShown = [](double) {
        loadQueuedImages(1);
        return true;
    };
    loop.pace = [](double start, double) { return framePacing(start, 0); };
    loop.goOn = [&](double) {
        matchHooks.fightFrames += 1;
        bool limit = matchHooks.maxFightFrames > 0 && matchHooks.fightFrames >= matchHooks.maxFightFrames;
        if (!leaving && (keyReleased(kKeyEscape) || limit)) {
            leaving = true;
            startFade();
        }
        return true;
    };
    runFrameLoop(loop);
    endPracticeFight(context);
    for (Fighter& f : fight.players)
        if (botOf(fight, f)) removeBot(fight, f);
    revealFromBlack();
}

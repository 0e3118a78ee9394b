// The main state loop: the main menu, then the activity chosen there.
#include "shell/state_loop.h"

#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "match/match.h"
#include "match/match_record.h"
#include "menus/class_selection.h"
#include "menus/credits.h"
#include "menus/difficulty_menu.h"
#include "menus/fighter_viewer.h"
#include "menus/main_menu.h"
#include "menus/menu_framework.h"
#include "menus/options_menu.h"
#include "menus/selection_panels.h"
#include "menus/stage_selection.h"
#include "menus/stats_panel.h"
#include "menus/tutorial_menu.h"
#include "menus/where_menu.h"
#include "modes/solo_flow.h"
#include "net/transport.h"
#include "online/online_flow.h"
#include "online/room_flow.h"
#include "practice/lessons.h"
#include "practice/training.h"
#include "records/match_count.h"
#include "replays/replays.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

int64_t startOnline = kStartAtMenu;
uint16_t startPort = kDefaultPort;
std::string startAddress;

namespace {
constexpr int64_t kViewFighters = 2;
constexpr int64_t kOptions = 3;
constexpr int64_t kTutorial = 4;
constexpr int64_t kCredits = 5;
constexpr int64_t kSoloModes = 6;
constexpr int64_t kNoState = -1;

// The stage chosen on the stage selection screen: -1 is any stage at random.
Stage* chosenStage(int64_t choice) {
    if (stageList.empty()) return nullptr;
    if (choice < 0 || choice >= int64_t(stageList.size()))
        choice = randomInt(int64_t(stageList.size()) - 1);
    return &stageList[size_t(choice)];
}

void runFight(FightContext& context, int64_t choice) {
    Stage* stage = chosenStage(choice);
    if (currentMatch) currentMatch->stage = stage;
    context.stage = stage;
    noteScreenOpened("fight");
    // The Rounds option is for these matches alone: online play, training, the lessons and
    // the solo modes fight single knock-outs.
    context.rounds = settings.rounds;
    const bool againstBot = botActive(context.fight, context.fight.players[1]);
    int64_t result = runRecordedMatch(context, againstBot ? 1 : 0);
    context.rounds = 1;
    // A match of rounds counts once, for its winner, with the fight time of all its rounds.
    countMatch(context.fight, result, againstBot ? Opponent::Bot : Opponent::Person,
               matchHooks.fightGameSeconds);
}

// Neither player driven by the bot, then both players' choices from a selection code.
void applyChoicesWithoutBots(FightState& fight, int64_t code) {
    for (Fighter& player : fight.players)
        if (BotController* bot = botOf(fight, player)) switchBotOff(*bot);
    applySelectionCode(fight, fight.players[0], fight.players[1], code);
}

// Stage selection for the coming fight, starting from the first stage's tiles.
int64_t selectStage(int64_t textX, int64_t textY) {
    if (!stageList.empty()) loadStageTiles(stageList[0]);
    return runStageSelection(textX, textY);
}

// Player vs Player: class selection, stage selection (back: class selection again), fight.
// Returns false when the class selection was left.
bool playerVsPlayer(FightContext& context, int64_t textX, int64_t textY) {
    FightState& fight = context.fight;
    for (;;) {
        int64_t code = runClassSelection(fight, kTwoPlayerMode);
        if (code == kNoSelection || windowCloseRequested()) return false;
        Stage* first = stageList.empty() ? nullptr : &stageList[0];
        prepareMatch(currentMatch, fight, first, 0);
        applyChoicesWithoutBots(fight, code);
        int64_t stage = selectStage(textX, textY);
        if (windowCloseRequested()) return true;
        if (stage == kStageBack) continue;
        runFight(context, stage);
        return true;
    }
}

// Player vs Bot: class selection, difficulty (back: class selection again), stage selection
// (back: difficulty again), fight. Returns 1 after a fight, 0 when the class selection was
// left, -1 to start over from the class selection.
int64_t playerVsBot(FightContext& context, int64_t textX, int64_t textY) {
    FightState& fight = context.fight;
    Stage* first = stageList.empty() ? nullptr : &stageList[0];
    prepareMatch(currentMatch, fight, first, 1);
    int64_t code = runClassSelection(fight, kAgainstBotMode);
    if (code == kNoSelection || windowCloseRequested()) return 0;
    applySelectionCode(fight, fight.players[0], fight.players[1], code);
    for (;;) {
        int64_t difficulty = runDifficultyMenu(textX, textY);
        if (windowCloseRequested()) return 1;
        if (difficulty < 0 || difficulty > 2) return -1;
        switchBotOff(ensureBot(fight, fight.players[0]));
        BotController& bot = ensureBot(fight, fight.players[1]);
        bot.botLevelSetting = difficulty + 1;
        switchBotOn(bot);
        int64_t stage = selectStage(textX, textY);
        if (windowCloseRequested()) return 1;
        if (stage == kStageBack) continue;
        runFight(context, stage);
        return 1;
    }
}
// Training: the player's and the dummy's classes as against the bot, then the stage (back:
// class selection again), then the training room until Escape.
void training(FightContext& context, int64_t textX, int64_t textY) {
    for (;;) {
        Stage* first = stageList.empty() ? nullptr : &stageList[0];
        prepareMatch(currentMatch, context.fight, first, 1);
        int64_t code = runClassSelection(context.fight, kAgainstBotMode);
        if (code == kNoSelection || windowCloseRequested()) return;
        applySelectionCode(context.fight, context.fight.players[0], context.fight.players[1], code);
        for (Fighter& player : context.fight.players)
            if (BotController* bot = botOf(context.fight, player)) switchBotOff(*bot);
        int64_t stage = selectStage(textX, textY);
        if (windowCloseRequested()) return;
        if (stage == kStageBack) continue;
        noteScreenOpened("training");
        runTrainingRoom(context, chosenStage(stage));
        return;
    }
}

// The tutorial menu, and what it leads to, until it is left.
void tutorial(FightContext& context, int64_t textX, int64_t textY) {
    for (;;) {
        int64_t choice = runTutorialMenu(textX, textY);
        if (windowCloseRequested() || choice < 0) return;
        if (choice == kTutorialLessons) runLessons(context);
        else training(context, textX, textY);
        if (windowCloseRequested()) return;
    }
}
} // namespace

void resetMenuState() {
    playerOnePanel = SelectionPanel{};
    playerTwoPanel = SelectionPanel{};
    botPanel = SingleCursorPanel{};
    stageCursor = 0;
    difficultySelection = 0;
    whereSelection = 0;
    tutorialSelection = 0;
    soloSelection = 0;
    viewerClassIndex = 0;
    viewerStance = 0;
    returnHoldFrames = 0;
    resetGaugePulse();
}

void mainStateLoop(FightContext& context, int64_t textX, int64_t textY) {
    int64_t previousState = 0;
    int64_t retryState = kNoState;  // the difficulty screen was left without a choice
    int64_t repeatState = kNoState; // a class selection was made: after the fight, again
    bool repeatOffline = false;     // the two players at this computer play again
    loadRecords();
    if (startOnline == kStartHosting) hostOnlineGame(context, textX, textY, startPort);
    if (startOnline == kStartJoining) joinOnlineGame(context, textX, textY, startAddress);
    if (startOnline == kStartHostingRoom) hostRoomGame(context, textX, textY);
    if (startOnline == kStartJoiningRoom) joinRoomGame(context, textX, textY, startAddress);
    if (startOnline == kStartWatchingRoom) watchRoomGame(context, textX, textY, startAddress);
    startOnline = kStartAtMenu;
    for (;;) {
        int64_t state;
        if (retryState != kNoState) {
            state = retryState;
            retryState = kNoState;
        } else if (repeatState != kNoState) {
            state = repeatState;
            repeatState = kNoState;
        } else {
            state = runMainMenu(textX, textY, previousState);
        }
        if (windowCloseRequested()) return;
        previousState = state;
        if (state == kStateExit) return;
        if (state == kStatePlayerVsPlayer) {
            // Where the other player is: here, or online (then back to the main menu).
            int64_t where = repeatOffline ? kPlaySameComputer : runWhereMenu(textX, textY, lobbyInUse());
            repeatOffline = false;
            if (windowCloseRequested()) return;
            if (where == kPlaySameComputer) {
                repeatOffline = playerVsPlayer(context, textX, textY);
                repeatState = repeatOffline ? kStatePlayerVsPlayer : kNoState;
            } else if (where == kPlayHostRoom) {
                hostRoomGame(context, textX, textY);
            } else if (where == kPlayJoinRoom) {
                joinRoomGame(context, textX, textY, "");
            } else if (where == kPlayWatchRoom) {
                watchRoomGame(context, textX, textY, "");
            } else if (where == kPlayHostOnline) {
                hostOnlineGame(context, textX, textY, kDefaultPort);
            } else if (where == kPlayJoinOnline) {
                joinOnlineGame(context, textX, textY, "");
            }
        } else if (state == kStatePlayerVsBot) {
            int64_t outcome = playerVsBot(context, textX, textY);
            repeatState = outcome != 0 ? kStatePlayerVsBot : kNoState;
            if (outcome < 0) retryState = kStatePlayerVsBot;
        } else if (state == kViewFighters) {
            runClassSelection(context.fight, kViewerMode);
        } else if (state == kOptions) {
            runOptionsMenu(textX, textY);
        } else if (state == kTutorial) {
            tutorial(context, textX, textY);
        } else if (state == kCredits) {
            runCredits(textX, textY);
        } else if (state == kSoloModes) {
            soloModes(context, textX, textY);
        }
        if (windowCloseRequested()) return;
    }
}

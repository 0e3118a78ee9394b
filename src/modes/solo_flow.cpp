// The arcade's ladder and survival in the game.
#include "modes/solo_flow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "data/fighter_class.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/class_choice.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "input/player_setup.h"
#include "match/match.h"
#include "match/match_record.h"
#include "menus/choice_menu.h"
#include "menus/class_selection.h"
#include "menus/credits.h"
#include "menus/key_hints.h"
#include "menus/menu_framework.h"
#include "menus/selection_panels.h"
#include "modes/arcade.h"
#include "modes/interlude.h"
#include "records/match_count.h"
#include "records/records_screen.h"
#include "replays/replays.h"
#include "runtime/runtime.h"

int64_t soloSelection = 0;

namespace {
constexpr int64_t kSoloArcade = 0, kSoloSurvival = 1, kSoloRecords = 2;
constexpr int64_t kSurvivalLevel = 3; // Hard

const char* levelName(int64_t level) { return level <= 1 ? "Easy" : level == 2 ? "Medium" : "Hard"; }

int64_t positionOf(const FighterClass* fighterClass) {
    for (size_t i = 0; i < classes.size(); ++i)
        if (classes[i].get() == fighterClass) return int64_t(i);
    return -1;
}

Stage* stageAt(int64_t position) {
    if (stageList.empty()) return nullptr;
    return &stageList[size_t(std::clamp<int64_t>(position, 0, int64_t(stageList.size()) - 1))];
}

// Player one's class and stance from the class selection; false when it was left.
bool chooseOwnClass(FightContext& context) {
    FightState& fight = context.fight;
    prepareMatch(currentMatch, fight, stageAt(0), 1);
    int64_t code = runClassSelection(fight, kSoloMode);
    if (code == kNoSelection || windowCloseRequested()) return false;
    applySelectionCode(fight, fight.players[0], fight.players[1], code);
    switchBotOff(ensureBot(fight, fight.players[0]));
    return fight.players[0].fighterClass != nullptr;
}

// The computer's fighter: the class with a stance at random, at the level.
void setOpponent(FightState& fight, FighterClass* fighterClass, int64_t level) {
    Fighter& one = fight.players[0];
    Fighter& two = fight.players[1];
    chooseClass(fight, two, fighterClass, randomStanceIndex(fighterClass));
    two.useAlternateColor = one.stance && two.stance && one.stance->specialColor == two.stance->specialColor;
    BotController& bot = ensureBot(fight, two);
    bot.botLevelSetting = level;
    switchBotOn(bot);
}

// One fight against the computer, counted in the records; its result (2: the player won), its
// game time added to `seconds`.
int64_t soloFight(FightContext& context, Stage* stage, double& seconds) {
    context.stage = stage;
    if (currentMatch) currentMatch->stage = stage;
    noteScreenOpened("fight");
    int64_t result = runRecordedMatch(context, 1);
    seconds += matchHooks.fightGameSeconds;
    countMatch(context.fight, result, Opponent::Bot, matchHooks.fightGameSeconds);
    return result;
}

std::string timeAndContinues(double seconds, int64_t continues) {
    return "Time " + clockText(seconds) + "   Continues " + std::to_string(continues);
}
} // namespace

Interlude ladderScreen(const std::vector<LadderFight>& ladder, size_t next, double seconds,
                       int64_t continues) {
    Interlude screen;
    screen.screenName = "arcade ladder";
    screen.header = "=======Arcade";
    screen.lines.push_back("Fight " + std::to_string(next + 1) + " of " + std::to_string(ladder.size()) +
                           "   " + timeAndContinues(seconds, continues));
    screen.lines.push_back("");
    for (size_t i = 0; i < ladder.size(); ++i) {
        const FighterClass* c = classAt(ladder[i].classPosition);
        std::string line = (i == next ? "> " : "  ") + padded(std::to_string(i + 1), 3) +
                           padded(c ? c->name : "?", 14) + padded(levelName(ladder[i].level), 8);
        screen.lines.push_back(line + (i < next ? "beaten" : i == next ? "next" : ""));
    }
    if (const FighterClass* c = classAt(ladder[next].classPosition)) screen.portraitClassId = c->id;
    return screen;
}

bool offerContinue(int64_t textX, int64_t textY, const FighterClass* opponent, int64_t continues) {
    ChoiceMenu menu;
    menu.screenName = "arcade continue";
    menu.header = "=======Defeated";
    menu.labels = {"    Continue    ", "    Give up     "};
    menu.descriptions = {"Fight " + opponent->name + " again.\\Continues so far: " +
                         std::to_string(continues) + " of " + std::to_string(kMostArcadeContinues) + "."};
    menu.hints = {eitherKey("Return", keyFor(playerSetups[0], &Controls::neutral)) + ": confirm",
                  eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) + ": give up"};
    int64_t kept = 0;
    return runChoiceMenu(textX, textY, menu, kept) == 0;
}

Interlude arcadeClosing(const std::string& playerClass, double seconds, int64_t continues,
                        double bestSeconds) {
    Interlude closing;
    closing.screenName = "arcade cleared";
    closing.header = "=======Arcade cleared";
    closing.lines = {playerClass + " has beaten every class!", "", timeAndContinues(seconds, continues),
                     "Best time with " + playerClass + ": " + clockText(bestSeconds)};
    closing.goOn = "the credits";
    closing.leave = "the main menu";
    return closing;
}

Interlude survivalScreen(int64_t wins, double seconds, int64_t life, int64_t maxLife,
                         const FighterClass& opponent) {
    Interlude screen;
    screen.screenName = "survival";
    screen.header = "=======Survival";
    screen.lines = {"Wins " + std::to_string(wins) + "   Time " + clockText(seconds),
                    "Life " + std::to_string(life) + " of " + std::to_string(maxLife), "",
                    "Next: " + opponent.name + " at Hard"};
    screen.portraitClassId = opponent.id;
    screen.leave = "stop here";
    return screen;
}

Interlude survivalOver(int64_t wins, double seconds, int64_t previousBest) {
    Interlude over;
    over.screenName = "survival over";
    over.header = "=======Survival over";
    over.lines = {std::to_string(wins) + (wins == 1 ? " win" : " wins") + " in " + clockText(seconds),
                  wins > previousBest ? "A new best!" : "Best: " + std::to_string(previousBest) + " wins"};
    over.goOn = over.leave = "back";
    return over;
}

void arcadeGame(FightContext& context, int64_t textX, int64_t textY) {
    if (!chooseOwnClass(context)) return;
    FightState& fight = context.fight;
    FighterClass* mine = fight.players[0].fighterClass;
    // A new ladder each time: its order and first stage from the clock.
    const std::vector<LadderFight> ladder = arcadeLadder(positionOf(mine), playableClassPositions(),
                                                         uint64_t(systemTimeMs()), int64_t(stageList.size()));
    int64_t continues = 0;
    double seconds = 0;
    for (size_t next = 0; next < ladder.size(); ++next) {
        FighterClass* opponent = classAt(ladder[next].classPosition);
        if (!opponent || !runInterlude(textX, textY, ladderScreen(ladder, next, seconds, continues)))
            return;
        for (;;) {
            setOpponent(fight, opponent, ladder[next].level);
            int64_t result = soloFight(context, stageAt(ladder[next].stage), seconds);
            if (windowCloseRequested()) return;
            if (result == 2) break;
            if (continues == kMostArcadeContinues || !offerContinue(textX, textY, opponent, continues))
                return;
            continues += 1;
        }
    }
    noteArcadeClear(records, mine->name, seconds, continues);
    saveRecords();
    if (runInterlude(textX, textY, arcadeClosing(mine->name, seconds, continues,
                                                 records.classes[mine->name].arcadeBestSeconds)))
        runCredits(textX, textY);
}

void survivalGame(FightContext& context, int64_t textX, int64_t textY) {
    if (!chooseOwnClass(context)) return;
    FightState& fight = context.fight;
    const Fighter& one = fight.players[0];
    const std::vector<int64_t> playable = playableClassPositions();
    int64_t wins = 0;
    double seconds = 0;
    context.startingLife = {-1, -1};
    while (!playable.empty()) {
        FighterClass* opponent = classAt(playable[size_t(randomInt(int64_t(playable.size()) - 1))]);
        const int64_t life = context.startingLife[0] >= 0 ? context.startingLife[0] : one.maxLife;
        if (!opponent || !runInterlude(textX, textY, survivalScreen(wins, seconds, life, one.maxLife, *opponent)))
            break;
        setOpponent(fight, opponent, kSurvivalLevel);
        int64_t result = soloFight(context, stageAt(randomInt(int64_t(stageList.size()) - 1)), seconds);
        if (result != 2 || windowCloseRequested()) break;
        wins += 1;
        context.startingLife[0] = survivalLifeAfterWin(one.life, one.maxLife);
    }
    context.startingLife = {-1, -1};
    if (windowCloseRequested()) return;
    const int64_t previousBest = records.survivalBest;
    noteSurvival(records, wins);
    saveRecords();
    runInterlude(textX, textY, survivalOver(wins, seconds, previousBest));
}

void soloModes(FightContext& context, int64_t textX, int64_t textY) {
    ChoiceMenu menu;
    menu.screenName = "solo modes";
    menu.header = "=======Solo modes";
    menu.labels = {"     Arcade     ", "    Survival    ", "    Records     ", "   (go back)    "};
    menu.descriptions = {"Every other class once, from Easy to Hard.\\A lost fight can be fought again.",
                         "Fight after fight at Hard, your life carried\\over with a small heal. How long do you last?",
                         "Your wins and losses by class, the arcade's\\clears and your bests."};
    menu.hints = {eitherKey("Up/Down", keyPairFor(playerSetups[0], &Controls::up, &Controls::down)) +
                      ": choose",
                  eitherKey("Return", keyFor(playerSetups[0], &Controls::neutral)) + ": confirm",
                  eitherKey("Escape", keyFor(playerSetups[0], &Controls::heavy)) + ": back to the menu"};
    for (;;) {
        int64_t choice = runChoiceMenu(textX, textY, menu, soloSelection);
        if (choice < 0 || windowCloseRequested()) return;
        if (choice == kSoloArcade) arcadeGame(context, textX, textY);
        else if (choice == kSoloSurvival) survivalGame(context, textX, textY);
        else if (choice == kSoloRecords) runRecordsScreen(textX, textY);
        if (windowCloseRequested()) return;
    }
}

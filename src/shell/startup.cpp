// Start-up in its fixed order, and the orderly shutdown.
#include "shell/startup.h"

#include <cstdlib>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/sound_library.h"
#include "data/sprite_numbers.h"
#include "data/stages.h"
#include "fight/class_choice.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "input/bindings.h"
#include "input/controls.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "match/debug_keys.h"
#include "match/match.h"
#include "match/match_record.h"
#include "menus/menu_framework.h"
#include "menus/stats_panel.h"
#include "practice/training_panels.h"
#include "render/debug_overlay.h"
#include "render/fade.h"
#include "render/frame_images.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "replays/replays.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"
#include "shell/state_loop.h"

namespace {
constexpr int64_t kMenuMusicSlot = 1;

// The runtime's objects are freed; the game's records stay until the next run (or the end of
// the process), so that a test can look at them.
void endEverything() { endRuntime(); }
} // namespace

void endGame() { endEverything(); }

namespace {

// The game's globals start afresh, so that a test can run the game more than once.
void resetGlobals(FightContext& context) {
    nextSpriteNumber = 1;
    carryMs = 0;
    stageList.clear();
    playersCreated = false;
    context.fight.players = {};
    currentMatch.reset(); // it pointed at the players of the last run's fight
    clearGameData();
    // Sprite numbers are handed out from 1 again: every owner forgets the numbers it had.
    resetSpriteAssets();
    resetMatchSprites();
    resetTrainingPanelSprites();
    resetDebugStrip();
    resetMenuBackground();
    resetMenuState();
    clearImageQueue();
    resetFade();
    forgetPadReleases();
}

// A controller plugged in while the game runs: the place of a player's unplugged controller
// gives it back to that player; a new place goes to the first player without a controller.
void giveControllerToAPlayer(int64_t pad) {
    for (const PlayerSetup& player : playerSetups)
        if (player.padIndex == pad) return;
    for (PlayerSetup* player : {&playerSetups[0], &playerSetups[1]})
        if (player->padIndex < 0) {
            player->padIndex = pad;
            return;
        }
}

// The images of the landing effects and loading animations, shared by every match.
void loadSharedAnimationFrames() {
    for (const auto* list : {&landLightFront, &landLightBack, &landHeavyFront, &landHeavyBack,
                             &loadingAnimations})
        for (Animation* animation : *list)
            for (Frame& frame : animation->frames) loadFrameImages(frame);
}

// The fight needs three classes: start-up gives the players those at positions 2 and 0.
constexpr size_t kClassesNeeded = 3;
} // namespace

void showLoadingMessage(const std::string& text) {
    clearScreen(RGB(8, 8, 8));
    int64_t y = drawText(text, 40, screenHeight / 2 - kLineHeight, kOrangeTint, 255);
    drawText("(Hold escape to abort)", 40, y + kLineHeight, 0, 128);
    processWindowEvent();
    pollKeyboard();
    if (windowCloseRequested() || keyDown(kKeyEscape)) shutdownProgram(0);
    presentFrame();
}

int64_t forcedScreenWidth = 0, forcedScreenHeight = 0;

void startUpGame(FightContext& context) {
    FightState& fight = context.fight;
    Fighter& playerOne = fight.players[0];
    Fighter& playerTwo = fight.players[1];
    resetGlobals(context);
    // 1-2: runtime, clock, frame timing and setting defaults.
    elapsedMs();
    if (isHeadless()) seedRandom(headlessOptions().seed);
    applyFpsMode(6);
    // 3-5: keyboard, sound, sprites, then controllers.
    if (!initKeyboard())
        fatalError("Quarrelix error", "Could not be able to init Keyboard", kMessageNoIcon);
    if (!initSound()) fatalError("Quarrelix error", "Could not be able to init sounds", kMessageNoIcon);
    // Without a sound device the game plays on silent, and says so once.
    if (!soundIsOff().empty())
        std::fprintf(stderr, "Quarrelix: sound is off: %s\n", soundIsOff().c_str());
    if (!initSprites())
        fatalError("Quarrelix error", "Could not be able to init sprites", kMessageNoIcon);
    initControllers();
    // 6-8: sprite numbers, desktop, screen sizes.
    nextSpriteNumber = 1;
    desktopWidth = desktopWidthOf(0);
    desktopHeight = desktopHeightOf(0);
    screenWidth = desktopWidth;
    screenHeight = desktopHeight;
    if (desktopCount() < 1)
        fatalError("Quarrelix error", "Could not be able to find screen", kMessageNoIcon);
    resetSettingsToDefaults(desktopWidth);
    // 9-10: settings, screen size, the screen.
    if (loadSettings()) {
        setScreenSizeFromIndex(settings.screenSizeIndex);
    } else {
        int64_t index = automaticScreenSizeIndex(desktopWidth, desktopHeight);
        if (index >= 0) {
            settings.screenSizeIndex = index;
            setScreenSizeFromIndex(index);
        }
    }
    if (forcedScreenWidth > 0 && forcedScreenHeight > 0) {
        screenWidth = forcedScreenWidth;
        screenHeight = forcedScreenHeight;
    }
    openGameScreen(screenWidth, screenHeight);
    // 11: tables and the font. (The menus come with their own modules.)
    buildGaugeColors();
    loadFont();
    // 12: the menu music, when the generated content has it.
    if (settings.musicVolume > 0) loadSound(kMenuMusicSlot, "music/Quarrelix menu v04.ogg");
    // 13: the placeholder animation; the screen and the font must exist.
    emptyAnimation = makePlaceholderAnimation(nullptr, 0, 0, 0, "empty");
    if (!screenIsOpen()) fatalError("Quarrelix error", "Could not be able to init screen", kMessageNoIcon);
    if (!spriteExists(letterSprite)) fatalError("failed", "u noob", kMessageNoIcon);
    // 14: stages.
    showLoadingMessage("Loading music -------------------");
    buildStages();
    // 15: the shared images and the game data.
    makePlaceholderSoundPool();
    showLoadingMessage("Loading data");
    loadSharedImages();
    makePlaceholderAnimation(emptyAnimation, 1, 0, 0, "No name");
    // The message has been shown; the game cannot go on without its data.
    if (!loadGameData("data.json")) shutdownProgram(1);
    if (classes.size() < kClassesNeeded)
        fatalError("Quarrelix error",
                   "The data file has fewer than three fighter classes: the game cannot start",
                   kMessageErrorIcon);
    // 16: follow-up tables and shared pictures; the combo icons and the shared effects.
    finishAnimations();
    loadComboImages();
    loadSharedAnimationFrames();
    // 17: the players, with the classes at positions 2 and 0 and their idle animations.
    showLoadingMessage("Loading players");
    createPlayerSetup(playerSetups[0], "Player one", 1);
    createPlayerSetup(playerSetups[1], "Player two", 2);
    createFighter(playerOne, RGB(192, 64, 0), 1);
    createFighter(playerTwo, RGB(100, 100, 255), 2);
    chooseClass(fight, playerOne, classAt(0), 0);
    chooseClass(fight, playerTwo, classAt(0), 0);
    chooseClass(fight, playerOne, classAt(2), 0);
    // The controllers there by now (plugged in while loading too): the first is player one's,
    // the second player two's; those plugged in from now on go to a player as they come.
    int64_t joysticks = controllerCount();
    if (joysticks >= 1) playerSetups[0].padIndex = 0;
    if (joysticks >= 2) playerSetups[1].padIndex = 1;
    controllerPluggedIn = giveControllerToAPlayer;
    playersCreated = true;
    // 18: the classes offered by the selection screens, then random and mirror.
    buildSelectableList(1);
    // 19: letters follow the keyboard layout.
    setKeyboardMode(kKeyboardFollowLayout);
    // 20: stat icons; settings again, now reaching the players' keys; keyboard type; music.
    loadStatIcons();
    loadSettings();
    applyKeyboardType(settings.keyboardType);
    applyMusicVolume();
    // 21: the menu music plays.
    if (settings.musicVolume > 0) playSound(kMenuMusicSlot, kSoundLoop);
    // 22: the first menu shows through a fade back from black.
    revealFromBlack();
}

int runGame(FightContext& context) {
    startUpGame(context);
    // 22-23: the main state loop, then shutdown.
    mainStateLoop(context, 40, 40);
    endEverything();
    return 0;
}

int runReplayFile(const std::string& path) {
    Replay replay;
    std::string problem;
    bool readable = readReplay(path, replay, problem);
    int64_t width = 0, height = 0;
    for (const auto& [name, value] : replay.settings) {
        if (name == "screenWidth") width = value;
        if (name == "screenHeight") height = value;
    }
    if (replayScreenSizeUsable(width, height)) {
        forcedScreenWidth = width;
        forcedScreenHeight = height;
    }
    FightContext context;
    startUpGame(context);
    forcedScreenWidth = forcedScreenHeight = 0;
    if (readable) problem = replayRefusal(replay);
    if (!problem.empty()) {
        std::fprintf(stderr, "quarrelix: %s: %s\n", path.c_str(), problem.c_str());
        messageBox("Quarrelix replay", "This replay cannot be played: " + problem, kMessageErrorIcon);
        endEverything();
        return 1;
    }
    applyReplaySetup(context, replay);
    playReplay(context, replay, true);
    restoreFightSettings();
    endEverything();
    return 0;
}

void startProgram() {
    FightContext game; // the run's fight: every screen plays and shows this one
    std::exit(runGame(game));
}

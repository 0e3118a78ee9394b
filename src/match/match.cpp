// Match set-up, the intro with its countdown, and the fight loop.
#include "match/match.h"

#include <array>
#include <chrono>
#include <cmath>
#include <functional>

#include "data/fighter_class.h"
#include "data/sprite_numbers.h"
#include "data/stages.h"
#include "fight/bot.h"
#include "fight/fight_events.h"
#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "input/controls.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "match/end_of_match.h"
#include "match/fight_display.h"
#include "match/frame_loop.h"
#include "match/match_tape.h"
#include "match/music.h"
#include "match/replay_record.h"
#include "match/rounds.h"
#include "render/effects.h"
#include "render/fight_drawing.h"
#include "render/fighter_drawing.h"
#include "render/frame_images.h"
#include "render/particles.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"

MatchHooks matchHooks;

namespace {
constexpr int64_t kIntroMs = 3000;
// The intro loads queued pictures while its frame's work, drawing included, stays within half
// a frame.
constexpr int64_t kAllThatFitsTheFrame = 1 << 20;
int64_t vignetteSprite = 0;
// The screen size the vignette was made for: it is zoomed past the screen's edges, so its
// own size cannot tell whether the screen has been reopened at another size since.
int64_t vignetteWidth = 0, vignetteHeight = 0;

// Red screen edges while a player fighting the bot takes damage.
void drawHurtVignette(const Fighter& playerOne, const Fighter& playerTwo) {
    if (playerOne.botLevel != 0 || playerTwo.botLevel == 0 || playerOne.damageFlash == 0) return;
    if (vignetteSprite == 0) vignetteSprite = takeSpriteNumber();
    if (!spriteExists(vignetteSprite) || vignetteWidth != screenWidth ||
        vignetteHeight != screenHeight) {
        vignetteWidth = screenWidth;
        vignetteHeight = screenHeight;
        createSprite(vignetteSprite, screenWidth, screenHeight, kSpriteAlpha);
        if (beginDrawing(spriteOutput(vignetteSprite))) {
            fillBox(0, 0, screenWidth, screenHeight, RGB(255, 0, 0));
            setDrawingMode(kDrawAlphaOnly);
            for (int64_t i = 1; i <= 19; ++i)
                fillBox(16 * i, 16 * i, screenWidth - 32 * i, screenHeight - 32 * i,
                        RGBA(0, 0, 0, 255 / i));
            endDrawing();
        }
        zoomSprite(vignetteSprite, screenWidth + 100, screenHeight + 100);
    }
    drawSpriteBlended(vignetteSprite, -50, -50, std::min<int64_t>(255, 10 * playerOne.damageFlash));
}

void endIfWindowClosed() {
    processWindowEvent();
    if (windowCloseRequested()) shutdownProgram(0);
}

void drawCountdown(int64_t digit, double scale, double fade) {
    int64_t sprite = digit == 2 ? countdownSprites.three
                     : digit == 1 ? countdownSprites.two : countdownSprites.one;
    if (!spriteExists(sprite)) return;
    zoomSprite(sprite, -1, -1);
    double w = double(spriteWidth(sprite)), h = double(spriteHeight(sprite));
    // Centred where the number stands at its own size, growing around its centre.
    double centreX = double(screenWidth - 188) / 2 + w / 2, centreY = 300 + h / 2;
    zoomSprite(sprite, roundToInt(w * scale), roundToInt(h * scale));
    drawSpriteBlended(sprite, roundToInt(centreX - w * scale / 2), roundToInt(centreY - h * scale / 2),
                      roundToInt(255 - fade));
}

void drawLabels(const Fighter& playerOne, const Fighter& playerTwo) {
    auto label = [](const Fighter& f, const std::string& text, int64_t colour) {
        drawText(text, roundToInt(f.screenPosition.x) + 400, roundToInt(f.screenPosition.y) + 300,
                 colour, 255);
    };
    if (playerTwo.botLevel == 0) {
        label(playerOne, "V V V Player 1 V V V", RGB(255, 136, 0));
        label(playerTwo, "V V V Player 2 V V V", RGB(0, 0, 255));
    } else {
        label(playerOne, "V V V You are here V V V", RGB(255, 136, 0));
    }
}

} // namespace

void fightIntro(FightContext& context, double fixedFactor, const std::function<void()>& eachFrame) {
    FightState& fight = context.fight;
    Stage* stage = context.stage;
    double elapsed = 0, scale = 20.0, fade = 255.0;
    int64_t lastDigit = 2, digit = 2;
    matchHooks.introDigits.clear();
    matchHooks.introFrameMs.clear();
    // Before a later round the stage's music plays on from the first.
    const std::string banner = roundBanner(context);
    if (banner.empty() && stage && settings.musicVolume > 0 && soundExists(stage->introSlot)) {
        setSoundVolume(stage->introSlot, settings.musicVolume);
        playSound(stage->introSlot);
    }
    FrameLoop loop;
    loop.phase = FramePhase::Intro;
    loop.factor = loop.previous = fixedFactor > 0 ? fixedFactor : nominalFrameFactor;
    loop.frame = [&](double& factor, double previous) {
        if (!matchTape.playing && elapsed >= kIntroMs) return false;
        if (matchTape.playing && matchTape.controls) playbackControls(context);
        std::array<Actions, 2> none{};
        if (!tapeFrame(0, none, factor)) return false;
        stepIntro(fight, stage, factor, previous);
        tapeAfterStep(fight);
        presentFightEvents(fight.events, factor);
        drawIntroFight(fight, stage);
        drawLabels(fight.players[0], fight.players[1]);
        digit = std::max<int64_t>(0, 2 - roundToInt(elapsed / 1000.0));
        if (digit == lastDigit) {
            double k = scale <= 1.0 ? 0.999 : 0.9;
            scale *= k;
            fade *= k;
        } else {
            scale = 20.0;
            fade = 255.0;
            lastDigit = digit;
        }
        drawCountdown(digit, scale, fade);
        // Large, centred above the countdown's digit (300 px down), in px.
        constexpr int64_t kBannerGlyph = 40, kBannerAdvance = 36;
        if (!banner.empty())
            drawZoomedText(banner, screenWidth / 2 - textLength(banner) * kBannerAdvance / 2, 220,
                           kBannerGlyph, kBannerAdvance, RGB(255, 136, 0), 255);
        drawRoundCounter(context);
        drawPlaybackMark();
        endIfWindowClosed();
        if (eachFrame) eachFrame();
        return true;
    };
    loop.afterShown = [&](double) {
        matchHooks.introDigits.push_back(digit);
        // The frame's own work counts against the half frame the pictures may take.
        loadQueuedImages(kAllThatFitsTheFrame, frameWorkMs(loop));
        matchHooks.introFrameMs.push_back(frameWorkMs(loop));
        return true;
    };
    loop.pace = [&](double start, double factor) {
        double next = pacedTapeFrame(start, factor, 0);
        // A replay's intro lasts its recorded frames, a fixed pace's its frames' lengths: both
        // show the countdown.
        if (fixedFactor > 0) next = fixedFactor;
        bool counted = matchTape.playing || fixedFactor > 0;
        elapsed += counted ? factor * 20.0 : systemTimeMs() - start;
        return next;
    };
    runFrameLoop(loop);
    // The fight itself decodes no picture: whatever a short intro left is loaded now.
    loadQueuedImagesTogether(queuedImageCount());
    if (banner.empty() && stage && settings.musicVolume > 0 && soundExists(stage->musicSlot)) {
        setSoundVolume(stage->musicSlot, settings.musicVolume);
        playSound(stage->musicSlot, kSoundLoop);
    }
}

namespace {
// One round's fight; the first round of a match starts the counts the match hooks keep, later
// ones add to them. escaped: the players left the match with Escape.
int64_t fightLoop(FightContext& context, bool firstRound, bool& escaped) {
    FightState& fight = context.fight;
    // Measured on the wall clock for benchmarks; the game itself runs on the system clock.
    auto wallStart = std::chrono::steady_clock::now();
    struct WallTimer {
        std::chrono::steady_clock::time_point start;
        ~WallTimer() {
            matchHooks.fightLoopSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    } timer{wallStart};
    std::array<double, 100> ring;
    ring.fill(nominalFrameFactor);
    size_t ringIndex = 0;
    bool finished = false;
    int64_t result = 0;
    int64_t roundFrames = 0; // the frame limit holds for each round
    if (firstRound) {
        matchHooks.fightFrames = 0;
        matchHooks.fightGameSeconds = 0;
        matchHooks.fightLoopSeconds = 0;
        matchHooks.fightFrameMs.clear();
    }
    FrameLoop loop;
    loop.phase = FramePhase::Fight;
    loop.factor = loop.previous = nominalFrameFactor;
    loop.frame = [&](double& factor, double previous) {
        pollKeyboard();
        std::array<Actions, 2> actions = playerActions(fight);
        endIfWindowClosed();
        if (matchTape.playing && matchTape.controls) playbackControls(context);
        // A replay's fight ends where the recorded one did.
        if (!tapeFrame(1, actions, factor)) return false;
        result = stepFight(fight, context.stage, actions, factor, previous);
        tapeAfterStep(fight);
        showFightStep(fight, context.stage, factor);
        if (fightDebugKeys(context) && matchTape.recording) matchTape.spoiled = true;
        matchHooks.fightGameSeconds += factor * 0.02; // a factor of 1 is a tick of 20 ms
        if (result > 0) finished = true;
        drawHurtVignette(fight.players[0], fight.players[1]);
        drawRoundCounter(context);
        if (settings.showFps) {
            double sum = 0;
            for (double r : ring) sum += r;
            drawPlainText("FPS : " + std::to_string(roundToInt(50.0 / (sum / 100.0))), 0, 240);
        }
        drawPlaybackMark();
        return true;
    };
    loop.afterShown = [&](double factor) {
        ring[ringIndex] = slowMotion ? factor * 5.0 : factor;
        ringIndex = (ringIndex + 1) % ring.size();
        loadQueuedImages(1);
        matchHooks.fightFrameMs.push_back(frameWorkMs(loop));
        return true;
    };
    loop.pace = [](double start, double factor) { return pacedTapeFrame(start, factor, slowMotion); };
    loop.goOn = [&](double) {
        matchHooks.fightFrames += 1;
        roundFrames += 1;
        if (matchTape.playing) return true; // the replay's frames decide where the fight ends
        if (keyReleased(kKeyEscape)) finished = escaped = true;
        if (matchHooks.maxFightFrames > 0 && roundFrames >= matchHooks.maxFightFrames)
            finished = true;
        return !finished;
    };
    runFrameLoop(loop);
    return result;
}
} // namespace

int64_t onlineLocalSide = -1;
std::array<int64_t, 2> jumpWithUpOverride = {-1, -1};

int64_t matchJumpWithUp(int64_t player) {
    int64_t decided = jumpWithUpOverride[size_t(player)];
    return decided >= 0 ? decided : playerSetups[size_t(player)].jumpWithUp;
}

std::array<Actions, 2> playerActions(const FightState& fight) {
    std::array<Actions, 2> actions{};
    if (onlineLocalSide >= 0) {
        const PlayerSetup& local = playerSetups[0];
        actions[size_t(onlineLocalSide)] =
            pollActions(local.keyBindings, local.padIndex, local.jumpWithUp);
        return actions;
    }
    for (size_t i = 0; i < 2; ++i)
        if (fight.players[i].botLevel == 0)
            actions[i] = pollActions(playerSetups[i].keyBindings, playerSetups[i].padIndex,
                                     playerSetups[i].jumpWithUp);
    return actions;
}

void placeLifeGauge(Fighter& fighter, bool onTheRight) {
    bool narrow = screenWidth < 1201;
    LifeGauge& g = fighter.lifeBar;
    if (onTheRight) {
        g.x = double(screenWidth - (narrow ? 498 : 688));
        g.y = narrow ? 30 : 80;
    } else {
        g.x = narrow ? -240 : -50;
        g.y = narrow ? 30 : 80;
    }
}

int64_t matchRules = kFightRules;

MatchSetup currentMatchSetup() {
    MatchSetup setup;
    setup.rules = matchRules;
    setup.groundLine = screenHeightMinus720;
    setup.viewWidth = screenWidthMinus200;
    setup.attackDelay = settings.attackDelay;
    setup.comboDisplay = settings.comboDisplay;
    setup.particles = settings.particleEnabled;
    setup.wind = settings.windEnabled;
    setup.soundVariation = settings.soundVariation;
    for (size_t i = 0; i < 2; ++i) {
        setup.names[i] = playerSetups[i].name;
        setup.jumpWithUp[i] = matchJumpWithUp(int64_t(i));
    }
    return setup;
}

void resetMatch(FightContext& context) {
    FightState& state = context.fight;
    Fighter& one = state.players[0];
    Fighter& two = state.players[1];
    Stage* stage = context.stage;
    int64_t width = stage ? stage->width : 3000;
    state.setup = currentMatchSetup();
    resetFightState(state);
    state.focusX = (width - screenWidth) / 2;
    resetFighter(state, one, float(width / 2 + screenWidth / 3 - 650));
    resetFighter(state, two, float(width / 2 - screenWidth / 3 - 350));
    one.side = one.facing = 0;
    two.side = two.facing = 1;
    placeLifeGauge(one, true);
    placeLifeGauge(two, false);
    if (stage) std::fill(stage->tileVisible.begin(), stage->tileVisible.end(), 0);
    state.leftPlayer = one.position.x < two.position.x ? 0 : 1;
    clearEffects();
}

void releaseImagesNotFor(const FightContext& context) {
    const FightState& fight = context.fight;
    for (const auto& c : classes)
        if (c.get() != fight.players[0].fighterClass && c.get() != fight.players[1].fighterClass)
            releaseClassImages(*c);
    for (const Stage& other : stageList)
        if (&other != context.stage) freeStageTiles(other);
}

// The pictures of the fighters' classes queued to load, as the setting asks. The intro shows
// each fighter's arrival and then its idle stance: those pictures come first, the fighters'
// in turn, so that the intro draws none that it must decode on the spot.
int64_t queueClassImages(std::initializer_list<Fighter*> fighters) {
    std::vector<std::vector<Frame*>> intro;
    std::vector<Frame*> later;
    for (Fighter* fighter : fighters) {
        FighterClass* c = fighter->fighterClass;
        if (!c || c->imagesPrepared) continue;
        bool slotsOnly, everyOther;
        switch (settings.buffedFrames) {
        case 5: slotsOnly = false, everyOther = false; break;
        case 3: slotsOnly = false, everyOther = true; break;
        case 2: slotsOnly = true, everyOther = false; break;
        case 4: slotsOnly = true, everyOther = true; break;
        default: continue; // "Load on demand": every frame loads when first drawn
        }
        c->imagesPrepared = true;
        intro.emplace_back();
        bool take = true;
        for (const Animation* a : classAnimations(*c, !slotsOnly, settings.windEnabled != 0)) {
            bool shownInIntro = a == c->spawn || a == c->idle;
            for (const Frame& frame : a->frames) {
                if (!everyOther || take) (shownInIntro ? intro.back() : later).push_back(const_cast<Frame*>(&frame));
                take = !take;
            }
        }
        for (Frame& frame : c->hit) later.push_back(&frame);
    }
    size_t longest = 0, introFrames = 0;
    for (const std::vector<Frame*>& frames : intro) longest = std::max(longest, frames.size());
    for (size_t i = 0; i < longest; ++i)
        for (const std::vector<Frame*>& frames : intro)
            if (i < frames.size()) queueFrameImages(frames[i]), ++introFrames;
    for (Frame* frame : later) queueFrameImages(frame);
    return int64_t(introFrames);
}

void prepareClassImages(Fighter& fighter) {
    FighterClass* c = fighter.fighterClass;
    if (!c || c->imagesPrepared) return;
    queueClassImages({&fighter});
    int64_t total = queuedImageCount();
    while (queuedImageCount() > 0) {
        double start = systemTimeMs();
        drawBackdrop();
        int64_t done = total - queuedImageCount();
        int64_t barLength = total > 0 ? done * (screenWidth / 64) / total : 0;
        drawPlainText("Loading class " + c->name + "\\" + std::string(size_t(barLength), 'O'), 200, 200);
        loadQueuedImagesTogether(queuedImageCount()); // on every core, a class in a blink
        endIfWindowClosed();
        framePacing(start, 0);
        presentFrame();
    }
}

Stage* setUpMatch(FightContext& context) {
    FightState& fight = context.fight;
    Fighter& playerOne = fight.players[0];
    Fighter& playerTwo = fight.players[1];
    // A match starts from its set-up alone: a controller switched off is dropped, one switched
    // on starts its thinking afresh.
    for (Fighter* f : {&playerOne, &playerTwo}) {
        BotController* bot = botOf(fight, *f);
        if (!bot) continue;
        if (bot->botState == 0) {
            removeBot(fight, *f);
        } else {
            bot->botState = 1;
            restartThinking(*bot);
        }
    }
    // Everything random in a match follows from the generator's state at its start.
    if (matchTape.playing) setRandomState(matchTape.playing->randomState);
    else if (matchTape.recording) matchTape.recording->randomState = randomState();
    // The fight draws from its own generator, which starts where the game's stands.
    fight.random = randomState();
    Stage* stage = context.stage;
    // The fight reads the second class's idle wind; data without it cannot be fought with.
    const FighterClass* second = classAt(1);
    if (!second || !second->idle || !second->idle->frontWind)
        fatalError("failed", "u noob", kMessageNoIcon);
    placeLifeGauge(playerOne, false);
    placeLifeGauge(playerTwo, true);
    resetMatch(context);
    releaseImagesNotFor(context);
    if (stage) loadStageTiles(*stage);
    stopMenuMusic();
    // The classes' pictures load during the intro, a few each frame, but for those the intro
    // shows, which load now on every core: its first frames enlarge the countdown's digit
    // across the screen and leave no time for them.
    loadQueuedImagesTogether(queueClassImages({&playerOne, &playerTwo}));
    if (stage && settings.musicVolume > 0) loadStageMusic(*stage);
    loadEndOfMatchJingles(playerTwo.botLevel != 0);
    playerOne.side = playerOne.facing = 0;
    playerTwo.side = playerTwo.facing = 1;
    for (size_t side = 0; side < 2; ++side) {
        Fighter* f = &fight.players[side];
        const int64_t carried = context.startingLife[side];
        f->life = carried >= 0 ? std::min(carried, f->maxLife) : f->maxLife;
        const FighterClass* c = f->fighterClass;
        setAnimation(fight, *f, c && c->spawn ? c->spawn : (c ? c->idle : nullptr));
    }
    return stage;
}

namespace {
// A later round: the fighters placed again as at the match's start, with full life, and the
// bots thinking afresh; the stage, its music and the fight's random draws go on.
void startNextRound(FightContext& context) {
    FightState& fight = context.fight;
    resetMatch(context);
    clearParticles();
    for (size_t side = 0; side < 2; ++side) {
        Fighter& f = fight.players[side];
        // A bot stops when its opponent falls: one that drives its side is switched on again.
        if (BotController* bot = botOf(fight, f); bot && f.botLevel != 0) {
            bot->botState = 1;
            restartThinking(*bot);
        }
        f.side = f.facing = int64_t(side);
        f.life = f.maxLife;
        const FighterClass* c = f.fighterClass;
        setAnimation(fight, f, c && c->spawn ? c->spawn : (c ? c->idle : nullptr));
    }
}
} // namespace

int64_t startMatch(FightContext& context) {
    auto setupStart = std::chrono::steady_clock::now();
    Stage* stage = setUpMatch(context);
    matchHooks.setupSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - setupStart).count();
    context.roundWinners.clear();
    int64_t result = 0;
    for (;;) {
        fightIntro(context);
        bool escaped = false;
        result = fightLoop(context, context.roundWinners.empty(), escaped);
        context.roundWinners.push_back(roundWinner(result));
        // Escape leaves the whole match; a replay goes on where its recording did.
        if (context.rounds <= 1 || escaped || matchDecided(context.rounds, context.roundWinners) ||
            !tapeGoesOnToAnotherRound())
            break;
        startNextRound(context);
    }
    if (context.rounds > 1) result = resultByRounds(context.roundWinners);
    // The fight loop hands over to the end of match.
    if (matchHooks.endOfMatch)
        endOfMatch(context, result, context.fight.players[1].botLevel != 0 ? 1 : 0);
    else if (stage)
        stopSound(stage->musicSlot);
    // The game's draws go on from where the fight's ended, as they always have.
    setRandomState(context.fight.random);
    return result;
}

void resetMatchSprites() { vignetteSprite = 0; }

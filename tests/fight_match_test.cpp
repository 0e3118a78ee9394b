// A whole match headless: the intro's countdown and labels, the fight loop's pace and end.
#include "game_dir_fixture.h"

#include "data/stages.h"
#include "fight/bot.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "fight/hit_masks.h"
#include "match/end_of_match.h"
#include "match/fight_display.h"
#include "match/match.h"
#include "match/music.h"
#include "render/effects.h"
#include "render/fade.h"
#include "render/frame_images.h"
#include "render/particles.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"
#include "shell/startup.h"
#include <algorithm>
#include "data/fighter_class.h"
#include "fight/class_choice.h"
#include "input/keys.h"

namespace {
struct MatchTest : GameDirTest {
    // Tests that look at no picture run with nothing drawn, for speed.
    void startUp(double fixedFactor = 0, bool drawn = false) {
        options.desktopWidth = 1280;
        options.desktopHeight = 720;
        options.fixedFrameFactor = fixedFactor;
        options.nullRenderer = !drawn;
        setHeadless(options);
        startUpGame(game);
        game.stage = &stageList[0];
        matchHooks = MatchHooks{};
    }
    void TearDown() override {
        matchHooks = MatchHooks{};
        endGame();
        GameDirTest::TearDown();
    }
    static uint32_t pixel(const std::string& path, int64_t x, int64_t y) {
        Bitmap shot;
        bool alpha = false;
        EXPECT_TRUE(loadPng(path, shot, alpha));
        return shot.pixels[size_t(y * shot.width + x)] & 0xFFFFFFu;
    }
};
} // namespace

TEST_F(MatchTest, CountdownShowsHalfASecondThenOneThenOneAndAHalf) {
    startUp();
    matchHooks.maxFightFrames = 3;
    EXPECT_EQ(startMatch(game), 0);
    const auto& digits = matchHooks.introDigits;
    ASSERT_EQ(digits.size(), 300u); // three seconds at 100 frames per second
    int64_t counts[3] = {};
    for (int64_t d : digits) counts[d] += 1;
    EXPECT_EQ(counts[2], 51); // up to 0.5 s: rounding, not truncation
    EXPECT_EQ(counts[1], 99);
    EXPECT_EQ(counts[0], 150);
    EXPECT_EQ(digits.front(), 2);
    EXPECT_EQ(digits.back(), 0);
    EXPECT_EQ(matchHooks.fightFrames, 3);
    EXPECT_EQ(playerOne.life, playerOne.maxLife);
    // A life carried over (survival) starts the next match, within the maximum.
    for (auto [carried, expected] : {std::pair<int64_t, int64_t>{40, 40}, {1000000, playerOne.maxLife}}) {
        game.startingLife = {carried, -1};
        startMatch(game);
        EXPECT_EQ(playerOne.life, expected);
        EXPECT_EQ(playerTwo.life, playerTwo.maxLife);
    }
    game.startingLife = {-1, -1};
}

TEST_F(MatchTest, LabelsNameBothPlayersOrOnlyYou) {
    startUp(0, true);
    matchHooks.maxFightFrames = 1;
    matchHooks.introScreenshots = {{10, "two_players.png"}};
    startMatch(game);
    // Player one starts on the right, player two on the left (1280 x 720, stage 0).
    EXPECT_EQ(roundToInt(playerOne.screenPosition.x), 416);
    EXPECT_EQ(roundToInt(playerTwo.screenPosition.x), -136);
    EXPECT_EQ(pixel("two_players.png", 820, 305), 0xFF8800u); // "V V V Player 1 V V V"
    EXPECT_EQ(pixel("two_players.png", 268, 305), 0x0000FFu); // "V V V Player 2 V V V"
    playerTwo.botLevel = 1;
    matchHooks.introScreenshots = {{10, "against_bot.png"}};
    startMatch(game);
    EXPECT_EQ(pixel("against_bot.png", 820, 305), 0xFF8800u); // "V V V You are here V V V"
    EXPECT_NE(pixel("against_bot.png", 268, 305), 0x0000FFu);
}

TEST_F(MatchTest, EscapeEndsTheFightAtOnce) {
    options.desktopWidth = 1280;
    options.desktopHeight = 720;
    // Start-up shows three loading frames, class preparation two, the intro 300.
    scriptKeyTap(options.script, 3 + 2 + 300 + 20, kKeyEscape);
    startUp();
    EXPECT_EQ(startMatch(game), 0);
    EXPECT_GE(matchHooks.fightFrames, 15);
    EXPECT_LE(matchHooks.fightFrames, 30);
}

TEST_F(MatchTest, TenSecondsAreTheSameGameTimeAtEveryRate) {
    for (int64_t fps : {50, 100, 240}) {
        startUp(50.0 / double(fps));
        for (int64_t i = 1; i <= 10; ++i)
            if (fpsTable[i] == fps) applyFpsMode(i);
        matchHooks.maxFightFrames = 10 * fps;
        EXPECT_EQ(startMatch(game), 0);
        EXPECT_EQ(matchHooks.fightFrames, 10 * fps);
        EXPECT_NEAR(matchHooks.fightGameSeconds, 10.0, 1e-9); // the frame factors in 20 ms ticks
        EXPECT_NEAR(double(matchHooks.introDigits.size()), double(3 * fps), 1.0);
        EXPECT_EQ(playerOne.life, playerOne.maxLife);
        EXPECT_EQ(playerTwo.life, playerTwo.maxLife);
        endGame();
    }
}

// The generated fighters in a scripted fight: walking, jumping, the six attacks and a combo.
// Set QRX_KEEP_SCREENSHOTS to a directory to keep the pictures for a look.
using GeneratedFight = GeneratedGameTest;

namespace {
// The generated game started headless at 1280 x 720, drawn.
void startUpDrawn() {
    HeadlessOptions options;
    options.desktopWidth = 1280;
    options.desktopHeight = 720;
    setHeadless(options);
    startUpGame(game);
}
} // namespace

TEST_F(GeneratedFight, ScriptedMovesPlayWithTheRealFighters) {
    HeadlessOptions options;
    options.desktopWidth = 1280;
    options.desktopHeight = 720;
    // Fight-loop frames start after three loading frames and the 300 intro frames. Player one
    // (arrows, P, O, L) faces left, towards player two.
    const int64_t fight = 3 + 300;
    auto hold = [&](int64_t from, int64_t frames, std::initializer_list<int64_t> keys) {
        for (int64_t key : keys) scriptKeyTap(options.script, fight + from, key, frames);
    };
    hold(10, 40, {kKeyLeft});                   // walk towards player two
    hold(60, 4, {38});                           // jump (L)
    hold(140, 3, {25});                          // neutral (P)
    hold(200, 3, {25, kKeyLeft});                // side
    hold(260, 3, {25, kKeyRight});               // back
    hold(320, 3, {25, kKeyUp});                  // up
    hold(380, 3, {25, kKeyDown});                // down
    hold(440, 3, {24});                          // heavy (O)
    setHeadless(options);
    startUpGame(game);
    game.stage = &stageList[0];
    matchHooks = MatchHooks{};
    matchHooks.maxFightFrames = 520;
    std::vector<int64_t> types;
    const char* keep = std::getenv("QRX_KEEP_SCREENSHOTS");
    for (int64_t frame : {0, 30, 75, 100, 145, 205, 265, 325, 385, 450})
        matchHooks.screenshots.emplace_back(frame, "fight" + std::to_string(frame) + ".png");
    matchHooks.introScreenshots = {{20, "intro.png"}};
    // The countdown's digit, up to twenty times its size (at 18 times, 17 screens of pixels),
    // is stretched only where it lands on the screen: with the few small zoomed pictures of
    // the scene, no intro frame stretches more than twice a screen of pixels.
    std::vector<int64_t> stretched;
    int64_t lastCount = scaledPixelCount();
    matchHooks.afterIntroFrame = [&](int64_t) {
        stretched.push_back(scaledPixelCount() - lastCount);
        lastCount = scaledPixelCount();
    };
    EXPECT_EQ(startMatch(game), 0);
    EXPECT_EQ(matchHooks.fightFrames, 520);
    ASSERT_EQ(stretched.size(), 300u);
    EXPECT_LE(*std::max_element(stretched.begin(), stretched.end()), 2 * 1280 * 720);
    EXPECT_GE(stretched[0], 1280 * 720); // the first, 18 times its size, covers the screen
    EXPECT_NE(playerOne.position.x, playerTwo.position.x);
    for (const auto& [frame, path] : matchHooks.screenshots) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
        if (keep) std::filesystem::copy_file(path, std::string(keep) + "/" + path,
                                             std::filesystem::copy_options::overwrite_existing);
    }
    if (keep) std::filesystem::copy_file("intro.png", std::string(keep) + "/intro.png",
                                         std::filesystem::copy_options::overwrite_existing);
    matchHooks = MatchHooks{};
}

// Two players on the generated content: player one walks in and keeps attacking, player two
// stands; the fight loop ends on the knock-out and hands over with player two as the loser.
TEST_F(GeneratedFight, APlayerKnocksTheOtherOut) {
    HeadlessOptions options;
    options.desktopWidth = 1280;
    options.desktopHeight = 720;
    options.nullRenderer = true; // nothing to look at: only the outcome counts
    const int64_t fight = 3 + 300;
    // Towards player two all along, attacking every 24 frames: between attacks player one
    // walks after its opponent again.
    scriptKeyTap(options.script, fight, kKeyLeft, 6000);
    for (int64_t frame = 26; frame < 6000; frame += 24) scriptKeyTap(options.script, fight + frame, 25, 2);
    setHeadless(options);
    startUpGame(game);
    game.stage = &stageList[0];
    matchHooks = MatchHooks{};
    matchHooks.maxFightFrames = 6000;
    EXPECT_EQ(startMatch(game), 2);
    EXPECT_LE(playerTwo.life, 0);
    EXPECT_GT(playerOne.life, 0);
    EXPECT_GT(playerOne.stats.hits, 3);
    EXPECT_GE(playerOne.stats.damage, playerTwo.maxLife);
    EXPECT_LT(matchHooks.fightFrames, 6000);
    matchHooks = MatchHooks{};
}

// Fight-loop passes start after three loading frames and the intro.
constexpr int64_t kFirstFightFrame = 3 + 300;

// Keeps a screenshot for a look when QRX_KEEP_SCREENSHOTS names a directory.
static void keepScreenshot(const std::string& file) {
    if (const char* keep = std::getenv("QRX_KEEP_SCREENSHOTS"))
        if (std::filesystem::exists(file))
            std::filesystem::copy_file(file, std::string(keep) + "/" + file,
                                       std::filesystem::copy_options::overwrite_existing);
}

// Player two is knocked out at the top of a jump: through the end of match it falls to the
// ground, plays its death to the last frame, and its gauge runs empty.
TEST_F(GeneratedFight, AKnockOutInMidAirEndsOnTheGroundInTheLastDeathFrame) {
    std::vector<ScriptEvent> script;
    scriptKeyTap(script, kFirstFightFrame + 10, 0x12, 4); // E: player two jumps
    startTwoPlayerGame(HeadlessOptions{.script = script});
    float knockedOutAt = 0;
    matchHooks.afterFightFrame = [&](int64_t pass) {
        if (pass == 0) { // worn down by earlier hits, its gauge long settled
            playerTwo.life = 30;
            playerTwo.regenCount = 1000;
            updateLifeGaugeTargets(playerTwo);
            playerTwo.lifeBar.mainShown = double(playerTwo.lifeBar.mainTarget);
        }
        if (playerTwo.life > 0 && playerTwo.position.y < float(groundLine(fight) - 250)) {
            playerTwo.life = -40; // the knock-out blow
            knockedOutAt = playerTwo.position.y;
            saveScreenshot("knocked_out_in_the_air.png");
        }
    };
    matchHooks.endScreenshots = {{450, "knocked_out_landed.png"}};
    EXPECT_EQ(startMatch(game), 2);
    EXPECT_LT(knockedOutAt, float(groundLine(fight) - 250));
    EXPECT_EQ(playerTwo.position.y, float(groundLine(fight)));
    ASSERT_EQ(animationType(playerTwo), 10);
    EXPECT_EQ(playerTwo.currentAnimation.frameIndex,
              int64_t(playerTwo.fighterClass->death->frames.size()) - 1);
    EXPECT_EQ(playerTwo.lifeBar.mainTarget, 0); // player two's gauge empties towards the left
    EXPECT_DOUBLE_EQ(playerTwo.lifeBar.mainShown, 0.0);
    EXPECT_EQ(playerTwo.damageFlash, 0);
    keepScreenshot("knocked_out_in_the_air.png");
    keepScreenshot("knocked_out_landed.png");
    matchHooks = MatchHooks{};
}

// The combo icons during the recovery after an attack keep the fighter's colour: they do not
// go near-black with the fighter.
TEST_F(GeneratedFight, ComboIconsStayLitDuringTheRecovery) {
    std::vector<ScriptEvent> script;
    scriptKeyTap(script, kFirstFightFrame, kKeyLeft, 3000);
    for (int64_t frame = 26; frame < 3000; frame += 24)
        scriptKeyTap(script, kFirstFightFrame + frame, 25, 2); // P: neutral attack
    startTwoPlayerGame(HeadlessOptions{.script = script});
    settings.comboDisplay = 2; // small icons: the first at (564, 622) on a 1280 x 720 screen
    matchHooks.maxFightFrames = 3000;
    matchHooks.endOfMatch = false;
    bool taken = false;
    int64_t brightest = 0;
    matchHooks.afterFightFrame = [&](int64_t) {
        if (taken || playerOne.cooldown <= 2 || playerOne.comboStance[0] == 0) return;
        taken = saveScreenshot("combo_in_recovery.png");
        Bitmap shot;
        bool alpha = false;
        ASSERT_TRUE(loadPng("combo_in_recovery.png", shot, alpha));
        for (int64_t y = 622; y < 660; ++y)
            for (int64_t x = 564; x < 602; ++x) {
                uint32_t p = shot.pixels[size_t(y * shot.width + x)];
                uint32_t channel = std::max({p & 0xFFu, (p >> 8) & 0xFFu, (p >> 16) & 0xFFu});
                brightest = std::max<int64_t>(brightest, channel);
            }
    };
    startMatch(game);
    ASSERT_TRUE(taken) << "player one never recovered from an attack";
    EXPECT_GT(brightest, 160);
    keepScreenshot("combo_in_recovery.png");
    matchHooks = MatchHooks{};
}

// The presentation and the end of match on the generated content, against the bot: screenshots
// of the fight and the banner (kept with QRX_KEEP_SCREENSHOTS), the countdown, the jingle, and
// everything of the match released afterwards.
TEST_F(GeneratedFight, EndOfMatchAgainstTheBot) {
    startUpDrawn();
    Stage* stage = &stageList[1];
    game.stage = stage;
    // Player one, a human who never presses a key, against a Hard bot.
    BotController& bot = ensureBot(fight, playerTwo, 3);
    bot.botLevelSetting = 3;
    switchBotOn(bot);
    matchHooks = MatchHooks{};
    matchHooks.screenshots = {{150, "fight150.png"}, {400, "fight400.png"}, {700, "fight700.png"}};
    matchHooks.endScreenshots = {{60, "banner.png"}};
    settings.musicVolume = 20;
    // Nothing is decoded in the fight's frames: the hit test's masks are read with the
    // pictures during the intro, both jingles before the fight.
    clearHitMasks();
    int64_t masksAtStart = -1, masksAtEnd = -1, jinglesAtStart = 0;
    matchHooks.afterFightFrame = [&](int64_t frame) {
        if (frame == 0) {
            masksAtStart = hitMaskFileCount();
            jinglesAtStart = soundExists(kVictorySlot) + soundExists(kDefeatSlot);
        }
        masksAtEnd = hitMaskFileCount();
    };
    int64_t result = startMatch(game);
    EXPECT_EQ(result, 1); // the bot wins
    EXPECT_GT(masksAtStart, 0);
    EXPECT_EQ(masksAtEnd, masksAtStart) << "hit masks read during the fight";
    EXPECT_EQ(jinglesAtStart, 2);
    const auto& shown = matchHooks.endCountdown;
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 5);
    EXPECT_EQ(shown.back(), 0);
    for (size_t i = 1; i < shown.size(); ++i) EXPECT_LE(shown[i], shown[i - 1]);
    EXPECT_GE(std::count(shown.begin(), shown.end(), 0), 1);
    // The effects are cleared and the menu music plays again; the stage's tiles and music
    // stay (stopped) for a next match there, and so do the jingles.
    EXPECT_EQ(spriteExists(stage->tileSprites[0]), 1);
    EXPECT_EQ(soundExists(stage->musicSlot), 1);
    EXPECT_NE(soundStatus(stage->musicSlot), 1);
    EXPECT_EQ(soundExists(kDefeatSlot), 1);
    EXPECT_NE(soundStatus(kDefeatSlot), 1);
    EXPECT_EQ(soundStatus(1), 1);
    EXPECT_TRUE(effects.empty());
    EXPECT_TRUE(particles.empty());
    EXPECT_EQ(fadeActive, 1);
    // A match elsewhere with other classes lets go of what this one kept.
    FighterClass* kept = playerTwo.fighterClass;
    int64_t keptFrame = 0;
    for (const Animation* a : classAnimations(*kept, true, true))
        for (const Frame& f : a->frames)
            if (spriteExists(f.sprite)) keptFrame = f.sprite;
    EXPECT_NE(keptFrame, 0) << "the classes' pictures stay for the next match";
    playerOne.fighterClass = playerTwo.fighterClass = classAt(0) == kept ? classAt(2) : classAt(0);
    game.stage = &stageList[0];
    releaseImagesNotFor(game);
    loadStageMusic(stageList[0]);
    EXPECT_EQ(spriteExists(keptFrame), 0);
    EXPECT_EQ(spriteExists(stage->tileSprites[0]), 0);
    EXPECT_EQ(soundExists(stage->musicSlot), 0);
    for (const char* file : {"fight150.png", "fight400.png", "fight700.png", "banner.png"})
        keepScreenshot(file);
    matchHooks = MatchHooks{};
    removeBot(fight, playerTwo);
}

// Debug mode: the read-outs beside both fighters, their hit masks and bodies at half intensity.
TEST_F(GeneratedFight, TheDebugOverlayShowsBesideTheFighters) {
    HeadlessOptions options;
    options.desktopWidth = 1280;
    options.desktopHeight = 720;
    scriptKeyTap(options.script, 3 + 300 + 10, kKeyLeft, 26);
    scriptKeyTap(options.script, 3 + 300 + 40, 25, 2);
    setHeadless(options);
    startUpGame(game);
    removeBot(fight, playerOne); // two players without bots, whatever ran before
    removeBot(fight, playerTwo);
    slowMotion = 0;
    game.stage = &stageList[2];
    settings.debugMode = 1; // the hit masks shown
    matchHooks = MatchHooks{};
    matchHooks.maxFightFrames = 60;
    matchHooks.endOfMatch = false;
    matchHooks.screenshots = {{30, "plain.png"}, {52, "debug.png"}};
    startMatch(game);
    Bitmap shot;
    bool alpha = false;
    ASSERT_TRUE(loadPng("debug.png", shot, alpha));
    // The life read-out "life/maxLife" stands at (x + 450, y + 408) of player one.
    int64_t x = roundToInt(playerOne.screenPosition.x) + 450, y = roundToInt(playerOne.screenPosition.y) + 408;
    int64_t white = 0;
    for (int64_t dy = 0; dy < 16; ++dy)
        for (int64_t dx = 0; dx < 80; ++dx)
            white += (shot.pixels[size_t((y + dy) * shot.width + x + dx)] & 0xFFFFFFu) == 0xFFFFFFu;
    EXPECT_GT(white, 20) << "player one at " << playerOne.screenPosition.x << ", "
                         << playerOne.screenPosition.y << " life " << playerOne.life;
    keepScreenshot("debug.png");
    settings.debugMode = 0;
    matchHooks = MatchHooks{};
}

// A renderer that draws nothing gets no picture decoded: neither the classes' frames nor the
// stage's tiles, which would only cost the match runner its set-up.
TEST_F(GeneratedFight, NothingIsDecodedForARendererThatDrawsNothing) {
    HeadlessOptions options;
    options.nullRenderer = true;
    setHeadless(options);
    startUpGame(game);
    Stage* stage = &stageList[0];
    game.stage = stage;
    matchHooks = MatchHooks{};
    matchHooks.maxFightFrames = 100;
    matchHooks.endOfMatch = false;
    settings.buffedFrames = 5; // every frame of both classes prepared before the fight
    startMatch(game);
    EXPECT_EQ(spriteExists(stage->tileSprites[0]), 0);
    for (const Fighter* f : {&playerOne, &playerTwo})
        for (const Animation* a : classAnimations(*f->fighterClass, true, true))
            for (const Frame& frame : a->frames) EXPECT_EQ(spriteExists(frame.sprite), 0);
    EXPECT_EQ(matchHooks.fightFrames, 100); // the fight itself ran as ever
    matchHooks = MatchHooks{};
}

// A match starts without waiting for its classes' pictures: the intro loads them, a few each
// frame, and draws what it shows before they are there. The fight finds every one loaded.
TEST_F(GeneratedFight, TheClassPicturesLoadDuringTheIntroAndAreAllThereForTheFight) {
    startUpDrawn();
    game.stage = &stageList[0];
    settings.buffedFrames = 5; // "Load everything"
    chooseClass(fight, playerOne, classAt(3), 0);
    chooseClass(fight, playerTwo, classAt(4), 1);
    auto everyFrameLoaded = [] {
        for (const Fighter* f : {&playerOne, &playerTwo})
            for (const Animation* a : classAnimations(*f->fighterClass, true, settings.windEnabled != 0))
                for (const Frame& frame : a->frames)
                    if (!frame.loaded || (frame.sprite != 0 && !spriteExists(frame.sprite)))
                        return false;
        return true;
    };
    matchHooks = MatchHooks{};
    matchHooks.maxFightFrames = 2;
    std::vector<int64_t> queued;
    bool firstShownLoaded = false;
    matchHooks.afterIntroFrame = [&](int64_t frame) {
        queued.push_back(queuedImageCount());
        if (frame != 0) return;
        // Both fighters are drawn in the first intro frame: their pictures loaded for it.
        firstShownLoaded = true;
        for (const Fighter* f : {&playerOne, &playerTwo}) {
            const Frame* shown = f->shownFrame ? f->shownFrame : currentFrame(*f);
            firstShownLoaded = firstShownLoaded && shown && shown->loaded && spriteExists(shown->sprite);
        }
    };
    bool loadedAtTheFight = false;
    int64_t queuedAtTheFight = -1;
    matchHooks.afterFightFrame = [&](int64_t pass) {
        if (pass != 0) return;
        loadedAtTheFight = everyFrameLoaded();
        queuedAtTheFight = queuedImageCount();
    };
    EXPECT_EQ(startMatch(game), 0);
    ASSERT_GE(queued.size(), 250u);
    EXPECT_GT(queued.front(), 100); // both classes queued, hardly begun
    EXPECT_TRUE(std::is_sorted(queued.rbegin(), queued.rend())); // only ever fewer
    EXPECT_EQ(queued.back(), 0); // at least one a frame: the intro has loaded them all
    EXPECT_TRUE(firstShownLoaded);
    EXPECT_EQ(queuedAtTheFight, 0);
    EXPECT_TRUE(loadedAtTheFight);
    matchHooks = MatchHooks{};
}

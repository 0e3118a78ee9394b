// Presentation rules: fighter colours, flash and stun, motion brightness, the shadow, the combo
// display's decay, the fade, and the end of match's texts.
#include <cmath>

#include "game_fight.h"
#include "fight_fixture.h"
#include "headless_fixture.h"

#include "fight/shown_state.h"
#include "match/end_of_match.h"
#include "render/combo_display.h"
#include "render/fade.h"
#include "render/fighter_drawing.h"
#include "render/life_bar.h"
#include "render/sprite_assets.h"
#include "runtime/colour.h"
#include "settings/settings.h"

using PresentationTest = FightTest;

TEST_F(PresentationTest, StanceAndAlternateColours) {
    fighter.color = RGB(192, 64, 0);
    EXPECT_EQ(fighterTint(fighter), RGB(192, 64, 0)); // no stance colour: the player's own
    cls->stance[0].specialColor = RGB(10, 20, 30);
    cls->stance[0].alternateColor = RGB(40, 50, 60);
    chooseStance(fighter, 0);
    EXPECT_EQ(fighterTint(fighter), RGB(10, 20, 30));
    fighter.useAlternateColor = 1; // the same stance colour as the other player
    EXPECT_EQ(fighterTint(fighter), RGB(40, 50, 60));
}

TEST_F(PresentationTest, FlashPhasesAndTheNearBlackStun) {
    fighter.color = RGB(1, 2, 3);
    fighter.damageFlash = 9 * 3 + 4; // phase 4: light red
    EXPECT_EQ(fighterTint(fighter), RGB(255, 96, 96));
    fighter.color = 0;
    EXPECT_EQ(fighterTint(fighter), RGB(128, 0, 128)); // phase 3-5 without a colour: purple
    fighter.damageFlash = 9 + 1;
    EXPECT_EQ(fighterTint(fighter), RGB(255, 96, 96));
    fighter.damageFlash = 9 + 7; // phase 6-8: the fighter's own colour again...
    fighter.color = RGB(1, 2, 3);
    EXPECT_EQ(fighterTint(fighter), RGB(1, 2, 3));
    fighter.cooldown = 3; // ...or near black while stunned
    EXPECT_EQ(fighterTint(fighter), RGB(12, 12, 12));
    fighter.damageFlash = 0;
    EXPECT_EQ(fighterTint(fighter), RGB(12, 12, 12));
    fighter.cooldown = 0;
    EXPECT_EQ(fighterTint(fighter), RGB(1, 2, 3));
}

TEST_F(PresentationTest, FastMovesFlashBrighterAndShadowsNeverVanish) {
    Frame still, lunge, dash;
    EXPECT_EQ(motionBrightness(still), 255);
    lunge.movement = Vec2{20, -10};
    EXPECT_EQ(motionBrightness(lunge), 225);
    dash.movementDelta = Vec2{40, 0};
    EXPECT_EQ(motionBrightness(dash), 192); // at least 192
    fighter.position.y = 0;
    EXPECT_DOUBLE_EQ(shadowScale(fight, fighter, nullptr), 1.0);
    fighter.position.y = -400;
    EXPECT_DOUBLE_EQ(shadowScale(fight, fighter, nullptr), 0.6);
    fighter.position.y = -5000;
    EXPECT_DOUBLE_EQ(shadowScale(fight, fighter, nullptr), 0.1);
    Frame lifted;
    lifted.shadowShift = Vec2{0, -300};
    fighter.position.y = 0;
    EXPECT_DOUBLE_EQ(shadowScale(fight, fighter, &lifted), 0.7);
}

TEST_F(PresentationTest, ComboIconsDecayBackAfterTheCombo) {
    settings.comboDisplay = 1;
    fighter.comboStance = {1, 2, 0, 0, 0};
    fighter.comboStep = 1;
    fighter.comboShake = {20, 20, 0, 0, 0};
    fighter.comboFlash = {1, 1, 0, 0, 0};
    fighter.comboMultiplier = {1.5, 1.5, 1, 1, 1};
    fighter.comboEndBonus = {1, 0.105, 0, 0, 0};
    advanceComboCounters(fight, fighter, 1.0);
    EXPECT_NEAR(fighter.comboShake[0], 18.0, 1e-9);
    EXPECT_NEAR(fighter.comboFlash[1], 0.9, 1e-9);
    EXPECT_NEAR(fighter.comboMultiplier[0], 1.45, 1e-9);      // a step done eases back to 1
    EXPECT_NEAR(fighter.comboMultiplier[1], 1.5 * 0.81, 1e-9); // beyond the step: shrinks twice
    EXPECT_NEAR(fighter.comboEndBonus[0], 0.9, 1e-9);
    EXPECT_EQ(fighter.comboEndBonus[1], 0.0); // below 0.1: gone
    for (int i = 0; i < 40; ++i) advanceComboCounters(fight, fighter, 1.0);
    EXPECT_EQ(fighter.comboMultiplier[1], 0.0);
    EXPECT_NEAR(fighter.comboMultiplier[0], 1.0, 0.01);
}

namespace {
// The HUD drawn on a small headless screen by a fighter of a coloured stance.
struct HudTest : HeadlessScreen {
    Fighter fighter;
    Stance stance;
    ComboImages keptImages = comboImages;
    int64_t keptWidth = screenWidth, keptHeight = screenHeight, keptBlock = hudBlock;

    void SetUp() override {
        HeadlessScreen::SetUp();
        stance.specialColor = RGB(0, 0, 255);
        stance.specialTransparency = 200;
        fighter.stance = &stance;
    }
    void TearDown() override {
        comboImages = keptImages;
        screenWidth = keptWidth;
        screenHeight = keptHeight;
        hudBlock = keptBlock;
        HeadlessScreen::TearDown();
    }
};
} // namespace

// The combo icons wear the stance's colour: neither the damage flash nor the near-black of a
// recovery darkens them.
TEST_F(HudTest, ComboIconsKeepTheirColourDuringFlashAndRecovery) {
    settings.comboDisplay = 2;
    screenWidth = 152; // the first small slot at (0, 0)
    screenHeight = 98;
    comboImages.neutralSmall = 700;
    makeDotSprite(700, 38, 38, {});
    ASSERT_TRUE(beginDrawing(spriteOutput(700)));
    fillBox(0, 0, 38, 38, RGBA(255, 255, 255, 255));
    endDrawing();
    auto iconPixel = [&](double cooldown, int64_t flash) {
        fighter.comboStance = {1, 0, 0, 0, 0};
        fighter.comboTouched = {1, 0, 0, 0, 0};
        fighter.comboStep = 1;
        fighter.comboMultiplier = {1, 1, 1, 1, 1};
        fighter.comboShake = fighter.comboFlash = fighter.comboEndBonus = {};
        fighter.cooldown = cooldown;
        fighter.damageFlash = flash;
        clearScreen(0);
        drawComboDisplay(fighter);
        return screenPixel(19, 19);
    };
    uint32_t plain = iconPixel(0, 0);
    EXPECT_NE(plain, 0u);
    EXPECT_GT(plain & 0xFFu, (plain >> 16) & 0xFFu); // tinted towards blue
    EXPECT_EQ(iconPixel(40, 0), plain);
    EXPECT_EQ(iconPixel(0, 4), plain);
    EXPECT_EQ(iconPixel(40, 13), plain);
}

// The gauge's red flash (settled by the fight step) fades by the frame's own length: half a tick's fading in a half-tick
// frame, a fifth in slow motion, whatever the frame rate setting.
TEST_F(HudTest, TheGaugeFlashFadesByTheFramesLength) {
    hudBlock = 800; // pictures that do not exist: nothing drawn, the flash still fades
    for (double t : {1.0, 0.5, 0.1}) {
        fighter.lifeBar.shaking = false;
        fighter.lifeBar.flash = 100;
        settleShownFrame(fight, fighter, t);
        EXPECT_NEAR(fighter.lifeBar.flash, 100 * std::pow(0.5, t), 1e-9) << t;
    }
    // Small remains are gone rather than stuck at a faint red for ever.
    fighter.lifeBar.flash = 1.5;
    for (int i = 0; i < 10; ++i) settleShownFrame(fight, fighter, 0.2);
    EXPECT_EQ(fighter.lifeBar.flash, 0.0);
}

TEST(Fade, TwentyUpdatesEachWayAtFactorOne) {
    resetFade();
    startFade();
    int updates = 0;
    int64_t result = 0;
    while ((result = updateFade(1.0)) == 0) ++updates;
    EXPECT_EQ(result, 1);
    EXPECT_EQ(updates + 1, 20);
    updates = 0;
    while ((result = updateFade(1.0)) == 0) ++updates;
    EXPECT_EQ(result, -1);
    EXPECT_EQ(updates + 1, 20);
    EXPECT_EQ(fadeActive, 0);
    // Selecting while still fading in from 150 darkens again from 64.
    fadeActive = 1;
    fadeAlpha = 150;
    fadeSpeed = -12.8;
    startFade();
    EXPECT_DOUBLE_EQ(fadeAlpha, 64);
    updates = 0;
    while (updateFade(2.0) == 0) ++updates;
    EXPECT_EQ(updates + 1, 8);
    resetFade();
}

TEST(EndOfMatchTexts, WinnersAndTheCountdown) {
    EXPECT_EQ(winnerText(1, 0), "Winner is player 1");
    EXPECT_EQ(winnerText(2, 0), "Winner is player 2");
    EXPECT_EQ(winnerText(1, 1), "You win !!!");
    EXPECT_EQ(winnerText(2, 1), "You lose...");
    EXPECT_EQ(countdownSeconds(0), 5);
    EXPECT_EQ(countdownSeconds(499), 5);
    EXPECT_EQ(countdownSeconds(501), 4);
    EXPECT_EQ(countdownSeconds(4600), 0);
    EXPECT_EQ(countdownSeconds(9000), 0); // never negative
}

// The options screen.
#include "menus/options_menu.h"

#include <algorithm>
#include <string>

#include "fight/fighter.h"
#include "input/bindings.h"
#include "input/keys.h"
#include "menus/address_entry.h"
#include "menus/controls_menu.h"
#include "menus/menu_framework.h"
#include "menus/stats_panel.h"
#include "render/debug_overlay.h"
#include "render/fade.h"
#include "render/sprite_assets.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"
#include "settings/settings.h"

namespace {
enum OptionRow {
    kSoundVolumeRow, kMusicVolumeRow, kStereoRow, kVariationRow, kKeyboardRow, kComboRow,
    kWindRow, kParticleRow, kAttackDelayRow, kRoundsRow, kPerformanceRow, kRefreshRow,
    kShowFpsRow, kScreenSizeRow, kFullscreenRow, kDebugRow, kInputDelayRow, kLobbyRow, kControlsRow, kResetRow, kSaveRow
};

const char* const kLabels[kOptionRows] = {
    "  Sound volume  ", "  Music volume  ", " Sound Stereo   ", "Sound variation ",
    " Keyboard type  ", " Combo display  ", "  Wind display  ", "Particle display",
    "  Attack delay  ", "     Rounds     ", "   Performance  ", "   Refresh rate ",
    "    Show FPS    ", "   Screen size  ", "   Fullscreen   ", "   Debug mode   ", "  Input delay   ",
    "     Lobby      ",    "    Controls    ",
    "Reset to default", " Save & Return  "};

constexpr int64_t kMenuMusicSlot = 1;
constexpr int64_t kHintTint = kBlueTint;

const char* enabled(int64_t value) { return value ? "Enabled" : "Disabled"; }

// The menu music plays whenever its volume is above 0.
void startMenuMusicIfNeeded() {
    if (settings.musicVolume <= 0) return;
    if (!soundExists(kMenuMusicSlot)) loadSound(kMenuMusicSlot, "music/Quarrelix menu v04.ogg");
    if (soundExists(kMenuMusicSlot) && soundStatus(kMenuMusicSlot) != 1)
        playSound(kMenuMusicSlot, kSoundLoop, settings.musicVolume);
}

void reopenScreen() {
    setScreenSizeFromIndex(settings.screenSizeIndex);
    openGameScreen(screenWidth, screenHeight);
}

bool toggle(int64_t& setting) {
    setting = setting ? 0 : 1;
    return true;
}

// Where the menu's closing line goes: under the last row, px from textY.
constexpr int64_t kClosingLineY = 100 + 20 * kOptionRows;

// A row's hint beside it, or, where the screen is too narrow for that, under the menu's
// closing line. A hint may run over lines ("\\" between them); the widest must fit.
void drawHint(const std::string& text, int64_t x, int64_t y, int64_t textX, int64_t textY) {
    int64_t widest = 0;
    for (int64_t line = 1;; ++line) {
        std::string part = fieldOfText(text, line, '\\');
        if (part.empty()) break;
        widest = std::max(widest, textLength(part));
    }
    if (x + widest * kGlyphAdvance <= screenWidth - kRightMargin)
        drawText(text, x, y, kHintTint, 128);
    else drawText(text, textX + 120, textY + kClosingLineY + 30, kHintTint, 128);
}

// The hint shown beside a highlighted row, and where.
void drawRowHint(int64_t row, int64_t textX, int64_t textY, int64_t rowY) {
    switch (row) {
    case kWindRow:
    case kParticleRow:
        drawHint("Disable it for squeeze more performance if needed", textX + 550, rowY, textX, textY);
        break;
    case kAttackDelayRow:
        drawHint("Damage freezes the screen and shakes more", textX + 550, rowY, textX, textY);
        break;
    case kPerformanceRow:
        drawHint(settings.buffedFrames == 5 ? "High GPU usage" : "High CPU & disk usage", textX + 650,
                 rowY, textX, textY);
        break;
    case kRoundsRow:
        drawHint("A match goes to the first to win most rounds", textX + 550, rowY, textX, textY);
        break;
    case kScreenSizeRow:
        drawHint("Also changes the fight width", screenWidth < 1500 ? textX + 550 : textX + 750,
                 rowY, textX, textY);
        break;
    case kDebugRow:
        drawHint("Enables special hidden commands", textX + 550, rowY, textX, textY);
        break;
    case kInputDelayRow:
        drawHint("Online play: frames between a press and its move.\\More hides lag, less feels "
                 "quicker. Auto: from the ping.", textX + 550, rowY, textX, textY);
        break;
    case kLobbyRow:
        drawHint("Rooms with codes meet through a lobby:\\Return to type its address.",
                 textX + 550, rowY, textX, textY);
        break;
    case kControlsRow:
        drawHint("Change controls here", textX + 400, rowY, textX, textY);
        break;
    default: break;
    }
}

// The marks shown whatever row is highlighted: defaults, the recommended size, a low rate.
void drawRowMarks(int64_t textX, int64_t textY) {
    auto rowY = [&](int64_t row) { return textY + 100 + 20 * row; };
    const Settings defaults = defaultSettings(desktopWidth);
    if (settings.soundStereo == defaults.soundStereo)
        drawText("(default)", textX + 475, rowY(kStereoRow), kHintTint, 128);
    if (settings.soundVariation == defaults.soundVariation)
        drawText("(default)", textX + 500, rowY(kVariationRow), kHintTint, 128);
    if (settings.comboDisplay == defaults.comboDisplay)
        drawText("(default)", textX + 475, rowY(kComboRow), kHintTint, 128);
    if (fpsMode == kDefaultFpsMode) drawText("(default)", textX + 500, rowY(kRefreshRow), kHintTint, 128);
    if (targetFps < 70)
        drawText("Too low FPS can break the gameplay", textX + 500, rowY(kRefreshRow), kHintTint, 128);
    const ScreenSize& size = screenSizes[std::clamp<int64_t>(settings.screenSizeIndex, 0, 9)];
    if (size.width == 1920 && size.height == 1080)
        drawText("(recommended)", textX + 550, rowY(kScreenSizeRow), RGB(255, 128, 0), 128);
}
} // namespace

bool changeOption(int64_t row, int64_t d) {
    switch (row) {
    case kSoundVolumeRow:
    case kMusicVolumeRow: {
        int64_t& volume = row == kSoundVolumeRow ? settings.soundVolume : settings.musicVolume;
        int64_t before = volume;
        volume = std::clamp<int64_t>(volume + 10 * d, 0, 100);
        if (volume == before) return false;
        if (row == kMusicVolumeRow) {
            if (d > 0) startMenuMusicIfNeeded();
            applyMusicVolume();
        }
        return true;
    }
    case kStereoRow: {
        int64_t before = settings.soundStereo;
        if (d > 0) settings.soundStereo = settings.soundStereo < 30 ? 30 : 60;
        else settings.soundStereo = settings.soundStereo > 30 ? 30 : 0;
        return settings.soundStereo != before;
    }
    case kVariationRow: return toggle(settings.soundVariation);
    case kKeyboardRow:
        toggle(settings.keyboardType);
        applyKeyboardType(settings.keyboardType);
        return true;
    case kComboRow: {
        int64_t before = settings.comboDisplay;
        settings.comboDisplay = std::clamp<int64_t>(settings.comboDisplay + d, 1, 3);
        return settings.comboDisplay != before;
    }
    case kWindRow: return toggle(settings.windEnabled);
    case kParticleRow: return toggle(settings.particleEnabled);
    case kAttackDelayRow:
        settings.attackDelay = (std::clamp<int64_t>(settings.attackDelay, 1, 3) - 1 + d + 3) % 3 + 1;
        return true;
    case kRoundsRow: {
        // 1, 3, 5 and round again, either way.
        constexpr int64_t kCounts[3] = {1, 3, 5};
        int64_t at = settings.rounds == 5 ? 2 : settings.rounds == 3 ? 1 : 0;
        settings.rounds = kCounts[(at + d + 3) % 3];
        return true;
    }
    case kPerformanceRow:
        settings.buffedFrames = settings.buffedFrames == 5 ? 1 : 5;
        return true;
    case kShowFpsRow: return toggle(settings.showFps);
    case kRefreshRow: {
        int64_t before = fpsMode;
        if (d > 0 && fpsMode < 10) applyFpsMode(fpsMode + 1);
        if (d < 0 && fpsMode > 1) applyFpsMode(fpsMode - 1);
        return fpsMode != before;
    }
    case kScreenSizeRow: {
        int64_t before = settings.screenSizeIndex;
        settings.screenSizeIndex = ((std::clamp<int64_t>(settings.screenSizeIndex, 0, 9) + d) % 10 + 10) % 10;
        if (settings.screenSizeIndex == before) return false;
        reopenScreen();
        return true;
    }
    case kFullscreenRow:
        toggle(settings.fullscreen);
        reopenScreen();
        return true;
    case kDebugRow:
        setDebugMode(settings.debugMode == 0);
        return true;
    case kInputDelayRow: {
        // Auto comes before the fixed delays: left of 0.
        int64_t before = settings.inputDelay;
        settings.inputDelay = std::clamp<int64_t>(settings.inputDelay + d, kAutoInputDelay, kMaxInputDelay);
        return settings.inputDelay != before;
    }
    default: return false;
    }
}

const char* optionValueText(int64_t row) {
    static std::string text;
    switch (row) {
    case kStereoRow:
        if (settings.soundStereo == 60) return "Large";
        if (settings.soundStereo == 30) return "Small";
        if (settings.soundStereo == 0) return "None";
        text = std::to_string(settings.soundStereo);
        return text.c_str();
    case kVariationRow: return enabled(settings.soundVariation);
    case kKeyboardRow: return settings.keyboardType ? "Local keyboard" : "Force QWERTY";
    case kComboRow: return settings.comboDisplay == 1 ? "Big" : settings.comboDisplay == 2 ? "Small" : "None";
    case kWindRow: return enabled(settings.windEnabled);
    case kParticleRow: return enabled(settings.particleEnabled);
    case kAttackDelayRow: return settings.attackDelay == 1 ? "Disabled" : settings.attackDelay == 2 ? "Fix" : "Relative";
    case kRoundsRow:
        if (settings.rounds == 5) return "Best of 5";
        return settings.rounds == 3 ? "Best of 3" : "1 round";
    case kPerformanceRow: return settings.buffedFrames == 5 ? "Load everything" : "Load on demand";
    case kRefreshRow:
        text = std::to_string(targetFps) + " FPS";
        return text.c_str();
    case kShowFpsRow: return settings.showFps ? "Yes" : "No";
    case kScreenSizeRow: {
        const ScreenSize& size = screenSizes[std::clamp<int64_t>(settings.screenSizeIndex, 0, 9)];
        text = std::to_string(int64_t(size.width)) + "x" + std::to_string(int64_t(size.height));
        return text.c_str();
    }
    case kFullscreenRow: return enabled(settings.fullscreen);
    case kDebugRow: return enabled(settings.debugMode != 0);
    case kInputDelayRow:
        if (settings.inputDelay == kAutoInputDelay) return "Auto";
        text = std::to_string(settings.inputDelay) + (settings.inputDelay == 1 ? " frame" : " frames");
        return text.c_str();
    case kLobbyRow: return settings.lobbyAddress.empty() ? "(none)" : settings.lobbyAddress.c_str();
    default: return "";
    }
}

// Everything the screen shows back to its default but the attack delay, the screen size and
// full screen (which the player chose for this computer), the lessons passed, the last
// address joined and the lobby.
void resetOptionsToDefault() {
    bool musicWasOff = settings.musicVolume == 0;
    Settings kept = settings;
    settings = defaultSettings(desktopWidth);
    settings.attackDelay = kept.attackDelay;
    settings.screenSizeIndex = kept.screenSizeIndex;
    settings.fullscreen = kept.fullscreen;
    settings.lessonsPassed = kept.lessonsPassed;
    settings.lastJoinAddress = kept.lastJoinAddress;
    settings.lobbyAddress = kept.lobbyAddress;
    setDebugMode(false);
    if (musicWasOff) startMenuMusicIfNeeded();
    applyMusicVolume();
    applyKeyboardType(settings.keyboardType);
    applyFpsMode(kDefaultFpsMode);
}

int64_t runOptionsMenu(int64_t textX, int64_t textY) {
    loadStatIcons();
    int64_t row = 0;
    for (;;) {
        noteScreenOpened("options");
        bool controls = false, lobby = false, backTaken = false;
        bool latchUp = false, latchDown = false, latchLeft = false, latchRight = false;
        bool black = runMenuFrames([&](double, bool frozen) {
            drawMenuHeader(textX, textY, "=======Options", kOptionsBanner);
            for (int64_t i = 0; i < kOptionRows; ++i) {
                int64_t y = textY + 100 + 20 * i;
                drawMenuEntry(textX + 100, y, kLabels[i], i, row, 0);
                if (i == kSoundVolumeRow || i == kMusicVolumeRow) {
                    int64_t volume = i == kSoundVolumeRow ? settings.soundVolume : settings.musicVolume;
                    drawPlainText(std::to_string(volume), textX + 410, y);
                    // The setting stays, for a machine with sound; this one has none.
                    if (soundIsOff().empty()) drawGauge(volume / 10, textX + 480, y - 3, -1, false);
                    else drawPlainText("off: no sound device", textX + 480, y);
                } else {
                    drawPlainText(optionValueText(i), textX + 400, y);
                }
            }
            drawRowMarks(textX, textY);
            drawRowHint(row, textX, textY, textY + 100 + 20 * row);
            drawText("==============", textX + 120, textY + kClosingLineY, kOrangeTint, 128);
            if (frozen) return;
            int64_t rateBefore = fpsMode;
            bool up = pressedOnce(keyDown(kKeyUp) || eitherPlayerKeyDown(&Controls::up), latchUp);
            bool down = pressedOnce(keyDown(kKeyDown) || eitherPlayerKeyDown(&Controls::down), latchDown);
            bool left = pressedOnce(keyDown(kKeyLeft) || eitherPlayerKeyDown(&Controls::left), latchLeft);
            bool right = pressedOnce(keyDown(kKeyRight) || eitherPlayerKeyDown(&Controls::right), latchRight);
            if (up || down) {
                row = ((row + (down ? 1 : 0) - (up ? 1 : 0)) % kOptionRows + kOptionRows) % kOptionRows;
                playMenuSound(kPoolMenuMove);
            }
            if ((left || right) && changeOption(row, right ? 1 : -1)) playMenuSound(kPoolMenuMove);
            bool select = keyReleased(kKeyReturn);
            select = eitherPlayerKeyReleased(&Controls::neutral) || select;
            if (select && !fadeActive) {
                if (row == kSaveRow || row == kControlsRow || row == kLobbyRow) {
                    playMenuSound(kPoolMenuSelect);
                    controls = row == kControlsRow;
                    lobby = row == kLobbyRow;
                    startFade();
                } else if (row == kRoundsRow) {
                    changeOption(row, 1);
                    playMenuSound(kPoolMenuMove);
                } else if (row == kResetRow) {
                    playMenuSound(kPoolMenuSelect);
                    resetOptionsToDefault();
                }
            }
            takeMenuBack(backTaken);
            // A new frame rate (its row or the reset) paces this frame from now on.
            if (fpsMode != rateBefore) restartMenuFrameClock();
        });
        if (!black) break;
        if (controls) {
            runControlsMenu(textX, textY);
            if (windowCloseRequested()) break;
            continue;
        }
        if (lobby) {
            runAddressEntry(textX, textY, settings.lobbyAddress, kLobbyEntry);
            if (windowCloseRequested()) break;
            continue;
        }
        break;
    }
    // Leaving always saves, through the atomic write; a closed window keeps the choices too.
    saveSettings();
    freeStatIcons();
    return row;
}

// Drawing the training room's panels.
#include "practice/training_panels.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/sprite_numbers.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/frame_data.h"
#include "input/keys.h"
#include "practice/training.h"
#include "render/combo_display.h"
#include "render/debug_overlay.h"
#include "render/fighter_drawing.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"

namespace {
int64_t boxSprite = 0;
constexpr int64_t kIconSize = 20;     // input history icons (pixels)
constexpr int64_t kRowHeight = 22;    // input history rows (pixels)
constexpr int64_t kPanelTop = 185;    // below the life gauges and portraits at every screen size
constexpr int64_t kMargin = 16;       // from the screen's edges (pixels)
constexpr int64_t kColumnWidth = 29 * kGlyphAdvance; // the right column: 29 characters
constexpr int64_t kHistoryWidth = 200;
constexpr int64_t kCentreWidth = 228;
constexpr int64_t kGrey = RGB(160, 160, 160);
constexpr int64_t kOn = RGB(255, 200, 80);

// A dark, half-transparent backing so that the panels read over any stage.
void drawBox(int64_t x, int64_t y, int64_t width, int64_t height) {
    if (boxSprite == 0) boxSprite = takeSpriteNumber();
    if (!spriteExists(boxSprite)) {
        createSprite(boxSprite, 8, 8);
        if (beginDrawing(spriteOutput(boxSprite))) {
            fillBox(0, 0, 8, 8, RGB(12, 12, 24));
            endDrawing();
        }
    }
    zoomSprite(boxSprite, width, height);
    drawSpriteBlended(boxSprite, x, y, 170);
}

std::string signedText(int64_t value) { return (value > 0 ? "+" : "") + std::to_string(value); }
std::string figure(int64_t value) { return value < 0 ? "-" : std::to_string(value); }

// Ticks as seconds with one decimal ("4.2").
std::string seconds(double ticks) {
    int64_t tenths = std::lround(ticks / 5);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

// The room's keys with what they do and the states they switch, in a column of
// kColumnWidth pixels.
void drawKeysPanel(const TrainingRoom& room, int64_t x, int64_t y) {
    const DummyRecording& rec = room.recording;
    auto key = [](int64_t code) { return keyNameOf(code) + " "; };
    auto pair = [](std::string first, const std::string& second) {
        first.resize(std::max<size_t>(first.size() + 1, 15), ' ');
        return first + second;
    };
    auto state = [&](int64_t code, const std::string& name, bool on) {
        return key(code) + name + (on ? " on" : " off");
    };
    std::string record = rec.recording ? key(kTrainingRecordKey) + "Stop " +
                                             std::to_string(int64_t(rec.ticks / 50)) + "/10 s"
                                       : key(kTrainingRecordKey) + "Record";
    std::string play = key(kTrainingPlayKey) + "Play " +
                       (rec.steps.empty() ? std::string("(none)") : seconds(rec.ticks) + " s");
    std::string lines[] = {
        key(kTrainingBehaviourKey) + "Dummy: " + dummyBehaviourName(room.behaviour),
        pair(record, play),
        pair(state(kTrainingRefillKey, "Refill", room.refill), key(kTrainingResetKey) + "Reset"),
        pair(key(kTrainingPauseKey) + (room.paused ? "Resume" : "Pause"),
             key(kTrainingStepKey) + "Step"),
        pair(state(kTrainingInputsKey, "Inputs", room.panels.inputs),
             state(kTrainingFrameDataKey, "Frames", room.panels.frameData)),
        pair(state(kTrainingHitMasksKey, "Masks", room.panels.hitMasks),
             state(kTrainingDamageKey, "Damage", room.panels.damage)),
        pair(state(kTrainingComboKey, "Combo", room.panels.combo), keyNameOf(kKeyEscape) + " Leave")};
    int64_t count = int64_t(std::size(lines));
    drawBox(x - 6, y - 6, kColumnWidth + 12, count * kLineHeight + 12);
    for (int64_t i = 0; i < count; ++i)
        drawText(lines[i], x, y + i * kLineHeight, i == 1 && rec.recording ? RGB(255, 60, 60) : kGrey, 255);
}

// One input: arrows for the held directions (as on the keyboard, not relative to the
// fighter), then the attack icons, then the jump.
void drawInputRow(const InputHistoryEntry& entry, int64_t x, int64_t y) {
    std::string frames = std::to_string(std::min<int64_t>(entry.frames, 999));
    drawText(std::string(3 - std::min<size_t>(3, frames.size()), ' ') + frames, x, y + 4, kGrey, 255);
    int64_t ix = x + 48;
    const Actions& a = entry.actions;
    auto arrow = [&](bool held, double angle) {
        if (!held) return;
        drawArrowIcon(angle, ix, y, kIconSize);
        ix += kIconSize + 2;
    };
    arrow(a.up, 0);
    arrow(a.down, 180);
    arrow(a.left, -90);
    arrow(a.right, 90);
    if (a.neutral) {
        drawAttackIcon(1, ix, y, kIconSize);
        ix += kIconSize + 2;
    }
    if (a.heavy) {
        drawAttackIcon(6, ix, y, kIconSize);
        ix += kIconSize + 2;
    }
    if (a.jump) drawText("Jump", ix + 2, y + 4, kOn, 255);
}

void drawInputHistory(const InputHistory& history, int64_t x, int64_t y) {
    int64_t rows = std::max<int64_t>(1, int64_t(history.entries.size()));
    drawBox(x - 6, y - 6, kHistoryWidth + 12, 24 + rows * kRowHeight + 12);
    drawText("Inputs  frames", x, y, kOn, 255);
    int64_t row = 0;
    for (const InputHistoryEntry& e : history.entries) drawInputRow(e, x, y + 24 + kRowHeight * row++);
}

// A row of the frame data: a label and right-aligned columns of 5 and 6 characters.
std::string frameDataRow(const std::string& label, const std::string& seen, const std::string& calc,
                         const std::string& frames) {
    auto right = [](const std::string& text, size_t width) {
        return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
    };
    std::string row = label;
    row.resize(10, ' ');
    return row + right(seen, 5) + right(calc, 5) + right(frames, 7);
}

constexpr int64_t kFrameDataLines = 10;

void drawFrameData(const FightState& fight, const TrainingRoom& room, int64_t x, int64_t y) {
    const AttackMeasure& m = room.measure;
    drawBox(x - 6, y - 6, kColumnWidth + 12, kFrameDataLines * kLineHeight + 12);
    if (!m.attack) {
        drawText("Frame data: attack the dummy", x, y, kOn, 255);
        return;
    }
    AttackFrameData computed = attackFrameData(*m.attack, effectiveStat(fight.players[0]), effectiveStat(fight.players[1]));
    MeasuredFigures measured = measuredFigures(m);
    double fps = room.framesPerSecond;
    std::string title = m.attack->name;
    if (title.size() > 29) title.resize(29);
    int64_t row = 0;
    auto put = [&](const std::string& text, int64_t colour) {
        drawText(text, x, y + kLineHeight * row++, colour, 255);
    };
    put(title, kOn);
    put(frameDataRow("ticks", "seen", "calc", "f@" + std::to_string(std::lround(fps))), kGrey);
    // A figure as measured, as computed, and in frames at the room's rate (the measured one
    // when known).
    auto figures = [&](const std::string& label, bool known, int64_t seen, int64_t calc, bool sign) {
        auto text = [sign](int64_t v) { return sign ? signedText(v) : std::to_string(v); };
        int64_t frames = std::lround(ticksAsFrames(known ? seen : calc, fps));
        put(frameDataRow(label, known ? text(seen) : "-", text(calc), text(frames)), RGB(230, 230, 230));
    };
    figures("Start-up", measured.startup >= 0, measured.startup, computed.startup, false);
    figures("Active", measured.active >= 0, measured.active, computed.active, false);
    figures("Recovery", measured.recovery >= 0, measured.recovery, computed.recovery, false);
    figures("Total", measured.total >= 0, measured.total, computed.total, false);
    figures("Stun", m.stun >= 0, m.stun, computed.stunOnHit, false);
    figures("On hit", measured.advantageKnown, measured.advantage, computed.advantageOnHit, true);
    put("Follow-up from tick " + figure(computed.followUpFrom), kGrey);
    static const char* const kTypes[] = {"", " cut", " pierce", " blunt"};
    std::string damage = "Damage";
    for (size_t i = 0; i < computed.frames.size() && i < 3; ++i)
        damage += (i ? ", " : " ") + std::to_string(computed.frames[i].damage) +
                  kTypes[std::clamp<int64_t>(computed.frames[i].damageType, 0, 3)];
    if (computed.frames.size() > 3) damage += "...";
    if (computed.frames.empty()) damage += " none";
    put(damage, kGrey);
}

void drawDamage(const ComboTally& tally, int64_t x, int64_t y) {
    drawBox(x - 6, y - 6, kCentreWidth + 12, 2 * kLineHeight + 12);
    drawText("Last hit: " + std::to_string(tally.lastHit), x, y, RGB(255, 120, 120), 255);
    drawText("Combo damage: " + std::to_string(tally.comboDamage), x, y + kLineHeight,
             RGB(255, 120, 120), 255);
}
} // namespace

void drawTrainingPanels(const FightState& fight, const TrainingRoom& room) {
    if (room.panels.hitMasks)
        for (const Fighter* f : {&fight.players[0], &fight.players[1]}) {
            ensureFrameLoaded(*f); // the hit mask the overlay shows
            drawDebugOverlay(*f, 0);
        }
    // The input history on the left, frame data and keys on the right, damage, combo count
    // and the pause mark in the middle between them.
    int64_t rightX = screenWidth - kMargin - kColumnWidth;
    if (room.panels.inputs) drawInputHistory(room.history, kMargin, kPanelTop);
    if (room.panels.frameData) drawFrameData(fight, room, rightX, kPanelTop);
    drawKeysPanel(room, rightX, kPanelTop + (kFrameDataLines + 1) * kLineHeight);
    int64_t centreX = (kMargin + kHistoryWidth + rightX) / 2 - kCentreWidth / 2;
    int64_t y = kPanelTop;
    if (room.panels.damage) {
        drawDamage(room.tally, centreX, y);
        y += 2 * kLineHeight + 16;
    }
    if (room.panels.combo && room.tally.comboHits > 0) {
        std::string hits = std::to_string(room.tally.comboHits) + (room.tally.comboHits == 1 ? " hit" : " hits");
        drawBox(centreX - 6, y - 6, kCentreWidth + 12, kLineHeight + 12);
        drawText(hits, centreX, y, room.tally.running ? kOn : kGrey, 255);
        y += kLineHeight + 16;
    }
    if (room.paused) drawText("PAUSED", centreX, y, RGB(255, 60, 60), 255);
}

void resetTrainingPanelSprites() { boxSprite = 0; }

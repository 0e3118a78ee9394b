// The statistics panel and its gauges.
#include "menus/stats_panel.h"

#include <algorithm>

#include "data/fighter_class.h"
#include "render/layout_record.h"
#include "render/sprite_assets.h"
#include "runtime/runtime.h"

int64_t gaugeColors[11];

void buildGaugeColors() {
    const int64_t anchors[][3] = {{0, 0, 255},   {0, 0, 0},   {0, 255, 0}, {0, 0, 0},
                                  {255, 255, 0}, {0, 0, 0},   {255, 136, 0}, {0, 0, 0},
                                  {255, 0, 0},   {255, 0, 128}, {255, 0, 255}};
    for (int i = 0; i < 11; ++i) gaugeColors[i] = RGB(anchors[i][0], anchors[i][1], anchors[i][2]);
    // Entries 1, 3, 5 and 7 are the channel-wise averages of their neighbours.
    for (int i : {1, 3, 5, 7}) {
        int64_t a = gaugeColors[i - 1], b = gaugeColors[i + 1];
        gaugeColors[i] = RGB((redOf(a) + redOf(b)) / 2, (greenOf(a) + greenOf(b)) / 2,
                             (blueOf(a) + blueOf(b)) / 2);
    }
}

int64_t gaugePulse = -64;
int64_t gaugePulseStep = 6;

namespace {
double pulseAccumulator = 0;
constexpr int64_t kCrescentStep = 18; // px between crescents
constexpr int64_t kRowStep = 40;      // px between rows

// The crescent points the way the gauge grows.
void orientCrescent(bool mirrored) {
    double w = double(spriteWidth(crescentSprite)), h = double(spriteHeight(crescentSprite));
    if (mirrored)
        transformSprite(crescentSprite, w - 1, 0, 0, 0, 0, h - 1, w - 1, h - 1);
    else
        transformSprite(crescentSprite, 0, 0, w - 1, 0, w - 1, h - 1, 0, h - 1);
}

void drawMark(int64_t sprite, int64_t x, int64_t y, int64_t colour) {
    drawSpriteBlended(sprite, x, y);
    drawSpriteBlended(sprite, x, y, 192, colour);
}

} // namespace

int64_t statValue(const Stat& stat, int64_t row) {
    const int64_t Stat::*fields[] = {&Stat::strength, &Stat::agility,   &Stat::speed,
                                     &Stat::weight,   &Stat::endurence, &Stat::life,
                                     &Stat::cut,      &Stat::pierce,    &Stat::blunt,
                                     &Stat::reach,    &Stat::difficulty};
    return stat.*fields[row];
}

const char* statName(int64_t row) {
    static const char* const kNames[] = {"Strength",  "Agility", "Speed",     "Weight",
                                         "Endurence", "Life",    "Cut",       "Pierce",
                                         "Blunt",     "Reach",   "Difficulty"};
    return row >= 0 && row < 11 ? kNames[row] : "";
}

void updateGaugePulse(double frameFactor) {
    pulseAccumulator += frameFactor;
    if (pulseAccumulator < 1) return;
    int64_t n = int64_t(pulseAccumulator);
    pulseAccumulator -= double(n);
    gaugePulse += n * gaugePulseStep;
    if (gaugePulse > 192) {
        gaugePulse = 192;
        gaugePulseStep = -gaugePulseStep;
    } else if (gaugePulse < -64) {
        gaugePulse = -64;
        gaugePulseStep = -gaugePulseStep;
    }
}

void resetGaugePulse() {
    gaugePulse = -64;
    gaugePulseStep = 6;
    pulseAccumulator = 0;
}

void drawGauge(int64_t value, int64_t x, int64_t y, int64_t comparison, bool mirrored) {
    if (value < 0 || !spriteExists(dotSprite) || !spriteExists(crescentSprite)) return;
    if (comparison == -1) comparison = value;
    int64_t colour = gaugeColors[std::clamp<int64_t>(comparison, 0, 10)];
    int64_t d = mirrored ? -1 : 1;
    drawMark(dotSprite, x, y, colour);
    if (layoutRecording()) {
        // From the dot to the farthest crescent, whichever way the gauge runs.
        int64_t far = x + (mirrored ? 0 : 5) + d * kCrescentStep * std::max(value, comparison);
        int64_t left = std::min(x, far);
        int64_t right = std::max(x + spriteWidth(dotSprite), far + spriteWidth(crescentSprite));
        noteLayout(LayoutRole::Gauge, left, y, right - left,
                   std::max(spriteHeight(dotSprite), spriteHeight(crescentSprite)), "stat gauge");
    }
    if (!mirrored) x += 5;
    orientCrescent(mirrored);
    int64_t bright = std::min(value, comparison);
    for (int64_t i = 1; i <= bright; ++i) drawMark(crescentSprite, x + d * kCrescentStep * i, y, colour);
    if (comparison < value) {
        // The stance lowers the stat: what it takes away is faded.
        for (int64_t i = comparison + 1; i <= value; ++i) {
            int64_t at = x + d * kCrescentStep * i;
            drawSpriteBlended(crescentSprite, at, y, 64);
            drawSpriteBlended(crescentSprite, at, y, 32, colour);
        }
    } else {
        // The stance's bonus pulses between a black and a white overlay.
        for (int64_t i = value + 1; i <= comparison; ++i) {
            int64_t at = x + d * kCrescentStep * i;
            drawMark(crescentSprite, at, y, colour);
            if (gaugePulse < 1) drawSpriteBlended(crescentSprite, at, y, -gaugePulse, 0x000000);
            else drawSpriteBlended(crescentSprite, at, y, gaugePulse, 0xFFFFFF);
        }
    }
    orientCrescent(false);
}

int64_t drawStatsPanel(const FighterClass& fighterClass, int64_t x, int64_t y,
                       int64_t stanceIndex, bool mirrored) {
    Stat own = fighterClass.stat.value_or(Stat{});
    Stat change;
    if (stanceIndex >= 0 && stanceIndex < int64_t(fighterClass.stance.size()))
        change = fighterClass.stance[size_t(stanceIndex)].modificator.value_or(Stat{});
    int64_t gaugeX = mirrored ? x - 60 : x + 40;
    int64_t rowY = y;
    // The first six gauges sit 12 px below their icons; the later rows share one line.
    auto row = [&](int64_t stat, int64_t rowAt, bool compared) {
        int64_t value = statValue(own, stat);
        drawStatIcon(stat, x, rowAt);
        drawGauge(value, gaugeX, stat <= 5 ? rowAt + 12 : rowAt, compared ? value + statValue(change, stat) : -1,
                  mirrored);
        rowY = rowAt;
    };
    for (int64_t stat = 0; stat <= 5; ++stat) row(stat, y + kRowStep * stat, true);
    // Cut, pierce and blunt only for classes that have them; the rows below move up.
    int64_t next = y + 252;
    for (int64_t stat = 6; stat <= 8; ++stat)
        if (statValue(own, stat) >= 0) {
            row(stat, next, true);
            next += kRowStep;
        }
    row(9, next, false);
    row(10, next + kRowStep, false);
    return rowY - y;
}

// Recording and playing matches frame by frame.
#include "match/match_tape.h"

#include <cmath>
#include <string>

#include "fight/fight_state.h"
#include "input/keys.h"
#include "match/replay_record.h"
#include "match/rounds.h"
#include "render/fight_drawing.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/pacing.h"

MatchTape matchTape;

bool tapeFrame(uint8_t phase, std::array<Actions, 2>& actions, double& factor) {
    if (const Replay* r = matchTape.playing) {
        if (matchTape.left || matchTape.next >= r->frames.size() ||
            r->frames[matchTape.next].phase != phase)
            return false;
        const ReplayFrame& frame = r->frames[matchTape.next++];
        actions = {unpackActions(frame.actions[0]), unpackActions(frame.actions[1])};
        factor = frame.factor;
        return true;
    }
    if (Replay* r = matchTape.recording) {
        ReplayFrame frame;
        frame.phase = phase;
        frame.actions[0] = packActions(actions[0]);
        frame.actions[1] = packActions(actions[1]);
        frame.factor = factor;
        r->frames.push_back(frame);
    }
    return true;
}

bool tapeGoesOnToAnotherRound() {
    const Replay* r = matchTape.playing;
    if (!r) return true;
    return !matchTape.left && matchTape.next < r->frames.size() &&
           r->frames[matchTape.next].phase == 0;
}

void tapeAfterStep(const FightState& fight) {
    const Replay* played = matchTape.playing;
    size_t count = played ? matchTape.next : matchTape.recording ? matchTape.recording->frames.size() : 0;
    if (count == 0 || count % kReplayHashInterval != 0) return;
    uint64_t hash = fightHash(fight);
    size_t k = count / kReplayHashInterval - 1;
    if (played) {
        if (matchTape.firstMismatch < 0 && k < played->hashes.size() && played->hashes[k] != hash)
            matchTape.firstMismatch = int64_t(count);
    } else {
        matchTape.recording->hashes.push_back(hash);
    }
}

void drawPlaybackMark() {
    if (!matchTape.playing || !matchTape.controls) return;
    std::string speed = matchTape.speed == 0.25 ? "1/4" : matchTape.speed == 0.5 ? "1/2"
                        : matchTape.speed == 2.0 ? "2" : "1";
    // Below the life gauges, where the fight leaves the screen free.
    drawText("Replay  x" + speed + (matchTape.paused ? "  Paused" : ""), 40, 190,
             RGB(255, 136, 0), 255);
    drawText("Space: pause   Right: one frame   1-4: speed   Escape: leave", 40, 215,
             RGB(255, 136, 0), 200);
}

void playbackControls(const FightContext& context) {
    for (;;) {
        if (keyReleased(kKeyEscape)) {
            matchTape.left = true;
            return;
        }
        const double speeds[4] = {0.25, 0.5, 1.0, 2.0};
        for (int64_t i = 0; i < 4; ++i)
            if (keyReleased(kKey1 + i)) matchTape.speed = speeds[i];
        if (keyReleased(kKeySpace)) matchTape.paused = !matchTape.paused;
        if (!matchTape.paused || keyReleased(kKeyRight)) return;
        // Paused: the same frame again, until a key moves on.
        double start = systemTimeMs();
        drawFight(context.fight, context.stage);
        drawRoundCounter(context);
        drawPlaybackMark();
        presentFrame();
        framePacing(start, 0);
        processWindowEvent();
        if (windowCloseRequested()) shutdownProgram(0);
        pollKeyboard();
    }
}

double pacedTapeFrame(double frameStartMs, double factor, int64_t slow) {
    if (!matchTape.playing || isHeadless()) return framePacing(frameStartMs, slow);
    // The recorded frame's length, at the viewer's speed.
    double endMs = frameStartMs + factor * 20.0 / matchTape.speed;
    double left = endMs - systemTimeMs();
    if (left >= 1) delayMs(int64_t(left));
    return factor;
}

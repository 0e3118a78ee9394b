// A spectator's copy of a room's match: the host's starting set-up and intro as both players
// had them, then the confirmed inputs the lobby passes on, played a fixed delay behind.
#include <algorithm>
#include <chrono>

#include "fight/fight_frame.h"
#include "fight/fight_state.h"
#include "input/keys.h"
#include "match/end_of_match.h"
#include "match/frame_loop.h"
#include "match/match.h"
#include "match/match_tape.h"
#include "match/music.h"
#include "online/online_match.h"
#include "online/rooms.h"
#include "render/fight_drawing.h"
#include "render/text.h"
#include "runtime/runtime.h"
#include "settings/game_screen.h"
#include "settings/pacing.h"

namespace {
// Frames stepped without drawing in one displayed frame while catching up: about 10 s of fight
// at 60 frames per second, which a machine steps within a frame or two.
constexpr int64_t kMostFramesCaughtUp = 600;

std::array<uint8_t, 2> framesInputs(const Spectating& watching, int64_t frame) {
    return {watching.inputs[size_t(2 * frame)], watching.inputs[size_t(2 * frame + 1)]};
}
} // namespace

OnlineOutcome watchOnlineMatch(FightContext& context, Spectating& watching, double delaySeconds) {
    FightState& fight = context.fight;
    OnlineOutcome outcome;
    SetupPacket start;
    std::string reason;
    if (!decodeSetup(watching.setup, start, reason)) {
        outcome.problem = "the room's match could not be read (" + reason + ")";
        return outcome;
    }
    std::string refusal = startingSetupRefusal(start);
    KeptForOnline kept;
    if (refusal.empty()) outcome.replay = applyStartingSetup(context, start, kept, refusal);
    if (!refusal.empty()) {
        restoreAfterOnline(kept);
        outcome.problem = "cannot watch this match here: " + refusal;
        return outcome;
    }
    const uint32_t match = watching.match;
    Replay& replay = outcome.replay;
    matchTape = MatchTape{};
    matchTape.recording = &replay;
    const double factor = 50.0 / double(start.frameRate);
    const int64_t delayFrames = int64_t(delaySeconds * double(start.frameRate));
    Stage* stage = setUpMatch(context);
    fightIntro(context, factor, [&watching] { serviceWatching(watching); });

    int64_t stepped = 0;
    auto fightStart = std::chrono::steady_clock::now();
    // Steps the next streamed frame; the shown one presents its effects and sounds.
    auto stepNext = [&](bool shown) {
        stepRecordedFrame(fight, stage, replay, framesInputs(watching, stepped), factor);
        stepped += 1;
        if (shown) presentFightEvents(fight.events, factor);
    };
    FrameLoop loop;
    loop.phase = FramePhase::OnlineFight;
    loop.factor = loop.previous = factor;
    loop.frame = [&](double&, double) {
        pollKeyboard();
        processWindowEvent();
        if (windowCloseRequested()) shutdownProgram(0);
        if (keyReleased(kKeyEscape)) {
            outcome.problem = "you stopped watching";
            return false;
        }
        if (!serviceWatching(watching)) {
            outcome.problem = watching.problem;
            return false;
        }
        if (watching.match != match) {
            outcome.problem = "the room's match ended before its end came";
            return false;
        }
        int64_t held = int64_t(watching.inputs.size() / 2);
        int64_t last = watching.ended ? std::min(held, watching.endFrames) : held;
        if (watching.ended && stepped >= last) return false;
        // Held back by the delay while the match goes on; at its end, played out.
        int64_t target = watching.ended ? last : std::max<int64_t>(0, held - delayFrames);
        for (int64_t caught = 0; stepped + 1 < target && caught < kMostFramesCaughtUp; ++caught)
            stepNext(false);
        if (stepped < target) stepNext(true);
        drawFight(fight, stage);
        if (stepped < target - 1) drawText("catching up", screenWidth / 2 - 88, 40, kOrangeTint, 128);
        return true;
    };
    loop.afterShown = [](double) {
        matchHooks.fightFrames += 1;
        return true;
    };
    loop.pace = [](double frameStart, double nextFactor) {
        framePacing(frameStart, 0);
        return nextFactor;
    };
    matchHooks.fightFrames = 0;
    runFrameLoop(loop);
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - fightStart).count();
    if (stepped > 0) presentLastFrame(fight, factor);
    outcome.fightFrames = stepped;
    outcome.fightHash = fightHash(fight);
    outcome.finished = watching.ended && stepped == watching.endFrames;
    outcome.result = outcome.finished ? watching.endResult : 0;
    if (outcome.finished && outcome.fightHash != watching.endHash)
        outcome.problem = "the watched fight went apart from the players' (its hash differs)";
    finishOnlineMatch(context, stage, outcome, outcome.finished && outcome.problem.empty(), kept);
    return outcome;
}

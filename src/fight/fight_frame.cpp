// The fight step.
#include "fight/fight_frame.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "data/stage.h"
#include "fight/bot.h"
#include "fight/fight_events.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "fight/fighter_update.h"
#include "fight/hits.h"
#include "fight/shown_state.h"
#include "input/controls.h"
#include "runtime/numbers.h"

void shakeStep(FightState& state, double timeFactor) {
    state.shakeOffset = {float(randomInt(state.random, roundToInt(state.screenShake.x))),
                   float(randomInt(state.random, roundToInt(state.screenShake.y)))};
    int64_t n = roundToInt(state.shakeAccumulator);
    for (int64_t i = 0; i < n; ++i) {
        state.screenShake.x *= 0.9f;
        state.screenShake.y *= 0.9f;
    }
    state.shakeAccumulator = state.shakeAccumulator - float(n) + float(timeFactor);
}

void updateCamera(FightState& state, const Stage& stage) {
    int64_t heightTarget = 0;
    Fighter& left = leftFighter(state);
    Fighter& right = rightFighter(state);
    double span = double(right.position.x + 450) - double(left.position.x + 350);
    if (isAlive(left)) {
        double leftEdge = left.position.x + 350;
        if (leftEdge < double(state.focusX)) {
            // Within reach of the view the camera follows; beyond it the fighter is held.
            if (span < double(state.viewWidth)) state.focusX = roundToInt(leftEdge);
            else left.position.x = float(state.focusX - 350);
        }
        if (left.position.y < 0) heightTarget = roundToInt(left.position.y);
    }
    if (isAlive(right)) {
        double rightEdge = right.position.x + 450;
        if (rightEdge > double(state.focusX + state.viewWidth)) {
            if (span < double(state.viewWidth)) state.focusX = roundToInt(right.position.x - float(state.viewWidth) + 450);
            else right.position.x = float(state.focusX + state.viewWidth - 450);
        }
        if (right.position.y < 0) {
            int64_t y = roundToInt(right.position.y);
            if (y > heightTarget) heightTarget = y;
        } else {
            heightTarget = 0;
        }
    }
    state.focusX = std::max<int64_t>(state.focusX, 0);
    if (state.focusX + state.viewWidth + 200 > stage.width) state.focusX = stage.width - state.viewWidth - 200;
    if (heightTarget > 0) heightTarget = 0;
    state.cameraY = (state.cameraY + heightTarget) / 2;
}

void computeScreenPositions(FightState& state) {
    for (Fighter* f : {&state.players[0], &state.players[1]})
        f->screenPosition = {f->position.x - float(state.focusX), f->position.y};
}

namespace {
// A grab holds the other fighter while the holder's mask touches it.
void catchTest(Fighter& holder, Fighter& held) {
    const Frame* frame = currentFrame(holder);
    if (frame && frame->catchFrame && isAlive(held)) {
        if (maskTouches(holder, held)) {
            held.caught = 1;
            held.velocity = held.moveVelocity = held.pushVelocity = {};
        } else {
            held.caught = 0;
        }
    } else {
        held.caught = 0;
    }
}

Vec2 bodyCentre(const Fighter& f) {
    return {float(roundToInt(f.position.x + (f.facing == 1 ? 450 : 525))),
            float(roundToInt(f.position.y + 525))};
}

int64_t shove(const Fighter& f) {
    Stat s = effectiveStat(f);
    int64_t type = animationType(f);
    return s.strength - (type == 2 || type == 3 ? s.weight : 0);
}
// Both knocked out in one frame (a trade): the one with more life left (nearer 0) wins, and an
// even trade is drawn by lot, so that no player's number decides it.
int64_t doubleKnockOutLoser(FightState& state) {
    if (state.players[0].life != state.players[1].life) return state.players[0].life < state.players[1].life ? 1 : 2;
    return randomInt(state.random, 1) == 0 ? 1 : 2;
}
} // namespace

void bodyPush(Fighter& one, Fighter& two, const Stage* stage, double timeFactor) {
    if (!isAlive(one) || !isAlive(two) || (one.attacking && two.attacking)) return;
    Vec2 c1 = bodyCentre(one), c2 = bodyCentre(two);
    if (std::hypot(double(c1.x - c2.x), double(c1.y - c2.y)) >= 200) return;
    double dx = std::fabs(double(c1.x) - double(c2.x));
    // A fighter walking back is stopped only when its step brought it nearer the other: the
    // bodies may not pass through each other, but a retreat is never held in place.
    for (Fighter* f : {&one, &two}) {
        const Fighter& other = f == &one ? two : one;
        double now = std::fabs(double(f->position.x) - double(other.position.x));
        double before = std::fabs(double(f->previousPosition.x) - double(other.position.x));
        if (animationType(*f) == 3 && now < before) f->position.x = f->previousPosition.x;
    }
    double overlap = dx - 200;
    int64_t s1 = shove(one), s2 = shove(two);
    if (s1 == s2) return;
    Fighter& pusher = s1 > s2 ? one : two;
    Fighter& pushed = s1 > s2 ? two : one;
    double d = double(std::llabs(s1 - s2));
    if (animationType(pusher) != 2) return;
    double push = d / 5 * timeFactor * (200 - dx);
    double direction = pushed.position.x > pusher.position.x ? 1 : -1;
    pusher.position.x += float(direction * (push + overlap / 2));
    pushed.position.x += float(direction * push);
    if (animationType(pushed) == 3) pushed.position.x -= float(direction * overlap / 2);
    // Held at a stage limit, the pair is eased apart by the pusher.
    Vec2 before1 = one.position, before2 = two.position;
    applyStageLimits(one, stage);
    applyStageLimits(two, stage);
    if (before1.x != one.position.x || before2.x != two.position.x) {
        float half = std::fabs(one.position.x - two.position.x) / 2;
        pusher.position.x += pusher.position.x < pushed.position.x ? half : -half;
    }
}

int64_t stepFight(FightState& state, const Stage* stage, const std::array<Actions, 2>& actions, double timeFactor,
                  double previousTimeFactor) {
    for (Fighter* f : {&state.players[0], &state.players[1]})
        if (f->botLevel == 0) applyInput(f->input, actions[size_t(playerIndex(state, *f))], timeFactor);
    updateSideAndFacing(state.players[0], state.players[1]);
    return advanceFight(state, stage, timeFactor, previousTimeFactor);
}

int64_t advanceFight(FightState& state, const Stage* stage, double timeFactor, double previousTimeFactor) {
    clearFightEvents(state.events);
    shakeStep(state, timeFactor);
    state.freezeTimer = std::max(0.0f, state.freezeTimer - float(timeFactor));
    // A knocked-out fighter takes no input but goes on falling, playing its death and emptying
    // its gauge. Both bots decide on the frame as it stands before either fighter moves, so that
    // neither sees the other's move of this frame; under the first rules player two's bot
    // decided after player one's update.
    auto decide = [&](Fighter& f) {
        if (isAlive(f)) {
            if (&f == &state.players[0]) state.events.playerOneAttackPressed = f.input[kInputLight] != 0;
            runBotStep(state, f, &f == &state.players[0] ? state.players[1] : state.players[0], timeFactor, stage);
        } else {
            f.input = {};
        }
    };
    auto update = [&](Fighter& f) {
        if (state.freezeTimer <= 0) updateFighter(state, f, stage, timeFactor, previousTimeFactor);
    };
    if (state.setup.rules >= 2) {
        decide(state.players[0]);
        decide(state.players[1]);
        update(state.players[0]);
        update(state.players[1]);
    } else {
        for (Fighter* f : {&state.players[0], &state.players[1]}) {
            decide(*f);
            update(*f);
        }
    }
    catchTest(state.players[0], state.players[1]);
    catchTest(state.players[1], state.players[0]);
    if (isAlive(state.players[0]) && isAlive(state.players[1]) && rightFighter(state).position.x < leftFighter(state).position.x)
        state.leftPlayer = 1 - state.leftPlayer;
    if (state.freezeTimer <= 0) bodyPush(state.players[0], state.players[1], stage, timeFactor);
    if (stage) updateCamera(state, *stage);
    computeScreenPositions(state);
    int64_t result = 0;
    if (!isAlive(state.players[0])) result = 1;
    if (!isAlive(state.players[1])) result = 2;
    if (result == 2 && !isAlive(state.players[0]) && state.setup.rules >= 2)
        result = doubleKnockOutLoser(state);
    state.events.effectsAdvance = state.freezeTimer <= 0;
    // The one attacking alone is drawn over the other; their pictures settle in drawing order.
    bool oneOnTop = state.players[0].attacking && !state.players[1].attacking;
    settleShownFrame(state, oneOnTop ? state.players[1] : state.players[0], timeFactor);
    settleShownFrame(state, oneOnTop ? state.players[0] : state.players[1], timeFactor);
    if (state.setup.comboDisplay != 3)
        for (Fighter* f : {&state.players[0], &state.players[1]})
            if (isAlive(*f)) advanceComboCounters(state, *f, timeFactor);
    if (state.freezeTimer <= 0 && isAlive(state.players[0]) && isAlive(state.players[1])) {
        if (state.setup.rules >= 2) {
            resolveTrade(state, state.players[0], state.players[1], timeFactor);
        } else {
            resolveAttack(state, &state.players[0], &state.players[1], timeFactor);
            resolveAttack(state, &state.players[1], &state.players[0], timeFactor);
        }
    }
    state.frame += 1;
    return result;
}

void stepIntro(FightState& state, const Stage* stage, double timeFactor, double previousTimeFactor) {
    clearFightEvents(state.events);
    shakeStep(state, 1.0);
    updateFighter(state, state.players[0], stage, timeFactor, previousTimeFactor);
    updateFighter(state, state.players[1], stage, timeFactor, previousTimeFactor);
    computeScreenPositions(state);
    settleShownFrame(state, state.players[0], timeFactor);
    settleShownFrame(state, state.players[1], timeFactor);
    state.frame += 1;
}

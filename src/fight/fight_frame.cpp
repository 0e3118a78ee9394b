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

void shakeStep(double timeFactor) {
    shakeOffset = {float(randomInt(roundToInt(screenShake.x))),
                   float(randomInt(roundToInt(screenShake.y)))};
    int64_t n = roundToInt(shakeAccumulator);
    for (int64_t i = 0; i < n; ++i) {
        screenShake.x *= 0.9f;
        screenShake.y *= 0.9f;
    }
    shakeAccumulator = shakeAccumulator - float(n) + float(timeFactor);
}

void updateCamera(const Stage& stage) {
    int64_t heightTarget = 0;
    Fighter& left = leftFighter();
    Fighter& right = rightFighter();
    double span = double(right.position.x + 450) - double(left.position.x + 350);
    if (isAlive(left)) {
        double leftEdge = left.position.x + 350;
        if (leftEdge < double(focusX)) {
            // Within reach of the view the camera follows; beyond it the fighter is held.
            if (span < double(viewWidth)) focusX = roundToInt(leftEdge);
            else left.position.x = float(focusX - 350);
        }
        if (left.position.y < 0) heightTarget = roundToInt(left.position.y);
    }
    if (isAlive(right)) {
        double rightEdge = right.position.x + 450;
        if (rightEdge > double(focusX + viewWidth)) {
            if (span < double(viewWidth)) focusX = roundToInt(right.position.x - float(viewWidth) + 450);
            else right.position.x = float(focusX + viewWidth - 450);
        }
        if (right.position.y < 0) {
            int64_t y = roundToInt(right.position.y);
            if (y > heightTarget) heightTarget = y;
        } else {
            heightTarget = 0;
        }
    }
    focusX = std::max<int64_t>(focusX, 0);
    if (focusX + viewWidth + 200 > stage.width) focusX = stage.width - viewWidth - 200;
    if (heightTarget > 0) heightTarget = 0;
    cameraY = (cameraY + heightTarget) / 2;
}

void computeScreenPositions() {
    for (Fighter* f : {&playerOne, &playerTwo})
        f->screenPosition = {f->position.x - float(focusX), f->position.y};
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
int64_t doubleKnockOutLoser() {
    if (playerOne.life != playerTwo.life) return playerOne.life < playerTwo.life ? 1 : 2;
    return randomInt(1) == 0 ? 1 : 2;
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

int64_t stepFight(const Stage* stage, const std::array<Actions, 2>& actions, double timeFactor,
                  double previousTimeFactor) {
    for (Fighter* f : {&playerOne, &playerTwo})
        if (f->botLevel == 0) applyInput(f->input, actions[size_t(playerIndex(*f))], timeFactor);
    updateSideAndFacing(playerOne, playerTwo);
    return advanceFight(stage, timeFactor, previousTimeFactor);
}

int64_t advanceFight(const Stage* stage, double timeFactor, double previousTimeFactor) {
    clearFightEvents();
    shakeStep(timeFactor);
    freezeTimer = std::max(0.0f, freezeTimer - float(timeFactor));
    // A knocked-out fighter takes no input but goes on falling, playing its death and emptying
    // its gauge. Both bots decide on the frame as it stands before either fighter moves, so that
    // neither sees the other's move of this frame; under the first rules player two's bot
    // decided after player one's update.
    auto decide = [&](Fighter& f) {
        if (isAlive(f)) {
            if (&f == &playerOne) fightEvents.playerOneAttackPressed = f.input[kInputLight] != 0;
            runBotStep(f, &f == &playerOne ? playerTwo : playerOne, timeFactor, stage);
        } else {
            f.input = {};
        }
    };
    auto update = [&](Fighter& f) {
        if (freezeTimer <= 0) updateFighter(f, stage, timeFactor, previousTimeFactor);
    };
    if (fight.setup.rules >= 2) {
        decide(playerOne);
        decide(playerTwo);
        update(playerOne);
        update(playerTwo);
    } else {
        for (Fighter* f : {&playerOne, &playerTwo}) {
            decide(*f);
            update(*f);
        }
    }
    catchTest(playerOne, playerTwo);
    catchTest(playerTwo, playerOne);
    if (isAlive(playerOne) && isAlive(playerTwo) && rightFighter().position.x < leftFighter().position.x)
        fight.leftPlayer = 1 - fight.leftPlayer;
    if (freezeTimer <= 0) bodyPush(playerOne, playerTwo, stage, timeFactor);
    if (stage) updateCamera(*stage);
    computeScreenPositions();
    int64_t result = 0;
    if (!isAlive(playerOne)) result = 1;
    if (!isAlive(playerTwo)) result = 2;
    if (result == 2 && !isAlive(playerOne) && fight.setup.rules >= 2)
        result = doubleKnockOutLoser();
    fightEvents.effectsAdvance = freezeTimer <= 0;
    // The one attacking alone is drawn over the other; their pictures settle in drawing order.
    bool oneOnTop = playerOne.attacking && !playerTwo.attacking;
    settleShownFrame(oneOnTop ? playerTwo : playerOne, timeFactor);
    settleShownFrame(oneOnTop ? playerOne : playerTwo, timeFactor);
    if (fight.setup.comboDisplay != 3)
        for (Fighter* f : {&playerOne, &playerTwo})
            if (isAlive(*f)) advanceComboCounters(*f, timeFactor);
    if (freezeTimer <= 0 && isAlive(playerOne) && isAlive(playerTwo)) {
        if (fight.setup.rules >= 2) {
            resolveTrade(playerOne, playerTwo, timeFactor);
        } else {
            resolveAttack(&playerOne, &playerTwo, timeFactor);
            resolveAttack(&playerTwo, &playerOne, timeFactor);
        }
    }
    fight.frame += 1;
    return result;
}

void stepIntro(const Stage* stage, double timeFactor, double previousTimeFactor) {
    clearFightEvents();
    shakeStep(1.0);
    updateFighter(playerOne, stage, timeFactor, previousTimeFactor);
    updateFighter(playerTwo, stage, timeFactor, previousTimeFactor);
    computeScreenPositions();
    settleShownFrame(playerOne, timeFactor);
    settleShownFrame(playerTwo, timeFactor);
    fight.frame += 1;
}

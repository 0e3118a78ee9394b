// Frame data: an attack's timing and effect counted the way the fighter update plays it at one
// tick per update (50 frames per second).
//
// How the fighter update times an attack (tick 0 is the update in which the attack starts):
// - Each frame is entered with a carry, the frame time left after the previous frame's length
//   was taken off: 0 for the first frame (the attack starts with frame time 0 and the update
//   that starts it does not advance it), 1 for a frame entered after its predecessor ran out
//   (that happens when the frame time exceeds the length, so one tick is over), and the
//   predecessor's own carry minus its length when that one was skipped at once.
// - A frame of length L entered with carry c stays current L - c + 1 updates, none when c > L:
//   the first frame L + 1, later frames L, and a later frame of length 0 is skipped within the
//   update that reached it. Hit resolution looks at the frame current after the update, so a
//   skipped frame never hits.
// - The animation ends in the update in which its last frame runs out; that update sets the
//   recovery (the idle animation and a cooldown), and an attack can start again in a later
//   update whose cooldown, before that update counts it down, is 5 ticks or less.
// - canDoNext is compared with the frame time at the start of an update, before the frame can
//   run out: a follow-up chains from the first update at which frame time >= canDoNext.
#include "fight/frame_data.h"

#include <algorithm>
#include <cmath>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "fight/fighter_update.h"
#include "fight/hits.h"

namespace {
// Where a frame lies in the attack's ticks.
struct FrameSpan {
    int64_t firstTick = 0; // the update in which the frame becomes current
    int64_t ticks = 0;     // updates after which it is the current one (0: skipped)
    int64_t carry = 0;     // its frame time when it became current
};

std::vector<FrameSpan> frameSpans(const Animation& attack) {
    std::vector<FrameSpan> spans;
    int64_t tick = 0, carry = 0;
    for (const Frame& frame : attack.frames) {
        // Attacks run on their frames' own lengths (only walking is scaled by speed).
        int64_t length = frame.length;
        int64_t ticks = carry > length ? 0 : length - carry + 1;
        spans.push_back({tick, ticks, carry});
        tick += ticks;
        carry = ticks == 0 ? carry - length : 1;
    }
    return spans;
}

// The tick at which canDoNext first lets a follow-up chain, -1 when it never does: frame time
// at the start of the update m ticks after a frame was entered is carry + m, for m from 1 up to
// the frame's ticks (it is still current at the start of the update in which it runs out).
int64_t followUpTick(const Animation& attack, const std::vector<FrameSpan>& spans) {
    for (size_t i = 0; i < spans.size(); ++i) {
        int64_t canDoNext = attack.frames[i].canDoNext;
        if (canDoNext == 0) continue;
        int64_t m = std::max<int64_t>(1, canDoNext - spans[i].carry);
        if (m <= spans[i].ticks) return spans[i].firstTick + m;
    }
    return -1;
}

// Updates from the one in which the animation ends to the first one that can start an attack,
// for an attack that ends with no attack key held. With a comboEnd the cooldown is 0; else the
// recovery sets the cooldown r, which that same update counts down by one tick, so the update
// j ticks later begins with r - j, and attackStart needs a cooldown of at most 5: j >= r - 5,
// and j >= 1 since the ending update has already passed its chance to start an attack.
int64_t updatesUntilNextAttack(const Animation& attack, double recoveryTicks) {
    if (attack.comboEnd != 0 || recoveryTicks <= 0) return 1;
    return std::max<int64_t>(1, int64_t(std::ceil(recoveryTicks - 5.0)));
}
} // namespace

AttackFrameData attackFrameData(const Animation& attack, const Stat& attacker, const Stat& defender) {
    AttackFrameData data;
    if (attack.frames.empty()) return data; // nothing plays: such an attack never ends
    std::vector<FrameSpan> spans = frameSpans(attack);
    int64_t end = spans.back().firstTick + spans.back().ticks;
    double wait = attack.comboEnd != 0 ? 0.0 : recoveryCooldown(attack.recovery, attacker.agility);
    // Rounded up, past the division's last-bit error: 9 / (-9 / 10 + 1) gives 90.00000000000001.
    data.recoveryWait = wait > 0 ? int64_t(std::ceil(wait - 1e-9)) : 0;
    int64_t nextAttack = end + updatesUntilNextAttack(attack, wait);
    data.followUpFrom = followUpTick(attack, spans);

    int64_t firstActive = -1, lastActive = -1;
    for (size_t i = 0; i < spans.size(); ++i) {
        const Frame& frame = attack.frames[i];
        if (!frame.hurtShift || spans[i].ticks == 0) continue;
        ActiveFrame active;
        active.frameIndex = int64_t(i);
        active.firstTick = spans[i].firstTick;
        active.ticks = spans[i].ticks;
        active.damage = frame.damage == 0 ? 0 : attackerDamage(frame, attacker);
        active.damageType = frame.damageType;
        // A frame without stun leaves the defender's cooldown alone; the defender stands with
        // none.
        active.stun = frame.stun == 0 ? 0 : stunCooldown(frame.stun, 0.0, attacker, defender);
        data.frames.push_back(active);
        if (firstActive < 0) firstActive = active.firstTick;
        lastActive = active.firstTick + active.ticks - 1;
    }
    data.total = nextAttack;
    if (data.frames.empty()) {
        data.recovery = nextAttack;
        return data;
    }
    data.hasActiveFrames = true;
    data.startup = firstActive;
    data.active = lastActive - firstActive + 1;
    data.recovery = nextAttack - lastActive - 1;
    data.stunOnHit = data.frames.front().stun;
    // A hit at tick h sets the defender's cooldown s; it counts down from the next update and
    // the hit reaction ends when it reaches 0, so the defender can start an attack at h + s + 1
    // (h + 2 when a stun of 0 or less still brought a hit reaction, h + 1 without stun). The
    // attacker starts its next attack at nextAttack.
    const ActiveFrame& first = data.frames.front();
    int64_t defenderBusy = attack.frames[size_t(first.frameIndex)].stun == 0
                               ? 0
                               : std::max<int64_t>(1, first.stun);
    data.advantageOnHit = defenderBusy - (nextAttack - first.firstTick - 1);
    return data;
}

double ticksAsFrames(int64_t ticks, double framesPerSecond) {
    return double(ticks) * framesPerSecond / 50.0;
}

std::vector<const Animation*> comboAttacks(const FighterClass& fighterClass, int64_t comboCode) {
    std::vector<const Animation*> attacks;
    const Animation* current = nullptr;
    for (int64_t code = comboCode; code > 0; code /= 10) {
        current = attacks.empty() ? attackForStance(&fighterClass, code % 10)
                                  : followUpFor(current, code % 10);
        if (!current) break;
        attacks.push_back(current);
    }
    return attacks;
}

// Frame data: the timing and effect of an attack, computed from its animation and the
// fighters' effective statistics. Every figure is counted in ticks of 20 ms, the fight's own
// unit, as the fighter update plays the animation (at 50 frames per second one tick is one
// frame); ticksAsFrames turns them into frames at another rate.
//
// One computation feeds the training room's panel, the fighter viewer's combo list and the
// data inspector's table, so the three always agree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Animation;
struct FighterClass;
struct Stat;

// One active frame (a frame with a hit mask) of an attack.
struct ActiveFrame {
    int64_t frameIndex = 0; // position in the animation's frames
    int64_t firstTick = 0;  // ticks after the attack's start at which it becomes current
    int64_t ticks = 0;      // ticks it stays current
    int64_t damage = 0;     // with the attacker's statistics, before the defender's endurance
    int64_t damageType = 0; // 1 cut, 2 pierce, 3 blunt, 0 none
    int64_t stun = 0;       // the defender's stun on a hit by this frame (ticks)
};

struct AttackFrameData {
    bool hasActiveFrames = false; // false: the attack cannot hit (no frame with a hit mask)
    int64_t startup = 0;          // ticks before the first active tick
    int64_t active = 0;           // from the first active tick through the last, gaps included
    int64_t recovery = 0;         // ticks after the last active tick until the attacker can act
                                  // (start its next attack), with the keys let go before the end
    int64_t recoveryWait = 0;     // the agility-scaled recovery wait (rounded up), whose last 5
                                  // ticks already let an attack start
    int64_t total = 0;            // startup + active + recovery: the next attack's start tick
    int64_t followUpFrom = -1;    // tick from which the next attack may chain (canDoNext) after a
                                  // hit; -1: only at the end of the animation
    int64_t stunOnHit = 0;        // the first active frame's stun (ticks)
    int64_t advantageOnHit = 0;   // stunOnHit minus the attacker's ticks left after that hit;
                                  // positive: the attacker acts first
    std::vector<ActiveFrame> frames;
};

// The frame data of an attack animation played by a fighter with `attacker` statistics against
// a defender with `defender` statistics (effective statistics: class plus stance).
AttackFrameData attackFrameData(const Animation& attack, const Stat& attacker, const Stat& defender);

// Ticks as frames at a frame rate (frames per second): 50 frames per second is one a tick.
double ticksAsFrames(int64_t ticks, double framesPerSecond);

// The attacks of a combo code (units digit first, as the combo list shows it), followed from
// the class's first attack through the follow-ups; stops at the first missing one.
std::vector<const Animation*> comboAttacks(const FighterClass& fighterClass, int64_t comboCode);

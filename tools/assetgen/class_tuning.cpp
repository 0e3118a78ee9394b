// Applying a class's balance settings to its attacks.
#include <algorithm>
#include <cmath>

#include "class_design.h"

namespace {
// A scaled value that stays at least 1 where it was positive: a blow keeps its stun and damage.
int scaled(int value, double scale) {
    if (value <= 0 || scale == 1) return value;
    return std::max(1, int(std::lround(value * scale)));
}

void tuneMove(MoveSpec& move, const ClassTuning& t) {
    move.recovery = scaled(move.recovery, t.recovery);
    int forward = 0;
    bool grab = false;
    for (FrameSpec& f : move.frames) {
        f.stun = scaled(f.stun, t.stun);
        f.damage = scaled(f.damage, t.damage);
        if (f.pushInstant && t.push != 1)
            f.pushInstant = Step{int(std::lround(f.pushInstant->x * t.push)),
                                 int(std::lround(f.pushInstant->y * t.push))};
        if (f.movement && f.movement->x > 0) forward += f.movement->x;
        grab = grab || f.grab != 0;
    }
    int back = int(std::lround(forward * t.stepBack));
    if (back > 0 && !grab && !move.frames.empty()) move.frames.back().movement = Step{-back, 0};
    for (MoveSpec& next : move.followUps) tuneMove(next, t);
}
}  // namespace

ClassDesign tunedDesign(ClassDesign design) {
    for (MoveSpec& attack : design.attacks) tuneMove(attack, design.tuning);
    return design;
}

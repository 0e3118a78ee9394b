// The training room's watch over the fight.
#include "practice/training_watch.h"

#include <cmath>

#include "data/animation.h"
#include "fight/fighter.h"
#include "runtime/numbers.h"

bool anyAction(const Actions& a) {
    return a.up || a.down || a.left || a.right || a.neutral || a.heavy || a.jump;
}

namespace {
bool sameActions(const Actions& a, const Actions& b) {
    return a.up == b.up && a.down == b.down && a.left == b.left && a.right == b.right &&
           a.neutral == b.neutral && a.heavy == b.heavy && a.jump == b.jump;
}
} // namespace

void noteInput(InputHistory& history, const Actions& actions) {
    if (!anyAction(actions)) {
        history.lastWasEmpty = true;
        return;
    }
    auto& entries = history.entries;
    if (!history.lastWasEmpty && !entries.empty() && sameActions(entries.front().actions, actions)) {
        entries.front().frames += 1;
        return;
    }
    history.lastWasEmpty = false;
    entries.insert(entries.begin(), InputHistoryEntry{actions, 1});
    if (entries.size() > kInputHistoryLength) entries.pop_back();
}

bool isFree(const Fighter& f) {
    // The fighter update lets a fighter act from a cooldown of 5 ticks on, once its hit
    // reaction is over (which lasts until the cooldown reaches 0).
    return isAlive(f) && !f.caught && f.cooldown <= 5.0 && f.hurtAnimIndex == -1;
}

bool canStartAttack(const Fighter& f) {
    return isFree(f) && !f.attacking && f.onGround && !f.moveState.jumping &&
           animationType(f) != 11;
}

FighterSnapshot snapshotOf(const Fighter& f) {
    return {f.animationStarts, f.stats.hits, f.stats.damage, isFree(f)};
}

MeasuredFigures measuredFigures(const AttackMeasure& m) {
    MeasuredFigures figures;
    if (m.firstActive >= 0) {
        figures.startup = m.firstActive;
        figures.active = m.lastActive - m.firstActive + 1;
    }
    if (m.free >= 0) {
        figures.total = m.free + 1;
        figures.recovery = m.free - (m.lastActive >= 0 ? m.lastActive : -1);
    }
    if (m.free >= 0 && m.dummyFree >= 0) {
        figures.advantage = m.dummyFree - m.free;
        figures.advantageKnown = true;
    }
    return figures;
}

void watchAttack(AttackMeasure& m, const FighterSnapshot& attackerBefore, const Fighter& attacker,
                 const Fighter& dummy, bool updated, double ticks) {
    bool started = attacker.animationStarts != attackerBefore.animationStarts &&
                   attacker.attacking && attacker.animationSource &&
                   attacker.animationSource->attack;
    if (started) {
        m = AttackMeasure{};
        m.attack = attacker.animationSource;
    } else if (!m.attack || m.complete || !updated) {
        return;
    } else {
        m.ticks += ticks;
    }
    int64_t t = roundToInt(m.ticks);
    bool inAttack = attacker.attacking && attacker.animationSource == m.attack;
    if (inAttack && m.free < 0) {
        const Frame* frame = currentFrame(attacker);
        if (frame && frame->hurtShift) {
            if (m.firstActive < 0) m.firstActive = t;
            m.lastActive = t;
        }
    }
    if (m.hitTick >= 0 && m.dummyFree < 0 && isFree(dummy)) m.dummyFree = t;
    if (m.hitTick < 0 && inAttack && attacker.stats.hits > attackerBefore.hits) {
        m.hitTick = t;
        m.damage = attacker.stats.damage - attackerBefore.damage;
        m.stun = roundToInt(dummy.cooldown);
    }
    if (m.free < 0 && canStartAttack(attacker)) m.free = t;
    bool dummySettled = m.hitTick < 0 || m.dummyFree >= 0 || !isAlive(dummy);
    if ((m.free >= 0 && dummySettled) || m.ticks > 3000) m.complete = true;
}

void tallyCombo(ComboTally& tally, const FighterSnapshot& attackerBefore, const Fighter& attacker,
                const FighterSnapshot& dummyBefore, const Fighter& dummy) {
    int64_t hits = attacker.stats.hits - attackerBefore.hits;
    if (hits > 0) {
        if (!tally.running || dummyBefore.free) tally = ComboTally{0, 0, 0, true};
        tally.lastHit = attacker.stats.damage - attackerBefore.damage;
        tally.comboDamage += tally.lastHit;
        tally.comboHits += hits;
    } else if (tally.running && isFree(dummy)) {
        tally.running = false;
    }
}

bool recordDummyStep(DummyRecording& r, const Actions& actions, double ticks, int64_t facing) {
    if (!r.recording) return false;
    r.steps.push_back({actions, ticks, facing});
    r.ticks += ticks;
    if (r.ticks >= kMaxRecordingTicks) r.recording = false;
    return r.recording;
}

Actions playDummyStep(DummyRecording& r, double ticks, int64_t facing) {
    if (r.steps.empty() || r.ticks <= 0) return {};
    if (r.playedTicks >= r.ticks) r.playedTicks = std::fmod(r.playedTicks, r.ticks);
    double at = 0;
    const DummyRecording::Step* step = &r.steps.back();
    for (const DummyRecording::Step& s : r.steps) {
        if (r.playedTicks < at + s.ticks) {
            step = &s;
            break;
        }
        at += s.ticks;
    }
    r.playedTicks += ticks;
    Actions a = step->actions;
    // Recorded facing one way and played facing the other: towards stays towards.
    if (step->facing != facing) std::swap(a.left, a.right);
    return a;
}

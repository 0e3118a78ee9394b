// The shown state of a fighter.
#include "fight/shown_state.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "fight/fight_state.h"
#include "fight/fighter.h"
#include "runtime/numbers.h"

namespace {
const Frame* pickShownFrame(FightState& state, Fighter& fighter) {
    FighterClass* c = fighter.fighterClass;
    bool reactions = c && !c->hit.empty();
    if (fighter.hurtAnimIndex >= 0) {
        // A hit reaction shows until the cooldown it brought has run out.
        if (fighter.cooldown <= 0 || !reactions) fighter.hurtAnimIndex = -1;
        else return &c->hit[size_t(std::min<int64_t>(fighter.hurtAnimIndex, int64_t(c->hit.size()) - 1))];
    } else if (state.freezeTimer > 0 && fighter.hitList.empty() && reactions) {
        // During hit-stop the one who was not hitting shows a reaction picked once.
        if (fighter.hitStopFrameIndex < 0)
            fighter.hitStopFrameIndex = randomInt(state.random, int64_t(c->hit.size()) - 1);
        return &c->hit[size_t(std::min<int64_t>(fighter.hitStopFrameIndex, int64_t(c->hit.size()) - 1))];
    } else {
        fighter.hitStopFrameIndex = -1;
    }
    const Frame* own = currentFrame(fighter);
    if (!own) return nullptr;
    // The class's original of the current frame: the data the copy was made from.
    const Animation* source = fighter.animationSource;
    int64_t index = fighter.currentAnimation.frameIndex;
    if (source && index >= 0 && index < int64_t(source->frames.size()))
        return &source->frames[size_t(index)];
    return own;
}
} // namespace

void settleShownFrame(FightState& state, Fighter& fighter, double timeFactor) {
    const Frame* frame = pickShownFrame(state, fighter);
    fighter.shownFrame = frame;
    fighter.tremble = {};
    if (frame) {
        if (fighter.hurtAnimIndex >= 0 && !fighter.caught) {
            // A hit reaction trembles, less and less as its cooldown runs out.
            double c = fighter.cooldown;
            fighter.tremble.x = float(double(randomInt(state.random, roundToInt(c))) - c / 2);
            fighter.tremble.y = float(double(randomInt(state.random, roundToInt(c))) - c / 2);
        }
    }
    // The gauge's red flash grows while the gauge shakes and fades afterwards, halving every
    // tick of the frame's own length (slow motion and late frames included); below 1 it is gone.
    LifeGauge& g = fighter.lifeBar;
    if (g.shaking) g.flash = std::min((g.flash + 5) * 3 / 2, 192.0);
    else g.flash = g.flash * std::pow(0.5, timeFactor);
    if (g.flash < 1) g.flash = 0;
}

void advanceComboCounters(FightState& state, Fighter& f, double t) {
    for (int i = 0; i < kComboSteps; ++i) {
        size_t k = size_t(i);
        if (f.comboStance[k] == 0) continue;
        double shake = f.comboShake[k];
        double jx = double(randomInt(state.random, roundToInt(2 * shake))) - shake;
        double jy = double(randomInt(state.random, roundToInt(2 * shake))) - shake;
        f.comboJitter[k] = {jx, jy};
    }
    double d = std::pow(0.9, t);
    for (int i = 0; i < kComboSteps; ++i) {
        size_t k = size_t(i);
        f.comboShake[k] *= d;
        f.comboFlash[k] *= d;
        if (i < f.comboStep) {
            f.comboMultiplier[k] = (f.comboMultiplier[k] - 1) * d + 1;
        } else {
            f.comboMultiplier[k] *= d * d;
            if (f.comboMultiplier[k] < 0.1) f.comboMultiplier[k] = 0;
        }
        f.comboEndBonus[k] *= d;
        if (f.comboEndBonus[k] < 0.1) f.comboEndBonus[k] = 0;
    }
}

// The fight state's hash: every field in a fixed order, floats by their bits, data pointers by
// their positions in the game data (equal in every run of the same data), strings by their
// bytes. Sprite numbers are hashed as numbers: the data loader hands them out in a fixed order.
#include <bit>
#include <cstring>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "fight/fight_state.h"

namespace {
// FNV-1a over 64-bit words: fast, and any change of any word changes the result.
struct Hasher {
    uint64_t value = 0xcbf29ce484222325ULL;
    void word(uint64_t w) {
        for (int i = 0; i < 8; ++i) {
            value ^= (w >> (8 * i)) & 0xff;
            value *= 0x100000001b3ULL;
        }
    }
    void add(int64_t v) { word(uint64_t(v)); }
    void add(bool v) { word(v ? 1 : 0); }
    void add(double v) { word(std::bit_cast<uint64_t>(v)); }
    void add(float v) { word(std::bit_cast<uint32_t>(v)); }
    void add(Vec2 v) { add(v.x), add(v.y); }
    void add(const std::optional<Vec2>& v) {
        add(v.has_value());
        if (v) add(*v);
    }
    void add(const std::string& s) {
        add(int64_t(s.size()));
        for (unsigned char c : s) word(c);
    }
    template <typename T, size_t N> void add(const std::array<T, N>& a) {
        for (const T& x : a) add(x);
    }
};

int64_t animationPosition(const Animation* a) { return a ? a->listPosition : -1; }

int64_t classPosition(const FighterClass* c) {
    if (!c) return -1;
    for (size_t i = 0; i < classes.size(); ++i)
        if (classes[i].get() == c) return int64_t(i);
    return -2;
}

void addFrame(Hasher& h, const Frame* frame) {
    h.add(frame != nullptr);
    if (!frame) return;
    h.add(frame->sprite);
    h.add(frame->path);
    h.add(frame->shift);
}

// The fighter with its player's name and jump-with-up (from the match's set-up) where the
// fighter record once held them.
void addFighter(Hasher& h, const Fighter& f, const std::string& name, int64_t jumpWithUp) {
    h.add(f.id);
    h.add(name);
    const Animation& a = f.currentAnimation;
    h.add(animationPosition(f.animationSource));
    for (int64_t v : {a.id, a.looped, a.attack, a.recovery, a.comboEnd, a.loopStart, a.type,
                      a.ungrounded, a.frameIndex, int64_t(a.frames.size())})
        h.add(v);
    h.add(f.hasAnimation);
    h.add(f.tickAccumulator);
    h.add(f.frameTime);
    h.add(f.cooldown);
    for (Vec2 v : {f.position, f.previousPosition, f.velocity, f.moveVelocity, f.pushVelocity,
                   f.screenPosition})
        h.add(v);
    h.add(f.gravityThisUpdate);
    for (int64_t v : {f.life, f.maxLife, f.attacking, f.color, jumpWithUp})
        h.add(v);
    h.add(f.input);
    for (int64_t v : {f.moveState.walking, f.moveState.walkStarted, f.moveState.jumping})
        h.add(v);
    h.add(classPosition(f.fighterClass));
    h.add(f.stanceIndex);
    int64_t stance = -1;
    if (f.stance && f.fighterClass)
        for (size_t i = 0; i < f.fighterClass->stance.size(); ++i)
            if (&f.fighterClass->stance[i] == f.stance) stance = int64_t(i);
    h.add(stance);
    for (int64_t v : {f.useAlternateColor, f.side, f.facing, int64_t(f.hitList.size())})
        h.add(v);
    for (int64_t id : f.hitList) h.add(id);
    h.add(f.hitLanded);
    h.add(f.comboStance);
    for (const auto* list : {&f.comboShake, &f.comboMultiplier, &f.comboTouched, &f.comboFlash,
                             &f.comboEndBonus, &f.comboFacing})
        h.add(*list);
    h.add(f.comboStep);
    const LifeGauge& g = f.lifeBar;
    h.add(g.orientation);
    for (double v : {g.x, g.y, g.mainShown, g.extraShown, g.flash}) h.add(v);
    h.add(g.mainTarget);
    h.add(g.extraTarget);
    h.add(g.shaking);
    h.add(g.shake);
    h.add(f.regenTimer);
    for (int64_t v : {f.regenCount, f.falling, f.onGround, f.stunFrames, f.caught, f.botLevel,
                      f.damageFlash, f.hurtAnimIndex, f.hitStopFrameIndex, f.movementApplied,
                      f.windEmitted})
        h.add(v);
    addFrame(h, f.shownFrame);
    h.add(f.tremble);
    for (const auto& jitter : f.comboJitter) h.add(jitter);
    h.add(f.animationStarts);
    for (int64_t v : {f.stats.hits, f.stats.damage, f.stats.maxCombo}) h.add(v);
}

void addBot(Hasher& h, const BotController& b) {
    h.add(b.present);
    h.add(b.thinkTimer);
    h.add(b.botState);
    h.add(animationPosition(b.plannedAttack));
    h.add(b.botLevelSetting);
    h.add(b.retreatTicks);
}
} // namespace

uint64_t fightHash(const FightState& s) {
    Hasher h;
    for (size_t i = 0; i < s.players.size(); ++i)
        addFighter(h, s.players[i], s.setup.names[i], s.setup.jumpWithUp[i]);
    for (const BotController& b : s.bots) addBot(h, b);
    h.add(s.freezeTimer);
    h.add(s.screenShake);
    h.add(s.shakeOffset);
    h.add(s.shakeAccumulator);
    for (int64_t v : {s.focusX, s.viewWidth, s.cameraY, s.leftPlayer, s.frame}) h.add(v);
    for (uint64_t w : s.random) h.word(w);
    return h.value;
}

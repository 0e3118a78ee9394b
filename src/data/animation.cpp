// Reading animations and frames, follow-up tables and shared pictures.
#include "data/animation.h"

#include <algorithm>

#include "data/sprite_numbers.h"
#include "runtime/json.h"

std::vector<Animation*> allAnimations;
Animation* emptyAnimation = nullptr;

namespace {
std::vector<std::unique_ptr<Animation>> animationStore; // owns every record
int64_t fromFileCount = 0;
Animation* readAnimationFields(const JsonNode* json);

// Follow-ups and wind effects nest records in records; deeper ones read as absent so that a
// hostile file cannot exhaust the stack (the JSON reader stops at the same depth anyway).
constexpr int64_t kMaxAnimationNesting = kJsonMaxDepth;
int64_t nesting = 0; // records being read, outermost included

std::optional<WindTable> readWindTable(const JsonNode* array, int64_t frameCount) {
    // Anything but an array (null, 0, an object) is no table.
    if (jsonType(array) != kJsonArray) return std::nullopt;
    WindTable table;
    table.frameCount = frameCount;
    table.perFrame = jsonArraySize(array) / frameCount;
    // Elements beyond frameCount x perFrame are ignored.
    for (int64_t i = 0; i < frameCount * table.perFrame; ++i) {
        const JsonNode* element = jsonElement(array, i);
        table.entries.push_back(jsonType(element) == kJsonObject ? readAnimation(element) : nullptr);
    }
    return table;
}

void fillFollowUps(Animation& a) {
    a.followUps = {a.neutral, a.side, a.back, a.up, a.down, a.heavy};
}

bool validFrame(const Animation& a, int64_t index) {
    return index >= 0 && index < int64_t(a.frames.size());
}
} // namespace

Animation* WindTable::entry(int64_t frame, int64_t j) const {
    if (frame < 0 || frame >= frameCount || j < 0 || j >= perFrame) return nullptr;
    return entries[size_t(frame * perFrame + j)];
}

Animation* newAnimation() {
    animationStore.push_back(std::make_unique<Animation>());
    animationStore.back()->listPosition = int64_t(allAnimations.size());
    allAnimations.push_back(animationStore.back().get());
    return animationStore.back().get();
}

Frame readFrame(const JsonNode* json) {
    // Quantities the fight multiplies (damage by the attacker's statistics, and so on) are read
    // within +-kFrameValueLimit, so that a modded 1e30 cannot overflow that arithmetic.
    auto quantity = [&](const char* key) {
        return std::clamp<int64_t>(readIntegerField(json, key), -kFrameValueLimit, kFrameValueLimit);
    };
    Frame f;
    f.length = quantity("length");
    f.damage = quantity("damage");
    f.damageCut = quantity("damageCut");
    f.damageSide = readIntegerField(json, "damageSide");
    f.damageType = readIntegerField(json, "damageType");
    f.needCatch = readIntegerField(json, "needCatch");
    f.movementDNeedCatch = readIntegerField(json, "movementDNeedCatch");
    f.sound = readIntegerField(json, "sound");
    f.noRecSound = readIntegerField(json, "noRecSound");
    f.pureProjectileDamage = readIntegerField(json, "pureProjectileDamage");
    f.canDoNext = readIntegerField(json, "canDoNext");
    f.freeMovement = readIntegerField(json, "freeMovement");
    f.stun = quantity("stun");
    f.shake = quantity("shake");
    f.clone = readIntegerField(json, "clone");
    f.catchFrame = readIntegerField(json, "catch");
    if (f.clone == -1) {
        f.sprite = takeSpriteNumber();
        f.path = readTextField(json, "path");
        f.shift = readVectorField(json, "shift");
    }
    f.cloneHurt = readIntegerField(json, "cloneHurt");
    if (f.cloneHurt == -1) {
        f.hurtShift = readVectorField(json, "hurtShift");
        if (f.hurtShift) {
            f.hurtSpriteA = takeSpriteNumbers(2);
            f.hurtSpriteB = f.hurtSpriteA + 1;
        }
    }
    f.movement = readVectorField(json, "movement");
    f.movementDelta = readVectorField(json, "movementDelta");
    f.pushPower = readVectorField(json, "pushPower");
    f.pushPowerDelta = readVectorField(json, "pushPowerDelta");
    f.pushInstant = readVectorField(json, "pushInstant");
    f.moveTargetTo = readVectorField(json, "moveTargetTo");
    f.shadowShift = readVectorField(json, "shadowShift");
    return f;
}

Animation* readAnimation(const JsonNode* json) {
    if (!json || nesting >= kMaxAnimationNesting) return nullptr;
    ++nesting;
    Animation* a = readAnimationFields(json);
    --nesting;
    return a;
}

namespace {
Animation* readAnimationFields(const JsonNode* json) {
    Animation* a = newAnimation();
    ++fromFileCount;
    a->name = readTextField(json, "name");
    const JsonNode* frames = jsonMember(json, "frames");
    for (int64_t i = 0; i < jsonArraySize(frames); ++i)
        a->frames.push_back(readFrame(jsonElement(frames, i)));
    a->id = readIntegerField(json, "id");
    a->looped = readIntegerField(json, "looped");
    a->attack = readIntegerField(json, "attack");
    a->recovery = std::clamp<int64_t>(readIntegerField(json, "recovery"), -kFrameValueLimit,
                                      kFrameValueLimit);
    a->comboEnd = readIntegerField(json, "comboEnd");
    a->loopStart = readIntegerField(json, "loopStart");
    a->type = readIntegerField(json, "type");
    a->ungrounded = readIntegerField(json, "ungrounded");
    // A follow-up that is not an object (null, 0, "") is none: no phantom combo.
    a->neutral = readAnimation(objectMember(json, "neutral"));
    a->side = readAnimation(objectMember(json, "side"));
    a->back = readAnimation(objectMember(json, "back"));
    a->up = readAnimation(objectMember(json, "up"));
    a->down = readAnimation(objectMember(json, "down"));
    a->heavy = readAnimation(objectMember(json, "heavy"));
    auto frameCount = int64_t(a->frames.size());
    if (frameCount > 0) {
        a->frontWind = readWindTable(jsonMember(json, "frontWind"), frameCount);
        a->backWind = readWindTable(jsonMember(json, "backWind"), frameCount);
    }
    fillFollowUps(*a);
    return a;
}
} // namespace

Animation* makePlaceholderAnimation(Animation* record, int64_t looped, int64_t attack,
                                    int64_t recovery, const std::string& name) {
    if (!record) {
        animationStore.push_back(std::make_unique<Animation>());
        record = animationStore.back().get();
    }
    *record = Animation{};
    record->looped = looped;
    record->attack = attack;
    record->recovery = recovery;
    record->name = name;
    record->id = int64_t(allAnimations.size());
    record->listPosition = int64_t(allAnimations.size());
    allAnimations.push_back(record);
    return record;
}

Animation* followUpFor(const Animation* animation, int64_t stanceCode) {
    if (!animation) return nullptr;
    switch (stanceCode) {
    case 1: return animation->neutral;
    case 2: return animation->side;
    case 3: return animation->up;
    case 4: return animation->back;
    case 5: return animation->down;
    case 6: return animation->heavy;
    default: return nullptr;
    }
}

bool hasFollowUp(const Animation* animation) {
    if (!animation) return false;
    for (int code = 1; code <= 6; ++code)
        if (followUpFor(animation, code)) return true;
    return false;
}

void refreshFollowUpTables() {
    for (Animation* a : allAnimations) fillFollowUps(*a);
}

void linkClonedFrames() {
    for (Animation* a : allAnimations) {
        for (Frame& frame : a->frames) {
            // A reference outside the frame list shares nothing.
            if (frame.clone != -1 && validFrame(*a, frame.clone)) {
                const Frame& source = a->frames[size_t(frame.clone)];
                frame.path = source.path;
                frame.sprite = source.sprite;
                frame.shift = source.shift;
            }
            if (frame.cloneHurt != -1 && validFrame(*a, frame.cloneHurt)) {
                const Frame& source = a->frames[size_t(frame.cloneHurt)];
                frame.hurtSpriteA = source.hurtSpriteA;
                frame.hurtSpriteB = source.hurtSpriteB;
                frame.hurtShift = source.hurtShift;
            }
        }
    }
}

int64_t animationsFromFileCount() { return fromFileCount; }

void clearAnimations() {
    allAnimations.clear();
    animationStore.clear();
    emptyAnimation = nullptr;
    fromFileCount = 0;
}

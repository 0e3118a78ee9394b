// Reading fighter classes, deriving their combo lists, and choosing classes at random.
#include "data/fighter_class.h"

#include <algorithm>

#include "data/sound_library.h"
#include "data/sprite_numbers.h"
#include "runtime/json.h"
#include "runtime/numbers.h"

std::vector<std::unique_ptr<FighterClass>> classes;
std::vector<int64_t> selectableClasses;

Stat readStat(const JsonNode* json) {
    // Far beyond any playable value, yet small enough that the fight's arithmetic on sums and
    // products of statistics never overflows (a modded "life": 1e30 reads as the limit).
    auto stat = [&](const char* key) {
        return std::clamp<int64_t>(readIntegerField(json, key), -kStatLimit, kStatLimit);
    };
    Stat s;
    s.strength = stat("strength");
    s.agility = stat("agility");
    s.speed = stat("speed");
    s.weight = stat("weight");
    s.endurence = stat("endurence");
    s.life = stat("life");
    s.cut = stat("cut");
    s.pierce = stat("pierce");
    s.blunt = stat("blunt");
    s.reach = stat("reach");
    s.difficulty = stat("difficulty");
    return s;
}

namespace {
Stance readStance(const JsonNode* json) {
    Stance s;
    s.id = readIntegerField(json, "id");
    s.name = readTextField(json, "name");
    if (const JsonNode* modificator = objectMember(json, "modificator"))
        s.modificator = readStat(modificator);
    const JsonNode* materials = jsonMember(json, "material");
    for (int64_t i = 0; i < jsonArraySize(materials); ++i) {
        int64_t position = jsonInteger(jsonElement(materials, i));
        bool valid = position >= 0 && position < int64_t(soundMaterials.size());
        s.material.push_back(valid ? position : -1);
    }
    s.specialColor = readIntegerField(json, "specialColor");
    s.specialTransparency = readIntegerField(json, "specialTransparency");
    s.alternateColor = readIntegerField(json, "alternateColor");
    s.alternateTransparency = readIntegerField(json, "alternateTransparency");
    return s;
}
} // namespace

std::unique_ptr<FighterClass> readClass(const JsonNode* json) {
    auto c = std::make_unique<FighterClass>();
    c->pictureSprite = takeSpriteNumber();
    c->portraitSprite = takeSpriteNumber();
    c->name = readTextField(json, "name");
    c->iconPath = readTextField(json, "iconPath");
    c->description = readTextField(json, "description");
    c->id = readIntegerField(json, "id");
    c->toBeAdded = readIntegerField(json, "toBeAdded");
    c->notSelectable = readIntegerField(json, "notSelectable");
    auto animation = [&](const char* key) { return readAnimation(objectMember(json, key)); };
    c->idle = animation("idle");
    c->moveFront = animation("moveFront");
    c->moveBack = animation("moveBack");
    c->neutral = animation("neutral");
    c->side = animation("side");
    c->back = animation("back");
    c->up = animation("up");
    c->down = animation("down");
    c->heavy = animation("heavy");
    c->death = animation("death");
    c->spawn = animation("spawn");
    c->jump = animation("jump");
    c->land = animation("land");
    const JsonNode* idleOther = jsonMember(json, "idleOther");
    for (int64_t i = 0; i < jsonArraySize(idleOther); ++i)
        c->idleOther.push_back(readAnimation(jsonElement(idleOther, i)));
    if (const JsonNode* stat = objectMember(json, "stat")) c->stat = readStat(stat);
    const JsonNode* stances = jsonMember(json, "stance");
    for (int64_t i = 0; i < jsonArraySize(stances); ++i)
        c->stance.push_back(readStance(jsonElement(stances, i)));
    const JsonNode* hit = jsonMember(json, "hit");
    for (int64_t i = 0; i < jsonArraySize(hit); ++i) c->hit.push_back(readFrame(jsonElement(hit, i)));
    c->animationTable = {c->idle,  c->moveFront, c->moveBack, c->neutral, c->side,
                         c->back,  c->up,        c->down,     c->heavy,   c->death,
                         c->spawn, c->jump,      c->land};
    c->comboList = deriveComboList(c.get());
    return c;
}

Animation* attackForStance(const FighterClass* fighterClass, int64_t stanceCode) {
    if (!fighterClass) return nullptr;
    switch (stanceCode) {
    case 1: return fighterClass->neutral;
    case 2: return fighterClass->side;
    case 3: return fighterClass->up;
    case 4: return fighterClass->back;
    case 5: return fighterClass->down;
    case 6: return fighterClass->heavy;
    default: return nullptr;
    }
}

bool comboIsComplete(const FighterClass* fighterClass, int64_t code) {
    if (!fighterClass || code < 10) return false;
    const Animation* current = attackForStance(fighterClass, code % 10);
    if (!current) return false;
    for (code /= 10; code > 0; code /= 10) {
        current = followUpFor(current, code % 10);
        if (!current) return false;
    }
    return !hasFollowUp(current);
}

std::vector<int64_t> deriveComboList(const FighterClass* fighterClass) {
    std::vector<int64_t> list;
    auto test = [&](int64_t code) {
        if (comboIsComplete(fighterClass, code)) list.push_back(code);
    };
    for (int64_t a = 1; a <= 6; ++a)
        for (int64_t b = 1; b <= 6; ++b) {
            test(10 * b + a);
            for (int64_t c = 1; c <= 6; ++c) {
                test(100 * c + 10 * b + a);
                for (int64_t d = 1; d <= 6; ++d) {
                    test(1000 * d + 100 * c + 10 * b + a);
                    for (int64_t e = 1; e <= 6; ++e)
                        test(10000 * e + 1000 * d + 100 * c + 10 * b + a);
                }
            }
        }
    return list;
}

bool isSelectable(const FighterClass& fighterClass) {
    return fighterClass.notSelectable == 0 && fighterClass.toBeAdded == 0;
}

void buildSelectableList(int64_t withMarkers) {
    selectableClasses.clear();
    for (const auto& c : classes)
        if (isSelectable(*c)) selectableClasses.push_back(c->id);
    if (withMarkers) {
        selectableClasses.push_back(-1);
        selectableClasses.push_back(-2);
    }
}

FighterClass* classAt(int64_t position) {
    if (position < 0 || position >= int64_t(classes.size())) return nullptr;
    return classes[size_t(position)].get();
}

int64_t randomClassIndex(int64_t excludeToBeAdded) {
    std::vector<int64_t> candidates;
    for (size_t i = 0; i < classes.size(); ++i)
        if (classes[i] && !(excludeToBeAdded && classes[i]->toBeAdded))
            candidates.push_back(int64_t(i));
    if (candidates.empty()) return -1;
    return candidates[size_t(randomInt(int64_t(candidates.size()) - 1))];
}

int64_t randomStanceIndex(const FighterClass* fighterClass) {
    if (!fighterClass || fighterClass->stance.empty()) return 0;
    return randomInt(int64_t(fighterClass->stance.size()) - 1);
}

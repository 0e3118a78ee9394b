// quarrelix-data FILE: loads a data file with the game's own loader and prints, as one JSON
// document, what the game makes of it. Run it from a game directory so that the sound pools
// find their files.
#include <cstdio>
#include <string>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/sound_library.h"
#include "runtime/runtime.h"

namespace {
void setInt(JsonNode* object, const char* key, int64_t value) {
    jsonSetInteger(jsonAddMember(object, key), value);
}

JsonNode* addArray(JsonNode* object, const char* key) {
    JsonNode* array = jsonAddMember(object, key);
    jsonSetArray(array);
    return array;
}

void describeClasses(JsonNode* root) {
    JsonNode* list = addArray(root, "classes");
    for (size_t position = 0; position < classes.size(); ++position) {
        const FighterClass& c = *classes[position];
        JsonNode* entry = jsonAddElement(list);
        jsonSetObject(entry);
        setInt(entry, "position", int64_t(position));
        setInt(entry, "id", c.id);
        jsonSetString(jsonAddMember(entry, "name"), c.name);
        jsonSetBool(jsonAddMember(entry, "selectable"), isSelectable(c));
        setInt(entry, "toBeAdded", c.toBeAdded);
        setInt(entry, "notSelectable", c.notSelectable);
        setInt(entry, "stances", int64_t(c.stance.size()));
        JsonNode* stat = jsonAddMember(entry, "stat");
        if (c.stat) {
            jsonSetObject(stat);
            const Stat& s = *c.stat;
            const std::pair<const char*, int64_t> values[] = {
                {"strength", s.strength}, {"agility", s.agility}, {"speed", s.speed},
                {"weight", s.weight},     {"endurence", s.endurence}, {"life", s.life},
                {"cut", s.cut},           {"pierce", s.pierce},   {"blunt", s.blunt},
                {"reach", s.reach},       {"difficulty", s.difficulty}};
            for (const auto& [key, value] : values) setInt(stat, key, value);
        }
        JsonNode* combos = addArray(entry, "comboList");
        for (int64_t code : c.comboList) jsonSetInteger(jsonAddElement(combos), code);
    }
}

void describeSounds(JsonNode* root) {
    JsonNode* pools = addArray(root, "soundPools");
    for (size_t position = 0; position < soundPools.size(); ++position) {
        const SoundPool& pool = soundPools[position];
        JsonNode* entry = jsonAddElement(pools);
        jsonSetObject(entry);
        setInt(entry, "position", int64_t(position));
        setInt(entry, "id", pool.id);
        jsonSetString(jsonAddMember(entry, "name"), pool.name);
        setInt(entry, "variants", pool.extension.empty() ? 0 : variantCount(pool.id) + 1);
        jsonSetString(jsonAddMember(entry, "extension"), pool.extension);
    }
    setInt(root, "soundClasses", int64_t(soundClasses.size()));
    setInt(root, "soundMaterials", int64_t(soundMaterials.size()));
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quarrelix-data FILE\n");
        return 2;
    }
    // Headless: sounds load and play silently; message boxes go to stderr.
    setHeadless(HeadlessOptions{});
    initSound();
    if (!loadGameData(argv[1])) {
        endRuntime();
        return 1;
    }
    finishAnimations();
    buildSelectableList(1);

    int64_t document = createJson(-1);
    JsonNode* root = jsonRoot(document);
    jsonSetObject(root);
    describeClasses(root);
    JsonNode* selectable = addArray(root, "selectableClasses");
    for (int64_t id : selectableClasses) jsonSetInteger(jsonAddElement(selectable), id);
    describeSounds(root);
    setInt(root, "animationsFromFile", animationsFromFileCount());
    JsonNode* landing = addArray(root, "landing");
    for (const auto* list : {&landLightFront, &landLightBack, &landHeavyFront, &landHeavyBack})
        jsonSetInteger(jsonAddElement(landing), int64_t(list->size()));
    setInt(root, "loading", int64_t(loadingAnimations.size()));
    std::printf("%s\n", composeJson(document).c_str());
    clearGameData();
    endRuntime();
    return 0;
}

// The data inspector's warnings: everything the loader takes without a word but the game then
// refuses (the fight's data check, a missing picture), misreads (an animation in the wrong
// slot, a reference to nothing) or plays wrongly (two pools sharing sound slots).
#include "data_checks.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/game_data.h"
#include "data/sound_library.h"
#include "runtime/files.h"
#include "runtime/sound.h"
#include "render/frame_images.h"
#include "runtime/json.h"

namespace {
const char* const kSlotNames[kSlotCount] = {"idle",  "moveFront", "moveBack", "neutral", "side",
                                            "back",  "up",        "down",     "heavy",   "death",
                                            "spawn", "jump",      "land"};

std::string classLabel(size_t position, const FighterClass& c) {
    return "class " + std::to_string(position) + " (\"" + c.name + "\")";
}

// A PNG file the game can open: there, readable and starting with the PNG signature.
bool pictureReadable(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    unsigned char head[8] = {};
    size_t read = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return read == sizeof head && std::equal(head, head + 8, signature);
}

struct Checks {
    std::string directory;
    std::vector<std::string> problems;
    std::set<std::string> picturesSeen;

    void add(const std::string& problem) { problems.push_back(problem); }

    void picture(const std::string& owner, const std::string& path) {
        if (path.empty() || !picturesSeen.insert(path).second) return;
        if (!pictureReadable(directory + path))
            add(owner + ": picture \"" + path + "\" is missing or not a PNG file");
    }

    void frame(const std::string& owner, const Frame& f, int64_t frameCount) {
        if (f.sound < 0 || f.sound >= int64_t(soundPools.size()))
            add(owner + ": \"sound\" " + std::to_string(f.sound) + " is not a sound pool");
        for (auto [key, value] : {std::pair{"clone", f.clone}, std::pair{"cloneHurt", f.cloneHurt}})
            if (value < -1 || value >= frameCount)
                add(owner + ": \"" + key + "\" " + std::to_string(value) + " is not a frame of " +
                    "its animation");
        if (f.clone == -1) picture(owner, f.path + ".png");
    }

    void animation(const std::string& owner, const Animation& a) {
        for (size_t i = 0; i < a.frames.size(); ++i)
            frame(owner + " frame " + std::to_string(i), a.frames[i], int64_t(a.frames.size()));
    }

    void fighterClass(size_t position, const FighterClass& c) {
        std::string label = classLabel(position, c);
        if (c.id != int64_t(position))
            add(label + ": \"id\" " + std::to_string(c.id) + " differs from its position");
        // The fight tells what a fighter does by the type of the animation it plays.
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const Animation* a = c.animationTable[size_t(slot)];
            if (a && a->type != slot + 1)
                add(label + ": its \"" + kSlotNames[slot] + "\" animation has type " +
                    std::to_string(a->type) + " where the fight expects " +
                    std::to_string(slot + 1));
        }
        // The loader keeps a material that is not there as -1.
        for (const Stance& s : c.stance)
            for (int64_t material : s.material)
                if (material < 0 || material >= int64_t(soundMaterials.size()))
                    add(label + ": stance \"" + s.name +
                        "\" names a sound material that is not there");
        picture(label, c.iconPath);
        for (const Animation* a : classAnimations(c, true, true))
            animation(label + " animation \"" + a->name + "\"", *a);
        for (size_t i = 0; i < c.hit.size(); ++i)
            frame(label + " hit reaction " + std::to_string(i), c.hit[i], int64_t(c.hit.size()));
    }

    // The loader resolves a reference to nothing as "none" while it reads, so references are
    // checked in the file's own text.
    void soundReferences(const JsonNode* root) {
        const JsonNode* pools = jsonMember(root, "soundPool");
        const JsonNode* soundClassList = jsonMember(root, "soundClass");
        const JsonNode* materials = jsonMember(root, "soundMaterial");
        auto reference = [&](const std::string& owner, const JsonNode* record, const char* key,
                             int64_t count, const char* what) {
            int64_t value = jsonInteger(jsonMember(record, key));
            if (value != 0 && (value < 0 || value >= count))
                add(owner + ": \"" + key + "\" " + std::to_string(value) + " is not " + what);
        };
        for (int64_t i = 0; i < jsonArraySize(pools); ++i)
            reference("sound pool " + std::to_string(i), jsonElement(pools, i), "next", i,
                      "an earlier sound pool");
        for (int64_t i = 0; i < jsonArraySize(soundClassList); ++i)
            for (const char* key : {"blocked", "light", "medium", "heavy"})
                reference("sound class " + std::to_string(i), jsonElement(soundClassList, i), key,
                          jsonArraySize(pools), "a sound pool");
        for (int64_t i = 0; i < jsonArraySize(materials); ++i)
            for (const char* key : {"cut", "pierce", "blunt"})
                reference("sound material " + std::to_string(i), jsonElement(materials, i), key,
                          jsonArraySize(soundClassList), "a sound class");
        for (size_t i = 0; i < soundPools.size(); ++i) {
            const SoundPool& p = soundPools[i];
            std::string owner = "sound pool " + std::to_string(i) + " (\"" + p.name + "\")";
            if (p.id < 0 || p.id > 254)
                add(owner + ": \"id\" " + std::to_string(p.id) +
                    " is outside 0-254: it never sounds");
            else if (p.id != int64_t(i))
                add(owner + ": \"id\" " + std::to_string(p.id) + " differs from its position");
            soundFiles(owner, p.name);
        }
    }

    // Every file of the pool that is there (its own, and its numbered variants up to the first
    // missing one), decoded as the game would: those it cannot play, with the reason.
    void soundFiles(const std::string& owner, const std::string& name) {
        if (name.empty()) return;
        for (const char* extension : {".wav", ".ogg"}) {
            std::vector<std::string> files = {"sound/" + name + extension};
            for (int k = 1; k <= 254; ++k) {
                std::string numbered = "sound/" + name + std::to_string(k) + extension;
                if (fileSize(directory + numbered) <= 0) break;
                files.push_back(numbered);
            }
            for (const std::string& file : files) {
                if (fileSize(directory + file) <= 0) continue;
                std::string problem = soundFileProblem(directory + file);
                if (!problem.empty())
                    add(owner + ": sound file \"" + file + "\" cannot be played: " + problem);
            }
        }
    }
};
} // namespace

std::vector<std::string> checkGameData(const JsonNode* root, const std::string& imageDirectory) {
    Checks checks;
    checks.directory = imageDirectory.empty() ? "" : imageDirectory + "/";
    if (classes.size() < 3)
        checks.add("only " + std::to_string(classes.size()) +
                   " classes: the game needs at least three");
    // The fight refuses to start unless the second class's idle carries a wind table.
    const FighterClass* second = classAt(1);
    if (second && (!second->idle || !second->idle->frontWind))
        checks.add(classLabel(1, *second) +
                   ": its idle animation has no \"frontWind\" table, so no fight can start");
    for (size_t i = 0; i < classes.size(); ++i)
        checks.fighterClass(i, *classes[i]);
    checks.soundReferences(root);
    for (const auto* list :
         {&landLightFront, &landLightBack, &landHeavyFront, &landHeavyBack, &loadingAnimations})
        for (const Animation* a : *list)
            checks.animation("effect \"" + a->name + "\"", *a);
    return checks.problems;
}

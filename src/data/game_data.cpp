// Loading the data file in its fixed order: sounds first, so that classes can refer to them.
#include "data/game_data.h"

#include <filesystem>

#include "data/animation.h"
#include "data/fighter_class.h"
#include "data/sound_library.h"
#include "runtime/json.h"
#include "runtime/screen.h"

std::vector<Animation*> landLightFront;
std::vector<Animation*> landLightBack;
std::vector<Animation*> landHeavyFront;
std::vector<Animation*> landHeavyBack;
std::vector<Animation*> loadingAnimations;

const char* const kDataFileError = "Failed to open the data file\n(do not move or delete it !)";

namespace {
// A member of the wrong type reads as an empty array.
template <typename F> void forEachElement(const JsonNode* array, F read) {
    for (int64_t i = 0; i < jsonArraySize(array); ++i) read(jsonElement(array, i));
}

std::vector<Animation*> readAnimationList(const JsonNode* array) {
    std::vector<Animation*> list;
    // An element that is not an object still makes a record with every field at its default.
    forEachElement(array, [&](const JsonNode* element) { list.push_back(readAnimation(element)); });
    return list;
}
} // namespace

std::string dataFileMessage(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return kDataFileError;
    const JsonError& why = lastJsonError();
    if (why.line == 0) // there, but not read
        return std::string("Failed to open the data file\n") + path + " is there but cannot be read (" +
               why.message + ")";
    return std::string("Failed to open the data file\n") + path + " is not valid: " + why.message +
           " (line " + std::to_string(why.line) + ", column " + std::to_string(why.column) + ")";
}

bool loadGameData(const std::string& path) {
    int64_t document = loadJsonFile(-1, path);
    if (!document) {
        messageBox("Error", dataFileMessage(path), kMessageErrorIcon);
        return false;
    }
    const JsonNode* root = jsonRoot(document);
    soundPools.clear();
    forEachElement(jsonMember(root, "soundPool"),
                   [](const JsonNode* e) { soundPools.push_back(readSoundPool(e)); });
    soundClasses.clear();
    forEachElement(jsonMember(root, "soundClass"),
                   [](const JsonNode* e) { soundClasses.push_back(readSoundClass(e)); });
    soundMaterials.clear();
    forEachElement(jsonMember(root, "soundMaterial"),
                   [](const JsonNode* e) { soundMaterials.push_back(readSoundMaterial(e)); });
    classes.clear();
    forEachElement(jsonMember(root, "class"),
                   [](const JsonNode* e) { classes.push_back(readClass(e)); });
    const JsonNode* effect = jsonMember(root, "effect");
    landLightFront = readAnimationList(jsonMember(effect, "LandLightFront"));
    landLightBack = readAnimationList(jsonMember(effect, "LandLightBack"));
    landHeavyFront = readAnimationList(jsonMember(effect, "LandHeavyFront"));
    landHeavyBack = readAnimationList(jsonMember(effect, "LandHeavyBack"));
    loadingAnimations = readAnimationList(jsonMember(root, "loading"));
    freeJson(document);
    return true;
}

void finishAnimations() {
    refreshFollowUpTables();
    linkClonedFrames();
}

void clearGameData() {
    classes.clear();
    selectableClasses.clear();
    landLightFront.clear();
    landLightBack.clear();
    landHeavyFront.clear();
    landHeavyBack.clear();
    loadingAnimations.clear();
    clearSoundLibrary();
    clearAnimations();
}

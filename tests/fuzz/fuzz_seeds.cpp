// fuzz_seeds GAME_DIR OUT_DIR: seeds cut from the generated content. The whole data.json is too
// big to mutate quickly, so each class goes into a file of its own beside the sound tables it
// refers to; the settings are written by the game's own writer.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fight/fighter.h"
#include "input/keys.h"
#include "input/player_setup.h"
#include "reader_feeds.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

namespace {
bool writeSeed(const std::filesystem::path& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

std::string member(const JsonNode* root, const char* key) {
    const JsonNode* value = jsonMember(root, key);
    return value ? "\"" + std::string(key) + "\":" + composeJsonNode(value, false) : "";
}

std::string joined(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        text += text.empty() ? "{" : ",";
        text += part;
    }
    return text + "}";
}

bool writeDataSeeds(const std::filesystem::path& game, const std::filesystem::path& out) {
    int64_t document = loadJsonFile(1, (game / "data.json").string());
    if (!document) {
        std::fprintf(stderr, "fuzz_seeds: cannot read %s\n", (game / "data.json").c_str());
        return false;
    }
    const JsonNode* root = jsonRoot(1);
    std::string sounds = joined({member(root, "soundPool"), member(root, "soundClass"),
                                 member(root, "soundMaterial")});
    bool ok = writeSeed(out / "sounds.json", sounds);
    ok = writeSeed(out / "effects.json", joined({member(root, "effect"), member(root, "loading")})) &&
         ok;
    const JsonNode* classes = jsonMember(root, "class");
    for (int64_t i = 0; i < jsonArraySize(classes); ++i) {
        std::string one = "\"class\":[" + composeJsonNode(jsonElement(classes, i), false) + "]";
        ok = writeSeed(out / ("class" + std::to_string(i) + ".json"),
                       joined({member(root, "soundPool"), member(root, "soundClass"),
                               member(root, "soundMaterial"), one})) &&
             ok;
    }
    freeJson(1);
    return ok;
}

bool writeSettingsSeeds(const std::filesystem::path& out) {
    settingsPath = (out / "defaults.txt").string();
    bool ok = saveSettings() == 1;
    // Every value away from its default, and keys the players chose themselves.
    settings.soundVolume = 0;
    settings.musicVolume = 100;
    settings.soundStereo = 0;
    settings.soundVariation = 3;
    settings.keyboardType = 0;
    settings.comboDisplay = 3;
    settings.windEnabled = 0;
    settings.particleEnabled = 0;
    settings.buffedFrames = 1;
    settings.attackDelay = 1;
    settings.showFps = 0;
    settings.screenSizeIndex = 9;
    settings.fullscreen = 0;
    settings.debugMode = -1;
    playerSetups[0].keyBindings.primary.left = keyCodeOf("A");
    playerSetups[0].jumpWithUp = 1;
    playerSetups[1].keyBindings.primary.heavy = keyCodeOf("Return");
    settingsPath = (out / "changed.txt").string();
    return saveSettings() == 1 && ok;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds GAME_DIR OUT_DIR\n");
        return 2;
    }
    std::filesystem::path game = argv[1], out = argv[2];
    std::filesystem::create_directories(out / "data");
    std::filesystem::create_directories(out / "settings");
    startReaderRuntime(out.string());
    bool ok = writeDataSeeds(game, out / "data");
    ok = writeSettingsSeeds(out / "settings") && ok;
    endReaderRuntime();
    return ok ? 0 : 1;
}

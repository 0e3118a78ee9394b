// Reading and writing the settings file. Reading is lenient: a wrong type reads as 0 and then
// meets the key's limits; an absent key leaves its setting as it was.
#include "settings/settings.h"

#include <algorithm>
#include <cstdio>

#include "input/keys.h"
#include "input/player_setup.h"
#include "runtime/files.h"
#include "runtime/json.h"
#include "runtime/screen.h"
#include "runtime/sound.h"
#include "settings/pacing.h"

Settings settings;

std::string settingsPath = "settings.txt";

namespace {
constexpr int64_t kSettingsJson = -1; // documents are numbered by the runtime

struct BindingKey {
    const char* key;
    int64_t Controls::*field;
};
const BindingKey kBindingKeys[] = {
    {"left", &Controls::left},       {"right", &Controls::right}, {"up", &Controls::up},
    {"down", &Controls::down},       {"neutral", &Controls::neutral},
    {"heavy", &Controls::heavy},     {"jump", &Controls::jump}};

void readBindings(const JsonNode* object, PlayerSetup& setup, int64_t player) {
    // A binding that is not an object (5, null, "x") is no binding at all: reading its key
    // names as "" would unassign every key of that player, for good after the next save.
    if (jsonType(object) != kJsonObject) {
        setup.keyBindings.primary = defaultControls(player);
        setup.jumpWithUp = 0;
        return;
    }
    for (const BindingKey& binding : kBindingKeys)
        setup.keyBindings.primary.*binding.field =
            keyCodeOf(jsonString(jsonMember(object, binding.key)));
    setup.jumpWithUp = jsonInteger(jsonMember(object, "jumpWithUp"));
}

// The settings file was there at the last load but could not be read.
bool unreadableFile = false;

// Copies an unreadable settings file to "<path>.bad" (replacing an older copy) before it is
// written over, and says so once on standard error. False when the copy cannot be made.
bool keepUnreadableFile() {
    if (!unreadableFile) return true;
    std::string text;
    std::string kept = settingsPath + ".bad";
    if (fileSize(settingsPath) >= 0) {
        if (!readWholeFile(settingsPath, text) || !replaceFileAtomically(kept, text)) return false;
        std::fprintf(stderr, "%s could not be read: kept as %s before saving the settings\n",
                     settingsPath.c_str(), kept.c_str());
    }
    unreadableFile = false;
    return true;
}

void writeBindings(JsonNode* object, const PlayerSetup& setup) {
    jsonSetObject(object);
    for (const BindingKey& binding : kBindingKeys)
        jsonSetString(jsonAddMember(object, binding.key),
                      keyNameOf(setup.keyBindings.primary.*binding.field));
    jsonSetInteger(jsonAddMember(object, "jumpWithUp"), setup.jumpWithUp);
}
} // namespace

bool addressCharacterAllowed(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '.' || c == ':' || c == '-' || c == '[' || c == ']';
}

bool plausibleAddress(const std::string& address) {
    return !address.empty() && address.size() <= kMaxAddressLength &&
           std::all_of(address.begin(), address.end(), addressCharacterAllowed);
}

Settings defaultSettings(int64_t desktopWidth) {
    Settings defaults;
    if (desktopWidth < 1500) defaults.comboDisplay = 2;
    return defaults;
}

void resetSettingsToDefaults(int64_t desktopWidth) {
    settings = defaultSettings(desktopWidth);
    applyFpsMode(kDefaultFpsMode);
}

int64_t loadSettings() {
    if (settingsPath.empty()) return 0;
    int64_t document = loadJsonFile(kSettingsJson, settingsPath);
    // A file that is there but cannot be read (or whose root is no object) is the player's
    // text all the same: the next save keeps it aside before writing over it.
    unreadableFile = fileSize(settingsPath) >= 0 &&
                     (!document || jsonType(jsonRoot(document)) != kJsonObject);
    if (!document || unreadableFile) {
        freeJson(kSettingsJson);
        return 0;
    }
    const JsonNode* root = jsonRoot(document);
    // Reads a present key as an integer and applies its rule; an absent key changes nothing.
    auto read = [&](const char* key, int64_t& setting, auto rule) {
        if (const JsonNode* value = jsonMember(root, key)) setting = rule(jsonInteger(value));
    };
    auto none = [](int64_t v) { return v; };
    read("SoundVolume", settings.soundVolume, [](int64_t v) { return std::clamp<int64_t>(v, 0, 100); });
    read("MusicVolume", settings.musicVolume, [](int64_t v) { return std::clamp<int64_t>(v, 0, 100); });
    read("SoundStereo", settings.soundStereo, [](int64_t v) { return std::clamp<int64_t>(v, 0, 60); });
    // On or off: the menu toggles 0 and 1, and any other value means on.
    read("SoundVariation", settings.soundVariation, [](int64_t v) -> int64_t { return v != 0 ? 1 : 0; });
    read("KeyboardType", settings.keyboardType, none);
    read("ComboDisplay", settings.comboDisplay, [](int64_t v) { return std::clamp<int64_t>(v, 1, 3); });
    read("WindEnabled", settings.windEnabled, none);
    read("ParticleEnabled", settings.particleEnabled, none);
    // 0, negative and anything above 5 mean the full preparation.
    read("BuffedFrames", settings.buffedFrames, [](int64_t v) { return v < 1 || v > 5 ? 5 : v; });
    read("AttackDelay", settings.attackDelay, [](int64_t v) { return v < 1 || v > 3 ? 3 : v; });
    // Only the counts the options offer: anything else is a single knock-out.
    read("Rounds", settings.rounds, [](int64_t v) { return v == 3 || v == 5 ? v : 1; });
    read("ShowFPS", settings.showFps, none);
    int64_t mode = fpsMode;
    read("FPSMode", mode, none);
    applyFpsMode(mode);
    read("ScreenSize", settings.screenSizeIndex, [](int64_t v) { return std::clamp<int64_t>(v, 0, 9); });
    const JsonNode* full = jsonMember(root, "Fullscreen");
    settings.fullscreen = full ? jsonInteger(full) : 1;
    settings.debugMode = jsonInteger(jsonMember(root, "Debug")) != 0 ? -1 : 0;
    // Older files lack the key: no lesson passed. A negative value (or another type) means
    // none either; bits past the lessons there are (a later game's) are dropped.
    int64_t passed = jsonInteger(jsonMember(root, "LessonsPassed"));
    settings.lessonsPassed = passed < 0 ? 0 : passed & ((int64_t(1) << kLessonCount) - 1);
    read("InputDelay", settings.inputDelay,
         [](int64_t v) { return v < 0 ? kAutoInputDelay : std::min<int64_t>(v, kMaxInputDelay); });
    // Only an address the join screen could have typed is offered again; anything else in the
    // file (another type, too long, other characters) is passed over.
    auto readAddress = [&](const char* key, std::string& setting) {
        const JsonNode* address = jsonMember(root, key);
        if (jsonType(address) != kJsonString) return;
        std::string text = jsonString(address);
        if (text.empty() || plausibleAddress(text)) setting = text;
    };
    readAddress("LastJoinAddress", settings.lastJoinAddress);
    readAddress("Lobby", settings.lobbyAddress);
    if (playersCreated) {
        readBindings(jsonMember(root, "player1right"), playerSetups[0], 1);
        readBindings(jsonMember(root, "player2left"), playerSetups[1], 2);
    }
    freeJson(document);
    return 1;
}

int64_t saveSettings() {
    if (settingsPath.empty()) return 0; // nowhere to keep them, as start-up said once
    int64_t document = createJson(kSettingsJson);
    JsonNode* root = jsonRoot(document);
    jsonSetObject(root);
    const std::pair<const char*, int64_t> values[] = {
        {"SoundVolume", settings.soundVolume},   {"MusicVolume", settings.musicVolume},
        {"SoundStereo", settings.soundStereo},   {"SoundVariation", settings.soundVariation},
        {"KeyboardType", settings.keyboardType}, {"ComboDisplay", settings.comboDisplay},
        {"WindEnabled", settings.windEnabled},   {"ParticleEnabled", settings.particleEnabled},
        {"BuffedFrames", settings.buffedFrames}, {"AttackDelay", settings.attackDelay},
        {"ShowFPS", settings.showFps},           {"FPSMode", fpsMode},
        {"ScreenSize", settings.screenSizeIndex}, {"Fullscreen", settings.fullscreen},
        {"Debug", settings.debugMode != 0 ? 1 : 0}, {"LessonsPassed", settings.lessonsPassed},
        {"InputDelay", settings.inputDelay},     {"Rounds", settings.rounds}};
    for (const auto& [key, value] : values) jsonSetInteger(jsonAddMember(root, key), value);
    jsonSetString(jsonAddMember(root, "LastJoinAddress"), settings.lastJoinAddress);
    jsonSetString(jsonAddMember(root, "Lobby"), settings.lobbyAddress);
    writeBindings(jsonAddMember(root, "player1right"), playerSetups[0]);
    writeBindings(jsonAddMember(root, "player2left"), playerSetups[1]);
    std::string text = composeJson(document) + "\n";
    freeJson(document);
    // Written beside the old file and renamed over it: a failure never loses the old settings.
    if (!keepUnreadableFile() || !replaceFileAtomically(settingsPath, text)) {
        messageBox("QRX error", "Cannot create settings file");
        return 0;
    }
    return 1;
}

void applyMusicVolume() {
    for (int64_t slot = 1; slot <= 8; ++slot)
        if (soundExists(slot)) setSoundVolume(slot, settings.musicVolume);
}

// One input through each of the game's readers; see reader_feeds.h.
#include "reader_feeds.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

#include "data/fighter_class.h"
#include "data/game_data.h"
#include "fight/fighter.h"
#include "input/bindings.h"
#include "input/player_setup.h"
#include "lobby/lobby_server.h"
#include "net/packets.h"
#include "replays/replay_file.h"
#include "runtime/compression.h"
#include "runtime/hashing.h"
#include "runtime/runtime.h"
#include "settings/pacing.h"
#include "settings/settings.h"

namespace {
// The readers that take a path read these files.
std::string dataFile, settingsFile, pngFile;

// Writes the whole input; false when it could not be written (a full RAM disk, say).
bool writeInput(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

std::string asText(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Composed text must read back; what it reads back as must compose to a fixed point. The first
// composition may still differ from the second: "%.10g" rounds, -0.0 comes back as the integer 0,
// and infinities come back as null.
std::string composeAndReadBack(int64_t document, bool pretty) {
    std::string first = composeJson(document, pretty);
    if (!parseJson(2, first)) return "composed JSON does not parse: " + first.substr(0, 200);
    std::string second = composeJson(2, false);
    if (!parseJson(3, second)) return "composed JSON does not parse: " + second.substr(0, 200);
    std::string third = composeJson(3, false);
    if (second != third)
        return "composing what was read back changes it: " + second.substr(0, 200) + " / " +
               third.substr(0, 200);
    return "";
}

// Walks arrays through the navigation calls the game's readers use.
void walk(const JsonNode* node, int depth) {
    if (depth > 64) return;
    (void)jsonType(node);
    (void)jsonString(node);
    (void)jsonInteger(node);
    (void)jsonDouble(node);
    (void)jsonMemberCount(node);
    for (int64_t i = 0; i < jsonArraySize(node); ++i) walk(jsonElement(node, i), depth + 1);
}

struct SettingsValues {
    int64_t values[16];
    Controls keys[2];
    int64_t jumpWithUp[2];
};

SettingsValues currentSettings() {
    SettingsValues s{{settings.soundVolume, settings.musicVolume, settings.soundStereo, settings.soundVariation, settings.keyboardType,
                      settings.comboDisplay, settings.windEnabled, settings.particleEnabled, settings.buffedFrames, settings.attackDelay,
                      settings.showFps, fpsMode, settings.screenSizeIndex, settings.fullscreen, settings.debugMode, 0},
                     {playerSetups[0].keyBindings.primary, playerSetups[1].keyBindings.primary},
                     {playerSetups[0].jumpWithUp, playerSetups[1].jumpWithUp}};
    return s;
}

bool sameKeys(const Controls& a, const Controls& b) {
    return a.up == b.up && a.down == b.down && a.right == b.right && a.left == b.left &&
           a.neutral == b.neutral && a.heavy == b.heavy && a.jump == b.jump;
}

bool sameSettings(const SettingsValues& a, const SettingsValues& b) {
    return std::memcmp(a.values, b.values, sizeof a.values) == 0 && sameKeys(a.keys[0], b.keys[0]) &&
           sameKeys(a.keys[1], b.keys[1]) && a.jumpWithUp[0] == b.jumpWithUp[0] &&
           a.jumpWithUp[1] == b.jumpWithUp[1];
}

// What start-up leaves before the settings file is read.
void settingsAsAtStartUp() {
    resetSettingsToDefaults(1920);
    playerSetups[0].keyBindings.primary = defaultControls(1);
    playerSetups[1].keyBindings.primary = defaultControls(2);
    playerSetups[0].jumpWithUp = playerSetups[1].jumpWithUp = 0;
}

// A decoded sound must be one the mixer can play: a short mix at its own rate.
std::string loadAndPlaySound(const uint8_t* data, size_t size) {
    std::string problem;
    if (loadSoundFromMemory(1, data, int64_t(size))) {
        int64_t channels = soundChannelCount(1);
        if (channels != 1 && channels != 2) problem = "decoded sound has " +
                                                      std::to_string(channels) + " channels";
        else if (soundLengthFrames(1) <= 0) problem = "decoded sound has no frames";
        else if (getSoundFrequency(1) <= 0) problem = "decoded sound has no rate";
        playSound(1);
        int16_t out[2 * 64];
        mixSounds(out, 64);
    }
    freeSound(-1);
    return problem;
}
// What a replay that reads promises: it encodes, the encoding reads back as the same replay,
// and encoding that gives the same bytes.
std::string checkReplay(const std::string& bytes) {
    Replay replay;
    std::string error;
    if (!parseReplay(bytes, replay, error)) {
        if (error.empty()) return "replay refused without a message";
        return "";
    }
    std::string encoded, again;
    if (!encodeReplay(replay, encoded, error)) return "a replay that reads does not encode: " + error;
    Replay back;
    if (!parseReplay(encoded, back, error)) return "an encoded replay does not read: " + error;
    if (!sameReplay(replay, back)) return "an encoded replay reads back different";
    if (!encodeReplay(back, again, error) || again != encoded)
        return "encoding a replay read back gives other bytes";
    return "";
}

// The input's bytes after its header line taken as an uncompressed body: compressed and
// checksummed as the writer does. "" when there is no header line.
std::string sealedReplay(const std::string& bytes) {
    static const std::string magic = "QRXREPLAY\n";
    if (bytes.compare(0, magic.size(), magic) != 0) return "";
    size_t headerEnd = bytes.find('\n', magic.size());
    if (headerEnd == std::string::npos) return "";
    std::string compressed;
    if (!deflateBytes(bytes.substr(headerEnd + 1), compressed)) return "";
    std::string sealed = bytes.substr(0, headerEnd + 1) + compressed;
    uint64_t checksum = hashBytes(sealed.data(), sealed.size());
    for (int i = 0; i < 8; ++i) sealed += char((checksum >> (8 * i)) & 0xff);
    return sealed;
}
} // namespace

void startReaderRuntime(const std::string& inputDirectory) {
    dataFile = inputDirectory + "/fuzz-data.json";
    settingsFile = inputDirectory + "/fuzz-settings.txt";
    pngFile = inputDirectory + "/fuzz-image.png";
    setHeadless(HeadlessOptions{});
    initSound();
    // The players exist, so the settings reader reads their keys as it does in the game.
    playersCreated = true;
    settingsPath = settingsFile;
    settingsAsAtStartUp();
}

void endReaderRuntime() {
    clearGameData();
    playersCreated = false;
    settingsPath = "settings.txt";
    endRuntime();
    clearHeadless();
}

std::string feedJson(const uint8_t* data, size_t size) {
    std::string problem;
    if (parseJson(1, asText(data, size))) {
        walk(jsonRoot(1), 0);
        problem = composeAndReadBack(1, true);
        if (problem.empty()) problem = composeAndReadBack(1, false);
    }
    freeJson(-1);
    return problem;
}

std::string feedGameData(const uint8_t* data, size_t size) {
    if (!writeInput(dataFile, data, size)) return "cannot write the input file";
    if (loadGameData(dataFile)) {
        finishAnimations();
        buildSelectableList(1);
    }
    clearGameData();
    freeSound(-1);
    freeJson(-1);
    clearMessageBoxLog();
    return "";
}

std::string feedSettings(const uint8_t* data, size_t size) {
    if (!writeInput(settingsFile, data, size)) return "cannot write the input file";
    settingsAsAtStartUp();
    std::string problem;
    if (loadSettings()) {
        // What was read must survive being saved and read again: the game saves the settings
        // it read whenever an option changes.
        SettingsValues read = currentSettings();
        if (!saveSettings()) {
            problem = "settings could not be saved";
        } else {
            settingsAsAtStartUp();
            if (!loadSettings()) problem = "saved settings do not read back";
            else if (!sameSettings(read, currentSettings()))
                problem = "saved settings read back different";
        }
    }
    settingsAsAtStartUp();
    freeJson(-1);
    clearMessageBoxLog();
    return problem;
}

std::string feedPng(const uint8_t* data, size_t size) {
    if (!writeInput(pngFile, data, size)) return "cannot write the input file";
    Bitmap bitmap;
    bool hasAlpha = false;
    if (!loadPng(pngFile, bitmap, hasAlpha)) return "";
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() != size_t(bitmap.width) * size_t(bitmap.height))
        return "decoded image has " + std::to_string(bitmap.pixels.size()) + " pixels for " +
               std::to_string(bitmap.width) + "x" + std::to_string(bitmap.height);
    return "";
}

std::string feedWav(const uint8_t* data, size_t size) {
    // Other files go to the Ogg decoder: the Ogg target's work.
    if (size < 4 || std::memcmp(data, "RIFF", 4) != 0) return "";
    return loadAndPlaySound(data, size);
}

std::string feedOgg(const uint8_t* data, size_t size) {
    if (size >= 4 && std::memcmp(data, "RIFF", 4) == 0) return "";
    return loadAndPlaySound(data, size);
}

std::string feedReplay(const uint8_t* data, size_t size) {
    std::string bytes = asText(data, size);
    std::string problem = checkReplay(bytes);
    std::string sealed = sealedReplay(bytes);
    if (problem.empty() && !sealed.empty()) problem = checkReplay(sealed);
    return problem;
}

std::string feedPackets(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    Packet packet;
    std::string reason;
    if (!decodePacket(bytes, packet, reason))
        return reason.empty() ? "packet refused without a reason" : "";
    PacketBytes encoded;
    if (!encodePacket(packet, encoded)) return "a packet that decodes does not encode";
    if (!std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.end()))
        return "a packet that decodes encodes to other bytes";
    return "";
}

std::string feedLobby(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    LobbyMessage message;
    std::string reason;
    if (decodeLobbyMessage(bytes, message, reason)) {
        LobbyBytes encoded;
        if (!encodeLobbyMessage(message, encoded)) return "a lobby message that decodes does not encode";
        if (!std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.end()))
            return "a lobby message that decodes encodes to other bytes";
    } else if (reason.empty()) {
        return "lobby message refused without a reason";
    }
    static LobbyServer lobby;
    static double nowMs = 0;
    nowMs += 250;
    LobbyEndpoint from{0xC6120000u | (size > 0 ? data[0] : 0u), uint16_t(40000 + size % 7)};
    std::vector<LobbyOutgoing> out;
    handleLobbyDatagram(lobby, from, bytes, nowMs, out);
    if (int64_t(nowMs) % 1000 == 0) expireLobby(lobby, nowMs);
    if (lobby.rooms.size() > kMaxRooms || lobby.sources.size() > kMaxSources ||
        lobby.streamBytes > kMaxStreamBytes)
        return "the lobby's tables grew past their limits";
    for (const LobbyOutgoing& sent : out)
        if (sent.bytes.size() > kMaxLobbyMessageBytes) return "the lobby sent an oversize datagram";
    return "";
}

const ReaderFeed kReaderFeeds[9] = {{"json", feedJson},   {"data", feedGameData},
                                    {"settings", feedSettings}, {"png", feedPng},
                                    {"wav", feedWav},     {"ogg", feedOgg},
                                    {"replay", feedReplay}, {"packets", feedPackets},
                                    {"lobby", feedLobby}};

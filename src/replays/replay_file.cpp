// The replay file. Layout (see README.md, "Replays"):
//   "QRXREPLAY\n"
//   the header: one line of compact JSON (no raw newline inside), then "\n"
//   the body: one zlib stream
//   the checksum: hashBytes of every byte before it, 8 bytes little-endian
// The body inflates to exactly 11 n + 8 m bytes for n frames and m hashes, both counted in the
// header: the n phases, the n actions of player one, the n of player two, then the frame
// lengths' 64-bit patterns as eight planes of n bytes (the sign and exponent byte first), then
// the m hashes, 8 bytes little-endian each. Planes put the bytes that hardly change (a frame
// length's top bytes, an action held for many frames) next to each other, for zlib.
#include "replays/replay_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "runtime/compression.h"
#include "runtime/files.h"
#include "runtime/hashing.h"
#include "runtime/json.h"

const char* const kReplayExtension = ".qrxreplay";

namespace {
const std::string kMagic = "QRXREPLAY\n";
constexpr size_t kChecksumBytes = 8;
constexpr size_t kFrameBytes = 11; // phase, two actions, 8 bytes of length
constexpr int64_t kMaxListPosition = 1 << 20; // classes, stances, stages: far above any list
constexpr uint8_t kActionBits = 0x7f;       // up, down, right, left, neutral, heavy, jump

std::string hexOf(uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[size_t(i)] = digits[value & 15];
    return text;
}

// 1 to 16 hex digits, either case.
bool parseHex(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 16) return false;
    value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) return false;
        value = value << 4 | uint64_t(digit);
    }
    return true;
}

void appendLittleEndian(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out += char((value >> (8 * i)) & 0xff);
}

uint64_t littleEndianAt(const std::string& bytes, size_t at) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + size_t(i)]);
    return value;
}

uint64_t bitsOf(double number) {
    uint64_t bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

double doubleOf(uint64_t bits) {
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

bool validFactor(double factor) {
    return std::isfinite(factor) && factor > 0 && factor <= kReplayMaxFactor;
}

template <typename Value>
std::string firstDuplicateName(const std::vector<std::pair<std::string, Value>>& pairs) {
    std::set<std::string> seen;
    for (const auto& pair : pairs)
        if (!seen.insert(pair.first).second) return pair.first;
    return "";
}

// ---- Writing ----

void setHex(JsonNode* node, uint64_t value) { jsonSetString(node, hexOf(value)); }

std::string composeHeader(const Replay& replay) {
    int64_t document = createJson(-1);
    JsonNode* root = jsonRoot(document);
    jsonSetObject(root);
    jsonSetInteger(jsonAddMember(root, "format"), replay.formatVersion);
    if (replay.formatVersion >= 2) jsonSetInteger(jsonAddMember(root, "rounds"), replay.rounds);
    jsonSetString(jsonAddMember(root, "game"), replay.gameVersion);
    jsonSetString(jsonAddMember(root, "recordedAt"), replay.recordedAt);
    setHex(jsonAddMember(root, "dataHash"), replay.dataHash);
    JsonNode* content = jsonAddMember(root, "content");
    jsonSetObject(content);
    for (const auto& [name, hash] : replay.contentHashes) setHex(jsonAddMember(content, name), hash);
    jsonSetInteger(jsonAddMember(root, "mode"), replay.mode);
    JsonNode* sides = jsonAddMember(root, "sides");
    jsonSetArray(sides);
    for (const ReplaySide& side : replay.sides) {
        JsonNode* object = jsonAddElement(sides);
        jsonSetObject(object);
        jsonSetString(jsonAddMember(object, "class"), side.className);
        jsonSetInteger(jsonAddMember(object, "classIndex"), side.classIndex);
        jsonSetInteger(jsonAddMember(object, "stance"), side.stance);
        jsonSetInteger(jsonAddMember(object, "colour"), side.colour);
        jsonSetInteger(jsonAddMember(object, "alternateColour"), side.alternateColour);
        jsonSetInteger(jsonAddMember(object, "botLevel"), side.botLevel);
    }
    jsonSetInteger(jsonAddMember(root, "stage"), replay.stage);
    JsonNode* settings = jsonAddMember(root, "settings");
    jsonSetObject(settings);
    for (const auto& [name, value] : replay.settings) jsonSetInteger(jsonAddMember(settings, name), value);
    JsonNode* random = jsonAddMember(root, "random");
    jsonSetArray(random);
    for (uint64_t word : replay.randomState) setHex(jsonAddElement(random), word);
    jsonSetInteger(jsonAddMember(root, "frames"), int64_t(replay.frames.size()));
    jsonSetInteger(jsonAddMember(root, "hashes"), int64_t(replay.hashes.size()));
    jsonSetInteger(jsonAddMember(root, "result"), replay.result);
    setHex(jsonAddMember(root, "finalHash"), replay.finalHash);
    std::string text = composeJson(document, false);
    freeJson(document);
    return text;
}

std::string composeBody(const Replay& replay) {
    size_t n = replay.frames.size();
    std::string body(kFrameBytes * n + 8 * replay.hashes.size(), '\0');
    for (size_t i = 0; i < n; ++i) {
        const ReplayFrame& frame = replay.frames[i];
        body[i] = char(frame.phase);
        body[n + i] = char(frame.actions[0]);
        body[2 * n + i] = char(frame.actions[1]);
        uint64_t bits = bitsOf(frame.factor);
        for (size_t plane = 0; plane < 8; ++plane)
            body[(3 + plane) * n + i] = char((bits >> (56 - 8 * plane)) & 0xff);
    }
    std::string hashes;
    for (uint64_t hash : replay.hashes) appendLittleEndian(hashes, hash);
    body.replace(kFrameBytes * n, hashes.size(), hashes);
    return body;
}

// ---- Reading ----

// Reads the header's fields, remembering the first thing wrong.
struct HeaderReader {
    const JsonNode* root = nullptr;
    std::string problem;

    void fail(const std::string& what) {
        if (problem.empty()) problem = what;
    }
    int64_t integer(const JsonNode* node, const std::string& name, int64_t min, int64_t max) {
        int64_t value = jsonInteger(node);
        // Integral numbers only: 1.5 or "1" would be read as something the file does not say.
        if (jsonType(node) != kJsonNumber || double(value) != jsonDouble(node) || value < min ||
            value > max) {
            fail(name + " is not a whole number within " + std::to_string(min) + "-" +
                 std::to_string(max));
            return min;
        }
        return value;
    }
    std::string text(const JsonNode* node, const std::string& name) {
        if (jsonType(node) != kJsonString) fail(name + " is not a text");
        return jsonString(node);
    }
    uint64_t hex(const JsonNode* node, const std::string& name) {
        uint64_t value = 0;
        if (jsonType(node) != kJsonString || !parseHex(jsonString(node), value))
            fail(name + " is not a 64-bit hex number");
        return value;
    }
    const JsonNode* member(const JsonNode* object, const char* key, int64_t type) {
        const JsonNode* node = jsonMember(object, key);
        if (jsonType(node) != type) fail(std::string("no ") + key);
        return node;
    }
};

void readSide(HeaderReader& reader, const JsonNode* object, ReplaySide& side,
              const std::string& name) {
    if (jsonType(object) != kJsonObject) {
        reader.fail(name + " is not an object");
        return;
    }
    side.className = reader.text(jsonMember(object, "class"), name + " class");
    side.classIndex = reader.integer(jsonMember(object, "classIndex"), name + " classIndex", 0,
                                     kMaxListPosition);
    side.stance = reader.integer(jsonMember(object, "stance"), name + " stance", 0, kMaxListPosition);
    side.colour = reader.integer(jsonMember(object, "colour"), name + " colour", 0, 0xffffff);
    side.alternateColour = reader.integer(jsonMember(object, "alternateColour"),
                                          name + " alternateColour", 0, 1);
    side.botLevel = reader.integer(jsonMember(object, "botLevel"), name + " botLevel", 0, 3);
}

// The header's fields, and the frame and hash counts the body must hold.
void readHeader(HeaderReader& reader, Replay& replay, int64_t& frameCount, int64_t& hashCount) {
    const JsonNode* root = reader.root;
    if (replay.formatVersion >= 2)
        replay.rounds = reader.integer(jsonMember(root, "rounds"), "rounds", 3, 5);
    replay.gameVersion = reader.text(jsonMember(root, "game"), "game");
    replay.recordedAt = reader.text(jsonMember(root, "recordedAt"), "recordedAt");
    replay.dataHash = reader.hex(jsonMember(root, "dataHash"), "dataHash");
    const JsonNode* content = reader.member(root, "content", kJsonObject);
    for (int64_t i = 0; i < jsonMemberCount(content); ++i) {
        std::string name = jsonMemberKey(content, i);
        replay.contentHashes.emplace_back(name, reader.hex(jsonMemberAt(content, i), "content " + name));
    }
    replay.mode = reader.integer(jsonMember(root, "mode"), "mode", 0, 2);
    const JsonNode* sides = reader.member(root, "sides", kJsonArray);
    if (jsonArraySize(sides) != 2) reader.fail("sides is not two sides");
    readSide(reader, jsonElement(sides, 0), replay.sides[0], "side 1");
    readSide(reader, jsonElement(sides, 1), replay.sides[1], "side 2");
    replay.stage = reader.integer(jsonMember(root, "stage"), "stage", 0, kMaxListPosition);
    const JsonNode* settings = reader.member(root, "settings", kJsonObject);
    for (int64_t i = 0; i < jsonMemberCount(settings); ++i) {
        std::string name = jsonMemberKey(settings, i);
        replay.settings.emplace_back(name, reader.integer(jsonMemberAt(settings, i), "setting " + name,
                                                          INT64_MIN, INT64_MAX));
    }
    const JsonNode* random = reader.member(root, "random", kJsonArray);
    if (jsonArraySize(random) != 4) reader.fail("random is not four numbers");
    for (int64_t i = 0; i < 4; ++i)
        replay.randomState[size_t(i)] = reader.hex(jsonElement(random, i), "random");
    frameCount = reader.integer(jsonMember(root, "frames"), "frames", 0, kReplayMaxFrames);
    hashCount = reader.integer(jsonMember(root, "hashes"), "hashes", 0,
                               frameCount / kReplayHashInterval);
    replay.result = reader.integer(jsonMember(root, "result"), "result", 0, 2);
    replay.finalHash = reader.hex(jsonMember(root, "finalHash"), "finalHash");
}

// The frames and hashes out of a body of exactly the size the counts give.
std::string readBody(const std::string& body, size_t n, size_t m, Replay& replay) {
    replay.frames.resize(n);
    for (size_t i = 0; i < n; ++i) {
        ReplayFrame& frame = replay.frames[i];
        frame.phase = uint8_t(body[i]);
        frame.actions[0] = uint8_t(body[n + i]);
        frame.actions[1] = uint8_t(body[2 * n + i]);
        uint64_t bits = 0;
        for (size_t plane = 0; plane < 8; ++plane) bits = bits << 8 | uint8_t(body[(3 + plane) * n + i]);
        frame.factor = doubleOf(bits);
    }
    replay.hashes.resize(m);
    for (size_t k = 0; k < m; ++k) replay.hashes[k] = littleEndianAt(body, kFrameBytes * n + 8 * k);
    return replayProblem(replay);
}

// Why the file's bytes are no replay this game reads, or "" with the replay read.
std::string parse(const std::string& bytes, Replay& replay) {
    if (bytes.compare(0, kMagic.size(), kMagic) != 0) return "not a Quarrelix replay";
    if (int64_t(bytes.size()) > kReplayMaxFileBytes)
        return "damaged replay: " + std::to_string(bytes.size()) + " bytes, more than any replay (" +
               std::to_string(kReplayMaxFileBytes) + ")";
    size_t headerEnd = bytes.find('\n', kMagic.size());
    if (headerEnd == std::string::npos || headerEnd - kMagic.size() > size_t(kReplayMaxHeaderBytes))
        return headerEnd == std::string::npos && bytes.size() - kMagic.size() <= size_t(kReplayMaxHeaderBytes)
                   ? "damaged replay: the header stops early"
                   : "damaged replay: the header is longer than " +
                         std::to_string(kReplayMaxHeaderBytes) + " bytes";
    int64_t document = parseJson(-1, bytes.substr(kMagic.size(), headerEnd - kMagic.size()));
    if (!document) return "damaged replay: header: " + lastJsonError().message;
    HeaderReader reader;
    reader.root = jsonRoot(document);
    int64_t frameCount = 0, hashCount = 0;
    std::string problem;
    const JsonNode* format = jsonMember(reader.root, "format");
    int64_t version = jsonInteger(format);
    if (jsonType(reader.root) != kJsonObject || jsonType(format) != kJsonNumber ||
        double(version) != jsonDouble(format) || version < 1) {
        problem = "damaged replay: the header has no format number";
    } else if (version > kReplayFormat) {
        // Later formats keep the magic line and the header's "format": anything after may change.
        problem = "replay format " + std::to_string(version) + " is newer than this game reads (" +
                  std::to_string(kReplayFormat) + ")";
    } else {
        replay.formatVersion = version;
        readHeader(reader, replay, frameCount, hashCount);
        if (!reader.problem.empty()) problem = "damaged replay: header: " + reader.problem;
    }
    freeJson(document);
    if (!problem.empty()) return problem;
    // The checksum comes after the format: a newer format may end differently.
    size_t bodyStart = headerEnd + 1;
    if (bytes.size() < bodyStart + kChecksumBytes) return "damaged replay: the file stops early";
    size_t bodyEnd = bytes.size() - kChecksumBytes;
    if (littleEndianAt(bytes, bodyEnd) != hashBytes(bytes.data(), bodyEnd))
        return "damaged replay: the checksum does not match";
    // At most 11 MB: the counts were limited above, and bytes are made only as the stream holds
    // them.
    size_t bodySize = kFrameBytes * size_t(frameCount) + 8 * size_t(hashCount);
    std::string body;
    InflateResult inflated = inflateBytes(bytes.substr(bodyStart, bodyEnd - bodyStart), bodySize, body);
    if (inflated != kInflated) return std::string("damaged replay: ") + inflateResultText(inflated);
    if (body.size() != bodySize)
        return "damaged replay: the frames hold " + std::to_string(body.size()) + " bytes, not " +
               std::to_string(bodySize);
    problem = readBody(body, size_t(frameCount), size_t(hashCount), replay);
    return problem.empty() ? "" : "damaged replay: " + problem;
}

} // namespace

std::string replayProblem(const Replay& replay) {
    if (replay.formatVersion < 1 || replay.formatVersion > kReplayFormat)
        return "format " + std::to_string(replay.formatVersion) + " cannot be written (only 1 to " +
               std::to_string(kReplayFormat) + ")";
    // Format 1 is a single round; format 2 says how many rounds the match had.
    if (replay.formatVersion == 1 ? replay.rounds != 1 : replay.rounds != 3 && replay.rounds != 5)
        return "rounds " + std::to_string(replay.rounds) + " in format " +
               std::to_string(replay.formatVersion);
    if (replay.mode < 0 || replay.mode > 2) return "mode " + std::to_string(replay.mode);
    for (int i = 0; i < 2; ++i) {
        const ReplaySide& side = replay.sides[i];
        std::string name = "side " + std::to_string(i + 1);
        if (side.classIndex < 0 || side.classIndex > kMaxListPosition || side.stance < 0 ||
            side.stance > kMaxListPosition)
            return name + " has class " + std::to_string(side.classIndex) + " stance " +
                   std::to_string(side.stance);
        if (side.colour < 0 || side.colour > 0xffffff) return name + " has no RGB colour";
        if (side.alternateColour != 0 && side.alternateColour != 1)
            return name + " alternateColour is not 0 or 1";
        if (side.botLevel < 0 || side.botLevel > 3) return name + " botLevel is not 0-3";
    }
    if (replay.stage < 0 || replay.stage > kMaxListPosition) return "stage " + std::to_string(replay.stage);
    if (replay.result < 0 || replay.result > 2) return "result " + std::to_string(replay.result);
    if (int64_t(replay.frames.size()) > kReplayMaxFrames)
        return std::to_string(replay.frames.size()) + " frames, more than a replay holds (" +
               std::to_string(kReplayMaxFrames) + ")";
    if (int64_t(replay.hashes.size()) > int64_t(replay.frames.size()) / kReplayHashInterval)
        return std::to_string(replay.hashes.size()) + " hashes for " +
               std::to_string(replay.frames.size()) + " frames (one per " +
               std::to_string(kReplayHashInterval) + ")";
    for (size_t i = 0; i < replay.frames.size(); ++i) {
        const ReplayFrame& frame = replay.frames[i];
        if (frame.phase > 2) return "frame " + std::to_string(i) + " has phase " + std::to_string(frame.phase);
        if ((frame.actions[0] | frame.actions[1]) & ~kActionBits)
            return "frame " + std::to_string(i) + " has actions beyond bit 6";
        if (!validFactor(frame.factor))
            return "frame " + std::to_string(i) + " has a length that is not within 0-" +
                   std::to_string(int(kReplayMaxFactor)) + " ticks";
    }
    std::string twice = firstDuplicateName(replay.settings);
    if (!twice.empty()) return "two settings named " + twice;
    twice = firstDuplicateName(replay.contentHashes);
    if (!twice.empty()) return "two file groups named " + twice;
    return "";
}

bool encodeReplay(const Replay& replay, std::string& bytes, std::string& error) {
    bytes.clear();
    std::string problem = replayProblem(replay);
    if (!problem.empty()) {
        error = "cannot record this replay: " + problem;
        return false;
    }
    std::string header = composeHeader(replay);
    // Names that are not UTF-8 would compose into a header the reader refuses: better no file.
    int64_t check = parseJson(-1, header);
    if (!check) {
        error = "cannot record this replay: a name is not UTF-8 text";
        return false;
    }
    freeJson(check);
    std::string compressed;
    if (!deflateBytes(composeBody(replay), compressed)) {
        error = "cannot record this replay: out of memory";
        return false;
    }
    bytes.reserve(kMagic.size() + header.size() + 1 + compressed.size() + kChecksumBytes);
    bytes = kMagic + header + "\n" + compressed;
    appendLittleEndian(bytes, hashBytes(bytes.data(), bytes.size()));
    if (int64_t(bytes.size()) > kReplayMaxFileBytes) {
        error = "cannot record this replay: larger than " + std::to_string(kReplayMaxFileBytes) + " bytes";
        bytes.clear();
        return false;
    }
    return true;
}

bool parseReplay(const std::string& bytes, Replay& replay, std::string& error) {
    Replay read;
    std::string problem = parse(bytes, read);
    if (!problem.empty()) {
        error = problem;
        return false;
    }
    replay = std::move(read);
    return true;
}

bool writeReplay(const std::string& path, const Replay& replay, std::string& error) {
    std::string bytes;
    if (!encodeReplay(replay, bytes, error)) return false;
    // Binary bytes go through as they are: the temporary file is written with fwrite.
    if (!replaceFileAtomically(path, bytes)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool readReplay(const std::string& path, Replay& replay, std::string& error) {
    int64_t size = fileSize(path);
    if (size < 0) {
        error = size == -2 ? path + " is a directory" : "cannot read " + path;
        return false;
    }
    // Checked before reading: a huge file is never loaded just to be refused.
    if (size > kReplayMaxFileBytes) {
        error = "damaged replay: " + std::to_string(size) + " bytes, more than any replay (" +
                std::to_string(kReplayMaxFileBytes) + ")";
        return false;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        error = "cannot read " + path;
        return false;
    }
    return parseReplay(bytes, replay, error);
}

bool sameReplay(const Replay& a, const Replay& b) {
    auto sameSide = [](const ReplaySide& x, const ReplaySide& y) {
        return x.className == y.className && x.classIndex == y.classIndex && x.stance == y.stance &&
               x.colour == y.colour && x.alternateColour == y.alternateColour &&
               x.botLevel == y.botLevel;
    };
    auto sameFrame = [](const ReplayFrame& x, const ReplayFrame& y) {
        return x.phase == y.phase && x.actions[0] == y.actions[0] && x.actions[1] == y.actions[1] &&
               bitsOf(x.factor) == bitsOf(y.factor);
    };
    return a.formatVersion == b.formatVersion && a.rounds == b.rounds &&
           a.gameVersion == b.gameVersion && a.dataHash == b.dataHash && a.contentHashes == b.contentHashes &&
           a.recordedAt == b.recordedAt && a.mode == b.mode && sameSide(a.sides[0], b.sides[0]) &&
           sameSide(a.sides[1], b.sides[1]) && a.stage == b.stage && a.settings == b.settings &&
           a.randomState == b.randomState &&
           std::equal(a.frames.begin(), a.frames.end(), b.frames.begin(), b.frames.end(), sameFrame) &&
           a.hashes == b.hashes && a.result == b.result && a.finalHash == b.finalHash;
}

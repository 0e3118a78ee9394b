// The lobby's wire format.
#include "lobby/lobby_messages.h"

#include <cctype>
#include <cstring>

namespace {
// Which fields a kind carries, in this order on the wire.
enum Field : uint16_t {
    kToken = 1 << 0,
    kCode = 1 << 1,
    kEndpoints = 1 << 2,
    kPublic = 1 << 3,
    kPeerToken = 1 << 4,
    kRole = 1 << 5,
    kReason = 1 << 6,
    kMatch = 1 << 7,
    kFrame = 1 << 8,
    kResult = 1 << 9,
    kHash = 1 << 10,
    kSetupPayload = 1 << 11,
    kInputsPayload = 1 << 12,
};

struct KindLayout {
    LobbyKind kind;
    uint16_t fields;
};
const KindLayout kLayouts[] = {
    {kLobbyOpenRoom, kToken | kEndpoints},
    {kLobbyJoinRoom, kToken | kCode | kEndpoints},
    {kLobbyKeepAlive, kToken},
    {kLobbyCandidate, kToken | kEndpoints},
    {kLobbyRelayRequest, kToken},
    {kLobbyLeave, kToken},
    {kLobbyStreamStart, kToken | kMatch | kSetupPayload},
    {kLobbyStreamInputs, kToken | kMatch | kFrame | kInputsPayload},
    {kLobbyStreamEnd, kToken | kMatch | kFrame | kResult | kHash},
    {kLobbyWatch, kToken | kCode | kMatch | kFrame},
    {kLobbyRoomOpened, kToken | kCode | kPublic},
    {kLobbyPeer, kToken | kRole | kPublic | kEndpoints | kPeerToken},
    {kLobbyPeerCandidate, kToken | kEndpoints},
    {kLobbyRelayReady, kToken | kPublic},
    {kLobbyStreamAck, kToken | kMatch | kFrame | kHash},
    {kLobbyWatchStart, kToken | kMatch | kSetupPayload},
    {kLobbyWatchInputs, kToken | kMatch | kFrame | kInputsPayload},
    {kLobbyWatchEnd, kToken | kMatch | kFrame | kResult | kHash},
    {kLobbyWatchWait, kToken | kMatch},
    {kLobbyRefused, kToken | kReason},
    {kLobbyProbe, kToken | kPeerToken | kFrame},
    {kLobbyProbeAnswer, kToken | kPeerToken | kFrame},
};

const KindLayout* layoutOf(uint8_t kind) {
    for (const KindLayout& layout : kLayouts)
        if (layout.kind == kind) return &layout;
    return nullptr;
}

bool isCodeLetter(char c) {
    return c != '\0' && std::strchr(kRoomCodeLetters, c) != nullptr;
}

bool isRoomCode(const std::string& code) {
    if (code.size() != kRoomCodeLength) return false;
    for (char c : code)
        if (!isCodeLetter(c)) return false;
    return true;
}

void little(LobbyBytes& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

void endpoint(LobbyBytes& out, const LobbyEndpoint& e) {
    little(out, e.address, 4);
    little(out, e.port, 2);
}

// Reads fixed-width little-endian fields; a read past the end fails and says what was missing.
struct Reader {
    std::span<const uint8_t> bytes;
    size_t at = 0;
    std::string& reason;
    bool little(uint64_t& value, size_t width, const char* field) {
        if (bytes.size() - at < width) {
            reason = std::string("truncated: no room for ") + field;
            return false;
        }
        value = 0;
        for (size_t i = 0; i < width; ++i) value |= uint64_t(bytes[at + i]) << (8 * i);
        at += width;
        return true;
    }
    bool endpoint(LobbyEndpoint& e, const char* field) {
        uint64_t address = 0, port = 0;
        if (!little(address, 4, field) || !little(port, 2, field)) return false;
        e = {uint32_t(address), uint16_t(port)};
        return true;
    }
};

size_t payloadLimit(uint16_t fields) {
    return fields & kSetupPayload ? kMaxStartSetupBytes : 2 * kMaxStreamFramesPerMessage;
}
} // namespace

bool encodeLobbyMessage(const LobbyMessage& m, LobbyBytes& out) {
    out.clear();
    const KindLayout* layout = layoutOf(m.kind);
    if (!layout) return false;
    const uint16_t f = layout->fields;
    bool fits = (!(f & kCode) || isRoomCode(m.code)) &&
                (!(f & kEndpoints) || m.endpoints.size() <= kMaxEndpoints) &&
                (!(f & kFrame) || (m.frame >= -1 && m.frame <= 0x7FFFFFFF)) &&
                (!(f & (kSetupPayload | kInputsPayload)) || m.payload.size() <= payloadLimit(f)) &&
                (!(f & kInputsPayload) || m.payload.size() % 2 == 0);
    if (!fits) return false;
    out = {'Q', 'L', kLobbyProtocolVersion, uint8_t(m.kind)};
    if (f & kToken) little(out, m.token, 8);
    if (f & kCode) out.insert(out.end(), m.code.begin(), m.code.end());
    if (f & kRole) little(out, m.role, 1);
    if (f & kReason) little(out, m.reason, 1);
    if (f & kPublic) endpoint(out, m.publicEndpoint);
    if (f & kEndpoints) {
        little(out, m.endpoints.size(), 1);
        for (const LobbyEndpoint& e : m.endpoints) endpoint(out, e);
    }
    if (f & kPeerToken) little(out, m.peerToken, 8);
    if (f & kMatch) little(out, m.match, 4);
    if (f & kFrame) little(out, m.frame < 0 ? 0xFFFFFFFFu : uint64_t(m.frame), 4);
    if (f & kResult) little(out, m.result, 1);
    if (f & kHash) little(out, m.hash, 8);
    if (f & (kSetupPayload | kInputsPayload)) {
        little(out, m.payload.size(), 2);
        out.insert(out.end(), m.payload.begin(), m.payload.end());
    }
    return true;
}

bool decodeLobbyMessage(std::span<const uint8_t> bytes, LobbyMessage& out, std::string& reason) {
    out = LobbyMessage{};
    if (bytes.size() > kMaxLobbyMessageBytes) {
        reason = "a lobby message of " + std::to_string(bytes.size()) + " bytes is too long";
        return false;
    }
    if (bytes.size() < kLobbyHeaderBytes || !isLobbyDatagram(bytes)) {
        reason = "not a lobby message";
        return false;
    }
    if (bytes[2] != kLobbyProtocolVersion) {
        reason = "lobby protocol " + std::to_string(int(bytes[2])) + " where " +
                 std::to_string(int(kLobbyProtocolVersion)) + " was expected";
        return false;
    }
    const KindLayout* layout = layoutOf(bytes[3]);
    if (!layout) {
        reason = "unknown lobby message kind " + std::to_string(int(bytes[3]));
        return false;
    }
    const uint16_t f = layout->fields;
    out.kind = layout->kind;
    Reader r{bytes, kLobbyHeaderBytes, reason};
    uint64_t value = 0;
    if (f & kToken) {
        if (!r.little(out.token, 8, "the token")) return false;
    }
    if (f & kCode) {
        if (bytes.size() - r.at < kRoomCodeLength) {
            reason = "truncated: no room for the room code";
            return false;
        }
        out.code.assign(bytes.begin() + long(r.at), bytes.begin() + long(r.at + kRoomCodeLength));
        r.at += kRoomCodeLength;
        if (!isRoomCode(out.code)) {
            reason = "the room code holds a letter no code has";
            return false;
        }
    }
    if (f & kRole) {
        if (!r.little(value, 1, "the role")) return false;
        out.role = uint8_t(value);
    }
    if (f & kReason) {
        if (!r.little(value, 1, "the reason")) return false;
        out.reason = uint8_t(value);
    }
    if ((f & kPublic) && !r.endpoint(out.publicEndpoint, "the public address")) return false;
    if (f & kEndpoints) {
        if (!r.little(value, 1, "the number of addresses")) return false;
        if (value > kMaxEndpoints) {
            reason = std::to_string(value) + " addresses, more than " +
                     std::to_string(kMaxEndpoints);
            return false;
        }
        out.endpoints.resize(size_t(value));
        for (LobbyEndpoint& e : out.endpoints)
            if (!r.endpoint(e, "an address")) return false;
    }
    if ((f & kPeerToken) && !r.little(out.peerToken, 8, "the peer's token")) return false;
    if (f & kMatch) {
        if (!r.little(value, 4, "the match")) return false;
        out.match = uint32_t(value);
    }
    if (f & kFrame) {
        if (!r.little(value, 4, "the frame")) return false;
        if (value != 0xFFFFFFFFu && value > 0x7FFFFFFF) {
            reason = "the frame is out of range";
            return false;
        }
        out.frame = value == 0xFFFFFFFFu ? -1 : int64_t(value);
    }
    if (f & kResult) {
        if (!r.little(value, 1, "the result")) return false;
        out.result = uint8_t(value);
    }
    if ((f & kHash) && !r.little(out.hash, 8, "the hash")) return false;
    if (f & (kSetupPayload | kInputsPayload)) {
        if (!r.little(value, 2, "the payload's length")) return false;
        if (value > payloadLimit(f) || ((f & kInputsPayload) && value % 2 != 0)) {
            reason = "a payload of " + std::to_string(value) + " bytes does not fit its kind";
            return false;
        }
        if (bytes.size() - r.at < value) {
            reason = "truncated: no room for the payload";
            return false;
        }
        out.payload.assign(bytes.begin() + long(r.at), bytes.begin() + long(r.at + value));
        r.at += size_t(value);
    }
    if (r.at != bytes.size()) {
        reason = std::to_string(bytes.size() - r.at) + " bytes after the message's fields";
        return false;
    }
    return true;
}

bool isLobbyDatagram(std::span<const uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'Q' && bytes[1] == 'L';
}

std::string normalizedRoomCode(const std::string& typed) {
    std::string code;
    for (char c : typed) {
        if (c == ' ' || c == '-') continue;
        code += char(std::toupper(static_cast<unsigned char>(c)));
    }
    return isRoomCode(code) ? code : "";
}

std::string endpointText(const LobbyEndpoint& e) {
    return std::to_string(e.address >> 24) + "." + std::to_string((e.address >> 16) & 0xFF) + "." +
           std::to_string((e.address >> 8) & 0xFF) + "." + std::to_string(e.address & 0xFF) + ":" +
           std::to_string(e.port);
}

std::string refusalMessage(uint8_t reason) {
    switch (reason) {
    case kRefusedNoSuchRoom: return "no room has this code";
    case kRefusedRoomFull: return "the room is full";
    case kRefusedTooManyTries: return "too many wrong codes from this address: try again in a minute";
    case kRefusedBusy: return "the lobby is full: try again later";
    case kRefusedUnknownToken: return "the room is gone";
    default: return "the lobby refused (reason " + std::to_string(int(reason)) + ")";
    }
}

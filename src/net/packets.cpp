// The wire format of online play.
#include "net/packets.h"

#include <cstdint>
#include <limits>

namespace {
// Appends fixed-width little-endian fields.
struct Writer {
    PacketBytes& out;
    void u8(uint64_t value) { out.push_back(uint8_t(value)); }
    void little(uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    }
};

// Reads fixed-width little-endian fields; a read past the end fails and says so once.
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
        for (size_t i = 0; i < width; ++i)
            value |= uint64_t(bytes[at + i]) << (8 * i);
        at += width;
        return true;
    }
    bool flag(bool& value, const char* field) {
        uint64_t byte = 0;
        if (!little(byte, 1, field)) return false;
        if (byte > 1) {
            reason = std::string(field) + " is neither 0 nor 1";
            return false;
        }
        value = byte == 1;
        return true;
    }
    bool finished() {
        if (at == bytes.size()) return true;
        reason = std::to_string(bytes.size() - at) + " bytes after the packet's fields";
        return false;
    }
};

void writeHeader(Writer& w, PacketKind kind) {
    w.u8('Q');
    w.u8('X');
    w.u8(kProtocolVersion);
    w.u8(kind);
}

bool fitsByte(int64_t value) {
    return value >= 0 && value <= 255;
}

// Checks the header for the expected kind and leaves the reader after it.
bool readHeader(Reader& r, PacketKind expected) {
    PacketKind kind{};
    if (!readPacketKind(r.bytes, kind, r.reason)) return false;
    if (kind != expected) {
        r.reason = "packet kind " + std::to_string(int(kind)) + " where " +
                   std::to_string(int(expected)) + " was expected";
        return false;
    }
    r.at = kPacketHeaderBytes;
    return true;
}

// A frame of an Inputs packet: 32 bits on the wire, within kMaxWireFrame.
bool readWireFrame(Reader& r, int64_t& frame, bool noFrameAllowed, const char* field) {
    uint64_t value = 0;
    if (!r.little(value, 4, field)) return false;
    if (noFrameAllowed && value == 0xFFFFFFFFu) {
        frame = kNoFrame;
        return true;
    }
    if (value > uint64_t(kMaxWireFrame)) {
        r.reason = std::string(field) + " out of range";
        return false;
    }
    frame = int64_t(value);
    return true;
}
} // namespace

bool encodeHello(const HelloPacket& packet, PacketBytes& out) {
    out.clear();
    if (packet.gameVersion.size() > kMaxGameVersionBytes) return false;
    Writer w{out};
    writeHeader(w, kPacketHello);
    w.u8(packet.gameVersion.size());
    for (char c : packet.gameVersion)
        w.u8(uint8_t(c));
    w.little(packet.dataHash, 8);
    w.little(packet.contentHash, 8);
    return true;
}

bool encodeSetup(const SetupPacket& packet, PacketBytes& out) {
    out.clear();
    if (!fitsByte(packet.classCode) || !fitsByte(packet.stance) || packet.inputDelay < 0 ||
        packet.inputDelay > kMaxInputDelay)
        return false;
    if (packet.fromHost) {
        if (!fitsByte(packet.stage) || !fitsByte(packet.guestClassCode) ||
            !fitsByte(packet.guestStance) || packet.frameRate < 1 || packet.frameRate > kMaxFrameRate ||
            packet.screenWidth < 1 || packet.screenWidth > 65535 || packet.screenHeight < 1 ||
            packet.screenHeight > 65535)
            return false;
        for (int64_t setting : packet.fightSettings)
            if (!fitsByte(setting)) return false;
    }
    Writer w{out};
    writeHeader(w, kPacketSetup);
    w.u8(uint64_t(packet.classCode));
    w.u8(uint64_t(packet.stance));
    w.u8(packet.ready);
    w.u8(uint64_t(packet.inputDelay));
    w.u8(packet.fromHost);
    if (packet.fromHost) {
        w.u8(packet.starting);
        w.u8(uint64_t(packet.guestClassCode));
        w.u8(uint64_t(packet.guestStance));
        w.u8(uint64_t(packet.stage));
        w.little(packet.seed, 8);
        w.little(uint64_t(packet.frameRate), 2);
        for (int64_t setting : packet.fightSettings) w.u8(uint64_t(setting));
        w.little(uint64_t(packet.screenWidth), 2);
        w.little(uint64_t(packet.screenHeight), 2);
    }
    return true;
}

bool encodeInputs(const InputsPacket& packet, PacketBytes& out) {
    out.clear();
    int64_t count = int64_t(packet.actions.size());
    if (count > kMaxInputsPerPacket) return false;
    if (packet.ack < kNoFrame || packet.ack > kMaxWireFrame) return false;
    if (packet.firstFrame < 0 || packet.firstFrame + count - 1 > kMaxWireFrame) return false;
    Writer w{out};
    writeHeader(w, kPacketInputs);
    w.little(packet.ack == kNoFrame ? 0xFFFFFFFFu : uint64_t(packet.ack), 4);
    w.little(uint64_t(packet.firstFrame), 4);
    w.u8(uint64_t(count));
    for (const Actions& a : packet.actions)
        w.u8(packActions(a));
    return true;
}

bool encodeHash(const HashPacket& packet, PacketBytes& out) {
    out.clear();
    if (packet.frame > uint64_t(std::numeric_limits<int64_t>::max())) return false;
    Writer w{out};
    writeHeader(w, kPacketHash);
    w.little(packet.frame, 8);
    w.little(packet.hash, 8);
    return true;
}

bool encodeBye(const ByePacket& packet, PacketBytes& out) {
    out.clear();
    if (packet.reason < kByeQuit || packet.reason > kByeTimeout) return false;
    Writer w{out};
    writeHeader(w, kPacketBye);
    w.u8(uint64_t(packet.reason));
    return true;
}

bool readPacketKind(std::span<const uint8_t> bytes, PacketKind& kind, std::string& reason) {
    if (bytes.size() > kMaxPacketBytes) {
        reason = "oversize: " + std::to_string(bytes.size()) + " bytes, at most " +
                 std::to_string(kMaxPacketBytes);
        return false;
    }
    if (bytes.size() < kPacketHeaderBytes) {
        reason = "truncated: " + std::to_string(bytes.size()) + " bytes, shorter than a header";
        return false;
    }
    if (bytes[0] != 'Q' || bytes[1] != 'X') {
        reason = "bad magic";
        return false;
    }
    if (bytes[2] != kProtocolVersion) {
        reason = "protocol version " + std::to_string(int(bytes[2])) + ", this game speaks " +
                 std::to_string(int(kProtocolVersion));
        return false;
    }
    if (bytes[3] < kPacketHello || bytes[3] > kPacketBye) {
        reason = "unknown packet kind " + std::to_string(int(bytes[3]));
        return false;
    }
    kind = PacketKind(bytes[3]);
    return true;
}

bool decodeHello(std::span<const uint8_t> bytes, HelloPacket& out, std::string& reason) {
    Reader r{bytes, 0, reason};
    if (!readHeader(r, kPacketHello)) return false;
    uint64_t length = 0;
    if (!r.little(length, 1, "the game version's length")) return false;
    if (length > kMaxGameVersionBytes) {
        reason = "game version of " + std::to_string(length) + " bytes, at most " +
                 std::to_string(kMaxGameVersionBytes);
        return false;
    }
    if (bytes.size() - r.at < length) {
        reason = "truncated: no room for the game version";
        return false;
    }
    out.gameVersion.assign(reinterpret_cast<const char*>(bytes.data() + r.at), size_t(length));
    r.at += size_t(length);
    return r.little(out.dataHash, 8, "the data hash") &&
           r.little(out.contentHash, 8, "the content hash") && r.finished();
}

bool decodeSetup(std::span<const uint8_t> bytes, SetupPacket& out, std::string& reason) {
    Reader r{bytes, 0, reason};
    if (!readHeader(r, kPacketSetup)) return false;
    uint64_t classCode = 0, stance = 0, inputDelay = 0;
    if (!r.little(classCode, 1, "the class") || !r.little(stance, 1, "the stance") ||
        !r.flag(out.ready, "the ready flag") || !r.little(inputDelay, 1, "the input delay") ||
        !r.flag(out.fromHost, "the host flag"))
        return false;
    if (inputDelay > uint64_t(kMaxInputDelay)) {
        reason = "input delay " + std::to_string(inputDelay) + " out of range";
        return false;
    }
    out.classCode = int64_t(classCode);
    out.stance = int64_t(stance);
    out.inputDelay = int64_t(inputDelay);
    out.starting = false;
    out.guestClassCode = out.guestStance = 0;
    out.stage = 0;
    out.seed = 0;
    out.frameRate = 0;
    out.fightSettings = {};
    out.screenWidth = out.screenHeight = 0;
    if (out.fromHost) {
        uint64_t guestClass = 0, guestStance = 0, stage = 0, frameRate = 0;
        if (!r.flag(out.starting, "the start flag") ||
            !r.little(guestClass, 1, "the guest's class") ||
            !r.little(guestStance, 1, "the guest's stance") || !r.little(stage, 1, "the stage") || !r.little(out.seed, 8, "the seed") ||
            !r.little(frameRate, 2, "the frame rate"))
            return false;
        if (frameRate < 1 || frameRate > uint64_t(kMaxFrameRate)) {
            reason = "frame rate " + std::to_string(frameRate) + " out of range";
            return false;
        }
        out.guestClassCode = int64_t(guestClass);
        out.guestStance = int64_t(guestStance);
        out.stage = int64_t(stage);
        out.frameRate = int64_t(frameRate);
        for (int64_t& setting : out.fightSettings) {
            uint64_t value = 0;
            if (!r.little(value, 1, "a fight setting")) return false;
            setting = int64_t(value);
        }
        uint64_t width = 0, height = 0;
        if (!r.little(width, 2, "the screen width") || !r.little(height, 2, "the screen height"))
            return false;
        if (width == 0 || height == 0) {
            reason = "screen size " + std::to_string(width) + "x" + std::to_string(height);
            return false;
        }
        out.screenWidth = int64_t(width);
        out.screenHeight = int64_t(height);
    }
    return r.finished();
}

bool decodeInputs(std::span<const uint8_t> bytes, InputsPacket& out, std::string& reason) {
    Reader r{bytes, 0, reason};
    if (!readHeader(r, kPacketInputs)) return false;
    uint64_t count = 0;
    if (!readWireFrame(r, out.ack, true, "the ack") ||
        !readWireFrame(r, out.firstFrame, false, "the first frame") ||
        !r.little(count, 1, "the frame count"))
        return false;
    if (count > uint64_t(kMaxInputsPerPacket)) {
        reason = "count of " + std::to_string(count) + " frames, at most " +
                 std::to_string(kMaxInputsPerPacket);
        return false;
    }
    if (bytes.size() - r.at != count) {
        reason = "count of " + std::to_string(count) + " frames with " +
                 std::to_string(bytes.size() - r.at) + " bytes of input";
        return false;
    }
    if (out.firstFrame + int64_t(count) - 1 > kMaxWireFrame) {
        reason = "frames past the last frame number";
        return false;
    }
    out.actions.clear();
    for (uint64_t i = 0; i < count; ++i) {
        uint8_t packed = bytes[r.at++];
        if (packed & 0x80) {
            reason = "input byte with its unused bit set";
            return false;
        }
        out.actions.push_back(unpackActions(packed));
    }
    return r.finished();
}

bool decodeHash(std::span<const uint8_t> bytes, HashPacket& out, std::string& reason) {
    Reader r{bytes, 0, reason};
    if (!readHeader(r, kPacketHash)) return false;
    if (!r.little(out.frame, 8, "the frame") || !r.little(out.hash, 8, "the hash")) return false;
    if (out.frame > uint64_t(std::numeric_limits<int64_t>::max())) {
        reason = "frame out of range";
        return false;
    }
    return r.finished();
}

bool decodeBye(std::span<const uint8_t> bytes, ByePacket& out, std::string& reason) {
    Reader r{bytes, 0, reason};
    if (!readHeader(r, kPacketBye)) return false;
    uint64_t why = 0;
    if (!r.little(why, 1, "the reason")) return false;
    if (why < kByeQuit || why > kByeTimeout) {
        reason = "unknown reason " + std::to_string(why);
        return false;
    }
    out.reason = int64_t(why);
    return r.finished();
}

bool decodePacket(std::span<const uint8_t> bytes, Packet& out, std::string& reason) {
    if (!readPacketKind(bytes, out.kind, reason)) return false;
    switch (out.kind) {
    case kPacketHello:
        return decodeHello(bytes, out.hello, reason);
    case kPacketSetup:
        return decodeSetup(bytes, out.setup, reason);
    case kPacketInputs:
        return decodeInputs(bytes, out.inputs, reason);
    case kPacketHash:
        return decodeHash(bytes, out.hash, reason);
    case kPacketBye:
        return decodeBye(bytes, out.bye, reason);
    }
    return false;
}

bool encodePacket(const Packet& packet, PacketBytes& out) {
    switch (packet.kind) {
    case kPacketHello:
        return encodeHello(packet.hello, out);
    case kPacketSetup:
        return encodeSetup(packet.setup, out);
    case kPacketInputs:
        return encodeInputs(packet.inputs, out);
    case kPacketHash:
        return encodeHash(packet.hash, out);
    case kPacketBye:
        return encodeBye(packet.bye, out);
    }
    out.clear();
    return false;
}

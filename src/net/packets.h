// The wire format of online play: the packets two peers exchange, as plain records, and their
// encoding. Every packet starts with the magic "QX", the protocol version and the packet kind
// (one byte each); all fields are fixed-width and little-endian. A decoder refuses anything
// malformed with a reason and never reads past the bytes it is given.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "input/controls.h"

using PacketBytes = std::vector<uint8_t>;

// 2: the fight resolves trades together, so two games of different fight rules never meet.
inline constexpr uint8_t kProtocolVersion = 2;
inline constexpr size_t kPacketHeaderBytes = 4; // "QX", version, kind
inline constexpr size_t kMaxPacketBytes = 512;  // larger packets are refused unread
inline constexpr size_t kMaxGameVersionBytes = 32;
inline constexpr int64_t kMaxInputsPerPacket = 16;   // frames of input in one Inputs packet
inline constexpr int64_t kNoFrame = -1;              // an ack before anything was received
inline constexpr int64_t kMaxWireFrame = 0x7FFFFFFF; // Inputs carry frame numbers in 32 bits
inline constexpr int64_t kMaxFrameRate = 1000;       // frames per second
inline constexpr int64_t kMaxInputDelay = 4;         // frames between pressing and playing
inline constexpr int64_t kDefaultInputDelay = 2;
inline constexpr size_t kHostFightSettings = 5;

enum PacketKind : uint8_t {
    kPacketHello = 1,
    kPacketSetup,
    kPacketInputs,
    kPacketHash,
    kPacketBye
};

// Sent first by both peers: they play together only with the same game, data and content.
struct HelloPacket {
    std::string gameVersion;  // at most kMaxGameVersionBytes
    uint64_t dataHash = 0;    // of data.json
    uint64_t contentHash = 0; // of the content files
};

// A peer's choices in the class selection; the host (player one) also sends the match's stage,
// random seed and frame rate, and starts the match. Sent whenever they change.
struct SetupPacket {
    int64_t classCode = 0; // 0-255: a position in the class list
    int64_t stance = 0;    // 0-255
    bool ready = false;
    int64_t inputDelay = 0; // the sender's, 0-kMaxInputDelay: the peer's frame is told from it
    bool fromHost = false;  // the fields below are on the wire only when this is set
    bool starting = false;  // the match starts now, with the choices below
    int64_t guestClassCode = 0, guestStance = 0; // the joining player's choice, 0-255 each
    int64_t stage = 0;      // 0-255
    uint64_t seed = 0;
    int64_t frameRate = 0; // frames per second, 1-kMaxFrameRate
    // The host's settings that change the fight, 0-255 each, in the game's order, and its
    // screen size in px (1-65535): both peers fight on the same ground.
    std::array<int64_t, kHostFightSettings> fightSettings{};
    int64_t screenWidth = 0, screenHeight = 0;
};

// The sender's own inputs from firstFrame on, and its ack: the last frame of the receiver's
// inputs it has received with every frame before it (kNoFrame: none yet). On the wire each
// frame is one byte, packActions' (input/controls.h), whose bit 7 is always clear.
struct InputsPacket {
    int64_t ack = kNoFrame;
    int64_t firstFrame = 0;
    std::vector<Actions> actions; // one per frame, at most kMaxInputsPerPacket
};

// The fight's hash after a confirmed frame, for the peer to compare with its own.
struct HashPacket {
    uint64_t frame = 0; // at most INT64_MAX
    uint64_t hash = 0;
};

enum ByeReason : uint8_t { kByeQuit = 1, kByeVersionMismatch, kByeDesync, kByeTimeout };
struct ByePacket {
    int64_t reason = kByeQuit; // a ByeReason
};

// Any packet, decoded: `kind` tells which of the records holds it.
struct Packet {
    PacketKind kind = kPacketBye;
    HelloPacket hello;
    SetupPacket setup;
    InputsPacket inputs;
    HashPacket hash;
    ByePacket bye;
};

// Each encoder returns false (and leaves `out` empty) when a field does not fit its width.
bool encodeHello(const HelloPacket& packet, PacketBytes& out);
bool encodeSetup(const SetupPacket& packet, PacketBytes& out);
bool encodeInputs(const InputsPacket& packet, PacketBytes& out);
bool encodeHash(const HashPacket& packet, PacketBytes& out);
bool encodeBye(const ByePacket& packet, PacketBytes& out);

// The kind of a packet after its header is checked (size, magic, version, known kind).
bool readPacketKind(std::span<const uint8_t> bytes, PacketKind& kind, std::string& reason);
// Each decoder checks the header and its kind, then its fields and that the length is exactly
// theirs; on false `reason` says what is wrong and the record is unspecified.
bool decodeHello(std::span<const uint8_t> bytes, HelloPacket& out, std::string& reason);
bool decodeSetup(std::span<const uint8_t> bytes, SetupPacket& out, std::string& reason);
bool decodeInputs(std::span<const uint8_t> bytes, InputsPacket& out, std::string& reason);
bool decodeHash(std::span<const uint8_t> bytes, HashPacket& out, std::string& reason);
bool decodeBye(std::span<const uint8_t> bytes, ByePacket& out, std::string& reason);
bool decodePacket(std::span<const uint8_t> bytes, Packet& out, std::string& reason);
// The same packet encoded again, by its kind.
bool encodePacket(const Packet& packet, PacketBytes& out);

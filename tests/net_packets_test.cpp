// The wire format of online play: every packet reads back as it was written, and anything
// malformed is refused with a reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "net/packets.h"

namespace {
HelloPacket sampleHello() {
    return {"0.1.0.5a", 0x1122334455667788u, 0x0102030405060708u};
}

SetupPacket sampleHostSetup() {
    SetupPacket s;
    s.classCode = 4;
    s.stance = 1;
    s.ready = true;
    s.inputDelay = 3;
    s.fromHost = true;
    s.starting = true;
    s.guestClassCode = 5;
    s.guestStance = 2;
    s.stage = 2;
    s.seed = 0xFEDCBA9876543210u;
    s.frameRate = 240;
    s.fightSettings = {3, 2, 1, 0, 1};
    s.screenWidth = 1920;
    s.screenHeight = 1080;
    return s;
}

InputsPacket sampleInputs() {
    InputsPacket p;
    p.ack = 41;
    p.firstFrame = 40;
    for (uint8_t b : {0x00, 0x01, 0x7F, 0x14, 0x48, 0x22})
        p.actions.push_back(unpackActions(b));
    return p;
}

PacketBytes encoded(const InputsPacket& p) {
    PacketBytes bytes;
    EXPECT_TRUE(encodeInputs(p, bytes));
    return bytes;
}

// Decodes as any packet; returns the reason ("" when it decoded).
std::string refusal(const PacketBytes& bytes) {
    Packet packet;
    std::string reason;
    if (decodePacket(bytes, packet, reason)) return "";
    EXPECT_FALSE(reason.empty());
    return reason;
}

std::vector<PacketBytes> everyKind() {
    std::vector<PacketBytes> all(5);
    EXPECT_TRUE(encodeHello(sampleHello(), all[0]));
    EXPECT_TRUE(encodeSetup(sampleHostSetup(), all[1]));
    EXPECT_TRUE(encodeInputs(sampleInputs(), all[2]));
    EXPECT_TRUE(encodeHash({123456789012u, 0xDEADBEEFCAFEF00Du}, all[3]));
    EXPECT_TRUE(encodeBye({kByeDesync}, all[4]));
    return all;
}
} // namespace

TEST(NetPackets, ActionsPackIntoOneByteInTheirOrder) {
    Actions a;
    a.up = a.right = a.jump = true;
    EXPECT_EQ(packActions(a), 0x01 | 0x04 | 0x40); // as replays keep them
    for (int b = 0; b < 128; ++b)
        EXPECT_EQ(packActions(unpackActions(uint8_t(b))), b);
}

TEST(NetPackets, EveryKindReadsBackAsItWasWritten) {
    PacketBytes bytes;
    std::string reason;

    ASSERT_TRUE(encodeHello(sampleHello(), bytes));
    EXPECT_EQ(bytes.size(), 4u + 1 + 8 + 8 + 8);
    EXPECT_EQ(bytes[0], 'Q');
    EXPECT_EQ(bytes[1], 'X');
    EXPECT_EQ(bytes[2], kProtocolVersion);
    EXPECT_EQ(bytes[3], kPacketHello);
    HelloPacket hello;
    ASSERT_TRUE(decodeHello(bytes, hello, reason)) << reason;
    EXPECT_EQ(hello.gameVersion, "0.1.0.5a");
    EXPECT_EQ(hello.dataHash, 0x1122334455667788u);
    EXPECT_EQ(hello.contentHash, 0x0102030405060708u);
    EXPECT_EQ(bytes[5 + 8], 0x88); // little-endian

    SetupPacket setup;
    ASSERT_TRUE(encodeSetup(sampleHostSetup(), bytes));
    ASSERT_TRUE(decodeSetup(bytes, setup, reason)) << reason;
    EXPECT_EQ(setup.classCode, 4);
    EXPECT_EQ(setup.stance, 1);
    EXPECT_TRUE(setup.ready);
    EXPECT_EQ(setup.inputDelay, 3);
    EXPECT_TRUE(setup.fromHost);
    EXPECT_TRUE(setup.starting);
    EXPECT_EQ(setup.guestClassCode, 5);
    EXPECT_EQ(setup.guestStance, 2);
    EXPECT_EQ(setup.stage, 2);
    EXPECT_EQ(setup.seed, 0xFEDCBA9876543210u);
    EXPECT_EQ(setup.frameRate, 240);
    EXPECT_EQ(setup.fightSettings, (std::array<int64_t, kHostFightSettings>{3, 2, 1, 0, 1}));
    EXPECT_EQ(setup.screenWidth, 1920);
    EXPECT_EQ(setup.screenHeight, 1080);
    SetupPacket guest;
    guest.classCode = 7;
    guest.stage = 3; // not the guest's to send: left out
    ASSERT_TRUE(encodeSetup(guest, bytes));
    EXPECT_EQ(bytes.size(), 9u);
    ASSERT_TRUE(decodeSetup(bytes, setup, reason)) << reason;
    EXPECT_EQ(setup.classCode, 7);
    EXPECT_FALSE(setup.ready);
    EXPECT_FALSE(setup.fromHost);
    EXPECT_EQ(setup.stage, 0);

    InputsPacket inputs;
    bytes = encoded(sampleInputs());
    EXPECT_EQ(bytes.size(), 4u + 4 + 4 + 1 + 6);
    ASSERT_TRUE(decodeInputs(bytes, inputs, reason)) << reason;
    EXPECT_EQ(inputs.ack, 41);
    EXPECT_EQ(inputs.firstFrame, 40);
    ASSERT_EQ(inputs.actions.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(packActions(inputs.actions[i]), packActions(sampleInputs().actions[i]));
    InputsPacket first;
    first.actions.resize(size_t(kMaxInputsPerPacket));
    ASSERT_TRUE(decodeInputs(encoded(first), inputs, reason)) << reason;
    EXPECT_EQ(inputs.ack, kNoFrame);
    EXPECT_EQ(inputs.actions.size(), size_t(kMaxInputsPerPacket));

    HashPacket hash;
    ASSERT_TRUE(encodeHash({123456789012u, 0xDEADBEEFCAFEF00Du}, bytes));
    ASSERT_TRUE(decodeHash(bytes, hash, reason)) << reason;
    EXPECT_EQ(hash.frame, 123456789012u);
    EXPECT_EQ(hash.hash, 0xDEADBEEFCAFEF00Du);

    ByePacket bye;
    ASSERT_TRUE(encodeBye({kByeTimeout}, bytes));
    ASSERT_TRUE(decodeBye(bytes, bye, reason)) << reason;
    EXPECT_EQ(bye.reason, kByeTimeout);

    // Any packet by its kind, and back to the same bytes.
    for (const PacketBytes& one : everyKind()) {
        Packet packet;
        ASSERT_TRUE(decodePacket(one, packet, reason)) << reason;
        EXPECT_EQ(packet.kind, one[3]);
        PacketBytes again;
        ASSERT_TRUE(encodePacket(packet, again));
        EXPECT_EQ(again, one);
    }
}

TEST(NetPackets, EncodersRefuseFieldsThatDoNotFit) {
    PacketBytes bytes;
    HelloPacket hello = sampleHello();
    hello.gameVersion = std::string(kMaxGameVersionBytes + 1, 'v');
    EXPECT_FALSE(encodeHello(hello, bytes));
    hello.gameVersion.pop_back();
    EXPECT_TRUE(encodeHello(hello, bytes));
    SetupPacket setup = sampleHostSetup();
    setup.classCode = 256;
    EXPECT_FALSE(encodeSetup(setup, bytes));
    setup = sampleHostSetup();
    setup.frameRate = 0;
    EXPECT_FALSE(encodeSetup(setup, bytes));
    setup = sampleHostSetup();
    setup.inputDelay = kMaxInputDelay + 1;
    EXPECT_FALSE(encodeSetup(setup, bytes));
    InputsPacket inputs = sampleInputs();
    inputs.actions.resize(size_t(kMaxInputsPerPacket + 1));
    EXPECT_FALSE(encodeInputs(inputs, bytes));
    inputs = sampleInputs();
    inputs.firstFrame = kMaxWireFrame;
    EXPECT_FALSE(encodeInputs(inputs, bytes));
    inputs = sampleInputs();
    inputs.ack = -2;
    EXPECT_FALSE(encodeInputs(inputs, bytes));
    EXPECT_FALSE(encodeHash({uint64_t(1) << 63, 0}, bytes));
    EXPECT_FALSE(encodeBye({0}, bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(NetPackets, TruncatedPacketsAreRefusedAtEveryLength) {
    for (const PacketBytes& whole : everyKind())
        for (size_t length = 0; length < whole.size(); ++length) {
            PacketBytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
            EXPECT_NE(refusal(cut), "") << "kind " << int(whole[3]) << " cut to " << length;
        }
    EXPECT_NE(refusal({'Q', 'X', 1}).find("truncated"), std::string::npos);
}

TEST(NetPackets, ExtraBytesAreRefused) {
    for (PacketBytes bytes : everyKind()) {
        bytes.push_back(0);
        // Inputs count their frames: there the extra byte is a count that does not match.
        std::string expected = bytes[3] == kPacketInputs ? "count" : "after the packet";
        EXPECT_NE(refusal(bytes).find(expected), std::string::npos) << int(bytes[3]);
    }
}

TEST(NetPackets, BadMagicVersionOrKindIsRefused) {
    for (const PacketBytes& whole : everyKind()) {
        PacketBytes bytes = whole;
        bytes[0] = 'q';
        EXPECT_EQ(refusal(bytes), "bad magic");
        bytes = whole;
        bytes[1] = 'Y';
        EXPECT_EQ(refusal(bytes), "bad magic");
        bytes = whole;
        bytes[2] = kProtocolVersion + 1;
        EXPECT_NE(refusal(bytes).find("protocol version"), std::string::npos);
    }
    PacketBytes bytes = everyKind()[4];
    for (uint8_t kind : {0, 6, 255}) {
        bytes[3] = kind;
        EXPECT_NE(refusal(bytes).find("unknown packet kind"), std::string::npos) << int(kind);
    }
    // A decoder of one kind refuses another.
    HelloPacket hello;
    std::string reason;
    EXPECT_FALSE(decodeHello(everyKind()[4], hello, reason));
    EXPECT_NE(reason.find("expected"), std::string::npos);
}

TEST(NetPackets, OversizePacketsAreRefusedUnread) {
    PacketBytes bytes = everyKind()[0];
    bytes.resize(kMaxPacketBytes + 1);
    EXPECT_NE(refusal(bytes).find("oversize"), std::string::npos);
}

TEST(NetPackets, InputCountsMustMatchTheLengthAndTheLimit) {
    PacketBytes bytes = encoded(sampleInputs());
    const size_t countAt = 12;
    bytes[countAt] = 7; // one more than there are
    EXPECT_NE(refusal(bytes).find("count"), std::string::npos);
    bytes[countAt] = 5; // one fewer
    EXPECT_NE(refusal(bytes).find("count"), std::string::npos);
    InputsPacket full;
    full.actions.resize(size_t(kMaxInputsPerPacket));
    bytes = encoded(full);
    bytes[countAt] = uint8_t(kMaxInputsPerPacket + 1);
    bytes.push_back(0);
    EXPECT_NE(refusal(bytes).find("at most"), std::string::npos);
    bytes = encoded(sampleInputs());
    bytes.back() |= 0x80;
    EXPECT_NE(refusal(bytes).find("unused bit"), std::string::npos);
    bytes = encoded(sampleInputs());
    bytes[4 + 3] = 0x80; // an ack past the frame numbers (and not the "none" value)
    EXPECT_NE(refusal(bytes).find("ack"), std::string::npos);
}

TEST(NetPackets, FieldsOutOfRangeAreRefused) {
    PacketBytes bytes;
    ASSERT_TRUE(encodeSetup(sampleHostSetup(), bytes));
    PacketBytes flag = bytes;
    flag[6] = 2; // ready
    EXPECT_NE(refusal(flag).find("ready"), std::string::npos);
    PacketBytes delay = bytes;
    delay[7] = uint8_t(kMaxInputDelay + 1);
    EXPECT_NE(refusal(delay).find("input delay"), std::string::npos);
    PacketBytes size = bytes;
    size[size.size() - 2] = size[size.size() - 1] = 0;
    EXPECT_NE(refusal(size).find("screen size"), std::string::npos);
    PacketBytes rate = bytes;
    rate[rate.size() - 11] = rate[rate.size() - 10] = 0;
    EXPECT_NE(refusal(rate).find("frame rate"), std::string::npos);
    ASSERT_TRUE(encodeHello(sampleHello(), bytes));
    bytes[4] = uint8_t(kMaxGameVersionBytes + 1);
    EXPECT_NE(refusal(bytes).find("game version"), std::string::npos);
    ASSERT_TRUE(encodeBye({kByeQuit}, bytes));
    bytes[4] = 9;
    EXPECT_NE(refusal(bytes).find("reason"), std::string::npos);
    ASSERT_TRUE(encodeHash({30, 1}, bytes));
    bytes[4 + 7] = 0x80;
    EXPECT_NE(refusal(bytes).find("frame"), std::string::npos);
}

// The fuzzer's committed seeds are valid packets of this version: each decodes and encodes
// to its own bytes.
TEST(NetPackets, TheFuzzSeedsAreValidPackets) {
    std::filesystem::path seeds =
        std::filesystem::path(QRX_FUZZ_REGRESSIONS) / ".." / "seeds" / "packets";
    int64_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
        std::ifstream file(entry.path(), std::ios::binary);
        PacketBytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        Packet packet;
        std::string reason;
        ASSERT_TRUE(decodePacket(bytes, packet, reason)) << entry.path() << ": " << reason;
        PacketBytes again;
        ASSERT_TRUE(encodePacket(packet, again));
        EXPECT_EQ(again, bytes) << entry.path();
        count += 1;
    }
    EXPECT_GE(count, 5);
}

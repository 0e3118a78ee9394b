// The online connection: greeting, choices, and the end of it.
#include "online/online_play.h"

#include <algorithm>
#include <cmath>

#include "data/fighter_class.h"
#include "replays/replays.h"
#include "settings/settings.h"

namespace {
// The content hash the greeting carries: every class's pictures and the sounds, folded with
// FNV-1a over their hashes in list order.
uint64_t allContentHash() {
    uint64_t folded = 0xcbf29ce484222325u;
    auto fold = [&folded](uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            folded ^= (value >> (8 * i)) & 0xFF;
            folded *= 0x100000001b3u;
        }
    };
    for (const auto& c : classes)
        for (const auto& [group, hash] : contentHashes(c->name, c->name)) fold(hash);
    return folded;
}

void send(OnlinePlay& online, bool encoded, const PacketBytes& bytes) {
    if (encoded) sendOnLink(online.link, kSetupChannel, bytes);
}

// Ends the connection without a word to the peer (it sent something we cannot take).
void refuse(OnlinePlay& online, const std::string& problem) {
    online.problem = problem;
    closeLink(online.link, problem);
}

void take(OnlinePlay& online, const LinkMessage& message) {
    Packet packet;
    std::string reason;
    if (!decodePacket(message.bytes, packet, reason)) {
        refuse(online, "the other player sent a damaged packet (" + reason + ")");
        return;
    }
    bool fightKind = packet.kind == kPacketInputs || packet.kind == kPacketHash;
    if (fightKind != (message.channel == kInputChannel)) {
        refuse(online, "the other player sent a packet on the wrong channel");
        return;
    }
    switch (packet.kind) {
    case kPacketHello: {
        if (online.greeted) {
            refuse(online, "the other player greeted twice");
            return;
        }
        std::string mismatch = helloMismatch(online.ownHello, packet.hello);
        if (!mismatch.empty()) {
            leaveOnline(online, kByeVersionMismatch, "cannot play together: " + mismatch);
            return;
        }
        online.greeted = true;
        return;
    }
    case kPacketSetup:
        if (!online.greeted) {
            refuse(online, "the other player sent its choices before its greeting");
            return;
        }
        // Only the host sends the match's set-up.
        if (online.hosting && packet.setup.fromHost) {
            refuse(online, "the other player sent the host's set-up");
            return;
        }
        online.peerSetup = packet.setup;
        online.peerSetupKnown = true;
        if (packet.setup.starting) online.matchStarting = true;
        return;
    case kPacketInputs:
    case kPacketHash:
        if (online.greeted) online.fightPackets.push_back(packet);
        return;
    case kPacketBye:
        online.problem = byeMessage(packet.bye.reason);
        closeLink(online.link, online.problem);
        return;
    }
}
} // namespace

HelloPacket ownHello() {
    HelloPacket hello;
    hello.gameVersion = kGameVersion;
    hello.dataHash = dataFileHash();
    hello.contentHash = allContentHash();
    return hello;
}

std::string helloMismatch(const HelloPacket& own, const HelloPacket& peer) {
    if (own.gameVersion != peer.gameVersion)
        return "the game versions differ (" + own.gameVersion + " here, " + peer.gameVersion +
               " there)";
    if (own.dataHash != peer.dataHash) return "the game data (data.json) differs";
    if (own.contentHash != peer.contentHash) return "the game content (pictures or sounds) differs";
    return "";
}

bool hostOnline(OnlinePlay& online, uint16_t port, std::string& error) {
    online = OnlinePlay{};
    online.hosting = true;
    online.where = "port " + std::to_string(port);
    online.ownHello = ownHello();
    return hostLink(online.link, port, error);
}

bool joinOnline(OnlinePlay& online, const std::string& address, std::string& error) {
    online = OnlinePlay{};
    std::string host;
    uint16_t port = kDefaultPort;
    if (!parseHostAndPort(address, host, port, error)) return false;
    online.where = host + ":" + std::to_string(port);
    online.ownHello = ownHello();
    return joinLink(online.link, host, port, error);
}

bool serviceOnline(OnlinePlay& online) {
    if (online.link.closed) return false;
    std::vector<LinkMessage> messages = serviceLink(online.link);
    if (!online.link.closed && !serviceRoom(online)) return false;
    // Our greeting goes first, also when the peer's came with the connection: a peer refused
    // for its greeting still hears ours, and can say what differs.
    if (online.link.connected && !online.helloSent) {
        PacketBytes bytes;
        send(online, encodeHello(online.ownHello, bytes), bytes);
        online.helloSent = true;
    }
    for (const LinkMessage& message : messages) {
        take(online, message);
        if (online.link.closed) break;
    }
    if (online.link.closed) {
        if (online.problem.empty()) online.problem = online.link.closeReason;
        if (online.link.host) closeLink(online.link, online.problem);
        return false;
    }
    return true;
}

int64_t chosenInputDelay(int64_t setting, double roundTripMs, int64_t frameRate) {
    if (setting != kAutoInputDelay) return std::clamp<int64_t>(setting, 0, kMaxInputDelay);
    double frameMs = 1000.0 / double(std::max<int64_t>(frameRate, 1));
    int64_t frames = int64_t(std::ceil(std::max(roundTripMs, 0.0) / 2 / frameMs));
    return std::clamp<int64_t>(frames, 1, kMaxInputDelay);
}

bool onlineReady(const OnlinePlay& online) {
    return online.greeted && !online.link.closed;
}

void sendOwnSetup(OnlinePlay& online, const SetupPacket& setup) {
    const SetupPacket& last = online.ownSetup;
    bool same = online.ownSetupSent && last.classCode == setup.classCode &&
                last.stance == setup.stance && last.ready == setup.ready &&
                last.inputDelay == setup.inputDelay && last.fromHost == setup.fromHost &&
                last.starting == setup.starting && last.stage == setup.stage &&
                last.seed == setup.seed && last.frameRate == setup.frameRate &&
                last.fightSettings == setup.fightSettings &&
                last.screenWidth == setup.screenWidth && last.screenHeight == setup.screenHeight;
    if (same || !onlineReady(online)) return;
    PacketBytes bytes;
    send(online, encodeSetup(setup, bytes), bytes);
    online.ownSetup = setup;
    online.ownSetupSent = true;
}

void leaveOnline(OnlinePlay& online, ByeReason reason, const std::string& problem) {
    if (online.problem.empty()) online.problem = problem;
    leaveRoom(online);
    if (!online.link.host) return;
    PacketBytes bytes;
    send(online, encodeBye({reason}, bytes), bytes);
    closeLink(online.link, online.problem);
}

std::string desyncMessage(int64_t frame) { return "Desync at frame " + std::to_string(frame); }

std::string byeMessage(int64_t reason) {
    switch (reason) {
    case kByeVersionMismatch: return "cannot play together: the other player's game differs";
    case kByeDesync: return "the fights on the two computers went apart (desync)";
    case kByeTimeout: return "the other player lost the connection";
    default: return "the other player left";
    }
}

// Online play through a lobby: asking for a room or joining one, finding a path to the other
// player, falling back on the lobby's relay, and the host's stream for spectators.
#include "online/rooms.h"

#include <arpa/inet.h>

#include <algorithm>
#include <random>

#include "online/local_addresses.h"
#include "online/online_play.h"
#include "online/port_mapping.h"

namespace {
constexpr double kAskEveryMs = 300;       // an unanswered request to the lobby is sent again
constexpr double kLobbyAnswerMs = 5000;   // a lobby that never answered is given up
constexpr double kKeepAliveMs = 5000;     // well under the 30 s a router keeps a quiet mapping
constexpr double kLobbySilentMs = 30000;  // a waiting room's lobby that fell silent
constexpr double kProbeEveryMs = 40;      // probes to every address of the other player
constexpr double kPunchMs = 2500;         // probing before the relay is asked for
constexpr double kMappingWaitMs = 3500;   // ... or longer while our router is still asked
constexpr double kFindingMs = 15000;      // no path, not even the relay: given up
constexpr double kStreamEveryMs = 100;    // the spectators' stream sent again until acked

uint64_t newToken() {
    std::random_device device;
    uint64_t token = 0;
    while (token == 0) token = (uint64_t(device()) << 32) ^ device();
    return token;
}

bool isLoopback(uint32_t address) {
    return (address >> 24) == 127;
}

void send(NetLink& link, const LobbyEndpoint& to, const LobbyMessage& message) {
    LobbyBytes bytes;
    if (encodeLobbyMessage(message, bytes)) sendDatagram(link, to.address, to.port, bytes);
}

void sendToLobby(OnlinePlay& online, LobbyMessage message) {
    message.token = online.room.token;
    send(online.link, online.room.lobby, message);
    online.room.lastLobbySendMs = linkClockMs();
}

void fail(OnlinePlay& online, const std::string& problem) {
    RoomLink& room = online.room;
    room.phase = RoomPhase::Failed;
    if (online.problem.empty()) online.problem = problem;
    if (online.link.host) closeLink(online.link, online.problem);
}

// This computer's IPv4 addresses with the link's port: where a player on the same network
// reaches us.
std::vector<LobbyEndpoint> ownLocalEndpoints(uint16_t port) {
    std::vector<LobbyEndpoint> endpoints;
    for (const std::string& text : localAddresses()) {
        in_addr parsed{};
        if (endpoints.size() < kMaxEndpoints && inet_pton(AF_INET, text.c_str(), &parsed) == 1)
            endpoints.push_back({ntohl(parsed.s_addr), port});
    }
    return endpoints;
}

// Opens the room's socket and prepares what both sides share; the first request goes out at
// the first service.
bool openRoom(OnlinePlay& online, bool hosting, const std::string& lobby, std::string& error) {
    online = OnlinePlay{};
    online.hosting = hosting;
    online.ownHello = ownHello();
    std::string host;
    uint16_t port = 0;
    RoomLink& room = online.room;
    if (!parseLobbyAddress(lobby, host, port, error) || !resolveIpv4(host, room.lobby.address, error))
        return false;
    room.lobby.port = port;
    room.lobbyText = host + ":" + std::to_string(port);
    online.where = "the lobby at " + room.lobbyText;
    if (!openLink(online.link, 0, hosting, error)) return false;
    room.active = true;
    room.token = newToken();
    room.startedMs = linkClockMs();
    room.lastLobbyHeardMs = room.startedMs;
    room.ownLocals = ownLocalEndpoints(linkPort(online.link));
    // A router is asked only when there can be one between us and the lobby.
    if (!isLoopback(room.lobby.address)) room.mapping.reset(startPortMapping(linkPort(online.link)));
    return true;
}

bool listed(const std::vector<LobbyEndpoint>& list, const LobbyEndpoint& endpoint) {
    return std::find(list.begin(), list.end(), endpoint) != list.end();
}

void addEndpoint(std::vector<LobbyEndpoint>& list, const LobbyEndpoint& endpoint) {
    if (endpoint.port != 0 && endpoint.address != 0 && !listed(list, endpoint))
        list.push_back(endpoint);
}

void acceptFightFrom(NetLink& link, const LobbyEndpoint& endpoint) {
    std::pair<uint32_t, uint16_t> entry = {endpoint.address, endpoint.port};
    if (std::find(link.acceptFrom.begin(), link.acceptFrom.end(), entry) == link.acceptFrom.end())
        link.acceptFrom.push_back(entry);
}

// The path as both sides name it: the relay, the same network (the other player's local
// address), or directly, which counts as through a port mapping when either router made one.
OnlinePath namePath(const RoomLink& room, const LobbyEndpoint& endpoint) {
    if (endpoint == room.lobby) return OnlinePath::Relay;
    if (listed(room.peerLocals, endpoint)) return OnlinePath::Local;
    uint32_t address = 0;
    uint16_t port = 0;
    if (!room.peerMapped.empty() || portMappingResult(room.mapping.get(), address, port))
        return OnlinePath::Upnp;
    return OnlinePath::Direct;
}

void takePeer(OnlinePlay& online, const LobbyMessage& message) {
    RoomLink& room = online.room;
    if (room.phase == RoomPhase::Asking || room.phase == RoomPhase::Waiting) {
        room.phase = RoomPhase::Finding;
        room.peerKnownMs = linkClockMs();
    }
    room.peerToken = message.peerToken;
    room.peerPublic = message.publicEndpoint;
    for (const LobbyEndpoint& local : message.endpoints) addEndpoint(room.peerLocals, local);
    // The same network first: its answer comes soonest and needs no router.
    std::vector<LobbyEndpoint> all = room.peerLocals;
    addEndpoint(all, room.peerPublic);
    for (const LobbyEndpoint& mapped : room.peerMapped) addEndpoint(all, mapped);
    for (const LobbyEndpoint& known : room.peerEndpoints) addEndpoint(all, known);
    room.peerEndpoints = all;
}

// The path is found at `endpoint`: the guest connects there, the host takes the connection.
void useEndpoint(OnlinePlay& online, const LobbyEndpoint& endpoint) {
    RoomLink& room = online.room;
    acceptFightFrom(online.link, endpoint);
    if (online.hosting || online.link.peer) return;
    std::string error;
    room.pathEndpoint = endpoint;
    if (!connectLink(online.link, endpoint.address, endpoint.port, error)) fail(online, error);
}

void takeFromLobby(OnlinePlay& online, const LobbyMessage& message) {
    RoomLink& room = online.room;
    if (message.token != room.token) return;
    room.lastLobbyHeardMs = linkClockMs();
    switch (message.kind) {
    case kLobbyRoomOpened:
        if (room.phase == RoomPhase::Asking && online.hosting) {
            room.phase = RoomPhase::Waiting;
            room.code = message.code;
            room.ownPublic = message.publicEndpoint;
        }
        return;
    case kLobbyPeer:
        if (room.phase != RoomPhase::Connected) takePeer(online, message);
        return;
    case kLobbyPeerCandidate:
        for (const LobbyEndpoint& mapped : message.endpoints) {
            addEndpoint(room.peerMapped, mapped);
            addEndpoint(room.peerEndpoints, mapped);
        }
        return;
    case kLobbyRelayReady:
        if (room.phase == RoomPhase::Finding && !room.relayAsked) room.relayAsked = true;
        if (room.phase == RoomPhase::Finding) useEndpoint(online, room.lobby);
        return;
    case kLobbyStreamAck:
        if (message.match != room.streamMatch) return;
        room.streamAcked = std::max(room.streamAcked, message.frame);
        if (room.streamEnded && message.hash == room.streamHash) room.endAcked = true;
        return;
    case kLobbyRefused:
        fail(online, refusalMessage(message.reason));
        return;
    default: return;
    }
}

void takeProbe(OnlinePlay& online, const RawDatagram& datagram, const LobbyMessage& message) {
    RoomLink& room = online.room;
    if (room.peerToken == 0 || message.token != room.peerToken || message.peerToken != room.token)
        return; // not the other player's, or our own coming back
    LobbyEndpoint from{datagram.address, datagram.port};
    if (message.kind == kLobbyProbe) {
        LobbyMessage answer;
        answer.kind = kLobbyProbeAnswer;
        answer.token = room.token;
        answer.peerToken = room.peerToken;
        answer.frame = message.frame;
        send(online.link, from, answer);
        // Heard from there: the guest's connection may come from it.
        if (online.hosting) acceptFightFrom(online.link, from);
        addEndpoint(room.peerEndpoints, from);
        return;
    }
    if (room.phase == RoomPhase::Finding && !room.relayAsked) useEndpoint(online, from);
}

// The requests that wait for an answer, and the keep-alives.
void askLobby(OnlinePlay& online, double now) {
    RoomLink& room = online.room;
    LobbyMessage message;
    if (room.phase == RoomPhase::Asking) {
        if (now - room.startedMs > kLobbyAnswerMs) {
            fail(online, "the lobby at " + room.lobbyText + " does not answer");
            return;
        }
        if (now - room.lastLobbySendMs < kAskEveryMs) return;
        message.kind = online.hosting ? kLobbyOpenRoom : kLobbyJoinRoom;
        message.code = room.code;
        message.endpoints = room.ownLocals;
        sendToLobby(online, message);
        return;
    }
    if (room.phase == RoomPhase::Waiting && now - room.lastLobbyHeardMs > kLobbySilentMs) {
        fail(online, "the lobby at " + room.lobbyText + " stopped answering");
        return;
    }
    if (room.phase == RoomPhase::Finding && room.relayAsked && !online.link.peer &&
        !online.hosting && now - room.lastLobbySendMs >= kAskEveryMs) {
        message.kind = kLobbyRelayRequest;
        sendToLobby(online, message);
        return;
    }
    if (now - room.lastLobbySendMs >= kKeepAliveMs) {
        message.kind = kLobbyKeepAlive;
        sendToLobby(online, message);
    }
}

// Probes to every address of the other player, then the relay when none answered in time.
void findPath(OnlinePlay& online, double now) {
    RoomLink& room = online.room;
    if (room.phase != RoomPhase::Finding) return;
    if (now - room.peerKnownMs > kFindingMs && !online.link.connected) {
        fail(online, "no way to reach the other player was found, not even through the lobby");
        return;
    }
    if (room.relayAsked) return;
    bool mappingPending = room.mapping && !portMappingDone(room.mapping.get());
    double waited = now - room.peerKnownMs;
    if (room.relayAtOnce || waited > (mappingPending ? kMappingWaitMs : kPunchMs)) {
        if (online.link.peer) return; // the guest is connecting on a path found
        room.relayAsked = true;
        LobbyMessage message;
        message.kind = kLobbyRelayRequest;
        sendToLobby(online, message);
        return;
    }
    if (now - room.lastProbeMs < kProbeEveryMs) return;
    room.lastProbeMs = now;
    LobbyMessage probe;
    probe.kind = kLobbyProbe;
    probe.token = room.token;
    probe.peerToken = room.peerToken;
    probe.frame = room.probesSent++ & 0x7FFFFFFF;
    for (const LobbyEndpoint& endpoint : room.peerEndpoints) send(online.link, endpoint, probe);
}

// Our router's mapping, once made, told to the other player through the lobby.
void offerMapping(OnlinePlay& online) {
    RoomLink& room = online.room;
    uint32_t address = 0;
    uint16_t port = 0;
    if (room.mappingOffered || !portMappingResult(room.mapping.get(), address, port)) return;
    if (room.phase != RoomPhase::Waiting && room.phase != RoomPhase::Finding) return;
    room.mappingOffered = true;
    LobbyMessage message;
    message.kind = kLobbyCandidate;
    message.endpoints = {{address, port}};
    sendToLobby(online, message);
}

void sendStream(OnlinePlay& online, double now) {
    RoomLink& room = online.room;
    if (room.streamMatch == 0 || now - room.lastStreamSendMs < kStreamEveryMs) return;
    int64_t held = int64_t(room.streamInputs.size() / 2);
    LobbyMessage message;
    message.match = room.streamMatch;
    if (room.streamAcked < 0) {
        message.kind = kLobbyStreamStart;
        message.payload = room.streamSetup;
    } else if (room.streamAcked < held) {
        int64_t count = std::min<int64_t>(held - room.streamAcked, kMaxStreamFramesPerMessage);
        message.kind = kLobbyStreamInputs;
        message.frame = room.streamAcked;
        auto first = room.streamInputs.begin() + 2 * room.streamAcked;
        message.payload.assign(first, first + 2 * count);
    } else if (room.streamEnded && !room.endAcked) {
        message.kind = kLobbyStreamEnd;
        message.frame = room.streamFrames;
        message.result = room.streamResult;
        message.hash = room.streamHash;
    } else {
        return;
    }
    sendToLobby(online, message);
    room.lastStreamSendMs = now;
}
} // namespace

void PortMappingRelease::operator()(PortMapping* mapping) const {
    stopPortMapping(mapping);
}

const char* onlinePathName(OnlinePath path) {
    switch (path) {
    case OnlinePath::Local: return "local";
    case OnlinePath::Direct: return "direct";
    case OnlinePath::Upnp: return "upnp";
    case OnlinePath::Relay: return "relay";
    default: return "";
    }
}

std::string roomStatusText(RoomPhase phase, OnlinePath path) {
    if (phase == RoomPhase::Connected)
        return path == OnlinePath::Relay ? "Connected through the relay" : "Connected directly";
    if (phase == RoomPhase::Finding) return "Finding a path\xE2\x80\xA6";
    return "";
}

bool parseLobbyAddress(const std::string& text, std::string& host, uint16_t& port,
                       std::string& error) {
    if (text.empty()) {
        error = "no lobby is set";
        return false;
    }
    return parseHostAndPort(text, host, port, error, kDefaultLobbyPort);
}

bool hostRoom(OnlinePlay& online, const std::string& lobby, std::string& error) {
    return openRoom(online, true, lobby, error);
}

bool joinRoom(OnlinePlay& online, const std::string& lobby, const std::string& code,
              std::string& error) {
    std::string normalized = normalizedRoomCode(code);
    if (normalized.empty()) {
        error = "a room code is " + std::to_string(kRoomCodeLength) + " letters";
        return false;
    }
    if (!openRoom(online, false, lobby, error)) return false;
    online.room.code = normalized;
    online.where = "room " + normalized;
    return true;
}

bool serviceRoom(OnlinePlay& online) {
    RoomLink& room = online.room;
    if (!room.active) return true;
    if (room.phase == RoomPhase::Failed) return false;
    for (const RawDatagram& datagram : takeDatagrams(online.link)) {
        LobbyMessage message;
        std::string reason;
        if (!decodeLobbyMessage(datagram.bytes, message, reason)) continue;
        if (message.kind == kLobbyProbe || message.kind == kLobbyProbeAnswer)
            takeProbe(online, datagram, message);
        else if (LobbyEndpoint{datagram.address, datagram.port} == room.lobby)
            takeFromLobby(online, message);
        if (room.phase == RoomPhase::Failed) return false;
    }
    if (online.link.connected && room.phase != RoomPhase::Connected) {
        room.phase = RoomPhase::Connected;
        room.connectedMs = linkClockMs();
        room.path = namePath(room, {online.link.peerAddress, online.link.peerPort});
    }
    double now = linkClockMs();
    offerMapping(online);
    askLobby(online, now);
    if (room.phase == RoomPhase::Failed) return false;
    findPath(online, now);
    sendStream(online, now);
    return true;
}

void streamMatchStart(OnlinePlay& online, const LobbyBytes& setup) {
    RoomLink& room = online.room;
    if (!room.active || !online.hosting) return;
    room.streamMatch += 1;
    room.streamSetup = setup;
    room.streamInputs.clear();
    room.streamEnded = false;
    room.streamAcked = -1;
    room.endAcked = false;
    room.lastStreamSendMs = 0;
}

void streamFightFrames(OnlinePlay& online, const std::vector<uint8_t>& playerOne,
                       const std::vector<uint8_t>& playerTwo, int64_t confirmed) {
    RoomLink& room = online.room;
    if (!room.active || room.streamMatch == 0 || room.streamEnded) return;
    confirmed = std::min({confirmed, int64_t(playerOne.size()), int64_t(playerTwo.size())});
    for (int64_t frame = int64_t(room.streamInputs.size() / 2); frame < confirmed; ++frame) {
        room.streamInputs.push_back(playerOne[size_t(frame)]);
        room.streamInputs.push_back(playerTwo[size_t(frame)]);
    }
}

void streamMatchEnd(OnlinePlay& online, int64_t frames, int64_t result, uint64_t hash) {
    RoomLink& room = online.room;
    if (!room.active || room.streamMatch == 0) return;
    room.streamEnded = true;
    room.streamFrames = frames;
    room.streamResult = uint8_t(result);
    room.streamHash = hash;
}

bool streamSettled(const OnlinePlay& online) {
    const RoomLink& room = online.room;
    if (!room.active || room.streamMatch == 0) return true;
    return room.streamAcked >= int64_t(room.streamInputs.size() / 2) &&
           (!room.streamEnded || room.endAcked);
}

bool serviceRoomAlone(OnlinePlay& online) {
    if (!online.link.host || !online.room.active) return false;
    if (!online.link.closed && serviceOnline(online)) return true;
    if (!online.link.host) return false;
    pumpSocket(online.link);
    return serviceRoom(online);
}

void leaveRoom(OnlinePlay& online) {
    RoomLink& room = online.room;
    if (!room.active) return;
    if (online.link.host) {
        LobbyMessage message;
        message.kind = kLobbyLeave;
        sendToLobby(online, message);
    }
    room.mapping.reset();
    room.active = false;
    online.link.keepSocket = false; // the next close lets the socket go
    if (online.link.closed) online.link.host.reset();
}

// A spectator's side of a room: asking the lobby for the room's newest match and taking its
// confirmed inputs as they come, until the match's end.
#include "online/rooms.h"

#include <random>

namespace {
constexpr double kAskEveryMs = 100;      // the next part asked for while nothing new came
constexpr double kLobbyAnswerMs = 5000;  // a lobby that never answered is given up
constexpr double kLobbySilentMs = 10000; // ... or one that fell silent

void ask(Spectating& watching, double now) {
    LobbyMessage message;
    message.kind = kLobbyWatch;
    message.token = watching.room.token;
    message.code = watching.room.code;
    message.match = watching.match;
    message.frame = watching.setup.empty() ? -1 : int64_t(watching.inputs.size() / 2);
    LobbyBytes bytes;
    if (encodeLobbyMessage(message, bytes))
        sendDatagram(watching.link, watching.room.lobby.address, watching.room.lobby.port, bytes);
    watching.lastAskMs = now;
}

// What the lobby sent; true when it brought something new (the next part is asked at once).
bool take(Spectating& watching, const LobbyMessage& message) {
    int64_t held = int64_t(watching.inputs.size() / 2);
    switch (message.kind) {
    case kLobbyWatchStart:
        if (message.match == watching.match && !watching.setup.empty()) return false;
        watching.match = message.match;
        watching.setup = message.payload;
        watching.inputs.clear();
        watching.ended = false;
        return true;
    case kLobbyWatchInputs: {
        if (message.match != watching.match || watching.setup.empty() || message.frame > held)
            return false;
        size_t from = size_t(2 * (held - message.frame));
        if (from >= message.payload.size()) return false;
        watching.inputs.insert(watching.inputs.end(), message.payload.begin() + long(from),
                               message.payload.end());
        return true;
    }
    case kLobbyWatchEnd:
        if (message.match != watching.match || message.frame > held || watching.ended) return false;
        watching.ended = true;
        watching.endFrames = message.frame;
        watching.endResult = message.result;
        watching.endHash = message.hash;
        return true;
    case kLobbyRefused:
        watching.problem = refusalMessage(message.reason);
        return false;
    default: return false;
    }
}
} // namespace

bool watchRoom(Spectating& watching, const std::string& lobby, const std::string& code,
               std::string& error) {
    watching = Spectating{};
    RoomLink& room = watching.room;
    room.code = normalizedRoomCode(code);
    if (room.code.empty()) {
        error = "a room code is " + std::to_string(kRoomCodeLength) + " letters";
        return false;
    }
    std::string host;
    uint16_t port = 0;
    if (!parseLobbyAddress(lobby, host, port, error) || !resolveIpv4(host, room.lobby.address, error))
        return false;
    room.lobby.port = port;
    room.lobbyText = host + ":" + std::to_string(port);
    if (!openLink(watching.link, 0, false, error)) return false;
    std::random_device device;
    while (room.token == 0) room.token = (uint64_t(device()) << 32) ^ device();
    room.active = true;
    room.startedMs = room.lastLobbyHeardMs = linkClockMs();
    return true;
}

bool serviceWatching(Spectating& watching) {
    if (!watching.problem.empty() || !watching.link.host) return false;
    serviceLink(watching.link);
    RoomLink& room = watching.room;
    bool more = false;
    for (const RawDatagram& datagram : takeDatagrams(watching.link)) {
        LobbyMessage message;
        std::string reason;
        if (LobbyEndpoint{datagram.address, datagram.port} != room.lobby ||
            !decodeLobbyMessage(datagram.bytes, message, reason) || message.token != room.token)
            continue;
        room.lastLobbyHeardMs = linkClockMs();
        room.phase = RoomPhase::Connected;
        more = take(watching, message) || more;
        if (!watching.problem.empty()) return false;
    }
    double now = linkClockMs();
    double silence = now - room.lastLobbyHeardMs;
    if (room.phase == RoomPhase::Asking && silence > kLobbyAnswerMs)
        watching.problem = "the lobby at " + room.lobbyText + " does not answer";
    else if (silence > kLobbySilentMs)
        watching.problem = "the lobby at " + room.lobbyText + " stopped answering";
    if (!watching.problem.empty()) return false;
    if (more || now - watching.lastAskMs >= kAskEveryMs) ask(watching, now);
    return true;
}

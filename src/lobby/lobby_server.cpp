// The lobby's rooms, relay and spectators' stream.
#include "lobby/lobby_server.h"

#include <algorithm>

namespace {
uint64_t keyOf(const LobbyEndpoint& e) {
    return (uint64_t(e.address) << 16) | e.port;
}

void answer(std::vector<LobbyOutgoing>& out, const LobbyEndpoint& to, const LobbyMessage& m,
            double nowMs) {
    LobbyOutgoing outgoing{to, {}, nowMs};
    if (encodeLobbyMessage(m, outgoing.bytes)) out.push_back(std::move(outgoing));
}

void refuse(std::vector<LobbyOutgoing>& out, const LobbyEndpoint& to, uint64_t token,
            LobbyRefusal reason, double nowMs) {
    LobbyMessage m;
    m.kind = kLobbyRefused;
    m.token = token;
    m.reason = reason;
    answer(out, to, m, nowMs);
}

// A table that is full forgets an entry to make room (any: under a flood of made-up sources
// the honest ones are heard again within a second and come back).
template <typename Map> void makeRoom(Map& map, size_t limit) {
    if (map.size() >= limit) map.erase(map.begin());
}

// Takes one from the source's bucket (refilled at `perSecond` up to `burst`).
bool withinRate(double& tokens, double& lastMs, double nowMs, double perSecond, double burst) {
    tokens = std::min(burst, tokens + (nowMs - lastMs) / 1000.0 * perSecond);
    lastMs = nowMs;
    if (tokens < 1) return false;
    tokens -= 1;
    return true;
}

LobbySource& sourceOf(LobbyServer& server, const LobbyEndpoint& from, double nowMs) {
    auto found = server.sources.find(keyOf(from));
    if (found != server.sources.end()) return found->second;
    makeRoom(server.sources, kMaxSources);
    LobbySource& source = server.sources[keyOf(from)];
    source.lastMs = nowMs;
    return source;
}

// False (and the source refused) once its address gave too many wrong codes.
bool mayTryCodes(LobbyServer& server, const LobbyEndpoint& from, double nowMs) {
    auto found = server.addresses.find(from.address);
    if (found == server.addresses.end()) return true;
    LobbySource& counted = found->second;
    if (nowMs - counted.wrongSinceMs > kWrongCodeWindowMs) {
        counted.wrongCodes = 0;
        counted.wrongSinceMs = nowMs;
    }
    return counted.wrongCodes < kWrongCodesAllowed;
}

void countWrongCode(LobbyServer& server, const LobbyEndpoint& from, double nowMs) {
    server.counters.wrongCodes += 1;
    if (server.addresses.find(from.address) == server.addresses.end()) {
        makeRoom(server.addresses, kMaxSources);
        server.addresses[from.address].wrongSinceMs = nowMs;
    }
    LobbySource& counted = server.addresses[from.address];
    counted.lastMs = nowMs;
    counted.wrongCodes += 1;
}

std::string newCode(LobbyServer& server) {
    const size_t letters = sizeof kRoomCodeLetters - 1;
    for (;;) {
        std::string code;
        for (size_t i = 0; i < kRoomCodeLength; ++i)
            code += kRoomCodeLetters[server.random() % letters];
        if (server.rooms.find(code) == server.rooms.end()) return code;
    }
}

void closeRoom(LobbyServer& server, const std::string& code) {
    auto found = server.rooms.find(code);
    if (found == server.rooms.end()) return;
    LobbyRoom& room = found->second;
    server.codeOfToken.erase(room.host.token);
    if (room.guest.token) server.codeOfToken.erase(room.guest.token);
    server.relayRoute.erase(keyOf(room.host.seen));
    server.relayRoute.erase(keyOf(room.guest.seen));
    server.streamBytes -= int64_t(room.setup.size() + room.inputs.size());
    server.rooms.erase(found);
    server.counters.roomsClosed += 1;
}

LobbyMessage peerMessage(const LobbyMember& to, const LobbyMember& other, LobbyRole role) {
    LobbyMessage m;
    m.kind = kLobbyPeer;
    m.token = to.token;
    m.role = role;
    m.publicEndpoint = other.seen;
    m.endpoints = other.locals;
    m.peerToken = other.token;
    return m;
}

void tellBoth(const LobbyRoom& room, std::vector<LobbyOutgoing>& out, double nowMs) {
    answer(out, room.host.seen, peerMessage(room.host, room.guest, kRoleHost), nowMs);
    answer(out, room.guest.seen, peerMessage(room.guest, room.host, kRoleGuest), nowMs);
}

// The other member's offered mappings, passed on again (they may have been lost).
void passCandidates(const LobbyMember& to, const LobbyMember& from,
                    std::vector<LobbyOutgoing>& out, double nowMs) {
    for (const LobbyEndpoint& candidate : from.candidates) {
        LobbyMessage m;
        m.kind = kLobbyPeerCandidate;
        m.token = to.token;
        m.endpoints = {candidate};
        answer(out, to.seen, m, nowMs);
    }
}

void openRoom(LobbyServer& server, const LobbyEndpoint& from, const LobbyMessage& m,
              double nowMs, std::vector<LobbyOutgoing>& out) {
    auto known = server.codeOfToken.find(m.token);
    std::string code;
    if (known != server.codeOfToken.end()) {
        code = known->second; // asked again: the same room
    } else {
        if (server.rooms.size() >= kMaxRooms || m.token == 0) {
            server.counters.busy += 1;
            refuse(out, from, m.token, kRefusedBusy, nowMs);
            return;
        }
        code = newCode(server);
        LobbyRoom& room = server.rooms[code];
        room.code = code;
        room.host = {m.token, from, m.endpoints, {}, nowMs};
        server.codeOfToken[m.token] = code;
        server.counters.roomsOpened += 1;
    }
    LobbyRoom& room = server.rooms[code];
    if (room.host.token != m.token) return; // a guest's token cannot open a room
    room.host.seen = from;
    room.host.heardMs = nowMs;
    LobbyMessage opened;
    opened.kind = kLobbyRoomOpened;
    opened.token = m.token;
    opened.code = code;
    opened.publicEndpoint = from;
    answer(out, from, opened, nowMs);
    if (room.guest.token) answer(out, from, peerMessage(room.host, room.guest, kRoleHost), nowMs);
}

void joinRoom(LobbyServer& server, const LobbyEndpoint& from, const LobbyMessage& m,
              double nowMs, std::vector<LobbyOutgoing>& out) {
    auto found = server.rooms.find(m.code);
    if (found == server.rooms.end() || found->second.hostGone) {
        countWrongCode(server, from, nowMs);
        refuse(out, from, m.token, kRefusedNoSuchRoom, nowMs);
        return;
    }
    LobbyRoom& room = found->second;
    if (m.token == 0 || m.token == room.host.token ||
        (room.guest.token && room.guest.token != m.token)) {
        refuse(out, from, m.token, kRefusedRoomFull, nowMs);
        return;
    }
    if (!room.guest.token) {
        server.counters.roomsJoined += 1;
        server.codeOfToken[m.token] = room.code;
    }
    room.guest = {m.token, from, m.endpoints, room.guest.candidates, nowMs};
    tellBoth(room, out, nowMs);
}

void startRelay(LobbyServer& server, LobbyRoom& room, double nowMs,
                std::vector<LobbyOutgoing>& out) {
    room.relayed = true;
    server.relayRoute[keyOf(room.host.seen)] = keyOf(room.guest.seen);
    server.relayRoute[keyOf(room.guest.seen)] = keyOf(room.host.seen);
    for (const LobbyMember* member : {&room.host, &room.guest}) {
        LobbyMessage ready;
        ready.kind = kLobbyRelayReady;
        ready.token = member->token;
        answer(out, member->seen, ready, nowMs);
    }
}

void takeStream(LobbyServer& server, LobbyRoom& room, const LobbyEndpoint& from,
                const LobbyMessage& m, double nowMs, std::vector<LobbyOutgoing>& out) {
    if (m.kind == kLobbyStreamStart && m.match != room.match && m.match != 0) {
        server.streamBytes -= int64_t(room.setup.size() + room.inputs.size());
        room.match = m.match;
        room.setup = m.payload;
        room.inputs.clear();
        room.ended = false;
        server.streamBytes += int64_t(room.setup.size());
    }
    int64_t held = int64_t(room.inputs.size() / 2);
    if (m.kind == kLobbyStreamInputs && m.match == room.match && m.frame <= held && !room.ended) {
        size_t from2 = size_t(2 * (held - m.frame));
        size_t adding = m.payload.size() > from2 ? m.payload.size() - from2 : 0;
        if (held + int64_t(adding / 2) > kMaxStreamFrames ||
            server.streamBytes + int64_t(adding) > kMaxStreamBytes) {
            server.counters.streamDropped += 1;
        } else if (adding > 0) {
            room.inputs.insert(room.inputs.end(), m.payload.begin() + long(from2), m.payload.end());
            server.streamBytes += int64_t(adding);
        }
    }
    if (m.kind == kLobbyStreamEnd && m.match == room.match) {
        room.ended = true;
        room.endFrames = m.frame;
        room.endResult = m.result;
        room.endHash = m.hash;
    }
    LobbyMessage ack;
    ack.kind = kLobbyStreamAck;
    ack.token = m.token;
    ack.match = m.match;
    ack.frame = m.match == room.match ? int64_t(room.inputs.size() / 2) : -1;
    ack.hash = m.match == room.match && room.ended ? room.endHash : 0;
    answer(out, from, ack, nowMs);
}

void watch(LobbyServer& server, const LobbyEndpoint& from, const LobbyMessage& m, double nowMs,
           std::vector<LobbyOutgoing>& out) {
    auto found = server.rooms.find(m.code);
    if (found == server.rooms.end()) {
        countWrongCode(server, from, nowMs);
        refuse(out, from, m.token, kRefusedNoSuchRoom, nowMs);
        return;
    }
    LobbyRoom& room = found->second;
    auto spectator = std::find_if(room.spectators.begin(), room.spectators.end(),
                                  [&](const LobbySpectator& s) { return s.token == m.token; });
    if (spectator == room.spectators.end()) {
        if (int64_t(room.spectators.size()) >= kMaxSpectators || m.token == 0) {
            refuse(out, from, m.token, kRefusedRoomFull, nowMs);
            return;
        }
        room.spectators.push_back({m.token, nowMs});
    } else {
        spectator->heardMs = nowMs;
    }
    LobbyMessage reply;
    reply.token = m.token;
    reply.match = room.match;
    int64_t held = int64_t(room.inputs.size() / 2);
    if (room.match == 0) {
        reply.kind = kLobbyWatchWait;
    } else if (m.frame < 0 || m.match != room.match) {
        reply.kind = kLobbyWatchStart;
        reply.payload = room.setup;
    } else if (m.frame < held) {
        reply.kind = kLobbyWatchInputs;
        reply.frame = m.frame;
        int64_t count = std::min<int64_t>(held - m.frame, kMaxStreamFramesPerMessage);
        auto first = room.inputs.begin() + long(2 * m.frame);
        reply.payload.assign(first, first + long(2 * count));
    } else if (room.ended) {
        reply.kind = kLobbyWatchEnd;
        reply.frame = room.endFrames;
        reply.result = room.endResult;
        reply.hash = room.endHash;
    } else {
        reply.kind = kLobbyWatchWait;
    }
    answer(out, from, reply, nowMs);
}

// A message of a room's member (by its token).
void memberMessage(LobbyServer& server, const LobbyEndpoint& from, const LobbyMessage& m,
                   double nowMs, std::vector<LobbyOutgoing>& out) {
    auto known = server.codeOfToken.find(m.token);
    if (m.token == 0 || known == server.codeOfToken.end()) {
        refuse(out, from, m.token, kRefusedUnknownToken, nowMs);
        return;
    }
    LobbyRoom& room = server.rooms[known->second];
    bool isHost = room.host.token == m.token;
    LobbyMember& self = isHost ? room.host : room.guest;
    LobbyMember& other = isHost ? room.guest : room.host;
    if (!(self.seen == from)) {
        // Its router gave it a new outside address: the relay follows it.
        if (room.relayed) server.relayRoute.erase(keyOf(self.seen));
        self.seen = from;
        if (room.relayed && other.token) startRelay(server, room, nowMs, out);
    }
    self.heardMs = nowMs;
    switch (m.kind) {
    case kLobbyKeepAlive:
        if (other.token) {
            answer(out, from, peerMessage(self, other, isHost ? kRoleHost : kRoleGuest), nowMs);
            passCandidates(self, other, out, nowMs);
        } else if (isHost) {
            LobbyMessage again = m;
            again.kind = kLobbyOpenRoom;
            openRoom(server, from, again, nowMs, out);
        }
        return;
    case kLobbyCandidate:
        for (const LobbyEndpoint& c : m.endpoints)
            if (self.candidates.size() < kMaxEndpoints &&
                std::find(self.candidates.begin(), self.candidates.end(), c) == self.candidates.end())
                self.candidates.push_back(c);
        if (other.token) passCandidates(other, self, out, nowMs);
        return;
    case kLobbyRelayRequest:
        if (other.token) startRelay(server, room, nowMs, out);
        return;
    case kLobbyLeave:
        if (isHost && room.match == 0) {
            closeRoom(server, room.code);
        } else if (isHost) {
            // Spectators a moment behind still fetch the match's end; nobody joins any more.
            server.codeOfToken.erase(room.host.token);
            if (room.guest.token) server.codeOfToken.erase(room.guest.token);
            server.relayRoute.erase(keyOf(room.host.seen));
            server.relayRoute.erase(keyOf(room.guest.seen));
            room.hostGone = true;
            room.guest = LobbyMember{};
            room.relayed = false;
        } else {
            server.codeOfToken.erase(room.guest.token);
            server.relayRoute.erase(keyOf(room.guest.seen));
            server.relayRoute.erase(keyOf(room.host.seen));
            room.guest = LobbyMember{};
            room.relayed = false;
        }
        return;
    case kLobbyStreamStart:
    case kLobbyStreamInputs:
    case kLobbyStreamEnd:
        if (isHost) takeStream(server, room, from, m, nowMs, out);
        return;
    default: return;
    }
}
} // namespace

void handleLobbyDatagram(LobbyServer& server, const LobbyEndpoint& from,
                         std::span<const uint8_t> bytes, double nowMs,
                         std::vector<LobbyOutgoing>& out) {
    if (!isLobbyDatagram(bytes)) {
        // Relayed traffic: only between the two players of a relayed room, within its rate.
        auto route = server.relayRoute.find(keyOf(from));
        if (route == server.relayRoute.end() || bytes.size() > kMaxLobbyMessageBytes) {
            server.counters.strangersDropped += 1;
            return;
        }
        LobbySource& source = sourceOf(server, from, nowMs);
        if (!withinRate(source.relayTokens, source.lastMs, nowMs, kRelayedPerSecond, kRelayedBurst)) {
            server.counters.relayDropped += 1;
            return;
        }
        LobbyEndpoint to{uint32_t(route->second >> 16), uint16_t(route->second & 0xFFFF)};
        out.push_back({to, LobbyBytes(bytes.begin(), bytes.end()), nowMs});
        server.counters.relayed += 1;
        return;
    }
    LobbySource& source = sourceOf(server, from, nowMs);
    if (!withinRate(source.tokens, source.lastMs, nowMs, kMessagesPerSecond, kMessageBurst)) {
        server.counters.rateLimited += 1;
        return;
    }
    LobbyMessage m;
    std::string reason;
    if (!decodeLobbyMessage(bytes, m, reason)) {
        server.counters.malformed += 1;
        return; // no answer: an answer could be aimed at someone else
    }
    bool triesCode = m.kind == kLobbyJoinRoom || m.kind == kLobbyWatch;
    if (triesCode && !mayTryCodes(server, from, nowMs) &&
        server.codeOfToken.find(m.token) == server.codeOfToken.end()) {
        server.counters.triesRefused += 1;
        refuse(out, from, m.token, kRefusedTooManyTries, nowMs);
        return;
    }
    switch (m.kind) {
    case kLobbyOpenRoom: openRoom(server, from, m, nowMs, out); return;
    case kLobbyJoinRoom: joinRoom(server, from, m, nowMs, out); return;
    case kLobbyWatch: watch(server, from, m, nowMs, out); return;
    case kLobbyKeepAlive:
    case kLobbyCandidate:
    case kLobbyRelayRequest:
    case kLobbyLeave:
    case kLobbyStreamStart:
    case kLobbyStreamInputs:
    case kLobbyStreamEnd: memberMessage(server, from, m, nowMs, out); return;
    default: return; // the lobby's own kinds and the players' probes: not for the lobby
    }
}

void expireLobby(LobbyServer& server, double nowMs) {
    std::vector<std::string> quiet;
    for (auto& [code, room] : server.rooms) {
        double heard = std::max(room.host.heardMs, room.guest.heardMs);
        if (nowMs - heard > (room.hostGone ? kLeftRoomKeptMs : kRoomQuietMs)) quiet.push_back(code);
        std::erase_if(room.spectators, [&](const LobbySpectator& s) {
            return nowMs - s.heardMs > kSpectatorQuietMs;
        });
    }
    for (const std::string& code : quiet) closeRoom(server, code);
    std::erase_if(server.sources, [&](const auto& s) { return nowMs - s.second.lastMs > 10000; });
    std::erase_if(server.addresses,
                  [&](const auto& a) { return nowMs - a.second.wrongSinceMs > kWrongCodeWindowMs; });
    server.lastExpiryMs = nowMs;
}

std::string lobbyStatsLine(const LobbyServer& server) {
    const LobbyCounters& c = server.counters;
    return "rooms " + std::to_string(server.rooms.size()) + " opened " +
           std::to_string(c.roomsOpened) + " joined " + std::to_string(c.roomsJoined) +
           " closed " + std::to_string(c.roomsClosed) + " relayed " + std::to_string(c.relayed) +
           " relay-dropped " + std::to_string(c.relayDropped) + " strangers " +
           std::to_string(c.strangersDropped) + " malformed " + std::to_string(c.malformed) +
           " rate-limited " + std::to_string(c.rateLimited) + " wrong-codes " +
           std::to_string(c.wrongCodes) + " tries-refused " + std::to_string(c.triesRefused) +
           " busy " + std::to_string(c.busy) + " stream-bytes " + std::to_string(server.streamBytes);
}

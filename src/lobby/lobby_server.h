// The lobby as a state machine without sockets: datagrams in (from an address, at a time),
// datagrams out. It keeps rooms in memory, tells two players each other's addresses, relays
// their traffic when nothing else gets through, and passes a host's stream on to spectators.
// It trusts no client: every table has a fixed size, every source a rate, every wrong code
// counts against its address, and what it cannot read it drops without an answer.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "lobby/lobby_messages.h"

inline constexpr size_t kMaxRooms = 20000;
inline constexpr size_t kMaxSources = 65536;    // addresses whose rates and tries are counted
inline constexpr double kRoomQuietMs = 60000;   // a room nobody spoke for is closed
inline constexpr double kSpectatorQuietMs = 15000;
inline constexpr double kLeftRoomKeptMs = 30000; // a left room's stream, for spectators behind
inline constexpr double kMessagesPerSecond = 50; // control messages from one address and port
inline constexpr double kMessageBurst = 100;
inline constexpr double kRelayedPerSecond = 500; // relayed datagrams from one player
inline constexpr double kRelayedBurst = 1000;
inline constexpr int64_t kWrongCodesAllowed = 10; // from one address within kWrongCodeWindowMs
inline constexpr double kWrongCodeWindowMs = 60000;
inline constexpr int64_t kMaxStreamFrames = 1 << 17; // about 36 minutes at 60 frames a second
inline constexpr int64_t kMaxStreamBytes = 64 << 20; // every room's stream together

struct LobbyOutgoing {
    LobbyEndpoint to;
    LobbyBytes bytes;
    double receivedMs = 0; // when what caused it arrived (the relay's own delay is measured)
};

struct LobbyMember {
    uint64_t token = 0;
    LobbyEndpoint seen; // where its messages come from: its public address
    std::vector<LobbyEndpoint> locals;
    std::vector<LobbyEndpoint> candidates; // mapped addresses it offered
    double heardMs = 0;
};

struct LobbySpectator {
    uint64_t token = 0;
    double heardMs = 0;
};

struct LobbyRoom {
    std::string code;
    LobbyMember host, guest; // guest.token 0: none yet
    bool relayed = false;
    bool hostGone = false; // left: kept a moment for the spectators, joined by nobody
    std::vector<LobbySpectator> spectators;
    uint32_t match = 0; // the newest match streamed (0: none)
    LobbyBytes setup;
    LobbyBytes inputs;  // two bytes a frame
    bool ended = false;
    int64_t endFrames = 0;
    uint8_t endResult = 0;
    uint64_t endHash = 0;
};

// A source's budget (token bucket) and its wrong codes.
struct LobbySource {
    double tokens = kMessageBurst;
    double relayTokens = kRelayedBurst;
    double lastMs = 0;
    int64_t wrongCodes = 0;
    double wrongSinceMs = 0;
};

struct LobbyCounters {
    int64_t roomsOpened = 0, roomsJoined = 0, roomsClosed = 0;
    int64_t malformed = 0, rateLimited = 0, wrongCodes = 0, triesRefused = 0, busy = 0;
    int64_t relayed = 0, relayDropped = 0, strangersDropped = 0, streamDropped = 0;
};

struct LobbyServer {
    std::unordered_map<std::string, LobbyRoom> rooms;     // by code
    std::unordered_map<uint64_t, std::string> codeOfToken; // members' tokens
    std::unordered_map<uint64_t, uint64_t> relayRoute;     // endpoint key -> the partner's key
    std::unordered_map<uint64_t, LobbySource> sources;     // by endpoint key
    std::unordered_map<uint32_t, LobbySource> addresses;   // wrong codes, by IPv4 address
    int64_t streamBytes = 0;
    std::mt19937_64 random{1};
    double lastExpiryMs = 0;
    LobbyCounters counters;
};

// One datagram received from `from` at nowMs; what is to be sent goes to `out`.
void handleLobbyDatagram(LobbyServer& server, const LobbyEndpoint& from,
                         std::span<const uint8_t> bytes, double nowMs,
                         std::vector<LobbyOutgoing>& out);
// Closes quiet rooms, forgets quiet spectators and sources (run about once a second).
void expireLobby(LobbyServer& server, double nowMs);
// "rooms 12 opened 40 joined 30 relayed 1200 malformed 3 ..." for logs.
std::string lobbyStatsLine(const LobbyServer& server);

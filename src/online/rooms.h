// Online play through a lobby: a room with a short code, the path to the other player found
// for us (same network, hole punching, a port mapping asked of the router, or the lobby's
// relay), and spectators who watch a room's matches a moment behind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lobby/lobby_messages.h"
#include "net/transport.h"

struct OnlinePlay;
struct PortMapping;
// Waits for the router's answer and lets the mapping go.
struct PortMappingRelease {
    void operator()(PortMapping* mapping) const;
};

enum class OnlinePath : uint8_t { None, Local, Direct, Upnp, Relay };
// "local", "direct", "upnp", "relay" ("" for None): the tools' output and the logs.
const char* onlinePathName(OnlinePath path);

enum class RoomPhase : uint8_t {
    Asking,    // the lobby has not answered yet
    Waiting,   // the host has its code and waits for a guest
    Finding,   // both know each other: a path is being tried
    Connected, // the fight connection is up (the greeting follows as before)
    Failed,    // see OnlinePlay::problem
};

// "Finding a path…" while a path is tried; "Connected directly" or "Connected through the
// relay" once one is found.
std::string roomStatusText(RoomPhase phase, OnlinePath path);

// "HOST" or "HOST:PORT" of a lobby (kDefaultLobbyPort when the port is left out).
bool parseLobbyAddress(const std::string& text, std::string& host, uint16_t& port,
                       std::string& error);

// The lobby's side of an OnlinePlay (empty, `active` false, when playing by address).
struct RoomLink {
    bool active = false;
    RoomPhase phase = RoomPhase::Asking;
    OnlinePath path = OnlinePath::None;
    std::string code;        // the room's code: the lobby's answer (host) or as given (guest)
    std::string lobbyText;   // "host:port" of the lobby, for messages
    LobbyEndpoint lobby;
    uint64_t token = 0, peerToken = 0;
    double startedMs = 0;    // linkClockMs when hosting or joining began
    double peerKnownMs = 0;  // when the lobby told us of the other side
    double connectedMs = 0;  // when the fight connection came up
    double lastLobbySendMs = 0, lastLobbyHeardMs = 0;
    std::vector<LobbyEndpoint> ownLocals;     // this computer's local addresses, our port
    LobbyEndpoint ownPublic;                  // as the lobby saw us
    std::vector<LobbyEndpoint> peerEndpoints; // every address of the peer worth a probe
    LobbyEndpoint peerPublic;
    std::vector<LobbyEndpoint> peerLocals, peerMapped;
    LobbyEndpoint pathEndpoint;               // where the fight connection goes
    int64_t probesSent = 0;
    double lastProbeMs = 0;
    bool relayAsked = false;
    bool relayAtOnce = false;  // tests: no direct tries, the relay at once
    bool mappingOffered = false;
    // The host's stream of confirmed inputs to the lobby, for spectators.
    uint32_t streamMatch = 0;    // 0: no match streamed yet
    LobbyBytes streamSetup;      // the match's starting set-up, as sent to the peer
    LobbyBytes streamInputs;     // two bytes a fight frame (player one, player two)
    bool streamEnded = false;
    int64_t streamFrames = 0; uint8_t streamResult = 0; uint64_t streamHash = 0;
    int64_t streamAcked = -1;    // frames the lobby holds (-1: not even the start)
    double lastStreamSendMs = 0;
    bool endAcked = false;
    std::unique_ptr<PortMapping, PortMappingRelease> mapping; // UPnP / NAT-PMP, in the background
};

// Asks the lobby (`lobby`: "HOST[:PORT]") for a room; the code arrives in online.room.code
// while serviceOnline runs (phase Waiting). The guest is then connected as by hostOnline.
bool hostRoom(OnlinePlay& online, const std::string& lobby, std::string& error);
// Joins the room of `code` (typed: normalizedRoomCode is applied); serviceOnline finds the path
// and connects (phase Connected), after which the greeting goes as by joinOnline.
bool joinRoom(OnlinePlay& online, const std::string& lobby, const std::string& code,
              std::string& error);
// Once a service: lobby messages, probes, keep-alives, the relay's set-up, the spectators'
// stream. Called by serviceOnline; false once the room failed (online.problem says why).
bool serviceRoom(OnlinePlay& online);
// The host, for spectators: a match starts with this starting set-up (a Setup packet's bytes),
// its confirmed frames follow, and it ends with the fight's frames, result and hash.
void streamMatchStart(OnlinePlay& online, const LobbyBytes& setup);
void streamFightFrames(OnlinePlay& online, const std::vector<uint8_t>& playerOne,
                       const std::vector<uint8_t>& playerTwo, int64_t confirmed);
void streamMatchEnd(OnlinePlay& online, int64_t frames, int64_t result, uint64_t hash);
// The room alone, once the fight connection is over (the other player left): the stream's
// end still reaches the lobby. False when the room is gone.
bool serviceRoomAlone(OnlinePlay& online);
// True when the spectators' stream has nothing left to send: every frame acked by the lobby
// and the end sent (or nothing streamed).
bool streamSettled(const OnlinePlay& online);
// Tells the lobby we leave (best effort) and lets a port mapping go.
void leaveRoom(OnlinePlay& online);

// A spectator's connection to a room's stream.
struct Spectating {
    NetLink link;            // its socket only: a spectator has no fight connection
    RoomLink room;
    std::string problem;
    uint32_t match = 0;      // the match being watched (0: none yet)
    LobbyBytes setup;        // its starting set-up, once received
    std::vector<uint8_t> inputs; // two bytes a fight frame, from frame 0
    bool ended = false;
    int64_t endFrames = 0; int64_t endResult = 0; uint64_t endHash = 0;
    double lastAskMs = 0;
};
bool watchRoom(Spectating& watching, const std::string& lobby, const std::string& code,
               std::string& error);
// Asks for what comes next and takes what came; false once the room is gone (problem says why).
bool serviceWatching(Spectating& watching);

// The lobby's wire format: the UDP datagrams between a game and the lobby server (rooms, the
// addresses each side is seen at, the relay and the spectators' stream), and the probes two
// games send each other to find a path. Every message starts with the magic "QL", the lobby
// protocol version and the message kind (one byte each); all fields are fixed-width and
// little-endian. A datagram that does not start with "QL" is never a lobby message: on the
// game's socket it is the fight connection's (ENet), at the lobby it is relayed traffic.
//
// A decoder refuses anything malformed with a reason and never reads past the bytes it is
// given; nothing it reads makes it allocate more than kMaxLobbyMessageBytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

using LobbyBytes = std::vector<uint8_t>;

inline constexpr uint8_t kLobbyProtocolVersion = 1;
inline constexpr size_t kLobbyHeaderBytes = 4;        // "QL", version, kind
inline constexpr size_t kMaxLobbyMessageBytes = 1200; // a datagram that passes any home link
inline constexpr uint16_t kDefaultLobbyPort = 7771;
inline constexpr size_t kRoomCodeLength = 6;
// Letters that cannot be taken for one another or for digits, read aloud or written by hand
// (no B/8, G/6, I/1/L, O/0/Q, S/5, U/V, Z/2): 16^6, about 17 million codes.
inline constexpr char kRoomCodeLetters[] = "ACDEFHJKMNPRTWXY";
inline constexpr size_t kMaxEndpoints = 4;       // local addresses a game tells the lobby
inline constexpr size_t kMaxStreamFramesPerMessage = 400; // two bytes a frame: 800 bytes
inline constexpr size_t kMaxStartSetupBytes = 512; // the host's starting set-up (a Setup packet)
inline constexpr int64_t kMaxSpectators = 8;

// An IPv4 address and port; address in host byte order (0x7F000001 is 127.0.0.1).
struct LobbyEndpoint {
    uint32_t address = 0;
    uint16_t port = 0;
    bool operator==(const LobbyEndpoint&) const = default;
};

enum LobbyKind : uint8_t {
    // game -> lobby
    kLobbyOpenRoom = 1, // token, endpoints (the game's local addresses)
    kLobbyJoinRoom,     // token, code, endpoints
    kLobbyKeepAlive,    // token: the room (and the router's mapping) stays alive
    kLobbyCandidate,    // token, endpoints[0]: a mapped address (UPnP/NAT-PMP) for the peer
    kLobbyRelayRequest, // token: relay the pair's traffic
    kLobbyLeave,        // token: the member leaves; a host's leaving closes the room
    kLobbyStreamStart,  // token, match, payload = the starting set-up (host, for spectators)
    kLobbyStreamInputs, // token, match, frame = first frame, payload = 2 bytes a frame
    kLobbyStreamEnd,    // token, match, frame = fight frames, result, hash
    kLobbyWatch,        // token, code, match (0: the newest), frame = frames already held
                        // (-1: not even the start)
    // lobby -> game
    kLobbyRoomOpened,    // token, code, publicEndpoint (as the lobby saw the host)
    kLobbyPeer,          // token, role, publicEndpoint (the peer's), endpoints (its locals),
                         // peerToken
    kLobbyPeerCandidate, // token, endpoints[0]: the peer's mapped address
    kLobbyRelayReady,    // token, publicEndpoint (the lobby's relay address as it knows it: 0 =
                         // the address the lobby is reached at)
    kLobbyStreamAck,     // token, match, frame = frames held (-1: not even the start), hash =
                         // the end's hash once the end came (0 before)
    kLobbyWatchStart,    // token, match, payload = the starting set-up
    kLobbyWatchInputs,   // token, match, frame = first frame, payload = 2 bytes a frame
    kLobbyWatchEnd,      // token, match, frame = fight frames, result, hash
    kLobbyWatchWait,     // token, match: nothing newer yet (the match goes on, or none began)
    kLobbyRefused,       // token, reason
    // game <-> game, on the path being tried
    kLobbyProbe,       // token (the sender's), peerToken (the receiver's), frame = probe number
    kLobbyProbeAnswer, // the same, answered back to where the probe came from
};

enum LobbyRefusal : uint8_t {
    kRefusedNoSuchRoom = 1, // no open room has this code
    kRefusedRoomFull,       // it has its two players (joining) or its spectators (watching)
    kRefusedTooManyTries,   // this address gave too many wrong codes: wait a minute
    kRefusedBusy,           // the lobby holds as many rooms as it can
    kRefusedUnknownToken,   // a token the lobby holds no room for (it expired or left)
};

enum LobbyRole : uint8_t { kRoleHost = 1, kRoleGuest = 2 };

struct LobbyMessage {
    LobbyKind kind = kLobbyKeepAlive;
    uint64_t token = 0;      // the sender's (game) or the receiver's (lobby): random, never 0
    std::string code;        // kRoomCodeLength letters of kRoomCodeLetters, where the kind has one
    std::vector<LobbyEndpoint> endpoints; // at most kMaxEndpoints
    LobbyEndpoint publicEndpoint;
    uint64_t peerToken = 0;
    uint8_t role = 0;        // a LobbyRole
    uint8_t reason = 0;      // a LobbyRefusal
    uint32_t match = 0;      // the room's match number, from 1
    int64_t frame = 0;       // -1 to 0x7FFFFFFF (32 bits on the wire)
    uint8_t result = 0;      // 0 no knock-out, 1 player one lost, 2 player two lost
    uint64_t hash = 0;
    LobbyBytes payload;      // kinds with a payload: at most what the kind allows
};

// False (and `out` empty) when a field does not fit: a code that is not a room code, too many
// endpoints, a payload too long for its kind, a frame out of range.
bool encodeLobbyMessage(const LobbyMessage& message, LobbyBytes& out);
// Checks the header, the kind, every field and that the length is exactly the fields'.
bool decodeLobbyMessage(std::span<const uint8_t> bytes, LobbyMessage& out, std::string& reason);
// True when the datagram starts with the lobby's magic (whatever follows).
bool isLobbyDatagram(std::span<const uint8_t> bytes);

// "ACD EFH" style checks: a code typed by a player, upper-cased and with spaces and dashes
// taken out; "" when what is left is not a room code.
std::string normalizedRoomCode(const std::string& typed);
// "1.2.3.4:5" for messages and logs.
std::string endpointText(const LobbyEndpoint& endpoint);
// What a refusal tells the player, e.g. "no room has this code".
std::string refusalMessage(uint8_t reason);

// The connection between two peers, over ENet (UDP): a reliable channel for the handshake and
// the set-up, an unreliable sequenced one for inputs and hashes. One host waits for one peer;
// a second one is turned away by ENet itself (the host has a single peer slot). For tests the
// input channel's outgoing packets can pass through a network conditioner first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "net/conditioner.h"
#include "net/packets.h"

struct _ENetHost;
struct _ENetPeer;

inline constexpr uint16_t kDefaultPort = 7770;
inline constexpr uint8_t kSetupChannel = 0; // reliable, in order: Hello, Setup, Bye
inline constexpr uint8_t kInputChannel = 1; // unreliable, sequenced: Inputs, Hash
inline constexpr double kLinkTimeoutMs = 3000; // silence after which the peer counts as gone

// Lets go of an ENet host with its peers (a link dropped anywhere leaves nothing behind).
struct EnetHostRelease {
    void operator()(_ENetHost* host) const;
};

// A datagram on the link's socket that is not the fight connection's: a lobby message or a
// path probe (both start with "QL"). Address in host byte order.
struct RawDatagram {
    uint32_t address = 0;
    uint16_t port = 0;
    PacketBytes bytes;
};
// Where the socket keeps them until taken; at most kMaxRawDatagrams, later ones are dropped.
struct RawInbox {
    std::vector<RawDatagram> datagrams;
    int64_t dropped = 0;
};
inline constexpr size_t kMaxRawDatagrams = 256;

struct NetLink {
    std::unique_ptr<RawInbox> raw; // before the host: the host lets go of it first
    std::unique_ptr<_ENetHost, EnetHostRelease> host;
    _ENetPeer* peer = nullptr; // the connected (or connecting) peer
    bool hosting = false;
    bool connected = false;
    bool closed = false;       // the peer left, went silent or the link failed; see closeReason
    std::string closeReason;
    double openedMs = 0;       // linkClockMs when hosting or joining began
    double lastHeardMs = 0;    // linkClockMs of the last thing heard from the peer
    std::unique_ptr<Conditioner> conditioner; // tests: the input channel's packets go through it
    int64_t packetsSent = 0, packetsReceived = 0;
    // A room's link takes the fight connection only from the addresses the path finding
    // heard the other player at (or the relay); a link by address takes anyone's.
    bool acceptListedOnly = false;
    std::vector<std::pair<uint32_t, uint16_t>> acceptFrom; // address (host order), port
    bool keepSocket = false;  // a room's: closing ends the fight connection, not the socket
    uint32_t peerAddress = 0; // where the connected peer's packets come from (host order)
    uint16_t peerPort = 0;
};

struct LinkMessage {
    uint8_t channel = 0;
    PacketBytes bytes;
};

// Milliseconds on the monotonic clock: the link's timeouts and the conditioner's time.
double linkClockMs();

// "HOST" or "HOST:PORT" (IPv4 address or name; the port 1-65535, kDefaultPort when left out).
bool parseHostAndPort(const std::string& text, std::string& host, uint16_t& port,
                      std::string& error, uint16_t defaultPort = kDefaultPort);
// An IPv4 address or a name, to an address in host byte order.
bool resolveIpv4(const std::string& host, uint32_t& address, std::string& error);

// Waits for a peer on the port, on every IPv4 address of this machine.
bool hostLink(NetLink& link, uint16_t port, std::string& error);
// Starts connecting to host:port; serviceLink tells when the peer answered.
bool joinLink(NetLink& link, const std::string& host, uint16_t port, std::string& error);
// Opens a socket on `port` (0: any free one) on every IPv4 address, with no peer yet: a room's
// link, which talks to the lobby and probes paths with raw datagrams before the fight
// connection is made (connectLink) or taken (hosting).
bool openLink(NetLink& link, uint16_t port, bool hosting, std::string& error);
// The port the link's socket is bound to (0 when closed).
uint16_t linkPort(const NetLink& link);
// Starts the fight connection to address:port (host byte order) on an opened link.
bool connectLink(NetLink& link, uint32_t address, uint16_t port, std::string& error);
// Sends one raw datagram from the link's socket (the lobby's messages, probes).
void sendDatagram(NetLink& link, uint32_t address, uint16_t port, const PacketBytes& bytes);
// Takes what arrived on a closed room link's socket (the raw datagrams; ENet's events are
// dropped).
void pumpSocket(NetLink& link);
// The raw datagrams received since the last call (they arrive while serviceLink runs).
std::vector<RawDatagram> takeDatagrams(NetLink& link);
// Sends what is queued and takes what arrived (waiting at most waitMs for the first): the
// messages of the peer, in order. Sets connected, closed and closeReason; a peer silent for
// kLinkTimeoutMs after connecting is taken as gone.
std::vector<LinkMessage> serviceLink(NetLink& link, uint32_t waitMs = 0);
// Queues a packet to the peer (nothing when not connected); sent at the next serviceLink.
void sendOnLink(NetLink& link, uint8_t channel, const PacketBytes& bytes);
// Ends the link: the queued packets (a Bye) are sent, the peer told, and everything let go.
// The reason is kept for the player when none was set before.
void closeLink(NetLink& link, const std::string& reason);
// Why a link closed when the peer fell silent for the link's timeout.
inline const std::string kLinkSilentReason = "the connection was lost: nothing heard for 3 seconds";
// The peer's mean round trip in ms, 0 when not connected.
int64_t linkRoundTripMs(const NetLink& link);

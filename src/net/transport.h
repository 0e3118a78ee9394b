// The connection between two peers, over ENet (UDP): a reliable channel for the handshake and
// the set-up, an unreliable sequenced one for inputs and hashes. One host waits for one peer;
// a second one is turned away by ENet itself (the host has a single peer slot). For tests the
// input channel's outgoing packets can pass through a network conditioner first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
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

struct NetLink {
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
};

struct LinkMessage {
    uint8_t channel = 0;
    PacketBytes bytes;
};

// Milliseconds on the monotonic clock: the link's timeouts and the conditioner's time.
double linkClockMs();

// "HOST" or "HOST:PORT" (IPv4 address or name; the port 1-65535, kDefaultPort when left out).
bool parseHostAndPort(const std::string& text, std::string& host, uint16_t& port,
                      std::string& error);

// Waits for a peer on the port, on every IPv4 address of this machine.
bool hostLink(NetLink& link, uint16_t port, std::string& error);
// Starts connecting to host:port; serviceLink tells when the peer answered.
bool joinLink(NetLink& link, const std::string& host, uint16_t port, std::string& error);
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

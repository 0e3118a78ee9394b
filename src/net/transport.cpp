// The connection over ENet.
#include "net/transport.h"

#include <enet/enet.h>
#include <enet/time.h>

#include <chrono>
#include <cstdlib>

namespace {
constexpr size_t kChannels = 2;
constexpr double kConnectTimeoutMs = 8000; // a host that never answers

bool enetReady(std::string& error) {
    static int state = 0; // 0 not tried, 1 ready, -1 failed
    if (state == 0) {
        state = enet_initialize() == 0 ? 1 : -1;
        if (state == 1) std::atexit(enet_deinitialize);
    }
    if (state < 0) error = "the network could not be started";
    return state > 0;
}

void close(NetLink& link, const std::string& reason) {
    if (!link.closed) link.closeReason = reason;
    link.closed = true;
}

void sendNow(NetLink& link, uint8_t channel, const PacketBytes& bytes) {
    if (!link.peer || !link.connected || link.closed) return;
    enet_uint32 flags = channel == kSetupChannel ? ENET_PACKET_FLAG_RELIABLE : 0;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), flags);
    if (packet && enet_peer_send(link.peer, channel, packet) != 0) enet_packet_destroy(packet);
    // Out at once rather than at the next service, a frame later: inputs are late enough.
    enet_host_flush(link.host.get());
    link.packetsSent += 1;
}
} // namespace

void EnetHostRelease::operator()(_ENetHost* host) const {
    enet_host_destroy(host);
}

double linkClockMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool parseHostAndPort(const std::string& text, std::string& host, uint16_t& port,
                      std::string& error) {
    size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    port = kDefaultPort;
    if (host.empty()) {
        error = "no address given";
        return false;
    }
    if (host.find(':') != std::string::npos) {
        error = "IPv6 addresses are not supported: give an IPv4 address or a name";
        return false;
    }
    if (colon == std::string::npos) return true;
    std::string digits = text.substr(colon + 1);
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9' || value > 65535) {
            value = 0;
            break;
        }
        value = value * 10 + (c - '0');
    }
    if (digits.empty() || value < 1 || value > 65535) {
        error = "the port must be a number from 1 to 65535: " + digits;
        return false;
    }
    port = uint16_t(value);
    return true;
}

bool hostLink(NetLink& link, uint16_t port, std::string& error) {
    link = NetLink{};
    if (!enetReady(error)) return false;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    link.host.reset(enet_host_create(&address, 1, kChannels, 0, 0));
    if (!link.host) {
        error = "port " + std::to_string(port) + " is in use or cannot be opened";
        return false;
    }
    link.hosting = true;
    link.openedMs = linkClockMs();
    return true;
}

bool joinLink(NetLink& link, const std::string& host, uint16_t port, std::string& error) {
    link = NetLink{};
    if (!enetReady(error)) return false;
    ENetAddress address{};
    if (enet_address_set_host(&address, host.c_str()) != 0) {
        error = "no such host: " + host;
        return false;
    }
    address.port = port;
    link.host.reset(enet_host_create(nullptr, 1, kChannels, 0, 0));
    if (!link.host) {
        error = "the network could not be opened";
        return false;
    }
    link.peer = enet_host_connect(link.host.get(), &address, kChannels, 0);
    if (!link.peer) {
        link.host.reset();
        error = "cannot connect to " + host;
        return false;
    }
    link.openedMs = linkClockMs();
    return true;
}

std::vector<LinkMessage> serviceLink(NetLink& link, uint32_t waitMs) {
    std::vector<LinkMessage> messages;
    if (!link.host || link.closed) return messages;
    double now = linkClockMs();
    if (link.conditioner)
        for (const PacketBytes& bytes : deliverDue(*link.conditioner, now))
            sendNow(link, kInputChannel, bytes);
    ENetEvent event;
    int got = enet_host_service(link.host.get(), &event, waitMs);
    while (got > 0) {
        now = linkClockMs();
        if (event.type == ENET_EVENT_TYPE_CONNECT && !link.connected) {
            link.peer = event.peer;
            link.connected = true;
            link.lastHeardMs = now;
        } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            if (event.peer == link.peer && link.connected) {
                // A packet longer than any of ours is kept one byte too long: the decoder
                // refuses it as oversize without the rest being copied.
                size_t kept = std::min(event.packet->dataLength, kMaxPacketBytes + 1);
                messages.push_back({event.channelID, PacketBytes(event.packet->data,
                                                                 event.packet->data + kept)});
                link.lastHeardMs = now;
                link.packetsReceived += 1;
            }
            enet_packet_destroy(event.packet);
        } else if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == link.peer) {
            close(link, link.connected ? "the other player left" : "no answer from the host");
            link.peer = nullptr;
            return messages;
        }
        got = enet_host_check_events(link.host.get(), &event);
    }
    if (got < 0) close(link, "the network failed");
    now = linkClockMs();
    if (link.connected && now - link.lastHeardMs > kLinkTimeoutMs) {
        // ENet's own pings count as heard: only a peer that is really gone is silent this long.
        if (link.peer && ENET_TIME_DIFFERENCE(link.host->serviceTime, link.peer->lastReceiveTime) <
                             enet_uint32(kLinkTimeoutMs))
            link.lastHeardMs = now - ENET_TIME_DIFFERENCE(link.host->serviceTime,
                                                          link.peer->lastReceiveTime);
        else
            close(link, kLinkSilentReason);
    }
    if (!link.connected && !link.hosting && now - link.openedMs > kConnectTimeoutMs)
        close(link, "no answer from the host");
    return messages;
}

void sendOnLink(NetLink& link, uint8_t channel, const PacketBytes& bytes) {
    if (channel == kInputChannel && link.conditioner) {
        sendThrough(*link.conditioner, linkClockMs(), bytes);
        return;
    }
    sendNow(link, channel, bytes);
}

void closeLink(NetLink& link, const std::string& reason) {
    close(link, reason);
    if (!link.host) return;
    if (link.peer && link.connected) {
        // What is queued (the Bye) goes out before the peer is told the link is over; a peer
        // that does not answer within a moment is dropped.
        enet_host_flush(link.host.get());
        enet_peer_disconnect_later(link.peer, 0);
        ENetEvent event;
        double until = linkClockMs() + 300;
        while (linkClockMs() < until && enet_host_service(link.host.get(), &event, 20) >= 0) {
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) break;
        }
    }
    link.host.reset();
    link.peer = nullptr;
    link.connected = false;
}

int64_t linkRoundTripMs(const NetLink& link) {
    return link.peer && link.connected ? int64_t(link.peer->roundTripTime) : 0;
}

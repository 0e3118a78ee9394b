// The connection over ENet.
#include "net/transport.h"

#include <enet/enet.h>
#include <enet/time.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <linux/errqueue.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

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

// The raw inbox of each open host: ENet's intercept is given the host only.
std::unordered_map<ENetHost*, RawInbox*>& inboxes() {
    static std::unordered_map<ENetHost*, RawInbox*> byHost;
    return byHost;
}

// Keeps the lobby's messages and the probes ("QL...") out of ENet's way.
int ENET_CALLBACK interceptRaw(ENetHost* host, ENetEvent*) {
    if (host->receivedDataLength < 2 || host->receivedData[0] != 'Q' || host->receivedData[1] != 'L')
        return 0;
    auto found = inboxes().find(host);
    if (found == inboxes().end()) return 1;
    RawInbox& inbox = *found->second;
    if (inbox.datagrams.size() >= kMaxRawDatagrams) {
        inbox.dropped += 1;
        return 1;
    }
    // Never more than a lobby message's largest size plus one: longer ones are refused unread.
    size_t kept = std::min(host->receivedDataLength, size_t(1201));
    inbox.datagrams.push_back({ENET_NET_TO_HOST_32(host->receivedAddress.host),
                               host->receivedAddress.port,
                               PacketBytes(host->receivedData, host->receivedData + kept)});
    return 1;
}

// A direct join's socket is told of "port unreachable" answers, so that joining an address
// where nobody hosts says so at once instead of after the connection's timeout.
void reportUnreachable(ENetHost* host) {
    int on = 1;
    setsockopt(host->socket, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
}

// True when the socket's error queue holds an ICMP "port unreachable" (it is emptied).
bool portWasUnreachable(ENetHost* host) {
    bool unreachable = false;
    for (int i = 0; i < 16; ++i) {
        char control[512];
        char data[64];
        iovec io{data, sizeof data};
        msghdr message{};
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        if (recvmsg(host->socket, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) break;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
            sock_extended_err error{};
            std::memcpy(&error, CMSG_DATA(c), sizeof error);
            if (error.ee_origin == SO_EE_ORIGIN_ICMP && error.ee_type == 3 && error.ee_code == 3)
                unreachable = true;
        }
    }
    return unreachable;
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
    inboxes().erase(host);
    enet_host_destroy(host);
}

double linkClockMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool parseHostAndPort(const std::string& text, std::string& host, uint16_t& port,
                      std::string& error, uint16_t defaultPort) {
    size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    port = defaultPort;
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

bool resolveIpv4(const std::string& host, uint32_t& address, std::string& error) {
    ENetAddress resolved{};
    if (!enetReady(error)) return false;
    if (enet_address_set_host(&resolved, host.c_str()) != 0) {
        error = "no such host: " + host;
        return false;
    }
    address = ENET_NET_TO_HOST_32(resolved.host);
    return true;
}

namespace {
// A fresh link's host on `port` of every address (0: any free port), for one peer.
bool bindLinkHost(NetLink& link, uint16_t port, std::string& error) {
    link = NetLink{};
    if (!enetReady(error)) return false;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    link.host.reset(enet_host_create(&address, 1, kChannels, 0, 0));
    if (!link.host) {
        error = port == 0 ? "the network could not be opened"
                          : "port " + std::to_string(port) + " is in use or cannot be opened";
        return false;
    }
    link.openedMs = linkClockMs();
    return true;
}
} // namespace

bool hostLink(NetLink& link, uint16_t port, std::string& error) {
    if (!bindLinkHost(link, port, error)) return false;
    link.hosting = true;
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
    reportUnreachable(link.host.get());
    link.peer = enet_host_connect(link.host.get(), &address, kChannels, 0);
    if (!link.peer) {
        link.host.reset();
        error = "cannot connect to " + host;
        return false;
    }
    link.openedMs = linkClockMs();
    return true;
}

bool openLink(NetLink& link, uint16_t port, bool hosting, std::string& error) {
    if (!bindLinkHost(link, port, error)) return false;
    link.raw = std::make_unique<RawInbox>();
    inboxes()[link.host.get()] = link.raw.get();
    link.host->intercept = interceptRaw;
    link.hosting = hosting;
    link.acceptListedOnly = true; // the path finding says whom
    link.keepSocket = true;
    return true;
}

uint16_t linkPort(const NetLink& link) {
    if (!link.host) return 0;
    ENetAddress address{};
    if (enet_socket_get_address(link.host->socket, &address) != 0) return 0;
    return address.port;
}

bool connectLink(NetLink& link, uint32_t address, uint16_t port, std::string& error) {
    if (!link.host || link.peer) {
        error = "the connection is not open";
        return false;
    }
    ENetAddress to{};
    to.host = ENET_HOST_TO_NET_32(address);
    to.port = port;
    link.acceptListedOnly = true;
    link.acceptFrom = {{address, port}};
    link.peer = enet_host_connect(link.host.get(), &to, kChannels, 0);
    if (!link.peer) {
        error = "cannot connect to the other player";
        return false;
    }
    link.openedMs = linkClockMs();
    return true;
}

void sendDatagram(NetLink& link, uint32_t address, uint16_t port, const PacketBytes& bytes) {
    if (!link.host || bytes.empty()) return;
    ENetAddress to{};
    to.host = ENET_HOST_TO_NET_32(address);
    to.port = port;
    ENetBuffer buffer;
    buffer.data = const_cast<uint8_t*>(bytes.data());
    buffer.dataLength = bytes.size();
    enet_socket_send(link.host->socket, &to, &buffer, 1);
}

std::vector<RawDatagram> takeDatagrams(NetLink& link) {
    std::vector<RawDatagram> taken;
    if (link.raw) taken.swap(link.raw->datagrams);
    return taken;
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
        std::pair<uint32_t, uint16_t> from = {ENET_NET_TO_HOST_32(event.peer->address.host),
                                              event.peer->address.port};
        bool expected = !link.acceptListedOnly ||
                        std::find(link.acceptFrom.begin(), link.acceptFrom.end(), from) !=
                            link.acceptFrom.end();
        if (event.type == ENET_EVENT_TYPE_CONNECT && !expected) {
            enet_peer_reset(event.peer); // someone else than the room's other player
            if (event.peer == link.peer) link.peer = nullptr;
        } else if (event.type == ENET_EVENT_TYPE_CONNECT && !link.connected) {
            link.peer = event.peer;
            link.peerAddress = from.first;
            link.peerPort = from.second;
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
    if (got < 0)
        close(link, portWasUnreachable(link.host.get())
                        ? "nobody hosts at that address (its computer answered that the port is closed)"
                        : "the network failed");
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
    if (!link.connected && !link.hosting && link.peer && now - link.openedMs > kConnectTimeoutMs)
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
    if (!link.keepSocket) link.host.reset();
    else if (link.peer) enet_peer_reset(link.peer);
    link.peer = nullptr;
    link.connected = false;
}

void pumpSocket(NetLink& link) {
    if (!link.host) return;
    ENetEvent event;
    int got = enet_host_service(link.host.get(), &event, 0);
    while (got > 0) {
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (event.type == ENET_EVENT_TYPE_CONNECT) enet_peer_reset(event.peer);
        got = enet_host_check_events(link.host.get(), &event);
    }
}

int64_t linkRoundTripMs(const NetLink& link) {
    return link.peer && link.connected ? int64_t(link.peer->roundTripTime) : 0;
}

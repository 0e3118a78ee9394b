// The lobby's socket loop: POSIX sockets and poll.
#include "lobby/lobby_loop.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "lobby/lobby_server.h"

namespace {
constexpr int kPollMs = 100;        // the stop flag and the expiry are looked at this often
constexpr int kBatch = 256;         // datagrams taken before the answers go out
constexpr double kExpiryEveryMs = 1000;

double clockMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

bool runLobby(const LobbyOptions& options, std::atomic<bool>& stop, LobbyStats& stats) {
    int sock = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options.port);
    if (sock < 0 || inet_pton(AF_INET, options.bind.c_str(), &address.sin_addr) != 1 ||
        bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        stats.failure = "cannot open UDP " + options.bind + ":" + std::to_string(options.port);
        if (sock >= 0) close(sock);
        return false;
    }
    socklen_t length = sizeof address;
    getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
    stats.port = ntohs(address.sin_port);

    LobbyServer server;
    server.random.seed(options.seed ? options.seed : (uint64_t(std::random_device{}()) << 32) ^
                                                         std::random_device{}());
    std::vector<LobbyOutgoing> out;
    double nextStatsMs = clockMs() + options.statsEverySeconds * 1000;
    // The relay's own delay, from a datagram's arrival to its sending on, in microseconds.
    auto printStats = [&] {
        const int64_t relayed = stats.relayed;
        std::printf("%s relay-delay-us mean %lld max %lld\n", lobbyStatsLine(server).c_str(),
                    (long long)(relayed > 0 ? stats.relayDelaySumUs / relayed : 0),
                    (long long)stats.relayDelayMaxUs.load());
        std::fflush(stdout);
    };
    while (!stop) {
        pollfd waiting{sock, POLLIN, 0};
        poll(&waiting, 1, kPollMs);
        for (int i = 0; i < kBatch; ++i) {
            uint8_t buffer[kMaxLobbyMessageBytes + 1];
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            ssize_t got = recvfrom(sock, buffer, sizeof buffer, 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (got < 0) break;
            stats.datagramsIn += 1;
            handleLobbyDatagram(server, {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)},
                                std::span<const uint8_t>(buffer, size_t(got)), clockMs(), out);
        }
        for (const LobbyOutgoing& outgoing : out) {
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(outgoing.to.port);
            to.sin_addr.s_addr = htonl(outgoing.to.address);
            sendto(sock, outgoing.bytes.data(), outgoing.bytes.size(), 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof to);
            stats.datagramsOut += 1;
            if (!isLobbyDatagram(outgoing.bytes)) {
                int64_t delayUs = int64_t((clockMs() - outgoing.receivedMs) * 1000);
                stats.relayed += 1;
                stats.relayDelaySumUs += delayUs;
                if (delayUs > stats.relayDelayMaxUs) stats.relayDelayMaxUs = delayUs;
            }
        }
        out.clear();
        double now = clockMs();
        if (now - server.lastExpiryMs > kExpiryEveryMs) expireLobby(server, now);
        stats.rooms = int64_t(server.rooms.size());
        if (options.statsEverySeconds > 0 && now >= nextStatsMs) {
            printStats();
            nextStatsMs = now + options.statsEverySeconds * 1000;
        }
    }
    if (options.statsEverySeconds > 0) printStats();
    close(sock);
    return true;
}

// The lobby on a UDP socket: what quarrelix-lobby runs, and what tests run on a thread on
// loopback.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

struct LobbyOptions {
    std::string bind = "0.0.0.0";
    uint16_t port = 7771;   // 0: any free port (tests), told in LobbyStats::port
    uint64_t seed = 0;      // the codes' generator; 0: from the system
    double statsEverySeconds = 0; // a stats line on standard output this often (0: never)
};

struct LobbyStats {
    std::atomic<uint16_t> port{0}; // set once the socket is bound
    std::atomic<int64_t> datagramsIn{0}, datagramsOut{0}, rooms{0};
    // The relay's own delay, receive to send, in microseconds.
    std::atomic<int64_t> relayed{0}, relayDelaySumUs{0}, relayDelayMaxUs{0};
    std::string failure; // why the lobby could not start
};

// Serves until `stop` is set; false when the socket could not be opened (stats.failure says
// why). The last stats line is printed at the end when statsEverySeconds is set.
bool runLobby(const LobbyOptions& options, std::atomic<bool>& stop, LobbyStats& stats);

// The lobby: its messages encode and decode (and refuse what is malformed); its rooms pair two
// players, relay them, stream a match to spectators and refuse guessers and floods; and on a
// real socket on loopback it serves a thousand rooms among hostile clients.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "lobby/lobby_loop.h"
#include "lobby/lobby_server.h"

namespace {
LobbyMessage message(LobbyKind kind, uint64_t token) {
    LobbyMessage m;
    m.kind = kind;
    m.token = token;
    return m;
}

TEST(LobbyMessages, EveryKindRoundTripsAndMalformedOnesAreRefusedWithAReason) {
    LobbyMessage full = message(kLobbyPeer, 7);
    full.role = kRoleGuest;
    full.publicEndpoint = {0xC6120001, 7771};
    full.endpoints = {{0xC0A80102, 5000}, {0x0A000002, 5001}};
    full.peerToken = 9;
    LobbyMessage inputs = message(kLobbyStreamInputs, 7);
    inputs.match = 3;
    inputs.frame = 120;
    inputs.payload = LobbyBytes(2 * kMaxStreamFramesPerMessage, 0x11);
    LobbyMessage watch = message(kLobbyWatch, 8);
    watch.code = "ACDEFH";
    watch.frame = -1;
    for (const LobbyMessage& m : {full, inputs, watch, message(kLobbyKeepAlive, 1)}) {
        LobbyBytes bytes;
        ASSERT_TRUE(encodeLobbyMessage(m, bytes)) << int(m.kind);
        EXPECT_LE(bytes.size(), kMaxLobbyMessageBytes);
        LobbyMessage back;
        std::string reason;
        ASSERT_TRUE(decodeLobbyMessage(bytes, back, reason)) << reason;
        LobbyBytes again;
        ASSERT_TRUE(encodeLobbyMessage(back, again));
        EXPECT_EQ(again, bytes);
    }
    LobbyBytes good;
    ASSERT_TRUE(encodeLobbyMessage(watch, good));
    auto changed = [&](size_t at, uint8_t value) {
        LobbyBytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    LobbyBytes truncated(good.begin(), good.end() - 1), trailing = good;
    trailing.push_back(0);
    const struct {
        const char* what;
        LobbyBytes bytes;
    } malformed[] = {{"magic", changed(0, 'X')},      {"version", changed(2, 9)},
                     {"kind", changed(3, 200)},       {"code letter", changed(12, 'O')},
                     {"truncated", truncated},        {"trailing", trailing},
                     {"oversize", LobbyBytes(kMaxLobbyMessageBytes + 1, 'Q')}};
    for (const auto& bad : malformed) {
        LobbyMessage out;
        std::string reason;
        EXPECT_FALSE(decodeLobbyMessage(bad.bytes, out, reason)) << bad.what;
        EXPECT_FALSE(reason.empty()) << bad.what;
    }
    LobbyMessage tooMany = message(kLobbyOpenRoom, 1);
    tooMany.endpoints.resize(kMaxEndpoints + 1);
    LobbyBytes refused;
    EXPECT_FALSE(encodeLobbyMessage(tooMany, refused));
    EXPECT_EQ(normalizedRoomCode("acd-efh"), "ACDEFH");
    EXPECT_EQ(normalizedRoomCode("ACDEF0"), "");
}

// A lobby driven by hand: datagrams from made-up addresses at a made-up time.
struct LobbyServerTest : testing::Test {
    LobbyServer lobby;
    double nowMs = 1000;
    std::vector<LobbyOutgoing> out;
    const LobbyEndpoint host{0xC6120101, 40000}, guest{0xC6120201, 40001};

    std::vector<LobbyMessage> send(const LobbyEndpoint& from, const LobbyMessage& m) {
        LobbyBytes bytes;
        EXPECT_TRUE(encodeLobbyMessage(m, bytes));
        return sendBytes(from, bytes);
    }
    std::vector<LobbyMessage> sendBytes(const LobbyEndpoint& from, const LobbyBytes& bytes) {
        out.clear();
        nowMs += 30;
        handleLobbyDatagram(lobby, from, bytes, nowMs, out);
        std::vector<LobbyMessage> answers;
        for (const LobbyOutgoing& o : out) {
            LobbyMessage m;
            std::string reason;
            if (decodeLobbyMessage(o.bytes, m, reason)) answers.push_back(m);
        }
        return answers;
    }
    std::string openRoom() {
        auto answers = send(host, message(kLobbyOpenRoom, 11));
        EXPECT_EQ(answers.size(), 1u);
        return answers.empty() ? "" : answers[0].code;
    }
    std::vector<LobbyMessage> join(const LobbyEndpoint& from, uint64_t token, const std::string& code) {
        LobbyMessage m = message(kLobbyJoinRoom, token);
        m.code = code;
        return send(from, m);
    }
};

TEST_F(LobbyServerTest, TwoPlayersMeetAndAreRelayedAndStrangersAreNot) {
    std::string code = openRoom();
    ASSERT_EQ(code.size(), kRoomCodeLength);
    EXPECT_EQ(send(host, message(kLobbyOpenRoom, 11))[0].code, code); // asked again: the same
    auto peers = join(guest, 22, code);
    ASSERT_EQ(peers.size(), 2u);
    EXPECT_EQ(out[0].to, host);
    EXPECT_EQ(peers[0].publicEndpoint, guest);
    EXPECT_EQ(peers[0].peerToken, 22u);
    EXPECT_EQ(peers[1].publicEndpoint, host);
    EXPECT_EQ(join(guest, 22, code).size(), 2u); // a lost answer is made good
    EXPECT_EQ(join({0xC6120301, 1}, 33, code)[0].reason, kRefusedRoomFull);

    LobbyBytes traffic = {0x8F, 0xFF, 1, 2, 3};
    sendBytes(host, traffic);
    EXPECT_TRUE(out.empty()); // not relayed before either asked
    EXPECT_EQ(send(guest, message(kLobbyRelayRequest, 22)).size(), 2u);
    sendBytes(host, traffic);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].to, guest);
    EXPECT_EQ(out[0].bytes, traffic);
    sendBytes({0xC6120301, 1}, traffic);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(lobby.counters.strangersDropped, 2);
}

TEST_F(LobbyServerTest, SpectatorsJoinMidMatchAndANinthIsRefused) {
    std::string code = openRoom();
    LobbyMessage start = message(kLobbyStreamStart, 11);
    start.match = 1;
    start.payload = {1, 2, 3};
    EXPECT_EQ(send(host, start)[0].frame, 0);
    LobbyMessage inputs = message(kLobbyStreamInputs, 11);
    inputs.match = 1;
    inputs.payload = LobbyBytes(600, 5); // 300 frames
    EXPECT_EQ(send(host, inputs)[0].frame, 300);
    inputs.frame = 200; // overlapping: only what is new is kept
    EXPECT_EQ(send(host, inputs)[0].frame, 500);
    LobbyMessage end = message(kLobbyStreamEnd, 11);
    end.match = 1;
    end.frame = 480;
    end.hash = 0xABCD;
    EXPECT_EQ(send(host, end)[0].hash, 0xABCDu);

    LobbyMessage watch = message(kLobbyWatch, 100);
    watch.code = code;
    watch.frame = -1;
    EXPECT_EQ(send({0xC6120401, 1}, watch)[0].kind, kLobbyWatchStart);
    int64_t held = 0;
    for (int asks = 0; asks < 10 && held < 500; ++asks) {
        watch.match = 1;
        watch.frame = held;
        LobbyMessage part = send({0xC6120401, 1}, watch)[0];
        ASSERT_EQ(part.kind, kLobbyWatchInputs);
        held += int64_t(part.payload.size() / 2);
    }
    watch.frame = held;
    LobbyMessage last = send({0xC6120401, 1}, watch)[0];
    EXPECT_EQ(last.kind, kLobbyWatchEnd);
    EXPECT_EQ(last.hash, 0xABCDu);
    for (uint64_t token = 101; token < 100 + kMaxSpectators; ++token) {
        watch.token = token;
        EXPECT_NE(send({0xC6120401, uint16_t(token)}, watch)[0].kind, kLobbyRefused);
    }
    watch.token = 999;
    EXPECT_EQ(send({0xC6120401, 999}, watch)[0].reason, kRefusedRoomFull);
}

TEST_F(LobbyServerTest, GuessersAreStoppedFloodsAreBoundedAndQuietRoomsClose) {
    std::string code = openRoom();
    const LobbyEndpoint guesser{0xC6120501, 1};
    for (int i = 0; i < kWrongCodesAllowed; ++i)
        EXPECT_EQ(join(guesser, 50 + i, "AAAAAA")[0].reason, kRefusedNoSuchRoom);
    EXPECT_EQ(join(guesser, 70, code)[0].reason, kRefusedTooManyTries); // even the right one
    nowMs += kWrongCodeWindowMs;
    EXPECT_EQ(join(guesser, 71, code).size(), 2u);

    const LobbyEndpoint flooder{0xC6120601, 2};
    int answered = 0;
    for (int i = 0; i < 1000; ++i) {
        out.clear();
        handleLobbyDatagram(lobby, flooder, LobbyBytes{'Q', 'L', 1, 3, 0}, nowMs, out);
        answered += int(out.size());
    }
    EXPECT_EQ(answered, 0); // malformed: never answered
    EXPECT_GE(lobby.counters.rateLimited, 1000 - int(kMessageBurst) - 1);
    for (uint32_t i = 0; i < kMaxSources + 100; ++i) {
        out.clear();
        handleLobbyDatagram(lobby, {0x0A000000 + i, 9}, LobbyBytes{'Q', 'L', 1, 3}, nowMs, out);
    }
    EXPECT_LE(lobby.sources.size(), kMaxSources);

    nowMs += kRoomQuietMs + 1;
    expireLobby(lobby, nowMs);
    EXPECT_TRUE(lobby.rooms.empty());
    EXPECT_EQ(join(guest, 80, code)[0].reason, kRefusedNoSuchRoom);
}

int64_t residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6));
    return 0;
}

// The real lobby on loopback: a thousand rooms opened and joined by clients on a few dozen
// sockets, with garbage, oversize datagrams and a flood from other sockets mixed in. Every
// honest room is paired, and the lobby's memory stays bounded. The figures are printed.
TEST(LobbyOnLoopback, AThousandRoomsAmongHostileClients) {
    std::atomic<bool> stop{false};
    LobbyStats stats;
    LobbyOptions options;
    options.bind = "127.0.0.1";
    options.port = 0;
    options.seed = 5;
    int64_t before = residentKiB();
    std::thread lobby([&] { runLobby(options, stop, stats); });
    for (int i = 0; i < 200 && stats.port == 0; ++i) usleep(5000);
    ASSERT_NE(stats.port, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(stats.port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    constexpr int kSockets = 40, kRooms = 1000;
    std::vector<int> sockets;
    for (int i = 0; i < kSockets + 2; ++i) {
        int s = socket(AF_INET, SOCK_DGRAM, 0);
        timeval wait{1, 0};
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        sockets.push_back(s);
    }
    auto sendTo = [&](int s, const LobbyBytes& bytes) {
        sendto(s, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    };
    // Waits (1 s at most for each datagram) for an answer on socket s of the kind wanted, for
    // the token.
    auto answerOn = [&](int s, LobbyKind kind, uint64_t token, LobbyMessage& got) {
        for (int tries = 0; tries < 20; ++tries) {
            uint8_t buffer[kMaxLobbyMessageBytes];
            ssize_t n = recv(s, buffer, sizeof buffer, 0);
            if (n < 0) return false;
            std::string reason;
            if (decodeLobbyMessage({buffer, size_t(n)}, got, reason) && got.kind == kind &&
                got.token == token)
                return true;
        }
        return false;
    };
    auto started = std::chrono::steady_clock::now();
    rusage usageBefore{};
    getrusage(RUSAGE_SELF, &usageBefore);
    int paired = 0;
    for (int room = 0; room < kRooms; ++room) {
        int hostSocket = sockets[size_t(room % kSockets)];
        int guestSocket = sockets[size_t((room + 1) % kSockets)];
        uint64_t hostToken = 1000000 + uint64_t(room), guestToken = 2000000 + uint64_t(room);
        LobbyBytes bytes;
        encodeLobbyMessage(message(kLobbyOpenRoom, hostToken), bytes);
        sendTo(hostSocket, bytes);
        // The hostile ones: garbage, an oversize datagram and a burst from the flooders.
        sendTo(sockets[kSockets], LobbyBytes{'Q', 'L', 1, uint8_t(room)});
        sendTo(sockets[kSockets], LobbyBytes(4000, 'Q'));
        LobbyBytes flood;
        encodeLobbyMessage(message(kLobbyOpenRoom, 9000000 + uint64_t(room)), flood);
        for (int burst = 0; burst < 5; ++burst) sendTo(sockets[kSockets + 1], flood);
        LobbyMessage opened;
        if (!answerOn(hostSocket, kLobbyRoomOpened, hostToken, opened)) continue;
        LobbyMessage joinMessage = message(kLobbyJoinRoom, guestToken);
        joinMessage.code = opened.code;
        encodeLobbyMessage(joinMessage, bytes);
        sendTo(guestSocket, bytes);
        LobbyMessage peer;
        if (answerOn(guestSocket, kLobbyPeer, guestToken, peer) &&
            answerOn(hostSocket, kLobbyPeer, hostToken, peer))
            paired += 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    rusage usageAfter{};
    getrusage(RUSAGE_SELF, &usageAfter);
    int64_t grownKiB = residentKiB() - before;
    // Still answering after all that.
    LobbyBytes bytes;
    encodeLobbyMessage(message(kLobbyOpenRoom, 42), bytes);
    sendTo(sockets[0], bytes);
    LobbyMessage opened;
    EXPECT_TRUE(answerOn(sockets[0], kLobbyRoomOpened, 42, opened));
    stop = true;
    lobby.join();
    for (int s : sockets) close(s);
    EXPECT_EQ(paired, kRooms);
    EXPECT_LT(grownKiB, 16 * 1024); // 16 KiB a room at the very most
    double cpu = double(usageAfter.ru_utime.tv_sec - usageBefore.ru_utime.tv_sec) +
                 double(usageAfter.ru_utime.tv_usec - usageBefore.ru_utime.tv_usec) / 1e6 +
                 double(usageAfter.ru_stime.tv_sec - usageBefore.ru_stime.tv_sec) +
                 double(usageAfter.ru_stime.tv_usec - usageBefore.ru_stime.tv_usec) / 1e6;
    std::printf("lobby load: %d rooms paired in %.2f s (%.0f rooms/s), memory grew %lld KiB "
                "(%.2f KiB a room), CPU %.2f s for lobby and clients, %lld datagrams in\n",
                paired, seconds, double(paired) / seconds, (long long)grownKiB,
                double(grownKiB) / kRooms, cpu, (long long)stats.datagramsIn.load());
}
} // namespace

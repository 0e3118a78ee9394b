// The online connection in one process over loopback: two games greet and exchange choices; a
// game that differs is refused on both sides with what differs; a hostile peer's garbage,
// oversize and out-of-order packets end the connection with a message, and stray datagrams that
// are not ENet's are ignored.
#include "game_dir_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>

#include "net/transport.h"
#include "online/online_play.h"
#include "replays/replays.h"

namespace {
uint16_t testPort() {
    static std::mt19937 generator{std::random_device{}()};
    return uint16_t(30000 + generator() % 20000);
}

struct NetConnectionTest : GameDirTest {
    uint16_t port = 0;
    OnlinePlay host;

    void SetUp() override {
        GameDirTest::SetUp();
        options.nullRenderer = true;
        setHeadless(options);
        startUpGame(game);
        std::string error;
        for (int attempt = 0; attempt < 5 && !host.link.host; ++attempt) {
            port = testPort();
            hostOnline(host, port, error);
        }
        ASSERT_TRUE(host.link.host) << error;
    }
    void TearDown() override {
        closeLink(host.link, "test over");
        endGame();
        GameDirTest::TearDown();
    }

    // Services the host and `other` for up to two seconds, or until `done` says so.
    template <typename Other, typename Done> bool serviceUntil(Other other, Done done) {
        double until = linkClockMs() + 2000;
        while (linkClockMs() < until) {
            serviceOnline(host);
            other();
            if (done()) return true;
            usleep(2000);
        }
        return false;
    }

    // A peer that speaks the raw link: it connects and is greeted, and says what the test wants.
    NetLink hostile;
    std::vector<LinkMessage> heard;
    void connectHostile() {
        std::string error;
        ASSERT_TRUE(joinLink(hostile, "127.0.0.1", port, error)) << error;
        auto serviceHostile = [this] {
            for (LinkMessage& m : serviceLink(hostile)) heard.push_back(std::move(m));
        };
        ASSERT_TRUE(serviceUntil(serviceHostile, [&] { return hostile.connected && !heard.empty(); }));
    }
    void hostileSends(uint8_t channel, const PacketBytes& bytes) {
        sendOnLink(hostile, channel, bytes);
        serviceUntil([this] { serviceLink(hostile); }, [&] { return host.link.closed; });
    }
    void greetFromHostile() {
        PacketBytes hello;
        ASSERT_TRUE(encodeHello(ownHello(), hello));
        sendOnLink(hostile, kSetupChannel, hello);
        ASSERT_TRUE(serviceUntil([this] { serviceLink(hostile); }, [&] { return host.greeted; }));
    }
};

TEST_F(NetConnectionTest, TwoGamesGreetAndExchangeTheirChoices) {
    // The host's greeting names this game.
    EXPECT_EQ(host.ownHello.gameVersion, kGameVersion);
    OnlinePlay guest;
    std::string error;
    ASSERT_TRUE(joinOnline(guest, "127.0.0.1:" + std::to_string(port), error)) << error;
    EXPECT_EQ(guest.where, "127.0.0.1:" + std::to_string(port));
    ASSERT_TRUE(serviceUntil([&] { serviceOnline(guest); },
                             [&] { return onlineReady(host) && onlineReady(guest); }));
    SetupPacket choice;
    choice.classCode = 2;
    choice.stance = 1;
    choice.ready = true;
    sendOwnSetup(guest, choice);
    ASSERT_TRUE(serviceUntil([&] { serviceOnline(guest); }, [&] { return host.peerSetupKnown; }));
    EXPECT_EQ(host.peerSetup.classCode, 2);
    EXPECT_TRUE(host.peerSetup.ready);
    SetupPacket start;
    start.fromHost = start.starting = true;
    start.frameRate = 100;
    start.screenWidth = 1366;
    start.screenHeight = 768;
    sendOwnSetup(host, start);
    ASSERT_TRUE(serviceUntil([&] { serviceOnline(guest); }, [&] { return guest.matchStarting; }));
    EXPECT_EQ(guest.peerSetup.frameRate, 100);
    // Leaving tells the other side.
    leaveOnline(guest, kByeQuit, "left");
    ASSERT_TRUE(serviceUntil([] {}, [&] { return host.link.closed; }));
    EXPECT_EQ(host.problem, "the other player left");
}

TEST_F(NetConnectionTest, AnotherGameIsRefusedOnBothSidesWithWhatDiffers) {
    OnlinePlay guest;
    std::string error;
    ASSERT_TRUE(joinOnline(guest, "127.0.0.1:" + std::to_string(port), error)) << error;
    guest.ownHello.gameVersion = "9.9.9";
    ASSERT_TRUE(serviceUntil([&] { serviceOnline(guest); },
                             [&] { return host.link.closed && guest.link.closed; }));
    EXPECT_EQ(host.problem, "cannot play together: the game versions differ (" + kGameVersion +
                                " here, 9.9.9 there)");
    EXPECT_EQ(guest.problem, "cannot play together: the game versions differ (9.9.9 here, " +
                                 kGameVersion + " there)");
    HelloPacket own = ownHello(), other = own;
    other.dataHash += 1;
    EXPECT_EQ(helloMismatch(own, other), "the game data (data.json) differs");
    other = own;
    other.contentHash += 1;
    EXPECT_EQ(helloMismatch(own, other), "the game content (pictures or sounds) differs");
    EXPECT_EQ(helloMismatch(own, own), "");
}

TEST_F(NetConnectionTest, GarbageFromThePeerEndsTheConnectionWithAMessage) {
    connectHostile();
    hostileSends(kSetupChannel, PacketBytes{'h', 'e', 'l', 'l', 'o', ' ', 't', 'h', 'e', 'r', 'e'});
    EXPECT_TRUE(host.link.closed);
    EXPECT_NE(host.problem.find("the other player sent a damaged packet"), std::string::npos)
        << host.problem;
    EXPECT_FALSE(serviceOnline(host)); // and stays over
}

TEST_F(NetConnectionTest, AnOversizePacketIsRefusedUnread) {
    connectHostile();
    greetFromHostile();
    PacketBytes big;
    ASSERT_TRUE(encodeBye({kByeQuit}, big));
    big.resize(4000, 0xAB);
    hostileSends(kSetupChannel, big);
    EXPECT_NE(host.problem.find("damaged packet"), std::string::npos) << host.problem;
}

TEST_F(NetConnectionTest, OutOfOrderOrMisplacedPacketsEndTheConnection) {
    PacketBytes bytes;
    // Choices before the greeting.
    connectHostile();
    SetupPacket choice;
    ASSERT_TRUE(encodeSetup(choice, bytes));
    hostileSends(kSetupChannel, bytes);
    EXPECT_EQ(host.problem, "the other player sent its choices before its greeting");
    closeLink(hostile, "");

    // The host's own set-up, from the guest.
    std::string error;
    closeLink(host.link, "");
    ASSERT_TRUE(hostOnline(host, port, error)) << error;
    heard.clear();
    connectHostile();
    greetFromHostile();
    SetupPacket start;
    start.fromHost = start.starting = true;
    start.frameRate = 60;
    start.screenWidth = start.screenHeight = 800;
    ASSERT_TRUE(encodeSetup(start, bytes));
    hostileSends(kSetupChannel, bytes);
    EXPECT_EQ(host.problem, "the other player sent the host's set-up");
    closeLink(hostile, "");

    // Inputs on the set-up channel; a second greeting.
    for (int variant = 0; variant < 2; ++variant) {
        closeLink(host.link, "");
        ASSERT_TRUE(hostOnline(host, port, error)) << error;
        heard.clear();
        connectHostile();
        greetFromHostile();
        if (variant == 0) ASSERT_TRUE(encodeInputs(InputsPacket{}, bytes));
        else ASSERT_TRUE(encodeHello(ownHello(), bytes));
        hostileSends(kSetupChannel, bytes);
        EXPECT_EQ(host.problem, variant == 0 ? "the other player sent a packet on the wrong channel"
                                             : "the other player greeted twice");
        closeLink(hostile, "");
    }
}

TEST_F(NetConnectionTest, StrayDatagramsAreIgnoredAndAGameStillJoins) {
    int sock = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::mt19937 noise{7};
    for (int i = 0; i < 200; ++i) {
        unsigned char datagram[600];
        size_t length = 1 + noise() % sizeof datagram;
        for (size_t k = 0; k < length; ++k) datagram[k] = uint8_t(noise());
        sendto(sock, datagram, length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    close(sock);
    serviceUntil([] {}, [] { return false; });
    EXPECT_FALSE(host.link.closed) << host.problem;
    OnlinePlay guest;
    std::string error;
    ASSERT_TRUE(joinOnline(guest, "127.0.0.1:" + std::to_string(port), error)) << error;
    EXPECT_TRUE(serviceUntil([&] { serviceOnline(guest); },
                             [&] { return onlineReady(host) && onlineReady(guest); }));
}

// Nobody hosts on the port: the computer there answers "port unreachable", which ends the join
// at once with a message that says so, not after the connection's 8 s timeout.
TEST_F(NetConnectionTest, JoiningAPortWhereNobodyHostsSaysSoAtOnce) {
    uint16_t closed = port;
    closeLink(host.link, "the port is let go");
    OnlinePlay guest;
    std::string error;
    ASSERT_TRUE(joinOnline(guest, "127.0.0.1:" + std::to_string(closed), error)) << error;
    int services = 0;
    while (serviceOnline(guest) && services < 100) { // 100 x 10 ms: far under the timeout
        usleep(10000);
        services += 1;
    }
    EXPECT_LT(services, 100);
    EXPECT_NE(guest.problem.find("nobody hosts at that address"), std::string::npos) << guest.problem;
}

TEST(NetAddresses, HostAndPortAreReadWithTheDefaultPort) {
    std::string host, error;
    uint16_t port = 0;
    ASSERT_TRUE(parseHostAndPort("127.0.0.1", host, port, error));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, kDefaultPort);
    ASSERT_TRUE(parseHostAndPort("fighter.example:9000", host, port, error));
    EXPECT_EQ(host, "fighter.example");
    EXPECT_EQ(port, 9000);
    for (const char* bad : {"", ":7770", "host:", "host:0", "host:65536", "host:12a", "::1"}) {
        EXPECT_FALSE(parseHostAndPort(bad, host, port, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}
} // namespace

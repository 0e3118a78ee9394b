// Rooms from the menus: the code typed or picked with a controller, the lobby set in the
// options, a room hosted (its code shown and copied) and a room joined through the real screens
// against quarrelix-online on loopback, with a rematch.
#include "journey_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "input/keys.h"
#include "input/player_setup.h"
#include "lobby/lobby_loop.h"
#include "lobby/lobby_messages.h"
#include "menus/address_entry.h"
#include "menus/options_menu.h"
#include "menus/where_menu.h"
#include "online/online_match.h"
#include "online/room_flow.h"
#include "runtime/runtime.h"
#include "settings/settings.h"
#include "shell/state_loop.h"

namespace {
constexpr int64_t kP = 25; // player one's neutral key
constexpr int64_t kBackspace = 14, kC = 46;

// The game's key code of a letter: its QWERTY position.
int64_t letterKey(char letter) {
    const std::string rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    const int64_t firsts[] = {16, 30, 44};
    char lower = char(std::tolower(static_cast<unsigned char>(letter)));
    for (size_t r = 0; r < 3; ++r)
        if (size_t at = rows[r].find(lower); at != std::string::npos) return firsts[r] + int64_t(at);
    return 0;
}

int64_t typeText(int64_t at, const std::string& text) {
    for (char c : text) {
        int64_t code = c == '.' ? 52 : letterKey(c);
        tap(at, code);
        at += 3;
    }
    return at;
}

// The first controller pushed one way for 3 frames, `at` frames from now.
void padAxisLater(int64_t at, ScriptEventKind axis, int64_t value) {
    scriptAdd({presentedFrames() + at, axis, 0, value, ""});
    scriptAdd({presentedFrames() + at + 3, axis, 0, 0, ""});
}
void padButtonLater(int64_t at, int64_t button) {
    scriptAdd({presentedFrames() + at, kScriptPadButton, button, 1, ""});
    scriptAdd({presentedFrames() + at + 3, kScriptPadButton, button, 0, ""});
}

// A lobby on a loopback port of its own, on a thread, for the test's length.
struct LocalLobby {
    std::atomic<bool> stop{false};
    LobbyStats stats;
    std::thread thread;
    LocalLobby() {
        LobbyOptions options;
        options.bind = "127.0.0.1";
        options.port = 0;
        thread = std::thread([this, options] { runLobby(options, stop, stats); });
        for (int i = 0; i < 500 && stats.port == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~LocalLobby() {
        stop = true;
        thread.join();
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(stats.port.load()); }
};

// quarrelix-online in the game's directory, its standard output in a file; ended with the test.
struct OtherPlayer {
    pid_t pid = -1;
    std::string output;
    explicit OtherPlayer(const std::vector<std::string>& arguments, const std::string& outputFile)
        : output(outputFile) {
        std::vector<std::string> args = {qrxTestOnlineRunner};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        // The child of a process with threads (the lobby's) calls only what is safe there.
        pid = fork();
        if (pid == 0) {
            int file = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (chdir(QRX_GAME_DIR) != 0 || file < 0 || dup2(file, 1) < 0) _exit(126);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~OtherPlayer() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) kill(pid, SIGKILL);
        if (pid > 0) waitpid(pid, nullptr, 0);
    }
    std::string lines() const {
        std::ifstream in(output);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Its exit status, waiting at most `seconds`; -1 when it did not end.
    int waitForEnd(double seconds) {
        auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        int status = 0;
        while (std::chrono::steady_clock::now() < until) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
};

struct RoomMenus : JourneyTest {
    void TearDown() override {
        settings.lobbyAddress.clear();
        startLobby.clear();
        onlineFrameLimit = 0;
        onlineSessionHook = nullptr;
        JourneyTest::TearDown();
    }
};
} // namespace

// Typed letters count only among the code's letters, upper-cased; a controller steps the last
// letter with up and down (wrapping round), adds one with right, erases with left and confirms
// with its neutral key.
TEST_F(RoomMenus, CodeIsTypedOrPickedWithAController) {
    options.controllerCount = 1;
    startUp();
    playerSetups[0].padIndex = 0;
    std::string code;
    journey.on("join room", 0, [] {
        int64_t at = typeText(25, "abcdoq");   // b, o, q are not code letters
        at = typeText(at, "wxyzkm");           // the seventh letter finds no room
        tap(at + 3, kBackspace);
        tap(at + 9, kKeyReturn);
    });
    ASSERT_TRUE(runAddressEntry(40, 40, code, kRoomCodeEntry));
    EXPECT_EQ(code, "ACDWX");

    code.clear();
    journey.on("join room", 1, [] {
        padAxisLater(25, kScriptPadAxisY, 1000);  // "A"
        padAxisLater(31, kScriptPadAxisY, 1000);  // "C"
        padAxisLater(37, kScriptPadAxisY, -1000); // "A"
        padAxisLater(43, kScriptPadAxisY, -1000); // "Y": round to the last letter
        padAxisLater(49, kScriptPadAxisX, 1000);  // "YA"
        padAxisLater(55, kScriptPadAxisY, 1000);  // "YC"
        padAxisLater(61, kScriptPadAxisX, 1000);  // "YCA"
        padAxisLater(67, kScriptPadAxisX, -1000); // "YC"
        padButtonLater(75, 1);                    // neutral: join
    });
    ASSERT_TRUE(runAddressEntry(40, 40, code, kRoomCodeEntry));
    EXPECT_EQ(code, "YC");

    // The controller's back key leaves, with the code as it was.
    code = "KEPT";
    journey.on("join room", 2, [] {
        padAxisLater(25, kScriptPadAxisY, 1000);
        padButtonLater(31, 3);
    });
    EXPECT_FALSE(runAddressEntry(40, 40, code, kRoomCodeEntry));
    EXPECT_EQ(code, "KEPT");
}

// The options' Lobby row opens the lobby's entry; what is typed there is kept in the settings
// file, and an empty entry clears it.
TEST_F(RoomMenus, LobbyIsSetInTheOptions) {
    startUp();
    for (const std::string typed : {"lobby.example", ""}) {
        SCOPED_TRACE(typed);
        const int opening = journey.openings["options"];
        journey.on("options", opening, [] {
            for (int i = 0; i < 17; ++i) tap(25 + 3 * i, kKeyDown);
            tap(80, kKeyReturn);
        });
        journey.on("lobby address", journey.openings["lobby address"], [typed] {
            int64_t at = 25;
            for (int i = 0; i < 15; ++i) tap(at + 3 * i, kBackspace);
            at = typeText(at + 50, typed);
            tap(at + 3, kKeyReturn);
        });
        journey.on("options", opening + 1, [] { tap(25, kKeyEscape); });
        runOptionsMenu(40, 40);
        EXPECT_EQ(settings.lobbyAddress, typed);
        std::string saved;
        ASSERT_TRUE(readWholeFile(settingsPath, saved));
        EXPECT_NE(saved.find("\"Lobby\": \"" + typed + "\""), std::string::npos) << saved;
    }
}

// Without a lobby the room entries say how to set one; with one, "Host a room" shows the code
// the lobby gave, large, and C puts it on the clipboard.
TEST_F(RoomMenus, HostingARoomShowsTheCodeAndCopiesIt) {
    LocalLobby lobby;
    ASSERT_NE(lobby.stats.port, 0) << lobby.stats.failure;
    options.nullRenderer = false;
    startUp();
    const std::string shot = "room-code.png";
    std::filesystem::remove(shot);
    journey.on("main menu", 0, [] { tap(25, kKeyReturn); });
    journey.on("where to play", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyReturn); // "Host a room", with no lobby set
    });
    journey.on("online play over", 0, [] { tap(30, kKeyReturn); });
    journey.on("main menu", 1, [] { tap(25, kKeyReturn); });
    journey.on("where to play", 1, [&] {
        settings.lobbyAddress = lobby.address();
        tap(25, kKeyReturn); // "Host a room" again, kept
    });
    journey.on("host room", 0, [] {
        // The lobby answers on the real clock: 200 frames on, the code shows.
        presentedFrameObserver = [] {
            static int64_t shown = 0;
            if (lastCopiedText().empty() && ++shown == 200) {
                tap(1, kC);
                scriptAdd({presentedFrames() + 5, kScriptScreenshot, 0, 0, "room-code.png"});
                tap(10, kKeyEscape);
            }
        };
    });
    journey.on("main menu", 2, [] {
        presentedFrameObserver = nullptr;
        tap(25, kKeyEscape);
    });
    mainStateLoop(game, 40, 40);
    presentedFrameObserver = nullptr;
    EXPECT_EQ(journey.openings["online play over"], 1); // no lobby: said so
    EXPECT_EQ(lastCopiedText().size(), kRoomCodeLength);
    EXPECT_EQ(normalizedRoomCode(lastCopiedText()), lastCopiedText());
    Bitmap picture;
    bool alpha = false;
    ASSERT_TRUE(loadPng(shot, picture, alpha));
    keepScreenshots({shot});
    // The code's large letters: orange ink in the band under the status line.
    int64_t orange = 0;
    for (int64_t y = 160; y < 260; ++y)
        for (int64_t x = 140; x < 500; ++x) {
            uint32_t p = picture.pixels[size_t(y * picture.width + x)];
            int64_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            if (r > 180 && g > 70 && g < 190 && b < 90) ++orange;
        }
    EXPECT_GT(orange, 500); // six letters of 48 px: about a thousand
}

// "Join a room" through the real screens against quarrelix-online hosting on loopback: the code
// typed, the path found, the class selection, a match, "Rematch", a second match, then "Leave".
TEST_F(RoomMenus, JoiningARoomPlaysAMatchThenARematch) {
    LocalLobby lobby;
    ASSERT_NE(lobby.stats.port, 0) << lobby.stats.failure;
    OtherPlayer host({"--lobby", lobby.address(), "--host-room", "--class", "2:0", "--seed", "5",
                      "--max-seconds", "2", "--matches", "2", "--wait", "30"},
                     std::filesystem::absolute("room-host.out").string());
    std::string code;
    for (int i = 0; i < 500 && code.empty(); ++i) {
        std::istringstream lines(host.lines());
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("room ", 0) == 0) code = line.substr(5);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(code.size(), kRoomCodeLength) << host.lines();
    startUp();
    settings.lobbyAddress = lobby.address();
    onlineFrameLimit = 120; // as the host's two seconds at 60 frames per second
    // The other player plays on the real clock: so does this one's fight, a pass every 16 ms
    // (unpaced, its input packets would flood the link and be dropped by it).
    onlineSessionHook = [](RollbackSession&) { std::this_thread::sleep_for(std::chrono::milliseconds(16)); };
    journey.on("main menu", 0, [] { tap(25, kKeyReturn); });
    journey.on("where to play", 0, [] {
        tap(25, kKeyDown);
        tap(28, kKeyDown);
        tap(31, kKeyReturn); // "Join a room"
    });
    journey.on("join room", 0, [code] { tap(typeText(25, code) + 3, kKeyReturn); });
    journey.on("class selection", 0, [] { tap(30, kP); }); // ready: the host starts
    journey.on("rematch", 0, [] { tap(30, kKeyReturn); });
    journey.on("class selection", 1, [] { tap(30, kP); });
    journey.on("rematch", 1, [] {
        // This side's end of match took no time on its clock: the host, on the real one, is
        // given the time to play out the last frames before this player leaves.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        tap(30, kKeyEscape);
    });
    journey.on("online play over", 0, [] { tap(30, kKeyReturn); });
    journey.on("main menu", 1, [] { tap(25, kKeyEscape); });
    mainStateLoop(game, 40, 40);
    EXPECT_EQ(journey.openings["joining room"], 1);
    EXPECT_EQ(journey.openings["online fight"], 2);
    EXPECT_EQ(journey.openings["rematch"], 2);
    EXPECT_EQ(host.waitForEnd(10), 0) << host.lines();
    std::string out = host.lines();
    size_t finished = 0;
    for (size_t at = out.find("\"finished\":true"); at != std::string::npos;
         at = out.find("\"finished\":true", at + 1))
        ++finished;
    EXPECT_EQ(finished, 2u) << out;
    EXPECT_NE(out.find("\"frames\":120"), std::string::npos) << out;
    EXPECT_TRUE(out.find("\"path\":\"local\"") != std::string::npos ||
                out.find("\"path\":\"direct\"") != std::string::npos) << out;
}

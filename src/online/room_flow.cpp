// Rooms from the menus.
#include "online/room_flow.h"

#include "input/keys.h"
#include "lobby/lobby_messages.h"
#include "menus/address_entry.h"
#include "menus/menu_framework.h"
#include "menus/waiting_screen.h"
#include "online/online_flow.h"
#include "online/online_match.h"
#include "online/online_play.h"
#include "online/rooms.h"
#include "render/text.h"
#include "replays/replays.h"
#include "runtime/runtime.h"
#include "settings/settings.h"

std::string startLobby;

const EntryKind kRoomCodeEntry = {"join room", "=======Join a room",
                                  "The room's code, as the host tells it (6 letters):",
                                  "Return: join", kRoomCodeLength, false, kRoomCodeLetters};
const EntryKind kWatchCodeEntry = {"watch room", "=======Watch a room",
                                   "The code of the room to watch (6 letters):",
                                   "Return: watch", kRoomCodeLength, false, kRoomCodeLetters};

namespace {
const std::string kTitle = "=======Online play";
const std::string kEllipsis = "\xE2\x80\xA6";
constexpr int64_t kKeyCopy = 46;        // C
constexpr int64_t kCodeGlyphSize = 48;  // px: the room's code, large enough to read aloud
constexpr int64_t kCodeAdvance = 44;    // px between its letters
constexpr double kWatchDelaySeconds = 1;

// "ACD EFH": the code in two halves, easier to read out.
std::string spacedCode(const std::string& code) {
    return code.size() == kRoomCodeLength ? code.substr(0, 3) + " " + code.substr(3) : code;
}

// The lobby to use, or "" after telling the player there is none and how to set one.
std::string lobbyOrSay(int64_t textX, int64_t textY) {
    std::string lobby = lobbyInUse();
    if (lobby.empty())
        showOnlineEnding(textX, textY,
                         "no lobby is set: Options, Lobby takes its address (the README tells "
                         "how to run one)");
    return lobby;
}

// The lobby in use and a room's code, asked for on `kind`'s screen when `code` is empty; false
// when there is no lobby (after saying so) or the player went back.
bool lobbyAndCode(int64_t textX, int64_t textY, const EntryKind& kind, std::string& lobby,
                  std::string& code) {
    lobby = lobbyOrSay(textX, textY);
    if (lobby.empty()) return false;
    return !code.empty() || runAddressEntry(textX, textY, code, kind);
}
} // namespace

std::vector<std::string> roomLines(const OnlinePlay& online) {
    const RoomLink& room = online.room;
    if (room.phase == RoomPhase::Asking)
        return {"Asking the lobby for " + (online.hosting ? std::string("a room") : "room " + room.code) +
                    kEllipsis,
                "  " + room.lobbyText};
    if (room.phase == RoomPhase::Waiting)
        return {"Your room's code: the other player joins with it"};
    std::vector<std::string> lines = {"Room " + spacedCode(room.code),
                                      roomStatusText(room.phase, room.path)};
    if (room.phase == RoomPhase::Connected) lines.push_back("Greeting the other player" + kEllipsis);
    return lines;
}

int64_t drawRoomCode(const std::string& code, bool copied, int64_t x, int64_t y) {
    drawZoomedText(spacedCode(code), x + 20, y + 12, kCodeGlyphSize, kCodeAdvance, kOrangeTint, 160);
    drawPlainText(copied ? "The code is on the clipboard" : "C: copy the code", x, y + 78);
    return 100;
}

std::string lobbyInUse() { return startLobby.empty() ? settings.lobbyAddress : startLobby; }

void hostRoomGame(FightContext& context, int64_t textX, int64_t textY) {
    std::string lobby = lobbyOrSay(textX, textY);
    if (lobby.empty()) return;
    OnlinePlay online;
    std::string error;
    if (!hostRoom(online, lobby, error)) {
        showOnlineEnding(textX, textY, "cannot host a room: " + error);
        return;
    }
    bool copied = false;
    auto drawCode = [&](int64_t x, int64_t y) -> int64_t {
        if (online.room.phase != RoomPhase::Waiting) return 0;
        if (!menuInputFrozen() && keyReleased(kKeyCopy)) copied = copyToClipboard(online.room.code);
        return drawRoomCode(online.room.code, copied, x, y);
    };
    if (waitForPeer(textX, textY, online, "host room", [&] { return roomLines(online); }, drawCode))
        playTogether(context, textX, textY, online);
}

void joinRoomGame(FightContext& context, int64_t textX, int64_t textY, const std::string& code) {
    std::string lobby, typed = code;
    if (!lobbyAndCode(textX, textY, kRoomCodeEntry, lobby, typed)) return;
    OnlinePlay online;
    std::string error;
    if (!joinRoom(online, lobby, typed, error)) {
        showOnlineEnding(textX, textY, "cannot join room " + typed + ": " + error);
        return;
    }
    if (waitForPeer(textX, textY, online, "joining room", [&] { return roomLines(online); }))
        playTogether(context, textX, textY, online);
}

void watchRoomGame(FightContext& context, int64_t textX, int64_t textY, const std::string& code) {
    std::string lobby, typed = code;
    if (!lobbyAndCode(textX, textY, kWatchCodeEntry, lobby, typed)) return;
    Spectating watching;
    std::string error;
    if (!watchRoom(watching, lobby, typed, error)) {
        showOnlineEnding(textX, textY, "cannot watch room " + typed + ": " + error);
        return;
    }
    auto lines = [&] {
        return std::vector<std::string>{"Room " + spacedCode(watching.room.code),
                                        "Waiting for its match to begin" + kEllipsis};
    };
    bool began = runWaitingScreen(textX, textY, "watch room", kTitle, lines, [&watching] {
        return !serviceWatching(watching) || !watching.setup.empty();
    });
    std::string ending;
    if (began && !watching.setup.empty()) {
        noteScreenOpened("watching");
        OnlineOutcome outcome = watchOnlineMatch(context, watching, kWatchDelaySeconds);
        ending = outcome.problem;
        if (outcome.finished) {
            std::string kept = keepReplay(outcome.replay);
            ending = kept.empty() ? "the match is over" : "the match is over; its replay is kept as " + kept;
        }
    } else if (began) {
        ending = watching.problem;
    }
    if (watching.link.host) closeLink(watching.link, "");
    showOnlineEnding(textX, textY, ending);
}

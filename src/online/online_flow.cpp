// Online play from the menus.
#include "online/online_flow.h"

#include <cctype>

#include "data/stages.h"
#include "fight/fight_state.h"
#include "input/keys.h"
#include "menus/address_entry.h"
#include "menus/choice_menu.h"
#include "menus/class_selection.h"
#include "menus/menu_framework.h"
#include "menus/selection_panels.h"
#include "menus/stage_selection.h"
#include "menus/waiting_screen.h"
#include "online/local_addresses.h"
#include "online/online_match.h"
#include "online/online_play.h"
#include "replays/replays.h"
#include "runtime/runtime.h"
#include "settings/pacing.h"
#include "settings/settings.h"

namespace {
const std::string kTitle = "=======Online play";

// This computer's choice as the class selection holds it.
SetupPacket ownChoice(const OnlinePlay& online) {
    const SelectionPanel& panel = online.hosting ? playerOnePanel : playerTwoPanel;
    int64_t code = panelCode(panel);
    SetupPacket choice;
    choice.classCode = code % 100;
    choice.stance = code / 100;
    choice.ready = panel.ready;
    choice.inputDelay = chosenInputDelay(settings.inputDelay, double(linkRoundTripMs(online.link)), targetFps);
    return choice;
}

// Once a menu frame: the connection kept alive, our choice sent as it changes, the peer's shown.
bool serviceFromMenus(OnlinePlay& online) {
    if (!serviceOnline(online)) return false;
    sendOwnSetup(online, ownChoice(online));
    if (online.peerSetupKnown) {
        onlinePanels.peerCode = online.peerSetup.classCode + 100 * online.peerSetup.stance;
        onlinePanels.peerReady = online.peerSetup.ready;
    }
    if (!online.hosting && online.matchStarting) onlinePanels.started = true;
    return true;
}

} // namespace

bool offerRematch(int64_t textX, int64_t textY) {
    ChoiceMenu menu;
    menu.screenName = "rematch";
    menu.header = kTitle;
    menu.labels = {"    Rematch     ", "     Leave      "};
    menu.descriptions = {"Both players go back to the class selection."}; // "Leave" goes back
    menu.hints = {"Up/Down: change", "Return: confirm", "Escape: leave"};
    int64_t selection = 0;
    return runChoiceMenu(textX, textY, menu, selection) == 0;
}

namespace {

// The host's stage: a stage of the list, or one drawn at random.
int64_t stagePosition(int64_t choice) {
    int64_t count = int64_t(stageList.size());
    if (choice >= 0 && choice < count) return choice;
    return count > 0 ? randomInt(count - 1) : 0;
}

} // namespace

void playTogether(FightContext& context, int64_t textX, int64_t textY, OnlinePlay& online) {
    onlinePanels = OnlinePanels{};
    onlinePanels.active = true;
    onlinePanels.localSide = online.hosting ? 0 : 1;
    playerOnePanel.ready = playerTwoPanel.ready = false;
    menuFrameService = [&online] { return serviceFromMenus(online); };
    while (!online.link.closed && !windowCloseRequested()) {
        int64_t code = runClassSelection(context.fight, kTwoPlayerMode);
        if (online.link.closed || windowCloseRequested()) break;
        if (code == kNoSelection) {
            leaveOnline(online, kByeQuit, "");
            break;
        }
        SetupPacket start;
        if (online.hosting) {
            SetupPacket choice = ownChoice(online);
            choice.classCode = code % 10000 % 100;
            choice.stance = code % 10000 / 100;
            choice.ready = true;
            if (!stageList.empty()) loadStageTiles(stageList[0]);
            int64_t stage = runStageSelection(textX, textY);
            if (online.link.closed || windowCloseRequested()) break;
            if (stage == kStageBack) continue;
            uint64_t seed = (uint64_t(systemTimeMs() * 1000.0) << 16) ^ uint64_t(randomInt(65535));
            start = hostStartingSetup(choice, online.peerSetup, stagePosition(stage), seed);
            sendOwnSetup(online, start);
        } else {
            start = online.peerSetup;
            online.matchStarting = false;
            onlinePanels.started = false;
        }
        noteScreenOpened("online fight");
        // Each side plays the delay it last told the other (the host's is in the set-up).
        int64_t delay = online.hosting ? start.inputDelay : online.ownSetup.inputDelay;
        OnlineOutcome outcome = playOnlineMatch(context, online, start, delay);
        keepReplay(outcome.replay);
        if (online.link.closed || windowCloseRequested()) break;
        if (!offerRematch(textX, textY)) {
            leaveOnline(online, kByeQuit, "");
            break;
        }
    }
    menuFrameService = nullptr;
    onlinePanels = OnlinePanels{};
    leaveRoom(online); // the lobby forgets the room at once, the router its mapping
    if (online.link.host) closeLink(online.link, online.problem);
    showOnlineEnding(textX, textY, online.problem);
}

bool waitForPeer(int64_t textX, int64_t textY, OnlinePlay& online, const std::string& screenName,
                 const std::function<std::vector<std::string>()>& lines,
                 const std::function<int64_t(int64_t x, int64_t y)>& drawBelow) {
    bool met = runWaitingScreen(
        textX, textY, screenName, kTitle, lines,
        [&online] { return !serviceOnline(online) || onlineReady(online); }, drawBelow);
    if (met && onlineReady(online)) return true;
    if (!met) leaveOnline(online, kByeQuit, "");
    leaveRoom(online); // the lobby forgets the room at once, the router its mapping
    if (online.link.host) closeLink(online.link, online.problem);
    showOnlineEnding(textX, textY, online.problem);
    return false;
}

void showOnlineEnding(int64_t textX, int64_t textY, const std::string& problem) {
    if (problem.empty()) return;
    std::string line = problem;
    line[0] = char(std::toupper(static_cast<unsigned char>(line[0])));
    runWaitingScreen(textX, textY, "online play over", kTitle,
                     [&line] { return std::vector<std::string>{line, "", "Return: back to the menu"}; },
                     [] { return keyReleased(kKeyReturn); });
}

std::vector<std::string> hostWaitingLines(uint16_t port, const std::vector<std::string>& addresses) {
    std::vector<std::string> shown = {"Waiting for the other player on port " +
                                          std::to_string(port) + " (UDP)",
                                      "", "They join with one of these addresses:"};
    for (const std::string& address : addresses) shown.push_back("  " + address);
    if (addresses.empty()) shown.push_back("  (this computer tells no address)");
    return shown;
}

void hostOnlineGame(FightContext& context, int64_t textX, int64_t textY, uint16_t port) {
    OnlinePlay online;
    std::string error;
    if (!hostOnline(online, port, error)) {
        showOnlineEnding(textX, textY, "cannot host: " + error);
        return;
    }
    std::vector<std::string> addresses;
    for (const std::string& address : localAddresses())
        if (address.find(':') == std::string::npos) addresses.push_back(address); // IPv4 only
    auto lines = [&] { return hostWaitingLines(port, addresses); };
    if (waitForPeer(textX, textY, online, "host online", lines)) playTogether(context, textX, textY, online);
}

void joinOnlineGame(FightContext& context, int64_t textX, int64_t textY, const std::string& address) {
    std::string typed = address.empty() ? settings.lastJoinAddress : address;
    if (address.empty() && !runAddressEntry(textX, textY, typed)) return;
    OnlinePlay online;
    std::string error;
    if (!joinOnline(online, typed, error)) {
        showOnlineEnding(textX, textY, "cannot join " + typed + ": " + error);
        return;
    }
    if (settings.lastJoinAddress != typed) {
        settings.lastJoinAddress = typed;
        saveSettings();
    }
    auto lines = [&] {
        return std::vector<std::string>{
            online.link.connected ? "Connected to " + online.where + ", greeting..."
                                  : "Connecting to " + online.where + " ..."};
    };
    if (waitForPeer(textX, textY, online, "connecting", lines)) playTogether(context, textX, textY, online);
}

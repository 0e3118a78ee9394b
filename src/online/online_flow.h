// Online play from the menus: hosting or joining, the class selection with the other player,
// the host's stage choice and the matches, until either side leaves; then what ended it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FightContext;
struct OnlinePlay;

// The host's waiting screen's lines: the port and the IPv4 addresses to join with.
std::vector<std::string> hostWaitingLines(uint16_t port, const std::vector<std::string>& addresses);
// What ended online play (e.g. "the other player left"), until the player lets it go; nothing
// for an empty problem.
void showOnlineEnding(int64_t textX, int64_t textY, const std::string& problem);
// Both play in the context's fight.
// Waits on `port` for the other player, showing the port and this computer's addresses.
void hostOnlineGame(FightContext& context, int64_t textX, int64_t textY, uint16_t port);
// Connects to `address` ("HOST" or "HOST:PORT"); an empty one is asked for first, starting from
// the last address joined. A joined address is remembered in the settings.
void joinOnlineGame(FightContext& context, int64_t textX, int64_t textY, const std::string& address);

// Waits on a screen until the peer is there and greeted; false when the player gave up or the
// connection failed (after saying why). drawBelow as for runWaitingScreen.
bool waitForPeer(int64_t textX, int64_t textY, OnlinePlay& online, const std::string& screenName,
                 const std::function<std::vector<std::string>()>& lines,
                 const std::function<int64_t(int64_t x, int64_t y)>& drawBelow = nullptr);
// Class selections and matches with the connected peer, until one side leaves; then what
// ended it.
void playTogether(FightContext& context, int64_t textX, int64_t textY, OnlinePlay& online);
// After a match: "Rematch" (both back to the class selection) or "Leave". True for a rematch.
bool offerRematch(int64_t textX, int64_t textY);

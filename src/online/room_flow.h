// Online play through a lobby from the menus: a room hosted (its code shown large, C copies
// it), a room joined or watched by its code, typed or picked with a controller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EntryKind;
struct FightContext;
struct OnlinePlay;

// The lobby given on the command line for this run ("" : the setting's).
extern std::string startLobby;
// The lobby in use: startLobby, else the setting's ("" none).
std::string lobbyInUse();
// The room code's entry: six letters of the code's alphabet.
extern const EntryKind kRoomCodeEntry;
extern const EntryKind kWatchCodeEntry;

// What a room's waiting screen says as the room goes from asking the lobby to connected.
std::vector<std::string> roomLines(const OnlinePlay& online);
// The host's code in large letters at (x, y), and how to copy it (or that it was); the height
// taken, in px.
int64_t drawRoomCode(const std::string& code, bool copied, int64_t x, int64_t y);

void hostRoomGame(FightContext& context, int64_t textX, int64_t textY);
// An empty code is asked for first.
void joinRoomGame(FightContext& context, int64_t textX, int64_t textY, const std::string& code);
// Watches the room's match a second behind; its replay is kept like the players'.
void watchRoomGame(FightContext& context, int64_t textX, int64_t textY, const std::string& code);

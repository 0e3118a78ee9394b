// The main state loop: one full-screen activity at a time, chosen from the main menu.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t kStatePlayerVsPlayer = 0;
constexpr int64_t kStatePlayerVsBot = 1;
constexpr int64_t kStateExit = 7;

struct FightContext;

// Runs until the player leaves, every screen playing and showing the context's fight.
void mainStateLoop(FightContext& context, int64_t textX, int64_t textY);

// Where the game goes first, before the main menu: online play asked for on the command line
// (quarrelix --host [PORT] / --join HOST[:PORT]).
constexpr int64_t kStartAtMenu = 0, kStartHosting = 1, kStartJoining = 2;
constexpr int64_t kStartHostingRoom = 3, kStartJoiningRoom = 4, kStartWatchingRoom = 5;
extern int64_t startOnline;
extern uint16_t startPort;       // hosting
extern std::string startAddress; // joining: an address, or a room's code
// The screens' kept choices back to their start (a new run).
void resetMenuState();

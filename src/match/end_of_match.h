// The end of a match: the result banner and a five-second countdown over the running fight,
// the fade to black, and the release of everything the match loaded.
#pragma once

#include <cstdint>
#include <string>

struct FightContext;
struct FightState;

constexpr int64_t kVictorySlot = 4;
constexpr int64_t kDefeatSlot = 5;

// The jingles a match may end with (the defeat's only against the bot), decoded when missing
// (with music on): before the fight, as decoding one takes a fight frame's time several times
// over. They stay decoded, stopped, for the next match.
void loadEndOfMatchJingles(bool againstTheBot);
// loser: 1 player one, 2 player two, anything else no result; mode 1 against the bot.
void endOfMatch(FightContext& context, int64_t loser, int64_t matchMode);
// The banner's first line for a result.
std::string winnerText(int64_t winner, int64_t matchMode);
int64_t countdownSeconds(double elapsedMs); // 5 ... 0, never negative
// The key that watches the match again from the result banner: R, unless a player has bound R
// to one of their moves (primary or secondary), which it keeps; then the first letter of
// T, F, N, M, Z, X, C, U, I, K, A, S that no binding uses. 0 when every one of them is bound.
int64_t watchAgainKey();
void releaseMatch(FightState& fight); // effects, particles and queued images (pictures stay for the next match)
// The way out of a match to the menus, the end of match's last step: the menu music, the match
// released, the screen shown through a fade from black, the camera back at the left.
void leaveMatchScreen(FightState& fight);

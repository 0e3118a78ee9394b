// The hint lines of the selection screens: what to press there, named as each player's keys
// are bound now (or as their game controller's stick and buttons), drawn as small blocks of
// lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Controls;
struct PlayerSetup;

constexpr int64_t kHintGrey = 0x808080;
// From the screen's side to a panel's lines, in px: player two's start 100 px from the left
// edge, and player one's blocks end 100 px from the right edge to match.
constexpr int64_t kPanelTextInset = 100;

// What a player presses for an action: "P", "Left", or "button 1" with a game controller.
std::string keyFor(const PlayerSetup& player, int64_t Controls::*action);
// Two actions' keys in one: "G/J", "Left/Right"; names that start with the same word share
// it: "stick left/right".
std::string keyPairFor(const PlayerSetup& player, int64_t Controls::*first, int64_t Controls::*second);
// A fixed key and a player's key that do the same: "Return or P"; named once when they are
// the same ("Up/Down").
std::string eitherKey(const std::string& fixedKey, const std::string& playersKey);
// A player's lines for moving over the classes and their stances.
std::vector<std::string> classAndStanceHints(const PlayerSetup& player);
// The widest line's width in px.
int64_t hintBlockWidth(const std::vector<std::string>& lines);
// The lines one under another from (x, y), a text line apart, at the menus' tint intensity.
void drawHintLines(const std::vector<std::string>& lines, int64_t x, int64_t y, int64_t tint);

// The fight as one value: everything that decides what happens next in a fight (both fighters
// with their animation playback, input counters, hit lists, gauges and combo counters, the bot
// controllers, hit-stop, shake, the camera, the random generator's state and the frame count)
// in one record that copies by value. Its pointers lead only into the immutable game data
// (classes, stances, animations and frames), which a copy shares; the two players are told
// apart by index.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/json_fields.h"
#include "fight/bot.h"
#include "fight/fight_events.h"
#include "fight/fighter.h"
#include "runtime/numbers.h"

struct Stage;

// What the game around the fight hands it for a match: the layout the screen size gives and
// the settings that change the fight. Fixed for the match (the fight never reads the settings
// or the screen themselves).
// The fight's rules by the version that brought them, so that a replay recorded under older
// rules plays them again: 1 hits resolved player one first, the life gauge's loss sliding per
// tick, the third class's bot minding the stage behind it; 2 trades resolved together (a double
// knock-out goes to the one with more life left), the gauge sliding per update, the third
// class's bot ignoring the stage limits.
constexpr int64_t kFightRules = 2;

struct MatchSetup {
    int64_t rules = kFightRules;
    int64_t groundLine = 0;     // the y at which fighters stand: screen height - 720
    int64_t viewWidth = 1080;   // the fight view's width in world units: screen width - 200
    int64_t attackDelay = 3;    // hit-stop: 1 off, 2 fixed, 3 relative to the damage
    int64_t comboDisplay = 1;   // 3: no combo display (its counters and sound stay still)
    int64_t particles = 1;      // the blood spray (its random draws) is on
    int64_t wind = 1;           // wind trails are shown
    int64_t soundVariation = 1; // sounds vary in pitch (their random draws)
    // The players' names and jump-with-up choices as the match was set up with them: no rule
    // reads them, but the hash takes them in each fighter's place, as replays recorded when the
    // fighters held them still verify by.
    std::array<std::string, 2> names;
    std::array<int64_t, 2> jumpWithUp{};
};

struct FightState {
    MatchSetup setup;
    std::array<Fighter, 2> players;     // player one, player two
    std::array<BotController, 2> bots;  // the controller of each player, when it has one
    float freezeTimer = 0;      // hit-stop ticks left
    Vec2 screenShake;           // shake amplitude (pixels)
    Vec2 shakeOffset;           // this frame's random offset drawn from the amplitude
    float shakeAccumulator = 0; // ticks not yet spent on shake decay
    int64_t focusX = 0;         // world x of the camera's left edge
    int64_t viewWidth = 0;      // the fight view's width in world units
    int64_t cameraY = 0;        // smoothed vertical camera offset
    int64_t leftPlayer = 1;     // the player (0 one, 1 two) standing on the left
    RandomState random{};       // the fight's own random generator: every draw of the fight
    int64_t frame = 0;          // steps since the match began (intro included)
    // What the last step set off for the presentation (cleared when a step begins): not part
    // of what decides the fight, so never hashed.
    FightEvents events;
};

inline Fighter& leftFighter(FightState& s) { return s.players[size_t(s.leftPlayer)]; }
inline Fighter& rightFighter(FightState& s) { return s.players[size_t(1 - s.leftPlayer)]; }
inline const Fighter& leftFighter(const FightState& s) { return s.players[size_t(s.leftPlayer)]; }
inline const Fighter& rightFighter(const FightState& s) { return s.players[size_t(1 - s.leftPlayer)]; }
// 0 for player one, 1 for player two: the fighters are told apart by their place in the state.
inline int64_t playerIndex(const FightState& s, const Fighter& f) { return &f == &s.players[1] ? 1 : 0; }

// A fight and the stage it is fought on. The game's start-up makes the one the screens set up,
// play and show (see startUpGame); tools and tests make their own.
struct FightContext {
    FightState fight;
    Stage* stage = nullptr;
    // Each player's life at the start of the next match, -1 for full (survival carries the
    // player's life over from one fight to the next). Never recorded in a replay.
    std::array<int64_t, 2> startingLife{-1, -1};
    // The rounds the next match lasts at most (1, 3 or 5): played until a player has won most
    // of them. 1 is a single knock-out, as online play, training and the lessons always fight.
    int64_t rounds = 1;
    // Each round's winner in the last match, in order: 0 nobody (no knock-out), 1 player one,
    // 2 player two. Never part of the fight's state or hash.
    std::vector<int64_t> roundWinners;
};

inline int64_t groundLine(const FightState& s) { return s.setup.groundLine; }
void resetFightState(FightState& state); // everything but the set-up, the players and the bots

// A 64-bit hash of everything in the fight state (floats by their bits; data pointers by what
// they point at; the random generator's state; not the events), equal across builds and runs
// for equal fights. A copy of the state steps on exactly as the original does.
uint64_t fightHash(const FightState& state);

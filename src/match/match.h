// A match: fighters placed on the stage, class images prepared, the intro countdown and the
// fight loop, until a knock-out or Escape.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "input/controls.h"

struct FightContext;
struct FightState;
struct MatchSetup;
struct Fighter;
struct Stage;

// What tools and tests ask of a match beyond the game's own rules, and the observer through
// which they see every frame of the fight screens (see frame_loop.h): the intro's, the fight's,
// the end of match's, the training room's and the online fight's.
struct MatchHooks {
    int64_t maxFightFrames = 0; // 0: no limit; a match that reaches it ends with no winner
    std::vector<std::pair<int64_t, std::string>> screenshots; // fight-loop pass, PNG path
    std::vector<std::pair<int64_t, std::string>> introScreenshots; // intro frame, PNG path
    std::vector<std::pair<int64_t, std::string>> endScreenshots;   // end-of-match frame, path
    std::vector<int64_t> endCountdown; // the countdown shown in each end-of-match frame
    int64_t fightFrames = 0;    // passes of the fight loop in the last match, all its rounds
    std::vector<int64_t> introDigits; // the countdown digit of every intro frame
    // Wall-clock time of the last match's fight loops (benchmarks), and their game time: their
    // frame factors x 20 ms. A match of several rounds runs one fight loop a round.
    double fightLoopSeconds = 0;
    double fightGameSeconds = 0;
    // Benchmarks: wall-clock seconds from the start of the last match to its first intro
    // frame (stage and music ready, the classes' pictures queued), and the work of each
    // fight-loop pass in ms (stepping, drawing and showing, without the wait that paces the
    // frame).
    double setupSeconds = 0;
    std::vector<double> fightFrameMs;
    std::vector<double> introFrameMs; // the same for the intro's frames (pictures load there)
    bool endOfMatch = true;           // the banner, countdown, fade and release after a fight
    // Called with the pass number once each pass of the fight, the training room or the online
    // fight is drawn, before it is shown: tests look at the fight there, or step in.
    std::function<void(int64_t pass)> afterFightFrame;
    std::function<void(int64_t frame)> afterIntroFrame; // the same for the intro's frames
};
extern MatchHooks matchHooks;

void placeLifeGauge(Fighter& fighter, bool onTheRight);
// What the players press this frame (after the keyboard snapshot); nothing for a player the
// bot drives.
std::array<Actions, 2> playerActions(const FightState& fight);
// The set-up the fight is handed, from the screen size and the settings as they stand.
// The fight rules the next match plays by: the newest, older only while a replay recorded
// under them plays.
extern int64_t matchRules;
MatchSetup currentMatchSetup();
// The fight placed for a new match on the context's stage.
void resetMatch(FightContext& context);
// Runs one match on the context's stage with both players as they stand, over the context's
// rounds (each round's winner left in its roundWinners); returns the match's result (0 none,
// 1 player one lost, 2 player two lost): a single round's is its last fight frame's, that of
// several rounds goes by the rounds won.
int64_t startMatch(FightContext& context);
// startMatch's parts. The set-up before the intro (bots, the random state on tape, fighters
// placed, pictures queued, music loaded); returns the stage.
Stage* setUpMatch(FightContext& context);
// The intro with its countdown, before a later round of the match with its "Round N". With a
// fixed factor every frame is that long and the intro lasts a fixed number of frames (online
// play: both peers step the same intro); eachFrame runs once a frame (the connection is kept
// alive there).
void fightIntro(FightContext& context, double fixedFactor = 0,
                const std::function<void()>& eachFrame = {});
// Online play: the side this computer's player fights on (-1: not online). playerActions then
// reads that side from player one's keys, with their own jump-with-up choice.
extern int64_t onlineLocalSide;
// The players' jump-with-up as the next match records and hashes it, where a replay or an
// online match decides it rather than the players' own choice (-1: the player's own); the
// keys are read with the player's own choice all the same.
extern std::array<int64_t, 2> jumpWithUpOverride;
int64_t matchJumpWithUp(int64_t player); // player: 0 one, 1 two
// Queues the pictures of the fighters' classes that the "Performance" option asks to have
// before the fight, what the intro shows first, and returns how many those are;
// prepareClassImages also loads them, behind a loading screen.
int64_t queueClassImages(std::initializer_list<Fighter*> fighters);
void prepareClassImages(Fighter& fighter);
// Lets go of the images of the classes that neither player has and the tiles of every other
// stage: a match keeps its pictures until one that does not use them begins.
void releaseImagesNotFor(const FightContext& context);
// Forgets the numbers of the sprites the match makes (a new run hands them out again).
void resetMatchSprites();

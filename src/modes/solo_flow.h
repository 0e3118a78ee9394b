// The solo modes as the game plays them: the solo menu, the arcade's ladder and survival, with
// the screens between their fights, and the records screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modes/arcade.h"
#include "modes/interlude.h"

struct FightContext;
struct FighterClass;

extern int64_t soloSelection; // the solo menu's entry, kept between visits

// The solo menu and what it leads to, until it is left.
void soloModes(FightContext& context, int64_t textX, int64_t textY);
// Player one's class, then every other class once with the screen of the ladder before each
// fight; a lost fight offers to continue. Clearing it counts in the records and shows the
// closing screen and the credits.
void arcadeGame(FightContext& context, int64_t textX, int64_t textY);
// Player one's class, then fights at Hard until one is lost, the life carried over with a heal.
void survivalGame(FightContext& context, int64_t textX, int64_t textY);

// The screens between the fights. The ladder before fight `next` (from 0): the fights won, the
// one to come and its opponent's portrait, those after; the time and continues so far.
Interlude ladderScreen(const std::vector<LadderFight>& ladder, size_t next, double seconds,
                       int64_t continues);
// After a lost fight of the ladder: true to fight the same opponent again.
bool offerContinue(int64_t textX, int64_t textY, const FighterClass* opponent, int64_t continues);
Interlude arcadeClosing(const std::string& playerClass, double seconds, int64_t continues,
                        double bestSeconds);
Interlude survivalScreen(int64_t wins, double seconds, int64_t life, int64_t maxLife,
                         const FighterClass& opponent);
// `previousBest`: the survival best before this run.
Interlude survivalOver(int64_t wins, double seconds, int64_t previousBest);

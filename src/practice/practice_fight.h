// A fight outside a match (the lessons, the training room): it starts as a match does but
// without the intro, the fighters standing at full life, and on leaving gives back the menu
// music and everything the fight loaded.
#pragma once

struct FightContext;
struct Stage;

// The fight on the stage: its tiles, the classes' images, the fighters placed for a match and
// standing, the stage's music instead of the menu's.
void startPracticeFight(FightContext& context, Stage* stage);
// The stage's music stops and the menu's comes back; effects and particles are cleared.
void endPracticeFight(FightContext& context);

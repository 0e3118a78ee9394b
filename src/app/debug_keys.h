// Debug mode in the fight: the position strip and the keys held with Left Shift.
#pragma once

#include <cstdint>

struct FightContext;
struct Stage;

int64_t debugStripSwitch(); // the global debug flag: -1 off, 1 showing the strip
void drawDebugStrip(const Stage* stage, bool attackPressed);
void handleDebugKeys(FightContext* context);
// Debug mode on (the fight's flag -1, the players' too) or off (0, the strip freed).
void setDebugMode(bool on);
// Forgets the strip's sprite numbers (a new run hands numbers out from 1 again).
void resetDebugStrip();

// The debug overlay: a fighter's animation state beside it, its hit mask and body at half
// intensity where the hit test places them, and its life.
#pragma once

#include <cstdint>

struct FightState;
struct Fighter;

void drawDebugOverlay(const Fighter& fighter, int64_t xShift);

struct Stage;
// The position strip: the stage's width, the camera and both fighters, a tenth of their size,
// with the fighters' positions as text (debug mode with the strip shown).
void buildDebugStrip(const Stage* stage);
void freeDebugStrip();
void drawDebugStrip(const FightState& fight, const Stage* stage, bool attackPressed);
// Forgets the strip's sprite numbers (a new run hands numbers out from 1 again).
void resetDebugStrip();
// Debug mode on (the setting -1, the players' switches too) or off (0, the strip freed).
void setDebugMode(bool on);

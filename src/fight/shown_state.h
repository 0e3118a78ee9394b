// What the fight shows, settled within the fight step because the step depends on it or draws
// random numbers for it: the picture each fighter shows (its body for hits), a hit reaction's
// trembling, the gauge's red flash and the combo display's counters. Drawing only reads them.
#pragma once

struct FightState;
struct Fighter;
struct Frame;

// Picks the frame the fighter shows (a hit reaction over its current frame while one lasts,
// or during hit-stop for the one who was not hitting), with its images loaded.
void settleShownFrame(FightState& state, Fighter& fighter, double timeFactor);
// Shakes, brightens and fades the combo icons by the frame's length (ticks).
void advanceComboCounters(FightState& state, Fighter& fighter, double timeFactor);

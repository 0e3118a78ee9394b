// Debug mode in the fight: the keys held with Left Shift (the strip is drawn by render/).
#pragma once

#include <cstdint>

struct FightContext;
struct FightState;

void handleDebugKeys(FightState& state, FightContext* context);
// Debug mode on (the fight's flag -1, the players' too) or off (0, the strip freed).
void setDebugMode(bool on);

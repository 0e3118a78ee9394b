// Debug mode in the fight: the keys held with Left Shift (the strip is drawn by render/).
#pragma once

#include <cstdint>

struct FightContext;

void handleDebugKeys(FightContext& context);

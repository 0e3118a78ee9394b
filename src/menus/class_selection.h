// The class selection screen: the fighter viewer (mode 1), the choice against the bot (mode 2),
// the two players' choice (mode 3) and player one's alone (mode 4).
#pragma once

#include <cstdint>

struct FightState;

constexpr int64_t kViewerMode = 1;
constexpr int64_t kAgainstBotMode = 2;
constexpr int64_t kTwoPlayerMode = 3;
constexpr int64_t kSoloMode = 4; // player one's class alone (the arcade, survival)

// The selection code once the screen has faded to black; -999 when it was left with Escape
// (and always in the viewer).
// The choices' colours (player two's alternate one) are set on the fight's players.
int64_t runClassSelection(FightState& fight, int64_t mode);

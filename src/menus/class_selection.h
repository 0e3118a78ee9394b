// The class selection screen: the fighter viewer (mode 1), the choice against the bot (mode 2)
// and the two players' choice (mode 3).
#pragma once

#include <cstdint>

constexpr int64_t kViewerMode = 1;
constexpr int64_t kAgainstBotMode = 2;
constexpr int64_t kTwoPlayerMode = 3;

// The selection code once the screen has faded to black; -999 when it was left with Escape
// (and always in the viewer).
int64_t runClassSelection(int64_t mode);

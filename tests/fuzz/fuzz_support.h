// What every fuzz target shares: a RAM working directory and the headless runtime, set up once
// per process rather than per input, and a reader's broken promise turned into a crash.
#pragma once

#include <string>

void startFuzzing();
// Aborts (so that libFuzzer keeps the input) when the feed reported a problem.
int checkFeed(const std::string& problem);

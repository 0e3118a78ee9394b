// The records screen: each class's wins and losses (against the computer by level, people
// here, online), the arcade's clears and the bests; "Clear records" asks first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/records.h"

// "m:ss.s", e.g. "4:05.2".
std::string clockText(double seconds);
// The text cut to width - 1 letters and padded with spaces to `width`: a column of the
// fixed-width letters.
std::string padded(std::string text, size_t width);
// The screen's lines, in fixed-width letters lined up with spaces.
std::vector<std::string> recordsLines(const Records& from);
// Until "(go back)" or Escape; the records are cleared and saved when the player confirms.
void runRecordsScreen(int64_t textX, int64_t textY);

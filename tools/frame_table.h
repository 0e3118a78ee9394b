// The data inspector's frame table: every attack a class can reach (its six first attacks and
// their follow-ups) with its frame data, for one stance, as text or JSON.
#pragma once

#include <string>

// Exit status of a frame table naming a class or stance the data does not have.
constexpr int kUnknownClassStatus = 4;

// Prints the table of the class named by `which` ("CLASS" or "CLASS:STANCE"; a class by name,
// any case, or by id; a stance by name, any case, or by index; the first stance by default)
// from the loaded data on standard output. Figures are ticks of 20 ms, with frames at
// `framesPerSecond` beside them when that is not 50. Returns 0, kUnknownClassStatus after a
// message on standard error, or 1 when the output cannot be written.
int printFrameTable(const std::string& which, double framesPerSecond, bool json);

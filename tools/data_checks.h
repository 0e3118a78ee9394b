// What the data inspector warns about: loaded data that the game will refuse, misread or
// silently leave out (the loader itself takes every value, as the game must).
#pragma once

#include <string>
#include <vector>

struct JsonNode;

// Checks the loaded game data against the file's own document (root); imageDirectory is where
// the game would look for the pictures the data names (the data file's directory). Returns one
// line per problem found.
std::vector<std::string> checkGameData(const JsonNode* root, const std::string& imageDirectory);

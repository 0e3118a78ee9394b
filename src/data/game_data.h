// The data file "data.json": every class, animation, sound pool and effect of the game.
#pragma once

#include <string>
#include <vector>

struct Animation;

extern std::vector<Animation*> landLightFront;
extern std::vector<Animation*> landLightBack;
extern std::vector<Animation*> landHeavyFront;
extern std::vector<Animation*> landHeavyBack;
extern std::vector<Animation*> loadingAnimations;

extern const char* const kDataFileError; // the message shown when the file is missing
// What start-up shows when the data file at `path` was not loaded: missing (kDataFileError),
// there but unreadable, or not valid (what is wrong and where), after loadJsonFile failed.
std::string dataFileMessage(const std::string& path);

// Reads the file and fills the lists; false (after showing the message) when it cannot be
// opened or parsed, with no list filled.
bool loadGameData(const std::string& path);
// After loading: follow-up tables rebuilt, shared pictures linked.
void finishAnimations();
void clearGameData(); // every list and record (tests, tools)

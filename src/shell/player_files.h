// Where the game finds its content and where it keeps the player's files (settings.txt and
// replays/): a local build keeps them beside itself, as it always has; an installed game, whose
// directory the player cannot write, keeps them in the player's data directory.
#pragma once

#include <string>

// The content (data.json, image/, sound/, music/) is read from the working directory. When
// data.json is not there, as when an installed game is started from anywhere, the working
// directory becomes the executable's own; when it is not there either, nothing changes (and
// start-up says what is missing).
void enterGameDirectory();

// The directory of the player's files: "." (the game's working directory) when the game may
// write there; otherwise xdgDataHome/quarrelix, or home/.local/share/quarrelix when xdgDataHome
// is empty or relative (a relative one is to be ignored, as the XDG base directory rules say);
// "" when home is empty too: there is nowhere to keep them.
std::string playerFilesDirectory(bool gameDirectoryWritable, const std::string& xdgDataHome,
                                 const std::string& home);

// Points settingsPath and replayDirectory into the directory playerFilesDirectory gave (".":
// they stay as they are), creating it when needed. When there is none or it cannot be made, says
// so once on standard error and empties both: the game plays on without saving. False then.
bool keepPlayerFilesIn(const std::string& directory);
// The same for this process: its working directory, XDG_DATA_HOME and HOME.
void usePlayerFilesDirectory();

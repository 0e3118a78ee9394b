// Files: sizes, whole-file reading, text files for writing, and the game's path rule.
#pragma once

#include <cstdint>
#include <string>

std::string gamePath(const std::string& path); // '\' in a game path means '/'
int64_t fileSize(const std::string& path);     // -1 missing, -2 directory, else bytes
bool readWholeFile(const std::string& path, std::string& contents);

int64_t createFile(int64_t fileId, const std::string& path); // 0 if it cannot be created
int64_t writeText(int64_t fileId, const std::string& text);  // 0 on a write failure
int64_t closeFile(int64_t fileId); // 0 if the file was not open or its data could not be flushed
void closeAllFiles();

// Writes the whole text (any bytes: binary data too, written as they are) to a temporary file
// beside path and renames it over path, so that a failure never leaves a truncated file behind. Returns false and leaves path as it was on
// failure. A symbolic link at path is written through: its target gets the text.
bool replaceFileAtomically(const std::string& path, const std::string& text);

// The directory of the running executable, symbolic links resolved (an installed game started
// through a link in bin/ gets its own directory), ending in '/'; "" when the system cannot tell.
std::string executableDirectory();
// True when this process may create files in the directory: false for a directory it does not
// own (a system-wide install), on a read-only file system, or for a path that is no directory.
bool directoryWritable(const std::string& path);

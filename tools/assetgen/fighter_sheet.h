// Contact sheets of the fighter classes: every animation's frames in a row, hit masks in red.
#pragma once

#include <string>

// Reads data.json and the pictures from gameDir and writes <outDir>/<class key>_sheet.png for
// each class, plus a text index of the rows. The reach window (180..240 px ahead of the feet) is
// marked under every frame. Returns false when the data cannot be read.
bool writeFighterSheets(const std::string& gameDir, const std::string& outDir);

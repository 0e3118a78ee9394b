// The content tree the build generated, shared by the tests that check what ships.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "data_builder.h"

// The generated game directory, or an empty string when the content has not been built yet
// (the tests that need it skip then).
inline std::string generatedGameDir() {
    const std::string dir = QRX_GAME_DIR;
    return std::filesystem::exists(dir + "/data.json") ? dir : std::string();
}

// data.json of that directory (null when it cannot be parsed).
inline Json generatedData(const std::string& dir) {
    std::ifstream in(dir + "/data.json");
    return Json::parse(in, nullptr, false);
}

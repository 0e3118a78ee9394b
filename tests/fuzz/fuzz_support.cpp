// See fuzz_support.h.
#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "reader_feeds.h"

namespace {
std::filesystem::path workDirectory;

void removeWorkDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(workDirectory, ignored);
}
} // namespace

void startFuzzing() {
    // Inputs that readers take by path are written here: RAM, and one directory per process so
    // that targets running side by side (and fork mode's jobs) never read each other's files.
    // QRX_FUZZ_DIR lets tools/fuzz.sh choose it (and clear it after a crash, which skips
    // atexit). The current directory stays as it was: libFuzzer reads its paths from there.
    const char* chosen = std::getenv("QRX_FUZZ_DIR");
    std::filesystem::path base = chosen && *chosen ? chosen : "/dev/shm";
    if (!std::filesystem::is_directory(base)) base = std::filesystem::temp_directory_path();
    workDirectory = base / ("qrx-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(workDirectory);
    std::atexit(removeWorkDirectory);
    startReaderRuntime(workDirectory.string());
}

int checkFeed(const std::string& problem) {
    if (problem.empty()) return 0;
    std::fprintf(stderr, "reader problem: %s\n", problem.c_str());
    std::abort();
}

// Every test process works in a scratch directory of its own, so that tests running in
// parallel never share the files they write.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace {
struct ScratchDirectory : testing::Environment {
    std::filesystem::path home;
    std::filesystem::path scratch;
    void SetUp() override {
        home = std::filesystem::current_path();
        scratch = home / ("scratch-" + std::to_string(getpid()));
        std::filesystem::remove_all(scratch);
        std::filesystem::create_directories(scratch);
        std::filesystem::current_path(scratch);
    }
    void TearDown() override {
        std::filesystem::current_path(home);
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }
};
const testing::Environment* const scratchDirectory =
    testing::AddGlobalTestEnvironment(new ScratchDirectory);
} // namespace

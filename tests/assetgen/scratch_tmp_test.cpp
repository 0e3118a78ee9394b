// Each test process of the generator gets a temporary directory of its own, so that runs in
// parallel (CTest's, or a developer's beside CI) never write into each other's files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {
struct ScratchTemporaryDirectory : testing::Environment {
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("assetgen-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        setenv("TMPDIR", dir.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};
const testing::Environment* const scratchTemporaryDirectory =
    testing::AddGlobalTestEnvironment(new ScratchTemporaryDirectory);
} // namespace

TEST(ScratchTemporaryDirectory, IsTheProcessOwn) {
    EXPECT_NE(std::filesystem::temp_directory_path().string().find("assetgen-"), std::string::npos);
}

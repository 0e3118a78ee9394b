// Every input that ever broke one of the readers under the fuzzer, fed again through the same
// entry points as the fuzz targets (tests/fuzz/reader_feeds.h): a reader that breaks again
// fails here, without clang, and under the sanitizer build of the tests it is checked as the
// fuzzer checked it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/reader_feeds.h"

namespace {
std::vector<std::filesystem::path> inputsOf(const std::string& target) {
    std::vector<std::filesystem::path> files;
    std::filesystem::path directory = std::filesystem::path(QRX_FUZZ_REGRESSIONS) / target;
    if (!std::filesystem::is_directory(directory)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct FuzzRegressions : testing::TestWithParam<ReaderFeed> {
    void SetUp() override { startReaderRuntime("."); } // the test's scratch directory
    void TearDown() override { endReaderRuntime(); }
};
} // namespace

TEST_P(FuzzRegressions, EveryKeptInputReadsWithoutHarm) {
    const ReaderFeed& reader = GetParam();
    std::vector<std::filesystem::path> inputs = inputsOf(reader.name);
    // Each directory keeps at least one input, so a moved or renamed directory cannot pass
    // silently by replaying nothing.
    ASSERT_FALSE(inputs.empty()) << "no inputs in " << QRX_FUZZ_REGRESSIONS << "/" << reader.name;
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.string());
        std::string bytes = contentsOf(path);
        EXPECT_EQ(reader.feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzRegressions, testing::ValuesIn(kReaderFeeds),
                         [](const testing::TestParamInfo<ReaderFeed>& info) {
                             return std::string(info.param.name);
                         });

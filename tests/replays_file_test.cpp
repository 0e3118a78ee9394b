// The replay file: round trips, size, names, retention, mismatch messages and damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "replays/replay_file.h"
#include "runtime/compression.h"
#include "runtime/files.h"
#include "runtime/hashing.h"

namespace {
namespace fs = std::filesystem;

// A fixed generator for the tests' jitter: the same frames every run.
struct TestRandom {
    uint64_t state = 0x9e3779b97f4a7c15ull;
    uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    double unit() { return double(next() >> 11) / double(1ull << 53); } // [0, 1)
};

Replay sampleReplay(size_t frameCount) {
    Replay replay;
    replay.gameVersion = "0.1.0.5a";
    replay.dataHash = 0xfedcba9876543210ull;
    replay.contentHashes = {{"pictures of Lancer", 0x0123456789abcdefull},
                            {"sounds", 0xffffffffffffffffull}, {"music", 0}};
    replay.recordedAt = "2026-12-09 14:03:12";
    replay.mode = 1;
    replay.sides[0] = {"Duelist", 2, 1, 0xff8000, 0, 0};
    replay.sides[1] = {"Brawler \"the\" Bold", 0, 3, 0x00ff7f, 1, 3};
    replay.stage = 2;
    replay.settings = {{"AttackDelay", 3}, {"BuffedFrames", -5}, {"FPSMode", 6},
                       {"Huge", std::numeric_limits<int64_t>::max()},
                       {"Tiny", std::numeric_limits<int64_t>::min()}};
    replay.randomState = {1, 0x8000000000000000ull, 0xdeadbeefcafef00dull, 42};
    TestRandom random;
    for (size_t i = 0; i < frameCount; ++i) {
        ReplayFrame frame;
        frame.phase = uint8_t(i < 300 ? 0 : i + 50 < frameCount ? 1 : 2);
        frame.actions[0] = uint8_t(random.next() & 0x7f);
        frame.actions[1] = uint8_t((i / 7) & 0x7f);
        frame.factor = 0.5 + (random.unit() - 0.5) * 0.01; // 100 FPS, measured
        replay.frames.push_back(frame);
    }
    for (size_t k = 0; k < frameCount / 50; ++k) replay.hashes.push_back(random.next());
    replay.result = 2;
    replay.finalHash = 0x1122334455667788ull;
    return replay;
}

std::string encoded(const Replay& replay) {
    std::string bytes, error;
    EXPECT_TRUE(encodeReplay(replay, bytes, error)) << error;
    return bytes;
}

std::string refusal(const std::string& bytes) {
    Replay replay;
    std::string error;
    EXPECT_FALSE(parseReplay(bytes, replay, error));
    return error;
}

// A file with the given header and raw body, sealed as the writer seals one: compressed body
// and a correct checksum, so that the reader gets past them to what the test is about.
std::string sealed(const std::string& header, const std::string& body) {
    std::string compressed;
    EXPECT_TRUE(deflateBytes(body, compressed));
    std::string bytes = "QRXREPLAY\n" + header + "\n" + compressed;
    uint64_t checksum = hashBytes(bytes.data(), bytes.size());
    for (int i = 0; i < 8; ++i) bytes += char((checksum >> (8 * i)) & 0xff);
    return bytes;
}

const char* const kSmallHeader =
    R"({"format":1,"game":"0.1","recordedAt":"2026-12-09 14:03:12","dataHash":"1","content":{},)"
    R"("mode":0,"sides":[{"class":"A","classIndex":0,"stance":0,"colour":0,"alternateColour":0,)"
    R"("botLevel":0},{"class":"B","classIndex":1,"stance":0,"colour":0,"alternateColour":0,)"
    R"("botLevel":0}],"stage":0,"settings":{},"random":["1","2","3","4"],"frames":FRAMES,)"
    R"("hashes":0,"result":0,"finalHash":"0"})";

std::string smallHeader(const std::string& frames) {
    std::string header = kSmallHeader;
    header.replace(header.find("FRAMES"), 6, frames);
    return header;
}

struct ReplayDirectory : testing::Test {
    fs::path directory = "replay_test";
    void SetUp() override {
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }
    void touch(const std::string& name) { std::ofstream(directory / name) << "x"; }
};
} // namespace

TEST(ReplayFile, RoundTripKeepsEveryFieldAndFactorsBitForBit) {
    Replay replay = sampleReplay(1234);
    // Odd doubles: the smallest normal and subnormal, the largest allowed, one just above 1.
    replay.frames[0].factor = std::numeric_limits<double>::min();
    replay.frames[1].factor = std::numeric_limits<double>::denorm_min();
    replay.frames[2].factor = kReplayMaxFactor;
    replay.frames[3].factor = std::nextafter(1.0, 2.0);
    replay.frames[4].factor = 0.20833333333333334;
    replay.frames[5].actions[0] = 0x7f;
    std::string bytes = encoded(replay);
    Replay read;
    std::string error;
    ASSERT_TRUE(parseReplay(bytes, read, error)) << error;
    EXPECT_TRUE(sameReplay(replay, read));
    EXPECT_EQ(read.sides[1].className, "Brawler \"the\" Bold");
    EXPECT_EQ(read.settings[3].second, std::numeric_limits<int64_t>::max());
    uint64_t bits = 0;
    std::memcpy(&bits, &read.frames[1].factor, sizeof bits);
    EXPECT_EQ(bits, 1u);
    // The same replay encodes to the same bytes.
    EXPECT_EQ(encoded(read), bytes);
    // A match of five rounds: format 2, its rounds kept; a single round writes no "rounds".
    EXPECT_EQ(bytes.find("\"rounds\""), std::string::npos);
    replay.formatVersion = 2;
    replay.rounds = 5;
    ASSERT_TRUE(parseReplay(encoded(replay), read, error)) << error;
    EXPECT_TRUE(sameReplay(replay, read));
    EXPECT_EQ(read.rounds, 5);
}

TEST(ReplayFile, WrittenFileReadsBackAndLeavesNoTemporaryFile) {
    fs::create_directories("replay_write");
    Replay replay = sampleReplay(500);
    std::string error;
    ASSERT_TRUE(writeReplay("replay_write/a.qrxreplay", replay, error)) << error;
    EXPECT_FALSE(fs::exists("replay_write/a.qrxreplay.tmp"));
    Replay read;
    ASSERT_TRUE(readReplay("replay_write/a.qrxreplay", read, error)) << error;
    EXPECT_TRUE(sameReplay(replay, read));
    // A replay that cannot be written leaves the old file as it was.
    Replay broken = replay;
    broken.frames[10].factor = std::nan("");
    EXPECT_FALSE(writeReplay("replay_write/a.qrxreplay", broken, error));
    EXPECT_NE(error.find("frame 10"), std::string::npos) << error;
    ASSERT_TRUE(readReplay("replay_write/a.qrxreplay", read, error)) << error;
    EXPECT_TRUE(sameReplay(replay, read));
    EXPECT_FALSE(readReplay("replay_write/none.qrxreplay", read, error));
    EXPECT_EQ(error, "cannot read replay_write/none.qrxreplay");
    fs::remove_all("replay_write");
}

TEST(ReplayFile, SixtySecondsAtHundredFpsWithJitteredFactorsStayUnder64KB) {
    // Every frame's length measured: low bits all different, as the game's clock gives them.
    Replay replay = sampleReplay(6000);
    std::string bytes = encoded(replay);
    std::printf("6000 frames, jittered lengths: %zu bytes\n", bytes.size());
    EXPECT_LT(bytes.size(), 64u * 1024u);
    // At 50 FPS, factors close to 1.
    TestRandom random;
    for (ReplayFrame& frame : replay.frames) frame.factor = 1.0 + (random.unit() - 0.5) * 0.004;
    bytes = encoded(replay);
    std::printf("6000 frames near 1.0: %zu bytes\n", bytes.size());
    EXPECT_LT(bytes.size(), 64u * 1024u);
}

TEST(ReplayFile, WriterRefusesWhatTheReaderWouldRefuse) {
    std::string bytes, error;
    Replay replay = sampleReplay(100);
    replay.hashes.push_back(7); // 3 hashes for 100 frames
    EXPECT_FALSE(encodeReplay(replay, bytes, error));
    replay = sampleReplay(100);
    replay.frames[4].phase = 3;
    EXPECT_FALSE(encodeReplay(replay, bytes, error));
    replay = sampleReplay(100);
    replay.frames[4].actions[1] = 0x80;
    EXPECT_FALSE(encodeReplay(replay, bytes, error));
    replay = sampleReplay(100);
    replay.settings.push_back({"FPSMode", 1});
    EXPECT_FALSE(encodeReplay(replay, bytes, error));
    EXPECT_EQ(error, "cannot record this replay: two settings named FPSMode");
    replay = sampleReplay(100);
    replay.sides[0].className = "\xff\xfe";
    EXPECT_FALSE(encodeReplay(replay, bytes, error));
    replay = sampleReplay(100);
    replay.frames[0].factor = 0;
    EXPECT_FALSE(encodeReplay(replay, bytes, error));
    replay = sampleReplay(0);
    EXPECT_TRUE(encodeReplay(replay, bytes, error)) << error;
}

TEST(ReplayFile, FileNamesAreSafeAndSortByTime) {
    EXPECT_EQ(replayFileName("2026-12-09 14:03:12", "Duelist", "Brawler"),
              "2026-12-09_14-03-12_Duelist-vs-Brawler.qrxreplay");
    EXPECT_EQ(replayFileName("2026-12-09 14:03:12", "Iron Fist/..", "Élan"),
              "2026-12-09_14-03-12_Iron_Fist___-vs-__lan.qrxreplay");
    EXPECT_EQ(replayFileName("", "", ""), "unknown_unknown-vs-unknown.qrxreplay");
    std::string longName(100, 'x');
    EXPECT_EQ(replayFileName("2026-12-09 14:03:12", longName, "B").size(),
              std::string("2026-12-09_14-03-12_-vs-B.qrxreplay").size() + 32);
    EXPECT_LT(replayFileName("2026-12-09 09:59:59", "Z", "Z"),
              replayFileName("2026-12-09 10:00:00", "A", "A"));
}

TEST_F(ReplayDirectory, TwoReplaysInOneSecondGetTwoNames) {
    std::string first = newReplayPath(directory.string(), "2026-12-09 14:03:12", "Duelist", "Brawler");
    EXPECT_EQ(fs::path(first).filename(), "2026-12-09_14-03-12_Duelist-vs-Brawler.qrxreplay");
    std::string error;
    ASSERT_TRUE(writeReplay(first, sampleReplay(60), error)) << error;
    std::string second = newReplayPath(directory.string(), "2026-12-09 14:03:12", "Duelist", "Brawler");
    EXPECT_EQ(fs::path(second).filename(), "2026-12-09_14-03-12_Duelist-vs-Brawler-2.qrxreplay");
    ASSERT_TRUE(writeReplay(second, sampleReplay(60), error)) << error;
    std::string third = newReplayPath(directory.string(), "2026-12-09 14:03:12", "Duelist", "Brawler");
    EXPECT_EQ(fs::path(third).filename(), "2026-12-09_14-03-12_Duelist-vs-Brawler-3.qrxreplay");
}

TEST_F(ReplayDirectory, PruningKeepsTheNewestFiftyAndNothingElseIsTouched) {
    // 60 replays over two days, written in shuffled order, two of them within one second.
    std::vector<std::string> names;
    for (int i = 0; i < 59; ++i) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2026-12-%02d %02d:%02d:00", 8 + i / 30, 10 + i % 30 / 10,
                      i % 10 * 5);
        names.push_back(replayFileName(stamp, "A", "B"));
    }
    names.push_back("2026-12-09_12-45-00_A-vs-B-2.qrxreplay"); // after the last one above
    for (size_t i = 0; i < names.size(); ++i) touch(names[(i * 37) % names.size()]);
    const char* others[] = {"best-fight.qrxreplay", "notes.txt", "2026-01-01_00-00-00_old.txt",
                            "2026-01-01_00-00-00_A-vs-B.qrxreplay.tmp"};
    for (const char* other : others) touch(other);
    fs::create_directories(directory / "2026-01-01_00-00-00_dir.qrxreplay");

    pruneReplays(directory.string(), kReplaysKept);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        // the "-2" replay is the newest of its second
        return a.substr(0, 19) != b.substr(0, 19) ? a < b : a.size() < b.size();
    });
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(fs::exists(directory / names[i]), i >= names.size() - kReplaysKept) << names[i];
    for (const char* other : others) EXPECT_TRUE(fs::exists(directory / other)) << other;
    EXPECT_TRUE(fs::is_directory(directory / "2026-01-01_00-00-00_dir.qrxreplay"));
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(directory)) count += entry.is_regular_file();
    EXPECT_EQ(count, kReplaysKept + std::size(others));
    // Nothing more to remove; a missing directory is no error.
    pruneReplays(directory.string(), kReplaysKept);
    pruneReplays("replay_test_missing", kReplaysKept);
    EXPECT_EQ(fs::exists(directory / names.back()), true);
}

TEST(ReplayFile, MismatchNamesWhatDiffers) {
    Replay replay = sampleReplay(0);
    replay.gameVersion = "0.1.0.4";
    std::vector<std::pair<std::string, uint64_t>> content = replay.contentHashes;
    EXPECT_EQ(describeReplayMismatch(replay, "0.1.0.4", replay.dataHash, content), "");
    EXPECT_EQ(describeReplayMismatch(replay, "0.1.0.5a", replay.dataHash, content),
              "recorded with version 0.1.0.4 (this is 0.1.0.5a)");
    EXPECT_EQ(describeReplayMismatch(replay, "0.1.0.4", 5, content),
              "recorded with other data (data.json differs)");
    content[0].second ^= 1;
    EXPECT_EQ(describeReplayMismatch(replay, "0.1.0.4", replay.dataHash, content),
              "recorded with other pictures of Lancer");
    content.push_back({"pictures of Mystic", 3});
    EXPECT_EQ(describeReplayMismatch(replay, "0.1.0.5a", 5, content),
              "recorded with version 0.1.0.4 (this is 0.1.0.5a), other data (data.json differs), "
              "other pictures of Lancer and other pictures of Mystic");
    content.push_back({"a", 1});
    content.push_back({"b", 1});
    EXPECT_EQ(describeReplayMismatch(replay, "0.1.0.4", replay.dataHash, content),
              "recorded with other pictures of Lancer, other pictures of Mystic, other a and 1 other "
              "file groups");
}

TEST(ReplayFile, EveryTruncationIsRefused) {
    std::string bytes = encoded(sampleReplay(120));
    for (size_t length = 0; length < bytes.size(); ++length) {
        std::string error = refusal(bytes.substr(0, length));
        EXPECT_FALSE(error.empty()) << length;
        if (length < 10) EXPECT_EQ(error, "not a Quarrelix replay");
        else EXPECT_EQ(error.rfind("damaged replay: ", 0), 0u) << length << ": " << error;
    }
}

TEST(ReplayFile, FlippedBytesAreRefused) {
    std::string bytes = encoded(sampleReplay(120));
    for (size_t at = 0; at < bytes.size(); ++at) {
        for (uint8_t mask : {uint8_t(0x01), uint8_t(0x80), uint8_t(0x24)}) {
            std::string damaged = bytes;
            damaged[at] = char(uint8_t(damaged[at]) ^ mask);
            std::string error = refusal(damaged);
            EXPECT_FALSE(error.empty()) << at;
        }
    }
}

TEST(ReplayFile, WrongMagicAndOversizedFilesAreRefused) {
    EXPECT_EQ(refusal(""), "not a Quarrelix replay");
    EXPECT_EQ(refusal("QRXREPLAY"), "not a Quarrelix replay");
    EXPECT_EQ(refusal("\x89PNG\r\n\x1a\n and more bytes than the magic"), "not a Quarrelix replay");
    std::string bytes = encoded(sampleReplay(60));
    bytes[0] = 'q';
    EXPECT_EQ(refusal(bytes), "not a Quarrelix replay");
    std::string huge = "QRXREPLAY\n" + std::string(size_t(kReplayMaxFileBytes), ' ');
    EXPECT_EQ(refusal(huge).rfind("damaged replay: ", 0), 0u);
    // A header line without end is refused at its length limit, not read to the end.
    std::string endless = "QRXREPLAY\n" + std::string(size_t(kReplayMaxHeaderBytes) + 1, '[');
    EXPECT_EQ(refusal(endless), "damaged replay: the header is longer than 262144 bytes");
    EXPECT_EQ(refusal("QRXREPLAY\n{\"format\":1"), "damaged replay: the header stops early");
}

TEST(ReplayFile, ClaimedCountsBeyondTheDataAreRefusedWithoutAllocating) {
    // 2^40 frames: refused from the header alone.
    std::string error = refusal(sealed(smallHeader("1099511627776"), std::string(11, '\0')));
    EXPECT_NE(error.find("frames"), std::string::npos) << error;
    // The most frames a replay may have, with the data of one: the body stops early.
    error = refusal(sealed(smallHeader(std::to_string(kReplayMaxFrames)), std::string(11, '\0')));
    EXPECT_EQ(error, "damaged replay: the frames hold 11 bytes, not 11000000") << error;
    // More data than the header counts: inflating stops at the count.
    error = refusal(sealed(smallHeader("1"), std::string(1 << 20, '\0')));
    EXPECT_EQ(error, "damaged replay: the compressed data holds more than it should");
    // The right size, and a frame with a bad phase or length.
    std::string body = std::string(1, '\3') + std::string(10, '\0');
    EXPECT_EQ(refusal(sealed(smallHeader("1"), body)), "damaged replay: frame 0 has phase 3");
    body = std::string(3, '\0') + std::string(8, '\0'); // a length of +0.0
    EXPECT_NE(refusal(sealed(smallHeader("1"), body)).find("frame 0 has a length"), std::string::npos);
    body = std::string(3, '\0') + "\x3f\xf0" + std::string(6, '\0'); // 1.0
    Replay read;
    ASSERT_TRUE(parseReplay(sealed(smallHeader("1"), body), read, error)) << error;
    EXPECT_EQ(read.frames.size(), 1u);
    EXPECT_EQ(read.frames[0].factor, 1.0);
}

TEST(ReplayFile, HeaderValuesAreCheckedAndANewerFormatIsNamed) {
    std::string header = smallHeader("0");
    EXPECT_EQ(refusal(sealed(header.replace(header.find("\"format\":1"), 10, "\"format\":7"), "")),
              "replay format 7 is newer than this game reads (2)");
    // A newer format is named even when the rest is nothing this game knows.
    EXPECT_EQ(refusal("QRXREPLAY\n{\"format\":3}\nwhatever follows"),
              "replay format 3 is newer than this game reads (2)");

    EXPECT_EQ(refusal("QRXREPLAY\n{\"format\":0}\n"), "damaged replay: the header has no format number");
    EXPECT_EQ(refusal("QRXREPLAY\n[1]\n"), "damaged replay: the header has no format number");
    EXPECT_EQ(refusal("QRXREPLAY\n{\"format\":1.5}\n"), "damaged replay: the header has no format number");
    EXPECT_EQ(refusal("QRXREPLAY\n{\"format\":1,\n").rfind("damaged replay: header: ", 0), 0u);
    auto withField = [](const std::string& from, const std::string& to) {
        std::string text = smallHeader("0");
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return sealed(text.replace(at, from.size(), to), "");
    };
    EXPECT_EQ(refusal(withField("\"format\":1,", "\"format\":2,\"rounds\":4,")),
              "damaged replay: rounds 4 in format 2"); // a match of rounds has 3 or 5
    EXPECT_EQ(refusal(withField("\"mode\":0", "\"mode\":3")),
              "damaged replay: header: mode is not a whole number within 0-2");
    EXPECT_EQ(refusal(withField("\"mode\":0", "\"mode\":0.5")),
              "damaged replay: header: mode is not a whole number within 0-2");
    EXPECT_EQ(refusal(withField("\"dataHash\":\"1\"", "\"dataHash\":\"12345678901234567\"")),
              "damaged replay: header: dataHash is not a 64-bit hex number");
    EXPECT_EQ(refusal(withField("\"dataHash\":\"1\"", "\"dataHash\":1")),
              "damaged replay: header: dataHash is not a 64-bit hex number");
    EXPECT_EQ(refusal(withField("\"random\":[\"1\",\"2\",\"3\",\"4\"]", "\"random\":[\"1\"]")),
              "damaged replay: header: random is not four numbers");
    EXPECT_EQ(refusal(withField("\"hashes\":0", "\"hashes\":1")),
              "damaged replay: header: hashes is not a whole number within 0-0");
    EXPECT_EQ(refusal(withField("\"botLevel\":0}]", "\"botLevel\":4}]")),
              "damaged replay: header: side 2 botLevel is not a whole number within 0-3");
    EXPECT_EQ(refusal(withField("\"content\":{}", "\"content\":[]")),
              "damaged replay: header: no content");
    Replay read;
    std::string error;
    // A name given twice reads once, with its last value, as the JSON layer reads any object.
    ASSERT_TRUE(parseReplay(withField("\"settings\":{}", "\"settings\":{\"A\":1,\"A\":2}"), read,
                            error))
        << error;
    ASSERT_EQ(read.settings.size(), 1u);
    EXPECT_EQ(read.settings[0].second, 2);
    ASSERT_TRUE(parseReplay(withField("\"dataHash\":\"1\"", "\"dataHash\":\"FFFFffffFFFFffff\""),
                            read, error))
        << error;
    EXPECT_EQ(read.dataHash, 0xffffffffffffffffull);
}

TEST(ReplayFile, ReadingLeavesTheReplayAsItWasOnFailure) {
    Replay replay = sampleReplay(60);
    std::string bytes = encoded(sampleReplay(120));
    bytes.pop_back();
    std::string error;
    Replay before = replay;
    EXPECT_FALSE(parseReplay(bytes, replay, error));
    EXPECT_TRUE(sameReplay(before, replay));
}

TEST(Hashing, FnvValuesChainingAndFiles) {
    EXPECT_EQ(hashBytes("", 0), 0xcbf29ce484222325ull);
    EXPECT_EQ(hashBytes("a", 1), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(hashText("foobar"), 0x85944171f73967e8ull);
    EXPECT_EQ(hashText("bar", hashText("foo")), hashText("foobar"));
    fs::create_directories("hash_test");
    std::string big(200000, 'q');
    big[123456] = 'r';
    ASSERT_TRUE(replaceFileAtomically("hash_test/file", big));
    EXPECT_EQ(hashFile("hash_test/file"), hashText(big));
    EXPECT_EQ(hashFile("hash_test/missing"), 0u);
    EXPECT_EQ(hashFile("hash_test"), 0u);
    fs::remove_all("hash_test");
}

TEST(Compression, RoundTripAndLimits) {
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * i) >> 7);
    std::string compressed, back;
    ASSERT_TRUE(deflateBytes(bytes, compressed));
    EXPECT_EQ(inflateBytes(compressed, bytes.size(), back), kInflated);
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(inflateBytes(compressed, bytes.size() - 1, back), kInflateTooLarge);
    EXPECT_LE(back.size(), bytes.size() - 1);
    EXPECT_EQ(inflateBytes(compressed.substr(0, compressed.size() - 1), bytes.size(), back),
              kInflateTruncated);
    EXPECT_EQ(inflateBytes(compressed + "x", bytes.size(), back), kInflateTrailing);
    EXPECT_EQ(inflateBytes("not zlib at all", 100, back), kInflateDamaged);
    EXPECT_EQ(inflateBytes("", 100, back), kInflateTruncated);
    std::string broken = compressed;
    broken[broken.size() - 2] ^= 1; // the Adler-32 check
    EXPECT_EQ(inflateBytes(broken, bytes.size(), back), kInflateDamaged);
    ASSERT_TRUE(deflateBytes("", compressed));
    EXPECT_EQ(inflateBytes(compressed, 0, back), kInflated);
    EXPECT_TRUE(back.empty());
}

TEST(ReplayFile, TheFuzzSeedReads) {
    // The seed is made outside the game (its header by another JSON writer): it must stay a
    // replay this reader reads, or the fuzzer starts from a refusal.
    std::ifstream file(fs::path(QRX_FUZZ_REGRESSIONS) / "../seeds/replay/small.qrxreplay",
                       std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Replay replay;
    std::string error;
    ASSERT_TRUE(parseReplay(bytes, replay, error)) << error;
    EXPECT_EQ(replay.frames.size(), 120u);
    EXPECT_EQ(replay.hashes.size(), 2u);
    EXPECT_EQ(replay.sides[1].className, "Brawler");
}

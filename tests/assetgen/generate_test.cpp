// Failure reporting of the generator: a file that cannot be written fails the run.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "effect_frames.h"
#include "generate.h"
#include "hud_images.h"
#include "music.h"
#include "sounds.h"
#include "stages.h"

namespace {

namespace fs = std::filesystem;

// A fresh output directory with image/, sound/ and music/ made.
fs::path freshOutput(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("assetgen_generate_test_" + name);
    fs::remove_all(dir);
    EXPECT_TRUE(makeContentDirectories(dir.string()));
    return dir;
}

// Root can write anywhere, so a file is blocked by a directory of the same name instead of
// by permissions.
void block(const fs::path& file) { fs::create_directories(file); }

}  // namespace

TEST(RunJobs, RunsEveryJobOnceAndReportsAnyFailure) {
    std::atomic<int> runs{0};
    std::vector<GenerationJob> jobs;
    for (int i = 0; i < 9; ++i) {
        jobs.push_back({"job " + std::to_string(i), [&runs]() {
                            ++runs;
                            return true;
                        }});
    }
    EXPECT_TRUE(runJobs(jobs, 2));
    EXPECT_EQ(runs.load(), 9);
    jobs[4].run = [&runs]() {
        ++runs;
        return false;
    };
    runs = 0;
    EXPECT_FALSE(runJobs(jobs, 2));
    EXPECT_EQ(runs.load(), 9);  // the other jobs still ran: every failure gets its message
    EXPECT_FALSE(runJobs(jobs, 1));
}

TEST(WriteFailures, DirectoriesThatCannotBeMadeFail) {
    const fs::path dir = fs::temp_directory_path() / "assetgen_generate_test_file";
    fs::remove_all(dir);
    { std::ofstream(dir.string()) << "not a directory"; }
    EXPECT_FALSE(makeContentDirectories((dir / "game").string()));
    EXPECT_FALSE(generateContent((dir / "game").string(), 2, false));
    fs::remove(dir);
}

TEST(WriteFailures, EachWriterReportsABlockedFile) {
    const fs::path dir = freshOutput("writers");
    const std::string out = dir.string();
    block(dir / "image/crescent.png");
    EXPECT_FALSE(writeHudImages(out));
    block(dir / "image/background1_3.png");
    EXPECT_FALSE(writeStageTiles(out, 1));
    // Pool 1 (menu move) is written by the job of odd pools.
    block(dir / "sound/menu_move.wav");
    EXPECT_FALSE(writeSounds(out, 1));
    block(dir / "sound/counter.ogg");
    for (const MusicTrack& t : musicTracks()) {
        if (t.file == "sound/counter.ogg") EXPECT_FALSE(writeMusicTrack(out, t));
    }
    block(dir / "image/effect/land_heavy_back2_4.png");
    bool ok = true;
    writeEffectAnimations(out, &ok);
    EXPECT_FALSE(ok);
    fs::remove_all(dir);
}

TEST(WriteFailures, AFighterPictureThatCannotBeWrittenStopsTheDataFile) {
    const fs::path dir = freshOutput("fighters");
    bool ok = false;
    const EffectAnimations effects = writeEffectAnimations(dir.string(), &ok);
    ASSERT_TRUE(ok);
    block(dir / "image/fighter/lancer/class.png");
    EXPECT_FALSE(writeDataFile(dir.string(), effects));
    // No data file names pictures that are missing.
    EXPECT_FALSE(fs::exists(dir / "data.json"));
    fs::remove_all(dir);
}

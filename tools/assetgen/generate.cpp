// Runs every content generator into the output directory and writes data.json.
#include "generate.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "data_builder.h"
#include "effect_frames.h"
#include "fighter_classes.h"
#include "font_sheet.h"
#include "hud_images.h"
#include "music.h"
#include "sounds.h"
#include "stages.h"

bool runJobs(const std::vector<GenerationJob>& jobs, int threads) {
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&]() {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            if (!jobs[i].run()) {
                std::fprintf(stderr, "content job failed: %s\n", jobs[i].name.c_str());
                ok = false;
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(1, threads); ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    return ok;
}

bool makeContentDirectories(const std::string& outDir) {
    std::error_code error;
    for (const char* sub : {"image", "image/effect", "sound", "music"}) {
        std::filesystem::create_directories(std::filesystem::path(outDir) / sub, error);
        if (error) {
            std::fprintf(stderr, "cannot create %s/%s: %s\n", outDir.c_str(), sub, error.message().c_str());
            return false;
        }
    }
    return true;
}

bool generateContent(const std::string& outDir, int threads, bool verbose) {
    if (!makeContentDirectories(outDir)) return false;
    std::mutex logLock;
    auto timed = [&](const std::string& name, std::function<bool()> work) {
        return GenerationJob{name, [=, &logLock]() {
                                 const auto start = std::chrono::steady_clock::now();
                                 const bool result = work();
                                 if (verbose) {
                                     const double ms = std::chrono::duration<double, std::milli>(
                                                           std::chrono::steady_clock::now() - start).count();
                                     std::lock_guard<std::mutex> lock(logLock);
                                     std::printf("%-28s %8.0f ms\n", name.c_str(), ms);
                                 }
                                 return result;
                             }};
    };

    EffectAnimations effects;
    bool effectsOk = false;
    std::vector<GenerationJob> jobs;
    // Longest jobs first so that the two threads finish together.
    for (const MusicTrack& track : musicTracks()) {
        jobs.push_back(timed("music " + track.file, [=]() { return writeMusicTrack(outDir, track); }));
    }
    for (int stage = 1; stage <= kStageCount; ++stage) {
        jobs.push_back(timed("stage " + std::to_string(stage), [=]() { return writeStageTiles(outDir, stage); }));
    }
    for (int part = 0; part < kSoundJobCount; ++part) {
        jobs.push_back(timed("sounds " + std::to_string(part), [=]() { return writeSounds(outDir, part); }));
    }
    jobs.push_back(timed("font", [=]() { return writeFontSheet(outDir); }));
    jobs.push_back(timed("hud", [=]() { return writeHudImages(outDir); }));
    jobs.push_back(timed("effects", [&, outDir]() {
        effects = writeEffectAnimations(outDir, &effectsOk);
        return effectsOk;
    }));
    if (!runJobs(jobs, threads)) return false;

    return writeDataFile(outDir, effects);
}

bool writeDataFile(const std::string& outDir, const EffectAnimations& effects) {
    DataBuilder builder;
    addSoundPools(builder, soundPoolCatalogue());
    addSoundClasses(builder);
    addSoundMaterials(builder);
    // The classes name every fighter picture: a data file written after a failed picture
    // would send the game after files that are not there.
    if (!addFighterClasses(builder, outDir)) return false;
    setLandingEffects(builder, effects.landLightFront, effects.landLightBack, effects.landHeavyFront, effects.landHeavyBack);
    setLoadingAnimations(builder, effects.loading);
    return writeDataJson(outDir, builder);
}

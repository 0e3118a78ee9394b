// Runs every content generator into the output directory and writes data.json.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "effect_frames.h"

// One independent piece of work that writes its own files.
struct GenerationJob {
    std::string name;
    std::function<bool()> run;
};

// Runs the jobs on up to `threads` threads; returns false when any job failed. The order in
// which jobs finish does not matter: each writes only its own files.
bool runJobs(const std::vector<GenerationJob>& jobs, int threads);

// Creates image/, sound/ and music/ under outDir.
bool makeContentDirectories(const std::string& outDir);

// The whole content tree; prints the time each job took when verbose. False when any file
// could not be written (each failure has printed its own message); data.json is then not
// written by this run.
bool generateContent(const std::string& outDir, int threads, bool verbose);

// Draws the fighter classes and writes data.json with every section (the effect animations
// come from the effects job). False when a fighter picture or the data file failed.
bool writeDataFile(const std::string& outDir, const EffectAnimations& effects);

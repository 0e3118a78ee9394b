// Runs every content generator into the output directory and writes data.json.
#pragma once

#include <functional>
#include <string>
#include <vector>

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

// The whole content tree; prints the time each job took when verbose.
bool generateContent(const std::string& outDir, int threads, bool verbose);

// Replays on disk as the game keeps them: the file names it gives, the newest kept and the
// older ones removed, and what differs between a replay and the game playing it.
#include "replays/replay_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {
constexpr size_t kNameBytes = 32;    // of each class name in a file name
constexpr size_t kStampBytes = 19;   // "2026-12-09_14-03-12"
constexpr int kMaxSuffix = 999;      // "-2" ... "-999" within one second

std::string safeName(const std::string& text, size_t limit) {
    std::string out;
    for (char c : text) {
        if (out.size() >= limit) break;
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_';
        out += keep ? c : '_';
    }
    return out.empty() ? "unknown" : out;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "2026-12-09_14-03-12" at the start of a name: digits where the digits go.
bool startsWithStamp(const std::string& name) {
    static const char pattern[] = "dddd-dd-dd_dd-dd-dd";
    if (name.size() < kStampBytes) return false;
    for (size_t i = 0; i < kStampBytes; ++i) {
        bool digit = name[i] >= '0' && name[i] <= '9';
        if (pattern[i] == 'd' ? !digit : name[i] != pattern[i]) return false;
    }
    return true;
}

// The "-N" a name carries before its extension for the N-th replay of one second; 1 for none.
int sequenceOf(const std::string& name) {
    std::string stem = name.substr(0, name.size() - std::strlen(kReplayExtension));
    size_t dash = stem.rfind('-');
    if (dash == std::string::npos || dash + 1 >= stem.size() || stem.size() - dash - 1 > 3) return 1;
    int value = 0;
    for (size_t i = dash + 1; i < stem.size(); ++i) {
        if (stem[i] < '0' || stem[i] > '9') return 1;
        value = value * 10 + (stem[i] - '0');
    }
    return value >= 2 ? value : 1;
}

struct ReplayName {
    std::string stamp;
    int sequence = 1;
    std::string name;
    bool operator<(const ReplayName& other) const {
        if (stamp != other.stamp) return stamp < other.stamp;
        if (sequence != other.sequence) return sequence < other.sequence;
        return name < other.name;
    }
};
} // namespace

std::string replayFileName(const std::string& recordedAt, const std::string& classOne,
                           const std::string& classTwo) {
    // "2026-12-09 14:03:12": the space and colons, unwelcome in file names, become '_' and '-'.
    std::string stamp;
    for (char c : recordedAt.substr(0, kStampBytes)) stamp += c == ' ' ? '_' : c == ':' ? '-' : c;
    return safeName(stamp, kStampBytes) + "_" + safeName(classOne, kNameBytes) + "-vs-" +
           safeName(classTwo, kNameBytes) + kReplayExtension;
}

std::string newReplayPath(const std::string& directory, const std::string& recordedAt,
                          const std::string& classOne, const std::string& classTwo) {
    std::string name = replayFileName(recordedAt, classOne, classTwo);
    std::string stem = name.substr(0, name.size() - std::strlen(kReplayExtension));
    std::filesystem::path base(directory);
    for (int sequence = 1; sequence <= kMaxSuffix; ++sequence) {
        std::string candidate =
            sequence == 1 ? name : stem + "-" + std::to_string(sequence) + kReplayExtension;
        std::filesystem::path path = base / candidate;
        std::error_code error;
        // A dangling link or anything else at the name counts as taken.
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return path.string();
    }
    return "";
}

void pruneReplays(const std::string& directory, size_t keep) {
    std::vector<ReplayName> replays;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    if (error) return;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error) return; // a directory that cannot be listed whole: remove nothing
        std::string name = it->path().filename().string();
        std::error_code statusError;
        if (!it->is_regular_file(statusError) || it->is_symlink(statusError)) continue;
        if (!startsWithStamp(name) || !endsWith(name, kReplayExtension)) continue;
        replays.push_back({name.substr(0, kStampBytes), sequenceOf(name), name});
    }
    // A listing cut short still removes only files with keep newer replays beside them.
    if (replays.size() <= keep) return;
    std::sort(replays.begin(), replays.end());
    for (size_t i = 0; i + keep < replays.size(); ++i) {
        std::error_code ignored; // a file that cannot be removed stays: the next prune retries
        std::filesystem::remove(std::filesystem::path(directory) / replays[i].name, ignored);
    }
}

std::string describeReplayMismatch(const Replay& replay, const std::string& gameVersion,
                                   uint64_t dataHash,
                                   const std::vector<std::pair<std::string, uint64_t>>& contentHashes) {
    std::vector<std::string> differences;
    if (replay.gameVersion != gameVersion)
        differences.push_back("version " + replay.gameVersion + " (this is " + gameVersion + ")");
    if (replay.dataHash != dataHash) differences.push_back("other data (data.json differs)");
    // A group that either side lacks differs too.
    auto hashOf = [](const std::vector<std::pair<std::string, uint64_t>>& list,
                     const std::string& name) -> const uint64_t* {
        for (const auto& pair : list)
            if (pair.first == name) return &pair.second;
        return nullptr;
    };
    std::vector<std::string> groups;
    for (const auto& pair : replay.contentHashes) {
        const uint64_t* here = hashOf(contentHashes, pair.first);
        if (!here || *here != pair.second) groups.push_back(pair.first);
    }
    for (const auto& pair : contentHashes)
        if (!hashOf(replay.contentHashes, pair.first)) groups.push_back(pair.first);
    constexpr size_t kGroupsNamed = 3; // a message names a few groups and counts the rest
    for (size_t i = 0; i < groups.size() && i < kGroupsNamed; ++i) differences.push_back("other " + groups[i]);
    if (groups.size() > kGroupsNamed)
        differences.push_back(std::to_string(groups.size() - kGroupsNamed) + " other file groups");
    if (differences.empty()) return "";
    std::string message = "recorded with ";
    for (size_t i = 0; i < differences.size(); ++i) {
        if (i > 0) message += i + 1 == differences.size() ? " and " : ", ";
        message += differences[i];
    }
    return message;
}

// Work spread over every core of the machine.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

// Asked of the system once: each asking reads a file there.
inline size_t coreCount() {
    static const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return cores;
}

// Calls job(i) once for every i below count, on as many threads as the machine has cores (this
// one among them), and returns when all are done. Where a thread cannot be started, the
// threads there are take its share.
template <typename Job>
void forEachOnEveryCore(size_t count, const Job& job) {
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i; (i = next++) < count;) job(i);
    };
    std::vector<std::thread> helpers;
    size_t cores = coreCount();
    try {
        for (size_t i = 1; i < std::min(cores, count); ++i) helpers.emplace_back(work);
    } catch (const std::system_error&) {
    }
    work();
    for (std::thread& helper : helpers) helper.join();
}

// The network conditioner of the online tests: packets arrive after their latency and jitter,
// some are lost, doubled or overtaken, and the same seed gives the same deliveries.
#include <gtest/gtest.h>

#include "net/conditioner.h"

namespace {
// Sends one numbered packet per 10 ms for a second and collects what arrives, with when.
std::vector<std::pair<double, int>> run(const ConditionerSettings& settings) {
    Conditioner link;
    startConditioner(link, settings);
    std::vector<std::pair<double, int>> arrivals;
    for (int ms = 0; ms <= 2000; ms += 1) {
        if (ms % 10 == 0 && ms < 1000) sendThrough(link, ms, PacketBytes{uint8_t(ms / 10)});
        for (const PacketBytes& p : deliverDue(link, ms))
            arrivals.push_back({double(ms), p[0]});
    }
    EXPECT_TRUE(link.inFlight.empty());
    return arrivals;
}
} // namespace

TEST(NetConditioner, APerfectLinkDeliversEverythingInOrderAfterItsLatency) {
    ConditionerSettings settings;
    settings.latencyMs = 60;
    auto arrivals = run(settings);
    ASSERT_EQ(arrivals.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(arrivals[size_t(i)].second, i);
        EXPECT_EQ(arrivals[size_t(i)].first, i * 10 + 60);
    }
}

TEST(NetConditioner, LossDuplicatesJitterAndReorderingFollowTheSettingsAndTheSeed) {
    ConditionerSettings settings;
    settings.latencyMs = 150;
    settings.jitterMs = 25;
    settings.lossPercent = 20;
    settings.duplicatePercent = 20;
    settings.reorderPercent = 20;
    settings.seed = 42;
    auto arrivals = run(settings);
    EXPECT_EQ(run(settings), arrivals);
    std::vector<int> copies(100);
    bool overtaken = false;
    int newest = -1;
    for (auto [ms, n] : arrivals) {
        copies[size_t(n)] += 1;
        EXPECT_GE(ms, n * 10 + 150 - 25);
        EXPECT_LE(ms, n * 10 + 150 + 25 + settings.reorderDelayMs + 1);
        overtaken = overtaken || n < newest;
        newest = std::max(newest, n);
    }
    int lost = 0, doubled = 0;
    for (int c : copies) {
        lost += c == 0;
        doubled += c == 2;
    }
    EXPECT_GT(lost, 5);
    EXPECT_LT(lost, 40);
    EXPECT_GT(doubled, 3);
    EXPECT_TRUE(overtaken);
    settings.seed = 43;
    EXPECT_NE(run(settings), arrivals);
}

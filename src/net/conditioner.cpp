// The in-process network conditioner.
#include "net/conditioner.h"

#include <algorithm>

namespace {
// Uniform in [0, 1), from the top 53 bits: the same on every standard library.
double draw(Conditioner& c) {
    return double(c.generator() >> 11) * 0x1.0p-53;
}

bool chance(Conditioner& c, double percent) {
    return draw(c) * 100 < percent;
}

void schedule(Conditioner& c, double nowMs, const PacketBytes& packet) {
    double delay = c.settings.latencyMs + (draw(c) * 2 - 1) * c.settings.jitterMs;
    if (chance(c, c.settings.reorderPercent)) delay += c.settings.reorderDelayMs;
    c.inFlight.push_back({nowMs + std::max(0.0, delay), c.sent, packet});
}
} // namespace

void startConditioner(Conditioner& c, const ConditionerSettings& settings) {
    c = Conditioner{};
    c.settings = settings;
    c.generator.seed(settings.seed);
}

void sendThrough(Conditioner& c, double nowMs, const PacketBytes& packet) {
    c.sent += 1;
    if (chance(c, c.settings.lossPercent)) {
        c.lost += 1;
        return;
    }
    schedule(c, nowMs, packet);
    if (chance(c, c.settings.duplicatePercent)) {
        c.duplicated += 1;
        schedule(c, nowMs, packet);
    }
}

std::vector<PacketBytes> deliverDue(Conditioner& c, double nowMs) {
    auto due = std::stable_partition(c.inFlight.begin(), c.inFlight.end(),
                                     [nowMs](const PacketInFlight& p) { return p.dueMs > nowMs; });
    std::vector<PacketInFlight> arriving(std::make_move_iterator(due),
                                         std::make_move_iterator(c.inFlight.end()));
    c.inFlight.erase(due, c.inFlight.end());
    std::sort(arriving.begin(), arriving.end(),
              [](const PacketInFlight& a, const PacketInFlight& b) {
                  return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.sequence < b.sequence;
              });
    std::vector<PacketBytes> packets;
    for (PacketInFlight& p : arriving) {
        if (p.sequence < c.newestDelivered) c.overtaken += 1;
        c.newestDelivered = std::max(c.newestDelivered, p.sequence);
        c.delivered += 1;
        packets.push_back(std::move(p.bytes));
    }
    return packets;
}

// An in-process network conditioner for tests: encoded packets carried one way with latency,
// jitter, loss, duplicates and reordering, delivered by virtual time. Seeded: the same seed
// and the same packets sent at the same times give the same deliveries. It draws from its own
// generator, never the game's (whose state is part of the fight).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "net/packets.h"

struct ConditionerSettings {
    double latencyMs = 0;        // one way
    double jitterMs = 0;         // each packet's delay varies by up to this either way
    double lossPercent = 0;      // packets dropped
    double duplicatePercent = 0; // packets delivered twice (each copy delayed on its own)
    double reorderPercent = 0;   // packets held back by reorderDelayMs, so that later ones pass
    double reorderDelayMs = 30;
    uint64_t seed = 1;
};

struct PacketInFlight {
    double dueMs = 0;
    int64_t sequence = 0; // order of sending: ties in dueMs go in this order
    PacketBytes bytes;
};

struct Conditioner {
    ConditionerSettings settings;
    std::mt19937_64 generator;
    std::vector<PacketInFlight> inFlight;
    int64_t sent = 0, lost = 0, duplicated = 0, delivered = 0;
    int64_t overtaken = 0; // deliveries of a packet sent before one delivered earlier
    int64_t newestDelivered = -1;
};

void startConditioner(Conditioner& conditioner, const ConditionerSettings& settings);
// A packet handed over at nowMs.
void sendThrough(Conditioner& conditioner, double nowMs, const PacketBytes& packet);
// Every packet due by nowMs, in the order of arrival.
std::vector<PacketBytes> deliverDue(Conditioner& conditioner, double nowMs);

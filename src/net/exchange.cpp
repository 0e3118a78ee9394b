// A rollback session's side of the packets.
#include "net/exchange.h"

#include <algorithm>

InputsPacket inputsToSend(const RollbackSession& s) {
    InputsPacket packet;
    packet.ack = s.remoteContiguous - 1;
    packet.firstFrame = s.peerAck + 1;
    int64_t last =
        std::min<int64_t>(int64_t(s.localInputs.size()), packet.firstFrame + kMaxInputsPerPacket);
    for (int64_t frame = packet.firstFrame; frame < last; ++frame)
        packet.actions.push_back(unpackActions(s.localInputs[size_t(frame)]));
    return packet;
}

void receiveInputs(RollbackSession& s, const InputsPacket& packet) {
    // A packet that acknowledges inputs this side has not made is not of this match: a late one
    // of the match before (a rematch can start at once) or a peer's lie. Its acknowledgement
    // would stop this side's first inputs from ever being sent again, and both sides would
    // wait for each other for good.
    if (packet.ack > int64_t(s.localInputs.size()) - 1) return;
    s.peerAck = std::max(s.peerAck, packet.ack);
    addRemoteInputs(s, packet.firstFrame, packet.actions);
}

bool newestHash(const RollbackSession& s, HashPacket& packet) {
    if (s.localHashes.empty()) return false;
    packet.frame = uint64_t(s.localHashes.back().frame);
    packet.hash = s.localHashes.back().hash;
    return true;
}

void receiveHash(RollbackSession& s, const HashPacket& packet) {
    if (packet.frame > uint64_t(kMaxWireFrame)) return; // never a frame of ours
    addRemoteHash(s, int64_t(packet.frame), packet.hash);
}

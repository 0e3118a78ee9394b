// A rollback session's side of the packets: what it has to send and what it makes of what
// comes. Inputs packets repeat every local input the peer has not acknowledged (from the
// oldest, up to kMaxInputsPerPacket), so a lost packet costs nothing once a later one arrives.
#pragma once

#include "net/packets.h"
#include "net/rollback.h"

// The local inputs the peer has not acknowledged, with our own ack.
InputsPacket inputsToSend(const RollbackSession& session);
// The peer's inputs and its ack (an ack beyond what we sent counts as what we sent).
void receiveInputs(RollbackSession& session, const InputsPacket& packet);
// The newest hash of a confirmed frame; false before the first.
bool newestHash(const RollbackSession& session, HashPacket& packet);
void receiveHash(RollbackSession& session, const HashPacket& packet);

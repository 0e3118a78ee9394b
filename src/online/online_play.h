// An online connection as the game holds it: the link, the greeting that makes sure both
// computers have the same game, data and content, and both players' choices as they change.
// Nothing from the peer is taken beyond its own choices and inputs: a damaged packet, or one
// that comes out of order, ends the connection with a message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/packets.h"
#include "net/transport.h"
#include "online/rooms.h"

struct OnlinePlay {
    NetLink link;
    bool hosting = false;      // the host plays player one and chooses stage and seed
    std::string where;         // "host:port" joined, or "port N" hosted: for messages
    HelloPacket ownHello;
    bool helloSent = false;
    bool greeted = false;      // the peer's Hello came and matches ours
    SetupPacket ownSetup;      // our choices as last sent
    bool ownSetupSent = false;
    SetupPacket peerSetup;     // the peer's choices as last received
    bool peerSetupKnown = false;
    bool matchStarting = false; // the host's starting set-up came (joining side), in peerSetup
    std::vector<Packet> fightPackets; // the peer's Inputs and Hash packets, for the match loop
    std::string problem;       // why the connection ended, for the player ("" while it lasts)
    RoomLink room;             // through a lobby: the room, the path, the spectators' stream
};

// The input delay to play with, in frames: the setting's own, or for kAutoInputDelay the frames
// that cover half the round trip (ms) at `frameRate`, at least 1 and at most kMaxInputDelay
// (rollback hides what is left over).
int64_t chosenInputDelay(int64_t setting, double roundTripMs, int64_t frameRate);

// This game's greeting: its version, and the hashes of data.json and of every class's pictures
// with the sounds.
HelloPacket ownHello();
// "" when both greetings match, otherwise what differs, e.g. "the game versions differ
// (0.1.0.5a here, 0.1.0.6 there)".
std::string helloMismatch(const HelloPacket& own, const HelloPacket& peer);

bool hostOnline(OnlinePlay& online, uint16_t port, std::string& error);
// address: "HOST" or "HOST:PORT".
bool joinOnline(OnlinePlay& online, const std::string& address, std::string& error);
// Sends and takes what is due: the greeting once connected, then the peer's packets. False once
// the connection is over (problem says why).
bool serviceOnline(OnlinePlay& online);
bool onlineReady(const OnlinePlay& online); // connected, greeted, not over
// Sends our choices when they differ from the last sent.
void sendOwnSetup(OnlinePlay& online, const SetupPacket& setup);
// Ends the connection, telling the peer why; `problem` is kept for the player.
void leaveOnline(OnlinePlay& online, ByeReason reason, const std::string& problem);
// What a Bye of this reason tells the player.
std::string byeMessage(int64_t reason);
// What both sides say when their fights went apart at `frame`.
std::string desyncMessage(int64_t frame);

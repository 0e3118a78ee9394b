// Online play through a lobby (being built: every entry refuses for now).
#include "online/rooms.h"

#include "online/online_play.h"

const char* onlinePathName(OnlinePath path) {
    switch (path) {
    case OnlinePath::Local: return "local";
    case OnlinePath::Direct: return "direct";
    case OnlinePath::Upnp: return "upnp";
    case OnlinePath::Relay: return "relay";
    default: return "";
    }
}

std::string roomStatusText(RoomPhase phase, OnlinePath path) {
    if (phase == RoomPhase::Connected)
        return path == OnlinePath::Relay ? "Connected through the relay" : "Connected directly";
    if (phase == RoomPhase::Finding) return "Finding a path\xE2\x80\xA6";
    return "";
}

bool parseLobbyAddress(const std::string&, std::string&, uint16_t&, std::string& error) {
    error = "rooms are not ready yet";
    return false;
}
bool hostRoom(OnlinePlay&, const std::string&, std::string& error) {
    error = "rooms are not ready yet";
    return false;
}
bool joinRoom(OnlinePlay&, const std::string&, const std::string&, std::string& error) {
    error = "rooms are not ready yet";
    return false;
}
bool serviceRoom(OnlinePlay&) { return true; }
void streamMatchStart(OnlinePlay&, const LobbyBytes&) {}
void streamFightFrames(OnlinePlay&, const std::vector<uint8_t>&, const std::vector<uint8_t>&,
                       int64_t) {}
void streamMatchEnd(OnlinePlay&, int64_t, int64_t, uint64_t) {}
void leaveRoom(OnlinePlay&) {}
bool watchRoom(Spectating&, const std::string&, const std::string&, std::string& error) {
    error = "rooms are not ready yet";
    return false;
}
bool serviceWatching(Spectating&) { return false; }

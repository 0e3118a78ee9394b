// A port mapping asked of the home router, so that the other player can reach this computer
// behind it: UPnP-IGD first, then NAT-PMP. It is asked in the background (finding a router
// takes up to a couple of seconds) and let go when the room ends.
#pragma once

#include <cstdint>

struct PortMapping;

// Starts asking for a mapping of UDP `localPort` on this computer to the same port outside
// (or one the router picks). Never null.
PortMapping* startPortMapping(uint16_t localPort);
// True once the asking ended; then `address`:`port` (host byte order) is the mapped outside
// address when it worked (false when no router offered one).
bool portMappingDone(const PortMapping* mapping);
bool portMappingResult(const PortMapping* mapping, uint32_t& address, uint16_t& port);
// How the mapping was made: "upnp", "natpmp", or "" (none or not yet).
const char* portMappingKind(const PortMapping* mapping);
// Waits for the asking to end, removes the mapping from the router and lets everything go.
void stopPortMapping(PortMapping* mapping);

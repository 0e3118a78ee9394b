// This computer's network addresses, for the host to tell the other player where to join.
#pragma once

#include <string>
#include <vector>

// The addresses of this computer's network interfaces that are up, as text ("192.168.1.20",
// "fe80::1c2a:..."): IPv4 first, then IPv6, each once, in the order the system lists them.
// Loopback addresses only when there is nothing else; IPv6 link-local ones (fe80::) never, as
// they cannot be typed on another computer. Empty when the system tells nothing.
std::vector<std::string> localAddresses();

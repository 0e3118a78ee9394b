// Listing this computer's addresses with getifaddrs (POSIX).
#include "online/local_addresses.h"

#include <algorithm>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {
void addOnce(std::vector<std::string>& list, const std::string& address) {
    if (std::find(list.begin(), list.end(), address) == list.end()) list.push_back(address);
}
} // namespace

std::vector<std::string> localAddresses() {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return {};
    std::vector<std::string> four, six, loopback;
    for (const ifaddrs* i = interfaces; i; i = i->ifa_next) {
        if (!i->ifa_addr || !(i->ifa_flags & IFF_UP)) continue;
        int family = i->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        char text[INET6_ADDRSTRLEN] = {};
        const void* raw = family == AF_INET
                              ? static_cast<const void*>(
                                    &reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr)
                              : static_cast<const void*>(
                                    &reinterpret_cast<const sockaddr_in6*>(i->ifa_addr)->sin6_addr);
        // A link-local IPv6 address (fe80::/10) only reaches this link, and only with the
        // interface named after it: no use to type on another computer.
        if (family == AF_INET6 && IN6_IS_ADDR_LINKLOCAL(static_cast<const in6_addr*>(raw)))
            continue;
        if (!inet_ntop(family, raw, text, sizeof text)) continue;
        if (i->ifa_flags & IFF_LOOPBACK)
            addOnce(loopback, text);
        else
            addOnce(family == AF_INET ? four : six, text);
    }
    freeifaddrs(interfaces);
    std::vector<std::string> all = four;
    all.insert(all.end(), six.begin(), six.end());
    if (all.empty()) {
        // Loopback IPv4 before IPv6 as well.
        std::stable_partition(loopback.begin(), loopback.end(), [](const std::string& a) {
            return a.find(':') == std::string::npos;
        });
        return loopback;
    }
    return all;
}

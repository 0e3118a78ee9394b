// Port mappings by UPnP-IGD (libminiupnpc) and NAT-PMP (libnatpmp), on a thread of their own.
#include "online/port_mapping.h"

#include <arpa/inet.h>
#include <natpmp.h>
#include <sys/select.h>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {
constexpr int kDiscoverMs = 1500;          // waiting for routers to answer the search
constexpr const char* kLeaseSeconds = "3600"; // a mapping the game forgets lapses in an hour
constexpr int kNatPmpLeaseSeconds = 3600;
constexpr double kNatPmpWaitMs = 1500;
} // namespace

struct PortMapping {
    uint16_t localPort = 0;
    std::thread worker;
    std::atomic<bool> done{false};
    // Written by the worker before `done`, read after it.
    bool mapped = false;
    uint32_t address = 0;
    uint16_t port = 0;
    const char* kind = "";
    // For letting the mapping go.
    UPNPUrls urls{};
    IGDdatas igd{};
    bool haveUrls = false;
    natpmp_t natpmp{};
    bool natpmpOpen = false;
};

namespace {
bool parseIpv4(const char* text, uint32_t& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, text, &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return address != 0;
}

bool askUpnp(PortMapping& m) {
    int error = 0;
    UPNPDev* devices = upnpDiscover(kDiscoverMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
    if (!devices) return false;
    char lanAddress[64] = "";
    int found = UPNP_GetValidIGD(devices, &m.urls, &m.igd, lanAddress, sizeof lanAddress);
    freeUPNPDevlist(devices);
    if (found == 0) return false;
    m.haveUrls = true;
    // 2: a router that calls itself not connected, as some do when their outside address is
    // not a public one (behind a carrier's NAT too). Its mapping is offered all the same: when
    // it leads nowhere the other player's probes just go unanswered.
    if (found != 1 && found != 2) return false;
    char outside[40] = "";
    if (UPNP_GetExternalIPAddress(m.urls.controlURL, m.igd.first.servicetype, outside) != 0)
        return false;
    uint32_t address = 0;
    if (!parseIpv4(outside, address)) return false;
    std::string port = std::to_string(m.localPort);
    if (UPNP_AddPortMapping(m.urls.controlURL, m.igd.first.servicetype, port.c_str(), port.c_str(),
                            lanAddress, "Quarrelix", "UDP", nullptr, kLeaseSeconds) != 0)
        return false;
    m.address = address;
    m.port = m.localPort;
    m.kind = "upnp";
    return true;
}

// Waits for libnatpmp's answer to the pending request, within kNatPmpWaitMs.
bool natpmpAnswer(PortMapping& m, natpmpresp_t& response) {
    auto until = std::chrono::steady_clock::now() +
                 std::chrono::duration<double, std::milli>(kNatPmpWaitMs);
    while (std::chrono::steady_clock::now() < until) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m.natpmp.s, &readable);
        timeval timeout{0, 50000};
        select(m.natpmp.s + 1, &readable, nullptr, nullptr, &timeout);
        int got = readnatpmpresponseorretry(&m.natpmp, &response);
        if (got == 0) return true;
        if (got != NATPMP_TRYAGAIN) return false;
    }
    return false;
}

bool askNatPmp(PortMapping& m) {
    if (initnatpmp(&m.natpmp, 0, 0) != 0) return false;
    m.natpmpOpen = true;
    natpmpresp_t response{};
    if (sendpublicaddressrequest(&m.natpmp) < 0 || !natpmpAnswer(m, response)) return false;
    uint32_t address = ntohl(response.pnu.publicaddress.addr.s_addr);
    if (sendnewportmappingrequest(&m.natpmp, NATPMP_PROTOCOL_UDP, m.localPort, m.localPort,
                                  kNatPmpLeaseSeconds) < 0 ||
        !natpmpAnswer(m, response) || response.type != NATPMP_RESPTYPE_UDPPORTMAPPING)
        return false;
    m.address = address;
    m.port = response.pnu.newportmapping.mappedpublicport;
    m.kind = "natpmp";
    return address != 0 && m.port != 0;
}
} // namespace

PortMapping* startPortMapping(uint16_t localPort) {
    PortMapping* mapping = new PortMapping;
    mapping->localPort = localPort;
    mapping->worker = std::thread([mapping] {
        mapping->mapped = askUpnp(*mapping) || askNatPmp(*mapping);
        mapping->done = true;
    });
    return mapping;
}

bool portMappingDone(const PortMapping* mapping) {
    return mapping && mapping->done;
}

bool portMappingResult(const PortMapping* mapping, uint32_t& address, uint16_t& port) {
    if (!portMappingDone(mapping) || !mapping->mapped) return false;
    address = mapping->address;
    port = mapping->port;
    return true;
}

const char* portMappingKind(const PortMapping* mapping) {
    return portMappingDone(mapping) && mapping->mapped ? mapping->kind : "";
}

void stopPortMapping(PortMapping* mapping) {
    if (!mapping) return;
    if (mapping->worker.joinable()) mapping->worker.join();
    std::string port = std::to_string(mapping->localPort);
    if (mapping->mapped && std::string(mapping->kind) == "upnp")
        UPNP_DeletePortMapping(mapping->urls.controlURL, mapping->igd.first.servicetype,
                               port.c_str(), "UDP", nullptr);
    if (mapping->mapped && std::string(mapping->kind) == "natpmp") {
        // A lifetime of 0 removes the mapping.
        natpmpresp_t response{};
        if (sendnewportmappingrequest(&mapping->natpmp, NATPMP_PROTOCOL_UDP, mapping->localPort,
                                      0, 0) >= 0)
            natpmpAnswer(*mapping, response);
    }
    if (mapping->haveUrls) FreeUPNPUrls(&mapping->urls);
    if (mapping->natpmpOpen) closenatpmp(&mapping->natpmp);
    delete mapping;
}

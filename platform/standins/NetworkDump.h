#pragma once

#include <optional>
#include <string>
#include <vector>

// The addresses and routes of the caller's network namespace as the kernel
// holds them (over rtnetlink), and the adding of one such entry again.
namespace standins {

struct AddressEntry
{
    // The interface's index.
    unsigned index = 0;
    bool ipv6 = false;
    // Addresses in their canonical text form.
    std::string local;
    int prefixLength = 0;
    // The other end of a point-to-point address; empty when there is none.
    std::string peer;
    std::string broadcast;
    // The IPv4 label; empty when the address has none of its own.
    std::string label;
    // IFA_F_* flags; IFA_F_PERMANENT: no lifetime of the address runs out.
    unsigned flags = 0;
    int scope = 0;
    // IFA_PROTO: who made the address (the kernel, autoconfiguration, ...).
    std::optional<int> protocol;
    // IFA_RT_PRIORITY: the metric of the prefix route the address brings.
    std::optional<unsigned> metric;
};

struct RouteEntry
{
    // The output interface's index; 0 when the route names none.
    unsigned index = 0;
    // One next hop given by a gateway and/or a device alone: no multipath,
    // nexthop object, encapsulation or source prefix.
    bool plain = true;
    unsigned table = 0;
    bool ipv6 = false;
    // Canonical text; the default route's destination is 0.0.0.0 or ::.
    std::string destination;
    int prefixLength = 0;
    int tos = 0;
    // RTPROT_*, RT_SCOPE_*, RTN_* and the rtm_flags.
    int protocol = 0;
    int scope = 0;
    int type = 0;
    unsigned flags = 0;
    std::string gateway;
    // The preferred source address (RTA_PREFSRC).
    std::string source;
    std::optional<unsigned> priority;
    // RTA_PREF, an IPv6 router preference.
    std::optional<int> preference;
    // The RTA_METRICS attribute's payload as the kernel gave it (mtu, ...).
    std::string metrics;
};

// Every address, or every route of every table, of both families; false
// with the reason when the kernel cannot be asked.
bool dumpAddresses(std::vector<AddressEntry> &addresses, std::string &error);
bool dumpRoutes(std::vector<RouteEntry> &routes, std::string &error);

// How often interface `index` has come up (its carrier), which any bringing
// up of the link counts; 0 when the kernel does not tell.
unsigned linkUpCount(unsigned index);

// Adds the entry to the main table or to interface `index` with every
// property it was dumped with: 0 or the kernel's errno value.
int addAddress(const AddressEntry &address, unsigned index);
int addRoute(const RouteEntry &route, unsigned index);

} // namespace standins

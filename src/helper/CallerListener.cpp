#include "helper/CallerListener.h"

#include "helper/IllegalArgumentException.h"

#include "peerowner/TcpListenerDiag.h"
#include "peerowner/TcpListenerOwner.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <unistd.h>

namespace stelvane {

namespace {

using orvalplatform::Address;

const char NOT_THE_CALLERS[] = "the loopback listener at this port is not the calling user's";

bool othersAmong(const std::vector<long long> &owners, long long caller)
{
    return std::any_of(owners.begin(), owners.end(), [caller](long long owner) { return owner != caller; });
}

// Where a connection to a host, as an engine names it, may arrive on this
// host.
struct Reach
{
    enum Kind {
        // Not on this host's loopback.
        Elsewhere,
        // At `address`.
        Loopback,
        // At whichever loopback address.
        AnyLoopback,
    };
    Kind kind;
    Address address;
};

// Sets `address` to what the engine's resolver reads `host` as when it reads
// it as a number: by inet_pton for IPv6, by inet_aton for IPv4, which also
// reads "127.1", "2130706433" or "0x7f000001" (but also "127.0.0.1 x", which
// the resolver takes for a name: hence only the characters of numbers).
bool numericAddress(const std::string &host, Address &address)
{
    if (host.find('\0') != std::string::npos)
        return false;
    in6_addr ipv6 {};
    in_addr ipv4 {};
    if (inet_pton(AF_INET6, host.c_str(), &ipv6) == 1) {
        std::memcpy(address.data(), &ipv6, sizeof ipv6);
        return true;
    }
    if (host.find_first_not_of("0123456789abcdefABCDEFxX.") != std::string::npos || inet_aton(host.c_str(), &ipv4) == 0)
        return false;
    address = orvalplatform::ipv4Address(0, 0, 0, 0);
    std::memcpy(address.data() + 12, &ipv4, sizeof ipv4);
    return true;
}

// Only a number is known before the engine dials. An address in 127.0.0.0/8
// or ::1 is reached as it is; 0.0.0.0 (with the rest of 0.0.0.0/8) and ::,
// which both kernels dial as their own loopback address, as 127.0.0.1 and
// ::1; an IPv4-mapped address as its IPv4 one. Any other number leaves this
// host's loopback: a connection to one of the host's other addresses reaches
// only the listeners that any host on the network reaches. Everything else
// is a name, which the engine resolves when it dials, and again at each
// retry, by the hosts file and DNS: "localhost", a public name that answers
// 127.0.0.1, one whose answer changes once checked. So a name counts as
// reaching every loopback address at once.
Reach reachOf(const std::string &host)
{
    Address address {};
    if (!numericAddress(host, address))
        return {Reach::AnyLoopback, {}};
    Address ipv6Loopback {};
    ipv6Loopback[15] = 1;
    if (orvalplatform::isIPv4(address)) {
        if (address[12] == 127)
            return {Reach::Loopback, address};
        if (address[12] == 0)
            return {Reach::Loopback, orvalplatform::ipv4Address(127, 0, 0, 1)};
    } else if (address == Address {} || address == ipv6Loopback) {
        return {Reach::Loopback, ipv6Loopback};
    }
    return {Reach::Elsewhere, {}};
}

} // namespace

std::string CallerListener::refusal(const std::vector<long long> &owners, long long caller)
{
    if (owners.empty())
        return "no loopback listener at this port";
    return othersAmong(owners, caller) ? NOT_THE_CALLERS : std::string();
}

std::string CallerListener::destinationRefusal(const DialDestination &destination,
                                               const std::vector<orvalplatform::TcpSocketEntry> &listeners,
                                               long long caller)
{
    const Reach reach = reachOf(destination.host);
    switch (reach.kind) {
    case Reach::Elsewhere: return std::string();
    case Reach::Loopback:
        return othersAmong(orvalplatform::listenerOwners(listeners, reach.address, destination.port), caller)
                   ? NOT_THE_CALLERS
                   : std::string();
    case Reach::AnyLoopback: break;
    }
    return othersAmong(orvalplatform::anyLoopbackListenerOwners(listeners, destination.port), caller)
               ? "the name may lead to a loopback listener at this port that is not the calling user's"
               : std::string();
}

void CallerListener::require(const std::string &argument, int port)
{
    const std::string why = refusal(orvalplatform::loopbackListenerOwners(static_cast<unsigned short>(port)),
                                    static_cast<long long>(getuid()));
    if (!why.empty())
        throw IllegalArgumentException(argument, std::to_string(port) + " (" + why + ")");
}

// A destination where nothing listens yet passes: the client starts its
// shadowsocks listener, the engine's SOCKS proxy, only once the engine holds
// at its management port. The check is made once, before the engine starts:
// a listener closed and opened by another user afterwards, and an engine
// started with --management-query-remote that its own caller's "remote MOD"
// answer sends elsewhere, are beyond it. What stops those is the client's own
// authentication of its engine; this check is defence in depth.
void CallerListener::requireDestinations(const std::vector<DialDestination> &destinations)
{
    // Read once for all. macOS: the net.inet.tcp.pcblist_n records in
    // TCPS_LISTEN, an IPv6-only one with IN6P_IPV6_V6ONLY in its xinpcb_n's
    // inp_flags (TcpListenerOwner.h).
    const std::vector<orvalplatform::TcpSocketEntry> listeners = orvalplatform::readTcpListeners();
    for (const DialDestination &destination : destinations) {
        const std::string why = destinationRefusal(destination, listeners, static_cast<long long>(getuid()));
        if (why.empty())
            continue;
        const std::string line = destination.line > 0 ? "line " + std::to_string(destination.line) + ": " : "";
        throw IllegalArgumentException(destination.argument, destination.value + " (" + line + destination.host
                                                                 + " port " + std::to_string(destination.port) + ": "
                                                                 + why + ")");
    }
}

} // namespace stelvane

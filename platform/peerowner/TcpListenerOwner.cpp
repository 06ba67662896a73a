#include "TcpListenerOwner.h"

#include "TcpListenerDiag.h"

namespace orvalplatform {

namespace {

const Address IPV4_ANY = ipv4Address(0, 0, 0, 0);
const Address IPV6_ANY {};

bool isLoopback(const Address &address)
{
    Address ipv6Loopback {};
    ipv6Loopback[15] = 1;
    return isIPv4(address) ? address[12] == 127 : address == ipv6Loopback;
}

bool reaches(const Address &destination, const TcpSocketEntry &listener)
{
    const Address &bound = listener.local.address;
    if (bound == destination)
        return true;
    if (isIPv4(destination))
        return bound == IPV4_ANY || (bound == IPV6_ANY && !listener.v6Only);
    return bound == IPV6_ANY;
}

bool reachesAnyLoopback(const TcpSocketEntry &listener)
{
    const Address &bound = listener.local.address;
    return isLoopback(bound) || bound == IPV4_ANY || bound == IPV6_ANY;
}

template<typename Reached>
std::vector<long long> ownersOf(const std::vector<TcpSocketEntry> &entries, unsigned short port, Reached reached)
{
    std::vector<long long> owners;
    for (const TcpSocketEntry &entry : entries) {
        if (entry.state == TCP_LISTEN_STATE && entry.local.port == port && reached(entry))
            owners.push_back(entry.uid);
    }
    return owners;
}

} // namespace

std::vector<long long> listenerOwners(const std::vector<TcpSocketEntry> &entries, const Address &destination,
                                      unsigned short port)
{
    return ownersOf(entries, port, [&destination](const TcpSocketEntry &entry) { return reaches(destination, entry); });
}

std::vector<long long> anyLoopbackListenerOwners(const std::vector<TcpSocketEntry> &entries, unsigned short port)
{
    return ownersOf(entries, port, reachesAnyLoopback);
}

std::vector<long long> loopbackListenerOwners(unsigned short port)
{
    return listenerOwners(readTcpListeners(), ipv4Address(127, 0, 0, 1), port);
}

} // namespace orvalplatform

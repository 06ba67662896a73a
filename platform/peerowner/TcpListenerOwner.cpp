#include "TcpListenerOwner.h"

#include <algorithm>
#include <array>

namespace orvalplatform {

namespace {

using Address = std::array<unsigned char, 16>;

Address ipv6Loopback()
{
    Address address {};
    address[15] = 1;
    return address;
}

bool reachesLoopback(const Address &address)
{
    static const Address reaching[] = {ipv4Address(127, 0, 0, 1), ipv4Address(0, 0, 0, 0), ipv6Loopback(), Address {}};
    return std::find(std::begin(reaching), std::end(reaching), address) != std::end(reaching);
}

} // namespace

std::vector<long long> loopbackListenerOwners(const std::vector<TcpSocketEntry> &entries, unsigned short port)
{
    std::vector<long long> owners;
    for (const TcpSocketEntry &entry : entries) {
        if (entry.state == TCP_LISTEN_STATE && entry.local.port == port && reachesLoopback(entry.local.address))
            owners.push_back(entry.uid);
    }
    return owners;
}

std::vector<long long> loopbackListenerOwners(unsigned short port)
{
    return loopbackListenerOwners(readTcpSocketTables(), port);
}

} // namespace orvalplatform

#include "TcpPeerOwner.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>

namespace orvalplatform {

namespace {

// One 32-bit word of an address as the kernel prints it: the word's bytes in
// network order, read as a number of this machine.
bool parseWord(const std::string &hex, unsigned char *bytes)
{
    if (hex.size() != 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    const std::uint32_t word = static_cast<std::uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
    std::memcpy(bytes, &word, sizeof word);
    return true;
}

// "0100007F:1F90" (IPv4) or 32 hex digits and a port (IPv6).
bool parseEndpoint(const std::string &text, TcpEndpoint &endpoint)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || text.size() - colon - 1 != 4)
        return false;
    const std::string address = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (port.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    endpoint = TcpEndpoint();
    if (address.size() == 8) {
        endpoint.address[10] = 0xff;
        endpoint.address[11] = 0xff;
        if (!parseWord(address, endpoint.address.data() + 12))
            return false;
    } else if (address.size() == 32) {
        for (std::size_t i = 0; i < 4; ++i) {
            if (!parseWord(address.substr(i * 8, 8), endpoint.address.data() + i * 4))
                return false;
        }
    } else {
        return false;
    }
    endpoint.port = static_cast<unsigned short>(std::strtoul(port.c_str(), nullptr, 16));
    return true;
}

bool sameEndpoint(const TcpEndpoint &a, const TcpEndpoint &b)
{
    return a.address == b.address && a.port == b.port;
}

bool endpointOf(const sockaddr_storage &storage, TcpEndpoint &endpoint)
{
    endpoint = TcpEndpoint();
    if (storage.ss_family == AF_INET) {
        const auto &in = reinterpret_cast<const sockaddr_in &>(storage);
        endpoint.address[10] = 0xff;
        endpoint.address[11] = 0xff;
        std::memcpy(endpoint.address.data() + 12, &in.sin_addr, 4);
        endpoint.port = ntohs(in.sin_port);
        return true;
    }
    if (storage.ss_family == AF_INET6) {
        const auto &in6 = reinterpret_cast<const sockaddr_in6 &>(storage);
        std::memcpy(endpoint.address.data(), &in6.sin6_addr, 16);
        endpoint.port = ntohs(in6.sin6_port);
        return true;
    }
    return false;
}

std::string fileText(const char *path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

long long tcpSocketOwner(const std::string &table, const TcpEndpoint &local, const TcpEndpoint &remote)
{
    std::istringstream lines(table);
    std::string line;
    std::getline(lines, line); // the heading
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string slot, localText, remoteText, state, queues, timer, retransmits, uid;
        if (!(fields >> slot >> localText >> remoteText >> state >> queues >> timer >> retransmits >> uid))
            continue;
        TcpEndpoint entryLocal;
        TcpEndpoint entryRemote;
        if (!parseEndpoint(localText, entryLocal) || !parseEndpoint(remoteText, entryRemote))
            continue;
        if (sameEndpoint(entryLocal, local) && sameEndpoint(entryRemote, remote)
            && uid.find_first_not_of("0123456789") == std::string::npos)
            return std::strtoll(uid.c_str(), nullptr, 10);
    }
    return -1;
}

long long tcpPeerOwner(int fd)
{
    sockaddr_storage own {};
    sockaddr_storage peer {};
    socklen_t ownLength = sizeof own;
    socklen_t peerLength = sizeof peer;
    TcpEndpoint ours;
    TcpEndpoint theirs;
    if (getsockname(fd, reinterpret_cast<sockaddr *>(&own), &ownLength) != 0
        || getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0 || !endpointOf(own, ours)
        || !endpointOf(peer, theirs))
        return -1;
    // The peer's socket: its local end is our remote one, and the other way round.
    for (const char *table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        const long long owner = tcpSocketOwner(fileText(table), theirs, ours);
        if (owner >= 0)
            return owner;
    }
    return -1;
}

} // namespace orvalplatform

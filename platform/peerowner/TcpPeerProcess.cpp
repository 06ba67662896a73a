#include "TcpPeerProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvalplatform {

namespace {

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

bool connectionEnds(int fd, TcpEndpoint &ours, TcpEndpoint &theirs)
{
    sockaddr_storage own {};
    sockaddr_storage peer {};
    socklen_t ownLength = sizeof own;
    socklen_t peerLength = sizeof peer;
    return getsockname(fd, reinterpret_cast<sockaddr *>(&own), &ownLength) == 0
           && getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) == 0 && endpointOf(own, ours)
           && endpointOf(peer, theirs);
}

bool isDenied(int error)
{
    return error == EACCES || error == EPERM;
}

// A process whose /proc entry cannot be opened: gone, or hidden from this
// caller (a /proc mounted with hidepid).
PeerMatch unreadableProcess(long long pid, int error)
{
    if (isDenied(error))
        return PeerMatch::Hidden;
    const bool exists = kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    return exists ? PeerMatch::Hidden : PeerMatch::Other;
}

PeerMatch processHoldsSocket(long long pid, unsigned long long inode)
{
    const std::string directory = "/proc/" + std::to_string(pid) + "/fd";
    DIR *descriptors = opendir(directory.c_str());
    if (!descriptors)
        return unreadableProcess(pid, errno);
    PeerMatch match = PeerMatch::Other;
    while (const dirent *entry = readdir(descriptors)) {
        char link[64] = {};
        const ssize_t length = readlinkat(dirfd(descriptors), entry->d_name, link, sizeof link - 1);
        if (length < 0) {
            if (isDenied(errno))
                match = PeerMatch::Hidden;
            continue;
        }
        if (socketInodeOfLink(std::string(link, static_cast<std::size_t>(length))) == inode) {
            match = PeerMatch::Process;
            break;
        }
    }
    closedir(descriptors);
    return match;
}

} // namespace

const TcpSocketEntry *findTcpSocket(const std::vector<TcpSocketEntry> &entries, const TcpEndpoint &local,
                                    const TcpEndpoint &remote)
{
    for (const TcpSocketEntry &entry : entries) {
        if (entry.local == local && entry.remote == remote)
            return &entry;
    }
    return nullptr;
}

unsigned long long socketInodeOfLink(const std::string &link)
{
    static const std::string prefix = "socket:[";
    if (link.size() < prefix.size() + 2 || link.compare(0, prefix.size(), prefix) != 0 || link.back() != ']')
        return 0;
    const std::string digits = link.substr(prefix.size(), link.size() - prefix.size() - 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::strtoull(digits.c_str(), nullptr, 10);
}

TcpPeer tcpPeer(int fd, long long pid)
{
    TcpPeer peer;
    TcpEndpoint ours;
    TcpEndpoint theirs;
    if (pid <= 0 || !connectionEnds(fd, ours, theirs))
        return peer;
    // The peer's socket: its local end is our remote one, and the other way round.
    const std::vector<TcpSocketEntry> entries = readTcpSocketTables();
    const TcpSocketEntry *socket = findTcpSocket(entries, theirs, ours);
    if (!socket || socket->inode == 0)
        return peer;
    peer.uid = socket->uid;
    peer.match = processHoldsSocket(pid, socket->inode);
    return peer;
}

} // namespace orvalplatform

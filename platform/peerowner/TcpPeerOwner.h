#pragma once

#include <array>
#include <string>

// Who owns the other end of a TCP connection within this host, read from the
// kernel's socket tables (/proc/net/tcp and /proc/net/tcp6 of the calling
// process's network namespace). On macOS the same answer comes from the
// net.inet.tcp.pcblist_n sysctl: the so_uid of the xsocket_n record of the
// connection whose local and foreign ends are the peer's and ours.
namespace orvalplatform {

struct TcpEndpoint
{
    // An IPv6 address; an IPv4 one as ::ffff:a.b.c.d.
    std::array<unsigned char, 16> address {};
    unsigned short port = 0;
};

// The user id that owns the socket at the other end of the connected TCP
// socket `fd`, or -1 when it cannot be found (a peer on another host or in
// another network namespace, a connection already gone).
long long tcpPeerOwner(int fd);

// The pure step: the owner of the socket in `table` (the text of /proc/net/tcp
// or /proc/net/tcp6) whose local end is `local` and whose remote end is
// `remote`, or -1 when there is none.
long long tcpSocketOwner(const std::string &table, const TcpEndpoint &local, const TcpEndpoint &remote);

} // namespace orvalplatform

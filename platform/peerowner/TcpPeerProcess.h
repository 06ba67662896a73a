#pragma once

#include "TcpSocketTable.h"

#include <string>
#include <vector>

// Whether the other end of a TCP connection within this host is a socket of
// a given process. On this machine: the peer socket's inode from
// /proc/net/tcp{,6} (the entry whose local end is our remote one and the
// other way round), then whether that inode is among the process's
// descriptors (the /proc/PID/fd links "socket:[INODE]"). On macOS the
// counterpart is libproc: proc_pidinfo(pid, PROC_PIDLISTFDS) lists the
// process's descriptors, and proc_pidfdinfo(pid, fd, PROC_PIDFDSOCKETINFO) of
// each PROX_FDTYPE_SOCKET one gives its TCP ends (soi_proto.pri_tcp.tcpsi_ini:
// insi_lport, insi_fport and the addresses), compared with the connection's
// ends swapped; the peer's owner is the so_uid of its pcblist_n record.
// Both refuse (EPERM) to show another user's process to anyone but root.
namespace orvalplatform {

enum class PeerMatch {
    // The peer socket is one of the process's descriptors.
    Process,
    // It is not, or the connection or the process is gone.
    Other,
    // The process runs, but this caller may not see its descriptors.
    Hidden,
};

struct TcpPeer
{
    PeerMatch match = PeerMatch::Other;
    // The owner of the peer socket, -1 when it was not found.
    long long uid = -1;
};

// The peer of the connected TCP socket `fd`, judged against process `pid`.
TcpPeer tcpPeer(int fd, long long pid);

// The pure steps. The entry whose local end is `local` and whose remote end
// is `remote`, or null.
const TcpSocketEntry *findTcpSocket(const std::vector<TcpSocketEntry> &entries, const TcpEndpoint &local,
                                    const TcpEndpoint &remote);
// The inode a descriptor link names ("socket:[12345]"); 0 for any other link.
unsigned long long socketInodeOfLink(const std::string &link);

} // namespace orvalplatform

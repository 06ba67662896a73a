#pragma once

#include "TcpSocketTable.h"

#include <vector>

// Who owns the listeners that a connection to 127.0.0.1 at a port could
// reach: the listening sockets at that port bound to a loopback address
// (127.0.0.1, ::1, ::ffff:127.0.0.1) or to an any-address (0.0.0.0, ::,
// ::ffff:0.0.0.0). An IPv6 any-address listener is counted even when it takes
// IPv6 alone: the tables do not tell, and counting one too many only refuses.
// On this machine the tables are /proc/net/tcp{,6}; on macOS the
// net.inet.tcp.pcblist_n records in TCPS_LISTEN with that local port and such
// a local address, owned by their xsocket_n's so_uid.
namespace orvalplatform {

// The pure step: the owners of such listeners among `entries`, one per listener.
std::vector<long long> loopbackListenerOwners(const std::vector<TcpSocketEntry> &entries, unsigned short port);

// The same for the tables of this network namespace.
std::vector<long long> loopbackListenerOwners(unsigned short port);

} // namespace orvalplatform

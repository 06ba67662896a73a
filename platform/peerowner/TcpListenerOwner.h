#pragma once

#include "TcpSocketTable.h"

#include <vector>

// Who owns the listeners that a TCP connection within this host could reach.
// One to an IPv4 address D at port P reaches the listeners at P bound to D
// or to 0.0.0.0, on IPv4 sockets or, as ::ffff:D and ::ffff:0.0.0.0, on IPv6
// ones, and those bound to :: that take IPv4 as well (no IPV6_V6ONLY). One
// to an IPv6 address reaches the listeners bound to it or to ::, whether they
// take IPv4 too or not. A listener that the tables cannot tell to be IPv6-only
// counts as taking IPv4: counting one too many only refuses.
// On this machine the listeners are those sock_diag reports
// (TcpListenerDiag.h); on macOS the net.inet.tcp.pcblist_n records in
// TCPS_LISTEN with that local port and such a local address, owned by their
// xsocket_n's so_uid, an IPv6 one taking IPv6 alone when its xinpcb_n has
// IN6P_IPV6_V6ONLY in inp_flags.
namespace orvalplatform {

// The pure steps: the owners of such listeners among `entries`, one per
// listener, for a connection to `destination` at `port`...
std::vector<long long> listenerOwners(const std::vector<TcpSocketEntry> &entries, const Address &destination,
                                      unsigned short port);
// ...and for one to whichever loopback address (127.0.0.0/8, ::1) at `port`.
std::vector<long long> anyLoopbackListenerOwners(const std::vector<TcpSocketEntry> &entries, unsigned short port);

// The owners of the listeners of this network namespace that a connection to
// 127.0.0.1 at `port` could reach.
std::vector<long long> loopbackListenerOwners(unsigned short port);

} // namespace orvalplatform

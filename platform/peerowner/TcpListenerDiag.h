#pragma once

#include "TcpSocketTable.h"

#include <vector>

// The listening TCP sockets of the calling process's network namespace, as
// the kernel's sock_diag tells them (NETLINK_SOCK_DIAG: an inet_diag_req_v2
// dump of the TCP_LISTEN sockets of AF_INET and of AF_INET6), with each
// one's owner and inode and, for an IPv6 one, whether it takes IPv6 alone
// (the INET_DIAG_SKV6ONLY attribute), which /proc/net/tcp6 does not show.
// Where sock_diag cannot be asked, the /proc tables stand in, and every IPv6
// any-address listener there then counts as taking IPv4 as well.
namespace orvalplatform {

std::vector<TcpSocketEntry> readTcpListeners();

} // namespace orvalplatform

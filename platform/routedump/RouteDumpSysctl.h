#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Linux stand-in for the macOS routing-table sysctl: the IPv4 routing table of
// the calling process's network namespace (/proc/net/route), delivered as the
// dump of routing messages that macOS gives for CTL_NET, PF_ROUTE, 0, AF_INET,
// NET_RT_DUMP, 0. Any other name fails with ENOTSUP; setting values with EPERM.
namespace orvalplatform {

int sysctl(int *name, unsigned nameLength, void *oldValue, std::size_t *oldLength, void *newValue,
           std::size_t newLength);

// The pure step: the text of /proc/net/route as a macOS route dump. Of several
// routes to one destination the lowest metric is the primary one; the others
// are interface-scoped, as macOS keeps them. Interfaces without an index
// (blackhole routes show "*") get index 0.
std::vector<unsigned char> routeDumpFromProcNetRoute(const std::string &text,
                                                     const std::function<unsigned(const std::string &)> &indexOf);

} // namespace orvalplatform

#pragma once
#include "helper/DialDestination.h"

#include "peerowner/TcpSocketTable.h"

#include <string>
#include <vector>

namespace stelvane {

// An engine connects, as root, to the loopback ports it is given, and serves
// whoever listens there: its user name and password prompts, its tunnel. And
// it dials, as root, the TCP destinations of its configuration and
// arguments: its remotes, its proxy, its server. So a caller may only aim an
// engine at listeners of its own, never at another user's client or at
// another user's service. The listeners come from the kernel's socket tables
// (peerowner/TcpListenerOwner.h; macOS: the pcblist sysctl).
class CallerListener
{
public:
    // Throws IllegalArgumentException(`argument`, the port and why) unless
    // there is a listener at `port` that a connection to 127.0.0.1 (where
    // the engines connect back) reaches and every such one belongs to the
    // calling user (the real uid).
    static void require(const std::string &argument, int port);

    // Throws IllegalArgumentException, naming the first refused destination
    // and why, unless every listener that a TCP connection to one of
    // `destinations` could reach on this host belongs to the calling user.
    static void requireDestinations(const std::vector<DialDestination> &destinations);

    // The pure steps: why listeners of `owners` at a port are refused to
    // `caller`, empty when they are not...
    static std::string refusal(const std::vector<long long> &owners, long long caller);
    // ...and why a connection to `destination` is, among `listeners`.
    static std::string destinationRefusal(const DialDestination &destination,
                                          const std::vector<orvalplatform::TcpSocketEntry> &listeners,
                                          long long caller);
};

} // namespace stelvane

#pragma once
#include <string>
#include <vector>

namespace stelvane {

// An engine connects back, as root, to the loopback ports it is given, and
// serves whoever listens there: its user name and password prompts, its
// tunnel. So a caller may only aim an engine at listeners of its own, never
// at another user's client. The listeners come from the kernel's socket
// tables (peerowner/TcpListenerOwner.h; macOS: the pcblist sysctl).
class CallerListener
{
public:
    // Throws IllegalArgumentException(`argument`, the port and why) unless
    // there is a loopback listener at `port` and every one there belongs to
    // the calling user (the real uid).
    static void require(const std::string &argument, int port);

    // The pure step: why listeners of `owners` at a port are refused to
    // `caller`, empty when they are not.
    static std::string refusal(const std::vector<long long> &owners, long long caller);
};

} // namespace stelvane

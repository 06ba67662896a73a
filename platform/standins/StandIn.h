#pragma once

#include <string>
#include <vector>

// What the stand-ins for the macOS network programs share. They run as root
// with an empty environment and change only a network namespace of their
// own, never the host's network.
namespace standins {

// True inside a network namespace other than that of PID 1 (the host's).
// Where PID 1 is hidden, only a named namespace ('ip netns add') that is not
// the initial one counts.
bool inOwnNetworkNamespace();
// Every change goes through here: outside a namespace of its own the program
// `name` ends with exit code 69 and says why.
void requireOwnNetworkNamespace(const char *name);

// A kernel interface name that no program reads as an option.
bool isInterfaceName(const std::string &text);
bool isIpv4(const std::string &text);
// One to three decimal digits, at most `most`.
bool isPrefixLength(const std::string &text, int most);
bool isIpv6(const std::string &text);
// Whether two texts name the same address of the family, however spelled.
bool sameAddress(bool ipv6, const std::string &a, const std::string &b);

struct Interface
{
    std::string name;
    // Administratively up.
    bool up = false;
    // A tun or tap device.
    bool tunnel = false;
};

// The interfaces of the caller's network namespace, in index order.
std::vector<Interface> interfaces();
// Sets or clears an interface's up flag; on failure false with the reason.
bool setLinkUp(const std::string &name, bool up, std::string &error);

struct IpResult
{
    int status = -1;
    std::string output;
    // The error text without iproute2's "RTNETLINK answers: " prefix and
    // without trailing line feeds ("failed" when there is none).
    std::string message;
};

struct RouteChange
{
    bool adding = false;
    bool ipv6 = false;
    // RTN_UNICAST, RTN_BLACKHOLE or RTN_UNREACHABLE; a deletion with
    // RTN_UNICAST matches a route of any type, as 'ip route del' does.
    unsigned char type = 0;
    std::string address;
    int prefixLength = 0;
    // The next hop of a unicast route that is added: a gateway or a device.
    std::string gateway;
    std::string device;
};

// Adds or deletes a route of the main table over rtnetlink, with what
// 'ip route add|del' would send; no program is started. 0, or the errno
// value of the failure with the kernel's reason in `error`.
int changeRoute(const RouteChange &change, std::string &error);

// Writes all of `content` to `fd`; false on a failure (errno tells why).
bool writeAll(int fd, const std::string &content);

// Runs iproute2's ip with the arguments, capturing its output.
IpResult ip(const std::vector<std::string> &arguments);

} // namespace standins

// route: the forms of the macOS route program that the product uses, carried
// out in the caller's network namespace (changes over rtnetlink, the default
// route read with iproute2):
//   route                                   (usage, exit 64)
//   route -n get default
//   route add|delete [-inet6] NET/PREFIX [GATEWAY | -interface IF] [-blackhole | -reject]
#include "ServiceRestore.h"
#include "StandIn.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <linux/rtnetlink.h>
#include <sstream>

namespace {

[[noreturn]] void usage()
{
    std::cerr << "usage: route [-dnqtv] command [[modifiers] args]" << std::endl;
    std::exit(64);
}

int showDefault()
{
    const standins::IpResult shown = standins::ip({"-4", "route", "show", "default"});
    std::istringstream lines(shown.output);
    std::string line;
    std::getline(lines, line);
    if (shown.status != 0 || line.empty()) {
        std::cerr << "route: writing to routing socket: not in table" << std::endl;
        return 1;
    }
    std::istringstream words(line);
    std::string word;
    std::string gateway;
    std::string device;
    while (words >> word) {
        if (word == "via")
            words >> gateway;
        else if (word == "dev")
            words >> device;
    }
    std::cout << "   route to: default\n"
              << "destination: default\n"
              << "       mask: default\n";
    if (!gateway.empty())
        std::cout << "    gateway: " << gateway << "\n";
    std::cout << "  interface: " << device << "\n"
              << (gateway.empty() ? "      flags: <UP,DONE,STATIC,PRCLONING>\n"
                                  : "      flags: <UP,GATEWAY,DONE,STATIC,PRCLONING>\n")
              << " recvpipe  sendpipe  ssthresh  rtt,msec    rttvar  hopcount      mtu     expire\n"
              << "       0         0         0         0         0         0         0         0\n";
    return 0;
}

int change(const std::string &action, int argc, char **argv)
{
    int next = 2;
    bool ipv6 = false;
    if (next < argc && std::string(argv[next]) == "-inet6") {
        ipv6 = true;
        ++next;
    }
    if (next >= argc)
        usage();
    const std::string destination = argv[next++];
    std::string gateway;
    std::string device;
    std::string kind;
    while (next < argc) {
        const std::string argument = argv[next++];
        if (argument == "-interface") {
            if (next >= argc || !device.empty() || !standins::isInterfaceName(argv[next]))
                usage();
            device = argv[next++];
        } else if (argument == "-blackhole") {
            kind = "blackhole";
        } else if (argument == "-reject") {
            kind = "unreachable";
        } else if (argument.empty() || argument[0] == '-' || !gateway.empty()) {
            usage();
        } else {
            gateway = argument;
        }
    }
    const size_t slash = destination.rfind('/');
    if (slash == std::string::npos)
        usage();
    const std::string address = destination.substr(0, slash);
    const std::string prefix = destination.substr(slash + 1);
    const int full = ipv6 ? 128 : 32;
    const auto isAddress = ipv6 ? standins::isIpv6 : standins::isIpv4;
    if (!standins::isPrefixLength(prefix, full) || !isAddress(address) || (!gateway.empty() && !isAddress(gateway)))
        usage();
    standins::requireOwnNetworkNamespace("route");

    standins::RouteChange route;
    route.adding = action == "add";
    route.ipv6 = ipv6;
    route.type = kind.empty() ? RTN_UNICAST : kind == "blackhole" ? RTN_BLACKHOLE : RTN_UNREACHABLE;
    route.address = address;
    route.prefixLength = std::atoi(prefix.c_str());
    // A black hole or an unreachable route needs no next hop on Linux; the
    // gateway that macOS wants with them (127.0.0.1, ::1) is not used.
    if (kind.empty() && route.adding) {
        if (!gateway.empty())
            route.gateway = gateway;
        else
            route.device = device;
    }
    const std::string what = route.prefixLength == full ? "host" : "net";
    const std::string target = gateway.empty() ? device : gateway;
    const std::string report =
        route.adding ? "add " + what + " " + address + ": gateway " + target : "delete " + what + " " + address;
    std::string error;
    const int result = standins::changeRoute(route, error);
    // A route that went with its service, deleted before the service comes
    // back, is deleted from what the service gets back.
    if (result == 0 || (result == ESRCH && !route.adding && standins::forgetDeletedRoute(route))) {
        std::cout << report << std::endl;
        return 0;
    }
    std::cerr << "route: writing to routing socket: " << error << std::endl;
    std::cout << report << ": " << error << std::endl;
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        usage();
    const std::string command = argv[1];
    if (command == "-n") {
        if (argc != 4 || std::string(argv[2]) != "get" || std::string(argv[3]) != "default")
            usage();
        return showDefault();
    }
    if (command == "add" || command == "delete")
        return change(command, argc, argv);
    usage();
}

// ifconfig: the forms of the macOS ifconfig program that the product uses,
// carried out with iproute2 in the caller's network namespace:
//   ifconfig IF up
//   ifconfig IF ADDRESS DESTINATION netmask MASK up
//   ifconfig IF delete ADDRESS
//   ifconfig IF inet6 ADDRESS/PREFIX up
//   ifconfig IF inet6 delete ADDRESS
#include "StandIn.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

[[noreturn]] void usage()
{
    std::cerr << "usage: ifconfig interface address_family [address [dest_address]] [parameters]" << std::endl;
    std::exit(1);
}

[[noreturn]] void fail(const std::string &message)
{
    std::cerr << "ifconfig: " << message << std::endl;
    std::exit(1);
}

void run(const std::vector<std::string> &arguments, const char *request)
{
    const standins::IpResult result = standins::ip(arguments);
    if (result.status != 0)
        fail(std::string("ioctl (") + request + "): " + result.message);
}

void bringUp(const std::string &device)
{
    std::string error;
    if (!standins::setLinkUp(device, true, error))
        fail("ioctl (SIOCSIFFLAGS): " + error);
}

// The prefix length of a contiguous IPv4 mask; -1 for anything else.
int maskPrefix(const std::string &mask)
{
    in_addr address {};
    if (::inet_pton(AF_INET, mask.c_str(), &address) != 1)
        return -1;
    const uint32_t bits = ntohl(address.s_addr);
    int prefix = 0;
    while (prefix < 32 && (bits & (0x80000000u >> prefix)))
        ++prefix;
    const uint32_t contiguous = prefix == 0 ? 0 : ~uint32_t(0) << (32 - prefix);
    return bits == contiguous ? prefix : -1;
}

// The iproute2 spelling ("A/24" or "A peer P/24") of `address` on `device`,
// empty when the device does not have it.
std::vector<std::string> assignedAddress(bool ipv6, const std::string &device, const std::string &address)
{
    const standins::IpResult shown = standins::ip({"-o", ipv6 ? "-6" : "-4", "addr", "show", "dev", device});
    std::istringstream lines(shown.output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream stream(line);
        std::vector<std::string> words;
        for (std::string word; stream >> word;)
            words.push_back(word);
        for (size_t i = 0; i + 1 < words.size(); ++i) {
            if (words[i] != "inet" && words[i] != "inet6")
                continue;
            const std::string &local = words[i + 1];
            if (!standins::sameAddress(ipv6, local.substr(0, local.find('/')), address))
                break;
            if (i + 3 < words.size() && words[i + 2] == "peer")
                return {local, "peer", words[i + 3]};
            return {local};
        }
    }
    return {};
}

void deleteAddress(bool ipv6, const std::string &device, const std::string &address)
{
    const char *request = ipv6 ? "SIOCDIFADDR_IN6" : "SIOCDIFADDR";
    std::vector<std::string> assigned = assignedAddress(ipv6, device, address);
    if (assigned.empty())
        fail(std::string("ioctl (") + request + "): Can't assign requested address");
    std::vector<std::string> arguments {ipv6 ? "-6" : "-4", "addr", "del"};
    arguments.insert(arguments.end(), assigned.begin(), assigned.end());
    arguments.insert(arguments.end(), {"dev", device});
    run(arguments, request);
}

bool interfaceExists(const std::string &device)
{
    for (const standins::Interface &interface : standins::interfaces()) {
        if (interface.name == device)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        usage();
    const std::string device = argv[1];
    if (!standins::isInterfaceName(device))
        usage();
    if (!interfaceExists(device))
        fail("interface " + device + " does not exist");
    const std::vector<std::string> a(argv + 2, argv + argc);

    if (a.size() == 1 && a[0] == "up") {
        standins::requireOwnNetworkNamespace("ifconfig");
        bringUp(device);
    } else if (a.size() == 5 && a[2] == "netmask" && a[4] == "up") {
        if (!standins::isIpv4(a[0]) || !standins::isIpv4(a[1]))
            usage();
        const int prefix = maskPrefix(a[3]);
        if (prefix < 0)
            fail(a[3] + ": bad value");
        standins::requireOwnNetworkNamespace("ifconfig");
        run({"-4", "addr", "add", a[0], "peer", a[1] + "/" + std::to_string(prefix), "dev", device}, "SIOCAIFADDR");
        bringUp(device);
    } else if (a.size() == 2 && a[0] == "delete") {
        if (!standins::isIpv4(a[1]))
            usage();
        standins::requireOwnNetworkNamespace("ifconfig");
        deleteAddress(false, device, a[1]);
    } else if (a.size() == 3 && a[0] == "inet6" && a[2] == "up") {
        const size_t slash = a[1].rfind('/');
        const std::string prefix = slash == std::string::npos ? std::string() : a[1].substr(slash + 1);
        if (!standins::isPrefixLength(prefix, 128) || !standins::isIpv6(a[1].substr(0, slash)))
            usage();
        standins::requireOwnNetworkNamespace("ifconfig");
        run({"-6", "addr", "add", a[1], "dev", device, "nodad"}, "SIOCAIFADDR_IN6");
        bringUp(device);
    } else if (a.size() == 3 && a[0] == "inet6" && a[1] == "delete") {
        if (!standins::isIpv6(a[2]))
            usage();
        standins::requireOwnNetworkNamespace("ifconfig");
        deleteAddress(true, device, a[2]);
    } else {
        usage();
    }
    return 0;
}

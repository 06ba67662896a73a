// networksetup: the forms of the macOS networksetup program that the product
// uses. A network service is a non-loopback interface of the caller's network
// namespace other than a tunnel, named after it, enabled when it is up; the
// name servers set on services are kept in the namespace's /etc/resolv.conf
// (see NameServerFile). A service taken down gets its routes and addresses
// back when it is brought up (see ServiceRestore).
//   networksetup -listallnetworkservices
//   networksetup -getnetworkserviceenabled SERVICE
//   networksetup -setnetworkserviceenabled SERVICE on|off
//   networksetup -getdnsservers SERVICE
//   networksetup -setdnsservers SERVICE ADDRESS... | empty
// (each also without its leading "-", as the real program accepts)
#include "NameServerFile.h"
#include "ServiceRestore.h"
#include "StandIn.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

const char *const RESOLV_CONF = "/etc/resolv.conf";

[[noreturn]] void invalid()
{
    std::cerr << "** Error: The parameters were not valid." << std::endl;
    std::exit(4);
}

// A VPN's tunnel device is no network service on macOS (nor are its name
// servers a service's): only the other non-loopback interfaces are.
std::vector<standins::Interface> services()
{
    std::vector<standins::Interface> found = standins::interfaces();
    found.erase(
        std::remove_if(found.begin(), found.end(),
                       [](const standins::Interface &interface) { return interface.name == "lo" || interface.tunnel; }),
        found.end());
    return found;
}

standins::Interface requireService(const std::string &name)
{
    if (standins::isInterfaceName(name)) {
        for (const standins::Interface &service : services()) {
            if (service.name == name)
                return service;
        }
    }
    std::cerr << name << " is not a recognized network service." << std::endl;
    invalid();
}

void listServices()
{
    std::cout << "An asterisk (*) denotes that a network service is disabled.\n";
    for (const standins::Interface &service : services())
        std::cout << (service.up ? "" : "*") << service.name << "\n";
}

std::string readResolvConf()
{
    std::ifstream file(RESOLV_CONF, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// The fifth field of a /proc/self/mountinfo line.
std::string mountPoint(const std::string &line)
{
    std::istringstream fields(line);
    std::string field;
    for (int i = 0; i < 5; ++i) {
        if (!(fields >> field))
            return std::string();
    }
    return field;
}

// resolv.conf must be the namespace's own (bind-mounted by 'ip netns exec'),
// never the host's file.
void requireOwnResolvConf()
{
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        if (mountPoint(line) == RESOLV_CONF)
            return;
    }
    std::cerr << "networksetup: refusing to change the host's " << RESOLV_CONF
              << ": it is not the network namespace's own (create /etc/netns/NAME/resolv.conf and run under 'ip "
                 "netns exec')"
              << std::endl;
    std::exit(69);
}

// In place: a bind-mounted file cannot be renamed over.
bool writeResolvConf(const std::string &content)
{
    const int fd = ::open(RESOLV_CONF, O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = standins::writeAll(fd, content);
    return ::close(fd) == 0 && written;
}

void printServers(const std::string &service)
{
    const std::vector<std::string> servers = standins::NameServerFile::parse(readResolvConf()).servers(service);
    if (servers.empty())
        std::cout << "There aren't any DNS Servers set on " << service << ".\n";
    for (const std::string &server : servers)
        std::cout << server << "\n";
}

int setServers(const std::string &service, std::vector<std::string> servers)
{
    if (servers.size() == 1 && servers.front() == "empty")
        servers.clear();
    for (const std::string &server : servers) {
        if (!standins::isIpv4(server) && !standins::isIpv6(server)) {
            std::cerr << server << " is not a valid IP address." << std::endl;
            invalid();
        }
    }
    standins::requireOwnNetworkNamespace("networksetup");
    requireOwnResolvConf();
    standins::NameServerFile file = standins::NameServerFile::parse(readResolvConf());
    file.setServers(service, servers);
    if (writeResolvConf(file.text()))
        return 0;
    std::cerr << "networksetup: cannot write " << RESOLV_CONF << ": " << std::strerror(errno) << std::endl;
    return 1;
}

// Off, a service loses its routes and addresses; on, it gets them back, as
// on macOS (see ServiceRestore).
int setEnabled(const standins::Interface &service, const std::string &state)
{
    if (state != "on" && state != "off")
        invalid();
    standins::requireOwnNetworkNamespace("networksetup");
    const bool on = state == "on";
    std::string error;
    // Once down, the service has nothing left to record: the record made
    // when it went down stays.
    if (!on && service.up && !standins::keepServiceState(service.name, error))
        std::cerr << "networksetup: " << service.name << " will come back without its routes: " << error << std::endl;
    if (!(on ? standins::bringServiceUp(service.name, error) : standins::setLinkUp(service.name, false, error))) {
        std::cerr << "** Error: " << error << std::endl;
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::cerr << "Usage: networksetup -listallnetworkservices | -getdnsservers SERVICE | ..." << std::endl;
        return 1;
    }
    std::string command = argv[1];
    if (!command.empty() && command[0] == '-')
        command.erase(0, 1);
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    if (command == "listallnetworkservices") {
        if (!arguments.empty())
            invalid();
        listServices();
    } else if (command == "getnetworkserviceenabled") {
        if (arguments.size() != 1)
            invalid();
        std::cout << (requireService(arguments[0]).up ? "Enabled" : "Disabled") << "\n";
    } else if (command == "setnetworkserviceenabled") {
        if (arguments.size() != 2)
            invalid();
        return setEnabled(requireService(arguments[0]), arguments[1]);
    } else if (command == "getdnsservers") {
        if (arguments.size() != 1)
            invalid();
        printServers(requireService(arguments[0]).name);
    } else if (command == "setdnsservers") {
        if (arguments.size() < 2)
            invalid();
        return setServers(requireService(arguments[0]).name, {arguments.begin() + 1, arguments.end()});
    } else {
        std::cerr << "Error: " << command << " is not a valid command." << std::endl;
        return 1;
    }
    return 0;
}

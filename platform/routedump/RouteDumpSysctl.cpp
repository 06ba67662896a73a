#include "routedump/RouteDumpSysctl.h"

#include "system/BsdRouteLayout.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <net/if.h>
#include <sstream>
#include <utility>

namespace orvalplatform {
namespace {

// Linux rtentry flags as /proc/net/route prints them.
constexpr std::uint32_t LinuxUp = 0x1;
constexpr std::uint32_t LinuxGateway = 0x2;
constexpr std::uint32_t LinuxHost = 0x4;
constexpr std::uint32_t LinuxReject = 0x200;

struct ProcRoute
{
    std::string iface;
    std::uint32_t destination = 0; // network byte order, as printed
    std::uint32_t gateway = 0;
    std::uint32_t flags = 0;
    std::uint32_t use = 0;
    std::uint32_t metric = 0;
    std::uint32_t mask = 0;
    std::uint32_t mtu = 0;
};

std::vector<ProcRoute> parseProcNetRoute(const std::string &text)
{
    std::vector<ProcRoute> routes;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line); // header
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        ProcRoute route;
        std::uint32_t refCount = 0;
        fields >> route.iface >> std::hex >> route.destination >> route.gateway >> route.flags >> std::dec >> refCount
            >> route.use >> route.metric >> std::hex >> route.mask >> std::dec >> route.mtu;
        if (fields.fail())
            continue;
        if (!route.iface.empty())
            routes.push_back(route);
    }
    return routes;
}

template<typename T>
void put(std::vector<unsigned char> &out, std::size_t offset, T value)
{
    std::memcpy(out.data() + offset, &value, sizeof value);
}

// The printed hex number is the address's bytes read in host order: copying it
// back keeps the bytes in network order.
void putSockaddrIn(std::vector<unsigned char> &out, std::uint32_t address)
{
    const std::size_t at = out.size();
    out.resize(at + BsdRoute::SockaddrIn::Size, 0);
    out[at + BsdRoute::SockaddrIn::Len] = BsdRoute::SockaddrIn::Size;
    out[at + BsdRoute::SockaddrIn::Family] = BsdRoute::Family::Inet;
    put(out, at + BsdRoute::SockaddrIn::Address, address);
}

void putSockaddrDl(std::vector<unsigned char> &out, unsigned index)
{
    const std::size_t at = out.size();
    out.resize(at + BsdRoute::SockaddrDl::Size, 0);
    out[at] = BsdRoute::SockaddrDl::Size;
    out[at + 1] = BsdRoute::Family::Link;
    put(out, at + BsdRoute::SockaddrDl::Index, static_cast<std::uint16_t>(index));
}

// A zero mask is sent as an empty socket address (length 0, padded to 4), as macOS does.
void putNetmask(std::vector<unsigned char> &out, std::uint32_t mask)
{
    if (mask == 0)
        out.resize(out.size() + BsdRoute::roundUp(0), 0);
    else
        putSockaddrIn(out, mask);
}

void appendMessage(std::vector<unsigned char> &dump, const ProcRoute &route, bool scoped, unsigned index)
{
    std::vector<unsigned char> message(BsdRoute::Header::Size, 0);
    std::uint32_t flags = 0;
    flags |= (route.flags & LinuxUp) ? BsdRoute::Flag::Up : 0;
    flags |= (route.flags & LinuxGateway) ? BsdRoute::Flag::Gateway : 0;
    flags |= (route.flags & LinuxHost) ? BsdRoute::Flag::Host : 0;
    flags |= (route.flags & LinuxReject) ? BsdRoute::Flag::Reject : 0;
    flags |= scoped ? BsdRoute::Flag::IfScope : 0;
    const bool host = route.flags & LinuxHost;
    const std::uint32_t addrs = BsdRoute::Addr::Dst | BsdRoute::Addr::Gateway | (host ? 0 : BsdRoute::Addr::Netmask);

    putSockaddrIn(message, route.destination);
    if (route.flags & LinuxGateway)
        putSockaddrIn(message, route.gateway);
    else
        putSockaddrDl(message, index);
    if (!host)
        putNetmask(message, route.mask);

    put(message, BsdRoute::Header::MsgLen, static_cast<std::uint16_t>(message.size()));
    message[BsdRoute::Header::Version] = BsdRoute::MessageVersion;
    message[BsdRoute::Header::Type] = BsdRoute::MessageTypeGet;
    put(message, BsdRoute::Header::Index, static_cast<std::uint16_t>(index));
    put(message, BsdRoute::Header::Flags, flags);
    put(message, BsdRoute::Header::Addrs, addrs);
    put(message, BsdRoute::Header::Use, route.use);
    put(message, BsdRoute::Header::MetricsMtu, route.mtu);
    dump.insert(dump.end(), message.begin(), message.end());
}

bool readFile(const char *path, std::string &text)
{
    std::ifstream file(path);
    if (!file)
        return false;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

} // namespace

std::vector<unsigned char> routeDumpFromProcNetRoute(const std::string &text,
                                                     const std::function<unsigned(const std::string &)> &indexOf)
{
    const std::vector<ProcRoute> routes = parseProcNetRoute(text);
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::size_t> primary; // (destination, mask) -> route
    for (std::size_t i = 0; i < routes.size(); ++i) {
        const auto key = std::make_pair(routes[i].destination, routes[i].mask);
        const auto found = primary.find(key);
        if (found == primary.end() || routes[i].metric < routes[found->second].metric)
            primary[key] = i;
    }
    std::vector<unsigned char> dump;
    for (std::size_t i = 0; i < routes.size(); ++i) {
        const ProcRoute &route = routes[i];
        const bool scoped = primary[std::make_pair(route.destination, route.mask)] != i;
        appendMessage(dump, route, scoped, route.iface == "*" ? 0 : indexOf(route.iface));
    }
    return dump;
}

int sysctl(int *name, unsigned nameLength, void *oldValue, std::size_t *oldLength, void *newValue,
           std::size_t newLength)
{
    const int dumpName[BsdRoute::DumpNameLength] = {BsdRoute::CtlNet,       BsdRoute::PfRoute,   0,
                                                    BsdRoute::Family::Inet, BsdRoute::NetRtDump, 0};
    if (!name || nameLength != BsdRoute::DumpNameLength || std::memcmp(name, dumpName, sizeof dumpName) != 0
        || !oldLength) {
        errno = ENOTSUP;
        return -1;
    }
    if (newValue || newLength) {
        errno = EPERM;
        return -1;
    }
    std::string text;
    if (!readFile("/proc/net/route", text)) {
        errno = EIO;
        return -1;
    }
    const std::vector<unsigned char> dump =
        routeDumpFromProcNetRoute(text, [](const std::string &iface) { return if_nametoindex(iface.c_str()); });
    if (!oldValue) {
        *oldLength = dump.size();
        return 0;
    }
    if (*oldLength < dump.size()) {
        errno = ENOMEM;
        return -1;
    }
    if (!dump.empty())
        std::memcpy(oldValue, dump.data(), dump.size());
    *oldLength = dump.size();
    return 0;
}

} // namespace orvalplatform

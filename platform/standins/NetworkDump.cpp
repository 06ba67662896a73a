#include "NetworkDump.h"

#include "NetlinkRequest.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <map>

namespace standins {

namespace {

using Attributes = std::map<unsigned short, std::string>;

// Flags a new address may be given; the others are the kernel's state.
const unsigned SETTABLE_ADDRESS_FLAGS =
    IFA_F_NODAD | IFA_F_HOMEADDRESS | IFA_F_MANAGETEMPADDR | IFA_F_NOPREFIXROUTE | IFA_F_MCAUTOJOIN | IFA_F_OPTIMISTIC;

int familyOf(bool ipv6)
{
    return ipv6 ? AF_INET6 : AF_INET;
}

size_t sizeOf(bool ipv6)
{
    return ipv6 ? sizeof(in6_addr) : sizeof(in_addr);
}

std::string addressText(bool ipv6, const Attributes &attributes, unsigned short type)
{
    const auto found = attributes.find(type);
    char text[INET6_ADDRSTRLEN] = {};
    if (found == attributes.end() || found->second.size() != sizeOf(ipv6)
        || !::inet_ntop(familyOf(ipv6), found->second.data(), text, sizeof text))
        return std::string();
    return text;
}

template<typename T>
std::optional<T> number(const Attributes &attributes, unsigned short type)
{
    const auto found = attributes.find(type);
    if (found == attributes.end() || found->second.size() != sizeof(T))
        return std::nullopt;
    T value {};
    std::memcpy(&value, found->second.data(), sizeof value);
    return value;
}

bool has(const Attributes &attributes, unsigned short type)
{
    return attributes.count(type) != 0;
}

AddressEntry addressFrom(const nlmsghdr &message)
{
    const ifaddrmsg &header = *static_cast<const ifaddrmsg *>(NLMSG_DATA(&message));
    const Attributes attributes = NetlinkRequest::attributes(message, sizeof header);
    AddressEntry entry;
    entry.index = header.ifa_index;
    entry.ipv6 = header.ifa_family == AF_INET6;
    entry.prefixLength = header.ifa_prefixlen;
    entry.scope = header.ifa_scope;
    entry.flags = number<uint32_t>(attributes, IFA_FLAGS).value_or(header.ifa_flags);
    const std::string address = addressText(entry.ipv6, attributes, IFA_ADDRESS);
    entry.local = addressText(entry.ipv6, attributes, IFA_LOCAL);
    if (entry.local.empty())
        entry.local = address;
    else if (address != entry.local)
        entry.peer = address;
    entry.broadcast = addressText(entry.ipv6, attributes, IFA_BROADCAST);
    const auto label = attributes.find(IFA_LABEL);
    if (label != attributes.end())
        entry.label = std::string(label->second.c_str());
    if (const std::optional<uint8_t> protocol = number<uint8_t>(attributes, IFA_PROTO))
        entry.protocol = *protocol;
    entry.metric = number<uint32_t>(attributes, IFA_RT_PRIORITY);
    return entry;
}

RouteEntry routeFrom(const nlmsghdr &message)
{
    const rtmsg &header = *static_cast<const rtmsg *>(NLMSG_DATA(&message));
    const Attributes attributes = NetlinkRequest::attributes(message, sizeof header);
    RouteEntry entry;
    entry.ipv6 = header.rtm_family == AF_INET6;
    entry.table = number<uint32_t>(attributes, RTA_TABLE).value_or(header.rtm_table);
    entry.index = number<uint32_t>(attributes, RTA_OIF).value_or(0);
    entry.plain = header.rtm_src_len == 0 && !has(attributes, RTA_MULTIPATH) && !has(attributes, RTA_NH_ID)
                  && !has(attributes, RTA_VIA) && !has(attributes, RTA_ENCAP);
    entry.destination = addressText(entry.ipv6, attributes, RTA_DST);
    if (entry.destination.empty())
        entry.destination = entry.ipv6 ? "::" : "0.0.0.0";
    entry.prefixLength = header.rtm_dst_len;
    entry.tos = header.rtm_tos;
    entry.protocol = header.rtm_protocol;
    entry.scope = header.rtm_scope;
    entry.type = header.rtm_type;
    entry.flags = header.rtm_flags;
    entry.gateway = addressText(entry.ipv6, attributes, RTA_GATEWAY);
    entry.source = addressText(entry.ipv6, attributes, RTA_PREFSRC);
    entry.priority = number<uint32_t>(attributes, RTA_PRIORITY);
    if (const std::optional<uint8_t> preference = number<uint8_t>(attributes, RTA_PREF))
        entry.preference = *preference;
    const auto metrics = attributes.find(RTA_METRICS);
    if (metrics != attributes.end())
        entry.metrics = metrics->second;
    return entry;
}

template<typename Header, typename Entry>
bool dump(unsigned short type, unsigned char Header::*family, Entry (*read)(const nlmsghdr &),
          std::vector<Entry> &entries, std::string &error)
{
    for (const unsigned char each : {AF_INET, AF_INET6}) {
        Header header {};
        header.*family = each;
        const int result = NetlinkRequest(type, NLM_F_DUMP, &header, sizeof header).dump([&](const nlmsghdr &message) {
            if (message.nlmsg_len >= NLMSG_LENGTH(sizeof(Header)))
                entries.push_back(read(message));
        });
        if (result != 0) {
            error = std::strerror(result);
            return false;
        }
    }
    return true;
}

bool addBinary(NetlinkRequest &request, unsigned short type, bool ipv6, const std::string &address)
{
    unsigned char bytes[sizeof(in6_addr)] = {};
    return ::inet_pton(familyOf(ipv6), address.c_str(), bytes) == 1 && request.add(type, bytes, sizeOf(ipv6));
}

// An attribute of the kernel's width T for a value that may be absent: true
// when there is none to add.
template<typename T, typename V>
bool addNumber(NetlinkRequest &request, unsigned short type, const std::optional<V> &value)
{
    if (!value)
        return true;
    const T number = static_cast<T>(*value);
    return request.add(type, &number, sizeof number);
}

int sent(const NetlinkRequest &request, bool built)
{
    return built ? request.send() : EINVAL;
}

} // namespace

bool dumpAddresses(std::vector<AddressEntry> &addresses, std::string &error)
{
    return dump(RTM_GETADDR, &ifaddrmsg::ifa_family, addressFrom, addresses, error);
}

bool dumpRoutes(std::vector<RouteEntry> &routes, std::string &error)
{
    return dump(RTM_GETROUTE, &rtmsg::rtm_family, routeFrom, routes, error);
}

unsigned linkUpCount(unsigned index)
{
    ifinfomsg header {};
    header.ifi_index = static_cast<int>(index);
    std::optional<unsigned> count;
    const int result =
        NetlinkRequest(RTM_GETLINK, NLM_F_ACK, &header, sizeof header).dump([&](const nlmsghdr &message) {
            if (message.nlmsg_type == RTM_NEWLINK && message.nlmsg_len >= NLMSG_LENGTH(sizeof header))
                count = number<uint32_t>(NetlinkRequest::attributes(message, sizeof header), IFLA_CARRIER_UP_COUNT);
        });
    return result == 0 ? count.value_or(0) : 0;
}

int addAddress(const AddressEntry &address, unsigned index)
{
    const unsigned flags = address.flags & SETTABLE_ADDRESS_FLAGS;
    ifaddrmsg header {};
    header.ifa_family = static_cast<unsigned char>(familyOf(address.ipv6));
    header.ifa_prefixlen = static_cast<unsigned char>(address.prefixLength);
    header.ifa_flags = static_cast<unsigned char>(flags & 0xff);
    header.ifa_scope = static_cast<unsigned char>(address.scope);
    header.ifa_index = index;
    NetlinkRequest request(RTM_NEWADDR, NLM_F_ACK | NLM_F_CREATE | NLM_F_EXCL, &header, sizeof header);
    const bool built =
        addBinary(request, IFA_LOCAL, address.ipv6, address.local)
        && addBinary(request, IFA_ADDRESS, address.ipv6, address.peer.empty() ? address.local : address.peer)
        && request.add(IFA_FLAGS, &flags, sizeof flags)
        && (address.broadcast.empty() || addBinary(request, IFA_BROADCAST, address.ipv6, address.broadcast))
        && (address.label.empty() || request.add(IFA_LABEL, address.label.c_str(), address.label.size() + 1))
        && addNumber<uint32_t>(request, IFA_RT_PRIORITY, address.metric)
        && addNumber<uint8_t>(request, IFA_PROTO, address.protocol);
    return sent(request, built);
}

int addRoute(const RouteEntry &route, unsigned index)
{
    rtmsg header {};
    header.rtm_family = static_cast<unsigned char>(familyOf(route.ipv6));
    header.rtm_dst_len = static_cast<unsigned char>(route.prefixLength);
    header.rtm_tos = static_cast<unsigned char>(route.tos);
    header.rtm_table = RT_TABLE_MAIN;
    header.rtm_protocol = static_cast<unsigned char>(route.protocol);
    header.rtm_scope = static_cast<unsigned char>(route.scope);
    header.rtm_type = static_cast<unsigned char>(route.type);
    header.rtm_flags = route.flags & RTNH_F_ONLINK;
    NetlinkRequest request(RTM_NEWROUTE, NLM_F_ACK | NLM_F_CREATE | NLM_F_EXCL, &header, sizeof header);
    const bool built =
        addBinary(request, RTA_DST, route.ipv6, route.destination) && request.add(RTA_OIF, &index, sizeof index)
        && (route.gateway.empty() || addBinary(request, RTA_GATEWAY, route.ipv6, route.gateway))
        && (route.source.empty() || addBinary(request, RTA_PREFSRC, route.ipv6, route.source))
        && addNumber<uint32_t>(request, RTA_PRIORITY, route.priority)
        && addNumber<uint8_t>(request, RTA_PREF, route.preference)
        && (route.metrics.empty() || request.add(RTA_METRICS, route.metrics.data(), route.metrics.size()));
    return sent(request, built);
}

} // namespace standins

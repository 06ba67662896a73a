#include "ServiceRecord.h"

#include <algorithm>
#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <regex>
#include <sstream>

namespace standins {

namespace {

const std::string HEADER = "networksetup service record 1";
const std::string END = "end";
const std::string NONE = "-";
// Far above what a route's metrics attribute holds (a few numbers).
const size_t MOST_METRICS_BYTES = 256;

std::string orNone(const std::string &text)
{
    return text.empty() ? NONE : text;
}

template<typename T>
std::string orNone(const std::optional<T> &value)
{
    return value ? std::to_string(*value) : NONE;
}

std::string hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xf];
    }
    return text;
}

// The words of a record line, read back strictly.
class Fields
{
public:
    explicit Fields(const std::string &line)
    {
        std::istringstream stream(line);
        for (std::string word; stream >> word;)
            m_words.push_back(word);
    }

    size_t size() const { return m_words.size(); }
    const std::string &word(size_t at) const { return m_words.at(at); }

    // A decimal number up to `most`, no sign, no blanks.
    bool number(size_t at, unsigned long long most, unsigned long long &value) const
    {
        const std::string &text = word(at);
        if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
            return false;
        value = std::stoull(text);
        return value <= most;
    }

    template<typename T>
    bool number(size_t at, unsigned long long most, T &value) const
    {
        unsigned long long read = 0;
        if (!number(at, most, read))
            return false;
        value = static_cast<T>(read);
        return true;
    }

    template<typename T>
    bool optionalNumber(size_t at, unsigned long long most, std::optional<T> &value) const
    {
        if (word(at) == NONE) {
            value.reset();
            return true;
        }
        T read {};
        if (!number(at, most, read))
            return false;
        value = read;
        return true;
    }

    bool family(size_t at, bool &ipv6) const
    {
        ipv6 = word(at) == "6";
        return ipv6 || word(at) == "4";
    }

    // An address of the family, kept in its canonical form; "-" when
    // `optional` allows none.
    bool address(size_t at, bool ipv6, bool optional, std::string &value) const
    {
        if (optional && word(at) == NONE) {
            value.clear();
            return true;
        }
        unsigned char bytes[sizeof(in6_addr)] = {};
        char text[INET6_ADDRSTRLEN] = {};
        const int family = ipv6 ? AF_INET6 : AF_INET;
        if (::inet_pton(family, word(at).c_str(), bytes) != 1 || !::inet_ntop(family, bytes, text, sizeof text))
            return false;
        value = text;
        return true;
    }

    bool label(size_t at, std::string &value) const
    {
        static const std::regex allowed("[A-Za-z0-9][A-Za-z0-9._:-]{0,14}");
        value = word(at) == NONE ? std::string() : word(at);
        return value.empty() || std::regex_match(value, allowed);
    }

    bool bytes(size_t at, std::string &value) const
    {
        value.clear();
        const std::string &text = word(at);
        if (text == NONE)
            return true;
        if (text.size() % 2 != 0 || text.size() > 2 * MOST_METRICS_BYTES
            || text.find_first_not_of("0123456789abcdef") != std::string::npos)
            return false;
        for (size_t i = 0; i < text.size(); i += 2)
            value += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
        return true;
    }

private:
    std::vector<std::string> m_words;
};

std::string addressLine(const AddressEntry &address)
{
    std::ostringstream line;
    line << "address " << (address.ipv6 ? "6" : "4") << ' ' << address.local << ' ' << address.prefixLength << ' '
         << orNone(address.peer) << ' ' << orNone(address.broadcast) << ' ' << orNone(address.label) << ' '
         << address.flags << ' ' << address.scope << ' ' << orNone(address.protocol) << ' ' << orNone(address.metric);
    return line.str();
}

bool parseAddress(const Fields &fields, AddressEntry &address)
{
    return fields.size() == 11 && fields.family(1, address.ipv6)
           && fields.address(2, address.ipv6, false, address.local)
           && fields.number(3, address.ipv6 ? 128 : 32, address.prefixLength)
           && fields.address(4, address.ipv6, true, address.peer)
           && fields.address(5, address.ipv6, true, address.broadcast) && fields.label(6, address.label)
           && fields.number(7, 0xffffffffu, address.flags) && fields.number(8, 255, address.scope)
           && fields.optionalNumber(9, 255, address.protocol) && fields.optionalNumber(10, 0xffffffffu, address.metric);
}

std::string routeLine(const RouteEntry &route)
{
    std::ostringstream line;
    line << "route " << (route.ipv6 ? "6" : "4") << ' ' << route.destination << ' ' << route.prefixLength << ' '
         << route.tos << ' ' << route.protocol << ' ' << route.scope << ' ' << route.type << ' ' << route.flags << ' '
         << orNone(route.gateway) << ' ' << orNone(route.source) << ' ' << orNone(route.priority) << ' '
         << orNone(route.preference) << ' ' << orNone(hex(route.metrics));
    return line.str();
}

bool parseRoute(const Fields &fields, RouteEntry &route)
{
    route.table = RT_TABLE_MAIN;
    return fields.size() == 14 && fields.family(1, route.ipv6)
           && fields.address(2, route.ipv6, false, route.destination)
           && fields.number(3, route.ipv6 ? 128 : 32, route.prefixLength) && fields.number(4, 255, route.tos)
           && fields.number(5, 255, route.protocol) && fields.number(6, 255, route.scope)
           && fields.number(7, 255, route.type) && fields.number(8, 0xffffffffu, route.flags)
           && fields.address(9, route.ipv6, true, route.gateway) && fields.address(10, route.ipv6, true, route.source)
           && fields.optionalNumber(11, 0xffffffffu, route.priority) && fields.optionalNumber(12, 255, route.preference)
           && fields.bytes(13, route.metrics);
}

// The kernel's own: made with an address or a link, or learnt from the network.
bool madeByTheKernel(int protocol)
{
    return protocol == RTPROT_KERNEL || protocol == RTPROT_REDIRECT || protocol == RTPROT_RA;
}

// The routes the kernel holds only one of: a second is refused as existing.
bool sameKey(const RouteEntry &a, const RouteEntry &b)
{
    return a.ipv6 == b.ipv6 && a.prefixLength == b.prefixLength && a.tos == b.tos
           && a.priority.value_or(0) == b.priority.value_or(0) && sameAddress(a.ipv6, a.destination, b.destination);
}

} // namespace

ServiceRecord ServiceRecord::of(const std::string &service, const std::string &owner, unsigned index, unsigned upCount,
                                const std::vector<AddressEntry> &addresses, const std::vector<RouteEntry> &routes)
{
    ServiceRecord record;
    record.m_service = service;
    record.m_owner = owner;
    record.m_index = index;
    record.m_upCount = upCount;
    for (AddressEntry address : addresses) {
        // Addresses with a lifetime come back through the autoconfiguration that made them.
        if (address.index != index || !(address.flags & IFA_F_PERMANENT)
            || (address.ipv6 && address.scope == RT_SCOPE_LINK))
            continue;
        if (address.label == service)
            address.label.clear();
        record.m_addresses.push_back(address);
    }
    for (const RouteEntry &route : routes) {
        if (route.index == index && route.plain && route.table == RT_TABLE_MAIN && !madeByTheKernel(route.protocol)
            && !(route.flags & RTM_F_CLONED))
            record.m_routes.push_back(route);
    }
    return record;
}

std::string ServiceRecord::text() const
{
    std::string text = HEADER + "\nservice " + m_service + "\nowner " + m_owner + "\nlink " + std::to_string(m_index)
                       + " " + std::to_string(m_upCount) + "\n";
    for (const AddressEntry &address : m_addresses)
        text += addressLine(address) + "\n";
    for (const RouteEntry &route : m_routes)
        text += routeLine(route) + "\n";
    return text + END + "\n";
}

bool ServiceRecord::parse(const std::string &text, ServiceRecord &record)
{
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != HEADER)
        return false;
    ServiceRecord read;
    bool ended = false;
    bool linked = false;
    while (!ended && std::getline(lines, line)) {
        const Fields fields(line);
        if (fields.size() == 0)
            return false;
        const std::string &kind = fields.word(0);
        if (kind == END && fields.size() == 1) {
            ended = true;
        } else if (kind == "service" && fields.size() == 2 && read.m_service.empty()
                   && isInterfaceName(fields.word(1))) {
            read.m_service = fields.word(1);
        } else if (kind == "owner" && fields.size() == 2 && read.m_owner.empty()) {
            read.m_owner = fields.word(1);
        } else if (kind == "link" && fields.size() == 3 && !linked) {
            linked = fields.number(1, 0xffffffffu, read.m_index) && fields.number(2, 0xffffffffu, read.m_upCount);
            if (!linked)
                return false;
        } else if (kind == "address") {
            read.m_addresses.emplace_back();
            if (!parseAddress(fields, read.m_addresses.back()))
                return false;
        } else if (kind == "route") {
            read.m_routes.emplace_back();
            if (!parseRoute(fields, read.m_routes.back()))
                return false;
        } else {
            return false;
        }
    }
    if (!ended || !linked || lines.peek() != std::char_traits<char>::eof() || read.m_service.empty()
        || read.m_owner.empty())
        return false;
    record = read;
    return true;
}

std::vector<AddressEntry> ServiceRecord::missingAddresses(unsigned index,
                                                          const std::vector<AddressEntry> &current) const
{
    std::vector<AddressEntry> missing;
    for (const AddressEntry &address : m_addresses) {
        const bool present = std::any_of(current.begin(), current.end(), [&](const AddressEntry &other) {
            return other.index == index && other.ipv6 == address.ipv6 && other.prefixLength == address.prefixLength
                   && sameAddress(address.ipv6, other.local, address.local);
        });
        if (!present)
            missing.push_back(address);
    }
    return missing;
}

std::vector<RouteEntry> ServiceRecord::missingRoutes(const std::vector<RouteEntry> &current) const
{
    std::vector<RouteEntry> missing;
    for (const RouteEntry &route : m_routes) {
        const bool present = std::any_of(current.begin(), current.end(), [&](const RouteEntry &other) {
            return other.table == RT_TABLE_MAIN && sameKey(route, other);
        });
        if (!present)
            missing.push_back(route);
    }
    // A gateway is reachable only once the routes on the link are there.
    std::stable_partition(missing.begin(), missing.end(),
                          [](const RouteEntry &route) { return route.gateway.empty(); });
    return missing;
}

bool ServiceRecord::forget(const RouteChange &deletion)
{
    const auto named = [&deletion](const RouteEntry &route) {
        return route.ipv6 == deletion.ipv6 && route.prefixLength == deletion.prefixLength
               && (deletion.type == RTN_UNICAST || route.type == deletion.type)
               && sameAddress(route.ipv6, route.destination, deletion.address);
    };
    const auto kept = std::remove_if(m_routes.begin(), m_routes.end(), named);
    const bool dropped = kept != m_routes.end();
    m_routes.erase(kept, m_routes.end());
    return dropped;
}

} // namespace standins

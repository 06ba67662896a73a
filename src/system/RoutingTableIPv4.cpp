#include "system/RoutingTableIPv4.h"

#include "system/BsdRouteLayout.h"
#include "system/RoutingTableIPv4Exception.h"
#include "system/SystemLogging.h"

#include <QDebug>
#include <algorithm>
#include <cstring>
#include <net/if.h>
#include <new>

#ifdef __APPLE__
#include <sys/sysctl.h>
#else
#include "routedump/RouteDumpSysctl.h"
#endif

namespace {

constexpr int FetchAttempts = 4;

template<typename T>
T readAt(const unsigned char *data, std::size_t offset)
{
    T value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

quint32 ipv4At(const unsigned char *data, std::size_t offset)
{
    return quint32(data[offset]) << 24 | quint32(data[offset + 1]) << 16 | quint32(data[offset + 2]) << 8
           | quint32(data[offset + 3]);
}

void skip(const char *reason)
{
    qCDebug(lcSystem).noquote() << reason;
}

// One routing message, bounded by its own length, with the offsets of its
// destination, gateway and netmask addresses (0 when absent or cut off).
class RouteMessage
{
public:
    RouteMessage(const unsigned char *data, std::size_t length)
        : m_data(data)
        , m_length(length)
    {
        std::size_t offset = BsdRoute::Header::Size;
        for (int bit = 0; bit < BsdRoute::Addr::Count && offset < length; ++bit) {
            if (!(addrs() & (1u << bit)))
                continue;
            if (bit < 3)
                m_addressOffsets[bit] = offset;
            offset += BsdRoute::roundUp(data[offset]);
        }
    }

    quint32 flags() const { return readAt<quint32>(m_data, BsdRoute::Header::Flags); }
    quint32 addrs() const { return readAt<quint32>(m_data, BsdRoute::Header::Addrs); }
    unsigned index() const { return readAt<quint16>(m_data, BsdRoute::Header::Index); }

    // Offset of the address for rtm_addrs bit 0 (destination), 1 (gateway) or 2 (netmask).
    std::size_t address(int bit) const { return m_addressOffsets[bit]; }
    int lengthByte(std::size_t offset) const { return m_data[offset]; }
    bool holds(std::size_t offset, std::size_t bytes) const { return offset + bytes <= m_length; }
    int family(std::size_t offset) const { return m_data[offset + BsdRoute::SockaddrIn::Family]; }
    quint32 ipv4(std::size_t offset) const { return ipv4At(m_data, offset + BsdRoute::SockaddrIn::Address); }

    // The netmask copied over a zero-filled sockaddr_in: the kernel may give fewer bytes.
    quint32 mask(std::size_t offset) const
    {
        unsigned char full[BsdRoute::SockaddrIn::Size] = {};
        std::memcpy(full, m_data + offset, std::min<std::size_t>(m_data[offset], sizeof full));
        return ipv4At(full, BsdRoute::SockaddrIn::Address);
    }

private:
    const unsigned char *m_data;
    std::size_t m_length;
    std::size_t m_addressOffsets[3] = {0, 0, 0};
};

void appendRtmEntry(const RouteMessage &message, const RoutingTableIPv4::InterfaceNames &names,
                    QList<Route4Entry> &entries)
{
    const quint32 flags = message.flags();
    if (!(flags & BsdRoute::Flag::Up))
        return skip("Skipping down route");
    if (flags & BsdRoute::Flag::LlInfo)
        return skip("Skipping route with flag RTF_LLINFO");

    const std::size_t dst = message.address(0);
    if (!(message.addrs() & BsdRoute::Addr::Dst) || !dst || !message.holds(dst, 2))
        return skip("Skipping route without destination");
    if (message.family(dst) != BsdRoute::Family::Inet) {
        qCDebug(lcSystem).noquote() << "Skipping route with Destination family"
                                    << RoutingTableIPv4::family_to_str(message.family(dst));
        return;
    }
    if (message.lengthByte(dst) < int(BsdRoute::SockaddrIn::Size) || !message.holds(dst, BsdRoute::SockaddrIn::Size))
        return skip("Skipping route without destination");
    const QHostAddress destination(message.ipv4(dst));

    const std::size_t gw = message.address(1);
    if (!(message.addrs() & BsdRoute::Addr::Gateway) || !gw || !message.holds(gw, 1)
        || message.lengthByte(gw) < int(BsdRoute::SockaddrIn::Size) || !message.holds(gw, BsdRoute::SockaddrIn::Size))
        return skip("Skipping route without gateway");
    QHostAddress gateway;
    if (message.family(gw) == BsdRoute::Family::Inet) {
        gateway = QHostAddress(message.ipv4(gw));
    } else if (message.family(gw) != BsdRoute::Family::Link) {
        qCDebug(lcSystem).noquote() << "Skipping route with Gateway Family"
                                    << RoutingTableIPv4::family_to_str(message.family(gw));
        return;
    }

    quint32 mask = 0xffffffff;
    if (!(flags & BsdRoute::Flag::Host)) {
        const std::size_t nm = message.address(2);
        if (!(message.addrs() & BsdRoute::Addr::Netmask) || !nm)
            return skip("Skipping route without netmask");
        if (!message.holds(nm, 1) || !message.holds(nm, std::min<std::size_t>(message.lengthByte(nm), 16)))
            return skip("Skipping route with truncated netmask");
        mask = message.mask(nm);
    }

    const QString iface = names(message.index());
    if (iface.isEmpty())
        return skip("Skipping route with unknown interface");

    const Route4Entry entry(iface, destination, mask, gateway, (flags & BsdRoute::Flag::IfScope) ? 2 : 1);
    qCDebug(lcSystem).noquote() << "Add route:" << entry.toString();
    entries.append(entry);
}

} // namespace

RoutingTableIPv4::RoutingTableIPv4()
    : RoutingTableIPv4(systemSysctl, systemInterfaceName)
{
}

RoutingTableIPv4::RoutingTableIPv4(const Sysctl &sysctl, const InterfaceNames &names)
{
    initializeRouteTreeBuf(sysctl);
    qCDebug(lcSystem) << "Parsing Route Table";
    try {
        m_entries = parseDump(m_buffer.data(), m_length, names);
    } catch (const std::exception &e) {
        m_buffer = {};
        m_length = 0;
        throw RoutingTableIPv4Exception(QStringLiteral("RoutingTableIPv4 constructor"),
                                        QStringLiteral("Cannot parse Routing Table - Nested exception: ")
                                            + QString::fromLocal8Bit(e.what()));
    }
}

Routes4 RoutingTableIPv4::getRoutes4() const
{
    return Routes4(m_entries);
}

void RoutingTableIPv4::initializeRouteTreeBuf(const Sysctl &sysctl)
{
    int name[BsdRoute::DumpNameLength] = {BsdRoute::CtlNet,       BsdRoute::PfRoute,   0,
                                          BsdRoute::Family::Inet, BsdRoute::NetRtDump, 0};
    for (int attempt = 0; attempt < FetchAttempts; ++attempt) {
        if (sysctl(name, BsdRoute::DumpNameLength, nullptr, &m_length, nullptr, 0) < 0)
            qCDebug(lcSystem) << "Warning: sysctl: net.route.0.0.dump estimate failed";
        try {
            // Never a zero-sized buffer: a null buffer would ask for the estimate again.
            m_buffer.assign(std::max<std::size_t>(m_length, 1), 0);
        } catch (const std::bad_alloc &) {
            qCDebug(lcSystem) << "Warning: malloc() failed";
            m_buffer = {};
            continue;
        }
        std::size_t fetched = m_buffer.size();
        if (sysctl(name, BsdRoute::DumpNameLength, m_buffer.data(), &fetched, nullptr, 0) == 0) {
            m_length = std::min(fetched, m_buffer.size());
            return;
        }
        qCDebug(lcSystem) << "Warning: sysctl: net.route.0.0.dump failed";
    }
    m_buffer = {};
    m_length = 0;
    throw RoutingTableIPv4Exception(QStringLiteral("getRouteTree"), QStringLiteral("sysctl error"));
}

QList<Route4Entry> RoutingTableIPv4::parseDump(const unsigned char *data, std::size_t length,
                                               const InterfaceNames &names)
{
    QList<Route4Entry> entries;
    std::size_t position = 0;
    while (position < length) {
        const std::size_t remaining = length - position;
        const std::size_t messageLength = remaining >= 2 ? readAt<quint16>(data, position) : 0;
        if (messageLength == 0 || messageLength > remaining) {
            qCDebug(lcSystem).noquote() << QStringLiteral(
                                               "Route dump damaged at byte %1: message length %2 with %3 bytes left, "
                                               "rest of the dump ignored")
                                               .arg(position)
                                               .arg(messageLength)
                                               .arg(remaining);
            break;
        }
        if (messageLength < BsdRoute::Header::Size)
            skip("Skipping route message shorter than its header");
        else
            appendRtmEntry(RouteMessage(data + position, messageLength), names, entries);
        position += messageLength;
    }
    return entries;
}

QString RoutingTableIPv4::family_to_str(int family)
{
    switch (family) {
    case BsdRoute::Family::Inet: return QStringLiteral("AF_INET");
    case BsdRoute::Family::Iso: return QStringLiteral("ISO");
    case BsdRoute::Family::X25: return QStringLiteral("X.25");
    case BsdRoute::Family::AppleTalk: return QStringLiteral("AppleTalk");
    case BsdRoute::Family::Inet6: return QStringLiteral("AF_INET6");
    default: return QStringLiteral("Unknown");
    }
}

QString RoutingTableIPv4::systemInterfaceName(unsigned index)
{
    char name[IF_NAMESIZE] = {};
    return if_indextoname(index, name) ? QString::fromLocal8Bit(name) : QString();
}

int RoutingTableIPv4::systemSysctl(int *name, unsigned nameLength, void *oldValue, std::size_t *oldLength,
                                   void *newValue, std::size_t newLength)
{
#ifdef __APPLE__
    return ::sysctl(name, nameLength, oldValue, oldLength, newValue, newLength);
#else
    return orvalplatform::sysctl(name, nameLength, oldValue, oldLength, newValue, newLength);
#endif
}

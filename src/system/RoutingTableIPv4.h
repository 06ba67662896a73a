#pragma once

#include "system/Route4Entry.h"
#include "system/Routes4.h"

#include <QList>
#include <cstddef>
#include <functional>
#include <vector>

// The kernel's IPv4 routing table, read in one routing-socket dump and parsed
// into the usable routes. Reading is the only side effect; the walk over the
// dump is pure and takes any bytes.
class RoutingTableIPv4
{
public:
    // The shape of sysctl(3).
    using Sysctl = std::function<int(int *name, unsigned nameLength, void *oldValue, std::size_t *oldLength,
                                     void *newValue, std::size_t newLength)>;
    // Interface name of an interface index; empty when there is none.
    using InterfaceNames = std::function<QString(unsigned index)>;

    // Reads the kernel's table. Throws RoutingTableIPv4Exception.
    RoutingTableIPv4();
    RoutingTableIPv4(const Sysctl &sysctl, const InterfaceNames &names);

    Routes4 getRoutes4() const;

    // Walks a dump of routing messages; never reads outside [data, data + length).
    static QList<Route4Entry> parseDump(const unsigned char *data, std::size_t length, const InterfaceNames &names);
    static QString family_to_str(int family);
    static QString systemInterfaceName(unsigned index);
    static int systemSysctl(int *name, unsigned nameLength, void *oldValue, std::size_t *oldLength, void *newValue,
                            std::size_t newLength);

private:
    void initializeRouteTreeBuf(const Sysctl &sysctl);

    std::vector<unsigned char> m_buffer;
    std::size_t m_length = 0;
    QList<Route4Entry> m_entries;
};

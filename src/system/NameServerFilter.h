#pragma once

#include <QHostAddress>
#include <QList>

// Which name servers may be routed: the checks behind the protection of the
// routes to the name servers.
class NameServerFilter
{
public:
    // False for a null address and for 0.0.0.0.
    static bool isDNSAddressValid(const QHostAddress &address);
    // Removes the invalid addresses in place; the others keep their order.
    static void filterInvalidDNSAddresses(QList<QHostAddress> &addresses);
    // The addresses that can get an IPv4 host route through the default gateway;
    // the others (IPv6) are logged and left out.
    static QList<QHostAddress> hostRoutableNameServers(const QList<QHostAddress> &addresses);
};

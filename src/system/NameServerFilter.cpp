#include "system/NameServerFilter.h"

#include "system/SystemLogging.h"

#include <QDebug>
#include <algorithm>

bool NameServerFilter::isDNSAddressValid(const QHostAddress &address)
{
    return !address.isNull() && address.toString() != QLatin1String("0.0.0.0");
}

void NameServerFilter::filterInvalidDNSAddresses(QList<QHostAddress> &addresses)
{
    addresses.erase(std::remove_if(addresses.begin(), addresses.end(),
                                   [](const QHostAddress &address) { return !isDNSAddressValid(address); }),
                    addresses.end());
}

QList<QHostAddress> NameServerFilter::hostRoutableNameServers(const QList<QHostAddress> &addresses)
{
    QList<QHostAddress> routable;
    for (const QHostAddress &address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            routable << address;
        else
            qCDebug(lcSystem).noquote() << "Name server" << address.toString()
                                        << "is not an IPv4 address: no host route through the IPv4 gateway, skipped";
    }
    return routable;
}

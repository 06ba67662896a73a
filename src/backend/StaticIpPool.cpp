#include "backend/StaticIpPool.h"

StaticIpPool::StaticIpPool(const QList<QHostAddress> &addresses)
    : AddressListIpPool(STATIC_IP, QStringLiteral("StaticIpPool"))
{
    setAddresses(addresses, "StaticIpPool Warning misconfiguration: wrong IP inserted in static list.");
}

void StaticIpPool::shuffleIps()
{
    pickRandomIndex();
}

#include "backend/DedicatedIpPool.h"

#include <QDebug>

DedicatedIpPool::DedicatedIpPool(const QHostAddress& address)
    : IpPoolInterface(DEDICATED_STATIC_IP)
{
    // An unusable address is kept as none, so it can never be handed out.
    if (isValidIpAddress(address))
        this->address = address;
    else
        qDebug() << "DedicatedIpPool Warning misconfiguration: invalid IP inserted in dedicated list.";
}

bool DedicatedIpPool::hasValidIp() const
{
    return isValidIpAddress(address);
}

QHostAddress DedicatedIpPool::getIp() const
{
    qDebug() << "DedicatedIpPool: get Ip";
    if (address.isNull())
        qDebug() << "DedicatedIpPool Warning: IpPool list is empty";
    return address;
}

void DedicatedIpPool::shuffleIps()
{
}

QString DedicatedIpPool::toString() const
{
    return QStringLiteral("Type: ") + typeToString(getType()) + QStringLiteral("\nIp  : ") + address.toString()
           + QLatin1Char('\n');
}

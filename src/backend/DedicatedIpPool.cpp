#include "backend/DedicatedIpPool.h"

#include "backend/BackendLogging.h"

#include <QDebug>

DedicatedIpPool::DedicatedIpPool(const QHostAddress &address)
    : IpPoolInterface(DEDICATED_STATIC_IP)
{
    // An unusable address is kept as none, so it can never be handed out.
    if (isValidIpAddress(address))
        this->m_address = address;
    else
        qCDebug(lcBackend) << "DedicatedIpPool Warning misconfiguration: invalid IP inserted in dedicated list.";
}

bool DedicatedIpPool::hasValidIp() const
{
    return isValidIpAddress(m_address);
}

QHostAddress DedicatedIpPool::getIp() const
{
    qCDebug(lcBackend) << "DedicatedIpPool: get Ip";
    if (m_address.isNull())
        qCDebug(lcBackend) << "DedicatedIpPool Warning: IpPool list is empty";
    return m_address;
}

void DedicatedIpPool::shuffleIps()
{
}

QString DedicatedIpPool::toString() const
{
    return QStringLiteral("Type: ") + typeToString(getType()) + QStringLiteral("\nIp  : ") + m_address.toString()
           + QLatin1Char('\n');
}

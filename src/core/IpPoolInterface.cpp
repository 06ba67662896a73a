#include "core/IpPoolInterface.h"

#include <QRandomGenerator>

IpPoolInterface::IpPoolInterface(qint32 type)
    : m_type(type)
{
}

qint32 IpPoolInterface::getType() const
{
    return m_type;
}

QString IpPoolInterface::typeToString(qint32 type)
{
    switch (type) {
    case POOL_LIST: return QStringLiteral("POOL_LIST");
    case LOCAL_LOOKUP: return QStringLiteral("LOCAL_LOOKUP");
    case STATIC_IP: return QStringLiteral("STATIC_IP");
    case PINNED_STATIC_IP: return QStringLiteral("PINNED_STATIC_IP");
    case DEDICATED_STATIC_IP: return QStringLiteral("DEDICATED_STATIC_IP");
    default: return QStringLiteral("UNKNOWN");
    }
}

bool IpPoolInterface::isValidIpAddress(const QHostAddress &address)
{
    if (address.isNull() || address == QHostAddress::Any || address == QHostAddress::AnyIPv6
        || address == QHostAddress::AnyIPv4)
        return false;
    return address.toString() != QLatin1String("0.0.0.0");
}

int IpPoolInterface::randomIndex(int count)
{
    // The process-wide generator is seeded from the system's entropy source;
    // a generator seeded with the current millisecond offers only a thousand
    // different server orders.
    return int(QRandomGenerator::global()->bounded(quint32(count)));
}

#include "backend/DnsJsonConfigIpPool.h"

#include "catalogue/DnsJson.h"

DnsJsonConfigIpPool::DnsJsonConfigIpPool(const QString &hostname)
    : DnsJsonIpPool(hostname, &DnsJson::getDefaultDnsJson)
{
}

QString DnsJsonConfigIpPool::toString() const
{
    return QStringLiteral("FROM_CONFIG ") + DnsJsonIpPool::toString();
}

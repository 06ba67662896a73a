#include "backend/DnsJsonCacheIpPool.h"

#include "catalogue/DnsJson.h"

DnsJsonCacheIpPool::DnsJsonCacheIpPool(const QString &hostname)
    : DnsJsonIpPool(hostname, &DnsJson::getLocalDnsCache)
{
}

QString DnsJsonCacheIpPool::toString() const
{
    return QStringLiteral("FROM_CACHE ") + DnsJsonIpPool::toString();
}

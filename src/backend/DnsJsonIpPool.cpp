#include "backend/DnsJsonIpPool.h"

#include "backend/DnsJsonCacheIpPool.h"
#include "backend/DnsJsonConfigIpPool.h"
#include "catalogue/DnsJson.h"

DnsJsonIpPool::DnsJsonIpPool(const QString &hostname, Source source)
    : AddressListIpPool(LOCAL_LOOKUP, QStringLiteral("DnsJsonIpPool"))
    , m_hostname(hostname)
    , m_source(source)
{
    resolveHostname();
}

QSharedPointer<IpPoolInterface> DnsJsonIpPool::getLocalLookupIpPoolFromConfig(const QString &hostname)
{
    return QSharedPointer<IpPoolInterface>(new DnsJsonConfigIpPool(hostname));
}

QSharedPointer<IpPoolInterface> DnsJsonIpPool::getLocalLookupIpPoolFromCache(const QString &hostname)
{
    return QSharedPointer<IpPoolInterface>(new DnsJsonCacheIpPool(hostname));
}

void DnsJsonIpPool::shuffleIps()
{
    resolveHostname();
    pickRandomIndex();
}

QString DnsJsonIpPool::getHostname() const
{
    return m_hostname;
}

void DnsJsonIpPool::resolveHostname()
{
    setAddresses(m_source().resolve(m_hostname), "DnsJsonIpPool Warning misconfiguration: wrong IP in the DNS table.");
}

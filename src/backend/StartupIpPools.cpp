#include "backend/StartupIpPools.h"

#include "backend/BackendLogging.h"
#include "backend/DedicatedIpPool.h"
#include "backend/DnsJsonIpPool.h"
#include "backend/PinnedIpPool.h"
#include "backend/ShuffleIpPoolList.h"
#include "backend/StaticIpPool.h"
#include "catalogue/ConnectionParameters.h"

#include <QDebug>

namespace {

using PoolFactory = QSharedPointer<IpPoolInterface> (*)(const QString &);

QSharedPointer<IpPoolList> shuffleIpPoolList(const QStringList &remoteServers, PoolFactory dnsPool)
{
    const QSharedPointer<IpPoolList> list(new ShuffleIpPoolList);
    for (const QString &hostname : StartupIpPools::filterRealHostNameFromRemoteServers(remoteServers))
        list->append(dnsPool(hostname));
    list->append(
        QSharedPointer<IpPoolInterface>(new StaticIpPool(StartupIpPools::filterIPsFromRemoteServers(remoteServers))));
    return list;
}

bool isLiteralAddress(const QString &entry)
{
    return !QHostAddress(entry).isNull();
}

} // namespace

void StartupIpPools::fillIpPoolList(IpPoolList &pools, const ConnectionParameters &parameters, bool refreshDnsCache)
{
    const QStringList remoteServers = parameters.getHostNamesList();
    const HalvorixServerSite site = parameters.getServerSite();
    // Each pool goes to the front: the last one added has the highest priority.
    pools.prepend(getShuffleIpPoolListFromConfig(remoteServers));
    if (refreshDnsCache)
        pools.prepend(getShuffleIpPoolListFromCache(remoteServers));
    pools.prepend(QSharedPointer<IpPoolInterface>(new PinnedIpPool(site.getId())));
    if (!site.getDedicatedIp().isNull())
        pools.prepend(QSharedPointer<IpPoolInterface>(new DedicatedIpPool(site.getDedicatedIp())));
    pools.shuffleIps();
    qCDebug(lcBackend).noquote() << "IpPoolList filled: " + pools.toString();
}

QSharedPointer<IpPoolList> StartupIpPools::getShuffleIpPoolListFromConfig(const QStringList &remoteServers)
{
    return shuffleIpPoolList(remoteServers, &DnsJsonIpPool::getLocalLookupIpPoolFromConfig);
}

QSharedPointer<IpPoolList> StartupIpPools::getShuffleIpPoolListFromCache(const QStringList &remoteServers)
{
    return shuffleIpPoolList(remoteServers, &DnsJsonIpPool::getLocalLookupIpPoolFromCache);
}

QStringList StartupIpPools::filterRealHostNameFromRemoteServers(const QStringList &remoteServers)
{
    QStringList hostnames;
    for (const QString &entry : remoteServers) {
        if (!isLiteralAddress(entry))
            hostnames << entry;
    }
    return hostnames;
}

QList<QHostAddress> StartupIpPools::filterIPsFromRemoteServers(const QStringList &remoteServers)
{
    QList<QHostAddress> addresses;
    for (const QString &entry : remoteServers) {
        if (isLiteralAddress(entry))
            addresses << QHostAddress(entry);
    }
    return addresses;
}

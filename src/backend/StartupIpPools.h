#pragma once

#include <QHostAddress>
#include <QList>
#include <QSharedPointer>
#include <QStringList>

class ConnectionParameters;
class IpPoolList;

// Fills the shared pool list of a connection being started, highest priority
// first: the dedicated address (when the site has one), the pinned address,
// the DNS cache (when it is refreshed) and the configuration's addresses.
class StartupIpPools
{
public:
    StartupIpPools() = delete;

    // Only adds: the start-up has emptied the list before.
    static void fillIpPoolList(IpPoolList &pools, const ConnectionParameters &parameters, bool refreshDnsCache);

    // One pool per host name from dns.json, then one pool of the literal addresses.
    static QSharedPointer<IpPoolList> getShuffleIpPoolListFromConfig(const QStringList &remoteServers);
    // The same from the refreshed cache dns_local.json.
    static QSharedPointer<IpPoolList> getShuffleIpPoolListFromCache(const QStringList &remoteServers);

    // The entries that are not literal addresses, in input order.
    static QStringList filterRealHostNameFromRemoteServers(const QStringList &remoteServers);
    // The literal IPv4 and IPv6 addresses, in input order.
    static QList<QHostAddress> filterIPsFromRemoteServers(const QStringList &remoteServers);
};

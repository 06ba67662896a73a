#include "system/OsAbstraction.h"

#include "system/NameServerFilter.h"
#include "system/SystemLogging.h"

#include <QDebug>

void OsAbstraction::enableInterface(const QString &service)
{
    enableInterfaces(QStringList {service});
}

void OsAbstraction::disableInterface(const QString &service)
{
    disableInterfaces(QStringList {service});
}

bool OsAbstraction::hasTunTapProblem()
{
    return false;
}

bool OsAbstraction::reinstallTunTapDriver()
{
    return true;
}

QList<QHostAddress> OsAbstraction::routableNameServers()
{
    QList<QHostAddress> servers = currentNameServers();
    NameServerFilter::filterInvalidDNSAddresses(servers);
    // A host route through the IPv4 gateway exists only for IPv4 servers.
    servers = NameServerFilter::hostRoutableNameServers(servers);
    if (servers.isEmpty())
        qCDebug(lcSystem) << "Warning no DNS found.";
    return servers;
}

void OsAbstraction::protectRoutesToDns()
{
    qCDebug(lcSystem) << "Protecting routes to DNS";
    protectHosts(routableNameServers());
}

void OsAbstraction::removeRoutesToDns()
{
    qCDebug(lcSystem) << "Removing routes to DNS";
    releaseHosts(routableNameServers());
}

void OsAbstraction::protectHosts(const QList<QHostAddress> &hosts)
{
    for (const QHostAddress &host : hosts)
        protectHost(host);
}

void OsAbstraction::releaseHosts(const QList<QHostAddress> &hosts)
{
    for (const QHostAddress &host : hosts)
        releaseHost(host);
}

void OsAbstraction::addProtectiveRoutes(bool ipv4, bool ipv6)
{
    if (ipv4)
        addProtectiveSimpleSplittedDefaultRoute();
    if (ipv6)
        addProtectiveSimpleSplittedIPV6DefaultRoute();
}

void OsAbstraction::removeProtectiveRoutes(bool ipv4, bool ipv6)
{
    if (ipv4)
        removeProtectiveSimpleSplittedDefaultRoute();
    if (ipv6)
        removeProtectiveSimpleSplittedIPV6DefaultRoute();
}

bool OsAbstraction::stopWebRtcLeakProtection()
{
    return true;
}

bool OsAbstraction::startWebRtcLeakProtection()
{
    return true;
}

void OsAbstraction::installSigTermHandler()
{
}

void OsAbstraction::addSigTermHandler(HandlerList &)
{
}

OutsideDnsBlokerAbstract *OsAbstraction::createOutsideDnsBlocker(const QString &)
{
    return nullptr;
}

bool OsAbstraction::canRunRouteProgram()
{
    return false;
}

void OsAbstraction::showDockIcon()
{
}

void OsAbstraction::hideDockIcon()
{
}

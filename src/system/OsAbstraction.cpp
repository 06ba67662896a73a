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
    for (const QHostAddress &server : routableNameServers())
        protectHost(server);
}

void OsAbstraction::removeRoutesToDns()
{
    qCDebug(lcSystem) << "Removing routes to DNS";
    for (const QHostAddress &server : routableNameServers())
        releaseHost(server);
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

#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// The argument lists of the helper's system commands, one run each: the one
// place they are built. A command that takes several runs gives them in order.
class StelvaneCommandLines
{
public:
    static QStringList setInterfaceUp(const QString &interface);
    static QStringList setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address,
                                                const QHostAddress &netmask, const QHostAddress &gateway);
    static QStringList deleteIPv4Address(const QString &interface, const QHostAddress &address);
    static QStringList setIPv6Address(const QString &interface, const QHostAddress &address, int prefixLength);
    static QStringList deleteIPv6Address(const QString &interface, const QHostAddress &address);

    static QList<QStringList> add4SplittedRoutesToGateway(const QHostAddress &gateway);
    static QList<QStringList> add4SplittedRoutesToInterface(const QString &interface);
    static QList<QStringList> remove4SplittedRoutes();
    static QList<QStringList> addBlackHoleRoutes();
    static QList<QStringList> removeBlackHoleRoutes();
    static QList<QStringList> addIPv6UnreachableRoutes();
    static QList<QStringList> removeIPv6UnreachableRoutes();

    static QStringList protectHost(const QHostAddress &host, const QHostAddress &gateway);
    static QStringList releaseHost(const QHostAddress &host);
    // Exactly these name servers; an empty list switches the service to DHCP.
    static QStringList setNameServers(const QString &service, const QStringList &servers);
    static QStringList setInterfaceState(const QString &service, bool up);
    static QStringList checkInterfaceState(const QString &service);
    static QStringList setDockIconVisibility(bool visible);

    // A command run once per index 1..count, in order.
    static QList<QStringList> indexedRuns(const QStringList &prefix, int count);
};

#pragma once

#include "core/NetworkInterface.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class HandlerList;
class OutsideDnsBlokerAbstract;

// The one road from the client to the operating system: network services and
// their name servers, host and split routes, interface addresses, login items,
// the Dock icon and the engine's termination handler.
//
// No operation throws: each failure is logged and reported through
// errorMessage, and an operation with a result then answers as documented.
// One object exists per run mode; its holders keep plain references.
class OsAbstraction : public QObject
{
    Q_OBJECT

public:
    OsAbstraction() = default;
    ~OsAbstraction() override = default;

    // Writes the machine's description to the log, once per run, without
    // blocking; nothing while the log goes nowhere.
    virtual void printSystemInfo() = 0;

    virtual void enableInterface(const QString &service);
    virtual void enableInterfaces(const QStringList &services) = 0;
    virtual void disableInterface(const QString &service);
    virtual void disableInterfaces(const QStringList &services) = 0;

    virtual bool hasTunTapProblem();
    virtual void beforeEngineStart() = 0;
    virtual void afterEngineStop() = 0;
    virtual bool reinstallTunTapDriver();

    // Every network service gets these name servers.
    virtual void setNameServers(const QStringList &servers) = 0;
    // Every network service goes back to the name servers DHCP supplies.
    virtual void removeNameServers() = 0;
    // Saves every service's name servers under stage, then sets servers (when
    // not empty). mode is 2 for the stages "start" and "beforeConnect", else 1.
    virtual void pushNameServers(const QString &stage, const QStringList &servers, int mode) = 0;
    // Every service gets back what was saved under stage.
    virtual void restoreNameServers(const QString &stage) = 0;

    // Traffic to host leaves through the physical default gateway.
    virtual void protectHost(const QHostAddress &host) = 0;
    virtual void releaseHost(const QHostAddress &host) = 0;
    // Each host as protectHost / releaseHost, independent of each other.
    virtual void protectHosts(const QList<QHostAddress> &hosts);
    virtual void releaseHosts(const QList<QHostAddress> &hosts);
    virtual QList<QHostAddress> currentNameServers() = 0;
    virtual void protectRoutesToDns();
    virtual void removeRoutesToDns();

    virtual bool canBindIpv6() = 0;
    virtual bool bindIpv6() = 0;
    virtual bool unbindIpv6() = 0;

    // Disables every service marked for the kill switch and records them.
    virtual void disableKillSwitchInterfaces() = 0;
    // Empty when the services cannot be listed.
    virtual QList<NetworkInterface> listNetworkInterfaces() = 0;
    // Both answer true for an empty list and when the state cannot be read.
    virtual bool areInterfacesEnabled(const QStringList &services) = 0;
    virtual bool areInterfacesDisabled(const QStringList &services) = 0;
    // True also when the routing table cannot be read.
    virtual bool hasDefaultRoute() = 0;

    virtual bool stopWebRtcLeakProtection();
    virtual bool startWebRtcLeakProtection();

    virtual bool supportsAutostart() = 0;
    virtual void addLoginItem() = 0;
    virtual void removeLoginItem() = 0;
    virtual bool isLoginItem() = 0;

    virtual void installSigTermHandler();
    virtual void addSigTermHandler(HandlerList &list);

    // Null means no blocker; a non-null object passes to the caller.
    virtual OutsideDnsBlokerAbstract *createOutsideDnsBlocker(const QString &programPath);

    virtual bool canRunRouteProgram();

    virtual void setInterfaceUp(const QString &interface) = 0;
    virtual void setInterfaceDown(const QString &interface) = 0;
    virtual void setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address,
                                          const QHostAddress &netmask, const QHostAddress &gateway) = 0;
    virtual void deleteIPv4Address(const QString &interface, const QHostAddress &address,
                                   const QHostAddress &netmask) = 0;
    virtual void setIPv6Address(const QString &interface, const QHostAddress &address, int prefixLength) = 0;
    virtual void deleteIPv6Address(const QString &interface, const QHostAddress &address) = 0;

    virtual void add4SplittedRoutesToGateway(const QHostAddress &gateway) = 0;
    virtual void add4SplittedRoutesToInterface(const QString &interface) = 0;
    virtual void remove4SplittedRoutes() = 0;
    virtual void addProtectiveSimpleSplittedDefaultRoute() = 0;
    virtual void removeProtectiveSimpleSplittedDefaultRoute() = 0;
    virtual void addSplittedIPv6RoutesToGateway(const QHostAddress &gateway) = 0;
    virtual void removeSplittedIPv6Routes() = 0;
    virtual void addProtectiveSimpleSplittedIPV6DefaultRoute() = 0;
    virtual void removeProtectiveSimpleSplittedIPV6DefaultRoute() = 0;
    // The IPv4 black holes and the IPv6 unreachable routes, each set when
    // asked for; the two sets are independent of each other.
    virtual void addProtectiveRoutes(bool ipv4, bool ipv6);
    virtual void removeProtectiveRoutes(bool ipv4, bool ipv6);

    virtual void showDockIcon();
    virtual void hideDockIcon();

signals:
    void errorMessage(const QString &title, const QString &text);

private:
    // The name servers that can get a host route, in resolver order; logs
    // "Warning no DNS found." when there is none.
    QList<QHostAddress> routableNameServers();
};

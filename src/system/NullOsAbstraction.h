#pragma once

#include "system/OsAbstraction.h"

// Changes nothing and asks nothing: for run modes and tests without a system
// layer. Queries answer as an unreadable state does.
class NullOsAbstraction : public OsAbstraction
{
    Q_OBJECT

public:
    void printSystemInfo() override {}
    void enableInterfaces(const QStringList &) override {}
    void disableInterfaces(const QStringList &) override {}
    void beforeEngineStart() override {}
    void afterEngineStop() override {}
    void setNameServers(const QStringList &) override {}
    void removeNameServers() override {}
    void pushNameServers(const QString &, const QStringList &, int) override {}
    void restoreNameServers(const QString &) override {}
    void protectHost(const QHostAddress &) override {}
    void releaseHost(const QHostAddress &) override {}
    QList<QHostAddress> currentNameServers() override { return {}; }
    bool canBindIpv6() override { return true; }
    bool bindIpv6() override { return true; }
    bool unbindIpv6() override { return true; }
    void disableKillSwitchInterfaces() override {}
    QList<NetworkInterface> listNetworkInterfaces() override { return {}; }
    bool areInterfacesEnabled(const QStringList &) override { return true; }
    bool areInterfacesDisabled(const QStringList &) override { return true; }
    bool hasDefaultRoute() override { return true; }
    bool supportsAutostart() override { return false; }
    void addLoginItem() override {}
    void removeLoginItem() override {}
    bool isLoginItem() override { return false; }
    void setInterfaceUp(const QString &) override {}
    void setInterfaceDown(const QString &) override {}
    void setIPv4AddressAndGateway(const QString &, const QHostAddress &, const QHostAddress &,
                                  const QHostAddress &) override
    {
    }
    void deleteIPv4Address(const QString &, const QHostAddress &, const QHostAddress &) override {}
    void setIPv6Address(const QString &, const QHostAddress &, int) override {}
    void deleteIPv6Address(const QString &, const QHostAddress &) override {}
    void add4SplittedRoutesToGateway(const QHostAddress &) override {}
    void add4SplittedRoutesToInterface(const QString &) override {}
    void remove4SplittedRoutes() override {}
    void addProtectiveSimpleSplittedDefaultRoute() override {}
    void removeProtectiveSimpleSplittedDefaultRoute() override {}
    void addSplittedIPv6RoutesToGateway(const QHostAddress &) override {}
    void removeSplittedIPv6Routes() override {}
    void addProtectiveSimpleSplittedIPV6DefaultRoute() override {}
    void removeProtectiveSimpleSplittedIPV6DefaultRoute() override {}
};

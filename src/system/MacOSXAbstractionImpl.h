#pragma once

#include "system/OsAbstraction.h"
#include "system/Routes4.h"

#include <QScopedPointer>
#include <QSharedPointer>
#include <functional>

class OpenVpnLifeCycleHandler;
class StelvaneRunner;
class SystemInfoCollection;

// The operating-system interface of macOS: every change is one run of the
// privileged helper, every query goes through networksetup, the routing table,
// /etc/resolv.conf or a system program. Failures are caught at the border of
// each operation, logged and emitted as errorMessage.
class MacOSXAbstractionImpl : public OsAbstraction
{
    Q_OBJECT

public:
    struct Programs
    {
        QString helper;
        QString networkSetup;
    };

    // The bundle's helper and the system's networksetup.
    MacOSXAbstractionImpl();
    explicit MacOSXAbstractionImpl(const Programs &programs);
    MacOSXAbstractionImpl(const QString &networkSetupProgram, QSharedPointer<StelvaneRunner> runner);
    ~MacOSXAbstractionImpl() override;

    static Programs systemPrograms();

    void printSystemInfo() override;
    void enableInterfaces(const QStringList &services) override;
    void disableInterfaces(const QStringList &services) override;
    void beforeEngineStart() override {}
    void afterEngineStop() override {}
    void setNameServers(const QStringList &servers) override;
    void removeNameServers() override;
    void pushNameServers(const QString &stage, const QStringList &servers, int mode) override;
    void restoreNameServers(const QString &stage) override;
    void protectHost(const QHostAddress &host) override;
    void releaseHost(const QHostAddress &host) override;
    void protectHosts(const QList<QHostAddress> &hosts) override;
    void releaseHosts(const QList<QHostAddress> &hosts) override;
    QList<QHostAddress> currentNameServers() override;
    bool canBindIpv6() override { return true; }
    bool bindIpv6() override { return true; }
    bool unbindIpv6() override { return true; }
    void disableKillSwitchInterfaces() override;
    QList<NetworkInterface> listNetworkInterfaces() override;
    bool areInterfacesEnabled(const QStringList &services) override;
    bool areInterfacesDisabled(const QStringList &services) override;
    bool hasDefaultRoute() override;
    bool supportsAutostart() override { return true; }
    void addLoginItem() override;
    void removeLoginItem() override;
    bool isLoginItem() override;
    void installSigTermHandler() override;
    void addSigTermHandler(HandlerList &list) override;
    bool canRunRouteProgram() override;
    void setInterfaceUp(const QString &interface) override;
    void setInterfaceDown(const QString &) override {}
    void setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address, const QHostAddress &netmask,
                                  const QHostAddress &gateway) override;
    void deleteIPv4Address(const QString &interface, const QHostAddress &address, const QHostAddress &netmask) override;
    void setIPv6Address(const QString &interface, const QHostAddress &address, int prefixLength) override;
    void deleteIPv6Address(const QString &interface, const QHostAddress &address) override;
    void add4SplittedRoutesToGateway(const QHostAddress &gateway) override;
    void add4SplittedRoutesToInterface(const QString &interface) override;
    void remove4SplittedRoutes() override;
    void addProtectiveSimpleSplittedDefaultRoute() override;
    void removeProtectiveSimpleSplittedDefaultRoute() override;
    void addSplittedIPv6RoutesToGateway(const QHostAddress &) override {}
    void removeSplittedIPv6Routes() override {}
    void addProtectiveSimpleSplittedIPV6DefaultRoute() override;
    void removeProtectiveSimpleSplittedIPV6DefaultRoute() override;
    void addProtectiveRoutes(bool ipv4, bool ipv6) override;
    void removeProtectiveRoutes(bool ipv4, bool ipv6) override;
    void showDockIcon() override;
    void hideDockIcon() override;

    enum class LoginItemScript { Add, Remove, List };
    // The AppleScript text of a login-item operation for the application
    // `name` whose executable lies in `applicationDir`.
    static QString loginItemScript(LoginItemScript kind, const QString &name, const QString &applicationDir);
    // Whether the login-item names that the List script printed hold `name`
    // as a whole name.
    static bool listsLoginItem(const QByteArray &output, const QString &name);

private:
    // Runs `step`; a helper or networksetup failure is logged and emitted.
    // False when it failed.
    bool guarded(const std::function<void()> &step);
    // `run` on the helper runner, guarded.
    void helperRun(const std::function<void(StelvaneRunner &)> &run);
    // The runs of every group at the same time; each group that failed is
    // reported once, with its first failed run, groups in order.
    void helperWave(const QList<QList<QStringList>> &groups);
    // The groups of the black holes and unreachable routes asked for.
    static QList<QList<QStringList>> protectiveRouteGroups(bool ipv4, bool ipv6, bool add);
    void reportFailure(const char *line, const QString &title, const QString &text);
    // One helper run per service; the first failure ends the loop.
    void setInterfacesState(const QStringList &services, bool up);
    // Asks each service in turn until one's state is not `enabled`.
    bool allInterfacesInState(const QStringList &services, bool enabled);
    // The kernel's default routes, lowest metric first. Throws the routing-table failures.
    static Routes4 defaultRoutes();
    QByteArray runOsascript(LoginItemScript kind, bool wantOutput);

    QString m_networkSetup;
    QSharedPointer<StelvaneRunner> m_runner;
    // The engine's termination handler that connections get: inert until
    // installSigTermHandler.
    QSharedPointer<OpenVpnLifeCycleHandler> m_sigTermHandler;
    QScopedPointer<SystemInfoCollection> m_systemInfo;
};

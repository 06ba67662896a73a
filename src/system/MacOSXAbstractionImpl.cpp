#include "system/MacOSXAbstractionImpl.h"

#include "core/AbstractSigTermHandler.h"
#include "core/HandlerList.h"
#include "prefs/Settings.h"
#include "system/AdapterList.h"
#include "system/AppleScriptString.h"
#include "system/DockIconManager.h"
#include "system/NetworkSetup.h"
#include "system/NetworkSetupFailed.h"
#include "system/ResolvConf.h"
#include "system/Routes4Exception.h"
#include "system/RoutingTableIPv4.h"
#include "system/RoutingTableIPv4Exception.h"
#include "system/SigTermHandler.h"
#include "system/StelvaneCommandLines.h"
#include "system/StelvaneRunner.h"
#include "system/StelvaneRunnerFailed.h"
#include "system/SystemInfoCollection.h"
#include "system/SystemLogging.h"
#include "system/SystemPrograms.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>

namespace {

constexpr int ProgramTimeoutMs = 30000;

QString platformProgram(const QString &macOSPath, const QString &name)
{
#ifdef __APPLE__
    Q_UNUSED(name);
    return macOSPath;
#else
    Q_UNUSED(macOSPath);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../Platform/bin/") + name;
#endif
}

} // namespace

MacOSXAbstractionImpl::MacOSXAbstractionImpl()
    : MacOSXAbstractionImpl(systemPrograms())
{
}

MacOSXAbstractionImpl::MacOSXAbstractionImpl(const Programs &programs)
    : MacOSXAbstractionImpl(programs.networkSetup,
                            QSharedPointer<StelvaneRunner>::create(programs.helper, StelvaneRunner::Timeouts()))
{
}

MacOSXAbstractionImpl::MacOSXAbstractionImpl(const QString &networkSetupProgram, QSharedPointer<StelvaneRunner> runner)
    : m_networkSetup(networkSetupProgram)
    , m_runner(std::move(runner))
    , m_sigTermHandler(QSharedPointer<AbstractSigTermHandler>::create())
{
}

MacOSXAbstractionImpl::~MacOSXAbstractionImpl() = default;

MacOSXAbstractionImpl::Programs MacOSXAbstractionImpl::systemPrograms()
{
    return {StelvaneRunner::bundledHelperPath(), SystemPrograms::networksetup()};
}

void MacOSXAbstractionImpl::reportFailure(const char *line, const QString &title, const QString &text)
{
    qCDebug(lcSystem) << line;
    emit errorMessage(title, text);
}

bool MacOSXAbstractionImpl::guarded(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const StelvaneRunnerFailed &failure) {
        reportFailure("StelvaneRunner failed", failure.title(), failure.text());
    } catch (const NetworkSetupFailed &failure) {
        reportFailure("NetworkSetup failed", failure.title(), failure.text());
    }
    return false;
}

void MacOSXAbstractionImpl::printSystemInfo()
{
    if (!m_systemInfo)
        m_systemInfo.reset(new SystemInfoCollection);
    m_systemInfo->start();
}

void MacOSXAbstractionImpl::setInterfacesState(const QStringList &services, bool up)
{
    helperRun([&](StelvaneRunner &runner) {
        for (const QString &service : services)
            runner.execute(StelvaneCommandLines::setInterfaceState(service, up), false);
    });
}

void MacOSXAbstractionImpl::enableInterfaces(const QStringList &services)
{
    setInterfacesState(services, true);
}

void MacOSXAbstractionImpl::disableInterfaces(const QStringList &services)
{
    setInterfacesState(services, false);
}

void MacOSXAbstractionImpl::setNameServers(const QStringList &servers)
{
    if (servers.isEmpty())
        return;
    guarded([&] { AdapterList(m_networkSetup, *m_runner).setNameServers(servers); });
}

void MacOSXAbstractionImpl::removeNameServers()
{
    guarded([&] { AdapterList(m_networkSetup, *m_runner).removeNameServers(); });
}

void MacOSXAbstractionImpl::pushNameServers(const QString &stage, const QStringList &servers, int)
{
    guarded([&] { AdapterList(m_networkSetup, *m_runner).pushNameServers(stage, servers); });
}

void MacOSXAbstractionImpl::restoreNameServers(const QString &stage)
{
    guarded([&] { AdapterList(m_networkSetup, *m_runner).restoreNameServers(stage); });
}

Routes4 MacOSXAbstractionImpl::defaultRoutes()
{
    qCDebug(lcSystem) << "Getting complete Routing Table...";
    const RoutingTableIPv4 table;
    qCDebug(lcSystem) << "Routing Table complete";
    Routes4 routes = table.getRoutes4();
    routes.retainDefaultRoutes();
    routes.sortByMetric();
    return routes;
}

void MacOSXAbstractionImpl::protectHost(const QHostAddress &host)
{
    protectHosts({host});
}

void MacOSXAbstractionImpl::releaseHost(const QHostAddress &host)
{
    releaseHosts({host});
}

void MacOSXAbstractionImpl::protectHosts(const QList<QHostAddress> &hosts)
{
    if (hosts.isEmpty())
        return;
    auto routingFailure = [this](const QString &text) {
        emit errorMessage(QStringLiteral("Error protecting host route - default route existence can not be checked."),
                          QStringLiteral("Error: ") + text);
        qCDebug(lcSystem).noquote() << "Error protecting host route - exception while getting the default route: "
                                           + text;
    };
    try {
        const Routes4 routes = defaultRoutes();
        if (!routes.containsDefaultRoute()) {
            qCDebug(lcSystem) << "Error while protecting route to host: default route was not found";
            return;
        }
        const QHostAddress gateway = routes.getFirstRoute().gateway;
        QList<QList<QStringList>> groups;
        for (const QHostAddress &host : hosts)
            groups << QList<QStringList> {StelvaneCommandLines::protectHost(host, gateway)};
        helperWave(groups);
    } catch (const RoutingTableIPv4Exception &failure) {
        routingFailure(failure.text());
    } catch (const Routes4Exception &failure) {
        routingFailure(failure.text());
    }
}

void MacOSXAbstractionImpl::releaseHosts(const QList<QHostAddress> &hosts)
{
    QList<QList<QStringList>> groups;
    for (const QHostAddress &host : hosts)
        groups << QList<QStringList> {StelvaneCommandLines::releaseHost(host)};
    helperWave(groups);
}

QList<QHostAddress> MacOSXAbstractionImpl::currentNameServers()
{
    return ResolvConf(QStringLiteral("/etc/resolv.conf")).getCurrentDNSAddresses();
}

void MacOSXAbstractionImpl::disableKillSwitchInterfaces()
{
    Settings settings;
    QStringList services;
    if (!guarded([&] { services = NetworkSetup(m_networkSetup).listAllNetworkServices(); }))
        return;
    QStringList disabled;
    for (const QString &service : services) {
        if (settings.isInternetKillSwitchInterface(NetworkInterface(service))) {
            disableInterface(service);
            disabled << service;
        }
        // Recorded after every service, so a crash leaves the record of what is down.
        settings.setInternetKillSwitchDisabledInterfaces(disabled);
        settings.sync();
    }
}

QList<NetworkInterface> MacOSXAbstractionImpl::listNetworkInterfaces()
{
    QList<NetworkInterface> interfaces;
    guarded([&] {
        for (const QString &service : NetworkSetup(m_networkSetup).listAllNetworkServices())
            interfaces << NetworkInterface(service);
    });
    return interfaces;
}

bool MacOSXAbstractionImpl::allInterfacesInState(const QStringList &services, bool enabled)
{
    try {
        for (const QString &service : services) {
            if (m_runner->isInterfaceEnabled(service) != enabled)
                return false;
        }
    } catch (const StelvaneRunnerFailed &failure) {
        reportFailure("StelvaneRunner failed", failure.title(), failure.text());
        emit errorMessage(QStringLiteral("Network Interfaces state can not be checked."), QString());
    }
    return true;
}

bool MacOSXAbstractionImpl::areInterfacesEnabled(const QStringList &services)
{
    return allInterfacesInState(services, true);
}

bool MacOSXAbstractionImpl::areInterfacesDisabled(const QStringList &services)
{
    return allInterfacesInState(services, false);
}

bool MacOSXAbstractionImpl::hasDefaultRoute()
{
    try {
        return defaultRoutes().containsDefaultRoute();
    } catch (const RoutingTableIPv4Exception &failure) {
        emit errorMessage(QStringLiteral("Default route existence can not be checked."),
                          QStringLiteral("Error: ") + failure.text());
        qCDebug(lcSystem).noquote() << "Exception while getting the default route: " + failure.text();
        return true;
    }
}

QString MacOSXAbstractionImpl::loginItemScript(LoginItemScript kind, const QString &name, const QString &applicationDir)
{
    // The names are quoted as AppleScript strings: a bundle path holding a
    // quote would otherwise end the literal or add code to the script.
    const QString prefix = QStringLiteral("tell application \"System Events\" to ");
    switch (kind) {
    case LoginItemScript::Add:
        return prefix
               + QStringLiteral("make login item at end with properties {name:%1,path:%2,hidden:false}")
                     .arg(AppleScriptString::quoted(name),
                          AppleScriptString::quoted(applicationDir + QStringLiteral("/../../")));
    case LoginItemScript::Remove:
        return prefix + QStringLiteral("delete login item %1").arg(AppleScriptString::quoted(name));
    case LoginItemScript::List: break;
    }
    return prefix + QStringLiteral("get the name of every login item");
}

bool MacOSXAbstractionImpl::listsLoginItem(const QByteArray &output, const QString &name)
{
    QByteArray text = output;
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    // AppleScript prints a list as its items joined by ", ".
    const QStringList names = QString::fromUtf8(text).trimmed().split(QStringLiteral(", "));
    return names.contains(name);
}

QByteArray MacOSXAbstractionImpl::runOsascript(LoginItemScript kind, bool wantOutput)
{
    const QString program = platformProgram(QStringLiteral("osascript"), QStringLiteral("osascript"));
    const QStringList arguments {QStringLiteral("-e"), loginItemScript(kind, QCoreApplication::applicationName(),
                                                                       QCoreApplication::applicationDirPath())};
    qCDebug(lcSystem) << "Invoking " << program << arguments;
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(ProgramTimeoutMs);
    return wantOutput && finished ? process.readAllStandardOutput() : QByteArray();
}

void MacOSXAbstractionImpl::addLoginItem()
{
    runOsascript(LoginItemScript::Add, false);
}

void MacOSXAbstractionImpl::removeLoginItem()
{
    runOsascript(LoginItemScript::Remove, false);
}

bool MacOSXAbstractionImpl::isLoginItem()
{
    return listsLoginItem(runOsascript(LoginItemScript::List, true), QCoreApplication::applicationName());
}

void MacOSXAbstractionImpl::installSigTermHandler()
{
    m_sigTermHandler = QSharedPointer<SigTermHandler>::create();
}

void MacOSXAbstractionImpl::addSigTermHandler(HandlerList &list)
{
    list.list.append(m_sigTermHandler);
}

bool MacOSXAbstractionImpl::canRunRouteProgram()
{
    QProcess process;
    process.start(platformProgram(QStringLiteral("/sbin/route"), QStringLiteral("route")), QStringList(),
                  QIODevice::ReadWrite);
    return process.waitForFinished(ProgramTimeoutMs) && process.exitStatus() == QProcess::NormalExit;
}

void MacOSXAbstractionImpl::helperRun(const std::function<void(StelvaneRunner &)> &run)
{
    guarded([&] { run(*m_runner); });
}

void MacOSXAbstractionImpl::helperWave(const QList<QList<QStringList>> &groups)
{
    QList<QStringList> runs;
    for (const QList<QStringList> &group : groups)
        runs += group;
    if (runs.isEmpty())
        return;
    const QList<StelvaneRunner::Outcome> outcomes = m_runner->executeTogether(runs, false);
    int next = 0;
    for (const QList<QStringList> &group : groups) {
        const QList<StelvaneRunner::Outcome> ofGroup = outcomes.mid(next, group.size());
        next += group.size();
        for (const StelvaneRunner::Outcome &outcome : ofGroup) {
            if (outcome.failure) {
                reportFailure("StelvaneRunner failed", outcome.failure->title(), outcome.failure->text());
                break;
            }
        }
    }
}

QList<QList<QStringList>> MacOSXAbstractionImpl::protectiveRouteGroups(bool ipv4, bool ipv6, bool add)
{
    QList<QList<QStringList>> groups;
    if (ipv4)
        groups << (add ? StelvaneCommandLines::addBlackHoleRoutes() : StelvaneCommandLines::removeBlackHoleRoutes());
    if (ipv6)
        groups << (add ? StelvaneCommandLines::addIPv6UnreachableRoutes()
                       : StelvaneCommandLines::removeIPv6UnreachableRoutes());
    return groups;
}

void MacOSXAbstractionImpl::setInterfaceUp(const QString &interface)
{
    helperRun([&](StelvaneRunner &runner) { runner.setInterfaceUp(interface); });
}

void MacOSXAbstractionImpl::setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address,
                                                     const QHostAddress &netmask, const QHostAddress &gateway)
{
    helperRun([&](StelvaneRunner &runner) { runner.setIPv4AddressAndGateway(interface, address, netmask, gateway); });
}

void MacOSXAbstractionImpl::deleteIPv4Address(const QString &interface, const QHostAddress &address,
                                              const QHostAddress &)
{
    helperRun([&](StelvaneRunner &runner) { runner.deleteIPv4Address(interface, address); });
}

void MacOSXAbstractionImpl::setIPv6Address(const QString &interface, const QHostAddress &address, int prefixLength)
{
    helperRun([&](StelvaneRunner &runner) { runner.setIPv6Address(interface, address, prefixLength); });
}

void MacOSXAbstractionImpl::deleteIPv6Address(const QString &interface, const QHostAddress &address)
{
    helperRun([&](StelvaneRunner &runner) { runner.deleteIPv6Address(interface, address); });
}

void MacOSXAbstractionImpl::add4SplittedRoutesToGateway(const QHostAddress &gateway)
{
    helperRun([&](StelvaneRunner &runner) { runner.add4SplittedRoutesToGateway(gateway); });
}

void MacOSXAbstractionImpl::add4SplittedRoutesToInterface(const QString &interface)
{
    helperRun([&](StelvaneRunner &runner) { runner.add4SplittedRoutesToInterface(interface); });
}

void MacOSXAbstractionImpl::remove4SplittedRoutes()
{
    helperRun([&](StelvaneRunner &runner) { runner.remove4SplittedRoutes(); });
}

void MacOSXAbstractionImpl::addProtectiveSimpleSplittedDefaultRoute()
{
    addProtectiveRoutes(true, false);
}

void MacOSXAbstractionImpl::removeProtectiveSimpleSplittedDefaultRoute()
{
    removeProtectiveRoutes(true, false);
}

void MacOSXAbstractionImpl::addProtectiveSimpleSplittedIPV6DefaultRoute()
{
    addProtectiveRoutes(false, true);
}

void MacOSXAbstractionImpl::removeProtectiveSimpleSplittedIPV6DefaultRoute()
{
    removeProtectiveRoutes(false, true);
}

void MacOSXAbstractionImpl::addProtectiveRoutes(bool ipv4, bool ipv6)
{
    helperWave(protectiveRouteGroups(ipv4, ipv6, true));
}

void MacOSXAbstractionImpl::removeProtectiveRoutes(bool ipv4, bool ipv6)
{
    helperWave(protectiveRouteGroups(ipv4, ipv6, false));
}

void MacOSXAbstractionImpl::showDockIcon()
{
    const int32_t result = DockIconManager().showDockIcon();
    if (result != 0)
        qCDebug(lcSystem).noquote() << "Warning: DockIconManager.showDockIcon() result = " + QString::number(result);
}

void MacOSXAbstractionImpl::hideDockIcon()
{
    DockIconManager().hideDockIcon();
}

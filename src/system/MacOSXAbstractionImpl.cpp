#include "system/MacOSXAbstractionImpl.h"

#include "app/SigTermHandler.h"
#include "core/AbstractSigTermHandler.h"
#include "core/HandlerList.h"
#include "helper/CommandWords.h"
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
    : m_programs(programs)
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

void MacOSXAbstractionImpl::setInterfacesState(const QStringList &services, const QString &state)
{
    helperRun([&](StelvaneRunner &runner) {
        for (const QString &service : services)
            runner.execute(QStringList {QLatin1String(stelvane::command::INTERFACE), service, state}, false);
    });
}

void MacOSXAbstractionImpl::enableInterfaces(const QStringList &services)
{
    setInterfacesState(services, QStringLiteral("up"));
}

void MacOSXAbstractionImpl::disableInterfaces(const QStringList &services)
{
    setInterfacesState(services, QStringLiteral("down"));
}

void MacOSXAbstractionImpl::setNameServers(const QStringList &servers)
{
    if (servers.isEmpty())
        return;
    guarded([&] { AdapterList(m_programs.networkSetup, m_programs.helper).setNameServers(servers); });
}

void MacOSXAbstractionImpl::removeNameServers()
{
    guarded([&] { AdapterList(m_programs.networkSetup, m_programs.helper).removeNameServers(); });
}

void MacOSXAbstractionImpl::pushNameServers(const QString &stage, const QStringList &servers, int)
{
    guarded([&] {
        const AdapterList adapters(m_programs.networkSetup, m_programs.helper);
        adapters.saveNameServers(stage);
        if (!servers.isEmpty())
            adapters.setNameServers(servers);
    });
}

void MacOSXAbstractionImpl::restoreNameServers(const QString &stage)
{
    guarded([&] { AdapterList(m_programs.networkSetup, m_programs.helper).restoreNameServers(stage); });
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
        helperRun([&](StelvaneRunner &runner) { runner.protectHost(host, gateway); });
    } catch (const RoutingTableIPv4Exception &failure) {
        routingFailure(failure.text());
    } catch (const Routes4Exception &failure) {
        routingFailure(failure.text());
    }
}

void MacOSXAbstractionImpl::releaseHost(const QHostAddress &host)
{
    helperRun([&](StelvaneRunner &runner) { runner.releaseHost(host); });
}

QList<QHostAddress> MacOSXAbstractionImpl::currentNameServers()
{
    return ResolvConf(QStringLiteral("/etc/resolv.conf")).getCurrentDNSAddresses();
}

void MacOSXAbstractionImpl::disableKillSwitchInterfaces()
{
    Settings settings;
    QStringList services;
    if (!guarded([&] { services = NetworkSetup(m_programs.networkSetup).listAllNetworkServices(); }))
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
        for (const QString &service : NetworkSetup(m_programs.networkSetup).listAllNetworkServices())
            interfaces << NetworkInterface(service);
    });
    return interfaces;
}

bool MacOSXAbstractionImpl::allInterfacesInState(const QStringList &services, bool enabled)
{
    try {
        StelvaneRunner runner(m_programs.helper, StelvaneRunner::Timeouts());
        for (const QString &service : services) {
            if (runner.isInterfaceEnabled(service) != enabled)
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
    guarded([&] {
        StelvaneRunner runner(m_programs.helper, StelvaneRunner::Timeouts());
        run(runner);
    });
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
    helperRun([&](StelvaneRunner &runner) { runner.addProtectiveSimpleSplittedDefaultRoute(); });
}

void MacOSXAbstractionImpl::removeProtectiveSimpleSplittedDefaultRoute()
{
    helperRun([&](StelvaneRunner &runner) { runner.removeProtectiveSimpleSplittedDefaultRoute(); });
}

void MacOSXAbstractionImpl::addProtectiveSimpleSplittedIPV6DefaultRoute()
{
    helperRun([&](StelvaneRunner &runner) { runner.addProtectiveSimpleSplittedIPV6DefaultRoute(); });
}

void MacOSXAbstractionImpl::removeProtectiveSimpleSplittedIPV6DefaultRoute()
{
    helperRun([&](StelvaneRunner &runner) { runner.removeProtectiveSimpleSplittedIPV6DefaultRoute(); });
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

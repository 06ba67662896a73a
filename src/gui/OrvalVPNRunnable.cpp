#include "gui/OrvalVPNRunnable.h"

#include "BuildConfig.h"
#include "app/DaemonVpnFrontend.h"
#include "app/RunnableConstructorException.h"
#include "backend/NullHandler.h"
#include "gui/ApplicationTranslation.h"
#include "gui/FrontendLifecycle.h"
#include "gui/MessageBoxOrvalVPN.h"
#include "gui/OrvalVPNMainWindow.h"
#include "gui/ServerListWidgetStyle.h"
#include "gui/StartupChecks.h"
#include "gui/StyleOrvalVpn.h"
#include "gui/TrayIcon.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"
#include "system/InternetKillSwitchManager.h"

#include <QApplication>
#include <QDebug>
#include <QMainWindow>
#include <QTranslator>

OrvalVPNRunnable::OrvalVPNRunnable(QApplication &application)
    : application(application)
    , statistics(&UserStatistics::getUserStatistics())
    , services(os, BackendServices::WebSetup::product())
{
    connect(&services.whatIsMyLocation, &WhatIsMyLocation::updateLocation, this, &OrvalVPNRunnable::updateMyLocation);
    if (!negotiator.negotiate()) {
        throw RunnableConstructorException(
            QStringLiteral("Error: client server negotiation failed. Please check the log for more details"), 1);
    }
    connect(&negotiator, &ClientServerNegotiator::exitApplication, this, &OrvalVPNRunnable::onExitApplication);
}

OrvalVPNRunnable::~OrvalVPNRunnable() = default;

int OrvalVPNRunnable::run()
{
    StartupChecks checks(*statistics);
    checks.checkIfPreferenceFileIsWritable();
    InternetKillSwitchManager killSwitchManager(os);
    const bool recoverDnsStack = checks.dnsStackRecoveryIsNecessary();
    services.backend.init(QSharedPointer<NullHandler>::create(), recoverDnsStack);

    QTranslator translator;
    qDebug() << "OrvalVPN " << BuildConfig::applicationVersion;
    MessageBoxFactory::setInstance(QSharedPointer<MessageBoxOrvalVPN>::create());
    ApplicationTranslation::install(translator);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    ServerListWidgetStyle::setInstance(QSharedPointer<StyleOrvalVpn>::create());
    if (Settings().getHideFromDock())
        os.hideDockIcon();
    else
        os.showDockIcon();

    logOnlyFrontend.reset(
        new DaemonVpnFrontend(&services.networkAccessManager, services.backend, services.whatIsMyLocation));
    services.dispatcher.add(logOnlyFrontend);
    lifecycle.reset(new FrontendLifecycle(
        services.dispatcher, services.backend, *logOnlyFrontend, [this] { return makeTrayIcon(); },
        [this] { return makeMainWindow(); }));
    {
        const Settings settings;
        lifecycle->createStartupFrontends(settings.trayIconEnabled(), settings.shouldStartMinimized());
    }
    checks.connectAtLaunchIfNecessary(services.backend, os);

    const int exitCode = application.exec();
    releaseFrontends();
    // The process-wide instances hold icons and styles that must not
    // outlive the application they were made with.
    ServerListWidgetStyle::setInstance({});
    MessageBoxFactory::setInstance({});
    return exitCode;
}

bool OrvalVPNRunnable::isVPNRunning()
{
    return logOnlyFrontend && logOnlyFrontend->isActive();
}

bool OrvalVPNRunnable::isNetworkGloballyProtected()
{
    return services.blackHoleRoutes.isNetworkGloballyProtected();
}

void OrvalVPNRunnable::onAskAndExitApplication(QWidget *parent)
{
    if (lifecycle)
        lifecycle->onAskAndExitApplication(parent);
}

void OrvalVPNRunnable::onExitApplication()
{
    if (lifecycle)
        lifecycle->onExitApplication();
}

void OrvalVPNRunnable::showMainWindow()
{
    if (lifecycle)
        lifecycle->showMainWindow();
}

void OrvalVPNRunnable::toggleMainWindowVisibility()
{
    if (lifecycle)
        lifecycle->toggleMainWindowVisibility();
}

void OrvalVPNRunnable::detachFrontend(VpnFrontend *frontend)
{
    if (lifecycle)
        lifecycle->detachFrontend(frontend);
}

void OrvalVPNRunnable::detachTrayIcon()
{
    if (lifecycle)
        lifecycle->detachTrayIcon();
}

void OrvalVPNRunnable::updateMyLocation(GeoLocation geoLocation)
{
    // A look-up answered while a connection comes up saw the VPN's exit.
    if (isVPNRunning()) {
        qDebug() << "OrvalVPNRunnable - location ignored while a connection starts or runs";
        return;
    }
    Settings().setMyLocation(geoLocation);
}

void OrvalVPNRunnable::createNewTrayIcon()
{
    if (lifecycle)
        lifecycle->createNewTrayIcon();
}

void OrvalVPNRunnable::createNewMainWindow()
{
    if (lifecycle)
        lifecycle->createNewMainWindow();
}

void OrvalVPNRunnable::attachObserver(const QSharedPointer<VpnFrontend> &observer)
{
    services.dispatcher.add(observer);
}

QSharedPointer<TrayIcon> OrvalVPNRunnable::makeTrayIcon()
{
    return QSharedPointer<TrayIcon>(new TrayIcon(services.backend, os, *this, *statistics), &QObject::deleteLater);
}

QSharedPointer<VpnFrontend> OrvalVPNRunnable::makeMainWindow()
{
    QSharedPointer<OrvalVPNMainWindow> window(new OrvalVPNMainWindow(os, *this, &services.networkAccessManager,
                                                                     *statistics, services.backend,
                                                                     services.lifeCycleClient),
                                              &QObject::deleteLater);
    OrvalVPNMainWindow *const shown = window.data();
    // A look-up answered while a connection comes up saw the VPN's exit.
    connect(&services.whatIsMyLocation, &WhatIsMyLocation::updateLocation, shown, [this, shown](GeoLocation location) {
        if (!isVPNRunning())
            shown->updateMyLocation(location);
    });
    return window;
}

void OrvalVPNRunnable::releaseFrontends()
{
    // The log-only frontend stays: it hears the backend's teardown.
    services.dispatcher.detachAllFrontendsOfType<QMainWindow>();
    services.dispatcher.detachAllFrontendsOfType<TrayIcon>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

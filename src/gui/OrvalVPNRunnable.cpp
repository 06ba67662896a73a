#include "gui/OrvalVPNRunnable.h"

#include "BuildConfig.h"
#include "app/DaemonVpnFrontend.h"
#include "app/RunnableConstructorException.h"
#include "core/NullHandler.h"
#include "gui/ApplicationTranslation.h"
#include "gui/FrontendLifecycle.h"
#include "gui/GuiLogging.h"
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
#include <QTimer>
#include <QTranslator>

OrvalVPNRunnable::OrvalVPNRunnable(QApplication &application)
    : m_application(application)
    , m_statistics(&UserStatistics::getUserStatistics())
    , m_services(m_os, BackendServices::WebSetup::product())
{
    m_services.dispatcher.add(m_serverSites);
    connect(&m_services.whatIsMyLocation, &WhatIsMyLocation::updateLocation, this, &OrvalVPNRunnable::updateMyLocation);
    if (!m_negotiator.negotiate()) {
        throw RunnableConstructorException(
            QStringLiteral("Error: client server negotiation failed. Please check the log for more details"), 1);
    }
    connect(&m_negotiator, &ClientServerNegotiator::exitApplication, this, &OrvalVPNRunnable::onExitApplication);
}

OrvalVPNRunnable::~OrvalVPNRunnable() = default;

int OrvalVPNRunnable::run()
{
    // Before the start-up checks: their questions are the first boxes.
    MessageBoxFactory::setInstance(QSharedPointer<MessageBoxOrvalVPN>::create());
    StartupChecks checks(*m_statistics);
    checks.checkIfPreferenceFileIsWritable();
    InternetKillSwitchManager killSwitchManager(m_os);
    const bool recoverDnsStack = checks.dnsStackRecoveryIsNecessary();
    m_services.backend.init(QSharedPointer<NullHandler>::create(), recoverDnsStack);
    // The built-in catalogue is in place now.
    m_serverSites->reload();

    QTranslator translator;
    qCDebug(lcGui) << "OrvalVPN " << BuildConfig::applicationVersion;
    ApplicationTranslation::install(translator);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    ServerListWidgetStyle::setInstance(QSharedPointer<StyleOrvalVpn>::create());
    if (Settings().getHideFromDock())
        m_os.hideDockIcon();
    else
        m_os.showDockIcon();

    m_logOnlyFrontend.reset(
        new DaemonVpnFrontend(&m_services.networkAccessManager, m_services.backend, m_services.whatIsMyLocation));
    m_services.dispatcher.add(m_logOnlyFrontend);
    m_lifecycle.reset(new FrontendLifecycle(
        m_services.dispatcher, m_services.backend, *m_logOnlyFrontend, [this] { return makeTrayIcon(); },
        FrontendLifecycle::mainWindowFactory<OrvalVPNMainWindow>([this] { return makeMainWindow(); })));
    {
        const Settings settings;
        m_lifecycle->createStartupFrontends(settings.trayIconEnabled(), settings.shouldStartMinimized());
    }
    checks.connectAtLaunchIfNecessary(m_services.backend, m_os);
    // Once the window is up: the collection runs programs and lists the bundle.
    QTimer::singleShot(0, &m_os, &MacOSXAbstractionImpl::printSystemInfo);

    const int exitCode = m_application.exec();
    releaseFrontends();
    // The process-wide instances hold icons and styles that must not
    // outlive the application they were made with.
    ServerListWidgetStyle::setInstance({});
    MessageBoxFactory::setInstance({});
    return exitCode;
}

bool OrvalVPNRunnable::isVPNRunning()
{
    return m_logOnlyFrontend && m_logOnlyFrontend->isActive();
}

bool OrvalVPNRunnable::isNetworkGloballyProtected()
{
    return m_services.blackHoleRoutes.isNetworkGloballyProtected();
}

void OrvalVPNRunnable::onAskAndExitApplication(QWidget *parent)
{
    if (m_lifecycle)
        m_lifecycle->onAskAndExitApplication(parent);
}

void OrvalVPNRunnable::onExitApplication()
{
    if (m_lifecycle)
        m_lifecycle->onExitApplication();
}

void OrvalVPNRunnable::showMainWindow()
{
    if (m_lifecycle)
        m_lifecycle->showMainWindow();
}

void OrvalVPNRunnable::toggleMainWindowVisibility()
{
    if (m_lifecycle)
        m_lifecycle->toggleMainWindowVisibility();
}

void OrvalVPNRunnable::detachFrontend(VpnFrontend *frontend)
{
    if (m_lifecycle)
        m_lifecycle->detachFrontend(frontend);
}

void OrvalVPNRunnable::detachTrayIcon()
{
    if (m_lifecycle)
        m_lifecycle->detachTrayIcon();
}

void OrvalVPNRunnable::updateMyLocation(GeoLocation geoLocation)
{
    // A look-up answered while a connection comes up saw the VPN's exit.
    if (isVPNRunning()) {
        qCDebug(lcGui) << "OrvalVPNRunnable - location ignored while a connection starts or runs";
        return;
    }
    Settings().setMyLocation(geoLocation);
}

void OrvalVPNRunnable::createNewTrayIcon()
{
    if (m_lifecycle)
        m_lifecycle->createNewTrayIcon();
}

void OrvalVPNRunnable::createNewMainWindow()
{
    if (m_lifecycle)
        m_lifecycle->createNewMainWindow();
}

void OrvalVPNRunnable::attachObserver(const QSharedPointer<VpnFrontend> &observer)
{
    m_services.dispatcher.add(observer);
}

QSharedPointer<TrayIcon> OrvalVPNRunnable::makeTrayIcon()
{
    const QSharedPointer<TrayIcon> tray(new TrayIcon(m_services.backend, m_os, *this, *m_statistics),
                                        &QObject::deleteLater);
    tray->followServerSites(*m_serverSites);
    return tray;
}

QSharedPointer<OrvalVPNMainWindow> OrvalVPNRunnable::makeMainWindow()
{
    QSharedPointer<OrvalVPNMainWindow> window(new OrvalVPNMainWindow(m_os, *this, &m_services.networkAccessManager,
                                                                     *m_statistics, m_services.backend,
                                                                     m_services.lifeCycleClient),
                                              &QObject::deleteLater);
    OrvalVPNMainWindow *const shown = window.data();
    shown->followServerSites(*m_serverSites);
    // Before the lifecycle's answer (connected by the factory): the windows
    // are fed the sites a save changed before they show the preferences again.
    connect(shown, &OrvalVPNMainWindow::settingsSaved, m_serverSites.data(), &ServerSiteModel::reload);
    // A look-up answered while a connection comes up saw the VPN's exit.
    connect(&m_services.whatIsMyLocation, &WhatIsMyLocation::updateLocation, shown,
            [this, shown](GeoLocation location) {
                if (!isVPNRunning())
                    shown->updateMyLocation(location);
            });
    return window;
}

void OrvalVPNRunnable::releaseFrontends()
{
    // The log-only frontend stays: it hears the backend's teardown.
    m_services.dispatcher.detachAllFrontendsOfType<QMainWindow>();
    m_services.dispatcher.detachAllFrontendsOfType<TrayIcon>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

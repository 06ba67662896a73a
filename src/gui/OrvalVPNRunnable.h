#pragma once

#include "app/AbstractRunnable.h"
#include "app/BackendServices.h"
#include "app/ClientServerNegotiator.h"
#include "backend/BackendStateTracker.h"
#include "catalogue/ServerSiteModel.h"
#include "core/GeoLocation.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QObject>
#include <QScopedPointer>
#include <QSharedPointer>

class DaemonVpnFrontend;
class FrontendLifecycle;
class OrvalVPNMainWindow;
class QApplication;
class QWidget;
class TrayIcon;
class UserStatistics;
class VpnFrontend;

// The GUI run: tray icon, main windows and the VPN backend in one process.
// The constructor builds the long-lived services and settles that no other
// instance runs; run() makes the start-up checks, initialises the backend,
// attaches the frontends and runs the event loop. Which frontends are
// attached and how the run ends is FrontendLifecycle's to decide.
class OrvalVPNRunnable : public QObject, public AbstractRunnable, public BackendStateTracker
{
    Q_OBJECT

public:
    // Throws RunnableConstructorException (exit code 1) when another
    // instance runs, and a std::runtime_error for the user when there is no
    // private folder for the single-instance socket.
    explicit OrvalVPNRunnable(QApplication &application);
    ~OrvalVPNRunnable() override;

    int run() override;

    // A connection starts or runs; false before run() has made the log-only frontend.
    bool isVPNRunning() override;
    bool isNetworkGloballyProtected() override;

public slots:
    void onAskAndExitApplication(QWidget *parent);
    void onExitApplication();
    void showMainWindow();
    void toggleMainWindowVisibility();
    void detachFrontend(VpnFrontend *frontend);
    void detachTrayIcon();
    void updateMyLocation(GeoLocation geoLocation);

public:
    void createNewTrayIcon();
    void createNewMainWindow();
    // Attaches a frontend without a face (a test tool's printer): it hears
    // what the backend reports and keeps no run going.
    void attachObserver(const QSharedPointer<VpnFrontend> &observer);

private:
    int runEventLoop();
    QSharedPointer<TrayIcon> makeTrayIcon();
    QSharedPointer<OrvalVPNMainWindow> makeMainWindow();
    // Drops the windows and the tray icon before the services they call go.
    void releaseFrontends();

    QApplication &m_application;
    ClientServerNegotiator m_negotiator;
    UserStatistics *m_statistics;
    QSharedPointer<DaemonVpnFrontend> m_logOnlyFrontend;
    // The catalogue the windows and the tray show, read once per change; the
    // dispatcher's first frontend, so that it has read a downloaded catalogue
    // before the others hear of it.
    QSharedPointer<ServerSiteModel> m_serverSites {QSharedPointer<ServerSiteModel>::create()};
    MacOSXAbstractionImpl m_os;
    BackendServices m_services;
    QScopedPointer<FrontendLifecycle> m_lifecycle;
};

#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "core/VpnFrontend.h"

#include <QList>
#include <QMultiHash>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

class BackendStateTracker;
class OsAbstraction;
class QAction;
class QEventLoop;
class QMenu;
class ServerSiteModel;
class UserStatistics;
class VpnBackend;

// The system-tray frontend: shows the connection as the tray icon's look,
// tool tip and notifications, and offers a context menu to show the main
// window, pick a server site, connect to the default site, disconnect and
// quit. It sits beside the main window on the backend's dispatcher.
class TrayIcon : public QObject, public VpnFrontend
{
    Q_OBJECT

public:
    static const QString DISCONNECTED_IMAGE;
    static const QString CONNECTING_IMAGE;
    static const QString CONNECTED_IMAGE;
    // How long Quit waits for a stopped connection to report its end.
    static const int DEFAULT_STOP_WAIT_MS = 30000;
    static const int NOTIFICATION_MS = 10000;

    TrayIcon(VpnBackend &backend, OsAbstraction &os, BackendStateTracker &stateTracker, UserStatistics &statistics);
    ~TrayIcon() override;

    // True when site a goes before site b in the "Server" menu.
    static bool cmpServerSites(const HalvorixServerSite &a, const HalvorixServerSite &b);

    // Lists the model's sites in the "Server" menu now and after each of its reloads.
    void followServerSites(const ServerSiteModel &model);
    // Adds "New MainWindow" to the menu, for a multi-window mode.
    void setMultiWindows();
    // Stops a running connection and waits (bounded) for its end.
    void terminateVPN();
    // The bound of the wait for a stopped connection's end; tests shorten it.
    void setStopWaitMs(int milliseconds) { m_stopWaitMs = milliseconds; }
    // Quit then only asks and emits exitApplication: whoever hears it stops
    // the connection and waits for its end (the GUI run does, in its own
    // event loop, where a start-up's result can arrive).
    void leaveStopToApplication() { m_stopsOnQuit = false; }

    void onVpnStartupProgress(const VpnStartupProgress &progress) override;
    void onVpnStartupResult(const VpnStartupResult &result) override;
    void onUpdateState(const VpnConnectionState &state) override;
    void onReceiveErrorMessage(const ErrorMessage &message) override;
    void onReceiveFatalErrorMessage(const ErrorMessage &message) override;
    void vpnTerminated(VpnTerminationReport report) override;
    void onEventClosed(quint64 eventId) override;
    void vpnPasswordRequest(const PasswordRequestMessage &request) override;
    void onUpdateByteCount(ByteCount byteCount) override;
    void onConnected() override;
    void onNewConfigWasDownloaded() override;
    void showFrontend() override;
    void hideFrontend() override;
    void toggleVisibility() override;

signals:
    void exitApplication();
    void createNewMainWindow();
    void showMainWindow();
    void toggleMainWindowVisibility();

public slots:
    void displayNotifications(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon,
                              int msecs = NOTIFICATION_MS);
    void notifyUserForCredentials();
    void notifyUserLoginFailed();
    void onDisconnected();
    void setServerSites(QList<HalvorixServerSite> serverSites);
    void onChangeServer(QAction *action);
    void connectToDefault();
    void startVPN(const QString &serverSiteId);
    void onConnecting();
    void onIconActivated(QSystemTrayIcon::ActivationReason reason);
    void updateTooltip();
    void onQuitApplication();
    void sendStopVPNToBackend();

protected:
    // The preferences want notifications and a system tray can show them.
    virtual bool notificationsWanted() const;
    // Shows a balloon on the tray icon; tests override it to see notifications.
    virtual void showTrayMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon,
                                 int msecs);

private:
    static QString displayName();
    void setLook(const QString &image, bool connectable);
    // Aborts a start-up still in its pipeline, else stops the connection.
    void endRunOrStart();
    // endRunOrStart, then waits in an event loop without user input until
    // the end is reported or the bound passes.
    void stopAndWait();
    // A stopped or aborted run reported its end: ends a waiting stopAndWait.
    void runEnded();
    QString shownCity() const;

    VpnBackend &m_backend;
    OsAbstraction &m_os;
    BackendStateTracker &m_stateTracker;
    UserStatistics &m_statistics;
    // The sites of the "Server" menu, as last set.
    QList<HalvorixServerSite> m_serverSites;
    // Menus are widgets and cannot have this object as their Qt parent: each
    // is owned here alone. Actions have this object as their Qt parent.
    QSystemTrayIcon *m_trayIcon;
    std::unique_ptr<QMenu> m_trayIconMenu;
    std::unique_ptr<QMenu> m_serverMenu;
    QAction *m_showHideAction;
    QAction *m_connectAction;
    QAction *m_disconnectAction;
    QAction *m_quitAction;
    QMultiHash<QString, QSharedPointer<QAction>> m_serverActions;
    QList<QSharedPointer<QMenu>> m_serverSubMenus;
    QAction *m_newMainWindowAction;
    QString m_stateText;
    // Why the engine tries again, while it does.
    QString m_failureText;
    QString m_sentText;
    QString m_receivedText;
    QString m_localIp;
    QString m_remoteIp;
    HalvorixServerSite m_currentServerSite;
    QString m_lastNotification;

    int m_stopWaitMs = DEFAULT_STOP_WAIT_MS;
    bool m_stopsOnQuit = true;
    QEventLoop *m_stopWait = nullptr;
    bool m_endReported = false;
    // Between a start's initial progress and its result.
    bool m_startUpRunning = false;
};

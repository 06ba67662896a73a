#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/StealthProxy.h"
#include "core/GeoLocation.h"
#include "core/VpnFrontend.h"
#include "gui/EventMessageCloserImpl.h"

#include <QMainWindow>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>
#include <QUrl>

class BackendStateTracker;
class ConnectionParameters;
class ConnectionStatus;
class LifeCycleClient;
class OsAbstraction;
class QNetworkAccessManager;
class ServerSiteModel;
class Settings;
class UserStatistics;
class VpnBackend;

namespace Ui {
class OrvalVPNMainWindow;
}

// The user's window on a connection: the world map with, over it, the connect
// panel, the server list and the loading, status and login pages; the menus,
// the update banner and the status-bar state. It is one of the backend's
// frontends and sends every user command to the backend.
class OrvalVPNMainWindow : public QMainWindow, public VpnFrontend, public EventMessageCloserImpl
{
    Q_OBJECT

public:
    OrvalVPNMainWindow(OsAbstraction &osAbstraction, BackendStateTracker &backendStateTracker,
                       QNetworkAccessManager *networkManager, UserStatistics &userStatistics, VpnBackend &backend,
                       LifeCycleClient &lifeCycleClient, QWidget *parent = nullptr);
    ~OrvalVPNMainWindow() override;

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

    // Shows the model's sites and proxies now and after each of its reloads.
    void followServerSites(const ServerSiteModel &model);
    // The sites on the map, the connect panel and the server list.
    void setServerSites(const QList<HalvorixServerSite> &sites);
    void setStealthProxies(const QList<StealthProxy> &proxies);

    bool containsMainWindow() const { return true; }
    bool isDaemon() const { return false; }

    static const QString ERROR_TITLE;
    static const QString FATAL_ERROR_TITLE;
    static const QString CIPHER_NONE_WARNING;
    static const QString CIPHER_NONE_CHECK_BOX;

signals:
    void exitApplication(QWidget *window);
    void detachFrontend(VpnFrontend *frontend);
    // The preferences dialog, of the menu or of the connect panel, changed
    // the stored preferences; the run mode answers with onSettingsSaved.
    void settingsSaved();

public slots:
    void onStartOpenVpn(QSharedPointer<ConnectionParameters> parameters);
    bool warnUserWhenCipherNoneIfCipherWarningIsActive(Settings &settings);
    void startVPN(Settings &settings, QSharedPointer<ConnectionParameters> parameters);
    void onUpdateAvailable(QString version, QUrl downloadUrl, QUrl changelogUrl);
    void onServerSiteSelected(HalvorixServerSite site, bool defaultStealthCipher = false);
    void showConnectPage();
    void showServerListPage(HalvorixServerSite site);
    void showPreferences();
    // Shows again what the stored preferences say (the sites, dedicated ones
    // included, came from the model's reload): the panel's choice and the menu.
    void onSettingsSaved();
    void onAutoConnectOnStartUp();
    void onIksEnableInterfaces();
    void updateState();
    void emitExitApplication();
    void showAbout();
    void updateMyLocation(GeoLocation location);
    void sendAbortToBackend();
    void sendSkipToBackend();
    void sendStopVPNToBackend();
    void sendUsernamePasswordToBackend(QString username, QString password);
    void requestToRefreshPublicIp();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Status-bar texts of the window's own.
    static QString terminatedText();
    static QString credentialsRequiredText();
    void showLoadingPage();
    void showStatusPage();
    void showLoginPage();
    void showConnectionPage(QWidget &page);
    // The connect panel shows the site a start connects to.
    void showSiteOfStart(const VpnStartupProgress &progress);
    void showErrorMessage(const ErrorMessage &message, const QString &title);
    void enableKillSwitchInterfaces(Settings &settings);
    void connectWidgets(LifeCycleClient &lifeCycleClient);
    // A connection starts or runs: one of the connection pages is up.
    bool connectionUnderWay() const;
    // The dispatcher replays to a window that it is just attaching the
    // messages it stored earlier: those were made before the window.
    bool isReplayed(const EventMessage &message) const;

    OsAbstraction &m_osAbstraction;
    BackendStateTracker &m_backendStateTracker;
    QScopedPointer<Ui::OrvalVPNMainWindow> m_ui;
    // The catalogue's last reading, as the model handed it.
    QList<HalvorixServerSite> m_serverSites;
    QList<StealthProxy> m_stealthProxies;
    QNetworkAccessManager *m_networkManager;
    ConnectionStatus *m_connectionStatus;
    UserStatistics &m_userStatistics;
    VpnBackend &m_backend;
    // Every message made from the window's construction on has at least this identifier.
    const quint64 m_firstLiveEventId;
};

#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/HalvorixServerSitesList.h"
#include "catalogue/OpenVpnConfigCipher.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "catalogue/StealthProxy.h"

#include <QList>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>
#include <QWidget>

class AbstractSetupConnectWidget;
class BackendStateTracker;
class ConnectionParameters;
class ConnectVia;
class OpenVpn243SetupConnectWidget;
class OsAbstraction;
class Settings;
class UserStatistics;
class VpnBackend;

namespace Ui {
class OrvalVPNConnectWidget;
}

// The connect panel of the main window: the current server site, the
// transport, port/auth, cipher and stunnel choice (filled by its controller),
// the pinned and dedicated addresses, the credentials, the preferences link
// and Connect, which stores the choice and emits the connection to start.
// The panel never talks to the backend itself.
class OrvalVPNConnectWidget : public QWidget
{
    Q_OBJECT

public:
    explicit OrvalVPNConnectWidget(QWidget *parent = nullptr);
    ~OrvalVPNConnectWidget() override;

    void setServerSites(const QList<HalvorixServerSite> &sites);
    // The stored site, else the one nearest the own location, else "USA-Dallas".
    void setDefaultCurrentServerSite();
    void setCurrentServerSiteFromSettings(const HalvorixServerSite &site, bool preferStealth);
    void setCurrentServerSiteFromUISelection(const HalvorixServerSite &site, bool preferStealth);
    // The site of that identifier, else the first site, else the empty site.
    void setCurrentServerSite(const QString &id);
    // Stores the site and the on-screen choice as the defaults; never the empty site.
    void saveCurrentServerSite();
    void updateGUIFromSettings();
    void updateCredentials();
    // After the preferences changed: the stored credentials, and Remember
    // Credentials ticked exactly when some are remembered (a tick left
    // behind Restore Defaults would store the next ones again).
    void showStoredCredentials();
    // Connect needs a site, a transport and both credentials.
    void updateConnectButton();
    void setUpPinnedIp();
    void connectVPN();

    QString getCurrentCipherString() const;
    QString getUser() const;
    QString getPass() const;
    OpenVpnConfigCipher getCurrentConfigCipher() const;
    bool isSTunnelEnabled() const;
    OpenVpnConfigurationModel getCurrentOpenVpn243SelectionCipher() const;
    const ConnectVia &currentOpenVpn243Protocol() const;

    void setStealthProxies(const QList<StealthProxy> &proxies);
    void setOsAbstraction(OsAbstraction *os);
    void setBackendStateTracker(BackendStateTracker *tracker);
    void setVpnBackend(VpnBackend *backend);
    void setUserStatistics(UserStatistics *statistics);

    HalvorixServerSite getCurrentServerSite() const;
    static bool isEmptySite(const HalvorixServerSite &site);

signals:
    void startOpenVpn243(QSharedPointer<ConnectionParameters> startOpenVpn243Params);
    void selectServerSite(HalvorixServerSite currentServerSite);
    void login(QString, QString);
    // The preferences dialog of the settings link changed the stored
    // preferences; the main window passes it on.
    void settingsSaved();

public slots:
    void onDisconnected();
    void on_connect_clicked();
    void on_protocolSelect_activated(const QString &text);
    void on_selectServerSite_clicked();
    void on_settings_linkActivated(const QString &link);
    void on_portSelect_activated(const QString &text);
    void on_cipherSelect_activated(const QString &text);
    void on_portSelect_currentIndexChanged(const QString &text);
    void on_cipherSelect_currentIndexChanged(const QString &text);
    void on_pinServerIp_clicked();
    void on_remoteIpForget_clicked();
    void on_username_textChanged(const QString &text);
    void on_password_textChanged(const QString &text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void makeCurrent(const HalvorixServerSite &site, bool preferStealth);
    void reserveWidths(const QList<HalvorixServerSite> &sites);
    void refreshServerWidget();
    void setUpPinnedIp(Settings &settings);
    void setUpDedicatedIp();
    void onChoicePicked();
    void onChoiceChanged();
    void makeConnectTheReturnKey();
    QSharedPointer<ConnectionParameters> connectionParameters(Settings &settings) const;
    const OpenVpn243SetupConnectWidget &openVpn243() const;
    OpenVpn243SetupConnectWidget &openVpn243();

    QScopedPointer<Ui::OrvalVPNConnectWidget> m_ui;
    HalvorixServerSite m_currentServerSite;
    QList<StealthProxy> m_stealthProxies;
    OsAbstraction *m_osAbstraction = nullptr;
    BackendStateTracker *m_backendStateTracker = nullptr;
    VpnBackend *m_vpnBackend = nullptr;
    UserStatistics *m_userStatistics = nullptr;
    HalvorixServerSitesList m_serverSites;
    QSharedPointer<AbstractSetupConnectWidget> m_setupConnectWidget;
};

#pragma once

#include "catalogue/StealthProxy.h"
#include "prefs/DnsList.h"
#include "system/NetworkInterface.h"

#include <QList>
#include <QMessageBox>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <optional>

class LogHandlerOption;
class OsAbstraction;
class QComboBox;
class QLineEdit;
class VpnBackend;
class Ui_SettingsWidget;

// Every preference of the client in seven tabs. The controls are filled from
// the preferences by loadSettings and written back only by onDialogSave; a few
// actions (forgetting credentials, terminating processes, the DNS cache, the
// log files, the system name servers) act at once.
class SettingsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsWidget(QWidget *parent = nullptr);
    ~SettingsWidget() override;

    void setOsAbstraction(OsAbstraction *os);
    void setVpnBackend(VpnBackend *backend);
    void setGlobalRouteAlreadyActive(bool active);
    // While a connection starts or runs, the system name servers and the
    // DNS cache are left alone: their buttons are disabled.
    void setConnectionActive(bool active);
    void init(const QList<StealthProxy> &stealthProxies);
    void disableAutoLogin();

    void setStealthProxies(const QList<StealthProxy> &stealthProxies);
    void loadSettings();
    void refreshDnsPreferenceComboBoxes();
    void refreshDebugTab();
    void setServerSitesFocus();
    QStringList processesToKillByName() const;

    // Selects the first item whose user data equals value, else the first item.
    static void setCurrentItemByDataOrFirstEntry(QComboBox *combo, const QVariant &value);
    // Whether the kill list may hold the name: never this program's own
    // name, nor one that killall would take for an option.
    static bool isKillableProcessName(const QString &name);

signals:
    // False while the chosen custom proxy has an unusable address or port.
    void areInputsValid(bool valid);

public slots:
    void onDialogSave();
    void onDialogCancel();
    void onRestoreDefaults();

private slots:
    void on_enableTrayIcon_stateChanged(int state);
    void on_forgetCredentials_clicked();
    void on_addProcessToKillList_clicked();
    void on_removeSelectedProcessFromKillList_clicked();
    void on_nameOfProcessToAdd_textChanged(const QString &text);
    void on_processesToKillByNameList_itemSelectionChanged();
    void on_testKillAll_clicked();
    void on_selectProcessName_clicked();
    void on_selectPathToBeforeConnectScript_clicked();
    void on_selectPathToAfterConnectScript_clicked();
    void on_selectPathToAfterDisconnectScript_clicked();
    void on_clearScript_clicked();
    void on_internetKillSwitch_stateChanged(int state);
    void on_internetKillSwitchShowDialogButton_clicked();
    void on_seamlessReconnect_clicked();
    void on_dnsListWidget_clicked();
    void on_setSystemDNSButton_clicked();
    void on_cleanDNSCache_clicked();
    void on_refreshDNSCacheNow_clicked();
    void on_mtuComboBox_currentIndexChanged(int index);
    void on_mtuLineEdit_textChanged(const QString &text);
    void on_proxyAddress_textChanged(const QString &text);
    void on_proxyPort_textChanged(const QString &text);
    void on_serverSitesDedicatedIpAdd_clicked();
    void on_serverSitesDedicatedIpRemove_clicked();
    void on_serverSitesDedicatedIpList_itemSelectionChanged();
    void on_tabWidget_currentChanged(int index);
    void on_showLogButton_clicked();
    void on_logFolderSizeRefreshButton_clicked();
    void on_cleanLogFolderButton_clicked();

private:
    void loadGeneralTab();
    void loadScriptsAndAppKillTabs();
    void loadNetworkTab();
    void loadProxyTab();
    void loadServersTab();
    void loadDebugTab();
    void selectStoredDnsActions();

    void warningAutoStartWithAskDNSRecovery();
    void warningLogFile();
    int showBox(const QString &text, QMessageBox::StandardButtons buttons, int icon,
                const QString &informativeText = QString());

    void setTrayDependentsEnabled(bool enabled);
    void addProcessName(const QString &name);
    void selectPathToScript(const QString &title, QLineEdit *target);
    bool isProxyAddressAcceptable() const;
    void updateSaveAllowed();
    void updateDnsButtons();
    QString effectiveDefaultServerSite() const;

    QScopedPointer<Ui_SettingsWidget> m_ui;
    VpnBackend *m_vpnBackend = nullptr;
    OsAbstraction *m_osAbstraction = nullptr;
    bool m_globalRouteAlreadyActive = false;
    DnsList m_dnsList;
    QList<NetworkInterface> m_allInterfaces;
    QList<NetworkInterface> m_killSwitchInterfaces;

    bool m_connectionActive = false;
    // The default-server change made in the dedicated-IP list, written by
    // the save: a site identifier, or the empty text when the default was
    // removed. Nothing when the list left the default alone.
    std::optional<QString> m_defaultServerSiteChange;
    // A stored log option without an item of its own stays stored until the
    // user picks an item.
    const LogHandlerOption *m_loadedLogOption = nullptr;
    bool m_logOptionChosen = false;
};

#pragma once

#include "catalogue/StealthProxy.h"
#include "gui/settings/AppKillSettingsTab.h"
#include "gui/settings/DebugSettingsTab.h"
#include "gui/settings/GeneralSettingsTab.h"
#include "gui/settings/NetworkSettingsTab.h"
#include "gui/settings/ProxySettingsTab.h"
#include "gui/settings/ScriptsSettingsTab.h"
#include "gui/settings/ServersSettingsTab.h"

#include <QList>
#include <QMessageBox>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

class OsAbstraction;
class QLineEdit;
class Settings;
class VpnBackend;
class Ui_SettingsWidget;

// Every preference of the client in seven tabs. The controls are filled from
// the preferences by loadSettings and written back only by onDialogSave, each
// tab by a small class of its own over the form; a few actions (forgetting
// credentials, terminating processes, the DNS cache, the log files, the
// system name servers) act at once.
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
    void setServerSitesFocus();

    // Whether the kill list may hold the name: never this program's own
    // name, nor one that killall would take for an option.
    static bool isKillableProcessName(const QString &name);

signals:
    // False while a custom MTU or the chosen custom proxy's address or port
    // is unusable.
    void areInputsValid(bool valid);
    // An action wrote preferences at once (Restore Defaults, Forget
    // Credentials): a Cancel of the dialog does not undo them.
    void preferencesWrittenAtOnce();

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
    void showStoredTab(const Settings &settings);

    void warningKillAllMissing();
    void warningAutoStartWithAskDNSRecovery();
    void warningLogFile();
    int showBox(const QString &text, QMessageBox::StandardButtons buttons, int icon,
                const QString &informativeText = QString());

    void addProcessName(const QString &name);
    void selectPathToScript(const QString &title, QLineEdit *target);
    bool isProxyAddressAcceptable() const;
    // Why a value is refused, for the line under its field; empty when it is not.
    QString mtuRefusal() const;
    QString proxyAddressRefusal() const;
    QString proxyPortRefusal() const;
    // Shows every refusal and allows the save only when there is none.
    void checkInputs();
    void updateDnsButtons();

    QScopedPointer<Ui_SettingsWidget> m_ui;
    VpnBackend *m_vpnBackend = nullptr;
    OsAbstraction *m_osAbstraction = nullptr;
    bool m_globalRouteAlreadyActive = false;
    bool m_connectionActive = false;

    // One per tab, each over the form; made after it and gone before it.
    GeneralSettingsTab m_generalTab;
    AppKillSettingsTab m_appKillTab;
    ScriptsSettingsTab m_scriptsTab;
    NetworkSettingsTab m_networkTab;
    ProxySettingsTab m_proxyTab;
    ServersSettingsTab m_serversTab;
    DebugSettingsTab m_debugTab;
};

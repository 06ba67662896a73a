#include "gui/settings/SettingsWidget.h"

#include "app/AbstractMessageHandler.h"
#include "app/FileMessageHandler.h"
#include "catalogue/CountryCode.h"
#include "catalogue/DnsJson.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/HalvorixServerSite.h"
#include "core/LogHandlerOption.h"
#include "gui/GuiLocalDnsJsonRefresher.h"
#include "gui/MessageBoxFactory.h"
#include "gui/NullEventMessageCloser.h"
#include "gui/StyleSheet.h"
#include "gui/settings/DnsListDialog.h"
#include "gui/settings/InternetKillSwitchInterfacesDialog.h"
#include "gui/settings/LogDialog.h"
#include "gui/settings/ServerSiteEntryDialog.h"
#include "gui/settings/SystemNameServerSettingDialog.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"
#include "system/KillAll.h"
#include "system/OsAbstraction.h"
#include "system/ProcessList.h"
#include "ui_SettingsWidget.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHostAddress>
#include <QInputDialog>
#include <QIntValidator>
#include <QStandardPaths>
#include <QSystemTrayIcon>

namespace {
const QString RED_TEXT = QStringLiteral("color : red");
const QString BLACK_TEXT = QStringLiteral("color : black");
const QString SCRIPT_FILTER = QStringLiteral("Scripts (*.cmd *.bat *.vbs *.sh *.pl);;Windows Executables "
                                             "(*.exe);;MacOSX Applications (*.app);;Any files (*)");

QIcon flagOf(const QString &countryCode)
{
    return QIcon(QPixmap(CountryCode::findByIsoCode(countryCode).getFlagPath()));
}

QString logFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DataLocation) + QStringLiteral("/logs");
}

const LogHandlerOption *logOptionOf(const QComboBox &combo)
{
    return combo.currentData().value<const LogHandlerOption *>();
}

MtuPreference *mtuPreferenceOf(const QComboBox &combo)
{
    return combo.currentData().value<MtuPreference *>();
}

DnsPreferenceAction dnsActionOf(const QComboBox &combo)
{
    return combo.currentData().value<DnsPreferenceAction>();
}
} // namespace

SettingsWidget::SettingsWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui_SettingsWidget)
{
    m_dnsList.addHardCodedEntries();
    m_ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/settingswidget.qss")));

    // Kept in the form for the stored values, but not offered here.
    m_ui->preventWebRtcLeak->hide();
    m_ui->blockOutsideDns->hide();
    m_ui->CheckTunTapOnConnect->hide();
    m_ui->minimizeToTray_widget->hide();
    m_ui->hideFromDock->show();

    connect(m_ui->proxySettingsStealth, &QRadioButton::toggled, m_ui->proxySettingsStealthValues, &QWidget::setEnabled);
    connect(m_ui->proxySettingsCustom, &QRadioButton::toggled, m_ui->proxySettingsCustomValues, &QWidget::setEnabled);
    connect(m_ui->proxySettingsCustom, &QRadioButton::toggled, this, &SettingsWidget::updateSaveAllowed);
    connect(m_ui->logOptionComboBox, QOverload<int>::of(&QComboBox::activated), this,
            [this] { m_logOptionChosen = true; });

    m_ui->proxyProtocol->clear();
    m_ui->proxyProtocol->addItem(tr("HTTP"), int(Settings::HTTP));
    m_ui->proxyProtocol->addItem(tr("Socks5"), int(Settings::SOCKS5));

    m_ui->proxyPort->setValidator(new QIntValidator(1, 65535, this));
    m_ui->mtuLineEdit->setValidator(new QIntValidator(MtuPreference::LOW_MTU, MtuPreference::HIGH_MTU, this));

    m_ui->tlsMinimumVersionLabel->setToolTip(
        tr("All Halvorix servers support TLS 1.2, so choosing TLS 1.0 is not recommended."));
}

SettingsWidget::~SettingsWidget() = default;

void SettingsWidget::setOsAbstraction(OsAbstraction *os)
{
    m_osAbstraction = os;
    m_ui->autostart->setVisible(os->supportsAutostart());
}

void SettingsWidget::setVpnBackend(VpnBackend *backend)
{
    m_vpnBackend = backend;
}

void SettingsWidget::setGlobalRouteAlreadyActive(bool active)
{
    m_globalRouteAlreadyActive = active;
}

void SettingsWidget::setConnectionActive(bool active)
{
    m_connectionActive = active;
    updateDnsButtons();
}

void SettingsWidget::init(const QList<StealthProxy> &stealthProxies)
{
    setStealthProxies(stealthProxies);
    loadSettings();
}

void SettingsWidget::disableAutoLogin()
{
    m_ui->autoLogin->hide();
}

void SettingsWidget::setServerSitesFocus()
{
    m_ui->serverSitesDedicatedIpAdd->setFocus(Qt::OtherFocusReason);
}

void SettingsWidget::setCurrentItemByDataOrFirstEntry(QComboBox *combo, const QVariant &value)
{
    if (combo->count() == 0)
        return;
    const int index = combo->findData(value, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index < 0 ? 0 : index);
}

bool SettingsWidget::isKillableProcessName(const QString &name)
{
    // The process table shortens command names to 15 characters.
    const QString ownName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return !name.isEmpty() && !name.startsWith(QLatin1Char('-')) && name != ownName && name != ownName.left(15);
}

// Loading.

void SettingsWidget::loadSettings()
{
    m_defaultServerSiteChange.reset();
    loadGeneralTab();
    loadScriptsAndAppKillTabs();
    loadNetworkTab();
    loadProxyTab();
    loadServersTab();
    loadDebugTab();
    updateDnsButtons();
    updateSaveAllowed();
}

void SettingsWidget::loadGeneralTab()
{
    Settings settings;
    m_ui->autostart->setChecked(m_osAbstraction && m_osAbstraction->isLoginItem());
    m_ui->forgetCredentials->setEnabled(settings.remembersCredentials());
    m_ui->autoConnect->setChecked(settings.autoConnectOnStartup());
    m_ui->autoLogin->setChecked(settings.autoLoginOnConnect());
    m_ui->armKillswitch->setChecked(settings.armKillswitchAfterFirstConnection());
    m_ui->stillActiveWarning->setChecked(settings.stillActiveWarningEnable());

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        m_ui->enableTrayIcon->setEnabled(false);
        m_ui->enableTrayIcon->setToolTip(tr("System tray is not available on your platform."));
    }
    // The stored choice itself: without a tray it is shown, and kept, as it is.
    m_ui->enableTrayIcon->setChecked(settings.isTrayIconSetInPreference());
    const bool trayInUse = settings.trayIconEnabled();
    setTrayDependentsEnabled(trayInUse);
    m_ui->startMinimized->setChecked(settings.isStartMinimizedSetInPreference());
    m_ui->minimizeOnConnect->setChecked(settings.isMinimizeOnConnectSetInPreference());
    m_ui->closeToTray->setChecked(settings.isCloseToTraySetInPreference());
    m_ui->minimizeToTray->setChecked(settings.isMinimizeToTraySetInPreference());
    m_ui->displayNotifications->setChecked(settings.isDisplayNotificationsSetInPreference());

    m_ui->displayCipherWarnings->setChecked(settings.displayCipherWarning());
    m_ui->dpiScaling->setChecked(settings.getPixelRatioToggle());
    m_ui->rememberWindowGeometry->setChecked(settings.getRememberWindowGeometry());
    m_ui->hideFromDock->setChecked(settings.getHideFromDock());

    m_ui->tabWidget->setCurrentIndex(settings.settingsDialogCurrentTabIndex());
    if (m_ui->tabWidget->currentWidget() == m_ui->serverSites)
        setServerSitesFocus();
}

void SettingsWidget::loadScriptsAndAppKillTabs()
{
    Settings settings;
    m_ui->doExecuteExternalScripts->setChecked(settings.executeExternalScripts());
    m_ui->pathToBeforeConnectScript->setText(settings.pathToBeforeConnectScript());
    m_ui->pathToAfterConnectScript->setText(settings.pathToAfterConnectScript());
    m_ui->pathToAfterDisconnectScript->setText(settings.pathToAfterDisconnectScript());

    m_ui->doTerminateProcessesOnDisconnect->setChecked(settings.terminateProcessesOnDisconnect());
    m_ui->processesToKillByNameList->clear();
    m_ui->processesToKillByNameList->addItems(settings.processKillList());
}

void SettingsWidget::loadNetworkTab()
{
    Settings settings;
    m_ui->recoverDNSStackOnStart->clear();
    for (const DnsRecoveryPreference &preference : {DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover(),
                                                    DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart(),
                                                    DnsRecoveryPreference::getDnsRecoveryPreferenceForget()})
        m_ui->recoverDNSStackOnStart->addItem(preference.getDisplayName(), QVariant::fromValue(preference));
    setCurrentItemByDataOrFirstEntry(m_ui->recoverDNSStackOnStart,
                                     QVariant::fromValue(settings.recoverDNSStackOnStart()));

    m_ui->preventWebRtcLeak->setChecked(settings.preventWebRtcLeak());
    m_ui->preventIPv6Leak->setChecked(settings.preventIPv6Leak());
    m_ui->preventIPv6Leak->setEnabled(!m_globalRouteAlreadyActive);
    m_ui->seamlessReconnect->setEnabled(!m_globalRouteAlreadyActive);
    if (m_globalRouteAlreadyActive) {
        m_ui->preventIPv6Leak->setText(
            tr("Prevent IPv6 leak (cannot be changed if \"Block internet when not connected\" is active)"));
        m_ui->seamlessReconnect->setText(
            tr("Seamless reconnect (cannot be changed if \"Block internet when not connected\" is active)"));
    } else {
        m_ui->preventIPv6Leak->setText(tr("Prevent IPv6 leak"));
        m_ui->seamlessReconnect->setText(tr("Seamless reconnect"));
    }
    m_ui->seamlessReconnect->setChecked(settings.seamlessReconnect());
    m_ui->blockInternetWhenNotConnected->setEnabled(m_ui->seamlessReconnect->isChecked());
    m_ui->blockInternetWhenNotConnected->setChecked(settings.isBlockInternetWhenNotConnectedSetInPreference());

    m_ui->internetKillSwitch->setChecked(settings.internetKillSwitch());
    m_ui->internetKillSwitchShowDialogButton->setEnabled(m_ui->internetKillSwitch->isChecked());
    m_ui->removeIKSonClose->setEnabled(m_ui->internetKillSwitch->isChecked());
    m_ui->removeIKSonClose->setChecked(settings.isRemoveInternetKillSwitchOnCloseSetInPreference());

    m_allInterfaces = m_osAbstraction ? m_osAbstraction->listNetworkInterfaces() : QList<NetworkInterface>();
    m_killSwitchInterfaces.clear();
    for (const NetworkInterface &networkInterface : qAsConst(m_allInterfaces)) {
        if (settings.isInternetKillSwitchInterface(networkInterface))
            m_killSwitchInterfaces.append(networkInterface);
    }

    switch (settings.iksEnableOnConnect()) {
    case Settings::NOOP: m_ui->iksEnableOnConnect->setCurrentText(QStringLiteral("No")); break;
    case Settings::ENABLE: m_ui->iksEnableOnConnect->setCurrentText(QStringLiteral("Yes")); break;
    default: m_ui->iksEnableOnConnect->setCurrentText(QStringLiteral("Ask")); break;
    }

    m_dnsList = settings.getCustomDNS();
    refreshDnsPreferenceComboBoxes();
    selectStoredDnsActions();
    m_ui->refreshDNSCache->setChecked(settings.getRefreshDNSCache());
    m_ui->cleanDNSCache->setEnabled(DnsJson::isLocalDNSCachePresent());
    m_ui->lookupHostnameBeforeConnecting->setChecked(settings.getLookupHostnameBeforeConnecting());

    switch (settings.getTlsMinimumVersion()) {
    case Settings::TLS_1_0: m_ui->tlsMinimumVersionComboBox->setCurrentText(QStringLiteral("1.0")); break;
    case Settings::TLS_1_2: m_ui->tlsMinimumVersionComboBox->setCurrentText(QStringLiteral("1.2")); break;
    }

    const MtuPreference *mtu = settings.getMtuPreference();
    m_ui->mtuComboBox->clear();
    for (MtuPreference *preference : MtuPreference::ALLMTUPREFERENCES())
        m_ui->mtuComboBox->addItem(preference->displayName(), QVariant::fromValue(preference));
    m_ui->mtuComboBox->setCurrentText(mtu->displayName());
    m_ui->mtuLineEdit->setText(QString::number(mtu->getMtu()));
}

void SettingsWidget::selectStoredDnsActions()
{
    Settings settings;
    setCurrentItemByDataOrFirstEntry(m_ui->onStartDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionOnStart()));
    setCurrentItemByDataOrFirstEntry(m_ui->beforeConnectDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionBeforeConnect()));
    setCurrentItemByDataOrFirstEntry(m_ui->afterConnectDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionAfterConnect()));
}

void SettingsWidget::loadProxyTab()
{
    Settings settings;
    switch (settings.getProxySettings()) {
    case Settings::STEALTH: m_ui->proxySettingsStealth->setChecked(true); break;
    case Settings::CUSTOM: m_ui->proxySettingsCustom->setChecked(true); break;
    case Settings::DIRECT: m_ui->proxySettingsDirect->setChecked(true); break;
    default:
        qDebug() << "Unknown proxy settings type" << int(settings.getProxySettings());
        m_ui->proxySettingsDirect->setChecked(true);
        break;
    }
    setCurrentItemByDataOrFirstEntry(m_ui->stealthProxyServer, settings.getStealthProxyId());
    setCurrentItemByDataOrFirstEntry(m_ui->proxyProtocol, int(settings.getProxyProtocol()));
    m_ui->proxyAddressCheck->hide();
    m_ui->proxyAddress->setText(settings.getProxyAddress());
    m_ui->proxyPort->setText(settings.getProxyPort());
}

void SettingsWidget::loadServersTab()
{
    Settings settings;
    m_ui->serverSitesDedicatedIpList->clear();
    for (const HalvorixServerSite &site : settings.serverSitesWithDedicatedIp()) {
        if (site.getDedicatedIp().isNull())
            continue;
        auto *item = new QListWidgetItem(flagOf(site.getCountryCode()), site.getDedicatedIpDisplayInfo(),
                                         m_ui->serverSitesDedicatedIpList);
        item->setData(Qt::UserRole, QVariant::fromValue(site));
    }
    m_ui->serverSitesDedicatedIpList->sortItems(Qt::AscendingOrder);
}

void SettingsWidget::loadDebugTab()
{
    Settings settings;
    m_ui->logToFileWarningActive->setChecked(settings.getShowLogToFileWarning());
    m_ui->logOptionComboBox->clear();
    for (const LogHandlerOption *option : {&LogHandlerOption::NullHandler(), &LogHandlerOption::FileHandler()})
        m_ui->logOptionComboBox->addItem(option->toString(), QVariant::fromValue(option));
    m_loadedLogOption = &settings.getLogHandlerOption();
    m_logOptionChosen = false;
    for (int i = 0; i < m_ui->logOptionComboBox->count(); ++i) {
        if (*m_ui->logOptionComboBox->itemData(i).value<const LogHandlerOption *>() == *m_loadedLogOption)
            m_ui->logOptionComboBox->setCurrentIndex(i);
    }
    m_ui->logFolderPathLineEdit->setReadOnly(true);
    m_ui->logFolderPathLineEdit->setText(logFolderPath());
    m_ui->showLogButton->setEnabled(*logOptionOf(*m_ui->logOptionComboBox) == LogHandlerOption::FileHandler());
    refreshDebugTab();
}

// The DNS action lists and the debug tab.

void SettingsWidget::refreshDnsPreferenceComboBoxes()
{
    QComboBox *const combos[] = {m_ui->onStartDnsComboBox, m_ui->beforeConnectDnsComboBox,
                                 m_ui->afterConnectDnsComboBox};
    QVariantList chosen;
    for (QComboBox *combo : combos) {
        chosen << combo->currentData();
        combo->clear();
        combo->addItem(DnsPreferenceAction::getDnsPreferenceActionNone().getDisplayName(),
                       QVariant::fromValue(DnsPreferenceAction::getDnsPreferenceActionNone()));
    }
    for (const DnsPreferenceAction &action :
         {DnsPreferenceAction::getDnsPreferenceActionPushed(), DnsPreferenceAction::getDnsPreferenceActionVpn(),
          DnsPreferenceAction::getDnsPreferenceActionAdBlocking()})
        m_ui->afterConnectDnsComboBox->addItem(action.getDisplayName(), QVariant::fromValue(action));
    for (const DnsListEntry &entry : qAsConst(m_dnsList)) {
        const DnsPreferenceAction action = DnsPreferenceAction::getDnsPreferenceActionCustom(entry);
        for (QComboBox *combo : combos)
            combo->addItem(action.getDisplayName(), QVariant::fromValue(action));
    }
    // By the action itself, not by its name: a custom entry may be named like
    // a built-in action.
    for (int i = 0; i < 3; ++i)
        setCurrentItemByDataOrFirstEntry(combos[i], chosen.at(i));
}

void SettingsWidget::refreshDebugTab()
{
    QDir folder;
    const QString path = logFolderPath();
    if (!folder.mkpath(path) || !folder.cd(path)) {
        m_ui->cleanLogFolderButton->setEnabled(false);
        m_ui->logFolderSizeBytes->setText(AbstractMessageHandler::humanReadableByte(0));
        return;
    }
    m_ui->cleanLogFolderButton->setEnabled(
        !folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    quint64 total = 0;
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        total += quint64(file.size());
    m_ui->logFolderSizeBytes->setText(AbstractMessageHandler::humanReadableByte(total));
}

// Saving.

void SettingsWidget::onDialogSave()
{
    Settings settings;
    settings.setAutoConnectOnStartup(m_ui->autoConnect->isChecked());
    settings.setAutoLoginOnConnect(m_ui->autoLogin->isChecked());
    settings.setArmKillswitchAfterFirstConnection(m_ui->armKillswitch->isChecked());
    settings.setStillActiveWarningEnable(m_ui->stillActiveWarning->isChecked());

    if (m_osAbstraction) {
        if (m_ui->autostart->isChecked())
            m_osAbstraction->addLoginItem();
        else
            m_osAbstraction->removeLoginItem();
    }

    // Without a tray the box only shows the stored choice, which stays.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        settings.setTrayIconEnabled(m_ui->enableTrayIcon->isChecked());
    settings.setStartMinimized(m_ui->startMinimized->isChecked());
    settings.setMinimizeOnConnect(m_ui->minimizeOnConnect->isChecked());
    settings.setCloseToTray(m_ui->closeToTray->isChecked());
    settings.setMinimizeToTray(m_ui->minimizeToTray->isChecked());
    settings.setDisplayNotifications(m_ui->displayNotifications->isChecked());
    settings.setDisplayCipherWarning(m_ui->displayCipherWarnings->isChecked());
    settings.setPixelRatioToggle(m_ui->dpiScaling->isChecked());
    settings.setRememberWindowGeometry(m_ui->rememberWindowGeometry->isChecked());
    settings.setHideFromDock(m_ui->hideFromDock->isChecked());

    settings.setSettingsDialogCurrentTabIndex(m_ui->tabWidget->currentIndex());

    settings.setExecuteExternalScripts(m_ui->doExecuteExternalScripts->isChecked());
    settings.setPathToBeforeConnectScript(m_ui->pathToBeforeConnectScript->text());
    settings.setPathToAfterConnectScript(m_ui->pathToAfterConnectScript->text());
    settings.setPathToAfterDisconnectScript(m_ui->pathToAfterDisconnectScript->text());

    if (m_ui->doTerminateProcessesOnDisconnect->isChecked() && !KillAll::verifyKillAllExistsOnLinux())
        showBox(tr("App Kill option doesn't seem to work properly"), QMessageBox::Ok, MessageBoxFactory::Warning,
                tr("Can not find killall utility. Please install PSmisc package."));
    settings.setTerminateProcessesOnDisconnect(m_ui->doTerminateProcessesOnDisconnect->isChecked());
    settings.setProcessKillList(processesToKillByName());

    if (m_ui->autostart->isChecked()
        && m_ui->recoverDNSStackOnStart->currentData().value<DnsRecoveryPreference>()
               == DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart())
        warningAutoStartWithAskDNSRecovery();
    settings.setRecoverDNSStackOnStart(m_ui->recoverDNSStackOnStart->currentData().value<DnsRecoveryPreference>());

    settings.setPreventWebRtcLeak(m_ui->preventWebRtcLeak->isChecked());
    settings.setPreventIPv6Leak(m_ui->preventIPv6Leak->isChecked());
    settings.setSeamlessReconnect(m_ui->seamlessReconnect->isChecked());
    settings.setBlockInternetWhenNotConnected(m_ui->blockInternetWhenNotConnected->isChecked());
    settings.setInternetKillSwitch(m_ui->internetKillSwitch->isChecked());
    settings.setRemoveInternetKillSwitchOnClose(m_ui->removeIKSonClose->isChecked());

    for (const NetworkInterface &networkInterface : qAsConst(m_allInterfaces)) {
        if (m_killSwitchInterfaces.contains(networkInterface))
            settings.setInternetKillSwitchInterface(networkInterface);
        else
            settings.clearInternetKillSwitchInterface(networkInterface);
    }

    const QString iks = m_ui->iksEnableOnConnect->currentText();
    settings.setIksEnableOnConnect(iks == QLatin1String("Yes")  ? Settings::ENABLE
                                   : iks == QLatin1String("No") ? Settings::NOOP
                                                                : Settings::ASK);

    if (m_ui->proxySettingsDirect->isChecked()) {
        settings.setProxySettings(Settings::DIRECT);
    } else if (m_ui->proxySettingsStealth->isChecked()) {
        settings.setProxySettings(Settings::STEALTH);
        // Without any stealth proxy the stored choice stays.
        if (m_ui->stealthProxyServer->currentIndex() >= 0)
            settings.setStealthProxyId(m_ui->stealthProxyServer->currentData().toString());
    } else if (m_ui->proxySettingsCustom->isChecked()) {
        settings.setProxySettings(Settings::CUSTOM);
        const QVariant protocol = m_ui->proxyProtocol->currentData();
        settings.setProxyProtocol(protocol.isValid() ? Settings::ProxyProtocol(protocol.toInt()) : Settings::HTTP);
        settings.setProxyAddress(m_ui->proxyAddress->text());
        settings.setProxyPort(m_ui->proxyPort->text());
    }

    QList<HalvorixServerSite> sites;
    for (int i = 0; i < m_ui->serverSitesDedicatedIpList->count(); ++i)
        sites << m_ui->serverSitesDedicatedIpList->item(i)->data(Qt::UserRole).value<HalvorixServerSite>();
    settings.setServerSitesWithDedicatedIp(sites);
    if (m_defaultServerSiteChange) {
        if (m_defaultServerSiteChange->isEmpty())
            settings.removeDefaultServerSite();
        else
            settings.setDefaultServerSite(*m_defaultServerSiteChange);
    }

    settings.setCustomDNS(m_dnsList);
    settings.setDnsPreferenceActionOnStart(dnsActionOf(*m_ui->onStartDnsComboBox));
    settings.setDnsPreferenceActionBeforeConnect(dnsActionOf(*m_ui->beforeConnectDnsComboBox));
    settings.setDnsPreferenceActionAfterConnect(dnsActionOf(*m_ui->afterConnectDnsComboBox));
    settings.setRefreshDNSCache(m_ui->refreshDNSCache->isChecked());
    settings.setLookupHostnameBeforeConnecting(m_ui->lookupHostnameBeforeConnecting->isChecked());

    const QString tls = m_ui->tlsMinimumVersionComboBox->currentText();
    if (tls == QLatin1String("1.2"))
        settings.setTlsMinimumVersion(Settings::TLS_1_2);
    else if (tls == QLatin1String("1.0"))
        settings.setTlsMinimumVersion(Settings::TLS_1_0);

    if (MtuPreference *mtu = mtuPreferenceOf(*m_ui->mtuComboBox)) {
        if (m_ui->mtuLineEdit->hasAcceptableInput())
            mtu->setMtuIfCustom(m_ui->mtuLineEdit->text().toInt());
        settings.setMtuPreference(mtu);
    }

    if (*logOptionOf(*m_ui->logOptionComboBox) == LogHandlerOption::FileHandler()
        && m_ui->logToFileWarningActive->isChecked())
        warningLogFile();
    settings.setShowLogToFileWarning(m_ui->logToFileWarningActive->isChecked());
    settings.setLogHandlerOption(m_logOptionChosen ? *logOptionOf(*m_ui->logOptionComboBox) : *m_loadedLogOption);
}

void SettingsWidget::onDialogCancel()
{
    Settings().setSettingsDialogCurrentTabIndex(m_ui->tabWidget->currentIndex());
}

void SettingsWidget::onRestoreDefaults()
{
    const int answer =
        showBox(tr("Restore the default settings?"), QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
                tr("Every preference goes back to its default at once, the remembered credentials "
                   "and the dedicated IP servers included; Cancel will not bring them back."));
    if (answer != QMessageBox::Yes)
        return;
    Settings().clear();
    loadSettings();
}

void SettingsWidget::warningAutoStartWithAskDNSRecovery()
{
    const QString autoRecover = DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover().getDisplayName();
    const int answer = showBox(tr("Automatic DNS state recovery is disabled.\nAuto start on boot withouth automatic "
                                  "DNS state recovery is not recommended."),
                               QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
                               tr("Do you want to set it as \"%1\"?").arg(autoRecover));
    if (answer == QMessageBox::Yes)
        m_ui->recoverDNSStackOnStart->setCurrentText(autoRecover);
}

void SettingsWidget::warningLogFile()
{
    NullEventMessageCloser closer;
    const QSharedPointer<QMessageBox> box = MessageBoxFactory::getInstance()->getMessageBoxWithCheckBox(
        this,
        tr("Saving log to file is intended only for Debugging purpose.\nThe log file could contain information "
           "about VPN connections."),
        tr("Don't ask me again"), QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
        tr("Are you sure you want to save the log in a file?"), QString(), QMessageBox::NoButton, 0, &closer);
    const int answer = box->exec();
    if (answer == QMessageBox::Yes) {
        if (box->checkBox() && box->checkBox()->isChecked())
            m_ui->logToFileWarningActive->setChecked(false);
    } else if (answer == QMessageBox::No) {
        m_ui->logOptionComboBox->setCurrentIndex(
            m_ui->logOptionComboBox->findData(QVariant::fromValue(&LogHandlerOption::NullHandler())));
    }
}

int SettingsWidget::showBox(const QString &text, QMessageBox::StandardButtons buttons, int icon,
                            const QString &informativeText)
{
    NullEventMessageCloser closer;
    return MessageBoxFactory::getInstance()->execMessageBox(this, text, buttons, MessageBoxFactory::iconType(icon),
                                                            informativeText, QString(), QMessageBox::NoButton, 0,
                                                            &closer);
}

QStringList SettingsWidget::processesToKillByName() const
{
    QStringList names;
    for (int i = 0; i < m_ui->processesToKillByNameList->count(); ++i)
        names << m_ui->processesToKillByNameList->item(i)->text();
    return names;
}

// General tab.

void SettingsWidget::on_enableTrayIcon_stateChanged(int state)
{
    if (state == Qt::PartiallyChecked)
        return;
    setTrayDependentsEnabled(state == Qt::Checked);
}

void SettingsWidget::setTrayDependentsEnabled(bool enabled)
{
    for (QCheckBox *dependent : {m_ui->startMinimized, m_ui->minimizeOnConnect, m_ui->closeToTray, m_ui->minimizeToTray,
                                 m_ui->displayNotifications})
        dependent->setEnabled(enabled);
}

void SettingsWidget::on_forgetCredentials_clicked()
{
    if (showBox(tr("Deleting username and password!"), QMessageBox::Ok | QMessageBox::Cancel,
                MessageBoxFactory::Question, tr("Are you sure?"))
        == QMessageBox::Ok)
        Settings().forgetCredentials();
}

// App Kill tab.

void SettingsWidget::on_nameOfProcessToAdd_textChanged(const QString &text)
{
    const QString name = text.trimmed();
    m_ui->addProcessToKillList->setEnabled(
        isKillableProcessName(name) && m_ui->processesToKillByNameList->findItems(name, Qt::MatchExactly).isEmpty());
}

void SettingsWidget::addProcessName(const QString &name)
{
    const QList<QListWidgetItem *> listed = m_ui->processesToKillByNameList->findItems(name, Qt::MatchExactly);
    if (listed.isEmpty())
        m_ui->processesToKillByNameList->addItem(name);
    else
        m_ui->processesToKillByNameList->setCurrentItem(listed.first());
    m_ui->doTerminateProcessesOnDisconnect->setChecked(true);
}

void SettingsWidget::on_addProcessToKillList_clicked()
{
    const QString name = m_ui->nameOfProcessToAdd->text().trimmed();
    if (!isKillableProcessName(name))
        return;
    const bool listed = !m_ui->processesToKillByNameList->findItems(name, Qt::MatchExactly).isEmpty();
    addProcessName(name);
    if (!listed)
        m_ui->nameOfProcessToAdd->clear();
}

void SettingsWidget::on_removeSelectedProcessFromKillList_clicked()
{
    qDeleteAll(m_ui->processesToKillByNameList->selectedItems());
}

void SettingsWidget::on_processesToKillByNameList_itemSelectionChanged()
{
    const bool selected = !m_ui->processesToKillByNameList->selectedItems().isEmpty();
    m_ui->removeSelectedProcessFromKillList->setEnabled(selected);
    m_ui->testKillAll->setEnabled(selected);
}

void SettingsWidget::on_testKillAll_clicked()
{
    QStringList names;
    for (const QListWidgetItem *item : m_ui->processesToKillByNameList->selectedItems()) {
        if (isKillableProcessName(item->text()))
            names << item->text();
    }
    if (names.isEmpty())
        return;
    // Unsaved work in those programs is lost: the user confirms by name.
    if (showBox(tr("Terminate these applications now?"), QMessageBox::Yes | QMessageBox::No,
                MessageBoxFactory::Question, names.join(QStringLiteral(", ")))
        != QMessageBox::Yes)
        return;
    KillAll(names).execute();
}

void SettingsWidget::on_selectProcessName_clicked()
{
    QInputDialog dialog;
    dialog.setWindowTitle(
        QStringLiteral("%1/ Select Process").arg(QCoreApplication::translate("QWidget", "APPLICATION_NAME")));
    dialog.setLabelText(tr("Select a process for adding to kill list:"));
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog.setComboBoxItems(ProcessList().getProcessNames());
    dialog.setComboBoxEditable(false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.textValue();
    if (isKillableProcessName(name))
        addProcessName(name);
}

// Scripts tab.

void SettingsWidget::selectPathToScript(const QString &title, QLineEdit *target)
{
    const QString current = target->text().trimmed();
    const QString start = current.isEmpty() ? QDir::homePath() : current;
    const QString path = QFileDialog::getOpenFileName(this, title, start, SCRIPT_FILTER);
    if (path.isEmpty())
        return;
    m_ui->doExecuteExternalScripts->setChecked(true);
    target->setText(path);
}

void SettingsWidget::on_selectPathToBeforeConnectScript_clicked()
{
    selectPathToScript(tr("Select Before Connect Script"), m_ui->pathToBeforeConnectScript);
}

void SettingsWidget::on_selectPathToAfterConnectScript_clicked()
{
    selectPathToScript(tr("Select After Connect Script"), m_ui->pathToAfterConnectScript);
}

void SettingsWidget::on_selectPathToAfterDisconnectScript_clicked()
{
    selectPathToScript(tr("Select After Disconnect Script"), m_ui->pathToAfterDisconnectScript);
}

void SettingsWidget::on_clearScript_clicked()
{
    m_ui->doExecuteExternalScripts->setChecked(false);
    m_ui->pathToBeforeConnectScript->clear();
    m_ui->pathToAfterConnectScript->clear();
    m_ui->pathToAfterDisconnectScript->clear();
}

// Network tab.

void SettingsWidget::on_internetKillSwitch_stateChanged(int state)
{
    if (state == Qt::PartiallyChecked)
        return;
    m_ui->internetKillSwitchShowDialogButton->setEnabled(state == Qt::Checked);
    m_ui->removeIKSonClose->setEnabled(state == Qt::Checked);
}

void SettingsWidget::on_internetKillSwitchShowDialogButton_clicked()
{
    InternetKillSwitchInterfacesDialog dialog(m_allInterfaces, m_killSwitchInterfaces, this);
    if (dialog.exec() == QDialog::Accepted)
        m_killSwitchInterfaces = dialog.getInternetKillSwitchInterfacesSelected();
}

void SettingsWidget::on_seamlessReconnect_clicked()
{
    m_ui->blockInternetWhenNotConnected->setEnabled(m_ui->seamlessReconnect->isChecked());
}

void SettingsWidget::on_dnsListWidget_clicked()
{
    const QList<DnsListEntry> inUse {dnsActionOf(*m_ui->onStartDnsComboBox).getDnsListEntry(),
                                     dnsActionOf(*m_ui->beforeConnectDnsComboBox).getDnsListEntry(),
                                     dnsActionOf(*m_ui->afterConnectDnsComboBox).getDnsListEntry()};
    DnsListDialog dialog(m_dnsList, inUse, this);
    if (dialog.exec() == QDialog::Accepted)
        m_dnsList = dialog.getDnsList();
    refreshDnsPreferenceComboBoxes();
}

void SettingsWidget::on_setSystemDNSButton_clicked()
{
    SystemNameServerSettingDialog dialog(m_vpnBackend, m_dnsList, this);
    if (dialog.exec() == QDialog::Accepted)
        qDebug() << "System NameServer are changed";
    else
        qDebug() << "System NameServer changing: operation aborted";
}

void SettingsWidget::on_cleanDNSCache_clicked()
{
    if (!DnsJson::cleanLocalDNSCache())
        showBox(tr("Local DNS cache could not be deleted."), QMessageBox::Ok, MessageBoxFactory::Warning);
    m_ui->cleanDNSCache->setEnabled(false);
}

void SettingsWidget::on_refreshDNSCacheNow_clicked()
{
    GuiLocalDnsJsonRefresher refresher(this);
    connect(
        &refresher, &GuiLocalDnsJsonRefresher::refreshFinished, &refresher,
        [this] { m_ui->cleanDNSCache->setEnabled(DnsJson::isLocalDNSCachePresent()); }, Qt::DirectConnection);
    const QStringList hostNames = HalvorixConfig::getHostNamesFromHalvorixServerSites();
    m_osAbstraction->protectRoutesToDns();
    refresher.resolveHostNames(hostNames);
    m_osAbstraction->removeRoutesToDns();
}

void SettingsWidget::updateDnsButtons()
{
    m_ui->setSystemDNSButton->setEnabled(!m_connectionActive);
    m_ui->refreshDNSCacheNow->setEnabled(!m_connectionActive);
}

void SettingsWidget::on_mtuComboBox_currentIndexChanged(int index)
{
    const MtuPreference *mtu = index < 0 ? nullptr : mtuPreferenceOf(*m_ui->mtuComboBox);
    if (!mtu)
        return;
    m_ui->mtuLineEdit->setText(QString::number(mtu->getMtu()));
    m_ui->mtuLineEdit->setEnabled(mtu->isCustomMtu());
}

void SettingsWidget::on_mtuLineEdit_textChanged(const QString &)
{
    const MtuPreference *mtu = mtuPreferenceOf(*m_ui->mtuComboBox);
    const bool refused = mtu && mtu->isCustomMtu() && !m_ui->mtuLineEdit->hasAcceptableInput();
    m_ui->mtuLineEdit->setStyleSheet(refused ? RED_TEXT : BLACK_TEXT);
}

// Proxy tab.

void SettingsWidget::setStealthProxies(const QList<StealthProxy> &stealthProxies)
{
    m_ui->stealthProxyServer->clear();
    for (const StealthProxy &proxy : stealthProxies) {
        const CountryCode country = CountryCode::findByIsoCode(proxy.getCountryCode());
        m_ui->stealthProxyServer->addItem(QIcon(QPixmap(country.getFlagPath())),
                                          country.getName() + QStringLiteral(" - ") + proxy.getCity(), proxy.getId());
    }
    m_ui->stealthProxyServer->setEnabled(m_ui->stealthProxyServer->count() > 1);
    // Nothing to choose: the stealth kind could only store an empty proxy.
    m_ui->proxySettingsStealth->setEnabled(!stealthProxies.isEmpty());
}

bool SettingsWidget::isProxyAddressAcceptable() const
{
    return m_ui->proxyAddress->hasAcceptableInput() && !QHostAddress(m_ui->proxyAddress->text().trimmed()).isNull();
}

void SettingsWidget::on_proxyAddress_textChanged(const QString &text)
{
    m_ui->proxyAddressCheck->hide();
    if (!text.trimmed().isEmpty() && !isProxyAddressAcceptable())
        m_ui->proxyAddressCheck->show();
    updateSaveAllowed();
}

void SettingsWidget::on_proxyPort_textChanged(const QString &)
{
    m_ui->proxyPort->setStyleSheet(m_ui->proxyPort->hasAcceptableInput() ? BLACK_TEXT : RED_TEXT);
    updateSaveAllowed();
}

void SettingsWidget::updateSaveAllowed()
{
    emit areInputsValid(!m_ui->proxySettingsCustom->isChecked()
                        || (isProxyAddressAcceptable() && m_ui->proxyPort->hasAcceptableInput()));
}

// Servers tab.

void SettingsWidget::on_serverSitesDedicatedIpList_itemSelectionChanged()
{
    m_ui->serverSitesDedicatedIpRemove->setEnabled(!m_ui->serverSitesDedicatedIpList->selectedItems().isEmpty());
}

void SettingsWidget::on_tabWidget_currentChanged(int index)
{
    if (m_ui->tabWidget->widget(index) == m_ui->serverSites)
        setServerSitesFocus();
}

QString SettingsWidget::effectiveDefaultServerSite() const
{
    return m_defaultServerSiteChange ? *m_defaultServerSiteChange : Settings().defaultServerSite();
}

void SettingsWidget::on_serverSitesDedicatedIpAdd_clicked()
{
    ServerSiteEntryDialog dialog(this);
    QList<QHostAddress> used;
    for (int i = 0; i < m_ui->serverSitesDedicatedIpList->count(); ++i)
        used << m_ui->serverSitesDedicatedIpList->item(i)
                    ->data(Qt::UserRole)
                    .value<HalvorixServerSite>()
                    .getDedicatedIp();
    dialog.setAlreadyUsedIps(used);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const HalvorixServerSite site = dialog.getNewEntry();
    const QString text = site.getDedicatedIpDisplayInfo();
    const QList<QListWidgetItem *> listed = m_ui->serverSitesDedicatedIpList->findItems(text, Qt::MatchExactly);
    if (!listed.isEmpty()) {
        m_ui->serverSitesDedicatedIpList->setCurrentItem(listed.first());
        return;
    }
    auto *item = new QListWidgetItem(flagOf(site.getCountryCode()), text, m_ui->serverSitesDedicatedIpList);
    item->setData(Qt::UserRole, QVariant::fromValue(site));
    // Written with the site itself by the save, never behind a Cancel.
    if (dialog.setAsDefault())
        m_defaultServerSiteChange = site.getId();
}

void SettingsWidget::on_serverSitesDedicatedIpRemove_clicked()
{
    const QString defaultSite = effectiveDefaultServerSite();
    for (QListWidgetItem *item : m_ui->serverSitesDedicatedIpList->selectedItems()) {
        if (item->data(Qt::UserRole).value<HalvorixServerSite>().getId() == defaultSite) {
            if (showBox(tr("You are removing your default server!"), QMessageBox::Ok | QMessageBox::Cancel,
                        MessageBoxFactory::Warning, tr("Are you sure?"))
                != QMessageBox::Ok)
                return;
            m_defaultServerSiteChange = QString();
        }
        delete item;
    }
}

// Debug tab.

void SettingsWidget::on_showLogButton_clicked()
{
    LogDialog dialog(this);
    dialog.exec();
}

void SettingsWidget::on_logFolderSizeRefreshButton_clicked()
{
    refreshDebugTab();
}

void SettingsWidget::on_cleanLogFolderButton_clicked()
{
    if (!FileMessageHandler::removeAllLogs())
        showBox(tr("Some log file could not be deleted."), QMessageBox::Ok, MessageBoxFactory::Warning);
    refreshDebugTab();
}

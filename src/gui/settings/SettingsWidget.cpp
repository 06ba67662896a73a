#include "gui/settings/SettingsWidget.h"

#include "app/AbstractMessageHandler.h"
#include "app/FileMessageHandler.h"
#include "app/LogHandlerOption.h"
#include "catalogue/CountryCode.h"
#include "catalogue/DnsJson.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/HalvorixServerSite.h"
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
    , ui(new Ui_SettingsWidget)
{
    dnsList.addHardCodedEntries();
    ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/settingswidget.qss")));

    // Kept in the form for the stored values, but not offered here.
    ui->preventWebRtcLeak->hide();
    ui->blockOutsideDns->hide();
    ui->CheckTunTapOnConnect->hide();
    ui->minimizeToTray_widget->hide();
    ui->hideFromDock->show();

    connect(ui->proxySettingsStealth, &QRadioButton::toggled, ui->proxySettingsStealthValues, &QWidget::setEnabled);
    connect(ui->proxySettingsCustom, &QRadioButton::toggled, ui->proxySettingsCustomValues, &QWidget::setEnabled);
    connect(ui->proxySettingsCustom, &QRadioButton::toggled, this, &SettingsWidget::updateSaveAllowed);
    connect(ui->logOptionComboBox, QOverload<int>::of(&QComboBox::activated), this, [this] { logOptionChosen = true; });

    ui->proxyProtocol->clear();
    ui->proxyProtocol->addItem(tr("HTTP"), int(Settings::HTTP));
    ui->proxyProtocol->addItem(tr("Socks5"), int(Settings::SOCKS5));

    proxyPortValidator = new QIntValidator(1, 65535, this);
    ui->proxyPort->setValidator(proxyPortValidator);
    mtuValidator = new QIntValidator(MtuPreference::LOW_MTU, MtuPreference::HIGH_MTU, this);
    ui->mtuLineEdit->setValidator(mtuValidator);

    ui->tlsMinimumVersionLabel->setToolTip(
        tr("All Halvorix servers support TLS 1.2, so choosing TLS 1.0 is not recommended."));
}

SettingsWidget::~SettingsWidget() = default;

void SettingsWidget::setOsAbstraction(OsAbstraction *os)
{
    osAbstraction = os;
    ui->autostart->setVisible(os->supportsAutostart());
}

void SettingsWidget::setVpnBackend(VpnBackend *backend)
{
    vpnBackend = backend;
}

void SettingsWidget::setGlobalRouteAlreadyActive(bool active)
{
    globalRouteAlreadyActive = active;
}

void SettingsWidget::setConnectionActive(bool active)
{
    connectionActive = active;
    updateDnsButtons();
}

void SettingsWidget::init(const QList<StealthProxy> &stealthProxies)
{
    setStealthProxies(stealthProxies);
    loadSettings();
}

void SettingsWidget::disableAutoLogin()
{
    ui->autoLogin->hide();
}

void SettingsWidget::setServerSitesFocus()
{
    ui->serverSitesDedicatedIpAdd->setFocus(Qt::OtherFocusReason);
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
    defaultServerSiteChange.reset();
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
    ui->autostart->setChecked(osAbstraction && osAbstraction->isLoginItem());
    ui->forgetCredentials->setEnabled(settings.remembersCredentials());
    ui->autoConnect->setChecked(settings.autoConnectOnStartup());
    ui->autoLogin->setChecked(settings.autoLoginOnConnect());
    ui->armKillswitch->setChecked(settings.armKillswitchAfterFirstConnection());
    ui->stillActiveWarning->setChecked(settings.stillActiveWarningEnable());

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        ui->enableTrayIcon->setEnabled(false);
        ui->enableTrayIcon->setToolTip(tr("System tray is not available on your platform."));
    }
    // The stored choice itself: without a tray it is shown, and kept, as it is.
    ui->enableTrayIcon->setChecked(settings.isTrayIconSetInPreference());
    const bool trayInUse = settings.trayIconEnabled();
    setTrayDependentsEnabled(trayInUse);
    ui->startMinimized->setChecked(settings.isStartMinimizedSetInPreference());
    ui->minimizeOnConnect->setChecked(settings.isMinimizeOnConnectSetInPreference());
    ui->closeToTray->setChecked(settings.isCloseToTraySetInPreference());
    ui->minimizeToTray->setChecked(settings.isMinimizeToTraySetInPreference());
    ui->displayNotifications->setChecked(settings.isDisplayNotificationsSetInPreference());

    ui->displayCipherWarnings->setChecked(settings.displayCipherWarning());
    ui->dpiScaling->setChecked(settings.getPixelRatioToggle());
    ui->rememberWindowGeometry->setChecked(settings.getRememberWindowGeometry());
    ui->hideFromDock->setChecked(settings.getHideFromDock());

    ui->tabWidget->setCurrentIndex(settings.settingsDialogCurrentTabIndex());
    if (ui->tabWidget->currentWidget() == ui->serverSites)
        setServerSitesFocus();
}

void SettingsWidget::loadScriptsAndAppKillTabs()
{
    Settings settings;
    ui->doExecuteExternalScripts->setChecked(settings.executeExternalScripts());
    ui->pathToBeforeConnectScript->setText(settings.pathToBeforeConnectScript());
    ui->pathToAfterConnectScript->setText(settings.pathToAfterConnectScript());
    ui->pathToAfterDisconnectScript->setText(settings.pathToAfterDisconnectScript());

    ui->doTerminateProcessesOnDisconnect->setChecked(settings.terminateProcessesOnDisconnect());
    ui->processesToKillByNameList->clear();
    ui->processesToKillByNameList->addItems(settings.processKillList());
}

void SettingsWidget::loadNetworkTab()
{
    Settings settings;
    ui->recoverDNSStackOnStart->clear();
    for (const DnsRecoveryPreference &preference : {DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover(),
                                                    DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart(),
                                                    DnsRecoveryPreference::getDnsRecoveryPreferenceForget()})
        ui->recoverDNSStackOnStart->addItem(preference.getDisplayName(), QVariant::fromValue(preference));
    setCurrentItemByDataOrFirstEntry(ui->recoverDNSStackOnStart,
                                     QVariant::fromValue(settings.recoverDNSStackOnStart()));

    ui->preventWebRtcLeak->setChecked(settings.preventWebRtcLeak());
    ui->preventIPv6Leak->setChecked(settings.preventIPv6Leak());
    ui->preventIPv6Leak->setEnabled(!globalRouteAlreadyActive);
    ui->seamlessReconnect->setEnabled(!globalRouteAlreadyActive);
    if (globalRouteAlreadyActive) {
        ui->preventIPv6Leak->setText(
            tr("Prevent IPv6 leak (cannot be changed if \"Block internet when not connected\" is active)"));
        ui->seamlessReconnect->setText(
            tr("Seamless reconnect (cannot be changed if \"Block internet when not connected\" is active)"));
    } else {
        ui->preventIPv6Leak->setText(tr("Prevent IPv6 leak"));
        ui->seamlessReconnect->setText(tr("Seamless reconnect"));
    }
    ui->seamlessReconnect->setChecked(settings.seamlessReconnect());
    ui->blockInternetWhenNotConnected->setEnabled(ui->seamlessReconnect->isChecked());
    ui->blockInternetWhenNotConnected->setChecked(settings.isBlockInternetWhenNotConnectedSetInPreference());

    ui->internetKillSwitch->setChecked(settings.internetKillSwitch());
    ui->internetKillSwitchShowDialogButton->setEnabled(ui->internetKillSwitch->isChecked());
    ui->removeIKSonClose->setEnabled(ui->internetKillSwitch->isChecked());
    ui->removeIKSonClose->setChecked(settings.isRemoveInternetKillSwitchOnCloseSetInPreference());

    allInterfaces = osAbstraction ? osAbstraction->listNetworkInterfaces() : QList<NetworkInterface>();
    killSwitchInterfaces.clear();
    for (const NetworkInterface &networkInterface : qAsConst(allInterfaces)) {
        if (settings.isInternetKillSwitchInterface(networkInterface))
            killSwitchInterfaces.append(networkInterface);
    }

    switch (settings.iksEnableOnConnect()) {
    case Settings::NOOP: ui->iksEnableOnConnect->setCurrentText(QStringLiteral("No")); break;
    case Settings::ENABLE: ui->iksEnableOnConnect->setCurrentText(QStringLiteral("Yes")); break;
    default: ui->iksEnableOnConnect->setCurrentText(QStringLiteral("Ask")); break;
    }

    dnsList = settings.getCustomDNS();
    refreshDnsPreferenceComboBoxes();
    selectStoredDnsActions();
    ui->refreshDNSCache->setChecked(settings.getRefreshDNSCache());
    ui->cleanDNSCache->setEnabled(DnsJson::isLocalDNSCachePresent());
    ui->lookupHostnameBeforeConnecting->setChecked(settings.getLookupHostnameBeforeConnecting());

    switch (settings.getTlsMinimumVersion()) {
    case Settings::TLS_1_0: ui->tlsMinimumVersionComboBox->setCurrentText(QStringLiteral("1.0")); break;
    case Settings::TLS_1_2: ui->tlsMinimumVersionComboBox->setCurrentText(QStringLiteral("1.2")); break;
    }

    const MtuPreference *mtu = settings.getMtuPreference();
    ui->mtuComboBox->clear();
    for (MtuPreference *preference : MtuPreference::ALLMTUPREFERENCES())
        ui->mtuComboBox->addItem(preference->displayName(), QVariant::fromValue(preference));
    ui->mtuComboBox->setCurrentText(mtu->displayName());
    ui->mtuLineEdit->setText(QString::number(mtu->getMtu()));
}

void SettingsWidget::selectStoredDnsActions()
{
    Settings settings;
    setCurrentItemByDataOrFirstEntry(ui->onStartDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionOnStart()));
    setCurrentItemByDataOrFirstEntry(ui->beforeConnectDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionBeforeConnect()));
    setCurrentItemByDataOrFirstEntry(ui->afterConnectDnsComboBox,
                                     QVariant::fromValue(settings.getDnsPreferenceActionAfterConnect()));
}

void SettingsWidget::loadProxyTab()
{
    Settings settings;
    switch (settings.getProxySettings()) {
    case Settings::STEALTH: ui->proxySettingsStealth->setChecked(true); break;
    case Settings::CUSTOM: ui->proxySettingsCustom->setChecked(true); break;
    case Settings::DIRECT: ui->proxySettingsDirect->setChecked(true); break;
    default:
        qDebug() << "Unknown proxy settings type" << int(settings.getProxySettings());
        ui->proxySettingsDirect->setChecked(true);
        break;
    }
    setCurrentItemByDataOrFirstEntry(ui->stealthProxyServer, settings.getStealthProxyId());
    setCurrentItemByDataOrFirstEntry(ui->proxyProtocol, int(settings.getProxyProtocol()));
    ui->proxyAddressCheck->hide();
    ui->proxyAddress->setText(settings.getProxyAddress());
    ui->proxyPort->setText(settings.getProxyPort());
}

void SettingsWidget::loadServersTab()
{
    Settings settings;
    ui->serverSitesDedicatedIpList->clear();
    for (const HalvorixServerSite &site : settings.serverSitesWithDedicatedIp()) {
        if (site.getDedicatedIp().isNull())
            continue;
        auto *item = new QListWidgetItem(flagOf(site.getCountryCode()), site.getDedicatedIpDisplayInfo(),
                                         ui->serverSitesDedicatedIpList);
        item->setData(Qt::UserRole, QVariant::fromValue(site));
    }
    ui->serverSitesDedicatedIpList->sortItems(Qt::AscendingOrder);
}

void SettingsWidget::loadDebugTab()
{
    Settings settings;
    ui->logToFileWarningActive->setChecked(settings.getShowLogToFileWarning());
    ui->logOptionComboBox->clear();
    for (const LogHandlerOption *option : {&LogHandlerOption::NullHandler(), &LogHandlerOption::FileHandler()})
        ui->logOptionComboBox->addItem(option->toString(), QVariant::fromValue(option));
    loadedLogOption = &settings.getLogHandlerOption();
    logOptionChosen = false;
    for (int i = 0; i < ui->logOptionComboBox->count(); ++i) {
        if (*ui->logOptionComboBox->itemData(i).value<const LogHandlerOption *>() == *loadedLogOption)
            ui->logOptionComboBox->setCurrentIndex(i);
    }
    ui->logFolderPathLineEdit->setReadOnly(true);
    ui->logFolderPathLineEdit->setText(logFolderPath());
    ui->showLogButton->setEnabled(*logOptionOf(*ui->logOptionComboBox) == LogHandlerOption::FileHandler());
    refreshDebugTab();
}

// The DNS action lists and the debug tab.

void SettingsWidget::refreshDnsPreferenceComboBoxes()
{
    QComboBox *const combos[] = {ui->onStartDnsComboBox, ui->beforeConnectDnsComboBox, ui->afterConnectDnsComboBox};
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
        ui->afterConnectDnsComboBox->addItem(action.getDisplayName(), QVariant::fromValue(action));
    for (const DnsListEntry &entry : qAsConst(dnsList)) {
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
        ui->cleanLogFolderButton->setEnabled(false);
        ui->logFolderSizeBytes->setText(AbstractMessageHandler::humanReadableByte(0));
        return;
    }
    ui->cleanLogFolderButton->setEnabled(
        !folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    quint64 total = 0;
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        total += quint64(file.size());
    ui->logFolderSizeBytes->setText(AbstractMessageHandler::humanReadableByte(total));
}

// Saving.

void SettingsWidget::onDialogSave()
{
    Settings settings;
    settings.setAutoConnectOnStartup(ui->autoConnect->isChecked());
    settings.setAutoLoginOnConnect(ui->autoLogin->isChecked());
    settings.setArmKillswitchAfterFirstConnection(ui->armKillswitch->isChecked());
    settings.setStillActiveWarningEnable(ui->stillActiveWarning->isChecked());

    if (osAbstraction) {
        if (ui->autostart->isChecked())
            osAbstraction->addLoginItem();
        else
            osAbstraction->removeLoginItem();
    }

    // Without a tray the box only shows the stored choice, which stays.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        settings.setTrayIconEnabled(ui->enableTrayIcon->isChecked());
    settings.setStartMinimized(ui->startMinimized->isChecked());
    settings.setMinimizeOnConnect(ui->minimizeOnConnect->isChecked());
    settings.setCloseToTray(ui->closeToTray->isChecked());
    settings.setMinimizeToTray(ui->minimizeToTray->isChecked());
    settings.setDisplayNotifications(ui->displayNotifications->isChecked());
    settings.setDisplayCipherWarning(ui->displayCipherWarnings->isChecked());
    settings.setPixelRatioToggle(ui->dpiScaling->isChecked());
    settings.setRememberWindowGeometry(ui->rememberWindowGeometry->isChecked());
    settings.setHideFromDock(ui->hideFromDock->isChecked());

    settings.setSettingsDialogCurrentTabIndex(ui->tabWidget->currentIndex());

    settings.setExecuteExternalScripts(ui->doExecuteExternalScripts->isChecked());
    settings.setPathToBeforeConnectScript(ui->pathToBeforeConnectScript->text());
    settings.setPathToAfterConnectScript(ui->pathToAfterConnectScript->text());
    settings.setPathToAfterDisconnectScript(ui->pathToAfterDisconnectScript->text());

    if (ui->doTerminateProcessesOnDisconnect->isChecked() && !KillAll::verifyKillAllExistsOnLinux())
        showBox(tr("App Kill option doesn't seem to work properly"), QMessageBox::Ok, MessageBoxFactory::Warning,
                tr("Can not find killall utility. Please install PSmisc package."));
    settings.setTerminateProcessesOnDisconnect(ui->doTerminateProcessesOnDisconnect->isChecked());
    settings.setProcessKillList(processesToKillByName());

    if (ui->autostart->isChecked()
        && ui->recoverDNSStackOnStart->currentData().value<DnsRecoveryPreference>()
               == DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart())
        warningAutoStartWithAskDNSRecovery();
    settings.setRecoverDNSStackOnStart(ui->recoverDNSStackOnStart->currentData().value<DnsRecoveryPreference>());

    settings.setPreventWebRtcLeak(ui->preventWebRtcLeak->isChecked());
    settings.setPreventIPv6Leak(ui->preventIPv6Leak->isChecked());
    settings.setSeamlessReconnect(ui->seamlessReconnect->isChecked());
    settings.setBlockInternetWhenNotConnected(ui->blockInternetWhenNotConnected->isChecked());
    settings.setInternetKillSwitch(ui->internetKillSwitch->isChecked());
    settings.setRemoveInternetKillSwitchOnClose(ui->removeIKSonClose->isChecked());

    for (const NetworkInterface &networkInterface : qAsConst(allInterfaces)) {
        if (killSwitchInterfaces.contains(networkInterface))
            settings.setInternetKillSwitchInterface(networkInterface);
        else
            settings.clearInternetKillSwitchInterface(networkInterface);
    }

    const QString iks = ui->iksEnableOnConnect->currentText();
    settings.setIksEnableOnConnect(iks == QLatin1String("Yes")  ? Settings::ENABLE
                                   : iks == QLatin1String("No") ? Settings::NOOP
                                                                : Settings::ASK);

    if (ui->proxySettingsDirect->isChecked()) {
        settings.setProxySettings(Settings::DIRECT);
    } else if (ui->proxySettingsStealth->isChecked()) {
        settings.setProxySettings(Settings::STEALTH);
        // Without any stealth proxy the stored choice stays.
        if (ui->stealthProxyServer->currentIndex() >= 0)
            settings.setStealthProxyId(ui->stealthProxyServer->currentData().toString());
    } else if (ui->proxySettingsCustom->isChecked()) {
        settings.setProxySettings(Settings::CUSTOM);
        const QVariant protocol = ui->proxyProtocol->currentData();
        settings.setProxyProtocol(protocol.isValid() ? Settings::ProxyProtocol(protocol.toInt()) : Settings::HTTP);
        settings.setProxyAddress(ui->proxyAddress->text());
        settings.setProxyPort(ui->proxyPort->text());
    }

    QList<HalvorixServerSite> sites;
    for (int i = 0; i < ui->serverSitesDedicatedIpList->count(); ++i)
        sites << ui->serverSitesDedicatedIpList->item(i)->data(Qt::UserRole).value<HalvorixServerSite>();
    settings.setServerSitesWithDedicatedIp(sites);
    if (defaultServerSiteChange) {
        if (defaultServerSiteChange->isEmpty())
            settings.removeDefaultServerSite();
        else
            settings.setDefaultServerSite(*defaultServerSiteChange);
    }

    settings.setCustomDNS(dnsList);
    settings.setDnsPreferenceActionOnStart(dnsActionOf(*ui->onStartDnsComboBox));
    settings.setDnsPreferenceActionBeforeConnect(dnsActionOf(*ui->beforeConnectDnsComboBox));
    settings.setDnsPreferenceActionAfterConnect(dnsActionOf(*ui->afterConnectDnsComboBox));
    settings.setRefreshDNSCache(ui->refreshDNSCache->isChecked());
    settings.setLookupHostnameBeforeConnecting(ui->lookupHostnameBeforeConnecting->isChecked());

    const QString tls = ui->tlsMinimumVersionComboBox->currentText();
    if (tls == QLatin1String("1.2"))
        settings.setTlsMinimumVersion(Settings::TLS_1_2);
    else if (tls == QLatin1String("1.0"))
        settings.setTlsMinimumVersion(Settings::TLS_1_0);

    if (MtuPreference *mtu = mtuPreferenceOf(*ui->mtuComboBox)) {
        if (ui->mtuLineEdit->hasAcceptableInput())
            mtu->setMtuIfCustom(ui->mtuLineEdit->text().toInt());
        settings.setMtuPreference(mtu);
    }

    if (*logOptionOf(*ui->logOptionComboBox) == LogHandlerOption::FileHandler()
        && ui->logToFileWarningActive->isChecked())
        warningLogFile();
    settings.setShowLogToFileWarning(ui->logToFileWarningActive->isChecked());
    settings.setLogHandlerOption(logOptionChosen ? *logOptionOf(*ui->logOptionComboBox) : *loadedLogOption);
}

void SettingsWidget::onDialogCancel()
{
    Settings().setSettingsDialogCurrentTabIndex(ui->tabWidget->currentIndex());
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
        ui->recoverDNSStackOnStart->setCurrentText(autoRecover);
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
            ui->logToFileWarningActive->setChecked(false);
    } else if (answer == QMessageBox::No) {
        ui->logOptionComboBox->setCurrentIndex(
            ui->logOptionComboBox->findData(QVariant::fromValue(&LogHandlerOption::NullHandler())));
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
    for (int i = 0; i < ui->processesToKillByNameList->count(); ++i)
        names << ui->processesToKillByNameList->item(i)->text();
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
    for (QCheckBox *dependent :
         {ui->startMinimized, ui->minimizeOnConnect, ui->closeToTray, ui->minimizeToTray, ui->displayNotifications})
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
    ui->addProcessToKillList->setEnabled(isKillableProcessName(name)
                                         && ui->processesToKillByNameList->findItems(name, Qt::MatchExactly).isEmpty());
}

void SettingsWidget::addProcessName(const QString &name)
{
    const QList<QListWidgetItem *> listed = ui->processesToKillByNameList->findItems(name, Qt::MatchExactly);
    if (listed.isEmpty())
        ui->processesToKillByNameList->addItem(name);
    else
        ui->processesToKillByNameList->setCurrentItem(listed.first());
    ui->doTerminateProcessesOnDisconnect->setChecked(true);
}

void SettingsWidget::on_addProcessToKillList_clicked()
{
    const QString name = ui->nameOfProcessToAdd->text().trimmed();
    if (!isKillableProcessName(name))
        return;
    const bool listed = !ui->processesToKillByNameList->findItems(name, Qt::MatchExactly).isEmpty();
    addProcessName(name);
    if (!listed)
        ui->nameOfProcessToAdd->clear();
}

void SettingsWidget::on_removeSelectedProcessFromKillList_clicked()
{
    qDeleteAll(ui->processesToKillByNameList->selectedItems());
}

void SettingsWidget::on_processesToKillByNameList_itemSelectionChanged()
{
    const bool selected = !ui->processesToKillByNameList->selectedItems().isEmpty();
    ui->removeSelectedProcessFromKillList->setEnabled(selected);
    ui->testKillAll->setEnabled(selected);
}

void SettingsWidget::on_testKillAll_clicked()
{
    QStringList names;
    for (const QListWidgetItem *item : ui->processesToKillByNameList->selectedItems()) {
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
    ui->doExecuteExternalScripts->setChecked(true);
    target->setText(path);
}

void SettingsWidget::on_selectPathToBeforeConnectScript_clicked()
{
    selectPathToScript(tr("Select Before Connect Script"), ui->pathToBeforeConnectScript);
}

void SettingsWidget::on_selectPathToAfterConnectScript_clicked()
{
    selectPathToScript(tr("Select After Connect Script"), ui->pathToAfterConnectScript);
}

void SettingsWidget::on_selectPathToAfterDisconnectScript_clicked()
{
    selectPathToScript(tr("Select After Disconnect Script"), ui->pathToAfterDisconnectScript);
}

void SettingsWidget::on_clearScript_clicked()
{
    ui->doExecuteExternalScripts->setChecked(false);
    ui->pathToBeforeConnectScript->clear();
    ui->pathToAfterConnectScript->clear();
    ui->pathToAfterDisconnectScript->clear();
}

// Network tab.

void SettingsWidget::on_internetKillSwitch_stateChanged(int state)
{
    if (state == Qt::PartiallyChecked)
        return;
    ui->internetKillSwitchShowDialogButton->setEnabled(state == Qt::Checked);
    ui->removeIKSonClose->setEnabled(state == Qt::Checked);
}

void SettingsWidget::on_internetKillSwitchShowDialogButton_clicked()
{
    InternetKillSwitchInterfacesDialog dialog(allInterfaces, killSwitchInterfaces, this);
    if (dialog.exec() == QDialog::Accepted)
        killSwitchInterfaces = dialog.getInternetKillSwitchInterfacesSelected();
}

void SettingsWidget::on_seamlessReconnect_clicked()
{
    ui->blockInternetWhenNotConnected->setEnabled(ui->seamlessReconnect->isChecked());
}

void SettingsWidget::on_dnsListWidget_clicked()
{
    const QList<DnsListEntry> inUse {dnsActionOf(*ui->onStartDnsComboBox).getDnsListEntry(),
                                     dnsActionOf(*ui->beforeConnectDnsComboBox).getDnsListEntry(),
                                     dnsActionOf(*ui->afterConnectDnsComboBox).getDnsListEntry()};
    DnsListDialog dialog(dnsList, inUse, this);
    if (dialog.exec() == QDialog::Accepted)
        dnsList = dialog.getDnsList();
    refreshDnsPreferenceComboBoxes();
}

void SettingsWidget::on_setSystemDNSButton_clicked()
{
    SystemNameServerSettingDialog dialog(vpnBackend, dnsList, this);
    if (dialog.exec() == QDialog::Accepted)
        qDebug() << "System NameServer are changed";
    else
        qDebug() << "System NameServer changing: operation aborted";
}

void SettingsWidget::on_cleanDNSCache_clicked()
{
    if (!DnsJson::cleanLocalDNSCache())
        showBox(tr("Local DNS cache could not be deleted."), QMessageBox::Ok, MessageBoxFactory::Warning);
    ui->cleanDNSCache->setEnabled(false);
}

void SettingsWidget::on_refreshDNSCacheNow_clicked()
{
    GuiLocalDnsJsonRefresher refresher(this);
    connect(
        &refresher, &GuiLocalDnsJsonRefresher::refreshFinished, &refresher,
        [this] { ui->cleanDNSCache->setEnabled(DnsJson::isLocalDNSCachePresent()); }, Qt::DirectConnection);
    const QStringList hostNames = HalvorixConfig::getHostNamesFromHalvorixServerSites();
    osAbstraction->protectRoutesToDns();
    refresher.resolveHostNames(hostNames);
    osAbstraction->removeRoutesToDns();
}

void SettingsWidget::updateDnsButtons()
{
    ui->setSystemDNSButton->setEnabled(!connectionActive);
    ui->refreshDNSCacheNow->setEnabled(!connectionActive);
}

void SettingsWidget::on_mtuComboBox_currentIndexChanged(int index)
{
    const MtuPreference *mtu = index < 0 ? nullptr : mtuPreferenceOf(*ui->mtuComboBox);
    if (!mtu)
        return;
    ui->mtuLineEdit->setText(QString::number(mtu->getMtu()));
    ui->mtuLineEdit->setEnabled(mtu->isCustomMtu());
}

void SettingsWidget::on_mtuLineEdit_textChanged(const QString &)
{
    const MtuPreference *mtu = mtuPreferenceOf(*ui->mtuComboBox);
    const bool refused = mtu && mtu->isCustomMtu() && !ui->mtuLineEdit->hasAcceptableInput();
    ui->mtuLineEdit->setStyleSheet(refused ? RED_TEXT : BLACK_TEXT);
}

// Proxy tab.

void SettingsWidget::setStealthProxies(const QList<StealthProxy> &stealthProxies)
{
    ui->stealthProxyServer->clear();
    for (const StealthProxy &proxy : stealthProxies) {
        const CountryCode country = CountryCode::findByIsoCode(proxy.getCountryCode());
        ui->stealthProxyServer->addItem(QIcon(QPixmap(country.getFlagPath())),
                                        country.getName() + QStringLiteral(" - ") + proxy.getCity(), proxy.getId());
    }
    ui->stealthProxyServer->setEnabled(ui->stealthProxyServer->count() > 1);
    // Nothing to choose: the stealth kind could only store an empty proxy.
    ui->proxySettingsStealth->setEnabled(!stealthProxies.isEmpty());
}

bool SettingsWidget::isProxyAddressAcceptable() const
{
    return ui->proxyAddress->hasAcceptableInput() && !QHostAddress(ui->proxyAddress->text().trimmed()).isNull();
}

void SettingsWidget::on_proxyAddress_textChanged(const QString &text)
{
    ui->proxyAddressCheck->hide();
    if (!text.trimmed().isEmpty() && !isProxyAddressAcceptable())
        ui->proxyAddressCheck->show();
    updateSaveAllowed();
}

void SettingsWidget::on_proxyPort_textChanged(const QString &)
{
    ui->proxyPort->setStyleSheet(ui->proxyPort->hasAcceptableInput() ? BLACK_TEXT : RED_TEXT);
    updateSaveAllowed();
}

void SettingsWidget::updateSaveAllowed()
{
    emit areInputsValid(!ui->proxySettingsCustom->isChecked()
                        || (isProxyAddressAcceptable() && ui->proxyPort->hasAcceptableInput()));
}

// Servers tab.

void SettingsWidget::on_serverSitesDedicatedIpList_itemSelectionChanged()
{
    ui->serverSitesDedicatedIpRemove->setEnabled(!ui->serverSitesDedicatedIpList->selectedItems().isEmpty());
}

void SettingsWidget::on_tabWidget_currentChanged(int index)
{
    if (ui->tabWidget->widget(index) == ui->serverSites)
        setServerSitesFocus();
}

QString SettingsWidget::effectiveDefaultServerSite() const
{
    return defaultServerSiteChange ? *defaultServerSiteChange : Settings().defaultServerSite();
}

void SettingsWidget::on_serverSitesDedicatedIpAdd_clicked()
{
    ServerSiteEntryDialog dialog(this);
    QList<QHostAddress> used;
    for (int i = 0; i < ui->serverSitesDedicatedIpList->count(); ++i)
        used
            << ui->serverSitesDedicatedIpList->item(i)->data(Qt::UserRole).value<HalvorixServerSite>().getDedicatedIp();
    dialog.setAlreadyUsedIps(used);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const HalvorixServerSite site = dialog.getNewEntry();
    const QString text = site.getDedicatedIpDisplayInfo();
    const QList<QListWidgetItem *> listed = ui->serverSitesDedicatedIpList->findItems(text, Qt::MatchExactly);
    if (!listed.isEmpty()) {
        ui->serverSitesDedicatedIpList->setCurrentItem(listed.first());
        return;
    }
    auto *item = new QListWidgetItem(flagOf(site.getCountryCode()), text, ui->serverSitesDedicatedIpList);
    item->setData(Qt::UserRole, QVariant::fromValue(site));
    // Written with the site itself by the save, never behind a Cancel.
    if (dialog.setAsDefault())
        defaultServerSiteChange = site.getId();
}

void SettingsWidget::on_serverSitesDedicatedIpRemove_clicked()
{
    const QString defaultSite = effectiveDefaultServerSite();
    for (QListWidgetItem *item : ui->serverSitesDedicatedIpList->selectedItems()) {
        if (item->data(Qt::UserRole).value<HalvorixServerSite>().getId() == defaultSite) {
            if (showBox(tr("You are removing your default server!"), QMessageBox::Ok | QMessageBox::Cancel,
                        MessageBoxFactory::Warning, tr("Are you sure?"))
                != QMessageBox::Ok)
                return;
            defaultServerSiteChange = QString();
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

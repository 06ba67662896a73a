#include "gui/settings/SettingsWidget.h"

#include "app/FileMessageHandler.h"
#include "catalogue/CountryCode.h"
#include "catalogue/DnsJson.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/HalvorixServerSite.h"
#include "core/LogHandlerOption.h"
#include "gui/GuiLocalDnsJsonRefresher.h"
#include "gui/GuiLogging.h"
#include "gui/MessageBoxFactory.h"
#include "gui/NullEventMessageCloser.h"
#include "gui/StyleSheet.h"
#include "gui/settings/DnsListDialog.h"
#include "gui/settings/InputRefusal.h"
#include "gui/settings/InternetKillSwitchInterfacesDialog.h"
#include "gui/settings/LogDialog.h"
#include "gui/settings/ServerSiteEntryDialog.h"
#include "gui/settings/SystemNameServerSettingDialog.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"
#include "system/KillAll.h"
#include "system/OsAbstraction.h"
#include "system/ProcessList.h"
#include "ui_SettingsWidget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHostAddress>
#include <QInputDialog>
#include <QIntValidator>

namespace {
const QString RED_TEXT = QStringLiteral("color : red");
const QString BLACK_TEXT = QStringLiteral("color : black");
const QString SCRIPT_FILTER = QStringLiteral("Scripts (*.cmd *.bat *.vbs *.sh *.pl);;Windows Executables "
                                             "(*.exe);;MacOSX Applications (*.app);;Any files (*)");
} // namespace

SettingsWidget::SettingsWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui_SettingsWidget)
    , m_generalTab(*m_ui)
    , m_appKillTab(*m_ui)
    , m_scriptsTab(*m_ui)
    , m_networkTab(*m_ui)
    , m_proxyTab(*m_ui)
    , m_serversTab(*m_ui)
    , m_debugTab(*m_ui)
{
    // The sheet before the form: under a parent with a sheet of its own (the
    // main window's), Qt would not repolish the tab pages that setupUi has
    // already polished, and their group boxes would keep the plain look.
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/settingswidget.qss")));
    m_ui->setupUi(this);

    // Kept in the form for the stored values, but not offered here.
    m_ui->preventWebRtcLeak->hide();
    m_ui->blockOutsideDns->hide();
    m_ui->CheckTunTapOnConnect->hide();
    m_ui->minimizeToTray_widget->hide();
    m_ui->hideFromDock->show();

    connect(m_ui->proxySettingsStealth, &QRadioButton::toggled, m_ui->proxySettingsStealthValues, &QWidget::setEnabled);
    connect(m_ui->proxySettingsCustom, &QRadioButton::toggled, m_ui->proxySettingsCustomValues, &QWidget::setEnabled);
    connect(m_ui->proxySettingsCustom, &QRadioButton::toggled, this, &SettingsWidget::checkInputs);
    connect(m_ui->logOptionComboBox, QOverload<int>::of(&QComboBox::activated), this,
            [this] { m_debugTab.noteLogOptionChosen(); });

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

bool SettingsWidget::isKillableProcessName(const QString &name)
{
    // The process table shortens command names to 15 characters.
    const QString ownName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return !name.isEmpty() && !name.startsWith(QLatin1Char('-')) && name != ownName && name != ownName.left(15);
}

// Loading.

void SettingsWidget::loadSettings()
{
    Settings settings;
    m_generalTab.load(settings, m_osAbstraction);
    showStoredTab(settings);
    m_scriptsTab.load(settings);
    m_appKillTab.load(settings);
    m_networkTab.load(settings, m_osAbstraction, m_globalRouteAlreadyActive);
    m_proxyTab.load(settings);
    m_serversTab.load(settings);
    m_debugTab.load(settings);
    updateDnsButtons();
    checkInputs();
}

void SettingsWidget::showStoredTab(const Settings &settings)
{
    m_ui->tabWidget->setCurrentIndex(settings.settingsDialogCurrentTabIndex());
    if (m_ui->tabWidget->currentWidget() == m_ui->serverSites)
        setServerSitesFocus();
}

// Saving: every tab, with the questions in their places.

void SettingsWidget::onDialogSave()
{
    Settings settings;
    m_generalTab.save(settings, m_osAbstraction);
    settings.setSettingsDialogCurrentTabIndex(m_ui->tabWidget->currentIndex());
    m_scriptsTab.save(settings);

    if (m_ui->doTerminateProcessesOnDisconnect->isChecked() && !KillAll::verifyKillAllExistsOnLinux())
        warningKillAllMissing();
    m_appKillTab.save(settings);

    if (m_ui->autostart->isChecked()
        && m_ui->recoverDNSStackOnStart->currentData().value<DnsRecoveryPreference>()
               == DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart())
        warningAutoStartWithAskDNSRecovery();
    m_networkTab.save(settings);
    m_proxyTab.save(settings);
    m_serversTab.save(settings);

    if (m_debugTab.chosenLogOption() == LogHandlerOption::FileHandler() && m_ui->logToFileWarningActive->isChecked())
        warningLogFile();
    m_debugTab.save(settings);
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
    emit preferencesWrittenAtOnce();
}

void SettingsWidget::warningKillAllMissing()
{
    showBox(tr("App Kill option doesn't seem to work properly"), QMessageBox::Ok, MessageBoxFactory::Warning,
            tr("Can not find killall utility. Please install PSmisc package."));
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

// General tab.

void SettingsWidget::on_enableTrayIcon_stateChanged(int state)
{
    if (state == Qt::PartiallyChecked)
        return;
    m_generalTab.setTrayDependentsEnabled(state == Qt::Checked);
}

void SettingsWidget::on_forgetCredentials_clicked()
{
    if (showBox(tr("Deleting username and password!"), QMessageBox::Ok | QMessageBox::Cancel,
                MessageBoxFactory::Question, tr("Are you sure?"))
        == QMessageBox::Ok) {
        Settings().forgetCredentials();
        emit preferencesWrittenAtOnce();
    }
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
    InternetKillSwitchInterfacesDialog dialog(m_networkTab.allInterfaces(), m_networkTab.killSwitchInterfaces(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_networkTab.setKillSwitchInterfaces(dialog.getInternetKillSwitchInterfacesSelected());
}

void SettingsWidget::on_seamlessReconnect_clicked()
{
    m_ui->blockInternetWhenNotConnected->setEnabled(m_ui->seamlessReconnect->isChecked());
}

void SettingsWidget::on_dnsListWidget_clicked()
{
    DnsListDialog dialog(m_networkTab.dnsList(), m_networkTab.dnsEntriesInUse(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_networkTab.setDnsList(dialog.getDnsList());
    m_networkTab.refreshDnsPreferenceComboBoxes();
}

void SettingsWidget::on_setSystemDNSButton_clicked()
{
    SystemNameServerSettingDialog dialog(m_vpnBackend, m_networkTab.dnsList(), this);
    if (dialog.exec() == QDialog::Accepted)
        qCDebug(lcGui) << "System NameServer are changed";
    else
        qCDebug(lcGui) << "System NameServer changing: operation aborted";
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
    const MtuPreference *mtu = index < 0 ? nullptr : m_networkTab.chosenMtu();
    if (!mtu)
        return;
    m_ui->mtuLineEdit->setText(QString::number(mtu->getMtu()));
    m_ui->mtuLineEdit->setEnabled(mtu->isCustomMtu());
    // The text may not have changed while the choice did.
    on_mtuLineEdit_textChanged(m_ui->mtuLineEdit->text());
}

void SettingsWidget::on_mtuLineEdit_textChanged(const QString &)
{
    m_ui->mtuLineEdit->setStyleSheet(mtuRefusal().isEmpty() ? BLACK_TEXT : RED_TEXT);
    checkInputs();
}

QString SettingsWidget::mtuRefusal() const
{
    const MtuPreference *mtu = m_networkTab.chosenMtu();
    if (!mtu || !mtu->isCustomMtu() || m_ui->mtuLineEdit->hasAcceptableInput())
        return QString();
    return tr("The MTU must be a number from %1 to %2.").arg(MtuPreference::LOW_MTU).arg(MtuPreference::HIGH_MTU);
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

void SettingsWidget::on_proxyAddress_textChanged(const QString &)
{
    checkInputs();
}

void SettingsWidget::on_proxyPort_textChanged(const QString &)
{
    m_ui->proxyPort->setStyleSheet(m_ui->proxyPort->hasAcceptableInput() ? BLACK_TEXT : RED_TEXT);
    checkInputs();
}

QString SettingsWidget::proxyAddressRefusal() const
{
    // An unusable address is refused whatever the proxy kind (the field
    // keeps it); an empty one only when the custom proxy needs it.
    if (m_ui->proxyAddress->text().trimmed().isEmpty())
        return m_ui->proxySettingsCustom->isChecked() ? tr("Enter the address of the proxy server.") : QString();
    return isProxyAddressAcceptable() ? QString() : tr("Warning: the inserted address is not valid.");
}

QString SettingsWidget::proxyPortRefusal() const
{
    if (!m_ui->proxySettingsCustom->isChecked() || m_ui->proxyPort->hasAcceptableInput())
        return QString();
    return tr("The port must be a number from 1 to 65535.");
}

void SettingsWidget::checkInputs()
{
    const QString mtu = mtuRefusal();
    const QString port = proxyPortRefusal();
    InputRefusal::show(*m_ui->mtuCheck, mtu);
    InputRefusal::show(*m_ui->proxyAddressCheck, proxyAddressRefusal());
    InputRefusal::show(*m_ui->proxyPortCheck, port);
    const bool proxyUsable = !m_ui->proxySettingsCustom->isChecked() || (isProxyAddressAcceptable() && port.isEmpty());
    emit areInputsValid(proxyUsable && mtu.isEmpty());
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
    const QList<QListWidgetItem *> listed =
        m_ui->serverSitesDedicatedIpList->findItems(site.getDedicatedIpDisplayInfo(), Qt::MatchExactly);
    if (!listed.isEmpty()) {
        m_ui->serverSitesDedicatedIpList->setCurrentItem(listed.first());
        return;
    }
    m_serversTab.appendSite(site);
    // Written with the site itself by the save, never behind a Cancel.
    if (dialog.setAsDefault())
        m_serversTab.setDefaultServerSite(site.getId());
}

void SettingsWidget::on_serverSitesDedicatedIpRemove_clicked()
{
    const QString defaultSite = m_serversTab.defaultServerSite();
    for (QListWidgetItem *item : m_ui->serverSitesDedicatedIpList->selectedItems()) {
        if (item->data(Qt::UserRole).value<HalvorixServerSite>().getId() == defaultSite) {
            if (showBox(tr("You are removing your default server!"), QMessageBox::Ok | QMessageBox::Cancel,
                        MessageBoxFactory::Warning, tr("Are you sure?"))
                != QMessageBox::Ok)
                return;
            m_serversTab.removeDefaultServerSite();
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
    m_debugTab.refresh();
}

void SettingsWidget::on_cleanLogFolderButton_clicked()
{
    if (!FileMessageHandler::removeAllLogs())
        showBox(tr("Some log file could not be deleted."), QMessageBox::Ok, MessageBoxFactory::Warning);
    m_debugTab.refresh();
}

#include "gui/OrvalVPNConnectWidget.h"

#include "backend/OpenVpnConnectionParameters.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/ServerSitesOrder.h"
#include "gui/ConnectionSummary.h"
#include "gui/OpenVpn243SetupConnectWidget.h"
#include "gui/SettingsDialogLauncher.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"
#include "ui_OrvalVPNConnectWidget.h"

#include <QDebug>
#include <QMouseEvent>

namespace {
const QString FALLBACK_SERVER_SITE = QStringLiteral("USA-Dallas");
const QString STRUCK_THROUGH = QStringLiteral("QLabel{text-decoration: line-through;}");

void keepSpaceWhenHidden(QWidget &widget)
{
    QSizePolicy policy = widget.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget.setSizePolicy(policy);
}
} // namespace

OrvalVPNConnectWidget::OrvalVPNConnectWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::OrvalVPNConnectWidget)
{
    ui->setupUi(this);
    setupConnectWidget = QSharedPointer<AbstractSetupConnectWidget>(new OpenVpn243SetupConnectWidget(
        *ui->protocolSelect, *ui->portSelect, *ui->cipherSelect, *ui->stunnelCheckbox, *ui->connect,
        *ui->cipherWarningSign, *ui->cipherWarningSign_2, *ui->stealthIcon, *ui->stealthLabel));
    keepSpaceWhenHidden(*ui->cipherWarningSign);
    keepSpaceWhenHidden(*ui->cipherWarningSign_2);
    setServerSites({});
    makeCurrent(HalvorixServerSite(), false);
    makeConnectTheReturnKey();
    updateGUIFromSettings();
}

OrvalVPNConnectWidget::~OrvalVPNConnectWidget() = default;

bool OrvalVPNConnectWidget::isEmptySite(const HalvorixServerSite &site)
{
    return site.getId() == HalvorixServerSite().getId();
}

HalvorixServerSite OrvalVPNConnectWidget::getCurrentServerSite() const
{
    return currentServerSite;
}

void OrvalVPNConnectWidget::setServerSites(const QList<HalvorixServerSite> &sites)
{
    serverSites = HalvorixServerSitesList(sites);
    const bool any = !sites.isEmpty();
    ui->selectServerSite->setEnabled(any);
    ui->protocolSelect->setEnabled(any);
    if (any) {
        updateConnectButton();
        setDefaultCurrentServerSite();
    } else {
        ui->connect->setEnabled(false);
        makeCurrent(HalvorixServerSite(), false);
    }
}

void OrvalVPNConnectWidget::setDefaultCurrentServerSite()
{
    Settings settings;
    QString id = FALLBACK_SERVER_SITE;
    if (settings.hasDefaultServerSite()) {
        id = settings.defaultServerSite();
    } else if (settings.hasMyLocation() && !serverSites.isEmpty()) {
        serverSites.sortList(ServerSitesOrder::PROXIMITYORDER()->getComparator());
        id = serverSites[0].getId();
    }
    setCurrentServerSite(id);
}

void OrvalVPNConnectWidget::setCurrentServerSite(const QString &id)
{
    const QList<HalvorixServerSite> all = serverSites.getAllServers();
    HalvorixServerSite chosen = all.isEmpty() ? HalvorixServerSite() : all.first();
    for (const HalvorixServerSite &site : all) {
        if (site.getId() == id) {
            chosen = site;
            break;
        }
    }
    makeCurrent(chosen, false);
}

void OrvalVPNConnectWidget::setCurrentServerSiteFromSettings(const HalvorixServerSite &site, bool preferStealth)
{
    makeCurrent(site, preferStealth);
}

void OrvalVPNConnectWidget::setCurrentServerSiteFromUISelection(const HalvorixServerSite &site, bool preferStealth)
{
    currentServerSite = site;
    refreshServerWidget();
    setupConnectWidget->setUpComboBoxesFromUI(currentServerSite, preferStealth);
    updateConnectButton();
}

void OrvalVPNConnectWidget::makeCurrent(const HalvorixServerSite &site, bool preferStealth)
{
    currentServerSite = site;
    refreshServerWidget();
    setupConnectWidget->setUpComboBoxesFromSettings(currentServerSite, preferStealth);
    updateConnectButton();
}

void OrvalVPNConnectWidget::refreshServerWidget()
{
    ConnectionSummary::showSite(*ui->flag, *ui->country, *ui->city, currentServerSite);
    setUpPinnedIp();
    setUpDedicatedIp();
}

void OrvalVPNConnectWidget::saveCurrentServerSite()
{
    // An empty site would overwrite the user's stored choice with "-".
    if (isEmptySite(currentServerSite))
        return;
    Settings settings;
    settings.setDefaultServerSite(currentServerSite.getId(), getCurrentOpenVpn243SelectionCipher());
}

void OrvalVPNConnectWidget::updateGUIFromSettings()
{
    Settings settings;
    setUpPinnedIp(settings);
    setUpDedicatedIp();
    updateCredentials();
    setupConnectWidget->setUpComboBoxesFromSettings(currentServerSite, false);
    setupConnectWidget->updateCipherIcons(currentServerSite);
    updateConnectButton();
    makeConnectTheReturnKey();
}

void OrvalVPNConnectWidget::updateCredentials()
{
    Settings settings;
    if (settings.remembersCredentials()) {
        ui->username->setText(settings.getUsername());
        ui->password->setText(settings.getPassword());
        ui->rememberCredentials->setChecked(true);
    } else {
        ui->username->clear();
        ui->password->clear();
    }
    updateConnectButton();
}

void OrvalVPNConnectWidget::updateConnectButton()
{
    // The controller only ever switches Connect off (no transport); it comes
    // back here once a site with a transport and both credentials are there.
    ui->connect->setEnabled(!isEmptySite(currentServerSite) && setupConnectWidget
                            && setupConnectWidget->isTransportAvailable() && !ui->username->text().isEmpty()
                            && !ui->password->text().isEmpty());
}

void OrvalVPNConnectWidget::setUpPinnedIp()
{
    Settings settings;
    setUpPinnedIp(settings);
}

void OrvalVPNConnectWidget::setUpPinnedIp(Settings &settings)
{
    const QString id = currentServerSite.getId();
    const QHostAddress pinned = settings.getPinnedIP(id);
    const bool shown = !pinned.isNull();
    if (shown) {
        const bool on = settings.hasPinnedIP(id);
        ui->pinServerIp->setChecked(on);
        ui->pinServerIp->setToolTip(on ? tr("Disable pinned IP address.") : tr("Enable pinned IP address."));
        ui->remoteIp->setText(pinned.toString());
        ui->remoteIp->setStyleSheet(on ? QString() : STRUCK_THROUGH);
        ui->remoteIp->setToolTip(
            on ? tr("Pinned IP is turned on.\nYour public IP address will be %1.").arg(pinned.toString())
               : tr("Pinned IP is turned off.\nYour public IP address will be random."));
    }
    for (QWidget *widget : {static_cast<QWidget *>(ui->pinServerIp), static_cast<QWidget *>(ui->remoteIp),
                            static_cast<QWidget *>(ui->remoteIpLabel), static_cast<QWidget *>(ui->remoteIpForget)})
        widget->setVisible(shown);
    currentServerSite.refresh(settings);
}

void OrvalVPNConnectWidget::setUpDedicatedIp()
{
    const QHostAddress dedicated = currentServerSite.getDedicatedIp();
    ui->dedicatedIpLabel->setVisible(!dedicated.isNull());
    ui->dedicatedIp->setVisible(!dedicated.isNull());
    if (!dedicated.isNull())
        ui->dedicatedIp->setText(dedicated.toString());
}

void OrvalVPNConnectWidget::makeConnectTheReturnKey()
{
    ui->connect->setShortcut(QKeySequence(Qt::Key_Return));
}

void OrvalVPNConnectWidget::connectVPN()
{
    on_connect_clicked();
}

void OrvalVPNConnectWidget::on_connect_clicked()
{
    // Reachable through the Return key too: never start without a site.
    if (isEmptySite(currentServerSite))
        return;
    saveCurrentServerSite();
    Settings settings;
    if (ui->rememberCredentials->isChecked())
        settings.rememberCredentials(getUser(), getPass());
    else
        settings.forgetCredentials();
    if (userStatistics)
        userStatistics->addOneUsageToServer(currentServerSite);
    emit startOpenVpn243(connectionParameters(settings));
}

QSharedPointer<ConnectionParameters> OrvalVPNConnectWidget::connectionParameters(Settings &settings) const
{
    const ConnectVia &via = currentOpenVpn243Protocol();
    const OpenVpnConfigCipher offer = getCurrentConfigCipher();
    const QString cipherName = ui->cipherSelect->currentText();
    qDebug() << "Connect OpenVPN 2.4 - connectVia: " << via.toString()
             << " - cipher: " << offer.getDisplayPortAuthStealthName() << " " << cipherName;
    const BackendOpenVPNConfigCipher cipher =
        currentServerSite.getBackendCipher(via.getProtocol(), cipherName, offer.getPort(), offer.getAuth());
    return QSharedPointer<ConnectionParameters>(new OpenVpnConnectionParameters(
        currentServerSite, via, cipher,
        isSTunnelEnabled() ? ConnectionParameters::WITH_STUNNEL : ConnectionParameters::NO_STUNNEL,
        settings.iksEnableOnConnect(), settings.getCheckTunTapOnConnect(), true));
}

void OrvalVPNConnectWidget::onChoicePicked()
{
    refreshServerWidget();
    setupConnectWidget->setUpComboBoxesFromUI(currentServerSite, false);
    saveCurrentServerSite();
    updateConnectButton();
}

void OrvalVPNConnectWidget::onChoiceChanged()
{
    setupConnectWidget->updateCipherIcons(currentServerSite);
    makeConnectTheReturnKey();
}

void OrvalVPNConnectWidget::on_protocolSelect_activated(const QString &)
{
    onChoicePicked();
}

void OrvalVPNConnectWidget::on_portSelect_activated(const QString &)
{
    onChoicePicked();
}

void OrvalVPNConnectWidget::on_cipherSelect_activated(const QString &)
{
    onChoicePicked();
}

void OrvalVPNConnectWidget::on_portSelect_currentIndexChanged(const QString &)
{
    onChoiceChanged();
}

void OrvalVPNConnectWidget::on_cipherSelect_currentIndexChanged(const QString &)
{
    onChoiceChanged();
}

void OrvalVPNConnectWidget::on_selectServerSite_clicked()
{
    emit selectServerSite(currentServerSite);
}

void OrvalVPNConnectWidget::on_settings_linkActivated(const QString &)
{
    if (osAbstraction && vpnBackend && backendStateTracker)
        SettingsDialogLauncher::run(this, stealthProxies, *osAbstraction, *vpnBackend, *backendStateTracker);
    else
        qWarning() << "The preferences need the services the main window hands the connect panel.";
    if (Settings().trayIconEnabled())
        emit attachTrayIcon();
    else
        emit detachTrayIcon();
    setServerSites(HalvorixConfig::getServerSites());
    setDefaultCurrentServerSite();
    updateGUIFromSettings();
}

void OrvalVPNConnectWidget::on_pinServerIp_clicked()
{
    Settings settings;
    settings.setHasPinnedIP(currentServerSite.getId(), ui->pinServerIp->isChecked());
    setUpPinnedIp(settings);
}

void OrvalVPNConnectWidget::on_remoteIpForget_clicked()
{
    Settings settings;
    settings.forgetPinnedIP(currentServerSite.getId());
    setUpPinnedIp(settings);
}

void OrvalVPNConnectWidget::on_username_textChanged(const QString &)
{
    updateConnectButton();
}

void OrvalVPNConnectWidget::on_password_textChanged(const QString &)
{
    updateConnectButton();
}

void OrvalVPNConnectWidget::onDisconnected()
{
    setUpPinnedIp();
}

QString OrvalVPNConnectWidget::getCurrentCipherString() const
{
    return setupConnectWidget->getCurrentCipherString();
}

QString OrvalVPNConnectWidget::getUser() const
{
    return ui->username->text();
}

QString OrvalVPNConnectWidget::getPass() const
{
    return ui->password->text();
}

OpenVpnConfigCipher OrvalVPNConnectWidget::getCurrentConfigCipher() const
{
    return setupConnectWidget->getCurrentConfigCipher(currentServerSite);
}

bool OrvalVPNConnectWidget::isSTunnelEnabled() const
{
    return setupConnectWidget->isSTunnelEnabled();
}

const OpenVpn243SetupConnectWidget &OrvalVPNConnectWidget::openVpn243() const
{
    return static_cast<const OpenVpn243SetupConnectWidget &>(*setupConnectWidget);
}

OpenVpnConfigurationModel OrvalVPNConnectWidget::getCurrentOpenVpn243SelectionCipher() const
{
    return openVpn243().getSelectionCipherFromUI();
}

const ConnectVia &OrvalVPNConnectWidget::currentOpenVpn243Protocol() const
{
    return openVpn243().currentProtocol();
}

void OrvalVPNConnectWidget::setStealthProxies(const QList<StealthProxy> &proxies)
{
    stealthProxies = proxies;
}

void OrvalVPNConnectWidget::setOsAbstraction(OsAbstraction *os)
{
    osAbstraction = os;
}

void OrvalVPNConnectWidget::setBackendStateTracker(BackendStateTracker *tracker)
{
    backendStateTracker = tracker;
}

void OrvalVPNConnectWidget::setVpnBackend(VpnBackend *backend)
{
    vpnBackend = backend;
}

void OrvalVPNConnectWidget::setUserStatistics(UserStatistics *statistics)
{
    userStatistics = statistics;
}

void OrvalVPNConnectWidget::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void OrvalVPNConnectWidget::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void OrvalVPNConnectWidget::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (ui->serverWidget->geometry().contains(event->localPos().toPoint()))
        emit selectServerSite(currentServerSite);
}

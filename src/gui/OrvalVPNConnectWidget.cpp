#include "gui/OrvalVPNConnectWidget.h"

#include "backend/OpenVpnConnectionParameters.h"
#include "catalogue/CountryCode.h"
#include "catalogue/ServerSitesOrder.h"
#include "gui/ConnectionSummary.h"
#include "gui/GuiLogging.h"
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

// A site's name wraps between words: the label is as wide as the widest
// word of all the names it may show.
void reserveWidthForWords(QLabel &label, const QStringList &texts)
{
    const QFontMetrics metrics = label.fontMetrics();
    int widest = 0;
    for (const QString &text : texts) {
        for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            widest = qMax(widest, metrics.horizontalAdvance(word));
    }
    label.setWordWrap(true);
    label.setMinimumWidth(widest + label.contentsMargins().left() + label.contentsMargins().right());
}

void keepSpaceWhenHidden(QWidget &widget)
{
    QSizePolicy policy = widget.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget.setSizePolicy(policy);
}
} // namespace

OrvalVPNConnectWidget::OrvalVPNConnectWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::OrvalVPNConnectWidget)
{
    m_ui->setupUi(this);
    m_setupConnectWidget = QSharedPointer<AbstractSetupConnectWidget>(new OpenVpn243SetupConnectWidget(
        *m_ui->protocolSelect, *m_ui->portSelect, *m_ui->cipherSelect, *m_ui->stunnelCheckbox, *m_ui->connect,
        *m_ui->cipherWarningSign, *m_ui->cipherWarningSign_2, *m_ui->stealthIcon, *m_ui->stealthLabel));
    // The panel keeps its layout whatever the site offers.
    for (QWidget *widget :
         {static_cast<QWidget *>(m_ui->cipherWarningSign), static_cast<QWidget *>(m_ui->cipherWarningSign_2),
          static_cast<QWidget *>(m_ui->stealthIcon), static_cast<QWidget *>(m_ui->stealthLabel)})
        keepSpaceWhenHidden(*widget);
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
    return m_currentServerSite;
}

void OrvalVPNConnectWidget::setServerSites(const QList<HalvorixServerSite> &sites)
{
    m_serverSites = HalvorixServerSitesList(sites);
    reserveWidths(sites);
    const bool any = !sites.isEmpty();
    m_ui->selectServerSite->setEnabled(any);
    m_ui->protocolSelect->setEnabled(any);
    if (any) {
        updateConnectButton();
        setDefaultCurrentServerSite();
    } else {
        m_ui->connect->setEnabled(false);
        makeCurrent(HalvorixServerSite(), false);
    }
}

void OrvalVPNConnectWidget::reserveWidths(const QList<HalvorixServerSite> &sites)
{
    openVpn243().reserveWidths(sites);
    // The site's name keeps one width, so that the panel does not change its
    // width (and the window its size) with the site.
    QStringList countries;
    QStringList cities;
    for (const HalvorixServerSite &site : sites) {
        countries.append(CountryCode::findByIsoCode(site.getCountryCode()).getName());
        cities.append(site.getCity());
    }
    reserveWidthForWords(*m_ui->country, countries);
    reserveWidthForWords(*m_ui->city, cities);
}

void OrvalVPNConnectWidget::setDefaultCurrentServerSite()
{
    Settings settings;
    QString id = FALLBACK_SERVER_SITE;
    if (settings.hasDefaultServerSite()) {
        id = settings.defaultServerSite();
    } else if (settings.hasMyLocation() && !m_serverSites.isEmpty()) {
        m_serverSites.sortList(ServerSitesOrder::PROXIMITYORDER()->getComparator());
        id = m_serverSites[0].getId();
    }
    setCurrentServerSite(id);
}

void OrvalVPNConnectWidget::setCurrentServerSite(const QString &id)
{
    const QList<HalvorixServerSite> all = m_serverSites.getAllServers();
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
    m_currentServerSite = site;
    refreshServerWidget();
    m_setupConnectWidget->setUpComboBoxesFromUI(m_currentServerSite, preferStealth);
    updateConnectButton();
}

void OrvalVPNConnectWidget::showStoredCredentials()
{
    updateCredentials();
    m_ui->rememberCredentials->setChecked(Settings().remembersCredentials());
}

void OrvalVPNConnectWidget::makeCurrent(const HalvorixServerSite &site, bool preferStealth)
{
    m_currentServerSite = site;
    refreshServerWidget();
    m_setupConnectWidget->setUpComboBoxesFromSettings(m_currentServerSite, preferStealth);
    updateConnectButton();
}

void OrvalVPNConnectWidget::refreshServerWidget()
{
    ConnectionSummary::showSite(*m_ui->flag, *m_ui->country, *m_ui->city, m_currentServerSite);
    setUpPinnedIp();
    setUpDedicatedIp();
}

void OrvalVPNConnectWidget::saveCurrentServerSite()
{
    // An empty site would overwrite the user's stored choice with "-".
    if (isEmptySite(m_currentServerSite))
        return;
    Settings settings;
    settings.setDefaultServerSite(m_currentServerSite.getId(), getCurrentOpenVpn243SelectionCipher());
}

void OrvalVPNConnectWidget::updateGUIFromSettings()
{
    Settings settings;
    setUpPinnedIp(settings);
    setUpDedicatedIp();
    updateCredentials();
    m_setupConnectWidget->setUpComboBoxesFromSettings(m_currentServerSite, false);
    m_setupConnectWidget->updateCipherIcons(m_currentServerSite);
    updateConnectButton();
    makeConnectTheReturnKey();
}

void OrvalVPNConnectWidget::updateCredentials()
{
    Settings settings;
    if (settings.remembersCredentials()) {
        m_ui->username->setText(settings.getUsername());
        m_ui->password->setText(settings.getPassword());
        m_ui->rememberCredentials->setChecked(true);
    } else {
        m_ui->username->clear();
        m_ui->password->clear();
    }
    updateConnectButton();
}

void OrvalVPNConnectWidget::updateConnectButton()
{
    // The controller only ever switches Connect off (no transport); it comes
    // back here once a site with a transport and both credentials are there.
    m_ui->connect->setEnabled(!isEmptySite(m_currentServerSite) && m_setupConnectWidget
                              && m_setupConnectWidget->isTransportAvailable() && !m_ui->username->text().isEmpty()
                              && !m_ui->password->text().isEmpty());
}

void OrvalVPNConnectWidget::setUpPinnedIp()
{
    Settings settings;
    setUpPinnedIp(settings);
}

void OrvalVPNConnectWidget::setUpPinnedIp(Settings &settings)
{
    const QString id = m_currentServerSite.getId();
    const QHostAddress pinned = settings.getPinnedIP(id);
    const bool shown = !pinned.isNull();
    if (shown) {
        const bool on = settings.hasPinnedIP(id);
        m_ui->pinServerIp->setChecked(on);
        m_ui->pinServerIp->setToolTip(on ? tr("Disable pinned IP address.") : tr("Enable pinned IP address."));
        m_ui->remoteIp->setText(pinned.toString());
        m_ui->remoteIp->setStyleSheet(on ? QString() : STRUCK_THROUGH);
        m_ui->remoteIp->setToolTip(
            on ? tr("Pinned IP is turned on.\nYour public IP address will be %1.").arg(pinned.toString())
               : tr("Pinned IP is turned off.\nYour public IP address will be random."));
    }
    for (QWidget *widget : {static_cast<QWidget *>(m_ui->pinServerIp), static_cast<QWidget *>(m_ui->remoteIp),
                            static_cast<QWidget *>(m_ui->remoteIpLabel), static_cast<QWidget *>(m_ui->remoteIpForget)})
        widget->setVisible(shown);
    m_currentServerSite.refresh(settings);
}

void OrvalVPNConnectWidget::setUpDedicatedIp()
{
    const QHostAddress dedicated = m_currentServerSite.getDedicatedIp();
    m_ui->dedicatedIpLabel->setVisible(!dedicated.isNull());
    m_ui->dedicatedIp->setVisible(!dedicated.isNull());
    if (!dedicated.isNull())
        m_ui->dedicatedIp->setText(dedicated.toString());
}

void OrvalVPNConnectWidget::makeConnectTheReturnKey()
{
    m_ui->connect->setShortcut(QKeySequence(Qt::Key_Return));
}

void OrvalVPNConnectWidget::connectVPN()
{
    on_connect_clicked();
}

void OrvalVPNConnectWidget::on_connect_clicked()
{
    // Reachable through the Return key too: never start without a site.
    if (isEmptySite(m_currentServerSite))
        return;
    saveCurrentServerSite();
    Settings settings;
    if (m_ui->rememberCredentials->isChecked())
        settings.rememberCredentials(getUser(), getPass());
    else
        settings.forgetCredentials();
    if (m_userStatistics)
        m_userStatistics->addOneUsageToServer(m_currentServerSite);
    emit startOpenVpn243(connectionParameters(settings));
}

QSharedPointer<ConnectionParameters> OrvalVPNConnectWidget::connectionParameters(Settings &settings) const
{
    const ConnectVia &via = currentOpenVpn243Protocol();
    const OpenVpnConfigCipher offer = getCurrentConfigCipher();
    const QString cipherName = m_ui->cipherSelect->currentText();
    qCDebug(lcGui) << "Connect OpenVPN 2.4 - connectVia: " << via.toString()
                   << " - cipher: " << offer.getDisplayPortAuthStealthName() << " " << cipherName;
    const BackendOpenVPNConfigCipher cipher =
        m_currentServerSite.getBackendCipher(via.getProtocol(), cipherName, offer.getPort(), offer.getAuth());
    return QSharedPointer<ConnectionParameters>(new OpenVpnConnectionParameters(
        m_currentServerSite, via, cipher,
        isSTunnelEnabled() ? ConnectionParameters::WITH_STUNNEL : ConnectionParameters::NO_STUNNEL,
        settings.iksEnableOnConnect(), settings.getCheckTunTapOnConnect(), true));
}

void OrvalVPNConnectWidget::onChoicePicked()
{
    refreshServerWidget();
    m_setupConnectWidget->setUpComboBoxesFromUI(m_currentServerSite, false);
    saveCurrentServerSite();
    updateConnectButton();
}

void OrvalVPNConnectWidget::onChoiceChanged()
{
    m_setupConnectWidget->updateCipherIcons(m_currentServerSite);
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
    emit selectServerSite(m_currentServerSite);
}

void OrvalVPNConnectWidget::on_settings_linkActivated(const QString &)
{
    if (!m_osAbstraction || !m_vpnBackend || !m_backendStateTracker) {
        qCWarning(lcGui) << "The preferences need the services the main window hands the connect panel.";
        return;
    }
    if (SettingsDialogLauncher::run(this, m_stealthProxies, *m_osAbstraction, *m_vpnBackend, *m_backendStateTracker))
        emit settingsSaved();
}

void OrvalVPNConnectWidget::on_pinServerIp_clicked()
{
    Settings settings;
    settings.setHasPinnedIP(m_currentServerSite.getId(), m_ui->pinServerIp->isChecked());
    setUpPinnedIp(settings);
}

void OrvalVPNConnectWidget::on_remoteIpForget_clicked()
{
    Settings settings;
    settings.forgetPinnedIP(m_currentServerSite.getId());
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
    return m_setupConnectWidget->getCurrentCipherString();
}

QString OrvalVPNConnectWidget::getUser() const
{
    return m_ui->username->text();
}

QString OrvalVPNConnectWidget::getPass() const
{
    return m_ui->password->text();
}

OpenVpnConfigCipher OrvalVPNConnectWidget::getCurrentConfigCipher() const
{
    return m_setupConnectWidget->getCurrentConfigCipher(m_currentServerSite);
}

bool OrvalVPNConnectWidget::isSTunnelEnabled() const
{
    return m_setupConnectWidget->isSTunnelEnabled();
}

const OpenVpn243SetupConnectWidget &OrvalVPNConnectWidget::openVpn243() const
{
    return static_cast<const OpenVpn243SetupConnectWidget &>(*m_setupConnectWidget);
}

OpenVpn243SetupConnectWidget &OrvalVPNConnectWidget::openVpn243()
{
    return static_cast<OpenVpn243SetupConnectWidget &>(*m_setupConnectWidget);
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
    m_stealthProxies = proxies;
}

void OrvalVPNConnectWidget::setOsAbstraction(OsAbstraction *os)
{
    m_osAbstraction = os;
}

void OrvalVPNConnectWidget::setBackendStateTracker(BackendStateTracker *tracker)
{
    m_backendStateTracker = tracker;
}

void OrvalVPNConnectWidget::setVpnBackend(VpnBackend *backend)
{
    m_vpnBackend = backend;
}

void OrvalVPNConnectWidget::setUserStatistics(UserStatistics *statistics)
{
    m_userStatistics = statistics;
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
    if (m_ui->serverWidget->geometry().contains(event->localPos().toPoint()))
        emit selectServerSite(m_currentServerSite);
}

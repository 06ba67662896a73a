#include "gui/OrvalVPNStatusWidget.h"

#include "catalogue/ConnectionParameters.h"
#include "core/FormatSecondToHHMMSS.h"
#include "core/VpnConnectionState.h"
#include "gui/ConnectionSummary.h"
#include "gui/ExternalLink.h"
#include "gui/GuiLogging.h"
#include "prefs/Settings.h"
#include "ui_OrvalVPNStatusWidget.h"

#include <QDebug>
#include <QTextDocument>

namespace {
const QString CONNECTED = QStringLiteral("CONNECTED");
const QString NOT_AVAILABLE = QStringLiteral("n/a");

// Qt takes a tool tip that looks like markup for rich text; engine and
// catalogue texts are shown as typed.
QString plainToolTip(const QString &text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text);
}

QString orNotAvailable(const QString &text)
{
    return text.isEmpty() ? NOT_AVAILABLE : text;
}
} // namespace

OrvalVPNStatusWidget::OrvalVPNStatusWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::OrvalVPNStatusWidget)
    , m_connectionTimer(this)
{
    m_ui->setupUi(this);
    m_connectionTimer.setObjectName(QStringLiteral("connectionTimer"));
    ExternalLink::attach(*m_ui->publicIp);
    m_ui->disconnect->setShortcut(Qt::Key_Return);
    m_connectionTimer.setInterval(1000);
    m_connectionTimer.setSingleShot(false);
    // By signature text on purpose, to the slot of the widget's fixed meta-object interface.
    connect(&m_connectionTimer, SIGNAL(timeout()), this, SLOT(refreshConnectionTime()));
}

OrvalVPNStatusWidget::~OrvalVPNStatusWidget() = default;

void OrvalVPNStatusWidget::setUpdateServer(const QString &address)
{
    m_updateServer = address;
}

void OrvalVPNStatusWidget::initialize(QSharedPointer<ConnectionParameters> parameters)
{
    m_lastState.clear();
    m_lastRemoteIp.clear();
    m_serverSite = parameters->getServerSite();
    ConnectionSummary::show({m_ui->flag, m_ui->country, m_ui->city, m_ui->stealthIcon, m_ui->stealthLabel,
                             m_ui->protocol, m_ui->cipher, m_ui->cipherWarningSign},
                            *parameters);
    m_ui->hmac->setText(parameters->getCipherAuthName());
    m_ui->pfsAndTlsVersion->setText(QStringLiteral("n/a / n/a"));
    m_ui->pfsAndTlsVersion->setToolTip(QString());
    m_ui->status->setText(NOT_AVAILABLE);
    showFailure(QString());
    m_ui->localIp->setText(NOT_AVAILABLE);
    updateRemoteIp(m_lastState, m_lastRemoteIp);
    m_ui->publicIp->setText(NOT_AVAILABLE);
    m_ui->sent->setText(NOT_AVAILABLE);
    m_ui->received->setText(NOT_AVAILABLE);
    m_connectionTime = 0;
    m_connectedAt = QDateTime();
    m_ui->connectedFor->setText(NOT_AVAILABLE);
    m_byteCountShown = true;
    m_connectionTimeShown = true;
}

void OrvalVPNStatusWidget::onUpdateState(const VpnConnectionState &connectionState)
{
    qCDebug(lcGui) << "StatusWidget::onUpdateState";
    m_connectionTime = connectionState.getConnectionTime();
    m_connectedAt = connectionState.getConnectedAtTimestamp();
    qCDebug(lcGui) << "Connection Times updated: "
                   << "connectionCount" << connectionState.getConnectionCount() << " , "
                   << "connectedAt" << m_connectedAt.toString(Qt::TextDate) << " , "
                   << "connectionTime " << m_connectionTime << " , "
                   << "startedAt " << connectionState.getStartedAtTimestamp().toString(Qt::TextDate);
    qCDebug(lcGui) << "State isStateChanged(): " << (connectionState.isStateChanged() ? "true" : "false");
    qCDebug(lcGui) << "State isTlsCipherChange(): " << (connectionState.isTlsCipherChange() ? "true" : "false");
    qCDebug(lcGui) << "State updated: - " << connectionState.getState() << " , " << connectionState.getCause() << " , "
                   << connectionState.getLocalIp() << " , " << connectionState.getRemoteIp();
    onUpdateState(connectionState.getState(), connectionState.getCause(), connectionState.getLocalIp(),
                  connectionState.getRemoteIp());
    const ConnectionFailure failure = connectionState.getFailure();
    showFailure(failure.isNull() || connectionState.getState() == CONNECTED ? QString() : failure.retryText());
    qCDebug(lcGui) << "TlsCipher changed - "
                   << "isPfs=" << (connectionState.getIsPfs() ? "true" : "false") << " , "
                   << connectionState.getTlsVersion() << " , " << connectionState.getCipherInfo();
    tlsCipherChanged(connectionState.getIsPfs(), connectionState.getTlsVersion(), connectionState.getCipherInfo());
    onPublicIp(connectionState);
    refreshConnectionTime();
}

void OrvalVPNStatusWidget::onUpdateState(const QString &state, const QString &, const QString &localIp,
                                         const QString &remoteIp)
{
    m_lastState = state;
    m_lastRemoteIp = remoteIp;
    if (state == CONNECTED)
        m_connectionTimer.start();
    else
        m_connectionTimer.stop();
    m_ui->status->setText(state);
    m_ui->localIp->setText(orNotAvailable(localIp));
    updateRemoteIp(state, remoteIp);
}

void OrvalVPNStatusWidget::showFailure(const QString &text)
{
    m_ui->failure->setText(text);
    m_ui->failure->setVisible(!text.isEmpty());
}

void OrvalVPNStatusWidget::tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo)
{
    const QString pfs = isPfs ? QStringLiteral("Yes") : cipherInfo.isEmpty() ? NOT_AVAILABLE : QStringLiteral("No");
    m_ui->pfsAndTlsVersion->setText(pfs + QStringLiteral(" / ") + tlsVersion);
    m_ui->pfsAndTlsVersion->setToolTip(plainToolTip(cipherInfo));
}

void OrvalVPNStatusWidget::onPublicIp(const VpnConnectionState &connectionState)
{
    if (connectionState.isPublicIpVerified()) {
        m_ui->publicIp->setText(
            QStringLiteral("<a href=\"%1\" style=\"color: #FFFFFF\">Verified</a>").arg(m_updateServer.toHtmlEscaped()));
        return;
    }
    switch (connectionState.getPublicIpDetectionState()) {
    case VpnConnectionState::QUERYING: {
        const int dots = qMax(0, connectionState.getDetectionCycle() % 4);
        m_ui->publicIp->setText(QStringLiteral("Detecting") + QString(dots, QLatin1Char('.')));
        break;
    }
    case VpnConnectionState::FOUND:
        m_ui->publicIp->setText(connectionState.getDetectedPublicIpAddress().toString().toHtmlEscaped());
        break;
    case VpnConnectionState::DETECTION_FAILED: m_ui->publicIp->setText(QStringLiteral("Detection Failed.")); break;
    default: m_ui->publicIp->setText(NOT_AVAILABLE); break;
    }
}

void OrvalVPNStatusWidget::updateRemoteIp(const QString &state, const QString &remoteIp)
{
    Settings settings;
    const QString id = m_serverSite.getId();
    if (settings.hasPinnedIP(id)) {
        const QString pinned = settings.getPinnedIP(id).toString();
        m_ui->remoteIp->setText(remoteIp.isEmpty() ? pinned : remoteIp);
        m_ui->remoteIpLabel->setText(QStringLiteral("Pinned IP"));
        const QString toolTip = QStringLiteral("VPN is using the pinned IP address %1.").arg(pinned);
        m_ui->remoteIpLabel->setToolTip(toolTip);
        m_ui->remoteIp->setToolTip(toolTip);
        m_ui->pinServerIP->show();
        m_ui->pinServerIP->setChecked(true);
        m_ui->pinServerIP->setToolTip(QStringLiteral("Disable pinned IP address."));
    } else if (m_serverSite.getDedicatedIp().isNull()) {
        m_ui->remoteIp->setText(orNotAvailable(remoteIp));
        m_ui->remoteIpLabel->setText(QStringLiteral("Remote IP"));
        const QString toolTip = QStringLiteral("VPN is using a random IP address.");
        m_ui->remoteIpLabel->setToolTip(toolTip);
        m_ui->remoteIp->setToolTip(toolTip);
        m_ui->pinServerIP->show();
        m_ui->pinServerIP->setChecked(false);
        m_ui->pinServerIP->setToolTip(
            plainToolTip(QStringLiteral("Pin VPN to IP address %1").arg(m_ui->remoteIp->text())));
    } else {
        m_ui->remoteIp->setText(remoteIp.isEmpty() ? m_serverSite.getDedicatedIp().toString() : remoteIp);
        m_ui->remoteIpLabel->setText(QStringLiteral("Dedicated IP"));
        const QString toolTip = QStringLiteral("VPN is using a dedicated IP address.");
        m_ui->remoteIpLabel->setToolTip(toolTip);
        m_ui->remoteIp->setToolTip(toolTip);
        m_ui->pinServerIP->hide();
    }
    if (state != CONNECTED) {
        m_ui->pinServerIP->setEnabled(false);
        m_ui->pinServerIP->setToolTip(QStringLiteral("IP address pinning is available when VPN is connected."));
        return;
    }
    // Only an address can be pinned; a pin already set can always be removed.
    m_ui->pinServerIP->setEnabled(m_ui->pinServerIP->isChecked() || !QHostAddress(m_ui->remoteIp->text()).isNull());
}

void OrvalVPNStatusWidget::onUpdateByteCount(ByteCount byteCount)
{
    m_byteCount = byteCount;
    m_byteCountShown = false;
    if (canBeSeen())
        showByteCount();
}

void OrvalVPNStatusWidget::showByteCount()
{
    m_ui->sent->setText(m_byteCount.humanReadableByteCount(m_byteCount.getBytesSent(), 0));
    m_ui->received->setText(m_byteCount.humanReadableByteCount(m_byteCount.getBytesReceived(), 0));
    m_byteCountShown = true;
}

bool OrvalVPNStatusWidget::canBeSeen() const
{
    return isVisible() && !window()->isMinimized();
}

void OrvalVPNStatusWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_byteCountShown)
        showByteCount();
    if (!m_connectionTimeShown)
        showConnectionTime();
}

void OrvalVPNStatusWidget::on_disconnect_clicked()
{
    m_connectionTimer.stop();
    emit stopOpenVpn();
}

void OrvalVPNStatusWidget::on_refreshPublicIp_clicked()
{
    emit refreshPublicIp();
}

qint64 OrvalVPNStatusWidget::getConnectionSeconds() const
{
    return m_connectedAt.isValid() ? m_connectionTime + m_connectedAt.msecsTo(QDateTime::currentDateTime())
                                   : m_connectionTime;
}

void OrvalVPNStatusWidget::refreshConnectionTime()
{
    m_connectionTimeShown = false;
    if (canBeSeen())
        showConnectionTime();
}

void OrvalVPNStatusWidget::showConnectionTime()
{
    m_ui->connectedFor->setText(FormatSecondToHHMMSS(getConnectionSeconds()).toString());
    m_connectionTimeShown = true;
}

void OrvalVPNStatusWidget::on_pinServerIP_clicked()
{
    Settings settings;
    const QString id = m_serverSite.getId();
    if (m_ui->pinServerIP->isChecked()) {
        settings.setPinnedIP(id, QHostAddress(m_ui->remoteIp->text()));
        settings.setHasPinnedIP(id, true);
    } else {
        settings.setHasPinnedIP(id, false);
    }
    updateRemoteIp(m_lastState, m_lastRemoteIp);
}

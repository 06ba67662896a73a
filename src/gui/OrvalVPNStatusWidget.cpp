#include "gui/OrvalVPNStatusWidget.h"

#include "app/FormatSecondToHHMMSS.h"
#include "backend/ConnectionParameters.h"
#include "backend/VpnConnectionState.h"
#include "gui/ConnectionSummary.h"
#include "gui/ExternalLink.h"
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
    , ui(new Ui::OrvalVPNStatusWidget)
    , connectionTimer(this)
{
    ui->setupUi(this);
    connectionTimer.setObjectName(QStringLiteral("connectionTimer"));
    ExternalLink::attach(*ui->publicIp);
    ui->disconnect->setShortcut(Qt::Key_Return);
    connectionTimer.setInterval(1000);
    connectionTimer.setSingleShot(false);
    connect(&connectionTimer, SIGNAL(timeout()), this, SLOT(refreshConnectionTime()));
}

OrvalVPNStatusWidget::~OrvalVPNStatusWidget() = default;

void OrvalVPNStatusWidget::setUpdateServer(const QString &address)
{
    updateServer = address;
}

void OrvalVPNStatusWidget::initialize(QSharedPointer<ConnectionParameters> parameters)
{
    lastState.clear();
    lastRemoteIp.clear();
    serverSite = parameters->getServerSite();
    ConnectionSummary::show({ui->flag, ui->country, ui->city, ui->stealthIcon, ui->stealthLabel, ui->protocol,
                             ui->cipher, ui->cipherWarningSign},
                            *parameters);
    ui->hmac->setText(parameters->getCipherAuthName());
    ui->pfsAndTlsVersion->setText(QStringLiteral("n/a / n/a"));
    ui->pfsAndTlsVersion->setToolTip(QString());
    ui->status->setText(NOT_AVAILABLE);
    ui->localIp->setText(NOT_AVAILABLE);
    updateRemoteIp(lastState, lastRemoteIp);
    ui->publicIp->setText(NOT_AVAILABLE);
    ui->sent->setText(NOT_AVAILABLE);
    ui->received->setText(NOT_AVAILABLE);
    connectionTime = 0;
    connectedAt = QDateTime();
    ui->connectedFor->setText(NOT_AVAILABLE);
}

void OrvalVPNStatusWidget::onUpdateState(const VpnConnectionState &connectionState)
{
    qDebug() << "StatusWidget::onUpdateState";
    connectionTime = connectionState.getConnectionTime();
    connectedAt = connectionState.getConnectedAtTimestamp();
    qDebug() << "Connection Times updated: "
             << "connectionCount" << connectionState.getConnectionCount() << " , "
             << "connectedAt" << connectedAt.toString(Qt::TextDate) << " , "
             << "connectionTime " << connectionTime << " , "
             << "startedAt " << connectionState.getStartedAtTimestamp().toString(Qt::TextDate);
    qDebug() << "State isStateChanged(): " << (connectionState.isStateChanged() ? "true" : "false");
    qDebug() << "State isTlsCipherChange(): " << (connectionState.isTlsCipherChange() ? "true" : "false");
    qDebug() << "State updated: - " << connectionState.getState() << " , " << connectionState.getCause() << " , "
             << connectionState.getLocalIp() << " , " << connectionState.getRemoteIp();
    onUpdateState(connectionState.getState(), connectionState.getCause(), connectionState.getLocalIp(),
                  connectionState.getRemoteIp());
    qDebug() << "TlsCipher changed - "
             << "isPfs=" << (connectionState.getIsPfs() ? "true" : "false") << " , " << connectionState.getTlsVersion()
             << " , " << connectionState.getCipherInfo();
    tlsCipherChanged(connectionState.getIsPfs(), connectionState.getTlsVersion(), connectionState.getCipherInfo());
    onPublicIp(connectionState);
    refreshConnectionTime();
}

void OrvalVPNStatusWidget::onUpdateState(const QString &state, const QString &, const QString &localIp,
                                         const QString &remoteIp)
{
    lastState = state;
    lastRemoteIp = remoteIp;
    if (state == CONNECTED)
        connectionTimer.start();
    else
        connectionTimer.stop();
    ui->status->setText(state);
    ui->localIp->setText(orNotAvailable(localIp));
    updateRemoteIp(state, remoteIp);
}

void OrvalVPNStatusWidget::tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo)
{
    const QString pfs = isPfs ? QStringLiteral("Yes") : cipherInfo.isEmpty() ? NOT_AVAILABLE : QStringLiteral("No");
    ui->pfsAndTlsVersion->setText(pfs + QStringLiteral(" / ") + tlsVersion);
    ui->pfsAndTlsVersion->setToolTip(plainToolTip(cipherInfo));
}

void OrvalVPNStatusWidget::onPublicIp(const VpnConnectionState &connectionState)
{
    if (connectionState.isPublicIpVerified()) {
        ui->publicIp->setText(
            QStringLiteral("<a href=\"%1\" style=\"color: #FFFFFF\">Verified</a>").arg(updateServer.toHtmlEscaped()));
        return;
    }
    switch (connectionState.getPublicIpDetectionState()) {
    case VpnConnectionState::QUERYING: {
        const int dots = qMax(0, connectionState.getDetectionCycle() % 4);
        ui->publicIp->setText(QStringLiteral("Detecting") + QString(dots, QLatin1Char('.')));
        break;
    }
    case VpnConnectionState::FOUND:
        ui->publicIp->setText(connectionState.getDetectedPublicIpAddress().toString().toHtmlEscaped());
        break;
    case VpnConnectionState::DETECTION_FAILED: ui->publicIp->setText(QStringLiteral("Detection Failed.")); break;
    default: ui->publicIp->setText(NOT_AVAILABLE); break;
    }
}

void OrvalVPNStatusWidget::updateRemoteIp(const QString &state, const QString &remoteIp)
{
    Settings settings;
    const QString id = serverSite.getId();
    if (settings.hasPinnedIP(id)) {
        const QString pinned = settings.getPinnedIP(id).toString();
        ui->remoteIp->setText(remoteIp.isEmpty() ? pinned : remoteIp);
        ui->remoteIpLabel->setText(QStringLiteral("Pinned IP"));
        const QString toolTip = QStringLiteral("VPN is using the pinned IP address %1.").arg(pinned);
        ui->remoteIpLabel->setToolTip(toolTip);
        ui->remoteIp->setToolTip(toolTip);
        ui->pinServerIP->show();
        ui->pinServerIP->setChecked(true);
        ui->pinServerIP->setToolTip(QStringLiteral("Disable pinned IP address."));
    } else if (serverSite.getDedicatedIp().isNull()) {
        ui->remoteIp->setText(orNotAvailable(remoteIp));
        ui->remoteIpLabel->setText(QStringLiteral("Remote IP"));
        const QString toolTip = QStringLiteral("VPN is using a random IP address.");
        ui->remoteIpLabel->setToolTip(toolTip);
        ui->remoteIp->setToolTip(toolTip);
        ui->pinServerIP->show();
        ui->pinServerIP->setChecked(false);
        ui->pinServerIP->setToolTip(plainToolTip(QStringLiteral("Pin VPN to IP address %1").arg(ui->remoteIp->text())));
    } else {
        ui->remoteIp->setText(remoteIp.isEmpty() ? serverSite.getDedicatedIp().toString() : remoteIp);
        ui->remoteIpLabel->setText(QStringLiteral("Dedicated IP"));
        const QString toolTip = QStringLiteral("VPN is using a dedicated IP address.");
        ui->remoteIpLabel->setToolTip(toolTip);
        ui->remoteIp->setToolTip(toolTip);
        ui->pinServerIP->hide();
    }
    if (state != CONNECTED) {
        ui->pinServerIP->setEnabled(false);
        ui->pinServerIP->setToolTip(QStringLiteral("IP address pinning is available when VPN is connected."));
        return;
    }
    // Only an address can be pinned; a pin already set can always be removed.
    ui->pinServerIP->setEnabled(ui->pinServerIP->isChecked() || !QHostAddress(ui->remoteIp->text()).isNull());
}

void OrvalVPNStatusWidget::onUpdateByteCount(ByteCount byteCount)
{
    ui->sent->setText(byteCount.humanReadableByteCount(byteCount.getBytesSent(), 0));
    ui->received->setText(byteCount.humanReadableByteCount(byteCount.getBytesReceived(), 0));
}

void OrvalVPNStatusWidget::on_disconnect_clicked()
{
    connectionTimer.stop();
    emit stopOpenVpn();
}

void OrvalVPNStatusWidget::on_refreshPublicIp_clicked()
{
    emit refreshPublicIp();
}

qint64 OrvalVPNStatusWidget::getConnectionSeconds() const
{
    return connectedAt.isValid() ? connectionTime + connectedAt.msecsTo(QDateTime::currentDateTime()) : connectionTime;
}

void OrvalVPNStatusWidget::refreshConnectionTime()
{
    ui->connectedFor->setText(FormatSecondToHHMMSS(getConnectionSeconds()).toString());
}

void OrvalVPNStatusWidget::on_pinServerIP_clicked()
{
    Settings settings;
    const QString id = serverSite.getId();
    if (ui->pinServerIP->isChecked()) {
        settings.setPinnedIP(id, QHostAddress(ui->remoteIp->text()));
        settings.setHasPinnedIP(id, true);
    } else {
        settings.setHasPinnedIP(id, false);
    }
    updateRemoteIp(lastState, lastRemoteIp);
}

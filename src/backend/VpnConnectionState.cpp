#include "backend/VpnConnectionState.h"

namespace {
const QString NOT_AVAILABLE = QStringLiteral("n/a");
}

VpnConnectionState::VpnConnectionState(QSharedPointer<ConnectionParameters> parameters)
    : EventMessage(std::move(parameters))
    , state(NOT_AVAILABLE)
    , localIp(NOT_AVAILABLE)
    , remoteIp(NOT_AVAILABLE)
{
}

void VpnConnectionState::updateState(const QString& state, const QString& cause, const QString& localIp,
                                     const QString& remoteIp)
{
    this->state = state;
    this->cause = cause;
    this->localIp = localIp;
    this->remoteIp = remoteIp;
    changeKind = STATE_CHANGE;
}

void VpnConnectionState::tlsCipherChanged(bool isPfs, const QString& tlsVersion, const QString& cipherInfo)
{
    this->isPfs = isPfs;
    this->tlsVersion = tlsVersion;
    this->cipherInfo = cipherInfo;
    changeKind = TLS_CIPHER_CHANGE;
}

void VpnConnectionState::updateConnectionTimes(int count, const QDateTime& startedAt, qint64 connectionTime,
                                               const QDateTime& connectedAt)
{
    connectionCount = count;
    this->startedAt = startedAt;
    this->connectionTime = connectionTime;
    this->connectedAt = connectedAt;
}

void VpnConnectionState::updatedDetectedPublicIp(PublicIpDetectionState detectionState, const QHostAddress& address,
                                                 int cycle)
{
    this->detectionState = detectionState;
    detectedPublicIp = address;
    detectionCycle = cycle;
}

void VpnConnectionState::clearDetectedPublicIp()
{
    detectedPublicIp = QHostAddress();
    detectionState = NOTHING_DETECTED;
}

void VpnConnectionState::clear()
{
    state = NOT_AVAILABLE;
    cause.clear();
    localIp = NOT_AVAILABLE;
    remoteIp = NOT_AVAILABLE;
    isPfs = false;
    tlsVersion.clear();
    cipherInfo.clear();
    connectedAt = QDateTime();
    detectedPublicIp = QHostAddress();
    detectionState = NOTHING_DETECTED;
    detectionCycle = 0;
    changeKind = NO_CHANGE;
}

bool VpnConnectionState::isStateChanged() const
{
    return changeKind == STATE_CHANGE;
}

bool VpnConnectionState::isTlsCipherChange() const
{
    return changeKind == TLS_CIPHER_CHANGE;
}

QHostAddress VpnConnectionState::getDetectedPublicIpAddress() const
{
    return detectionState == FOUND ? detectedPublicIp : QHostAddress();
}

bool VpnConnectionState::isPublicIpVerified() const
{
    return detectionState == FOUND && detectedPublicIp == QHostAddress(remoteIp);
}

QString VpnConnectionState::getState() const { return state; }
QString VpnConnectionState::getCause() const { return cause; }
QString VpnConnectionState::getLocalIp() const { return localIp; }
QString VpnConnectionState::getRemoteIp() const { return remoteIp; }
bool VpnConnectionState::getIsPfs() const { return isPfs; }
QString VpnConnectionState::getTlsVersion() const { return tlsVersion; }
QString VpnConnectionState::getCipherInfo() const { return cipherInfo; }
int VpnConnectionState::getConnectionCount() const { return connectionCount; }
QDateTime VpnConnectionState::getStartedAtTimestamp() const { return startedAt; }
qint64 VpnConnectionState::getConnectionTime() const { return connectionTime; }
QDateTime VpnConnectionState::getConnectedAtTimestamp() const { return connectedAt; }

VpnConnectionState::PublicIpDetectionState VpnConnectionState::getPublicIpDetectionState() const
{
    return detectionState;
}

int VpnConnectionState::getDetectionCycle() const { return detectionCycle; }

#include "core/VpnConnectionState.h"

#include "core/OpenVpnGenericState.h"

namespace {
const QString NOT_AVAILABLE = QStringLiteral("n/a");
}

VpnConnectionState::VpnConnectionState(QSharedPointer<ConnectionParameters> parameters)
    : EventMessage(std::move(parameters))
    , m_state(NOT_AVAILABLE)
    , m_localIp(NOT_AVAILABLE)
    , m_remoteIp(NOT_AVAILABLE)
{
}

void VpnConnectionState::updateState(const QString &state, const QString &cause, const QString &localIp,
                                     const QString &remoteIp)
{
    this->m_state = state;
    this->m_cause = cause;
    this->m_localIp = localIp;
    this->m_remoteIp = remoteIp;
    if (state == OpenVpnGenericState::nameOf(OpenVpnState::CONNECTED))
        m_failure = ConnectionFailure();
    m_changeKind = STATE_CHANGE;
}

void VpnConnectionState::updateFailure(const ConnectionFailure &failure)
{
    m_failure = failure;
    m_changeKind = FAILURE_CHANGE;
}

void VpnConnectionState::tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo)
{
    this->m_isPfs = isPfs;
    this->m_tlsVersion = tlsVersion;
    this->m_cipherInfo = cipherInfo;
    m_changeKind = TLS_CIPHER_CHANGE;
}

void VpnConnectionState::updateConnectionTimes(int count, const QDateTime &startedAt, qint64 connectionTime,
                                               const QDateTime &connectedAt)
{
    m_connectionCount = count;
    this->m_startedAt = startedAt;
    this->m_connectionTime = connectionTime;
    this->m_connectedAt = connectedAt;
}

void VpnConnectionState::updatedDetectedPublicIp(PublicIpDetectionState detectionState, const QHostAddress &address,
                                                 int cycle)
{
    this->m_detectionState = detectionState;
    m_detectedPublicIp = address;
    m_detectionCycle = cycle;
}

void VpnConnectionState::clearDetectedPublicIp()
{
    m_detectedPublicIp = QHostAddress();
    m_detectionState = NOTHING_DETECTED;
}

void VpnConnectionState::clear()
{
    m_state = NOT_AVAILABLE;
    m_cause.clear();
    m_failure = ConnectionFailure();
    m_localIp = NOT_AVAILABLE;
    m_remoteIp = NOT_AVAILABLE;
    m_isPfs = false;
    m_tlsVersion.clear();
    m_cipherInfo.clear();
    m_connectedAt = QDateTime();
    m_detectedPublicIp = QHostAddress();
    m_detectionState = NOTHING_DETECTED;
    m_detectionCycle = 0;
    m_changeKind = NO_CHANGE;
}

bool VpnConnectionState::isStateChanged() const
{
    return m_changeKind == STATE_CHANGE;
}

bool VpnConnectionState::isTlsCipherChange() const
{
    return m_changeKind == TLS_CIPHER_CHANGE;
}

bool VpnConnectionState::isFailureChange() const
{
    return m_changeKind == FAILURE_CHANGE;
}

QHostAddress VpnConnectionState::getDetectedPublicIpAddress() const
{
    return m_detectionState == FOUND ? m_detectedPublicIp : QHostAddress();
}

bool VpnConnectionState::isPublicIpVerified() const
{
    return m_detectionState == FOUND && m_detectedPublicIp == QHostAddress(m_remoteIp);
}

QString VpnConnectionState::getState() const
{
    return m_state;
}
QString VpnConnectionState::getCause() const
{
    return m_cause;
}
ConnectionFailure VpnConnectionState::getFailure() const
{
    return m_failure;
}
QString VpnConnectionState::getLocalIp() const
{
    return m_localIp;
}
QString VpnConnectionState::getRemoteIp() const
{
    return m_remoteIp;
}
bool VpnConnectionState::getIsPfs() const
{
    return m_isPfs;
}
QString VpnConnectionState::getTlsVersion() const
{
    return m_tlsVersion;
}
QString VpnConnectionState::getCipherInfo() const
{
    return m_cipherInfo;
}
int VpnConnectionState::getConnectionCount() const
{
    return m_connectionCount;
}
QDateTime VpnConnectionState::getStartedAtTimestamp() const
{
    return m_startedAt;
}
qint64 VpnConnectionState::getConnectionTime() const
{
    return m_connectionTime;
}
QDateTime VpnConnectionState::getConnectedAtTimestamp() const
{
    return m_connectedAt;
}

VpnConnectionState::PublicIpDetectionState VpnConnectionState::getPublicIpDetectionState() const
{
    return m_detectionState;
}

int VpnConnectionState::getDetectionCycle() const
{
    return m_detectionCycle;
}

#pragma once
#include "core/ConnectionFailure.h"
#include "core/EventMessage.h"

#include <QDateTime>
#include <QHostAddress>
#include <QMetaType>
#include <QString>

// The live description of the running connection. The backend owns one
// instance and updates it; frontends receive it by const reference.
class VpnConnectionState : public EventMessage
{
public:
    enum PublicIpDetectionState : qint32 { NOTHING_DETECTED = 0, QUERYING = 1, FOUND = 2, DETECTION_FAILED = 3 };

    explicit VpnConnectionState(QSharedPointer<ConnectionParameters> parameters);

    void updateState(const QString &state, const QString &cause, const QString &localIp, const QString &remoteIp);
    void tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo);
    void updateConnectionTimes(int count, const QDateTime &startedAt, qint64 connectionTime,
                               const QDateTime &connectedAt);
    // Why the current attempt failed; a CONNECTED state clears it.
    void updateFailure(const ConnectionFailure &failure);
    void updatedDetectedPublicIp(PublicIpDetectionState detectionState, const QHostAddress &address, int cycle);
    void clearDetectedPublicIp();
    // Resets everything of the previous attempt but the connection counters.
    void clear();

    bool isStateChanged() const;
    bool isTlsCipherChange() const;
    bool isFailureChange() const;
    QHostAddress getDetectedPublicIpAddress() const;
    bool isPublicIpVerified() const;

    QString getState() const;
    QString getCause() const;
    ConnectionFailure getFailure() const;
    QString getLocalIp() const;
    QString getRemoteIp() const;
    bool getIsPfs() const;
    QString getTlsVersion() const;
    QString getCipherInfo() const;
    int getConnectionCount() const;
    QDateTime getStartedAtTimestamp() const;
    qint64 getConnectionTime() const;
    QDateTime getConnectedAtTimestamp() const;
    PublicIpDetectionState getPublicIpDetectionState() const;
    int getDetectionCycle() const;

private:
    enum ChangeKind : qint32 { NO_CHANGE = 0, STATE_CHANGE = 1, TLS_CIPHER_CHANGE = 2, FAILURE_CHANGE = 3 };

    QString m_state;
    QString m_cause;
    ConnectionFailure m_failure;
    QString m_localIp;
    QString m_remoteIp;
    bool m_isPfs = false;
    QString m_tlsVersion;
    QString m_cipherInfo;
    qint32 m_connectionCount = 0;
    QDateTime m_startedAt;
    qint64 m_connectionTime = 0;
    QDateTime m_connectedAt;
    QHostAddress m_detectedPublicIp;
    PublicIpDetectionState m_detectionState = NOTHING_DETECTED;
    qint32 m_detectionCycle = 0;
    ChangeKind m_changeKind = NO_CHANGE;
};

Q_DECLARE_METATYPE(VpnConnectionState::PublicIpDetectionState)

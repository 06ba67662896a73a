#pragma once

#include "core/VpnStateTracker.h"

#include <QStringList>

// Writes down each report as one line: "<operation> <arguments...>".
class RecordingStateTracker : public VpnStateTracker
{
public:
    QStringList calls;

    void updateState(const QString &state, const QString &cause, const QString &localIp,
                     const QString &remoteIp) override
    {
        calls << QStringLiteral("updateState %1|%2|%3|%4").arg(state, cause, localIp, remoteIp);
    }
    void tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo) override
    {
        calls << QStringLiteral("tlsCipherChanged %1 %2 %3").arg(isPfs).arg(tlsVersion, cipherInfo);
    }
    void updateFailure(const ConnectionFailure &failure) override
    {
        calls << QStringLiteral("updateFailure %1|%2|%3").arg(failure.cause(), failure.where(), failure.serverText());
    }
    void clearDetectedPublicIp() override { calls << QStringLiteral("clearDetectedPublicIp"); }
    void updatedDetectedPublicIp(VpnConnectionState::PublicIpDetectionState detectionState, QHostAddress address,
                                 int detectionCycle) override
    {
        calls << QStringLiteral("updatedDetectedPublicIp %1 %2 %3")
                     .arg(int(detectionState))
                     .arg(address.toString())
                     .arg(detectionCycle);
    }
};

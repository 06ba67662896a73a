#pragma once
#include "core/VpnConnectionState.h"

#include <QHostAddress>
#include <QString>

// What lifecycle handlers report to the backend about the running connection.
class VpnStateTracker
{
public:
    virtual void updateState(const QString &state, const QString &cause, const QString &localIp,
                             const QString &remoteIp) = 0;
    virtual void tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo) = 0;
    virtual void updateFailure(const ConnectionFailure &failure) = 0;
    virtual void clearDetectedPublicIp() = 0;
    virtual void updatedDetectedPublicIp(VpnConnectionState::PublicIpDetectionState detectionState,
                                         QHostAddress address, int detectionCycle) = 0;

protected:
    // Handlers only hold references; nobody deletes through this interface.
    ~VpnStateTracker() = default;
};

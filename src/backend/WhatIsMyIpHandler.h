#pragma once

#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"
#include "core/VpnConnectionState.h"

#include <QHostAddress>
#include <QObject>

class VpnStateTracker;
class WhatIsMyIp;

// Looks up the public address each time the tunnel comes up and clears the
// shown address whenever the tunnel is not (or no longer) up.
class WhatIsMyIpHandler : public QObject, public NullHandler, public OpenVpnStateNullHandler
{
    Q_OBJECT

public:
    WhatIsMyIpHandler(VpnStateTracker &stateTracker, WhatIsMyIp &whatIsMyIp);

    void onOpenVpnStarted(QProcess &) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onFatal(const QString &) override;
    void onState(const OpenVpnGenericState &state) override;

public slots:
    void onPublicIp(VpnConnectionState::PublicIpDetectionState state, QHostAddress address, int attempt);

protected:
    void on(const OpenVpnStateConnected &) override;
    void on(const OpenVpnStateReconnecting &) override;
    void on(const OpenVpnStateExiting &) override;

private:
    VpnStateTracker &m_stateTracker;
    WhatIsMyIp &m_whatIsMyIp;
};

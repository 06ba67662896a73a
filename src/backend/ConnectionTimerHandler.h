#pragma once

#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"
#include "core/StopWatch.h"

#include <QDateTime>

class VpnConnectionState;

// Keeps the timing figures of a connection attempt in the connection state:
// how often it connected, when the attempt began, the connected time summed
// over all connected periods and the start of the current one.
class ConnectionTimerHandler : public NullHandler, public OpenVpnStateNullHandler
{
public:
    explicit ConnectionTimerHandler(VpnConnectionState &connectionState);

    void onState(const OpenVpnGenericState &state) override;

protected:
    void on(const OpenVpnStateConnecting &) override { leave(); }
    void on(const OpenVpnStateTcpConnect &) override { leave(); }
    void on(const OpenVpnStateWait &) override { leave(); }
    void on(const OpenVpnStateResolve &) override { leave(); }
    void on(const OpenVpnStateAuth &) override { leave(); }
    void on(const OpenVpnStateGetConfig &) override { leave(); }
    void on(const OpenVpnStateAssignIp &) override { leave(); }
    void on(const OpenVpnStateAddRoutes &) override { leave(); }
    void on(const OpenVpnStateConnected &) override;
    void on(const OpenVpnStateReconnecting &) override { leave(); }
    void on(const OpenVpnStateExiting &) override { leave(); }
    void on(const OpenVpnStateUnknown &) override { leave(); }

private:
    void leave();
    void publish();

    VpnConnectionState &m_connectionState;
    int m_connectionCount = 0;
    QDateTime m_startedAt;
    qint64 m_connectionTime = 0;
    QDateTime m_connectedAt;
    StopWatch m_stopWatch;
};

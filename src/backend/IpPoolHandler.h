#pragma once
#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QObject>

class IpPoolList;

// Answers remote queries from the attempt's pools, reshuffles them when the
// engine keeps reconnecting, and empties them when the engine ends.
class IpPoolHandler : public QObject, public NullHandler, public OpenVpnStateNullHandler
{
    Q_OBJECT

public:
    // Reconnects after a CONNECTED that keep the pool order.
    static constexpr int RECONNECTS_BEFORE_RESHUFFLE = 3;

    explicit IpPoolHandler(IpPoolList &ipPools);

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;
    void onRemote(Remote &remote) override;

protected:
    using OpenVpnStateNullHandler::on;
    void on(const OpenVpnStateConnected &state) override;
    void on(const OpenVpnStateReconnecting &state) override;

private:
    IpPoolList &m_ipPools;
    int m_reconnectCount = 0;
};

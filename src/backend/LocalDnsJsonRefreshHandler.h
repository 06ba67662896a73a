#pragma once

#include "catalogue/DnsJsonRefreshScheduler.h"
#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QStringList>

// Refreshes the local DNS cache of the server host names once an hour while
// the tunnel is connected, and only then.
class LocalDnsJsonRefreshHandler : public NullHandler, public OpenVpnStateNullHandler
{
public:
    LocalDnsJsonRefreshHandler();
    // For a given host-name list instead of the catalogue's.
    explicit LocalDnsJsonRefreshHandler(const QStringList &hostNames);

    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;

    const DnsJsonRefreshScheduler &getScheduler() const { return m_scheduler; }

protected:
    void on(const OpenVpnStateConnected &) override;
    void on(const OpenVpnStateReconnecting &) override;
    void on(const OpenVpnStateExiting &) override;

private:
    void stop();

    DnsJsonRefreshScheduler m_scheduler;
};

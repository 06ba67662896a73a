#pragma once

#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QSharedPointer>
#include <QString>

class DnsStack;
class OsAbstraction;
class OutsideDnsBlokerAbstract;

// Moves the system's name servers through the connection's DNS stages:
// "beforeConnect" before the engine starts, "afterConnect" when the tunnel is
// up, back again when it goes down or the engine ends. Holds an outside-DNS
// blocker while connected when the preference asks for one.
class DnsHandler : public NullHandler, public OpenVpnStateNullHandler
{
public:
    DnsHandler(OsAbstraction &os, DnsStack &dnsStack, bool blockOutsideDns);
    ~DnsHandler() override;

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;
    void onUp(const PushedOptions &options) override;
    void onDown(const PushedOptions &options) override;

protected:
    void on(const OpenVpnStateConnected &) override;
    void on(const OpenVpnStateReconnecting &) override;

private:
    void end();
    void unblock();

    OsAbstraction &m_os;
    DnsStack &m_dnsStack;
    QSharedPointer<OutsideDnsBlokerAbstract> m_outsideDnsBlocker;
    bool m_blockOutsideDns;
    QString m_engineProgram;
};

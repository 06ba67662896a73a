#pragma once

#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

class AbstractManagementSocket;
class OsAbstraction;

// Keeps the tunnel device across engine restarts and cuts the network
// services chosen for the kill switch when the tunnel drops.
class InternetKillSwitchHandler : public NullHandler, public OpenVpnStateNullHandler
{
public:
    InternetKillSwitchHandler(OsAbstraction &os, AbstractManagementSocket &managementSocket);

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;

protected:
    void on(const OpenVpnStateConnected &) override;
    void on(const OpenVpnStateReconnecting &) override;

private:
    // Passive until the first CONNECTED when the preference says so.
    bool isArmed() const;

    bool m_notYetConnected = true;
    OsAbstraction &m_os;
    AbstractManagementSocket &m_managementSocket;
};

#pragma once

#include "core/NullHandler.h"

#include <QSharedPointer>

class ConnectionParameters;
class VpnFrontend;

// Tells the user when the engine ended without ever reaching the management
// port: most often a firewall blocks the local connection.
class FireWallWarningHandler : public NullHandler
{
public:
    FireWallWarningHandler(VpnFrontend &frontend, QSharedPointer<ConnectionParameters> connectionParameters);

    void onConnectionAccepted() override;
    void onOpenVpnTerminated() override;

private:
    void displayFirewallWarning();

    VpnFrontend &m_frontend;
    QSharedPointer<ConnectionParameters> m_connectionParameters;
    bool m_connectionAccepted = false;
};

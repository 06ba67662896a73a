#include "backend/FireWallWarningHandler.h"

#include "backend/ErrorMessage.h"
#include "backend/VpnFrontend.h"

FireWallWarningHandler::FireWallWarningHandler(VpnFrontend& frontend,
                                               QSharedPointer<ConnectionParameters> connectionParameters)
    : frontend(frontend)
    , connectionParameters(connectionParameters)
{
}

void FireWallWarningHandler::onConnectionAccepted()
{
    connectionAccepted = true;
}

void FireWallWarningHandler::onOpenVpnTerminated()
{
    if (!connectionAccepted)
        displayFirewallWarning();
}

void FireWallWarningHandler::displayFirewallWarning()
{
    frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
        connectionParameters,
        QStringLiteral("Could not connect to the VPN management socket.\nPlease check your firewall settings!"),
        QString()));
}

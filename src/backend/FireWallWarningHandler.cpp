#include "backend/FireWallWarningHandler.h"

#include "core/ErrorMessage.h"
#include "core/VpnFrontend.h"

FireWallWarningHandler::FireWallWarningHandler(VpnFrontend &frontend,
                                               QSharedPointer<ConnectionParameters> connectionParameters)
    : m_frontend(frontend)
    , m_connectionParameters(connectionParameters)
{
}

void FireWallWarningHandler::onConnectionAccepted()
{
    m_connectionAccepted = true;
}

void FireWallWarningHandler::onOpenVpnTerminated()
{
    if (!m_connectionAccepted)
        displayFirewallWarning();
}

void FireWallWarningHandler::displayFirewallWarning()
{
    m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
        m_connectionParameters,
        QStringLiteral("Could not connect to the VPN management socket.\nPlease check your firewall settings!"),
        QString()));
}

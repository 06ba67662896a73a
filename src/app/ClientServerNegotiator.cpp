#include "app/ClientServerNegotiator.h"

#include "app/AppLogging.h"

#include <QDebug>

ClientServerNegotiator::ClientServerNegotiator(QObject *parent)
    : QObject(parent)
    , m_server(m_factory)
    , m_clientHandler(SimpleProtocolMessageHandlerFactory::castToClientSimpleProtocolMessageHandler(
          m_factory.createClientProtocolMessageHandler(m_client)))
{
}

bool ClientServerNegotiator::negotiate()
{
    m_server.requireServerName();
    if (m_server.checkPreviousInstance()) {
        qCDebug(lcApp) << "Warning: Another instance found.";
        return false;
    }
    qCDebug(lcApp) << "Server was not running, start it";
    if (!m_server.startingServer()) {
        qCDebug(lcApp) << "Error: Server could not be started";
        return false;
    }
    qCDebug(lcApp) << "Server is started";
    if (!m_client.startingClient()) {
        qCDebug(lcApp) << "Error: client could not be connected to the server...";
        return false;
    }
    if (!m_clientHandler->isFirstInstance()) {
        m_client.disconnectSocket();
        qCDebug(lcApp) << "Warning: Application will not start - was it the first instance?";
        return false;
    }
    // The link lost on either side ends the application, through the run mode.
    connect(&m_client, &VpnBackendAbstractClient::quitApplication, this, &ClientServerNegotiator::emitExitApplication);
    connect(&m_server, &VpnBackendAbstractServer::lastConnectionLost, this,
            &ClientServerNegotiator::emitExitApplication);
    return true;
}

void ClientServerNegotiator::emitExitApplication()
{
    emit exitApplication();
}

#include "app/ServerSimpleProtocolMessageHandler.h"

#include "app/AppLogging.h"
#include "app/ServerAbstractSocket.h"

#include <QDebug>

ServerSimpleProtocolMessageHandler::ServerSimpleProtocolMessageHandler(VpnBackendAbstractServer &server,
                                                                       ServerAbstractSocket &connection)
    : m_server(server)
    , m_connection(connection)
{
}

void ServerSimpleProtocolMessageHandler::makeHandShake()
{
    m_connection.sendMessage(helloFromServer);
    m_connection.sendMessage(firstInstance);
}

void ServerSimpleProtocolMessageHandler::connectionRefused()
{
    m_connection.sendMessage(helloFromServer);
    m_connection.sendMessage(shutdownMultipleInstances);
    m_connection.sendMessage(bye);
}

void ServerSimpleProtocolMessageHandler::messageHandler(const QString &message)
{
    qCDebug(lcApp) << "Message received from connected client:" << message;
}

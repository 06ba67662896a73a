#include "app/SimpleProtocolMessageHandlerFactory.h"

#include "app/ClientSimpleProtocolMessageHandler.h"
#include "app/ServerAbstractSocket.h"
#include "app/ServerSimpleProtocolMessageHandler.h"
#include "app/VpnBackendAbstractClient.h"

QSharedPointer<AbstractProtocolMessageHandler>
SimpleProtocolMessageHandlerFactory::createServerProtocolMessageHandler(VpnBackendAbstractServer &server,
                                                                        ServerAbstractSocket &connection)
{
    const QSharedPointer<AbstractProtocolMessageHandler> handler(
        new ServerSimpleProtocolMessageHandler(server, connection));
    connection.setHandler(handler);
    return handler;
}

QSharedPointer<AbstractProtocolMessageHandler>
SimpleProtocolMessageHandlerFactory::createClientProtocolMessageHandler(VpnBackendAbstractClient &client)
{
    const QSharedPointer<AbstractProtocolMessageHandler> handler(new ClientSimpleProtocolMessageHandler(client));
    client.setHandler(handler);
    return handler;
}

QSharedPointer<ClientSimpleProtocolMessageHandler>
SimpleProtocolMessageHandlerFactory::castToClientSimpleProtocolMessageHandler(
    const QSharedPointer<AbstractProtocolMessageHandler> &handler)
{
    return handler.staticCast<ClientSimpleProtocolMessageHandler>();
}

QSharedPointer<ServerSimpleProtocolMessageHandler>
SimpleProtocolMessageHandlerFactory::castToServerSimpleProtocolMessageHandler(
    const QSharedPointer<AbstractProtocolMessageHandler> &handler)
{
    return handler.staticCast<ServerSimpleProtocolMessageHandler>();
}
